// The canvas's mouse handlers and keys: the drawing tools in drawing mode;
// in edit mode choosing, moving and reshaping areas; the pointer position label.
#include "app/MainWindow.h"
#include "app/TraceControls.h"
#include "app/UndoControls.h"
#include "app/commands/SeveralAreas.h"
#include "app/commands/Snapping.h"
#include "canvas/AreaGeometry.h"
#include "canvas/AreaRenderer.h"
#include "canvas/DrawingTools.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "canvas/MouseGrab.h"
#include "tools/EditTool.h"
#include "tools/TraceTool.h"
#include "model/AreaEntry.h"
#include "platform/Platform.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

namespace korvane {

void MainWindow::connectCanvas()
{
    connect(ui.Picture1, &Canvas::mousePressed, this, &MainWindow::canvasPressed);
    connect(ui.Picture1, &Canvas::mouseMoved, this, &MainWindow::canvasMoved);
    connect(ui.Picture1, &Canvas::mouseReleased, this, &MainWindow::canvasReleased);

    // A mouse press on List1 makes the row current before it selects it, so
    // at the change of the current row the row is not selected yet and the
    // selection handling finds nothing to do. When the row that already was
    // current becomes selected, the handling runs here; a change made in one
    // step (keys, code) selects first and reports the new current row after,
    // and is handled there, once.
    auto* selection = ui.List1->selectionModel();
    auto lastCurrent = std::make_shared<QPersistentModelIndex>();
    connect(selection, &QItemSelectionModel::currentChanged, this,
            [lastCurrent](const QModelIndex& current) { *lastCurrent = current; });
    // A plain click on the area chosen last among several keeps it
    // selected and only takes the others out: it is shown alone again.
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            [this, lastCurrent, selection](const QItemSelection& selected, const QItemSelection& deselected) {
                const QModelIndex current = ui.List1->currentIndex();
                if (m_session.selectionQuiet() || !current.isValid() || current != *lastCurrent)
                    return;
                const bool othersOut = selected.isEmpty() && !deselected.isEmpty() && selection->isSelected(current);
                if (selected.contains(current) || othersOut)
                    listSelected();
            });
}

DrawingTool* MainWindow::currentTool() const
{
    const int chosen = static_cast<int>(m_session.chosenOption());
    return chosen < 3 ? m_tools[chosen].get() : nullptr;
}

void MainWindow::canvasPressed(Qt::MouseButton button, QPointF position)
{
    if (m_editor.editMode && dragUnderWay()) {
        // Another button pressed while one is held starts nothing.
        if (QGuiApplication::mouseButtons() & ~button)
            return;
        m_editTool->finish();
    }
    m_rightPressActed = button == Qt::RightButton && rightPressActs();
    if (!m_editor.editMode && m_trace->chosen()) {
        // The picture's own pixel: snapping never moves a traced outline.
        m_trace->tool().press(button, position);
        return;
    }
    if (m_editor.editMode) {
        const bool control = QGuiApplication::keyboardModifiers() & Qt::ControlModifier;
        if (m_editTool->press(button, position, control))
            grabPointer(ui.Picture1);
        return;
    }
    if (DrawingTool* tool = currentTool())
        tool->press(button, drawingPoint(position, button));
    // A rubber band follows the pointer also outside the canvas until release.
    if (m_editor.drawState() == 2)
        grabPointer(ui.Picture1);
}

void MainWindow::selectFromCanvas(int row)
{
    if (row != selectedIndex() || m_several->several())
        setSelectedIndex(row);
    ui.List1->scrollTo(m_areas.index(row));
}

void MainWindow::canvasMoved(QPointF position, Qt::MouseButtons buttons)
{
    ui.lblPos->show();
    // The picture pixel under the pointer, as a click there gives it.
    ui.lblPos->setText(QStringLiteral("x=%1   y=%2").arg(roundHalfEven(position.x())).arg(roundHalfEven(position.y())));
    if (m_editor.editMode) {
        m_editTool->move(buttons, position);
        return;
    }
    if (m_trace->chosen())
        m_trace->tool().hover(position);
    else if (DrawingTool* tool = currentTool())
        tool->move(drawingPoint(position, Qt::NoButton));
}

void MainWindow::canvasReleased(Qt::MouseButton button, QPointF position)
{
    releasePointer(ui.Picture1);
    if (m_editor.editMode)
        m_editTool->release(button, position);
    if (!m_editor.editMode && m_trace->chosen())
        m_trace->tool().release(button, position);
    DrawingTool* tool = m_editor.editMode ? nullptr : currentTool();
    if (tool && !tool->release(button, position))
        return;
    ui.Command10->setEnabled(!m_areas.isEmpty());
}

// Edit mode, canvas focused: the arrow keys move the selected area by a
// pixel (with Shift by ten), Tab and Shift+Tab choose the next and the
// previous area in list order.
bool MainWindow::canvasKey(QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!m_editor.editMode) {
        DrawingTool* tool = key->modifiers() == Qt::NoModifier ? currentTool() : nullptr;
        if (!tool || !tool->key(key->key()))
            return false;
        releasePointer(ui.Picture1); // a band dropped by Escape is no longer held
        return true;
    }
    if (m_handles->isDragging())
        return false;
    Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    // With snapping on, Alt and an arrow key move without it.
    const bool arrow = key->key() >= Qt::Key_Left && key->key() <= Qt::Key_Down;
    if (arrow && m_state.snapOn)
        modifiers &= ~Qt::AltModifier;
    if (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier)
        return false;
    const bool shift = modifiers == Qt::ShiftModifier;
    const int step = shift ? 10 : 1;
    if (m_several->several()) {
        const QPoint by = key->key() == Qt::Key_Left    ? QPoint(-step, 0)
                          : key->key() == Qt::Key_Right ? QPoint(step, 0)
                          : key->key() == Qt::Key_Up    ? QPoint(0, -step)
                          : key->key() == Qt::Key_Down  ? QPoint(0, step)
                                                        : QPoint();
        if (!by.isNull()) {
            m_several->moveBy(by);
            return true;
        }
    }
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return selectNeighbour(shift || key->key() == Qt::Key_Backtab ? -1 : 1);
    case Qt::Key_Left:
        moveSelectedArea(QPoint(-step, 0));
        return true;
    case Qt::Key_Right:
        moveSelectedArea(QPoint(step, 0));
        return true;
    case Qt::Key_Up:
        moveSelectedArea(QPoint(0, -step));
        return true;
    case Qt::Key_Down:
        moveSelectedArea(QPoint(0, step));
        return true;
    default:
        return !shift && orderKey(key->key());
    }
}

// Each key move is drawn and coded at once; a run of them on one area is one step.
void MainWindow::moveSelectedArea(QPoint by)
{
    const int row = selectedIndex();
    if (row < 0)
        return;
    by = m_snapping->move(m_areas.line(row), row, by, true);
    const QString before = m_handles->moveArea(by.x(), by.y());
    if (before.isNull())
        return;
    neu_zeichnen(-1, true);
    m_document.recordKeyMove(row, before);
}

// Past the last area (before the first) Tab goes on to the next control,
// as a browser walks a map's areas, so that the canvas is no trap.
bool MainWindow::selectNeighbour(int direction)
{
    const int count = m_areas.count();
    const int row = selectedIndex();
    const int next = row < 0 ? (direction > 0 ? 0 : count - 1) : row + direction;
    if (next < 0 || next >= count)
        return false;
    selectFromCanvas(next);
    return true;
}

// Whether a right press on the canvas closes a polygon, adds a point, starts
// a drag or shows a message, as it does without the context menu.
bool MainWindow::rightPressActs() const
{
    if (m_editor.editMode)
        return m_areas.isEmpty() || selectedIndex() < 0 || entry::shapeOf(m_areas.line(selectedIndex())) == "poly";
    if (m_session.chosenOption() == ChosenOption::Polygon)
        return m_editor.polygonOpen;
    return currentTool() && m_editor.drawState() == 1;
}

// The menu key always opens the menu; a right click only when its press did
// nothing else, and never on a handle.
bool MainWindow::canvasContextMenu(QEvent* event)
{
    if (event->type() != QEvent::ContextMenu)
        return false;
    auto* request = static_cast<QContextMenuEvent*>(event);
    const bool byMouse = request->reason() == QContextMenuEvent::Mouse;
    // A painted point handle has the menu a handle widget has.
    const int vertex = byMouse && !dragUnderWay() && m_handles->paintsPoints() ? m_handles->vertexUnderPointer() : -1;
    if (vertex >= 0 && pointMenu(vertex + 1, request->globalPos())) {
        m_rightPressActed = false;
        return true;
    }
    const bool acted = byMouse && (m_rightPressActed || dragUnderWay());
    m_rightPressActed = false;
    if (!acted)
        m_undoControls->showMenu(request->globalPos(), canvasMenuEntries());
    return true;
}

// The history waits while a shape is drawn or a drag is under way: undoing
// then would throw away the points clicked so far or pull the areas from
// under the pointer.
bool MainWindow::shapeInProgress() const
{
    return m_editor.polygonOpen || m_editor.drawState() == 2 || dragUnderWay();
}

bool MainWindow::dragUnderWay() const
{
    return m_editTool->busy();
}

bool MainWindow::keyDuringDrag(QEvent* event, bool onCanvas)
{
    if (event->type() != QEvent::KeyPress || !dragUnderWay())
        return false;
    if (QGuiApplication::mouseButtons() == Qt::NoButton) {
        m_editTool->finish();
        return false;
    }
    return m_editTool->key(static_cast<QKeyEvent*>(event)->key(), onCanvas);
}

// Delete, and on the canvas the keys that choose another area, wait while a
// shape is drawn or an area is held: the shape or the drag would otherwise
// end on a list that changed beneath it.
bool MainWindow::keyWaitsForShape(QEvent* event, bool onCanvas) const
{
    if (event->type() != QEvent::KeyPress || !shapeInProgress())
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Delete || (onCanvas && (key == Qt::Key_Tab || key == Qt::Key_Backtab));
}

void MainWindow::edit_zeichnen(int index)
{
    m_handles->edit_zeichnen(index);
}

void MainWindow::neue_koordinaten_to_listbox(int index)
{
    m_handles->neue_koordinaten_to_listbox(index);
}

} // namespace korvane
