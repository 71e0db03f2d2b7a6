// Keeps the window in shape: the docked regions, the viewport, the scroll
// bars and the canvas inside the viewport. The rules are kept in twips.
#include "app/MainWindow.h"
#include "canvas/Canvas.h"
#include "model/AreaEntry.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include <cmath>
#include <utility>

namespace korvane {

namespace {

constexpr int kToolBarTwips = 735;
constexpr int kSidePanelTwips = 2595;
constexpr int kBottomPanelTwips = 2355;

} // namespace

int MainWindow::twipsPerPixel() const
{
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    return std::max(1, static_cast<int>(std::lround(1440.0 / dpi)));
}

void MainWindow::fitIntoScreen()
{
    const QScreen* shown = screen();
    if (!shown)
        return;
    const QRect free = shown->availableGeometry();
    const QSize room = free.size() - frameAround();
    if (width() <= room.width() && height() <= room.height())
        return;
    resize(size().boundedTo(room));
    move(free.topLeft());
}

QSize MainWindow::frameAround() const
{
    // Once shown, the window system (or, on Wayland, Qt's own decoration)
    // knows the frame; before that, room for a title bar and borders as the
    // style draws them.
    if (const QWindow* handle = windowHandle(); handle && isVisible()) {
        const QMargins margins = handle->frameMargins();
        if (!margins.isNull())
            return {margins.left() + margins.right(), margins.top() + margins.bottom()};
    }
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    return {2 * border, style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * border};
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // A decoration taller than the style's guess (Wayland draws its own)
    // would push the code box off a small screen: fit again with the real frame.
    if (!std::exchange(m_fittedWithFrame, true))
        QTimer::singleShot(0, this, &MainWindow::fitIntoScreen);
}

void MainWindow::layoutWindow()
{
    if (isMinimized() || !ui.picContainer)
        return;
    const int tpp = twipsPerPixel();
    const auto px = [tpp](int twips) { return twips / tpp; };
    const int width = centralWidget()->width();
    const int height = centralWidget()->height();
    const int top = px(kToolBarTwips), side = px(kSidePanelTwips), bottom = px(kBottomPanelTwips);

    ui.picOben->setGeometry(0, 0, width, top);
    ui.picUnten->setGeometry(0, height - bottom, width, bottom);
    ui.Picture4->setGeometry(width - side, top, side, std::max(0, height - top - bottom));
    if (ui.picUnten->width() - 20 > 0)
        ui.txtMap->setGeometry(10, 4, ui.picUnten->width() - 20, std::max(0, bottom - 10));

    const int left = 8;
    const int viewTop = top + 8;
    const int viewWidth = width - side - ui.VScroll1->sizeHint().width() - px(600);
    const int viewHeight = height - top - bottom - ui.HScroll1->sizeHint().height() - px(800);
    QRect view = ui.picContainer->geometry();
    view.moveTo(left, viewTop);
    if (viewWidth > 0)
        view.setWidth(viewWidth);
    if (viewHeight > 0)
        view.setHeight(viewHeight);
    ui.picContainer->setGeometry(view);
    ui.Frame3->move(width - ui.Frame3->width() - px(200), (top - ui.Frame3->height()) / 2);
    ui.VScroll1->setGeometry(view.right() + 1 + px(50), view.top(), ui.VScroll1->sizeHint().width(), view.height());
    ui.HScroll1->setGeometry(view.left(), view.bottom() + 1 + px(50), view.width(), ui.HScroll1->sizeHint().height());
    layoutCanvas();
}

// The canvas starts at the viewport's top-left corner (or scrolled as asked,
// after a zoom); a canvas bigger than the viewport gets a scroll range, a
// smaller one is centred.
void MainWindow::layoutCanvas(QPoint scroll)
{
    const QSize view = ui.picContainer->size();
    const QSize canvas = ui.Picture1->size();
    // A bar is there only while it has something to scroll; the steps round
    // halves to the even neighbour like every other rounding of the program.
    const auto setRange = [](QScrollBar* bar, int excess, int value) {
        const QSignalBlocker block(bar);
        bar->setEnabled(excess > 0);
        bar->setVisible(excess > 0);
        bar->setRange(0, std::max(0, excess));
        bar->setPageStep(std::max(1, roundHalfEven(excess / 10.0)));
        bar->setSingleStep(std::max(1, roundHalfEven(excess / 25.0)));
        bar->setValue(std::clamp(value, 0, std::max(0, excess)));
    };
    setRange(ui.VScroll1, canvas.height() - view.height(), scroll.y());
    setRange(ui.HScroll1, canvas.width() - view.width(), scroll.x());
    int x = -ui.HScroll1->value();
    int y = -ui.VScroll1->value();
    if (view.height() > canvas.height())
        y = (view.height() - canvas.height()) / 2;
    if (view.width() > canvas.width())
        x = (view.width() - canvas.width()) / 2;
    ui.Picture1->move(x, y);
}

} // namespace korvane
