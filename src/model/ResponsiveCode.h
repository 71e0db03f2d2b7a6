#pragma once

#include <QSize>
#include <QString>
#include "model/AreaLines.h"

#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>

// The second form of the map code, one that scales with the picture without a
// script: a wrapper holding the img and, over it, an inline SVG whose viewBox
// is the picture's own size, with one link per area around its shape. A
// browser scales the SVG together with the picture, so every area stays over
// its part of the picture at any width.
namespace korvane {

// How the picture fills a box of another shape, as CSS object-fit does; the
// SVG follows through preserveAspectRatio.
enum class FitMode { Fill, Contain, Cover };

// "fill", "contain", "cover".
QString fitModeName(FitMode mode);
std::optional<FitMode> fitModeNamed(QStringView name);

struct ResponsiveMap {
    AreaLines lines;     // the area lines, in list order
    QString imageSource; // the img src, already escaped for the attribute
    QString mapName;     // names the ids of the SVG's clip paths
    QSize size;          // the picture's own size: the viewBox
    FitMode fit = FitMode::Fill;
};

// The responsive form of a map for a page in `pageFolder`: the picture named
// relative to it, the map named as in the classic code.
ResponsiveMap responsiveMapFor(const AreaLines& lines, const QString& imagePath, const QString& mapName, QSize size,
                               FitMode fit, const QString& pageFolder);

// The fragment for a page, lines ended by CR LF. Where areas overlap, the
// first in the list wins, as in the classic map; Tab follows the list.
QString responsiveCode(const ResponsiveMap& map);
// A complete HTML page (UTF-8) around the fragment.
QString responsivePage(const ResponsiveMap& map);
// The same page handed to `write` a part at a time, so that the page of a
// big map is never held whole. False when a part was not taken (nothing
// more is handed on then).
bool writeResponsivePage(const ResponsiveMap& map, const std::function<bool(QStringView)>& write);

} // namespace korvane
