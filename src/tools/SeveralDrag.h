#pragma once

#include "model/AreaLines.h"

#include <QList>
#include <QPoint>
#include <QPointF>

namespace korvane {

class ToolContext;

// One drag of several selected areas, held by one of them. The lines stay as
// they were at the press until the release (so no rounding adds up, and the
// list and the code follow once); meanwhile the canvas shows them moved above
// the others. The release makes one step, a click none.
class SeveralDrag {
public:
    // `held`: the area under the pointer at `start` (picture pixels).
    SeveralDrag(ToolContext& context, QList<int> rows, int held, QPointF start);

    const QList<int>& rows() const { return m_rows; }
    // How far the areas have moved (whole picture pixels).
    QPoint offset() const { return m_offset; }
    void moveTo(QPointF point);
    // One step "Areale verschieben"; false when nothing moved (a click).
    bool release();
    // The areas where they were at the press, no step.
    void cancel();

private:
    AreaLines movedLines() const;

    ToolContext& m_context;
    QList<int> m_rows;
    int m_held;
    QPointF m_start;
    QPoint m_offset;
    AreaLines m_before;
};

} // namespace korvane
