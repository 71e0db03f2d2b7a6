#pragma once

#include "canvas/DrawingSurface.h"

#include <QFont>
#include <QPolygon>
#include <QRectF>
#include <QVector>

#include <functional>

namespace korvane {

// What the canvas buffer shows over its picture, kept as the drawing steps
// that made it, so that the zoomed canvas can draw the same again at its
// scale, with lines as wide as chosen. A redraw of the areas is one step.
class DrawingLog {
public:
    struct Style {
        QColor pen; // the outline's colour (a line's or circle's own colour)
        QColor fill;
        FillStyle fillStyle = FillStyle::Transparent;
        int width = 1;
        DrawMode mode = DrawMode::Copy;
        bool operator==(const Style&) const = default;
    };
    enum class Kind { Line, Rectangle, Circle, Polygon, Text, Areas };
    struct Step {
        Kind kind = Kind::Line;
        Style style;
        QPointF a, b;       // line ends, rectangle corners, circle centre, text corner
        double radius = 0;  // circle
        QPolygon points;    // polygon
        QString text;       // text
        QFont font;         // text
        QColor circleColor; // areas
        int skip = -1;      // areas: the one left out, -1 none
        QRectF bounds;      // where it draws, in picture pixels before the line width
        bool operator==(const Step&) const = default;
    };
    // Draws onto `target` the areas but `skip` (or, with only >= 0, that one
    // area alone) that reach into `visible`, in list order.
    using AreaPainter = std::function<void(DrawingSurface& target, int skip, int only, const QColor& circleColor,
                                           const QRectF& visible)>;

    // More steps than this are not kept; the zoomed canvas then scales the buffer.
    static constexpr int kStepLimit = 20000;

    // The picture alone.
    void clear();
    // The picture with all areas drawn over it.
    void resetToAreas(const Style& style, const QColor& circleColor);
    // A primitive; an exclusive-or step drawn again at once cancels itself.
    void add(const Step& step);
    // All areas but `skip` painted over what is there.
    void addAreas(int skip, const Style& style, const QColor& circleColor);

    bool complete() const { return !m_overflow; }
    const QVector<Step>& steps() const { return m_steps; }
    // Draws every step that reaches into `visible` (picture pixels) onto `target`.
    void replay(DrawingSurface& target, const QRectF& visible, const AreaPainter& areas) const;

private:
    static void replayStep(DrawingSurface& target, const Step& step);
    int baseOnly() const;

    QVector<Step> m_steps;
    bool m_overflow = false;
};

} // namespace korvane
