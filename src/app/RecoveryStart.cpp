#include "app/RecoveryStart.h"

#include "app/MainWindow.h"
#include "app/commands/ImportSteps.h"
#include "app/commands/RecoveryKeeper.h"
#include "app/commands/SettingsCommands.h"
#include "canvas/EditHandles.h"
#include "model/Paths.h"

namespace korvane {

namespace {

// The recovered map as an import would bring it: its picture loaded (or the
// message that it is missing), its areas and its selection, not saved.
void restoreMap(MainWindow& window, const recovery::Snapshot& s)
{
    readSettingsOnce(window.session(), window);
    const auto commit = [&window, &s] {
        window.reset_zustand();
        window.document().setMapName(s.mapName);
    };
    const bool loaded =
        !s.imagePath.isEmpty() &&
        importsteps::loadNamedImage(window.session(), window, s.imagePath, folderOf(s.imagePath),
                                    QStringLiteral("Die MAP-Daten beziehen sich auf die Datei "), commit);
    // A picture that is refused now (too big, damaged) has had its message;
    // the areas are kept all the same.
    if (!loaded) {
        commit();
        window.document().setImagePath(s.imagePath);
    }
    importsteps::finish(window.session(), window, s.lines, false, 0, 0);
    window.setSelectedIndex(s.selectedRow);
}

} // namespace

RecoveryKeeper* attachRecovery(MainWindow& window)
{
    RecoveryView view;
    view.dragging = [&window] { return window.handles().isDragging(); };
    view.restore = [&window](const recovery::Snapshot& s) { restoreMap(window, s); };
    return new RecoveryKeeper(window.document(), &window, std::move(view));
}

} // namespace korvane
