#include "io/HtmlImport.h"

#include "model/Paths.h"

namespace korvane::import {

QStringList imgCandidates(QStringView page)
{
    QStringList tags;
    html::TagReader reader(page);
    html::Tag tag;
    while (reader.next(tag)) {
        if (!tag.isEndTag && tag.is(QLatin1StringView("img")) && tag.attribute(QLatin1StringView("usemap")))
            tags.append(page.sliced(tag.start, tag.end - tag.start).toString().toLower());
    }
    return tags;
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
    return {usemapName(tag), imagePathFromSrc(srcValue(tag), style)};
}

namespace {

// A map element from its start tag to the end of its end tag (or of the page).
struct MapRange {
    qsizetype start = 0;
    qsizetype end = 0;
    QStringView name; // the name attribute as written
};

// Names compare as a browser reads them (references decoded), a leading "#"
// of the map's name dropped, without regard to letter case.
bool namesMatch(QStringView mapAttribute, QStringView mapName)
{
    if (mapAttribute.startsWith(u'#'))
        mapAttribute = mapAttribute.sliced(1);
    return html::decodeReferences(trimBlanks(mapAttribute))
               .compare(html::decodeReferences(mapName), Qt::CaseInsensitive) == 0;
}

// The maps of the page in order. A map start tag inside an open map is part of
// it; reading stops at the first map whose name equals `mapName`, once it is
// closed.
std::vector<MapRange> pageMaps(QStringView page, QStringView mapName, qsizetype* named)
{
    std::vector<MapRange> maps;
    html::TagReader reader(page);
    html::Tag tag;
    bool open = false;
    while (reader.next(tag)) {
        if (!tag.is(QLatin1StringView("map")) || tag.isEndTag != open)
            continue;
        if (open) {
            maps.back().end = tag.end;
            open = false;
            if (namesMatch(maps.back().name, mapName))
                break;
            continue;
        }
        const html::Attribute* name = tag.attribute(QLatin1StringView("name"));
        maps.push_back({tag.start, page.size(), name ? name->value : QStringView()});
        open = true;
    }
    const auto it =
        std::find_if(maps.begin(), maps.end(), [&](const MapRange& m) { return namesMatch(m.name, mapName); });
    *named = it == maps.end() ? -1 : it - maps.begin();
    return maps;
}

} // namespace

FoundMap findMap(QStringView page, QStringView mapName)
{
    qsizetype named = -1; // the map that bears the name
    const std::vector<MapRange> maps = pageMaps(page, mapName, &named);
    if (maps.empty())
        return {MapLookup::NoMapElement, {}};
    auto textOf = [&](const MapRange& m) { return page.sliced(m.start, m.end - m.start); };
    if (mapName.isEmpty())
        return {MapLookup::Found, textOf(maps.front())};
    if (named >= 0)
        return {MapLookup::Found, textOf(maps[std::size_t(named)])};
    // No map bears the name: the first whose text holds it somewhere.
    const Needle needle(mapName.toString());
    for (const MapRange& m : maps) {
        if (needle.in(textOf(m)) >= 0)
            return {MapLookup::Found, textOf(m)};
    }
    return {MapLookup::NotFound, {}};
}

AreaScan readMapAreas(QStringView mapText)
{
    return scanAreas(mapText, AreaDialect::HtmlPage);
}

} // namespace korvane::import
