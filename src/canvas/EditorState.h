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
    int drawState = 0;                          // 1 ready, 2 a rectangle or circle is dragged
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
};

} // namespace korvane
