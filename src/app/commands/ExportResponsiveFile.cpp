#include "app/commands/ExportResponsiveFile.h"

#include "io/FileReplace.h"
#include "io/HtmlImport.h"
#include "io/ImagePathLookup.h"
#include "io/ImportFile.h"
#include "io/MapFileWriter.h"
#include "io/MapImport.h"
#include "io/OwnForms.h"
#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "model/JsonMap.h"
#include "model/MapCode.h"
#include "model/Paths.h"
#include "model/WikiMap.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QUrl>

namespace korvane {

namespace {

// A map as read from the file: its areas, its picture, its name.
struct ReadMap {
    AreaLines lines;
    QString imagePath; // as the file names it
    QString mapName;
    html::Tag img;      // the img tag that names the picture, a view into `text`
    QString pictureFolder; // where a relative picture path leads
    QString problem;    // why no map was read, when that is not for want of areas
    QSize formSize;     // the picture's size as one of Korvane's own forms gives it
};

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

ReadMap readMapFile(const QString& text, const QString& folder)
{
    const import::MapFileData data = import::readMapFile(text);
    ReadMap read;
    if (!data.hasMap)
        return read;
    read.lines = data.areas.lines;
    read.imagePath = data.imagePath;
    read.mapName = data.mapName;
    read.pictureFolder = folder;
    import::firstImageTag(text, read.img);
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
qsizetype chosenPicture(const QString& page, const import::PageMaps& maps, const ResponsiveExportRequest& request,
                        QString* problem)
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
        const import::MapElement& map = maps.maps[std::size_t(m)];
        if (!import::readMapAreas(QStringView(page).sliced(map.start, map.end - map.start)).lines.isEmpty())
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
// from the new page where they led on this one.
ReadMap readPage(const QString& page, const ResponsiveExportRequest& request, const QString& folder,
                 const QString& outputFolder)
{
    const import::PageMaps maps = import::readPageMaps(page);
    if (maps.candidates.isEmpty() && request.image == 0 && request.mapName.isNull())
        return readOwnForm(page, folder);
    ReadMap read;
    const qsizetype c = chosenPicture(page, maps, request, &read.problem);
    if (c < 0)
        return read;
    const import::MapElement& map = maps.maps[std::size_t(import::browserMap(maps, c))];
    read.lines = import::readMapAreas(QStringView(page).sliced(map.start, map.end - map.start)).lines;
    import::resolveLinks(read.lines, maps.baseHref, folder, outputFolder);
    html::readTag(page, maps.candidateStarts[std::size_t(c)], read.img);
    read.imagePath = import::readChosenTag(maps.writtenTags[c]).imagePath;
    read.mapName = browserMapName(maps, c);
    read.pictureFolder = import::baseFolder(maps.baseHref, folder);
    return read;
}

// The picture's own size: from the file, else as the form gives it, else the img tag's width and height.
QSize pictureSize(const QString& onDisk, const ReadMap& map)
{
    const html::Tag& img = map.img;
    if (!onDisk.isEmpty()) {
        const QSize own = QImageReader(onDisk).size();
        if (own.isValid() && !own.isEmpty())
            return own;
    }
    if (!map.formSize.isEmpty())
        return map.formSize;
    return {import::pixelDimension(img, QLatin1StringView("width")),
            import::pixelDimension(img, QLatin1StringView("height"))};
}

// The areas of a picture the page shows at another size, in pixels of its own.
void scaleToPicture(AreaLines& lines, const html::Tag& img, QSize own)
{
    const QSize shown = import::shownSize(import::pixelDimension(img, QLatin1StringView("width")),
                                          import::pixelDimension(img, QLatin1StringView("height")), own);
    if (shown == own || shown.isEmpty())
        return;
    const double sx = double(own.width()) / shown.width();
    const double sy = double(own.height()) / shown.height();
    for (qsizetype i = 0; i < lines.size(); ++i)
        lines.replace(i, entry::scaledLine(lines.at(i), sx, sy));
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
extra::Attributes pictureAttributes(const html::Tag& img, const QString& fromFolder, const QString& toFolder)
{
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
    const QFileInfo input(request.input);
    if (!input.isFile() || !input.isReadable())
        return failure(2, QStringLiteral("Die Datei ") + quoted(request.input) + QStringLiteral(" ließ sich nicht lesen."));
    const QString text = import::readImportFile(input.absoluteFilePath());
    const bool mapFile = input.suffix().compare(QLatin1String("map"), Qt::CaseInsensitive) == 0;
    const QString folder = input.absolutePath();
    const QFileInfo output(request.output);
    ReadMap map = mapFile ? readMapFile(text, folder) : readPage(text, request, folder, output.absolutePath());
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
    scaleToPicture(map.lines, map.img, size);
    // A picture that is not there is still named as the file names it, seen from the new page.
    const QString picture = !onDisk.isEmpty()            ? onDisk
                            : isDrivePath(map.imagePath) ? map.imagePath
                                                         : QDir(map.pictureFolder).absoluteFilePath(map.imagePath);
    ResponsiveMap responsive =
        responsiveMapFor(map.lines, picture, map.mapName, size, request.fit, output.absolutePath());
    if (!mapFile)
        responsive.picture = pictureAttributes(map.img, map.pictureFolder, output.absolutePath());
    const Written written = formBytes(request, responsive, picture, output);
    if (!replaceFiles({{output.absoluteFilePath(), written.bytes}}).isEmpty())
        return failure(1, QStringLiteral("Die Datei ") + quoted(request.output) +
                              QStringLiteral(" ließ sich nicht schreiben."));
    QString notes;
    for (const QString& note : written.left)
        notes += QStringLiteral("korvane: Hinweis: ") + note + QLatin1Char('\n');
    return {0, notes};
}

} // namespace korvane
