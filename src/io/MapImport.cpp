#include "io/MapImport.h"

namespace korvane::import {

MapFileData readMapFile(QStringView text, PathStyle style)
{
    static const Needle mapStart(QStringLiteral("<map "));
    MapFileData data;
    data.hasUsemap = hasUsemap(text);
    data.mapName = usemapName(text);
    data.hasMap = mapStart.in(text) >= 0;
    if (!data.hasMap)
        return data;
    data.imagePath = imagePathFromSrc(srcValue(text), style);
    data.areas = scanAreas(text, AreaDialect::MapFile);
    return data;
}

} // namespace korvane::import
