#pragma once

#include <QRect>

namespace korvane {

class EditorSession;
class EditorView;

// The windows a command opens over the editor: frmVerweis for a new area,
// frmEdit for a line of the list, and the magnifier (Command4).
class DialogCommands {
public:
    DialogCommands(EditorSession& session, EditorView& view) : m_session(session), m_view(view) {}

    bool linkDialog(const QRect& shapeOnScreen = {}); // frmVerweis beside the shape; true when accepted
    void attributeEditor(int row); // frmEdit on that line
    void magnifier();

private:
    EditorSession& m_session;
    EditorView& m_view;
};

} // namespace korvane
