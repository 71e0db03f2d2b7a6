#include "app/RecoveryStart.h"

#include "app/CodeBox.h"
#include "app/EditorSession.h"
#include "app/commands/EditorView.h"
#include "app/commands/ImportSteps.h"
#include "app/commands/RecoveryKeeper.h"
#include "app/commands/SettingsCommands.h"
#include "model/Paths.h"

#include <QCoreApplication>

namespace korvane {

namespace {

// The recovered map as an import would bring it: its picture loaded (or the
// message that it is missing), its areas and its selection, not saved. Text
// typed into the code box comes back over the code, as typing put it there.
void restoreMap(EditorSession& session, EditorView& view, CodeBox& codeBox, const recovery::Snapshot& s)
{
    // Only typed code, on no picture: nothing to load, nothing to draw on.
    if (s.lines.isEmpty() && s.imagePath.isEmpty() && s.code) {
        codeBox.restoreHandText(*s.code);
        return;
    }
    readSettingsOnce(session, view);
    const auto commit = [&session, &view, &s] {
        view.reset_zustand();
        session.document().setMapName(s.mapName);
    };
    const bool loaded =
        !s.imagePath.isEmpty() &&
        importsteps::loadNamedImage(session, view, s.imagePath, folderOf(s.imagePath),
                                    QCoreApplication::translate("korvane::RecoveryStart",
                                                                "Die MAP-Daten beziehen sich auf die Datei "),
                                    commit);
    // A picture that is refused now (too big, damaged) has had its message;
    // the areas are kept all the same.
    if (!loaded) {
        commit();
        session.document().setImagePath(s.imagePath);
    }
    importsteps::finish(session, view, s.lines, false, 0, 0);
    session.document().select(s.selectedRow);
    if (s.code)
        codeBox.restoreHandText(*s.code);
}

} // namespace

RecoveryKeeper* attachRecovery(EditorSession& session, EditorView& view, CodeBox& codeBox,
                               std::function<bool()> dragging)
{
    RecoveryView keeperView;
    keeperView.dragging = std::move(dragging);
    keeperView.restore = [&session, &view, &codeBox](const recovery::Snapshot& s) {
        restoreMap(session, view, codeBox, s);
    };
    keeperView.handCode = [&codeBox] { return codeBox.handText(); };
    auto* keeper = new RecoveryKeeper(session.document(), view.owner(), std::move(keeperView));
    // Typing changes no area, yet the file keeps what was typed.
    QObject::connect(&codeBox, &QPlainTextEdit::textChanged, keeper, &RecoveryKeeper::changed);
    return keeper;
}

} // namespace korvane
