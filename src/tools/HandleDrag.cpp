#include "tools/HandleDrag.h"

#include "document/MapDocument.h"
#include "model/AreaEntry.h"
#include "model/AreaList.h"
#include "tools/ToolContext.h"

#include <climits>
#include <cmath>

namespace korvane {

HandleDrag::HandleDrag(ToolContext& context, int row, QList<QPoint> places, QList<int> aligns, int index)
    : m_context(context), m_row(row), m_before(context.document().areas().line(row)), m_line(m_before),
      m_shape(handles::shapeOf(m_before)), m_startPlaces(places), m_places(std::move(places)),
      m_aligns(std::move(aligns)), m_index(index), m_wholeArea(handles::carriesWholeArea(m_shape, index))
{
    m_context.holdList(true);
}

// A handle that carries the whole area snaps by the area's points; another
// one by the point it marks (a circle's radius handle along its line only).
QPoint HandleDrag::snapped(QPoint target) const
{
    if (m_index < 0 || m_index >= m_places.size())
        return target;
    if (m_wholeArea) {
        const QPoint start = m_startPlaces[m_index];
        return start + m_context.snapMove(m_row, m_before, target - start);
    }
    const int a = m_index < m_aligns.size() ? m_aligns[m_index] : 0;
    const QPoint align(a, a);
    const bool alongRadius = m_index == 2 && m_shape == handles::Shape::Circle;
    const QPoint marked = alongRadius ? QPoint(target.x(), m_places[m_index].y()) + align : target + align;
    // A handle stays on the picture; the radius handle does not.
    const QRect reach = alongRadius ? QRect(QPoint(INT_MIN / 2, INT_MIN / 2), QPoint(INT_MAX / 2, INT_MAX / 2))
                                    : QRect(align, m_context.pictureSize());
    const QPoint to = m_context.snapPoint(m_row, marked, reach) - align;
    return alongRadius ? QPoint(to.x(), target.y()) : to;
}

void HandleDrag::moveHandle(QPoint target)
{
    handles::drag(m_shape, m_places, m_index, snapped(target), m_context.pictureSize());
    const std::optional<QList<int>> values = handles::coordinatesOf(m_shape, m_places);
    if (!values)
        return;
    // A move within the same picture pixel shows nothing new: the area is
    // not drawn again.
    QString line = entry::withCoords(m_before, entry::coordinateText(*values));
    if (line != m_line) {
        m_line = std::move(line);
        m_context.showPreview(m_row, m_line);
        m_previewShown = true;
    }
    m_context.redraw(false);
}

void HandleDrag::startBody(QPointF start)
{
    m_bodyStart = start;
    m_bodyMoved = false;
}

bool HandleDrag::moveBody(QPointF pointer)
{
    if (m_index < 0 || m_index >= m_startPlaces.size())
        return false;
    const QPointF moved = pointer - m_bodyStart;
    const QPoint start = m_startPlaces[m_index];
    const QPoint target = start + QPoint(int(std::trunc(moved.x())), int(std::trunc(moved.y())));
    if (!m_bodyMoved && target == start)
        return false; // a click's tremor within one picture pixel
    m_bodyMoved = true;
    moveHandle(target);
    return true;
}

bool HandleDrag::release()
{
    m_context.holdList(false);
    MapDocument& document = m_context.document();
    const bool changed = m_line != m_before && m_row >= 0 && m_row < document.areas().count();
    if (changed)
        document.dragArea(m_row, m_before, m_line, m_wholeArea);
    if (m_previewShown)
        m_context.endPreview();
    m_context.unmark();
    m_context.redraw(true);
    return changed;
}

void HandleDrag::cancel()
{
    m_context.holdList(false);
    m_places = m_startPlaces;
    m_line = m_before;
    if (m_previewShown)
        m_context.endPreview();
    m_context.unmark();
}

} // namespace korvane
