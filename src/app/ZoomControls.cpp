#include "app/ZoomControls.h"

#include "app/MainWindow.h"
#include "canvas/Canvas.h"
#include "canvas/Zoom.h"

#include <QLabel>
#include <QShortcut>
#include <QWheelEvent>

namespace korvane {

namespace {

constexpr int kNotch = 120; // one step of an ordinary mouse wheel

} // namespace

ZoomControls::ZoomControls(MainWindow& window) : QObject(&window), m_window(window)
{
    Canvas* canvas = window.ui.Picture1;
    canvas->installEventFilter(this);
    connect(canvas, &Canvas::zoomChanged, this, &ZoomControls::showZoom);
    const auto shortcut = [this, &window](const QKeySequence& keys, auto percent) {
        connect(new QShortcut(keys, &window), &QShortcut::activated, this,
                [this, percent] { zoomAroundMiddle(percent(m_window.ui.Picture1->zoomPercent())); });
    };
    for (const QKeySequence& in : {QKeySequence(QKeySequence::ZoomIn), QKeySequence(Qt::CTRL | Qt::Key_Equal)})
        shortcut(in, zoom::stepIn);
    shortcut(QKeySequence(QKeySequence::ZoomOut), zoom::stepOut);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [](int) { return 100; });
}

// Until a picture is open there is nothing to look at closely.
bool ZoomControls::canZoom() const
{
    return m_window.ui.Picture1->hasPicture();
}

void ZoomControls::zoomTo(int percent, QPoint viewPoint)
{
    Canvas* canvas = m_window.ui.Picture1;
    if (!canZoom() || percent == canvas->zoomPercent())
        return;
    const QPointF picturePoint = QPointF(viewPoint - canvas->pos()) / canvas->zoomFactor();
    canvas->setZoomPercent(percent);
    m_window.layoutCanvas((picturePoint * canvas->zoomFactor()).toPoint() - viewPoint);
}

void ZoomControls::zoomAroundMiddle(int percent)
{
    zoomTo(percent, m_window.ui.picContainer->rect().center());
}

bool ZoomControls::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return QObject::eventFilter(watched, event);
    auto* wheel = static_cast<QWheelEvent*>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier))
        return false;
    m_wheelRest += wheel->angleDelta().y();
    Canvas* canvas = m_window.ui.Picture1;
    const QPoint at = canvas->mapTo(m_window.ui.picContainer, wheel->position().toPoint());
    for (; m_wheelRest >= kNotch; m_wheelRest -= kNotch)
        zoomTo(zoom::stepIn(canvas->zoomPercent()), at);
    for (; m_wheelRest <= -kNotch; m_wheelRest += kNotch)
        zoomTo(zoom::stepOut(canvas->zoomPercent()), at);
    return true;
}

void ZoomControls::showZoom()
{
    m_window.ui.lblZoom->setText(zoom::labelText(m_window.ui.Picture1->zoomPercent()));
}

} // namespace korvane
