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
    const auto shortcut = [this](const QKeySequence& keys, void (ZoomControls::*run)()) {
        connect(new QShortcut(keys, m_widgets.window), &QShortcut::activated, this, run);
    };
    for (const QKeySequence& in : {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)})
        shortcut(in, &ZoomControls::zoomIn);
    shortcut(QKeySequence(QKeySequence::ZoomOut), &ZoomControls::zoomOut);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), &ZoomControls::zoomToOriginal);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_9), &ZoomControls::fitToView);
}

bool ZoomControls::canZoom() const
{
    return m_widgets.canvas->hasPicture();
}

void ZoomControls::zoomTo(int percent, QPoint viewPoint)
{
    zoomToFactor(zoom::factorOf(percent), viewPoint);
}

void ZoomControls::zoomToFactor(double factor, QPoint viewPoint)
{
    Canvas* canvas = m_widgets.canvas;
    if (!canZoom() || factor == canvas->zoomFactor())
        return;
    const QPointF picturePoint = QPointF(viewPoint - canvas->pos()) / canvas->zoomFactor();
    canvas->setZoomFactor(factor);
    m_layoutCanvas((picturePoint * canvas->zoomFactor()).toPoint() - viewPoint);
}

void ZoomControls::zoomAroundMiddle(double factor)
{
    zoomToFactor(factor, m_widgets.viewport->rect().center());
}

void ZoomControls::zoomIn()
{
    if (const auto step = zoom::stepAbove(m_widgets.canvas->zoomFactor()))
        zoomAroundMiddle(zoom::factorOf(*step));
}

// Below the smallest step (fitted) there is no step further out.
void ZoomControls::zoomOut()
{
    if (const auto step = zoom::stepBelow(m_widgets.canvas->zoomFactor()))
        zoomAroundMiddle(zoom::factorOf(*step));
}

void ZoomControls::zoomToOriginal()
{
    zoomAroundMiddle(1.0);
}

void ZoomControls::fitToView()
{
    zoomAroundMiddle(zoom::fitFactor(m_widgets.canvas->pictureSize(), m_widgets.viewport->size()));
}

void ZoomControls::fitBigPicture()
{
    const QSize picture = m_widgets.canvas->pictureSize();
    const QSize view = m_widgets.viewport->size();
    if (m_widgets.viewport->isVisible() && (picture.width() > view.width() || picture.height() > view.height()))
        fitToView();
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
    for (; m_wheelRest >= kNotch; m_wheelRest -= kNotch) {
        if (const auto step = zoom::stepAbove(canvas->zoomFactor()))
            zoomTo(*step, at);
    }
    for (; m_wheelRest <= -kNotch; m_wheelRest += kNotch) {
        if (const auto step = zoom::stepBelow(canvas->zoomFactor()))
            zoomTo(*step, at);
    }
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
    m_widgets.label->setText(zoom::labelTextOf(m_widgets.canvas->zoomFactor()));
}

} // namespace korvane
