#pragma once

#include <functional>

namespace korvane {

class CodeBox;
class EditorSession;
class EditorView;
class RecoveryKeeper;

// Gives the editor its recovery file: the keeper (owned by the view's window)
// writes the session's unsaved map there and can put a recovered map in its
// place as an import brings one. `dragging` tells when a drag moves an area.
// The code box's text goes with the map when the user edited it by hand.
RecoveryKeeper* attachRecovery(EditorSession& session, EditorView& view, CodeBox& codeBox,
                               std::function<bool()> dragging);

} // namespace korvane
