#include "app/MainWindow.h"

#include "app/commands/DialogPlacement.h"
#include "dialogs/AttributeForm.h"

#include <utility>

namespace korvane {

// frmVerweis for a newly drawn area: a fresh dialog each time, prefilled with
// the attributes accepted last. Only acceptance changes the attributes.
bool MainWindow::runLinkDialog()
{
    frmVerweis dialog(m_state.link, m_state.lastLinkFolder, this);
    // Beside the new shape, so the user sees what the link is for.
    placeBeside(dialog, std::exchange(m_newShapeOnScreen, QRect()));
    dialog.exec();
    m_state.linkDialogCancelled = !dialog.wasAccepted();
    if (dialog.wasAccepted())
        m_state.link = dialog.enteredAttributes();
    return dialog.wasAccepted();
}

// frmEdit on one line of the list: accepting rewrites that line in place
// (its shape, coordinates and any extra fields untouched) and refreshes the
// canvas and the map code; cancelling changes nothing.
void MainWindow::runAttributeEditor(int index)
{
    if (index < 0 || index >= m_areas.count())
        return;
    frmEdit dialog(m_areas.line(index), m_state.lastLinkFolder, this);
    dialog.exec();
    if (!dialog.wasAccepted())
        return;
    m_document.changeAttributes(index, dialog.editedLine());
    refresh();
}

} // namespace korvane
