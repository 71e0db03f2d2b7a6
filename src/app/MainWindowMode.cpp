// Modes, the redraw and the drawing attributes of the main window.
#include "app/MainWindow.h"
#include "model/StageClock.h"
#include "app/StatusLine.h"
#include "app/TraceControls.h"
#include "canvas/AreaRenderer.h"
#include "canvas/Canvas.h"
#include "canvas/DrawingTools.h"
#include "canvas/EditHandles.h"

#include <QCheckBox>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace korvane {

namespace {

// Marked here, put into the window's language where shown.
const char* const kHelpTexts[] = {
    QT_TRANSLATE_NOOP("korvane::MainWindow", "Zeichnen von Polygonen: Linker MausClick Zeichnet die Polygonpunkte und erzeugt die "
                   "Verbindungslinie. Zuletzt schliesst ein rechter MausClick das Polygon (der letzte Punkt wird "
                   "mit dem ersten verbunden)."),
    QT_TRANSLATE_NOOP("korvane::MainWindow", "Zeichnen von Rechtecken: Linker MausClick setzt den Startpunkt. Dann mit gedrückter Maustaste "
                   "das Rechteck aufziehen."),
    QT_TRANSLATE_NOOP("korvane::MainWindow", "Zeichnen von Kreisen: Linker MausClick setzt den Startpunkt. Dann mit gedrückter Maustaste den "
                   "Kreis in x-Richtung aufziehen."),
    QT_TRANSLATE_NOOP("korvane::MainWindow", "Zunächst ein Element in der Arealliste selektieren. Verschieben des grünen Ankerpunktes bewegt "
                   "das gesamte Objekt. Mit den Ziehpunkten ändert man die Grösse der Objekte. Rechter MausClick "
                   "fügt einem Polygon weitere Ziehpunkte hinzu."),
};

void setUnderline(QLabel* label, bool on)
{
    QFont font = label->font();
    font.setUnderline(on);
    label->setFont(font);
}

void setBackground(QLabel* label, const QColor& color)
{
    QPalette p = label->palette();
    p.setColor(QPalette::Window, color);
    label->setPalette(p);
}

} // namespace

void MainWindow::showHelpText(int option)
{
    ui.txtHelp->setPlainText(tr(kHelpTexts[option]));
}

void MainWindow::chooseOption(ChosenOption option)
{
    if (option == ChosenOption::Trace)
        return chooseTrace();
    const int i = static_cast<int>(option);
    if (ui.Option1[i]->isChecked())
        modeSwitch(i);
    else
        ui.Option1[i]->setChecked(true); // runs the mode switch through its toggled signal
}

// Edit mode blinks its label; drawing mode shows it still.
void MainWindow::showMode(bool editing)
{
    m_session.tools().setEditing(editing);
    if (editing) {
        ui.Label3->setText(tr("Edit-Modus"));
        ui.Timer1->start();
        return;
    }
    ui.Timer1->stop();
    setUnderline(ui.Label3, false);
    ui.Label3->setText(tr("Zeichen-Modus"));
}

void MainWindow::leaveEditMode()
{
    showMode(false);
    m_handles->hideAnchor();
    m_handles->removeHandles();
    ui.Command9->setEnabled(false);
}

void MainWindow::modeSwitch(int i)
{
    // The shape under way goes with what was drawn of it.
    if (DrawingTool* tool = m_editor.editMode ? nullptr : currentTool())
        tool->cancel();
    m_session.tools().choose(static_cast<ChosenOption>(i));
    m_trace->leave();
    if (!m_areas.isEmpty())
        m_session.tools().enableEdit(true);
    leaveEditMode();
    m_editor.polygonOpen = false;
    DrawingSurface& surface = ui.Picture1->surface();
    if (i < 3)
        showHelpText(i);
    if (i == 0) {
        surface.setDrawMode(DrawMode::Copy);
    } else if (i == 1 || i == 2) {
        m_editor.setDragging(false);
        surface.setPenColor(drawColor());
        surface.setDrawMode(DrawMode::InvertXor);
    } else {
        showHelpText(3);
        showMode(true);
        if (!m_areas.isEmpty()) {
            int index = selectedIndex();
            m_session.setSelectionQuiet(true);
            setSelectedIndex(index < 0 ? 0 : index);
            m_session.setSelectionQuiet(false);
            listSelected();
        }
        ui.Command9->setEnabled(true);
    }
}

// The option buttons as the tool manager allows them; the menu follows them.
void MainWindow::showToolStates(bool editOption)
{
    const ToolManager& tools = m_session.tools();
    for (int i = editOption ? 3 : 0; i < (editOption ? 4 : 3); ++i)
        ui.Option1[i]->setEnabled(tools.enabled(static_cast<ChosenOption>(i)));
    if (!editOption && m_trace)
        m_trace->action()->setEnabled(tools.enabled(ChosenOption::Trace));
}

void MainWindow::chooseTrace()
{
    if (DrawingTool* tool = m_editor.editMode ? nullptr : currentTool())
        tool->cancel();
    m_session.tools().choose(ChosenOption::Trace);
    if (!m_areas.isEmpty())
        m_session.tools().enableEdit(true);
    leaveEditMode();
    m_editor.polygonOpen = false;
    ui.Picture1->surface().setDrawMode(DrawMode::Copy);
    // An option cannot be unchecked while it is exclusive; unchecked, a click
    // on any of them chooses its tool again as always.
    for (QRadioButton* option : ui.Option1) {
        option->setAutoExclusive(false);
        const QSignalBlocker block(option);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
    ui.txtHelp->setPlainText(TraceControls::helpText());
}

void MainWindow::removeHandles()
{
    m_handles->removeHandles();
    m_handles->hideAnchor();
}

void MainWindow::blinkModeLabel()
{
    setUnderline(ui.Label3, !ui.Label3->font().underline());
}

// A new picture or an import: the lines and their history go.
void MainWindow::reset_zustand()
{
    m_areas.clear();
    m_document.startNew();
    showEmptiedList();
    // The code box's own history belongs to the map that went.
    ui.txtMap->document()->clearUndoRedoStacks();
}

// The rest of the reset, after the list was emptied (by "clear" as a step).
void MainWindow::showEmptiedList()
{
    ui.Picture1->surface().clear();
    removeHandles();
    refresh();
    m_session.tools().enableEdit(false);
    showMode(false);
    ui.Command9->setEnabled(false);
    ui.Command10->setEnabled(false);
    setMapCode(QString());
    m_editor.dropShape();
}

void MainWindow::neu_zeichnen(int skip, bool regenerate)
{
    m_renderer->setCircleColor(drawColor());
    stages::Clock drawing(stages::Stage::Drawing);
    m_renderer->redraw(skip);
    drawSelectionHighlights();
    drawing.stop();
    if (regenerate)
        map_daten();
}

void MainWindow::showDrawingAttributes()
{
    const DrawingAttributes& drawing = m_session.drawing();
    setDrawColor(drawing.draw);
    setFillColor(drawing.fill);
    setHandleColor(drawing.handles);
    setLineWidth(drawing.lineWidth);
    setFillStyle(static_cast<int>(drawing.fillStyle));
}

void MainWindow::setDrawColor(const QColor& color)
{
    m_session.drawing().draw = color;
    setBackground(ui.lblColor, color);
    ui.Picture1->surface().setPenColor(color);
    m_renderer->setCircleColor(color);
}

void MainWindow::setFillColor(const QColor& color)
{
    m_session.drawing().fill = color;
    setBackground(ui.lblFuellfarbe, color);
    ui.Picture1->surface().setFillColor(color);
}

void MainWindow::setHandleColor(const QColor& color)
{
    m_session.drawing().handles = color;
    setBackground(ui.lblZiehpunkt, color);
    m_handles->setHandleColor(color);
}

void MainWindow::setLineWidth(int width)
{
    width = std::clamp(width, 1, 3);
    m_session.drawing().lineWidth = width;
    for (int i = 0; i < 3; ++i)
        ui.Image1[i]->setFrameShape(i + 1 == width ? QFrame::Box : QFrame::NoFrame);
    ui.Picture1->surface().setLineWidth(width);
}

void MainWindow::setFillStyle(int style)
{
    const bool hatched = style == static_cast<int>(FillStyle::DiagonalCross);
    m_session.drawing().fillStyle = hatched ? FillStyle::DiagonalCross : FillStyle::Transparent;
    ui.Picture1->surface().setFillStyle(hatched ? FillStyle::DiagonalCross : FillStyle::Transparent);
    const QSignalBlocker block(ui.chkGefuellt);
    ui.chkGefuellt->setChecked(hatched);
}

QColor MainWindow::drawColor() const
{
    return m_session.drawing().draw;
}
QColor MainWindow::fillColor() const
{
    return m_session.drawing().fill;
}
QColor MainWindow::handleColor() const
{
    return m_session.drawing().handles;
}
int MainWindow::lineWidth() const
{
    return m_session.drawing().lineWidth;
}
int MainWindow::fillStyle() const
{
    return static_cast<int>(m_session.drawing().fillStyle);
}

} // namespace korvane
