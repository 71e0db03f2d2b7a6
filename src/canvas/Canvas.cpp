#include "canvas/Canvas.h"

#include "canvas/MouseGrab.h"
#include "canvas/ScaledSurface.h"
#include "canvas/Zoom.h"
#include "model/AreaEntry.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

// Lines reach up to this many screen pixels past their shape's extent.
constexpr int kLineReach = 4;
// Half the side of the snapping mark, in screen pixels.
constexpr int kMarkHalf = 4;

} // namespace

Canvas::Canvas(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    setAccessibleName(tr("Zeichenfläche"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_pictureSize = QSize(600, 400);
    resize(m_pictureSize);
    m_surface.resizeBlank(size(), palette().color(QPalette::Button));
    m_surface.setChangeListener([this](const QRect& rect) { update(screenRect(rect)); });
}

void Canvas::setPicture(QImage image, QImage transparency)
{
    m_transparency = transparency.size() == image.size() ? std::move(transparency) : QImage();
    m_reduced.clear();
    m_zoomPercent = 100;
    m_zoom = 1.0;
    m_hasPicture = !image.isNull();
    if (image.isNull()) {
        m_surface.resizeBlank(m_pictureSize, palette().color(QPalette::Button));
    } else {
        m_pictureSize = image.size();
        m_surface.setPicture(std::move(image));
    }
    resize(m_pictureSize);
    update();
    emit zoomChanged();
}

void Canvas::setZoomPercent(int percent)
{
    if (percent == m_zoomPercent)
        return;
    applyZoom(percent, zoom::factorOf(percent));
}

void Canvas::setZoomFactor(double factor)
{
    if (!(factor > 0) || factor == m_zoom)
        return;
    applyZoom(zoom::stepOf(factor), factor);
}

void Canvas::applyZoom(int percent, double factor)
{
    m_zoomPercent = percent;
    m_zoom = factor;
    if (m_hasPicture && m_zoom < zoom::factorOf(zoom::kSteps.front()))
        m_reduced.prepare(m_surface.picture(), m_zoom);
    resize(int(std::ceil(m_pictureSize.width() * m_zoom)), int(std::ceil(m_pictureSize.height() * m_zoom)));
    update();
    emit zoomChanged();
}

QPointF Canvas::toPicture(QPointF position) const
{
    const double deviceRatio = devicePixelRatioF();
    if (m_zoomPercent == 100 && deviceRatio == 1)
        return position; // whole pixels; the tools round anything else
    // Zoomed in, the picture pixel under the middle of the device pixel
    // there; zoomed out, where a device pixel shows several, the first.
    const double half = m_zoom >= 1 ? 0.5 / deviceRatio : 0;
    const auto under = [this, half](double at) { return std::floor((at + half) / m_zoom + 1e-9); };
    return QPointF(under(position.x()), under(position.y()));
}

QPoint Canvas::handlePosition(QPoint place, int align) const
{
    if (m_zoomPercent == 100)
        return place;
    const QPoint point = place + QPoint(align, align);
    return QPoint(roundHalfEven(point.x() * m_zoom), roundHalfEven(point.y() * m_zoom)) - QPoint(align, align);
}

QRect Canvas::screenRect(const QRect& pictureRect) const
{
    if (m_zoomPercent == 100)
        return pictureRect;
    const QRectF scaled(QPointF(pictureRect.topLeft()) * m_zoom, QSizeF(pictureRect.size()) * m_zoom);
    return scaled.toAlignedRect().adjusted(-kLineReach, -kLineReach, kLineReach, kLineReach);
}

// Only the exposed part is copied, so a big picture in a small viewport
// costs no more than the viewport.
void Canvas::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    const QRect exposed = event->rect();
    p.fillRect(exposed, palette().color(QPalette::Button));
    if (m_zoomPercent != 100) {
        paintZoomed(p, exposed);
    } else {
        const QImage& buffer = m_surface.image();
        const QRect shown = exposed & buffer.rect();
        if (m_transparency.isNull())
            p.drawImage(shown.topLeft(), buffer, shown);
        else if (!shown.isEmpty())
            p.drawImage(shown.topLeft(), chequered(buffer, shown, true));
    }
    if (m_overlay)
        paintOverlay(p, exposed);
    if (m_toolPainter)
        paintTool(p, exposed);
    if (m_handlePainter)
        m_handlePainter(p, exposed);
    paintMark(p);
}

void Canvas::setOverlay(Overlay overlay)
{
    m_overlay = std::move(overlay);
    update();
}

void Canvas::setToolPainter(ToolPainter painter)
{
    m_toolPainter = std::move(painter);
    update();
}

void Canvas::paintTool(QPainter& p, const QRect& exposed)
{
    p.save();
    p.setClipRect(exposed);
    p.scale(m_zoom, m_zoom);
    m_toolPainter(p, QRectF(QPointF(exposed.topLeft()) / m_zoom, QSizeF(exposed.size()) / m_zoom));
    p.restore();
}

// In the buffer's drawing style, with lines as wide as there at every zoom.
void Canvas::paintOverlay(QPainter& p, const QRect& exposed)
{
    p.save();
    p.setClipRect(exposed);
    ScaledSurface target(p, m_zoom);
    target.setPenColor(m_surface.penColor());
    target.setFillColor(m_surface.fillColor());
    target.setFillStyle(m_surface.fillStyle());
    target.setLineWidth(m_surface.lineWidth());
    const double reach = kLineReach / m_zoom;
    const QRectF visible(QPointF(exposed.topLeft()) / m_zoom, QSizeF(exposed.size()) / m_zoom);
    m_overlay(target, visible.adjusted(-reach, -reach, reach, reach));
    p.restore();
}

void Canvas::setMark(std::optional<QPoint> picturePoint)
{
    if (picturePoint == m_mark)
        return;
    if (m_mark)
        update(markRect());
    m_mark = picturePoint;
    if (m_mark)
        update(markRect());
}

QRect Canvas::markRect() const
{
    const QPoint centre = handlePosition(*m_mark, 0);
    return QRect(centre - QPoint(kMarkHalf + 1, kMarkHalf + 1), centre + QPoint(kMarkHalf + 1, kMarkHalf + 1));
}

// A square with a dot in the middle, in white and magenta so that it shows
// on dark and light pictures alike.
void Canvas::paintMark(QPainter& p) const
{
    if (!m_mark)
        return;
    p.setClipping(false);
    const QPoint c = handlePosition(*m_mark, 0);
    const QRect square(c - QPoint(kMarkHalf, kMarkHalf), c + QPoint(kMarkHalf, kMarkHalf));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(square.adjusted(-1, -1, 1, 1));
    p.setPen(QPen(QColor(255, 0, 255), 1));
    p.drawRect(square);
    p.fillRect(QRect(c - QPoint(1, 1), QSize(3, 3)), QColor(255, 0, 255));
}

// The exposed part of the picture, scaled (smoothly when smaller, with sharp
// pixels when bigger), and the drawing over it at the screen's scale. Without
// a complete log the buffer is scaled instead, lines and all.
void Canvas::paintZoomed(QPainter& p, const QRect& exposed)
{
    const bool replay = m_surface.log().complete();
    const QImage& source = replay ? m_surface.picture() : m_surface.image();
    const QRectF wanted(QPointF(exposed.topLeft()) / m_zoom, QSizeF(exposed.size()) / m_zoom);
    const QRect pixels = wanted.toAlignedRect() & source.rect();
    if (pixels.isEmpty())
        return;
    p.setClipRect(exposed);
    p.setRenderHint(QPainter::SmoothPixmapTransform, m_zoom < 1);
    const QRectF target(QPointF(pixels.topLeft()) * m_zoom, QSizeF(pixels.size()) * m_zoom);
    if (replay && m_zoom < zoom::factorOf(zoom::kSteps.front())) {
        paintReduced(p, pixels);
    } else if (!m_transparency.isNull()) {
        const QImage part = chequered(source, pixels, !replay);
        p.drawImage(target, part, part.rect());
    } else if (source.format() == QImage::Format_RGB32) {
        p.drawImage(target, source, pixels);
    } else {
        // A big picture is kept packed (ImageSurface::setPicture()); smooth
        // scaling takes another way for that format, so the part shown is
        // scaled from 32 bits, as any other picture.
        const QImage part = source.copy(pixels).convertToFormat(QImage::Format_RGB32);
        p.drawImage(target, part, part.rect());
    }
    if (!replay)
        return;
    const double reach = kLineReach / m_zoom;
    ScaledSurface scaled(p, m_zoom);
    m_surface.replay(scaled, wanted.adjusted(-reach, -reach, reach, reach));
}

namespace {

// The two greys of the chequerboard, as image editors show what is transparent.
constexpr int kLightSquare = 255;
constexpr int kDarkSquare = 204;
// The side of a square on the screen, in screen pixels.
constexpr double kSquareOnScreen = 8;

// A pixel of the picture as the buffer holds it (a big picture is kept packed).
QRgb pictureAt(const QImage& picture, int x, int y)
{
    if (picture.format() == QImage::Format_RGB888) {
        const uchar* p = picture.constScanLine(y) + 3 * x;
        return qRgb(p[0], p[1], p[2]);
    }
    if (picture.format() == QImage::Format_RGB32)
        return reinterpret_cast<const QRgb*>(picture.constScanLine(y))[x] | 0xff000000u;
    return picture.pixel(x, y);
}

} // namespace

// The picture holds its transparent parts on white (a * colour + (1 - a) *
// white); on the chequerboard they are a * colour + (1 - a) * square. So
// every such pixel loses (1 - a) * (white - square) in each channel. A pixel
// the drawing changed is the drawing's and stays.
QImage Canvas::chequered(const QImage& source, const QRect& pixels, bool drawn) const
{
    QImage part = source.copy(pixels).convertToFormat(QImage::Format_RGB32);
    const QImage& picture = m_surface.picture();
    const bool compare = drawn && picture.size() == source.size() && &picture != &source;
    const int square = std::max(1, int(std::lround(kSquareOnScreen / m_zoom)));
    for (int row = 0; row < part.height(); ++row) {
        const int y = pixels.top() + row;
        const uchar* alpha = m_transparency.constScanLine(y);
        auto* line = reinterpret_cast<QRgb*>(part.scanLine(row));
        for (int column = 0; column < part.width(); ++column) {
            const int x = pixels.left() + column;
            const int clear = 255 - alpha[x];
            if (clear == 0 || (compare && pictureAt(picture, x, y) != (line[column] | 0xff000000u)))
                continue;
            const int shade = ((x / square + y / square) % 2) ? kDarkSquare : kLightSquare;
            const int less = (clear * (255 - shade) + 127) / 255;
            const QRgb c = line[column];
            line[column] = qRgb(std::max(0, qRed(c) - less), std::max(0, qGreen(c) - less), std::max(0, qBlue(c) - less));
        }
    }
    return part;
}

// Below the smallest step (a big picture fitted into the view) the picture
// is drawn from a copy halved as often as the zoom allows: the whole picture
// is in view, and scaling all of it at every repaint took far too long.
void Canvas::paintReduced(QPainter& p, const QRect& pixels)
{
    int halvings = 0;
    const QImage& reduced = m_reduced.forZoom(m_surface.picture(), m_zoom, &halvings);
    const double block = std::ldexp(1.0, halvings);
    const QRect part =
        QRectF(QPointF(pixels.topLeft()) / block, QSizeF(pixels.size()) / block).toAlignedRect() & reduced.rect();
    const double scale = block * m_zoom;
    p.drawImage(QRectF(QPointF(part.topLeft()) * scale, QSizeF(part.size()) * scale), reduced, part);
}

// Press, move and release keep coming to the canvas while a button is held,
// also outside it, so a drag released outside keeps its coordinates.
void Canvas::mousePressEvent(QMouseEvent* event)
{
    m_pointer = exactPosition(this, event);
    emit mousePressed(event->button(), toPicture(exactPosition(this, event)));
}

void Canvas::mouseMoveEvent(QMouseEvent* event)
{
    m_pointer = exactPosition(this, event);
    emit mouseMoved(toPicture(exactPosition(this, event)), event->buttons());
}

void Canvas::mouseReleaseEvent(QMouseEvent* event)
{
    m_pointer = exactPosition(this, event);
    emit mouseReleased(event->button(), toPicture(exactPosition(this, event)));
}

// The pointer gone, no target is near it.
void Canvas::leaveEvent(QEvent* event)
{
    setMark(std::nullopt);
    m_pointer.reset();
    QWidget::leaveEvent(event);
}

} // namespace korvane
