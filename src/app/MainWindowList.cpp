// The area list: selection highlight, deleting, and the state after an undo.
#include "app/MainWindow.h"
#include "app/MenuBar.h"
#include "app/commands/SeveralAreas.h"
#include "canvas/AreaGeometry.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"

#include <QLabel>
#include <QKeyEvent>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace korvane {

void MainWindow::listSelected()
{
    const int index = selectedIndex();
    if (index < 0)
        return;
    if (m_editor.editMode)
        m_handles->removeHandles();
    DrawingSurface& surface = ui.Picture1->surface();
    const DrawMode mode = surface.drawMode();
    const QColor pen = surface.penColor();
    surface.setDrawMode(DrawMode::Copy);
    surface.setPenColor(QColor(255, 255, 0));
    drawOutline(surface, parseArea(m_areas.line(index)));
    if (m_editor.editMode)
        edit_zeichnen(index);
    surface.setPenColor(pen);
    surface.setDrawMode(mode);
    neu_zeichnen(index, true);
}

void MainWindow::backToDrawingMode()
{
    // An option button cannot be unchecked while it is exclusive.
    ui.Option1[3]->setAutoExclusive(false);
    {
        const QSignalBlocker block(ui.Option1[3]);
        ui.Option1[3]->setChecked(false);
    }
    ui.Option1[3]->setAutoExclusive(true);
    // The canvas draws with the tool checked: the one edit mode was entered
    // from (its drawing mode is still set) takes over, so a drag draws again.
    const ChosenOption tool = m_session.tools().drawingTool();
    {
        const QSignalBlocker block(ui.Option1[int(tool)]);
        ui.Option1[int(tool)]->setChecked(true);
    }
    m_session.tools().choose(tool);
    showMode(false);
}

// Delete in the list or on the canvas deletes the selected area as a double
// click does, after the same question.
bool MainWindow::deleteKey(QEvent* event)
{
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Delete ||
        static_cast<QKeyEvent*>(event)->modifiers() != Qt::NoModifier)
        return false;
    runAreaEdit(AreaEdit::Delete);
    return true;
}

// After an undo or redo: the canvas and the code show the restored lines, the
// touched area is selected as if clicked, and the tools follow the list.
void MainWindow::showRestoredState(int row)
{
    removeHandles();
    m_session.setSelectionQuiet(true);
    setSelectedIndex(-1);
    m_session.setSelectionQuiet(false);
    // "clear" leaves the edit option checked while not editing; it is
    // unchecked here, so that choosing it enters edit mode again.
    const bool empty = m_areas.isEmpty();
    if (m_session.editChosen() && (empty || !m_editor.editMode))
        backToDrawingMode();
    m_session.tools().enableEdit(!empty);
    ui.Command10->setEnabled(!empty);
    if (row < 0 || row >= m_areas.count()) {
        refresh();
    } else {
        // The selection regenerates the code; the redraw before it need not.
        m_editor.dropShape();
        neu_zeichnen(-1, false);
        m_session.setSelectionQuiet(true);
        setSelectedIndex(row);
        m_session.setSelectionQuiet(false);
        listSelected();
    }
}

} // namespace korvane
