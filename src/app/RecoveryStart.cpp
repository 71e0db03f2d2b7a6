#include "app/RecoveryStart.h"

#include "app/EditorSession.h"
#include "app/commands/EditorView.h"
#include "app/commands/ImportSteps.h"
#include "app/commands/RecoveryKeeper.h"
#include "app/commands/SettingsCommands.h"
#include "model/Paths.h"

namespace korvane {

namespace {

// The recovered map as an import would bring it: its picture loaded (or the
// message that it is missing), its areas and its selection, not saved.
void restoreMap(EditorSession& session, EditorView& view, const recovery::Snapshot& s)
{
    readSettingsOnce(session, view);
    const auto commit = [&session, &view, &s] {
        view.reset_zustand();
        session.document().setMapName(s.mapName);
    };
    const bool loaded =
        !s.imagePath.isEmpty() &&
        importsteps::loadNamedImage(session, view, s.imagePath, folderOf(s.imagePath),
                                    QStringLiteral("Die MAP-Daten beziehen sich auf die Datei "), commit);
    // A picture that is refused now (too big, damaged) has had its message;
    // the areas are kept all the same.
    if (!loaded) {
        commit();
        session.document().setImagePath(s.imagePath);
    }
    importsteps::finish(session, view, s.lines, false, 0, 0);
    session.document().select(s.selectedRow);
}

} // namespace

RecoveryKeeper* attachRecovery(EditorSession& session, EditorView& view, std::function<bool()> dragging)
{
    RecoveryView keeperView;
    keeperView.dragging = std::move(dragging);
    keeperView.restore = [&session, &view](const recovery::Snapshot& s) { restoreMap(session, view, s); };
    return new RecoveryKeeper(session.document(), view.owner(), std::move(keeperView));
}

} // namespace korvane
