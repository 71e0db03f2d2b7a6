#include "app/ScreenCapture.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace korvane {

namespace {

ScreenCaptureFactory& installedFactory()
{
    static ScreenCaptureFactory factory;
    return factory;
}

QScreen* screenHolding(QPoint point)
{
    QScreen* screen = QGuiApplication::screenAt(point);
    return screen ? screen : QGuiApplication::primaryScreen();
}

// Follows the pointer into, across and out of this program's windows, from
// the events the window system sends to each window.
class PointerTracker : public QObject {
public:
    QPointer<QWindow> window;
    QPoint position;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!watched->isWindowType())
            return false;
        switch (event->type()) {
        case QEvent::Enter:
            window = static_cast<QWindow*>(watched);
            position = static_cast<QEnterEvent*>(event)->position().toPoint();
            break;
        case QEvent::MouseMove:
            window = static_cast<QWindow*>(watched);
            position = static_cast<QMouseEvent*>(event)->position().toPoint();
            break;
        case QEvent::Leave:
            if (window == watched)
                window = nullptr;
            break;
        default:
            break;
        }
        return false;
    }
};

const PointerTracker& pointerTracker()
{
    static QPointer<PointerTracker> tracker;
    if (!tracker) {
        tracker = new PointerTracker;
        tracker->setParent(qApp);
        qApp->installEventFilter(tracker);
    }
    return *tracker;
}

} // namespace

QWidget* ScreenCapture::widgetAt(QPoint point) const
{
    return QApplication::widgetAt(point);
}

ScreenCapture::WindowPointer ScreenCapture::ownWindowUnderPointer() const
{
    const PointerTracker& tracker = pointerTracker();
    if (!tracker.window)
        return {};
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == tracker.window && widget->isVisible())
            return {widget, tracker.position};
    }
    return {};
}

QPoint SystemScreenCapture::pointerPosition() const
{
    return QCursor::pos();
}

ScreenArea SystemScreenCapture::screenAt(QPoint point) const
{
    QScreen* screen = screenHolding(point);
    if (!screen)
        return {};
    return {screen->geometry(), twipsPerPixelForDpi(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY())};
}

// Wayland gives programs no access to other windows' pixels, and the
// offscreen and minimal platforms have no real screen to read.
bool SystemScreenCapture::canCapture() const
{
    const QString name = QGuiApplication::platformName();
    return !name.startsWith(QLatin1String("wayland")) && name != QLatin1String("offscreen") &&
           name != QLatin1String("minimal");
}

QImage SystemScreenCapture::grab(const QRect& source)
{
    QScreen* screen = screenHolding(source.center());
    if (!screen || source.isEmpty())
        return {};
    const QPoint origin = screen->geometry().topLeft();
    const QPixmap pixels =
        screen->grabWindow(0, source.x() - origin.x(), source.y() - origin.y(), source.width(), source.height());
    return pixels.isNull() ? QImage() : pixels.toImage();
}

std::unique_ptr<ScreenCapture> makeScreenCapture()
{
    if (installedFactory())
        return installedFactory()();
    return std::make_unique<SystemScreenCapture>();
}

void setScreenCaptureFactory(ScreenCaptureFactory factory)
{
    installedFactory() = std::move(factory);
}

} // namespace korvane
