#include "app/commands/ExportResponsiveFile.h"

#include "io/FileReplace.h"
#include "io/HtmlImport.h"
#include "io/ImagePathLookup.h"
#include "io/ImportFile.h"
#include "io/MapImport.h"
#include "model/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

namespace korvane {

namespace {

// A map as read from the file: its areas, its picture, its name.
struct ReadMap {
    AreaLines lines;
    QString imagePath; // as the file names it
    QString mapName;
    QString imgTag; // the img tag that names the picture
};

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

ReadMap readMapFile(const QString& text)
{
    const import::MapFileData data = import::readMapFile(text);
    ReadMap read;
    if (!data.hasMap)
        return read;
    read.lines = data.areas.lines;
    read.imagePath = data.imagePath;
    read.mapName = data.mapName;
    html::Tag img;
    if (import::firstImageTag(text, img))
        read.imgTag = text.mid(img.start, img.end - img.start);
    return read;
}

// The first picture of the page whose map has areas.
ReadMap readPage(const QString& page)
{
    const import::PageMaps maps = import::readPageMaps(page);
    for (const QString& tag : maps.candidates) {
        const import::ChosenImage chosen = import::readChosenTag(tag);
        const import::FoundMap found = import::findMap(page, maps, chosen.mapName);
        if (found.outcome != import::MapLookup::Found)
            continue;
        ReadMap read{import::readMapAreas(found.text).lines, chosen.imagePath, chosen.mapName, tag};
        if (!read.lines.isEmpty())
            return read;
    }
    return {};
}

// A whole number attribute of the tag; 0 when it has none.
int tagNumber(const QString& tag, QLatin1StringView name)
{
    html::Tag img;
    if (!html::readTag(tag, 0, img) && img.attributes.empty())
        return 0;
    const html::Attribute* attribute = img.attribute(name);
    return attribute ? attribute->value.trimmed().toInt() : 0;
}

QSize pictureSize(const QString& onDisk, const QString& imgTag)
{
    if (!onDisk.isEmpty()) {
        const QSize own = QImageReader(onDisk).size();
        if (own.isValid() && !own.isEmpty())
            return own;
    }
    return {tagNumber(imgTag, QLatin1StringView("width")), tagNumber(imgTag, QLatin1StringView("height"))};
}

ExportOutcome failure(int code, const QString& text)
{
    return {code, QStringLiteral("korvane: ") + text + QLatin1Char('\n')};
}

} // namespace

ExportOutcome exportResponsiveFile(const ResponsiveExportRequest& request)
{
    const QFileInfo input(request.input);
    if (!input.isFile() || !input.isReadable())
        return failure(2, QStringLiteral("Die Datei ") + quoted(request.input) + QStringLiteral(" ließ sich nicht lesen."));
    const QString text = import::readImportFile(input.absoluteFilePath());
    const bool mapFile = input.suffix().compare(QLatin1String("map"), Qt::CaseInsensitive) == 0;
    const ReadMap map = mapFile ? readMapFile(text) : readPage(text);
    if (map.lines.isEmpty())
        return failure(2, QStringLiteral("In der Datei ") + quoted(request.input) +
                              (mapFile ? QStringLiteral(" wurden keine MAP-Daten gefunden.")
                                       : QStringLiteral(" wurde keine ImageMap mit Arealen gefunden.")));

    const QString folder = input.absolutePath();
    const QString onDisk = findFileIgnoringCase(map.imagePath, folder);
    const QSize size = pictureSize(onDisk, map.imgTag);
    if (size.isEmpty())
        return failure(2, QStringLiteral("Die Größe der Grafik ") + quoted(map.imagePath) +
                              QStringLiteral(" ist unbekannt: Die Datei wurde nicht gefunden, und das img-Tag nennt "
                                             "nicht width und height."));
    // A picture that is not there is still named as the file names it, seen from the new page.
    const QString picture = !onDisk.isEmpty()            ? onDisk
                            : isDrivePath(map.imagePath) ? map.imagePath
                                                         : QDir(folder).absoluteFilePath(map.imagePath);
    const QFileInfo output(request.output);
    const ResponsiveMap responsive =
        responsiveMapFor(map.lines, picture, map.mapName, size, request.fit, output.absolutePath());
    if (!replaceFiles({{output.absoluteFilePath(), responsivePage(responsive).toUtf8()}}).isEmpty())
        return failure(1, QStringLiteral("Die Datei ") + quoted(request.output) +
                              QStringLiteral(" ließ sich nicht schreiben."));
    return {};
}

} // namespace korvane
