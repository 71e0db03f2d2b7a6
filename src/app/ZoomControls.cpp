#include "app/ZoomControls.h"

#include "canvas/Canvas.h"
#include "canvas/Zoom.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QShortcut>
#include <QWheelEvent>

namespace korvane {

namespace {

constexpr int kNotch = 120;     // one step of an ordinary mouse wheel
constexpr int kLinePixels = 20; // one line of wheel scrolling

} // namespace

ZoomControls::ZoomControls(const Widgets& widgets, std::function<void(QPoint scroll)> layoutCanvas)
    : QObject(widgets.window), m_widgets(widgets), m_layoutCanvas(std::move(layoutCanvas))
{
    Canvas* canvas = m_widgets.canvas;
    canvas->installEventFilter(this);
    m_widgets.viewport->installEventFilter(this);
    connect(canvas, &Canvas::zoomChanged, this, &ZoomControls::showZoom);
    const auto shortcut = [this](const QKeySequence& keys, auto percent) {
        connect(new QShortcut(keys, m_widgets.window), &QShortcut::activated, this,
                [this, percent] { zoomAroundMiddle(percent(m_widgets.canvas->zoomPercent())); });
    };
    for (const QKeySequence& in : {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)})
        shortcut(in, zoom::stepIn);
    shortcut(QKeySequence(QKeySequence::ZoomOut), zoom::stepOut);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [](int) { return 100; });
}

// Until a picture is open there is nothing to look at closely.
bool ZoomControls::canZoom() const
{
    return m_widgets.canvas->hasPicture();
}

void ZoomControls::zoomTo(int percent, QPoint viewPoint)
{
    Canvas* canvas = m_widgets.canvas;
    if (!canZoom() || percent == canvas->zoomPercent())
        return;
    const QPointF picturePoint = QPointF(viewPoint - canvas->pos()) / canvas->zoomFactor();
    canvas->setZoomPercent(percent);
    m_layoutCanvas((picturePoint * canvas->zoomFactor()).toPoint() - viewPoint);
}

void ZoomControls::zoomAroundMiddle(int percent)
{
    zoomTo(percent, m_widgets.viewport->rect().center());
}

// The wheel over the canvas area, the grey around a small picture included:
// with Ctrl it zooms around the pointer, else it scrolls the picture,
// with Shift sideways.
bool ZoomControls::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return QObject::eventFilter(watched, event);
    auto* wheel = static_cast<QWheelEvent*>(event);
    if (wheel->modifiers() & Qt::ControlModifier) {
        auto* over = static_cast<QWidget*>(watched);
        zoomByWheel(wheel->angleDelta().y(), over->mapTo(m_widgets.viewport, wheel->position().toPoint()));
    } else {
        scrollByWheel(*wheel);
    }
    return true;
}

void ZoomControls::zoomByWheel(int delta, QPoint at)
{
    Canvas* canvas = m_widgets.canvas;
    m_wheelRest += delta;
    for (; m_wheelRest >= kNotch; m_wheelRest -= kNotch)
        zoomTo(zoom::stepIn(canvas->zoomPercent()), at);
    for (; m_wheelRest <= -kNotch; m_wheelRest += kNotch)
        zoomTo(zoom::stepOut(canvas->zoomPercent()), at);
}

// A notch scrolls as far as in other programs' views: the system's lines
// per notch, 20 pixels each. A touchpad's own pixel distances go as they are.
void ZoomControls::scrollByWheel(const QWheelEvent& wheel)
{
    QPoint pixels = wheel.pixelDelta();
    if (pixels.isNull())
        pixels = wheel.angleDelta() * QApplication::wheelScrollLines() * kLinePixels / kNotch;
    if (wheel.modifiers() & Qt::ShiftModifier && pixels.x() == 0)
        pixels = QPoint(pixels.y(), 0);
    for (auto [bar, by] : {std::pair{m_widgets.horizontal, pixels.x()}, std::pair{m_widgets.vertical, pixels.y()}}) {
        if (bar->isEnabled())
            bar->setValue(bar->value() - by);
    }
}

void ZoomControls::showZoom()
{
    m_widgets.label->setText(zoom::labelText(m_widgets.canvas->zoomPercent()));
}

} // namespace korvane
