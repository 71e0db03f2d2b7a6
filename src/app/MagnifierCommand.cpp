#include "app/Magnifier.h"
#include "app/MainWindow.h"

namespace korvane {

namespace {

Magnifier* openMagnifierOf(QWidget* owner)
{
    for (Magnifier* magnifier : owner->findChildren<Magnifier*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!magnifier->isClosed())
            return magnifier;
    }
    return nullptr;
}

} // namespace

// Command4: opens the magnifier beside the main window without blocking it; a
// magnifier that is already open is just brought to the front again.
void MainWindow::magnifierCommand()
{
    Magnifier* magnifier = openMagnifierOf(this);
    if (!magnifier) {
        magnifier = new Magnifier(this, makeScreenCapture());
        connect(magnifier, &Magnifier::closedByUser, this, [this] { m_state.magnifierOpen = false; });
        // Stays set, so that the next run opens it again.
        connect(magnifier, &Magnifier::ownerClosing, this, [this] { m_state.magnifierOpen = true; });
    }
    magnifier->setWindowState(magnifier->windowState() & ~Qt::WindowMinimized);
    magnifier->show();
    magnifier->raise();
    magnifier->activateWindow();
    m_state.magnifierOpen = true;
}

} // namespace korvane
