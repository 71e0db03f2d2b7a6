#include "app/CanvasContext.h"

#include "app/EditorSession.h"
#include "app/commands/EditorView.h"
#include "app/commands/Snapping.h"
#include "canvas/AreaRenderer.h"
#include "canvas/Canvas.h"

#include <QWidget>

namespace korvane {

MapDocument& CanvasContext::document()
{
    return m_session.document();
}

QSize CanvasContext::pictureSize() const
{
    return m_canvas.pictureSize();
}

QPoint CanvasContext::snapPoint(int row, QPoint point, const QRect& reach)
{
    return m_snapping ? m_snapping->point(point, row, reach).toPoint() : point;
}

QPoint CanvasContext::snapMove(int row, const QString& before, QPoint by)
{
    return m_snapping ? m_snapping->move(before, row, by) : by;
}

void CanvasContext::unmark()
{
    if (m_snapping)
        m_snapping->unmark();
}

void CanvasContext::showPreview(int row, const QString& line)
{
    m_renderer.showPreview(row, line);
    m_session.preview().show(row, line);
}

void CanvasContext::endPreview()
{
    m_renderer.endPreview();
    m_session.preview().end();
}

// The list would repaint its line at every move otherwise.
void CanvasContext::holdList(bool hold)
{
    m_list.setUpdatesEnabled(!hold);
}

void CanvasContext::redraw(bool regenerate)
{
    m_view.neu_zeichnen(-1, regenerate);
}

} // namespace korvane
