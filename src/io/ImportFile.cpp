#include "io/ImportFile.h"

#include "model/Codec.h"

#include <QFile>
#include <QStringDecoder>

#include <functional>
#include <optional>
#include <type_traits>

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
    // The text a piece at a time: as UTF-8 (nothing when a piece is not
    // UTF-8, the pieces handed on until then are to be dropped) or as
    // Windows-1252. False when asked to stop.
    std::optional<bool> stream(TextEncoding encoding, const std::function<void(QStringView)>& take)
    {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        QString text;
        const bool utf8 = encoding == TextEncoding::Utf8;
        bool valid = true;
        const bool read = walk(
            [&](QByteArrayView piece, bool last) {
                if (text.size() < piece.size())
                    text.resize(piece.size());
                // The decoder checks the very bytes it decodes, so a file that
                // changes meanwhile cannot slip a byte past the check. Only the
                // last piece may end inside a sequence, which the decoder would
                // keep waiting for.
                const QChar* end =
                    utf8 ? decoder.appendToBuffer(text.data(), piece) : appendWindows1252(text.data(), piece);
                valid = !utf8 || (!decoder.hasError() && (!last || piece.isValidUtf8()));
                if (valid)
                    take(QStringView(text.constData(), end));
                return valid;
            },
            utf8 && startsWithUtf8Mark() ? kUtf8Mark.size() : 0);
        if (!valid)
            return std::nullopt;
        return read;
    }
    bool stopped() const { return m_stopped; }

private:
    // `decode` writes a piece's characters (at most one a byte) and returns
    // their end, or nullptr to give up.
    template<typename Decode>
    std::optional<QString> read(Decode decode, qint64 from = 0)
    {
        QString text = textBuffer(m_file.size());
        qsizetype used = 0;
        const bool read = walk(
            [&](QByteArrayView piece) {
                if (text.size() < used + piece.size()) // the file grew
                    text.resize(used + piece.size() + m_piece);
                QChar* end = decode(text.data() + used, piece);
                if (end)
                    used = end - text.constData();
                return end != nullptr;
            },
            from);
        if (!read)
            return std::nullopt;
        text.truncate(used);
        if (used < text.capacity() / 2) // many characters of several bytes: the copy is smaller
            text.squeeze();
        return text;
    }

    // Hands the file from `from` on to `take` a piece at a time; false when
    // take() gave up or the progress asked to stop. A piece ends just after
    // an ASCII byte, so that no UTF-8 sequence is split.
    template<typename Take>
    bool walk(Take take, qint64 from)
    {
        if (!m_file.seek(from))
            return false;
        QByteArray bytes;
        for (;;) {
            const qsizetype carried = bytes.size();
            bytes.resize(carried + m_piece);
            const qint64 got = m_file.read(bytes.data() + carried, m_piece);
            bytes.resize(carried + std::max<qint64>(got, 0));
            const bool last = got <= 0;
            const qsizetype cut = last ? bytes.size() : afterLastAscii(bytes);
            if (!takePiece(take, QByteArrayView(bytes).first(cut), last))
                return false;
            bytes.remove(0, cut);
            if (last)
                return true;
            if (m_progress && !m_progress(m_file.pos(), m_file.size())) {
                m_stopped = true;
                return false;
            }
        }
    }

    template <typename Take> static bool takePiece(Take& take, QByteArrayView piece, bool last)
    {
        if constexpr (std::is_invocable_v<Take&, QByteArrayView, bool>)
            return take(piece, last);
        else
            return take(piece);
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

bool streamImportFile(const QString& path, const std::function<void(QStringView)>& take,
                      const std::function<void()>& restart, const Progress& progress)
{
    return streamImportFileInPieces(path, kPiece, take, restart, progress);
}

bool streamImportFileInPieces(const QString& path, qint64 pieceSize, const std::function<void(QStringView)>& take,
                              const std::function<void()>& restart, const Progress& progress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    if (const TextEncoding marked = utf16ByMark(file.peek(2)); marked != TextEncoding::Utf8) {
        // Rare and never big in practice: read at once, as readImportFile() does.
        take(decodeText(file.readAll(), marked));
        return true;
    }
    // Read once as UTF-8, the bytes checked as they are decoded; from the
    // same open file again as Windows-1252 only when they are not UTF-8.
    PieceReader reader(file, pieceSize, progress);
    const std::optional<bool> utf8 = reader.stream(TextEncoding::Utf8, take);
    if (utf8)
        return *utf8;
    restart();
    return reader.stream(TextEncoding::Windows1252, take).value_or(false);
}

} // namespace korvane::import
