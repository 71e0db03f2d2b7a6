#include "io/MapImport.h"

namespace korvane::import {

MapFileData readMapFile(QStringView text, PathStyle style, const Progress& progress)
{
    MapFileData data;
    html::Tag img;
    if (firstImageTag(text, img)) {
        const html::Attribute* usemap = img.attribute(QLatin1StringView("usemap"));
        const html::Attribute* src = img.attribute(QLatin1StringView("src"));
        data.hasUsemap = usemap != nullptr;
        data.mapName = usemap ? mapNameOf(usemap->value) : QString();
        data.imagePath = imagePathFromSrc(src ? src->value.toString() : QString(), style);
        data.width = pixelDimension(img, QLatin1StringView("width"));
        data.height = pixelDimension(img, QLatin1StringView("height"));
    }
    html::TagReader reader(text);
    html::Tag tag;
    while (!data.hasMap && reader.next(tag))
        data.hasMap = !tag.isEndTag && tag.is(QLatin1StringView("map"));
    if (data.hasMap)
        data.areas = scanAreas(text, AreaDialect::MapFile, progress);
    else
        data.imagePath.clear();
    return data;
}

} // namespace korvane::import
