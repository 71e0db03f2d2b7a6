// The area list: selection highlight, deleting, copying, clearing, editing.
#include "app/MainWindow.h"
#include "canvas/AreaGeometry.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "platform/Platform.h"

#include <QLabel>
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

// Removes the selected line and leaves nothing selected; the list's own
// move of the current row to a neighbour must not count as a selection.
void MainWindow::removeSelectedLine()
{
    const int index = selectedIndex();
    m_selectionQuiet = true;
    m_areas.remove(index);
    ui.List1->selectionModel()->clear();
    m_selectionQuiet = false;
}

void MainWindow::deleteWithQuestion()
{
    if (!askYesNo(this, kQuestionTitle, QStringLiteral("Soll dieser Eintag wirklich gelöscht werden?")))
        return;
    removeSelectedLine();
    refresh();
    if (ui.Option1[3]->isChecked()) {
        m_handles->removeHandles();
        m_handles->hideAnchor();
    }
    if (m_areas.isEmpty())
        backToDrawingMode();
}

void MainWindow::dropOnTrash()
{
    removeSelectedLine();
    m_handles->removeHandles();
    m_handles->hideAnchor();
    neu_zeichnen(-1, true);
    if (m_areas.isEmpty())
        backToDrawingMode();
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
    m_editor.editMode = false;
    if (ui.txtMap->document()->isEmpty())
        m_state.mapSaved = true;
    ui.Label3->setText(QStringLiteral("Zeichen-Modus"));
    ui.Timer1->stop();
    QFont font = ui.Label3->font();
    font.setUnderline(false);
    ui.Label3->setFont(font);
}

void MainWindow::copyCommand()
{
    const int index = selectedIndex();
    if (index >= 0) {
        m_areas.append(m_areas.line(index));
        chooseOption(3);
        setSelectedIndex(m_areas.count() - 1);
    } else if (!m_areas.isEmpty()) {
        inform(this, QStringLiteral("Bitte zunächst ein Element in der Arealliste auswählen."));
    }
}

void MainWindow::clearCommand()
{
    if (m_areas.isEmpty())
        return;
    if (askYesNo(this, kQuestionTitleDash,
                 QStringLiteral("Möchten Sie jetzt wirklich alle eingezeichneten Areale löschen?")))
        reset_zustand();
}

void MainWindow::editCommand()
{
    const int index = selectedIndex();
    if (index < 0 && !m_areas.isEmpty()) {
        inform(this, QStringLiteral("Bitte zunächst ein Areal in der Arealliste auswählen."));
        return;
    }
    if (index >= 0)
        runAttributeEditor(index);
}

} // namespace korvane
