#pragma once

#include <QSize>
#include <QString>
#include "model/AreaLines.h"
#include "model/ExtraAttributes.h"
#include "model/Highlight.h"

#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>

// The second form of the map code, one that scales with the picture without a
// script: a wrapper that shrinks to the img and, over it, an inline SVG whose
// viewBox is the picture's own size. A browser scales the SVG together with
// the picture, so every area stays over its part of the picture at any width
// and in any layout around it.
//
// The SVG holds each area twice, both times as a link around its shape. The
// pointer takes the first layer: every area, painted in reverse list order so
// that where areas overlap the first in the list lies on top and wins, as in
// the classic map; it is hidden from assistive technology and from Tab. The
// keyboard and screen readers take the second: the areas in list order, each
// named by its alternative text and outlined when focused; it lets the pointer
// through. Both grow with the number of areas, not its square. Areas of one
// link (see model/LinkGroups.h) are one link with several shapes in both.
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
    // The img's own attributes a page gave it (alt, srcset, sizes, loading,
    // class, id, ...), values as the page writes them.
    extra::Attributes picture;
    // How the area under the pointer and the focused link show.
    Highlight highlight;
};

// The img attributes of a page that the responsive form keeps.
bool isKeptPictureAttribute(QStringView name);

// The responsive form of a map for a page in `pageFolder`: the picture named
// relative to it, the map named as in the classic code.
ResponsiveMap responsiveMapFor(const AreaLines& lines, const QString& imagePath, const QString& mapName, QSize size,
                               FitMode fit, const QString& pageFolder);

// The fragment for a page, lines ended by CR LF. Where areas overlap, the
// first in the list wins, as in the classic map; Tab follows the list and
// passes over areas that earlier ones cover wholly.
QString responsiveCode(const ResponsiveMap& map);
// A complete HTML page (UTF-8) around the fragment.
QString responsivePage(const ResponsiveMap& map);
// The same page handed to `write` a part at a time, so that the page of a
// big map is never held whole. False when a part was not taken (nothing
// more is handed on then).
bool writeResponsivePage(const ResponsiveMap& map, const std::function<bool(QStringView)>& write);

} // namespace korvane
