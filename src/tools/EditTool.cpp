#include "tools/EditTool.h"

#include "canvas/AreaGeometry.h"
#include "canvas/PolygonEdit.h"
#include "document/MapDocument.h"
#include "model/AreaEntry.h"
#include "model/AreaList.h"
#include "tools/ToolContext.h"

#include <QCoreApplication>

#include <cmath>

namespace korvane {

// The window's messages keep the translation context they always had.
static QString windowText(const char* text)
{
    return QCoreApplication::translate("korvane::MainWindow", text);
}

// A left press inside an area chooses it, as a click on its line does (a
// browser's choice where areas overlap), and holds its body for moving; a
// press outside every area does what it always did.
bool EditTool::press(Qt::MouseButton button, QPointF at, bool control)
{
    // A painted point handle takes the press as a handle widget would.
    if (const int painted = m_context.paintedHandleAt(); painted >= 0) {
        if (button == Qt::LeftButton && !m_drag)
            startHandle(painted, Held::Painted);
        return true;
    }
    if (button == Qt::LeftButton && control && insertPoint(at))
        return false;
    MapDocument& document = m_context.document();
    const int hit = button == Qt::LeftButton ? m_context.areaAt(at) : -1;
    const int selected = document.selectedRow();
    if (document.areas().isEmpty()) {
        m_context.inform(windowText("Bitte zunächst ein Areal einzeichnen!"));
    } else if (hit >= 0 && control) {
        m_context.toggle(hit);
    } else if (hit >= 0 && document.selectedRows().size() > 1 && document.selection().isRowSelected(hit)) {
        // All selected areas move with the one held.
        m_several.emplace(m_context, document.selectedRows(), hit, at);
        return true;
    } else if (hit >= 0) {
        m_context.select(hit);
        if (const int index = wholeAreaHandle(); index >= 0 && !m_drag) {
            startHandle(index, Held::Body);
            m_drag->startBody(at);
        }
        return true;
    } else if (selected < 0) {
        m_context.inform(windowText("Bitte zunächst in der Arealliste ein Element auswählen!"));
    } else if (button == Qt::RightButton) {
        addPoint(at);
    } else if (button == Qt::LeftButton) {
        // A drag on the empty picture draws a band; the areas it encloses are chosen.
        m_band.emplace(Band{at, std::nullopt});
        m_context.endBand();
        return true;
    }
    return false;
}

void EditTool::move(Qt::MouseButtons buttons, QPointF at)
{
    if (buttons != Qt::LeftButton)
        return;
    if (m_several) {
        m_several->moveTo(at);
    } else if (m_band) {
        moveBand(at);
    } else if (m_drag && m_held == Held::Painted) {
        // The handle's corner follows the pointer's picture pixel.
        const QPoint place = m_drag->places().value(m_drag->index());
        dragHandle(m_drag->index(),
                   place + QPoint(int(std::trunc(at.x() - place.x())), int(std::trunc(at.y() - place.y()))));
    } else if (m_drag && m_held == Held::Body) {
        if (m_drag->moveBody(at))
            showHandles();
    }
}

void EditTool::release(Qt::MouseButton button, QPointF at)
{
    if (button == Qt::LeftButton) {
        // A click without a move returns to the one area, as on any other.
        if (m_several && !releaseSeveral())
            m_context.select(m_context.areaAt(at));
        if (m_drag && m_held != Held::Widget)
            finishHandle();
        releaseBand();
    }
    m_context.unmark();
}

void EditTool::pressHandle(int index)
{
    if (!m_drag)
        startHandle(index, Held::Widget);
}

void EditTool::startHandle(int index, Held held)
{
    m_drag.emplace(m_context, m_context.document().selectedRow(), m_context.handlePlaces(), m_context.handleAligns(),
                   index);
    m_held = held;
}

void EditTool::dragHandle(int index, QPoint target)
{
    if (!m_drag || m_drag->index() != index)
        return;
    m_drag->moveHandle(target);
    showHandles();
}

void EditTool::showHandles()
{
    m_context.showHandles(m_drag->places(), m_drag->index());
}

// The drag is over before the document takes its line: that change ends
// every drag in progress, this one too.
void EditTool::finishHandle()
{
    std::optional<HandleDrag> drag = std::exchange(m_drag, std::nullopt);
    if (!drag)
        return;
    // A click on the body that did not move only chose the area.
    if (m_held == Held::Body && !drag->bodyMoved())
        drag->cancel();
    else
        drag->release();
}

void EditTool::dropHandle()
{
    if (std::optional<HandleDrag> drag = std::exchange(m_drag, std::nullopt))
        drag->cancel();
}

// The handle that carries the whole area: the anchor, a circle's centre.
int EditTool::wholeAreaHandle() const
{
    const MapDocument& document = m_context.document();
    const QString shape = entry::shapeName(document.areas().line(document.selectedRow()));
    const qsizetype handles = m_context.handlePlaces().size();
    if (shape == QLatin1String("circle"))
        return handles >= 3 ? 1 : -1;
    if (shape == QLatin1String("rect"))
        return handles >= 5 ? 0 : -1;
    return shape == QLatin1String("poly") ? 0 : -1;
}

// Ctrl + left click near an edge of the selected polygon puts a point there.
bool EditTool::insertPoint(QPointF at)
{
    MapDocument& document = m_context.document();
    const int row = document.selectedRow();
    if (row < 0)
        return false;
    const QString before = document.areas().line(row);
    const AreaGeometry shape = parseArea(before);
    if (shape.kind != AreaGeometry::Kind::Poly)
        return false;
    const int edge = edgeNear(shape.points, at, m_context.catchReach());
    if (edge < 0)
        return false;
    const QString line = withVertexAfter(before, edge, QPoint(roundHalfEven(at.x()), roundHalfEven(at.y())));
    if (line.isNull())
        return false;
    document.changeShape(row, line, QCoreApplication::translate("korvane::PolygonPoints", "Punkt einfügen"));
    m_context.showChanged(row);
    return true;
}

// A right press with a polygon chosen adds a point at its end: the line the
// handles give with one more, one step.
void EditTool::addPoint(QPointF at)
{
    MapDocument& document = m_context.document();
    const int row = document.selectedRow();
    const QString before = document.areas().line(row);
    if (entry::shapeName(before) != QLatin1String("poly"))
        return;
    const QPoint place(roundHalfEven(at.x()), roundHalfEven(at.y()));
    const std::optional<QList<int>> values =
        handles::coordinatesOf(handles::shapeOf(before), m_context.handlePlaces() << place);
    if (!values)
        return;
    document.addPoint(row, entry::withCoords(before, entry::coordinateText(*values)));
    m_context.showAddedPoint(place);
}

void EditTool::moveBand(QPointF at)
{
    m_band->shown = m_context.showBand(QRectF(m_band->start, at).normalized());
}

void EditTool::releaseBand()
{
    const std::optional<Band> band = std::exchange(m_band, std::nullopt);
    if (!band || !band->shown)
        return;
    m_context.endBand();
    const QList<int> rows = m_context.areasInside(*band->shown);
    if (!rows.isEmpty())
        m_context.selectSeveral(rows, rows.first());
}

// True when the areas moved; false when it was a click.
bool EditTool::releaseSeveral()
{
    std::optional<SeveralDrag> drag = std::exchange(m_several, std::nullopt);
    if (!drag || !drag->release())
        return false;
    m_context.selectSeveral(drag->rows(), m_context.document().selectedRow());
    return true;
}

void EditTool::cancelSeveral()
{
    if (std::optional<SeveralDrag> drag = std::exchange(m_several, std::nullopt))
        drag->cancel();
}

bool EditTool::key(int key, bool onCanvas)
{
    if (!busy())
        return false;
    switch (key) {
    case Qt::Key_Escape:
        cancel();
        return true;
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
        return false; // Alt held suspends snapping during the drag
    default:
        return onCanvas || !m_drag;
    }
}

void EditTool::cancel()
{
    m_context.letGo();
    m_context.unmark();
    if (std::exchange(m_band, std::nullopt))
        m_context.endBand();
    const bool shown = m_drag || m_several;
    cancelSeveral();
    dropHandle();
    if (shown)
        m_context.showSelection(); // the areas and handles drawn as before the press
}

void EditTool::finish()
{
    m_context.letGo();
    m_context.unmark();
    releaseSeveral();
    finishHandle();
    releaseBand();
}

void EditTool::documentAboutToChange()
{
    finishHandle();
    // Their lines change only at the release: a change of the areas before it
    // (from anywhere) would be undone by it, so the drag stops instead.
    cancelSeveral();
}

} // namespace korvane
