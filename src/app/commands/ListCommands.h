#pragma once

namespace korvane {

class EditorSession;
class EditorView;

// The area list's commands: the buttons under it, copy (Command10), clear
// (Command3) and edit (Command9), and deleting the selected line by a double
// click (or Delete) or by dropping it on the basket (Picture2).
class ListCommands {
public:
    ListCommands(EditorSession& session, EditorView& view) : m_session(session), m_view(view) {}

    void copy();
    void clear();
    void edit();
    // After the question "Soll dieser Eintag wirklich gelöscht werden?".
    void deleteWithQuestion();
    void dropOnTrash();

private:
    void removeSelectedLine();

    EditorSession& m_session;
    EditorView& m_view;
};

} // namespace korvane
