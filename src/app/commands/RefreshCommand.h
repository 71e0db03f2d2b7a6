#pragma once

namespace korvane {

class EditorSession;
class EditorView;

// Refresh (Command6): every area of the list drawn again and its code made
// anew; a half drawn shape is given up. Without areas only the picture is
// left, and no code.
class RefreshCommand {
public:
    RefreshCommand(EditorSession& session, EditorView& view) : m_session(session), m_view(view) {}

    void run();

private:
    EditorSession& m_session;
    EditorView& m_view;
};

} // namespace korvane
