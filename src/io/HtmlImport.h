#pragma once

#include "io/ImportSearch.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// Reading the image maps of an HTML page: the img tags that carry a map, the
// map element that belongs to the chosen one, and its areas.
namespace korvane::import {

// Every img tag (lower-cased, from "<img" to its ">") that carries a usemap,
// in page order; tags in comments do not count. A tag cut off by the end of
// the page is no tag.
QStringList imgCandidates(QStringView page);

// The line the chooser shows for a candidate tag:
// Grafik: "plan.jpg",  MapName: "plan"
QString candidateLine(const QString& tag, PathStyle style = nativePathStyle());

struct ChosenImage {
    QString mapName;   // lower case, as the tag is
    QString imagePath; // the local path the tag's src names
    // The size the page shows the picture at (width and height attributes; one
    // alone keeps the picture's proportions, see shownSize()); 0 when not given.
    int width = 0;
    int height = 0;
};
ChosenImage readChosenTag(const QString& tag, PathStyle style = nativePathStyle());

enum class MapLookup { NoMapElement, NotFound, Found };
struct FoundMap {
    MapLookup outcome = MapLookup::NoMapElement;
    QStringView text; // the map element, a view into the page
};

// The first map element whose name equals `mapName` exactly, as a browser
// takes it; else the first whose name equals it when letter case is
// ignored; when none does, the first that contains `mapName` anywhere. An empty name
// matches the first map. A map runs from its start tag to its end tag; one
// without an end tag runs to the end of the page and is the last one.
FoundMap findMap(QStringView page, QStringView mapName);

// A map element of a page: from its start tag to the end of its end tag (or
// of the page), and its name attribute as written.
struct MapElement {
    qsizetype start = 0;
    qsizetype end = 0;
    QStringView name;
};
// What one reading of a page finds: the candidates of imgCandidates() and the
// map elements in page order (a map start tag inside an open map is part of
// it). Content of template and noscript holds neither: a browser running
// scripts shows none of it.
struct PageMaps {
    QStringList candidates;
    QStringList usemapNames; // of each candidate, in the letter case of the page
    std::vector<MapElement> maps;
    std::vector<qsizetype> candidateStarts; // where each candidate's tag starts
};
// `progress` (when given) can stop it early.
PageMaps readPageMaps(QStringView page, const Progress& progress = {});
// findMap() on a page read before: a big page is read once, not twice.
FoundMap findMap(QStringView page, const PageMaps& read, QStringView mapName);
// The map findMap() takes by the name attributes of a page's maps (in page
// order); -1 when no name matches, so that the maps' texts decide.
qsizetype mapNamed(const QList<QStringView>& names, QStringView mapName);

// The areas of one map element, one blank before the shape, "polygon" as "poly".
AreaScan readMapAreas(QStringView mapText, const Progress& progress = {});

} // namespace korvane::import
