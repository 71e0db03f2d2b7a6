#pragma once

#include "io/ImportSearch.h"

#include <QString>
#include <QStringView>

// Reading a .map data file: the map name, the image it belongs to and its areas.
namespace korvane::import {

struct MapFileData {
    bool hasMap = false; // the text holds a map tag; without it no image or area is read
    bool hasUsemap = false;
    QString mapName;   // from the usemap of the first img tag that has one
    QString imagePath; // from that img tag's src, lower-cased local path
    int width = 0;     // that img tag's width and height (0: not given)
    int height = 0;
    AreaScan areas;    // every area element of the whole text, two blanks before the shape
};

// `progress` (when given) can stop it early.
MapFileData readMapFile(QStringView text, PathStyle style = nativePathStyle(), const Progress& progress = {});

} // namespace korvane::import
