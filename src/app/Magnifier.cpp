#include "app/Magnifier.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

namespace korvane {

QString Magnifier::noCaptureText()
{
    return tr("Bildschirmaufnahme ist auf dieser Arbeitsoberfläche nicht möglich.");
}

// The specified title; in English as the rest of the window.
QString Magnifier::plainTitle()
{
    return tr("Lupe");
}

QString Magnifier::ownWindowsTitle()
{
    return tr("Lupe - nur Korvane-Fenster");
}

namespace {

constexpr int kRefreshMs = 10;
constexpr int kMessageMargin = 4;

} // namespace

MagnifierView::MagnifierView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MagnifierView::showFrame(const QImage& copy, const MagnifierFrame& frame)
{
    QImage picture(frame.view, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    // Plain pixel repetition: the point of a magnifier is to see single pixels sharply.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(QPoint(0, 0), frame.view), copy);
    painter.setPen(QPen(Qt::black, 0));
    const QPoint c = frame.cross;
    painter.drawLine(c.x(), c.y() - frame.armY, c.x(), c.y() + frame.armY);
    painter.drawLine(c.x() - frame.armX, c.y(), c.x() + frame.armX, c.y());
    painter.end();
    m_picture = picture;
    m_message.clear();
    update();
}

void MagnifierView::showMessage(const QString& text)
{
    if (m_message == text && m_picture.isNull())
        return; // already shown: no repaint on every tick
    m_message = text;
    m_picture = QImage();
    update();
}

void MagnifierView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!m_picture.isNull())
        painter.drawImage(0, 0, m_picture);
    if (!m_message.isEmpty()) {
        painter.setPen(palette().windowText().color());
        painter.drawText(rect().adjusted(kMessageMargin, kMessageMargin, -kMessageMargin, -kMessageMargin),
                         Qt::AlignCenter | Qt::TextWordWrap, m_message);
    }
}

Magnifier::Magnifier(QWidget* owner, std::unique_ptr<ScreenCapture> capture)
    : QWidget(owner, Qt::Window), m_capture(std::move(capture))
{
    setObjectName(QStringLiteral("lupe1"));
    setWindowTitle(plainTitle());
    // Closing really closes the window: a new one starts afresh.
    setAttribute(Qt::WA_DeleteOnClose);
    createControls();
    placeBeside(owner);
    applyLayout();
    if (owner)
        owner->installEventFilter(this);
    ui.Timer1->start();
}

Magnifier::~Magnifier() = default;

void Magnifier::createControls()
{
    ui.Picture1 = new MagnifierView(this);
    ui.Text1 = new QLineEdit(this);
    ui.Text1->setObjectName(QStringLiteral("Text1"));
    ui.Text1->setReadOnly(true);
    ui.updown1 = new QScrollBar(Qt::Horizontal, this);
    ui.updown1->setObjectName(QStringLiteral("updown1"));
    ui.updown1->setRange(kZoomMinimum, kZoomMaximum);
    ui.updown1->setValue(kZoomStart);
    // A zoom control, not a scroller: the right arrow key and the wheel turned up enlarge.
    ui.updown1->setInvertedControls(false);
    ui.updown1->setPageStep(10);
    ui.Text1->setText(zoomText(ui.updown1->value()));
    connect(ui.updown1, &QScrollBar::valueChanged, ui.Text1, [this](int value) { ui.Text1->setText(zoomText(value)); });
    ui.Timer1 = new QTimer(this);
    ui.Timer1->setObjectName(QStringLiteral("Timer1"));
    ui.Timer1->setInterval(kRefreshMs);
    connect(ui.Timer1, &QTimer::timeout, this, &Magnifier::refreshView);
}

TwipsPerPixel Magnifier::twipsPerPixel() const
{
    const QScreen* s = screen();
    return s ? twipsPerPixelForDpi(s->logicalDotsPerInchX(), s->logicalDotsPerInchY()) : TwipsPerPixel{};
}

// Near the bottom-right corner of the main window's size, counted from the
// top-left corner of its screen. The window's own frame is known only once it
// is shown; until then the main window's frame stands in for it.
void Magnifier::placeBeside(QWidget* owner)
{
    const QScreen* s = owner ? owner->screen() : screen();
    const QRect screenRect = s ? s->geometry() : QRect();
    const QSize ownerSize = owner ? owner->frameGeometry().size() : QSize();
    m_assumedFrame = owner ? owner->frameGeometry().size() - owner->size() : QSize(0, 0);
    const QRect start = magnifierStartGeometry(ownerSize, screenRect, twipsPerPixel(), m_assumedFrame);
    m_outerSize = start.size() + m_assumedFrame;
    m_placedSize = start.size();
    resize(start.size());
    move(start.topLeft());
}

// Once the window system has put its frame around the window, the inner size
// is corrected so that the whole window keeps its size. Only once, and only
// while the window has the size it was given: a size chosen later stays.
void Magnifier::fitToFrame()
{
    if (m_frameKnown || !isVisible())
        return;
    const QSize frame = frameGeometry().size() - size();
    if (frame == m_assumedFrame || size() != m_placedSize) {
        m_frameKnown = true;
        return;
    }
    if (frame.isNull())
        return; // not framed yet
    m_frameKnown = true;
    resize((m_outerSize - frame).expandedTo(QSize(0, 0)));
}

void Magnifier::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    fitToFrame();
}

void Magnifier::applyLayout()
{
    const MagnifierLayout layout = magnifierLayout(size(), twipsPerPixel());
    ui.Picture1->setGeometry(layout.view);
    ui.Text1->setGeometry(layout.zoomText);
    ui.updown1->setGeometry(layout.zoomBar);
}

void Magnifier::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    applyLayout();
    fitToFrame();
}

bool Magnifier::pointerIsOverMe(QPoint pointer) const
{
    const QWidget* under = m_capture->widgetAt(pointer);
    return under && under->window() == this;
}

void Magnifier::refreshView()
{
    if (m_closed || !isVisible() || isMinimized())
        return;
    if (!m_capture->canCapture()) {
        showOwnWindows();
        return;
    }
    if (windowTitle() != plainTitle())
        setWindowTitle(plainTitle());
    const QPoint pointer = m_capture->pointerPosition();
    // Over its own controls the picture stays still, so the user can read it while zooming.
    if (pointerIsOverMe(pointer))
        return;
    const ScreenArea screenArea = m_capture->screenAt(pointer);
    if (screenArea.geometry.isEmpty())
        return;
    const MagnifierFrame frame =
        magnifierFrame(ui.updown1->value(), pointer, ui.Picture1->size(), screenArea.geometry, screenArea.tpp);
    if (frame.source.isEmpty())
        return;
    // Copied on every tick, so that a screen changing under a resting pointer
    // shows at once; the few source pixels cost little to read.
    const QImage copy = m_capture->grab(frame.source);
    if (copy.isNull() || copy.size().isEmpty()) {
        // Refused this time; the next tick tries again.
        m_shownCopy = QImage();
        ui.Picture1->showMessage(noCaptureText());
        return;
    }
    showCopy(copy, frame);
}

void Magnifier::showCopy(const QImage& copy, const MagnifierFrame& frame)
{
    // A hundred ticks a second mostly copy a screen that did not change: then the
    // view already shows it, and stretching and repainting it again is wasted.
    if (frame == m_shownFrame && copy == m_shownCopy && ui.Picture1->picture().size() == frame.view)
        return;
    ui.Picture1->showFrame(copy, frame);
    m_shownCopy = copy;
    m_shownFrame = frame;
}

// Where other windows cannot be read (Wayland), the magnifier still serves
// inside this program: it enlarges the window of Korvane under the pointer,
// drawn afresh by the program itself, with the window's edges in place of
// the screen's. Its title says so; outside these windows it shows why there
// is nothing to see.
void Magnifier::showOwnWindows()
{
    if (windowTitle() != ownWindowsTitle())
        setWindowTitle(ownWindowsTitle());
    const ScreenCapture::WindowPointer under = m_capture->ownWindowUnderPointer();
    if (under.window == this)
        return;
    if (!under.window) {
        m_shownCopy = QImage();
        ui.Picture1->showMessage(noCaptureText());
        return;
    }
    const MagnifierFrame frame = magnifierFrame(ui.updown1->value(), under.position, ui.Picture1->size(),
                                                QRect(QPoint(0, 0), under.window->size()), twipsPerPixel());
    if (frame.source.isEmpty())
        return;
    const QImage copy = under.window->grab(frame.source).toImage();
    if (copy.isNull())
        return;
    showCopy(copy, frame);
}

void Magnifier::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (!event->isAccepted())
        return;
    m_closed = true;
    ui.Timer1->stop();
    // Only the window system's close request (close box, system menu) is the user's choice.
    if (event->spontaneous())
        emit closedByUser();
}

bool Magnifier::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Close && isVisible() && !m_closed) {
        emit ownerClosing();
        // Goes with its owner once the owner has really closed (its close may still be refused).
        QTimer::singleShot(0, this, [this] {
            if (parentWidget() && !parentWidget()->isVisible() && !m_closed)
                close();
        });
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace korvane
