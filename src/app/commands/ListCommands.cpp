#include "app/commands/ListCommands.h"

#include "app/commands/DialogCommands.h"
#include "app/commands/EditorView.h"
#include "platform/Platform.h"

#include <QCoreApplication>

namespace korvane {

// The copy is added at the end and chosen in edit mode.
void ListCommands::copy()
{
    MapDocument& document = m_session.document();
    const int row = document.selectedRow();
    if (row >= 0) {
        document.copyArea(row);
        m_view.chooseOption(ChosenOption::Edit);
        document.select(m_session.areas().count() - 1);
    } else if (!m_session.areas().isEmpty()) {
        inform(m_view.owner(), QCoreApplication::translate("korvane::ListCommands", "Bitte zunächst ein Element in der Arealliste auswählen."));
    }
}

void ListCommands::clear()
{
    if (m_session.areas().isEmpty())
        return;
    if (!askYesNo(m_view.owner(), kQuestionTitleDash,
                  QCoreApplication::translate("korvane::ListCommands", "Möchten Sie jetzt wirklich alle eingezeichneten Areale löschen?")))
        return;
    m_session.document().deleteAll();
    m_view.showEmptiedList();
}

void ListCommands::edit()
{
    const int row = m_session.document().selectedRow();
    if (row < 0 && !m_session.areas().isEmpty()) {
        inform(m_view.owner(), QCoreApplication::translate("korvane::ListCommands", "Bitte zunächst ein Areal in der Arealliste auswählen."));
        return;
    }
    if (row >= 0)
        DialogCommands(m_session, m_view).attributeEditor(row);
}

// Removes the selected line and leaves nothing selected; the list's own
// move of the current row to a neighbour must not count as a selection.
void ListCommands::removeSelectedLine()
{
    MapDocument& document = m_session.document();
    const int row = document.selectedRow();
    m_session.setSelectionQuiet(true);
    document.deleteArea(row);
    document.select(-1);
    m_session.setSelectionQuiet(false);
}

void ListCommands::deleteWithQuestion()
{
    if (!askYesNo(m_view.owner(), kQuestionTitle, QCoreApplication::translate("korvane::ListCommands", "Soll dieser Eintag wirklich gelöscht werden?")))
        return;
    removeSelectedLine();
    m_view.refresh();
    if (m_session.editChosen())
        m_view.removeHandles();
    if (m_session.areas().isEmpty())
        m_view.backToDrawingMode();
}

void ListCommands::dropOnTrash()
{
    removeSelectedLine();
    m_view.removeHandles();
    m_view.neu_zeichnen(-1, true);
    if (m_session.areas().isEmpty())
        m_view.backToDrawingMode();
}

} // namespace korvane
