#pragma once

#include "tools/HandleGeometry.h"

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QString>

namespace korvane {

class ToolContext;

// One drag of a handle, or of the area's body, of the area being edited. The
// handles follow the pointer and the canvas shows the area reshaped, but the
// document keeps its line until the release, which makes one undo step (none
// when nothing changed); a cancel leaves no trace.
class HandleDrag {
public:
    // `places` and `aligns`: the handles as they stand at the press (see
    // handles::Layout); `index`: the handle held.
    HandleDrag(ToolContext& context, int row, QList<QPoint> places, QList<int> aligns, int index);

    int row() const { return m_row; }
    int index() const { return m_index; }
    bool carriesWholeArea() const { return m_wholeArea; }
    const QList<QPoint>& places() const { return m_places; }
    // The line as the handles show it now.
    const QString& line() const { return m_line; }

    // The held handle's top-left corner goes to `target` (picture pixels).
    void moveHandle(QPoint target);
    // A body drag: the area keeps its distance to the pointer, which was at
    // `start` at the press; a tremor within one pixel moves nothing. False
    // when nothing moved.
    void startBody(QPointF start);
    bool moveBody(QPointF pointer);
    bool bodyMoved() const { return m_bodyMoved; }

    // The document takes the line: one step. False when it did not change.
    bool release();
    // The handles and the area as at the press, no step.
    void cancel();
    const QList<QPoint>& placesAtPress() const { return m_startPlaces; }

private:
    QPoint snapped(QPoint target) const;

    ToolContext& m_context;
    int m_row;
    QString m_before;
    QString m_line;
    handles::Shape m_shape;
    QList<QPoint> m_startPlaces;
    QList<QPoint> m_places;
    QList<int> m_aligns;
    int m_index;
    bool m_wholeArea;
    QPointF m_bodyStart;
    bool m_bodyMoved = false;
    bool m_previewShown = false;
};

} // namespace korvane
