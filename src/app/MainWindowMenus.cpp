// The window's chrome beyond the specified controls: the menu bar, the status
// line and the recently used files. They only get what they work with here.
#include "app/CodeBoxMenu.h"
#include "app/FormsMenu.h"
#include "app/MainWindow.h"
#include "app/MenuBar.h"
#include "app/RecentFiles.h"
#include "app/StatusLine.h"
#include "app/TraceControls.h"
#include "app/UndoControls.h"
#include "windows/AreaTableWindow.h"
#include "windows/MapCheckWindow.h"
#include "app/commands/SeveralAreas.h"
#include "app/commands/Snapping.h"
#include "app/commands/StackingMenu.h"

#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace korvane {

void MainWindow::createMenus()
{
    auto* recent = new RecentFiles(m_session, *this, this);
    m_session.setFileOpenedListener([recent](const QString& path) { recent->add(path); });
    MenuBar::Buttons buttons;
    buttons.open = ui.Command1;
    buttons.mapImport = ui.Command8;
    buttons.htmlImport = ui.Command11;
    buttons.save = ui.Command7;
    buttons.exportPage = ui.Command12;
    buttons.copyCode = ui.cmdClipboard;
    buttons.magnifier = ui.Command4;
    buttons.refresh = ui.Command6;
    buttons.help = ui.Command13;
    buttons.duplicate = ui.Command10;
    buttons.clearAll = ui.Command3;
    buttons.attributes = ui.Command9;
    buttons.tools = {ui.Option1[0], ui.Option1[1], ui.Option1[2], ui.Option1[3]};
    m_trace = new TraceControls(m_session, *ui.Picture1, *m_canvasContext, {this, [this] { chooseTrace(); }});
    const QList<QAction*>& code = m_codeBoxMenu->entries();
    MenuBar::Entries entries;
    entries.undo = m_undoControls->undoAction();
    entries.redo = m_undoControls->redoAction();
    entries.trace = m_trace->action();
    entries.areaTable = m_areaTable->action();
    entries.mapCheck = m_mapCheck->action();
    entries.copyResponsive = code.value(0);
    entries.saveResponsive = code.value(1);
    entries.responsiveFit = code.value(2);
    entries.relativePath = code.value(3);
    entries.forms = m_formsMenu->entries();
    entries.snapping = m_snapping->actions();
    entries.stacking = m_stacking->actions();
    entries.align = m_several->alignMenu();
    entries.showSnapping = [this] { m_snapping->actions(); };
    entries.showCodeChoices = [this] {
        m_codeBoxMenu->showChoices();
        m_formsMenu->showChoices();
    };
    entries.showAreaEntries = [this] { return !areaMenuEntries().isEmpty(); };
    entries.canEdit = [this](AreaEdit edit) { return areaEditAvailable(edit); };
    entries.edit = [this](AreaEdit edit) { runAreaEdit(edit); };
    new MenuBar(*this, buttons, entries, *m_zoomControls, *recent);
    m_statusLine = new StatusLine(*this, *ui.Picture1, m_session);
}

} // namespace korvane
