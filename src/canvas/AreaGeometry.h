#pragma once

#include <QColor>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QString>

namespace korvane {

class DrawingSurface;

// Coordinates are read as pixels up to this far from the origin: beyond, the
// pixel arithmetic would overflow.
inline constexpr int kFarthestPixel = 10'000'000;

// The drawable shape of one area line, parsed once, keyword and numbers as a
// browser reads them (an unknown keyword is a rectangle). A default area and
// lines with too few coordinates give Kind::None and are not drawn.
// The members are ordered so that no padding lies between them: an import
// keeps a million of these.
struct AreaGeometry {
    enum class Kind : quint8 { None, Rect, Circle, Poly };
    QPolygon points; // poly
    QRect bounds;    // the shape's extent, before the line width
    QPoint corner1;  // rect
    QPoint corner2;
    QPoint centre; // circle
    int radius = 0;
    Kind kind = Kind::None;
    // A browser follows it: a circle needs a radius, a polygon three points.
    bool clickable = false;

    bool drawable() const { return kind != Kind::None; }
};

AreaGeometry parseArea(QStringView line);
AreaGeometry parseArea(QLatin1StringView line);
// The same shape moved by `by`.
AreaGeometry movedArea(AreaGeometry area, QPoint by);

// Draws the area as the redraw does: rect and poly in the pen colour, the
// circle in circleColor, all with the surface's width and fill.
void drawArea(DrawingSurface& surface, const AreaGeometry& area, const QColor& circleColor);
// Draws the area's outline in the pen colour, a polygon as its closed chain of
// lines without a fill: the selection highlight and the edit drawing.
void drawOutline(DrawingSurface& surface, const AreaGeometry& area);

} // namespace korvane

// Moved as bytes when the list of a million shapes grows.
Q_DECLARE_TYPEINFO(korvane::AreaGeometry, Q_RELOCATABLE_TYPE);
