// Feeds arbitrary bytes through the importers' file reader and the stops a
// progress dialog can ask for: the file read in small pieces must give the
// text that decoding it whole gives (streamed too), a file cut short while it is read must
// give a piece of it, and a page reading that is stopped must have found a
// first part of what the whole reading finds.
#include "io/HtmlImport.h"
#include "io/ImportFile.h"
#include "model/Codec.h"

#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

using namespace korvane;

namespace {

const QString& scratchFile()
{
    static const QString path = QStringLiteral("/dev/shm/korvane-fuzz-import-%1").arg(getpid());
    return path;
}

bool write(const QByteArray& bytes)
{
    QFile file(scratchFile());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// What decoding the whole file gives; a UTF-8 mark at its start is dropped.
QString wholeText(const QByteArray& bytes)
{
    const TextEncoding encoding = detectEncoding(bytes);
    const bool mark = encoding == TextEncoding::Utf8 && bytes.startsWith("\xEF\xBB\xBF");
    return decodeText(mark ? bytes.mid(3) : bytes, encoding);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first byte chooses the piece size and where the file is cut.
    const qint64 piece = 1 + data[0] % 16;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    if (!write(bytes))
        std::abort();
    const QString expected = wholeText(bytes);
    if (import::readImportFileInPieces(scratchFile(), piece) != expected)
        std::abort();
    // Streamed as UTF-8 while its encoding is found beside: the same text, once.
    QString streamed;
    if (!import::streamImportFileInPieces(
            scratchFile(), piece, [&streamed](QStringView text) { streamed += text; }, [&streamed] { streamed.clear(); }) ||
        streamed != expected)
        std::abort();

    const qint64 cutTo = bytes.size() * (data[0] >> 4) / 16;
    bool isCut = false;
    const QString cut = import::readImportFileInPieces(scratchFile(), piece, [cutTo, &isCut](qint64, qint64) {
        isCut = isCut || QFile::resize(scratchFile(), cutTo);
        return true;
    });
    // Cut once the first piece is in: that piece (a UTF-8 mark at the start
    // may be taken before it) and what is left of the file; a second reading
    // as Windows-1252 (for bytes that are gone by then) sees only what is
    // left, and a file found not to be UTF-8 before the cut gives its first
    // piece as Windows-1252. UTF-16 is read at once.
    const qint64 kept = std::max<qint64>(cutTo, std::min<qint64>(piece, bytes.size()));
    const qint64 keptAfterMark = bytes.startsWith("\xEF\xBB\xBF")
                                     ? std::max<qint64>(cutTo, std::min<qint64>(3 + piece, bytes.size()))
                                     : kept;
    const bool utf16 = utf16ByMark(bytes) != TextEncoding::Utf8;
    if (utf16 ? cut != expected
              : cut != wholeText(bytes.first(kept)) && cut != wholeText(bytes.first(keptAfterMark)) &&
                    cut != wholeText(bytes.first(cutTo)) && cut != fromWindows1252(bytes.first(cutTo)) &&
                    cut != fromWindows1252(bytes.first(kept)))
        std::abort();

    const import::PageMaps whole = import::readPageMaps(expected);
    int calls = 0;
    const import::PageMaps stopped =
        import::readPageMaps(expected, [&calls, stopAt = data[0] % 3](qint64, qint64) { return calls++ < stopAt; });
    if (stopped.candidates.size() > whole.candidates.size() || stopped.maps.size() > whole.maps.size())
        std::abort();
    for (qsizetype i = 0; i < stopped.candidates.size(); ++i) {
        if (stopped.candidates[i] != whole.candidates[i])
            std::abort();
    }
    return 0;
}
