#pragma once

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QString>

namespace korvane {

// The variables that carry the mode, the current tool and the shape being
// drawn from one mouse event to the next. Mouse positions are canvas pixels.
// The mode and the shape keyword are written by the ToolManager only.
struct EditorState {
    QString shapeKind = QStringLiteral("poly"); // "poly", "rect" or "circle"
    QPointF dragStart;
    QPointF dragEnd;
    QPointF dragPrevious;
    bool polygonOpen = false;
    QPointF polyFirst;
    QPointF polyLast;
    QList<QPoint> polyPoints; // whole-pixel points of the open polygon, in click order
    int polyPointCount = 0;
    QString polyCoordText;
    bool editMode = false;

    // 0 before the first tool was made ready, 1 ready, 2 a rectangle or
    // circle is dragged.
    int drawState() const { return m_drawState; }
    // The one writer of the draw state: a rectangle's or circle's drag begins
    // (true), or it is over and the tool ready (false).
    void setDragging(bool dragging) { m_drawState = dragging ? 2 : 1; }
    // The shape under way dropped (Refresh, another tool, a new map): no
    // polygon open, ready.
    void dropShape()
    {
        polygonOpen = false;
        setDragging(false);
    }

private:
    int m_drawState = 0;
};

} // namespace korvane
