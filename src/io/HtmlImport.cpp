#include "io/HtmlImport.h"

#include "model/Paths.h"

#include <algorithm>

namespace korvane::import {

PageMaps readPageMaps(QStringView page, const Progress& progress)
{
    ProgressTicks ticks(progress, page.size());
    PageMaps read;
    html::TagReader reader(page);
    html::Tag tag;
    HiddenContent hidden;
    bool open = false;
    while (reader.next(tag) && ticks.at(tag.start)) {
        if (hidden.hides(tag))
            continue;
        // Only img tags are asked for a usemap: a page may have a million area tags.
        const bool img = !tag.isEndTag && tag.is(QLatin1StringView("img"));
        const html::Attribute* usemap = img ? tag.attribute(QLatin1StringView("usemap")) : nullptr;
        if (usemap) {
            read.candidates.append(page.sliced(tag.start, tag.end - tag.start).toString().toLower());
            read.usemapNames.append(mapNameOf(usemap->value));
            read.candidateStarts.push_back(tag.start);
        } else if (tag.is(QLatin1StringView("map")) && tag.isEndTag == open) {
            if (open) {
                read.maps.back().end = tag.end;
            } else {
                const html::Attribute* name = tag.attribute(QLatin1StringView("name"));
                read.maps.push_back({tag.start, page.size(), name ? name->value : QStringView()});
            }
            open = !open;
        }
    }
    return read;
}

QStringList imgCandidates(QStringView page)
{
    return readPageMaps(page).candidates;
}

QString candidateLine(const QString& tag, PathStyle style)
{
    const ChosenImage chosen = readChosenTag(tag, style);
    const QChar quote = QLatin1Char('"');
    return QStringLiteral("Grafik: ") + quote + fileNameOf(chosen.imagePath) + quote + QStringLiteral(",  MapName: ") +
           quote + chosen.mapName + quote;
}

ChosenImage readChosenTag(const QString& tag, PathStyle style)
{
    ChosenImage chosen{usemapName(tag), imagePathFromSrc(srcValue(tag), style)};
    html::Tag img;
    if (firstImageTag(tag, img)) {
        chosen.width = pixelDimension(img, QLatin1StringView("width"));
        chosen.height = pixelDimension(img, QLatin1StringView("height"));
    }
    return chosen;
}

namespace {

// Names compare as a browser reads them (references decoded), a leading "#"
// of the map's name dropped.
bool namesMatch(QStringView mapAttribute, QStringView mapName, Qt::CaseSensitivity cs)
{
    if (mapAttribute.startsWith(u'#'))
        mapAttribute = mapAttribute.sliced(1);
    return html::decodeReferences(trimBlanks(mapAttribute)).compare(html::decodeReferences(mapName), cs) == 0;
}

} // namespace

FoundMap findMap(QStringView page, QStringView mapName)
{
    return findMap(page, readPageMaps(page), mapName);
}

FoundMap findMap(QStringView page, const PageMaps& read, QStringView mapName)
{
    const std::vector<MapElement>& maps = read.maps;
    if (maps.empty())
        return {MapLookup::NoMapElement, {}};
    auto textOf = [&](const MapElement& m) { return page.sliced(m.start, m.end - m.start); };
    QList<QStringView> names;
    names.reserve(qsizetype(maps.size()));
    for (const MapElement& m : maps)
        names.append(m.name);
    if (const qsizetype named = mapNamed(names, mapName); named >= 0)
        return {MapLookup::Found, textOf(maps[std::size_t(named)])};
    // No map bears the name: the first whose text holds it somewhere.
    const Needle needle(mapName.toString());
    for (const MapElement& m : maps) {
        if (needle.in(textOf(m)) >= 0)
            return {MapLookup::Found, textOf(m)};
    }
    return {MapLookup::NotFound, {}};
}

qsizetype mapNamed(const QList<QStringView>& names, QStringView mapName)
{
    if (names.isEmpty())
        return -1;
    if (mapName.isEmpty())
        return 0;
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        const auto named =
            std::find_if(names.begin(), names.end(), [&](QStringView name) { return namesMatch(name, mapName, cs); });
        if (named != names.end())
            return named - names.begin();
    }
    return -1;
}

AreaScan readMapAreas(QStringView mapText, const Progress& progress)
{
    return scanAreas(mapText, AreaDialect::HtmlPage, progress);
}

} // namespace korvane::import
