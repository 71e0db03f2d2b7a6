#include "app/CanvasContext.h"

#include "app/EditorSession.h"
#include "app/MainToolHost.h"
#include "app/commands/EditorView.h"
#include "app/commands/Snapping.h"
#include "canvas/AreaArrangement.h"
#include "canvas/AreaRenderer.h"
#include "canvas/AreaGeometry.h"
#include "canvas/Canvas.h"
#include "canvas/DrawingSurface.h"
#include "canvas/EditHandles.h"
#include "canvas/MouseGrab.h"
#include "canvas/PolygonEdit.h"
#include "platform/Platform.h"

#include <QRubberBand>
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

QPoint CanvasContext::snapMoveSeveral(const QString& held, const QList<int>& rows, QPoint by, bool byKey)
{
    return m_snapping ? m_snapping->moveSeveral(held, rows, by, byKey) : by;
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

// The first move takes the moved areas out of the picture (one redraw of
// their places); from then on only the canvas's overlay follows the pointer.
void CanvasContext::showMoved(const QList<int>& rows, QPoint offset)
{
    m_movedRows = rows;
    m_movedBy = offset;
    if (m_movedShown) {
        m_canvas.update();
        return;
    }
    m_movedShown = true;
    m_renderer.setHidden(rows);
    m_view.neu_zeichnen(-1, false);
    m_canvas.setOverlay([this](DrawingSurface& target, const QRectF& visible) { paintMoved(target, visible); });
}

void CanvasContext::endMoved(bool redraw)
{
    if (!m_movedShown)
        return;
    m_movedShown = false;
    m_canvas.setOverlay({});
    m_renderer.setHidden({});
    if (redraw)
        m_view.neu_zeichnen(-1, false);
}

// The moved areas as the redraw shows them, the highlights over them.
void CanvasContext::paintMoved(DrawingSurface& target, const QRectF& visible) const
{
    QList<AreaGeometry> shown;
    for (int row : m_movedRows) {
        AreaGeometry shape = movedArea(m_renderer.geometry(row), m_movedBy);
        if (shape.drawable() && QRectF(shape.bounds).intersects(visible))
            drawArea(target, shape, m_session.drawing().draw);
        shown << std::move(shape);
    }
    const int current = m_session.document().selectedRow();
    target.setPenColor(QColor(255, 255, 0));
    for (qsizetype i = 0; i < m_movedRows.size(); ++i) {
        if (m_movedRows[i] != current && shown[i].drawable() && QRectF(shown[i].bounds).intersects(visible))
            drawOutline(target, shown[i]);
    }
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

int CanvasContext::areaAt(QPointF point) const
{
    return m_renderer.areaAt(point);
}

QList<int> CanvasContext::areasInside(const QRectF& band) const
{
    return korvane::areasInside(m_renderer.shapes(), band);
}

void CanvasContext::select(int row)
{
    m_window.selectFromCanvas(row);
}

void CanvasContext::toggle(int row)
{
    m_window.toggleFromCanvas(row);
}

void CanvasContext::selectSeveral(const QList<int>& rows, int current)
{
    m_window.showSeveral(rows, current);
}

void CanvasContext::showSelection()
{
    m_window.showSelection();
}

void CanvasContext::showChanged(int row)
{
    m_window.showChangedArea(row);
}

void CanvasContext::inform(const QString& text)
{
    korvane::inform(m_view.owner(), text);
}

bool CanvasContext::askLink(const QRect& shapeOnScreen)
{
    return m_window.askLink(shapeOnScreen);
}

const QImage& CanvasContext::picture() const
{
    return m_canvas.picture();
}

bool CanvasContext::addPolygon(const QString& coords)
{
    const bool made = m_toolHost && m_toolHost->commitShape(QStringLiteral("poly"), coords);
    m_view.refresh();
    return made;
}

bool CanvasContext::addPolygons(const QStringList& coords, const QString& stepText)
{
    const bool made = m_toolHost && m_toolHost->commitShapes(QStringLiteral("poly"), coords, stepText);
    m_view.refresh();
    return made;
}

void CanvasContext::repaintOverlay()
{
    m_canvas.update();
}

double CanvasContext::catchReach() const
{
    return kCatchPixels / m_canvas.zoomFactor();
}

QList<QPoint> CanvasContext::handlePlaces() const
{
    return m_handles ? m_handles->places() : QList<QPoint>();
}

QList<int> CanvasContext::handleAligns() const
{
    return m_handles ? m_handles->aligns() : QList<int>();
}

int CanvasContext::paintedHandleAt() const
{
    return m_handles ? m_handles->paintedHandleAt() : -1;
}

void CanvasContext::showHandles(const QList<QPoint>& places, int held)
{
    if (m_handles)
        m_handles->showPlaces(places, held);
}

void CanvasContext::showAddedPoint(QPoint place)
{
    if (m_handles)
        m_handles->addPointHandle(place);
    m_view.neu_zeichnen(-1, true);
}

bool CanvasContext::pointMenu(int handle, QPoint globalPos)
{
    return m_window.pointMenu(handle, globalPos);
}

void CanvasContext::regenerate()
{
    m_window.map_daten();
}

// The band is a widget over the canvas, in whole screen pixels; what it
// encloses is read back from what it shows.
QRectF CanvasContext::showBand(const QRectF& band)
{
    if (!m_band)
        m_band = new QRubberBand(QRubberBand::Rectangle, &m_canvas);
    const double zoom = m_canvas.zoomFactor();
    m_band->setGeometry(QRectF(band.topLeft() * zoom, band.bottomRight() * zoom).toAlignedRect());
    m_band->show();
    const QRectF shown = m_band->geometry();
    return QRectF(shown.topLeft() / zoom, shown.bottomRight() / zoom);
}

void CanvasContext::endBand()
{
    if (m_band)
        m_band->hide();
}

void CanvasContext::letGo()
{
    releasePointer(&m_canvas);
    if (m_handles)
        m_handles->letGo();
}

} // namespace korvane
