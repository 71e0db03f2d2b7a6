// The main window as the program starts it (declared in StartUp.h).
#include "app/MainWindow.h"
#include "app/OpenFromOutside.h"
#include "picture/PicturePrefetch.h"
#include "app/StartUp.h"
#include "app/WindowGeometry.h"
#include "app/commands/RecoveryKeeper.h"

#include <QTimer>

namespace korvane {

std::unique_ptr<MainWindow> startEditor(const QStringList& files)
{
    // The picture of the file named decodes on a second thread while the
    // window is built: the floor of the open is the decode, not the two one
    // after the other.
    PicturePrefetch early;
    import::PageReadAhead earlyPage;
    if (!files.isEmpty())
        decodeEarly(early, earlyPage, files.front());
    auto window = std::make_unique<MainWindow>();
    window->session().prefetch().adopt(early);
    window->session().pageAhead() = std::move(earlyPage);
    MainWindow* shown = window.get();
    new WindowGeometry(*window, [shown] { return shown->frameAround(); });
    window->show();
    // Maps left by editors that ended without closing come first; the file
    // named on the command line opens once their question is answered (a box
    // runs events while it waits), as after any Open. Both once the window is
    // laid out, so that a picture lands where a click on Open puts it.
    RecoveryKeeper* keeper = attachRecovery(*window);
    QTimer::singleShot(0, keeper, [keeper, shown, files] {
        keeper->offerRecovery();
        if (!files.isEmpty())
            openFromOutside(*shown, files.front(), int(files.size()) - 1);
        // A page the open did not import (a question answered with
        // "Abbrechen", a page replaced by one without a map) does not stay
        // in memory, nor does the picture decoded for it.
        shown->session().pageAhead().drop();
        shown->session().prefetch().drop();
    });
    return window;
}

} // namespace korvane
