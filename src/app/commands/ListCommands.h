#pragma once

namespace korvane {

class EditorSession;
class EditorView;

// The buttons under the area list: copy (Command10), clear (Command3) and
// edit (Command9).
class ListCommands {
public:
    ListCommands(EditorSession& session, EditorView& view) : m_session(session), m_view(view) {}

    void copy();
    void clear();
    void edit();

private:
    EditorSession& m_session;
    EditorView& m_view;
};

} // namespace korvane
