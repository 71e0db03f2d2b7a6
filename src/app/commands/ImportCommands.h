#pragma once

namespace korvane {

class EditorSession;
class EditorView;

// The two imports of the tool bar: the areas of a .map file (Command8) and
// of one image map of an HTML page (Command11), each appended to the list
// with the picture the file names.
class ImportCommands {
public:
    ImportCommands(EditorSession& session, EditorView& view) : m_session(session), m_view(view) {}

    void mapImport();
    void htmlImport();

private:
    EditorSession& m_session;
    EditorView& m_view;
};

} // namespace korvane
