#include "io/ImportFile.h"

#include "model/Codec.h"

#include <QFile>
#include <QStringDecoder>

#include <optional>

namespace korvane::import {

namespace {

constexpr qint64 kPiece = 1024 * 1024;
const QByteArray kUtf8Mark("\xEF\xBB\xBF");

// The file from its start, a piece at a time, as UTF-8 or Windows-1252. Each
// piece is read with read(): what is not there any more is simply not read.
class PieceReader {
public:
    PieceReader(QFile& file, qint64 pieceSize, const Progress& progress)
        : m_file(file), m_piece(std::max<qint64>(pieceSize, 1)), m_progress(progress)
    {
    }

    // Nothing when the bytes are not UTF-8 (or when asked to stop).
    std::optional<QString> asUtf8()
    {
        // The mark at the very start is dropped here; the decoder keeps every
        // U+FEFF it sees, as a browser does after the first.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return read(
            [&decoder](QChar* out, QByteArrayView piece) -> QChar* {
                return piece.isValidUtf8() ? decoder.appendToBuffer(out, piece) : nullptr;
            },
            startsWithUtf8Mark() ? kUtf8Mark.size() : 0);
    }
    std::optional<QString> asWindows1252()
    {
        return read([](QChar* out, QByteArrayView piece) { return appendWindows1252(out, piece); });
    }
    bool stopped() const { return m_stopped; }

private:
    // `decode` writes a piece's characters (at most one a byte) and returns
    // their end, or nullptr to give up. A piece ends just after an ASCII byte,
    // so that no UTF-8 sequence is split.
    template<typename Decode>
    std::optional<QString> read(Decode decode, qint64 from = 0)
    {
        if (!m_file.seek(from))
            return std::nullopt;
        QString text = textBuffer(m_file.size());
        qsizetype used = 0;
        QByteArray bytes;
        for (;;) {
            const qsizetype carried = bytes.size();
            bytes.resize(carried + m_piece);
            const qint64 got = m_file.read(bytes.data() + carried, m_piece);
            bytes.resize(carried + std::max<qint64>(got, 0));
            const bool last = got <= 0;
            const qsizetype cut = last ? bytes.size() : afterLastAscii(bytes);
            if (text.size() < used + cut) // the file grew
                text.resize(used + cut + m_piece);
            QChar* end = decode(text.data() + used, QByteArrayView(bytes).first(cut));
            if (!end)
                return std::nullopt;
            used = end - text.constData();
            bytes.remove(0, cut);
            if (last)
                break;
            if (m_progress && !m_progress(m_file.pos(), m_file.size())) {
                m_stopped = true;
                return std::nullopt;
            }
        }
        text.truncate(used);
        if (used < text.capacity() / 2) // many characters of several bytes: the copy is smaller
            text.squeeze();
        return text;
    }

    bool startsWithUtf8Mark() { return m_file.seek(0) && m_file.peek(kUtf8Mark.size()) == kUtf8Mark; }

    static qsizetype afterLastAscii(const QByteArray& bytes)
    {
        for (qsizetype i = bytes.size(); i > 0; --i) {
            if (static_cast<unsigned char>(bytes[i - 1]) < 0x80)
                return i;
        }
        return 0;
    }

    QFile& m_file;
    qint64 m_piece;
    const Progress& m_progress;
    bool m_stopped = false;
};

} // namespace

QString readImportFile(const QString& path, const Progress& progress)
{
    return readImportFileInPieces(path, kPiece, progress);
}

QString readImportFileInPieces(const QString& path, qint64 pieceSize, const Progress& progress)
{
    QFile file(path);
    // Pieces go straight from the system into place, without a buffer between.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    const QByteArray start = file.peek(2);
    if (utf16ByMark(start) != TextEncoding::Utf8) {
        const QByteArray bytes = file.readAll();
        return decodeText(bytes, detectEncoding(bytes));
    }
    PieceReader reader(file, pieceSize, progress);
    std::optional<QString> text = reader.asUtf8();
    if (!text && !reader.stopped())
        text = reader.asWindows1252();
    return text.value_or(QString());
}

} // namespace korvane::import
