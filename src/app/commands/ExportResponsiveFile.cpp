#include "app/commands/ExportResponsiveFile.h"

#include "app/commands/CheckCommandLine.h"
#include "io/FileReplace.h"
#include "io/HtmlImport.h"
#include "io/ImagePathLookup.h"
#include "io/ImportFile.h"
#include "io/MapFileWriter.h"
#include "io/MapImport.h"
#include "io/OwnForms.h"
#include "io/PageStream.h"
#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "model/JsonMap.h"
#include "model/MapCode.h"
#include "model/Paths.h"
#include "model/WikiMap.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QStringEncoder>
#include <QUrl>

#include <new>
#include <optional>
#include <utility>
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
    QString imgTag;        // the page's img tag as written, whose attributes the new page keeps
    QString pictureFolder; // where a relative picture path leads
    QString problem;       // why no map was read, when that is not for want of areas
    QSize formSize;        // the picture's size as one of Korvane's own forms gives it
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
        path, [&reader](QStringView piece) { reader.take(piece); }, [&reader] { reader = Reader(); });
    return reader;
}

ReadMap readMapFile(const QString& path, const QString& folder)
{
    const import::MapFileData data = streamed<import::MapFileStream>(path).finish();
    ReadMap read;
    if (!data.hasMap)
        return read;
    read.lines = data.areas.lines;
    read.imagePath = data.imagePath;
    read.mapName = data.mapName;
    read.width = data.width;
    read.height = data.height;
    read.pictureFolder = folder;
    return read;
}

// The name (or id) of the map a browser gives candidate `c`; null when none.
QString browserMapName(const import::PageMaps& maps, qsizetype c)
{
    const int m = import::browserMap(maps, c);
    if (m < 0)
        return {};
    const import::MapElement& map = maps.maps[std::size_t(m)];
    return browser::decodeReferences(map.name.isNull() ? map.id : map.name);
}

// The picture to export: the one asked for, else the first whose map has areas.
qsizetype chosenPicture(const import::StreamedPage& page, const import::PageMaps& maps,
                        const ResponsiveExportRequest& request, QString* problem)
{
    const QString file = quoted(request.input);
    const qsizetype count = maps.candidates.size();
    if (request.image > 0) {
        if (request.image > count)
            *problem = QStringLiteral("Die Datei ") + file + QStringLiteral(" hat keine %1. Grafik mit ImageMap, nur %2.")
                                                                  .arg(request.image)
                                                                  .arg(count);
        else if (import::browserMap(maps, request.image - 1) < 0)
            *problem = QStringLiteral("Ein Browser verbindet die %1. Grafik der Datei ").arg(request.image) + file +
                       QStringLiteral(" mit keiner Map.");
        return problem->isEmpty() ? request.image - 1 : -1;
    }
    for (qsizetype c = 0; c < count; ++c) {
        const int m = import::browserMap(maps, c);
        if (m < 0)
            continue;
        if (!request.mapName.isNull()) {
            if (browserMapName(maps, c) == request.mapName)
                return c;
            continue;
        }
        if (!page.maps[std::size_t(m)].areas.lines.isEmpty())
            return c;
    }
    if (!request.mapName.isNull())
        *problem = QStringLiteral("Keine Grafik der Datei ") + file + QStringLiteral(" nutzt die Map ") +
                   quoted(request.mapName) + QLatin1Char('.');
    return -1;
}

// The map of one of Korvane's own forms; no areas when there is none.
ReadMap readOwnForm(const QString& text, const QString& folder)
{
    ReadMap read;
    const std::optional<import::OwnMap> own = import::readOwnForm(text, &read.problem);
    if (!own)
        return read;
    read.lines = own->lines;
    read.imagePath = own->imagePath;
    read.mapName = own->mapName;
    read.pictureFolder = folder;
    read.formSize = own->size;
    return read;
}

// The map a browser gives the chosen picture of the page, its links leading
// from the new page where they led on this one. The page is read in pieces.
ReadMap readPage(const QString& path, const ResponsiveExportRequest& request, const QString& folder,
                 const QString& outputFolder)
{
    import::StreamedPage page = streamed<import::PageStream>(path).finish();
    const import::PageMaps maps = page.pageMaps();
    // Only a page without any picture of a map may be one of Korvane's own
    // forms (a JSON text, a MediaWiki block, a responsive page): read whole then.
    if (maps.candidates.isEmpty() && request.image == 0 && request.mapName.isNull())
        return readOwnForm(import::readImportFile(path), folder);
    ReadMap read;
    const qsizetype c = chosenPicture(page, maps, request, &read.problem);
    if (c < 0)
        return read;
    read.lines = page.maps[std::size_t(import::browserMap(maps, c))].areas.lines;
    page.maps.clear(); // the other maps' areas go
    import::resolveLinks(read.lines, maps.baseHref, folder, outputFolder);
    read.imgTag = maps.writtenTags[c];
    const import::ChosenImage chosen = import::readChosenTag(read.imgTag);
    read.imagePath = chosen.imagePath;
    read.width = chosen.width;
    read.height = chosen.height;
    read.mapName = browserMapName(maps, c);
    read.pictureFolder = import::baseFolder(maps.baseHref, folder);
    return read;
}

// The picture's own size: from the file, else as the form gives it, else the img tag's width and height.
QSize pictureSize(const QString& onDisk, const ReadMap& map)
{
    if (!onDisk.isEmpty()) {
        const QSize own = QImageReader(onDisk).size();
        if (own.isValid() && !own.isEmpty())
            return own;
    }
    if (!map.formSize.isEmpty())
        return map.formSize;
    return {map.width, map.height};
}

// The areas of a picture the page shows at another size, in pixels of its own.
void scaleToPicture(ReadMap& map, QSize own)
{
    const QSize shown = import::shownSize(map.width, map.height, own);
    if (shown == own || shown.isEmpty())
        return;
    const double sx = double(own.width()) / shown.width();
    const double sy = double(own.height()) / shown.height();
    for (qsizetype i = 0; i < map.lines.size(); ++i)
        map.lines.replace(i, entry::scaledLine(map.lines.at(i), sx, sy));
}

// A srcset's addresses relative to the new page: each candidate is an
// address, then its descriptors up to a comma.
QString rebasedSrcset(const QString& srcset, const QString& fromFolder, const QString& toFolder)
{
    const QString value = browser::decodeReferences(srcset);
    QStringList candidates;
    qsizetype i = 0;
    while (i < value.size()) {
        while (i < value.size() && (value[i].isSpace() || value[i] == u','))
            ++i;
        const qsizetype start = i;
        while (i < value.size() && !value[i].isSpace())
            ++i;
        QString address = value.mid(start, i - start);
        bool ended = false;
        while (address.endsWith(u',')) {
            address.chop(1);
            ended = true;
        }
        const qsizetype descriptors = i;
        while (!ended && i < value.size() && value[i] != u',')
            ++i;
        if (address.isEmpty())
            continue;
        const QUrl url(address);
        if (url.isRelative() && !address.startsWith(u'/')) {
            const QString onDisk = QDir(fromFolder).absoluteFilePath(QUrl::fromPercentEncoding(address.toUtf8()));
            address = QUrl::toPercentEncoding(relativePath(onDisk, toFolder), "/");
        }
        candidates << (address + value.mid(descriptors, i - descriptors)).trimmed();
    }
    return candidates.join(QStringLiteral(", "));
}

// The img attributes the responsive form keeps, values as written.
extra::Attributes pictureAttributes(const QString& imgTag, const QString& fromFolder, const QString& toFolder)
{
    html::Tag img;
    html::readTag(imgTag, 0, img);
    extra::Attributes kept;
    for (const html::Attribute& a : img.attributes) {
        const QString name = a.name.toString().toLower();
        if (!isKeptPictureAttribute(name) || extra::has(kept, name))
            continue;
        const QString value = name == QLatin1String("srcset")
                                  ? rebasedSrcset(a.value.toString(), fromFolder, toFolder).replace(u'&', QStringLiteral("&amp;"))
                                  : a.value.toString();
        kept.append({name, value});
    }
    return kept;
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

struct Written {
    QByteArray bytes;
    QStringList left; // what the form could not take
};

// The map in the form asked for, for a file at `output`.
Written formBytes(const ResponsiveExportRequest& request, const ResponsiveMap& responsive, const QString& picture,
                  const QFileInfo& output)
{
    const QString folder = output.absolutePath();
    switch (request.format) {
    case ExportFormat::Classic: {
        const QString code = withPageRelativeSource(
            map_daten(responsive.lines, picture, responsive.mapName, responsive.size), picture, folder);
        if (output.suffix().compare(QLatin1String("map"), Qt::CaseInsensitive) == 0)
            return {mapDataFileBytes(code, fileNameOf(picture)), {}};
        return {testPageBytes(code), {}};
    }
    case ExportFormat::MediaWiki: {
        const wiki::WikiText text = wiki::wikiImagemap(responsive.lines, fileNameOf(picture), responsive.size.width(),
                                                       extra::valueOf(responsive.picture, u"alt"));
        return {text.text.toUtf8(), text.left};
    }
    case ExportFormat::Json: {
        const json::JsonText text =
            json::mapJson(responsive.lines, relativePath(picture, folder), responsive.size, responsive.mapName);
        return {text.text, text.left};
    }
    case ExportFormat::Responsive:
        break;
    }
    return {responsivePage(responsive).toUtf8(), {}};
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
    const QString folder = input.absolutePath();
    const QFileInfo output(request.output);
    ReadMap map = mapFile ? readMapFile(input.absoluteFilePath(), folder)
                          : readPage(input.absoluteFilePath(), request, folder, output.absolutePath());
    if (!map.problem.isEmpty())
        return failure(2, map.problem);
    if (map.lines.isEmpty())
        return failure(2, QStringLiteral("In der Datei ") + quoted(request.input) +
                              (mapFile ? QStringLiteral(" wurden keine MAP-Daten gefunden.")
                                       : QStringLiteral(" wurde keine ImageMap mit Arealen gefunden.")));

    const QString onDisk = findFileIgnoringCase(map.imagePath, map.pictureFolder);
    const QSize size = pictureSize(onDisk, map);
    if (size.isEmpty())
        return failure(2, QStringLiteral("Die Größe der Grafik ") + quoted(map.imagePath) +
                              QStringLiteral(" ist unbekannt: Die Datei wurde nicht gefunden, und das img-Tag nennt "
                                             "nicht width und height."));
    if (const QString refusal = refusedPicture(request, onDisk); !refusal.isEmpty())
        return failure(1, refusal);
    scaleToPicture(map, size);
    // A picture that is not there is still named as the file names it, seen from the new page.
    const QString picture = !onDisk.isEmpty()            ? onDisk
                            : isDrivePath(map.imagePath) ? map.imagePath
                                                         : QDir(map.pictureFolder).absoluteFilePath(map.imagePath);
    ResponsiveMap responsive =
        responsiveMapFor(map.lines, picture, map.mapName, size, request.fit, output.absolutePath());
    if (!mapFile)
        responsive.picture = pictureAttributes(map.imgTag, map.pictureFolder, output.absolutePath());
    map.lines = {};
    // The responsive page is written a part at a time; the other forms are small beside it.
    Written written;
    FileContent file{output.absoluteFilePath(), {}, {}};
    if (request.format == ExportFormat::Responsive)
        file.produce = [&](QIODevice& device) { return writePage(device, responsive); };
    else
        written = formBytes(request, responsive, picture, output);
    file.bytes = std::exchange(written.bytes, {});
    if (!replaceFiles({file}).isEmpty())
        return failure(1, QStringLiteral("Die Datei ") + quoted(request.output) +
                              QStringLiteral(" ließ sich nicht schreiben."));
    QString notes;
    for (const QString& note : written.left)
        notes += QStringLiteral("korvane: Hinweis: ") + note + QLatin1Char('\n');
    return {0, notes};
}

} // namespace

QString exportFormatName(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Classic:
        return QStringLiteral("classic");
    case ExportFormat::MediaWiki:
        return QStringLiteral("mediawiki");
    case ExportFormat::Json:
        return QStringLiteral("json");
    case ExportFormat::Responsive:
        break;
    }
    return QStringLiteral("responsive");
}

std::optional<ExportFormat> exportFormatNamed(QStringView name)
{
    for (const ExportFormat format :
         {ExportFormat::Classic, ExportFormat::Responsive, ExportFormat::MediaWiki, ExportFormat::Json}) {
        if (name.compare(exportFormatName(format), Qt::CaseInsensitive) == 0)
            return format;
    }
    return std::nullopt;
}


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
