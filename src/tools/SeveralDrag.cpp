#include "tools/SeveralDrag.h"

#include "canvas/AreaArrangement.h"
#include "document/MapDocument.h"
#include "tools/ToolContext.h"

#include <QCoreApplication>

#include <cmath>

namespace korvane {

SeveralDrag::SeveralDrag(ToolContext& context, QList<int> rows, int held, QPointF start)
    : m_context(context), m_rows(std::move(rows)), m_held(held), m_start(start),
      m_before(context.document().areas().lines())
{
}

// The area held brings its points to the targets; the others catch nothing.
void SeveralDrag::moveTo(QPointF point)
{
    const QPointF moved = point - m_start;
    QPoint by(int(std::trunc(moved.x())), int(std::trunc(moved.y())));
    if (m_held >= 0 && m_held < m_before.size())
        by = m_context.snapMoveSeveral(m_before[m_held], m_rows, by, false);
    if (by == m_offset)
        return;
    m_offset = by;
    m_context.showMoved(m_rows, m_offset);
}

AreaLines SeveralDrag::movedLines() const
{
    AreaLines lines = m_before;
    for (int row : m_rows)
        lines.replace(row, movedLine(m_before[row], m_offset.x(), m_offset.y()));
    return lines;
}

bool SeveralDrag::release()
{
    const bool moved = !m_offset.isNull();
    m_context.endMoved(!moved);
    if (!moved)
        return false;
    MapDocument& document = m_context.document();
    document.changeLines(m_before, movedLines(),
                         QCoreApplication::translate("korvane::SeveralAreas", "Areale verschieben"),
                         document.selectedRow());
    return true;
}

void SeveralDrag::cancel()
{
    m_offset = QPoint();
    m_context.endMoved(true);
}

} // namespace korvane
