#include "app/commands/RefreshCommand.h"

#include "app/commands/EditorView.h"

namespace korvane {

void RefreshCommand::run()
{
    EditorState& editor = m_session.editor();
    editor.dropShape();
    if (!m_session.areas().isEmpty()) {
        m_view.neu_zeichnen(-1, true);
    } else {
        m_view.neu_zeichnen(-1, false); // with no areas this leaves just the picture
        m_view.setMapCode(QString());
    }
}

} // namespace korvane
