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

// The tag may be lower-cased (a candidate) or as the page writes it.
struct ChosenImage {
    QString mapName;   // lower case, as the specified chooser shows it
    QString imagePath; // the local path the tag's src names (see imagePathFromSrc())
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
    // Found as a browser finds it. False for the old pages a browser finds no
    // map for: a usemap without "#", a map whose name differs in letter case
    // or starts with "#".
    bool byBrowser = true;
    QString name; // the found map's name (or id) as the page decodes it
};

// The map element for an img tag's usemap value (as written): the first
// whose name or id equals what follows the usemap's "#", character
// references decoded, as a browser takes it; when there is none, for old
// pages, the first whose name or id equals the usemap's name (the whole value
// when it has no "#") without regard to letter case or a leading "#". A map
// that merely holds the name in its text is never taken; an empty name finds
// none. A map runs from its start tag to its end tag; one without an end tag
// runs to the end of the page.
FoundMap findMap(QStringView page, QStringView usemap);

// A map element of a page: from its start tag to the end of its end tag (or
// of the page), and its name and id attributes as written.
struct MapElement {
    qsizetype start = 0;
    qsizetype end = 0;
    QStringView name;
    QStringView id;
};
// What one reading of a page finds: the candidates of imgCandidates() and the
// map elements in page order (a map inside another is one too, and part of
// the outer one's areas, as in a browser). Content of template and noscript,
// and SVG and MathML, hold neither: a browser running scripts shows none of it.
struct PageMaps {
    QStringList candidates;   // lower case
    QStringList writtenTags;  // the candidates as the page writes them
    QStringList usemapNames;  // of each candidate, in the letter case of the page (mapNameOf())
    QStringList usemapValues; // of each candidate, as written
    std::vector<MapElement> maps;
    std::vector<qsizetype> candidateStarts; // where each candidate's tag starts
    QString baseHref; // of the page's first base element with an href (as written); null when it has none
};
// `progress` (when given) can stop it early.
PageMaps readPageMaps(QStringView page, const Progress& progress = {});
// findMap() on a page read before: a big page is read once, not twice.
FoundMap findMap(QStringView page, const PageMaps& read, QStringView usemap);
// The map a browser gives the candidate's picture: its index in `read.maps`,
// -1 when there is none.
int browserMap(const PageMaps& read, qsizetype candidate);

// The folder a page's relative picture addresses lead into: the folder its
// base element names when that is a local one, else the page's own.
QString baseFolder(const QString& baseHref, const QString& pageFolder);
// The lines' links as they lead from a page in `pageFolder` with that base
// element, written for a page in `linkFolder` (null: the same folder):
// relative ones resolved against the base, written relative to the new
// page's folder when they stay on this computer, as absolute addresses else.
// Links that name their scheme and lines without a link stay, and so do all
// when there is no base and the folder is the same.
void resolveLinks(AreaLines& lines, const QString& baseHref, const QString& pageFolder,
                  const QString& linkFolder = QString());

// The areas of one map element, one blank before the shape, "polygon" as "poly".
AreaScan readMapAreas(QStringView mapText, const Progress& progress = {});

} // namespace korvane::import
