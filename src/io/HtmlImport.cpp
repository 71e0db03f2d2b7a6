#include "io/HtmlImport.h"

#include "model/Paths.h"

namespace korvane::import {

QStringList imgCandidates(QStringView page)
{
    static const Needle imgWithBlank(QStringLiteral("<img "));
    static const Needle imgStart(QStringLiteral("<img"));
    QStringList tags;
    qsizetype end = -1;
    while (imgWithBlank.in(page, end + 1) >= 0) {
        const qsizetype start = imgStart.in(page, end + 1);
        end = page.indexOf(QLatin1Char('>'), start);
        if (end < 0)
            break; // cut off by the end of the page
        const QString tag = page.sliced(start, end - start + 1).toString().toLower();
        if (tag.contains(QLatin1String("usemap=")))
            tags.append(tag);
        if (end + 1 >= page.size())
            break;
    }
    return tags;
}

namespace {

// A value of the tag for the chooser's line: from after the key and its
// opening quote up to the first `stop`, or else the first ">".
QString listValue(const QString& tag, QStringView key, QChar stop)
{
    const qsizetype at = find(tag, key);
    if (at < 0)
        return {};
    const qsizetype start = std::min(at + key.size() + 1, tag.size());
    qsizetype end = tag.indexOf(stop, start);
    if (end < 0)
        end = tag.indexOf(QLatin1Char('>'), start);
    if (end < 0)
        end = tag.size();
    return tag.sliced(start, end - start);
}

} // namespace

QString candidateLine(const QString& tag, PathStyle style)
{
    const QString image = fileNameOf(imagePathFromSrc(listValue(tag, u"src=", QLatin1Char('"')), style));
    QString name = listValue(tag, u"usemap=", QLatin1Char(' '));
    name.chop(1); // the closing quote
    name.remove(QLatin1Char('#'));
    const QChar quote = QLatin1Char('"');
    return QStringLiteral("Grafik: ") + quote + image + quote + QStringLiteral(",  MapName: ") + quote + name + quote;
}

ChosenImage readChosenTag(const QString& tag, PathStyle style)
{
    return {usemapName(tag), imagePathFromSrc(srcValue(tag), style)};
}

FoundMap findMap(QStringView page, QStringView mapName)
{
    static const Needle mapStart(QStringLiteral("<map "));
    static const Needle mapEnd(QStringLiteral("</map"));
    qsizetype from = mapStart.in(page);
    if (from < 0)
        return {MapLookup::NoMapElement, {}};
    while (from >= 0 && from < page.size()) {
        const qsizetype start = mapStart.in(page, from);
        if (start < 0)
            break;
        const qsizetype close = mapEnd.in(page, start);
        // The map text ends with the character after "</map", normally ">".
        const qsizetype end = close < 0 ? page.size() : std::min(close + 6, page.size());
        const QStringView map = page.sliced(start, end - start);
        if (mapName.isEmpty() || find(map, mapName) >= 0)
            return {MapLookup::Found, map};
        if (close < 0)
            break;
        from = close + 6;
    }
    return {MapLookup::NotFound, {}};
}

AreaScan readMapAreas(QStringView mapText)
{
    return scanAreas(mapText, AreaDialect::HtmlPage);
}

} // namespace korvane::import
