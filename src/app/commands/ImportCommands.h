#pragma once

#include "app/commands/EditorView.h"

#include <QString>

namespace korvane {

class EditorSession;
namespace import {
struct OwnMap;
}

// The two imports of the tool bar: the areas of a .map file (Command8) and
// of one image map of an HTML page (Command11), each appended to the list
// with the picture the file names. Html also reads Korvane's own forms: a
// responsive page, a MediaWiki block, the JSON form.
class ImportCommands {
public:
    ImportCommands(EditorSession& session, EditorView& view) : m_session(session), m_view(view) {}

    void mapImport();
    void htmlImport();

private:
    // `path`: the file read, which joins the recently opened files.
    void importOwnForm(const import::OwnMap& map, const QString& path, EditorView::UnsavedCode unsaved, bool editing);

    EditorSession& m_session;
    EditorView& m_view;
};

} // namespace korvane
