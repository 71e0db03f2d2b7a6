// The main window as the program starts it (declared in StartUp.h).
#include "app/MainWindow.h"
#include "app/StartUp.h"
#include "app/WindowGeometry.h"
#include "app/commands/RecoveryKeeper.h"

#include <QTimer>

namespace korvane {

std::unique_ptr<MainWindow> startEditor(const QStringList& files)
{
    auto window = std::make_unique<MainWindow>();
    MainWindow* shownWindow = window.get();
    new WindowGeometry(*window, [shownWindow] { return shownWindow->frameAround(); });
    window->show();
    // Maps left by editors that ended without closing come first, the files
    // named on the command line after them.
    RecoveryKeeper* keeper = attachRecovery(*window);
    QTimer::singleShot(0, keeper, [keeper] { keeper->offerRecovery(); });
    if (!files.isEmpty()) {
        MainWindow* shown = window.get();
        const QString first = files.front();
        const int others = int(files.size()) - 1;
        // Once the window is laid out, so that the picture lands where a click on Open puts it.
        QTimer::singleShot(0, shown, [shown, first, others] { openFromOutside(*shown, first, others); });
    }
    return window;
}

} // namespace korvane
