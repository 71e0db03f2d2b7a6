#include "app/commands/ExportResponsiveFile.h"

#include "app/commands/CheckCommandLine.h"
#include "io/FileReplace.h"
#include "io/HtmlImport.h"
#include "io/ImagePathLookup.h"
#include "io/ImportFile.h"
#include "io/MapImport.h"
#include "io/PageStream.h"
#include "model/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QStringEncoder>

#include <new>
#include <optional>
#include <sys/stat.h>

namespace korvane {

namespace {

// A map as read from the file: its areas, its picture, its name.
struct ReadMap {
    AreaLines lines;
    QString imagePath; // as the file names it
    QString mapName;
    int width = 0; // the img tag's width and height; 0: not given
    int height = 0;
};

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// Reads the file a piece at a time into `reader`, as the window reads a
// .map: the text is never held whole. `Reader` is made anew when the text
// comes again in another encoding.
template <typename Reader> Reader streamed(const QString& path)
{
    Reader reader;
    import::streamImportFile(
        path, [&reader](QStringView piece) { reader.take(piece);
}, [&reader] {
    reader = Reader(); });
return reader;
} // namespace

ReadMap readMapFile(const QString& path)
{
    const import::MapFileData data = streamed<import::MapFileStream>(path).finish();
    if (!data.hasMap)
        return {};
    return {data.areas.lines, data.imagePath, data.mapName, data.width, data.height};
}

// The first of the maps whose text holds `name` without regard to letter
// case, as the import takes a map no name matches; -1 when none does. The
// file is read again for it, a piece at a time.
qsizetype firstMapHolding(const QString& path, const std::vector<import::StreamedMap>& maps, const QString& name)
{
    const import::Needle needle(name);
    qsizetype found = -1;
    qsizetype at = 0; // where `carried` starts in the text
    QString carried;  // the end of what came before, for a name across two pieces
    const auto take = [&](QStringView piece) {
        if (found >= 0)
            return;
        QString text;
        text.reserve(carried.size() + piece.size());
        text.append(carried).append(piece);
        for (std::size_t m = 0; m < maps.size() && found < 0; ++m) {
            const qsizetype from = std::max(maps[m].start, at) - at;
            const qsizetype to = std::min(maps[m].end, at + text.size()) - at;
            if (to - from >= needle.size() && needle.in(QStringView(text).sliced(from, to - from)) >= 0)
                found = qsizetype(m);
        }
        const qsizetype keep = std::min(text.size(), std::max<qsizetype>(needle.size() - 1, 0));
        at += text.size() - keep;
        carried = text.right(keep);
    };
    import::streamImportFile(path, take, [&] {
        at = 0;
    carried.clear();
});
return found;
}

// The first picture of the page whose map has areas.
ReadMap readPage(const QString& path)
{
    import::StreamedPage page = streamed<import::PageStream>(path).finish();
    QList<QStringView> names;
    for (const import::StreamedMap& map : page.maps)
        names.append(map.name);
    for (const QString& tag : page.candidates) {
        const import::ChosenImage chosen = import::readChosenTag(tag);
        qsizetype m = import::mapNamed(names, chosen.mapName);
        if (m < 0 && !page.maps.empty())
            m = firstMapHolding(path, page.maps, chosen.mapName);
        if (m >= 0 && !page.maps[std::size_t(m)].areas.lines.isEmpty())
            return {page.maps[std::size_t(m)].areas.lines, chosen.imagePath, chosen.mapName, chosen.width,
                    chosen.height};
    }
    return {};
}

QSize pictureSize(const QString& onDisk, const ReadMap& map)
{
    if (!onDisk.isEmpty()) {
        const QSize own = QImageReader(onDisk).size();
        if (own.isValid() && !own.isEmpty())
            return own;
    }
    return {map.width, map.height};
}

ExportOutcome failure(int code, const QString& text)
{
    return {code, QStringLiteral("korvane: ") + text + QLatin1Char('\n')};
}

std::optional<struct stat> statusOf(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return status;
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// What the output is when it is no regular file; empty when it is one (or not there yet).
QString otherKind(const struct stat& status)
{
    if (S_ISREG(status.st_mode))
        return {};
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("ein Ordner");
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("eine Pipe (FIFO)");
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return QStringLiteral("ein Gerät");
    if (S_ISSOCK(status.st_mode))
        return QStringLiteral("ein Socket");
    return QStringLiteral("keine gewöhnliche Datei");
}

// Why the page must not go where the request says (the file read, however
// it is named, or something that is no file); empty when it may.
QString refusedOutput(const ResponsiveExportRequest& request)
{
    const std::optional<struct stat> output = statusOf(request.output);
    if (!output)
        return {};
    const QString kind = otherKind(*output);
    const QString notWritten = QStringLiteral("; es wurde nichts geschrieben.");
    if (!kind.isEmpty())
        return QStringLiteral("Die Ausgabe ") + quoted(request.output) + QStringLiteral(" ist ") + kind +
               QStringLiteral(", keine gewöhnliche Datei") + notWritten;
    const std::optional<struct stat> input = statusOf(request.input);
    if (input && sameFile(*input, *output))
        return QStringLiteral("Die Ausgabe ") + quoted(request.output) + QStringLiteral(" ist die gelesene Datei ") +
               quoted(request.input) + notWritten;
    return {};
}

QString refusedPicture(const ResponsiveExportRequest& request, const QString& picture)
{
    const std::optional<struct stat> output = statusOf(request.output);
    const std::optional<struct stat> image = statusOf(picture);
    if (!output || !image || !sameFile(*output, *image))
        return {};
    return QStringLiteral("Die Ausgabe ") + quoted(request.output) +
           QStringLiteral(" ist die Grafik der ImageMap; es wurde nichts geschrieben.");
}

// The page goes to the file in UTF-8 a part at a time.
bool writePage(QIODevice& device, const ResponsiveMap& map)
{
    QStringEncoder utf8(QStringEncoder::Utf8);
    return writeResponsivePage(map, [&](QStringView part) { return writeAll(device, utf8.encode(part)); });
}

ExportOutcome exportFile(const ResponsiveExportRequest& request)
{
    const QFileInfo input(request.input);
    if (!input.isFile() || !input.isReadable())
        return failure(2, QStringLiteral("Die Datei ") + quoted(request.input) + QStringLiteral(" ließ sich nicht lesen."));
    // Checked before the reading, so that a pipe is never waited for.
    if (const QString refusal = refusedOutput(request); !refusal.isEmpty())
        return failure(1, refusal);
    const bool mapFile = input.suffix().compare(QLatin1String("map"), Qt::CaseInsensitive) == 0;
    ReadMap map = mapFile ? readMapFile(input.absoluteFilePath()) : readPage(input.absoluteFilePath());
    if (map.lines.isEmpty())
        return failure(2, QStringLiteral("In der Datei ") + quoted(request.input) +
                              (mapFile ? QStringLiteral(" wurden keine MAP-Daten gefunden.")
                                       : QStringLiteral(" wurde keine ImageMap mit Arealen gefunden.")));

    const QString folder = input.absolutePath();
    const QString onDisk = findFileIgnoringCase(map.imagePath, folder);
    const QSize size = pictureSize(onDisk, map);
    if (size.isEmpty())
        return failure(2, QStringLiteral("Die Größe der Grafik ") + quoted(map.imagePath) +
                              QStringLiteral(" ist unbekannt: Die Datei wurde nicht gefunden, und das img-Tag nennt "
                                             "nicht width und height."));
    if (const QString refusal = refusedPicture(request, onDisk); !refusal.isEmpty())
        return failure(1, refusal);
    // A picture that is not there is still named as the file names it, seen from the new page.
    const QString picture = !onDisk.isEmpty()            ? onDisk
                            : isDrivePath(map.imagePath) ? map.imagePath
                                                         : QDir(folder).absoluteFilePath(map.imagePath);
    const QFileInfo output(request.output);
    const ResponsiveMap responsive =
        responsiveMapFor(map.lines, picture, map.mapName, size, request.fit, output.absolutePath());
    map.lines = {};
    const FileContent page{
        output.absoluteFilePath(), {}, [&](QIODevice& device) { return writePage(device, responsive); }};
    if (!replaceFiles({page}).isEmpty())
        return failure(1, QStringLiteral("Die Datei ") + quoted(request.output) +
                              QStringLiteral(" ließ sich nicht schreiben."));
    return {};
}

} // namespace

ExportOutcome exportResponsiveFile(const ResponsiveExportRequest& request)
{
    try {
        return exportFile(request);
    } catch (const std::bad_alloc&) {
        // What was begun is gone with the unwinding: no page, no temporary file.
        return failure(2, outOfMemory(request.input) + QStringLiteral(" Es wurde nichts geschrieben."));
    }
}

} // namespace korvane
