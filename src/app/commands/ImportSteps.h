#pragma once

#include "io/ImportSearch.h"

#include <functional>

namespace korvane {

class EditorSession;
class EditorView;

// Steps the two import commands share.
namespace importsteps {

// The start folder of the import dialogs: the last map folder, else the current one.
QString startFolder(EditorSession& session);
// Loads the image the file names: the file as it is on disk when it exists
// (letter case ignored, relative paths against `folder`), else the user is
// told and asked to open it with the open command, `text` naming the path;
// that open keeps the areas held (those the import kept), chosen or cancelled.
// `commit` runs once the import goes on for certain: after the picture was
// loaded, or before the user is asked to open it. False when the picture
// was refused; the map is then as it was and the import ends.
bool loadNamedImage(EditorSession& session, EditorView& view, const QString& path, const QString& folder,
                    const QString& textStart, const std::function<void()>& commit);
// The event handlers of the last element read stay in the link attributes.
void keepLastHandlers(EditorSession& session, const import::AreaScan& scan);
// Appends the lines and starts a new map from all the areas (an import is no
// step), redraws when the list holds areas, enables the tools and "copy" as
// the list asks, and goes back to edit mode when the import began in it.
// When the file shows the picture at another size (its img tag's width and
// height, 0: not given) than the picture loaded, offers to scale the appended
// areas to it.
void finish(EditorSession& session, EditorView& view, const AreaLines& lines, bool editing, int shownWidth = 0,
            int shownHeight = 0);

} // namespace importsteps
} // namespace korvane
