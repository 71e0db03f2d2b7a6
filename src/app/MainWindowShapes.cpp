// The window's side of the shape work: which area lies on top (keys and
// menu entries), the points of a polygon (handle menu, Delete, Ctrl+click),
// several areas at once (Ctrl+click, band, Ctrl+A), the clipboard keys and
// snapping.
#include "app/MainWindow.h"
#include "app/CanvasContext.h"
#include "app/MenuBar.h"
#include "app/TraceControls.h"
#include "app/UndoControls.h"
#include "app/commands/AreaClipboard.h"
#include "tools/PolygonPoints.h"
#include "app/commands/SeveralAreas.h"
#include "app/commands/Snapping.h"
#include "app/commands/StackingMenu.h"
#include "canvas/AreaRenderer.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "canvas/MouseGrab.h"
#include "canvas/PolygonEdit.h"
#include "model/AreaEntry.h"

#include <QAction>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <numeric>

namespace korvane {

void MainWindow::createShapeCommands()
{
    m_stacking = new StackingMenu(m_document, *m_canvasContext, this);
    m_points = std::make_unique<PolygonPoints>(m_document, *m_canvasContext);
    m_snapping = new Snapping(m_areas, m_state, *ui.Picture1, this);
    m_canvasContext->setSnapping(m_snapping);
    m_several = new SeveralAreas(m_document, *m_canvasContext, this);
    const auto pictureSize = [this] { return ui.Picture1->pictureSize(); };
    const auto showRows = [this](const QList<int>& rows, int current) { showSeveral(rows, current); };
    m_clipboard = new AreaClipboard(m_document, {pictureSize, showRows}, this);
    ui.List1->viewport()->installEventFilter(this);
}

// Exactly these lines selected, the handles on `current`; edit mode shows
// them (a paste may come in drawing mode).
void MainWindow::showSeveral(const QList<int>& rows, int current)
{
    if (!rows.isEmpty() && !m_editor.editMode) {
        m_session.tools().enableEdit(true);
        m_session.setSelectionQuiet(true);
        chooseOption(ChosenOption::Edit);
        m_session.setSelectionQuiet(false);
    }
    m_session.setSelectionQuiet(true);
    m_document.selectRows(rows, current);
    m_session.setSelectionQuiet(false);
    showSelection();
}

// The area chosen last as a click on its line shows it, the other selected
// ones highlighted beside it.
void MainWindow::showSelection()
{
    removeHandles();
    const bool empty = m_areas.isEmpty();
    m_session.tools().enableEdit(!empty);
    ui.Command10->setEnabled(!empty);
    if (empty && ui.Option1[3]->isChecked())
        backToDrawingMode();
    if (selectedIndex() < 0) {
        refresh();
        return;
    }
    // The redraw that ends listSelected() draws the highlights over all of
    // this one's, line for line the same: drawn here too, thousands cost twice.
    m_highlightsLater = true;
    neu_zeichnen(-1, false);
    m_highlightsLater = false;
    listSelected();
}

// After every redraw in edit mode the other selected areas get their
// highlight again; with one area selected nothing changes. Dragged ones get
// theirs on the overlay.
void MainWindow::drawSelectionHighlights()
{
    if (!m_editor.editMode || !m_several || !m_several->several() || m_canvasContext->movedShown() || m_highlightsLater)
        return;
    const int current = selectedIndex();
    DrawingSurface& surface = ui.Picture1->surface();
    const QColor pen = surface.penColor();
    // Drawn over the picture as the chosen area's highlight is: the rectangle
    // and circle tools leave the surface inverting, which turned a filled
    // area black under its highlight and left it so after the next redraw.
    const DrawMode mode = surface.drawMode();
    surface.setDrawMode(DrawMode::Copy);
    surface.setPenColor(QColor(255, 255, 0));
    for (int row : m_document.selectedRows()) {
        if (row != current)
            drawOutline(surface, m_renderer->geometry(row));
    }
    surface.setPenColor(pen);
    surface.setDrawMode(mode);
}

void MainWindow::toggleFromCanvas(int row)
{
    m_session.setSelectionQuiet(true);
    m_document.toggle(row);
    m_session.setSelectionQuiet(false);
    showSelection();
}

// Ctrl + click on a line adds it to the selection or takes it out.
bool MainWindow::controlClickInList(QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return false;
    const auto* click = static_cast<QMouseEvent*>(event);
    if (click->button() != Qt::LeftButton || click->modifiers() != Qt::ControlModifier || !m_editor.editMode ||
        shapeInProgress())
        return false;
    const QModelIndex index = ui.List1->indexAt(click->position().toPoint());
    if (index.isValid() && event->type() == QEvent::MouseButtonPress)
        toggleFromCanvas(index.row());
    return index.isValid();
}

bool MainWindow::selectAllKey(QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !static_cast<QKeyEvent*>(event)->matches(QKeySequence::SelectAll) ||
        !areaEditAvailable(AreaEdit::SelectAll))
        return false;
    runAreaEdit(AreaEdit::SelectAll);
    return true;
}

bool MainWindow::clipboardKey(QEvent* event)
{
    if (event->type() != QEvent::KeyPress || shapeInProgress())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    for (const auto& [standard, edit] :
         {std::pair{QKeySequence::Copy, AreaEdit::Copy}, std::pair{QKeySequence::Cut, AreaEdit::Cut},
          std::pair{QKeySequence::Paste, AreaEdit::Paste}}) {
        if (key->matches(standard)) {
            runAreaEdit(edit);
            return true;
        }
    }
    return false;
}

bool MainWindow::areaEditAvailable(AreaEdit edit) const
{
    if (shapeInProgress())
        return false;
    switch (edit) {
    case AreaEdit::Cut:
    case AreaEdit::Copy:
        return !m_document.selectedRows().isEmpty();
    case AreaEdit::Paste:
        return ui.Picture1->hasPicture() && AreaClipboard::canPaste();
    case AreaEdit::Delete:
        return selectedIndex() >= 0 || m_several->several();
    case AreaEdit::SelectAll:
        return m_editor.editMode && !m_areas.isEmpty();
    }
    return false;
}

void MainWindow::runAreaEdit(AreaEdit edit)
{
    if (!areaEditAvailable(edit))
        return;
    switch (edit) {
    case AreaEdit::Cut:
        m_clipboard->cut();
        return;
    case AreaEdit::Copy:
        m_clipboard->copy();
        return;
    case AreaEdit::Paste:
        m_clipboard->paste();
        return;
    case AreaEdit::Delete:
        if (!m_several->removeAsked())
            m_listCommands.deleteWithQuestion();
        return;
    case AreaEdit::SelectAll:
        break;
    }
    QList<int> rows(m_areas.count());
    std::iota(rows.begin(), rows.end(), 0);
    showSeveral(rows, selectedIndex() >= 0 ? selectedIndex() : 0);
}

// The lines after a change of order or shape: drawn, coded, and the area
// chosen again with its handles.
void MainWindow::showChangedArea(int row)
{
    showRestoredState(row);
}

QList<QAction*> MainWindow::areaMenuEntries()
{
    if (!m_editor.editMode || shapeInProgress())
        return {};
    return m_stacking->actions() << m_several->alignMenu()->menuAction();
}

bool MainWindow::orderKey(int key)
{
    const std::optional<StackingOrder::Move> move = StackingOrder::forKey(key);
    if (!move)
        return false;
    m_stacking->order().run(*move);
    return true;
}

// A polygon's point handle has its own menu: the point can go while three stay.
bool MainWindow::pointMenu(int handle, QPoint globalPos)
{
    if (QGuiApplication::mouseButtons() & Qt::LeftButton)
        return true; // a drag is held: no menu beneath it
    const int row = selectedIndex();
    if (handle < 1 || !m_editor.editMode || entry::shapeOf(m_areas.line(row)) != QLatin1String("poly"))
        return false;
    m_handles->endDrag(); // the right press held the handle; the menu takes the release
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("pointMenu"));
    QAction* remove = menu.addAction(tr("Punkt entfernen"));
    remove->setEnabled(m_points->canRemove(row, handle - 1));
    if (menu.exec(globalPos) == remove)
        m_points->remove(row, handle - 1);
    return true;
}

// Delete with the pointer on a point handle takes that point, not the area.
bool MainWindow::deletePointKey(QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !m_editor.editMode)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Delete || key->modifiers() != Qt::NoModifier)
        return false;
    const int vertex = m_handles->vertexUnderPointer();
    if (vertex < 0)
        return false;
    m_points->remove(selectedIndex(), vertex);
    return true;
}

// The points the drawing tools take snap: a left press, and the pointer's
// moves, which mark the target the next press would take.
QPointF MainWindow::drawingPoint(QPointF position, Qt::MouseButton button)
{
    if (button != Qt::LeftButton && button != Qt::NoButton)
        return position;
    return m_snapping->point(position);
}

// The canvas menu: undo and redo, in edit mode the order and the alignment,
// with the tracing tool its entries, and always snapping.
QList<QAction*> MainWindow::canvasMenuEntries()
{
    QList<QAction*> entries = m_trace->menuEntries();
    entries << areaMenuEntries();
    if (!entries.isEmpty())
        entries << m_snapping->separator();
    return entries << m_snapping->actions();
}

} // namespace korvane
