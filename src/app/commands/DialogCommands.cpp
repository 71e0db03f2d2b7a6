#include "app/commands/DialogCommands.h"

#include "app/Magnifier.h"
#include "app/commands/DialogPlacement.h"
#include "app/commands/EditorView.h"
#include "dialogs/AttributeForm.h"

namespace korvane {

namespace {

Magnifier* openMagnifierOf(QWidget* owner)
{
    for (Magnifier* magnifier : owner->findChildren<Magnifier*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!magnifier->isClosed())
            return magnifier;
    }
    return nullptr;
}

} // namespace

// A fresh dialog each time, prefilled with the attributes accepted last. Only
// acceptance changes the attributes.
bool DialogCommands::linkDialog(const QRect& shapeOnScreen)
{
    ProgramState& state = m_session.state();
    frmVerweis dialog(state.link, state.lastLinkFolder, m_view.owner());
    // Beside the new shape, so the user sees what the link is for.
    placeBeside(dialog, shapeOnScreen);
    dialog.exec();
    state.linkDialogCancelled = !dialog.wasAccepted();
    if (dialog.wasAccepted())
        state.link = dialog.enteredAttributes();
    return dialog.wasAccepted();
}

// Accepting rewrites that line in place (its shape, coordinates and any extra
// fields untouched) and refreshes the canvas and the map code; cancelling
// changes nothing.
void DialogCommands::attributeEditor(int row)
{
    AreaList& areas = m_session.areas();
    if (row < 0 || row >= areas.count())
        return;
    frmEdit dialog(areas.line(row), m_session.state().lastLinkFolder, m_view.owner());
    dialog.exec();
    if (!dialog.wasAccepted())
        return;
    m_session.document().changeAttributes(row, dialog.editedLine());
    m_view.refresh();
}

// Opens the magnifier beside the main window without blocking it; one that is
// already open is just brought to the front again.
void DialogCommands::magnifier()
{
    QWidget* owner = m_view.owner();
    Magnifier* magnifier = openMagnifierOf(owner);
    if (!magnifier) {
        magnifier = new Magnifier(owner, makeScreenCapture());
        ProgramState* state = &m_session.state();
        QObject::connect(magnifier, &Magnifier::closedByUser, owner, [state] { state->magnifierOpen = false; });
        // Stays set, so that the next run opens it again.
        QObject::connect(magnifier, &Magnifier::ownerClosing, owner, [state] { state->magnifierOpen = true; });
    }
    magnifier->setWindowState(magnifier->windowState() & ~Qt::WindowMinimized);
    magnifier->show();
    magnifier->raise();
    magnifier->activateWindow();
    m_session.state().magnifierOpen = true;
}

} // namespace korvane
