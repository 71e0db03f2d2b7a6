#pragma once

#include "io/ImportSearch.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// Reading the image maps of an HTML page: the img tags that carry a map, the
// map element that belongs to the chosen one, and its areas.
namespace korvane::import {

// Every img tag (lower-cased, from "<img" to its ">") that holds "usemap=",
// in page order. A tag cut off by the end of the page is no tag.
QStringList imgCandidates(QStringView page);

// The line the chooser shows for a candidate tag:
// Grafik: "plan.jpg",  MapName: "plan"
QString candidateLine(const QString& tag, PathStyle style = nativePathStyle());

struct ChosenImage {
    QString mapName;   // lower case, as the tag is
    QString imagePath; // the local path the tag's src names
};
ChosenImage readChosenTag(const QString& tag, PathStyle style = nativePathStyle());

enum class MapLookup { NoMapElement, NotFound, Found };
struct FoundMap {
    MapLookup outcome = MapLookup::NoMapElement;
    QStringView text; // the map element, a view into the page
};

// The first map element that contains `mapName` anywhere (without regard to
// letter case; an empty name matches the first map). A map with no "</map"
// after it runs to the end of the page and is the last one tried.
FoundMap findMap(QStringView page, QStringView mapName);

// The areas of one map element, one blank before the shape, "polygon" as "poly".
AreaScan readMapAreas(QStringView mapText);

} // namespace korvane::import
