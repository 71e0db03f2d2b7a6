#include "canvas/ImageSurface.h"

#include "canvas/PictureMemory.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace korvane {

namespace {

// From this size on a picture is kept packed (see setPicture()).
constexpr qsizetype kPackedFrom = 8 * 1024 * 1024;

// Text sizes in points must come out as on the screen, so the buffer carries
// the screen's logical resolution rather than QImage's default of 72 dpi.
void useScreenResolution(QImage& image)
{
    double dpi = 96.0;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        dpi = screen->logicalDotsPerInch();
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
}

} // namespace

ImageSurface::ImageSurface()
{
    resizeBlank(QSize(1, 1), Qt::lightGray);
}

ImageSurface::~ImageSurface()
{
    flush();
}

void ImageSurface::setPicture(QImage picture)
{
    flush();
    // The old picture and buffer go before the new buffer is made.
    m_buffer = QImage();
    m_picture = QImage();
    // Raster operations (the XOR rubber band) need a 32-bit opaque format.
    picture.convertTo(QImage::Format_RGB32);
    useScreenResolution(picture);
    // A big picture becomes the buffer as it is, and the picture below the
    // drawing is kept in 24 bits: a quarter less memory for the same pixels.
    if (picture.sizeInBytes() >= kPackedFrom)
        m_picture = packedPicture(picture);
    if (!m_picture.isNull()) {
        m_buffer = std::move(picture);
    } else {
        m_picture = std::move(picture);
        m_buffer = copyPicture(m_picture);
    }
    m_pristine = true;
    m_clean = false;
    m_dirty.clear();
    m_log.clear();
    notify(m_buffer.rect());
}

void ImageSurface::releasePicture()
{
    resizeBlank(QSize(1, 1), m_background);
}

void ImageSurface::resizeBlank(QSize size, const QColor& background)
{
    m_background = background;
    // In memory filled in one call: page by page, a blank canvas costs the
    // start several milliseconds.
    QImage blank = allocatePicture(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    blank.fill(background);
    setPicture(std::move(blank));
}

const QImage& ImageSurface::image() const
{
    flush();
    return m_buffer;
}

// The picture back into the buffer's own memory: a fresh copy would hold
// the picture once more for a moment.
void ImageSurface::restorePicture()
{
    if (!unpackPixels(m_picture, m_buffer) && !copyPixels(m_picture, m_buffer))
        m_buffer = copyPicture(m_picture);
}

// Everything that draws goes through the painter.
QPainter& ImageSurface::painter()
{
    m_pristine = false;
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_buffer);
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        if (m_clipped)
            m_painter->setClipRegion(m_clip);
    }
    return *m_painter;
}

void ImageSurface::flush() const
{
    m_painter.reset();
}

void ImageSurface::prepare(const QColor& penColor, bool filled)
{
    preparePainter(painter(), penColor, filled);
}

void ImageSurface::touched(const QRectF& bounds)
{
    if (m_quiet)
        return;
    const int margin = lineWidth() + 2;
    const QRect rect = bounds.toAlignedRect().adjusted(-margin, -margin, margin, margin) & m_buffer.rect();
    if (rect.isEmpty())
        return;
    addDirty(rect);
    notify(rect);
}

void ImageSurface::addDirty(const QRect& rect)
{
    m_dirty.add(rect);
}

void ImageSurface::notify(const QRect& rect)
{
    if (m_changed && !m_quiet)
        m_changed(rect);
}

DrawingLog::Style ImageSurface::style(const QColor& outline) const
{
    return {outline, fillColor(), fillStyle(), lineWidth(), drawMode()};
}

// The renderer's own drawing (quiet) is logged by the renderer as one step.
bool ImageSurface::logs() const
{
    return !m_quiet;
}

DrawingLog::Step ImageSurface::step(DrawingLog::Kind kind, const QColor& outline, const QRectF& bounds, QPointF a,
                                    QPointF b) const
{
    DrawingLog::Step step;
    step.kind = kind;
    step.style = style(outline);
    step.bounds = bounds;
    step.a = a;
    step.b = b;
    return step;
}

void ImageSurface::drawLine(QPointF from, QPointF to, const QColor& color)
{
    prepare(color, false);
    painter().drawLine(from, to);
    const QRectF bounds = QRectF(from, to).normalized();
    touched(bounds);
    if (logs())
        m_log.add(step(DrawingLog::Kind::Line, color, bounds, from, to));
}

void ImageSurface::drawRectangle(QPointF corner1, QPointF corner2)
{
    prepare(penColor(), true);
    const QRectF rect = QRectF(corner1, corner2).normalized();
    painter().drawRect(rect);
    touched(rect);
    if (logs())
        m_log.add(step(DrawingLog::Kind::Rectangle, penColor(), rect, corner1, corner2));
}

void ImageSurface::drawCircle(QPointF centre, double radius, const QColor& color)
{
    prepare(color, true);
    painter().drawEllipse(centre, radius, radius);
    const QRectF bounds(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    touched(bounds);
    if (logs()) {
        DrawingLog::Step circle = step(DrawingLog::Kind::Circle, color, bounds, centre);
        circle.radius = radius;
        m_log.add(circle);
    }
}

void ImageSurface::drawPolygon(const QPolygon& points)
{
    if (points.isEmpty())
        return;
    prepare(penColor(), true);
    // A single vertex has no edge to stroke; it shows as a dot of the line width.
    if (points.size() == 1)
        painter().drawPoint(points.first());
    else
        painter().drawPolygon(points);
    const QRectF bounds(points.boundingRect());
    touched(bounds);
    if (logs()) {
        DrawingLog::Step polygon = step(DrawingLog::Kind::Polygon, penColor(), bounds);
        polygon.points = points;
        m_log.add(polygon);
    }
}

void ImageSurface::drawText(QPoint topLeft, const QString& text, const QFont& font)
{
    const QRectF bounds(paintText(painter(), topLeft, text, font));
    touched(bounds);
    if (logs()) {
        DrawingLog::Step words = step(DrawingLog::Kind::Text, penColor(), bounds, topLeft);
        words.text = text;
        words.font = font;
        m_log.add(words);
    }
}

void ImageSurface::clear()
{
    flush();
    m_log.clear();
    if (!m_pristine)
        restorePicture();
    m_pristine = true;
    m_clean = false;
    m_dirty.clear();
    notify(m_buffer.rect());
}

QColor ImageSurface::pixel(QPoint point) const
{
    flush();
    if (!m_buffer.rect().contains(point))
        return {};
    return QColor(m_buffer.pixel(point));
}

void ImageSurface::markClean()
{
    m_clean = true;
    m_dirty.clear();
}

// A fresh painter for every restore: an open painter whose clipping was
// switched off and on again did not keep to the new region.
void ImageSurface::restoreRegion(const QRegion& region)
{
    flush();
    m_clipped = false;
    // Copied rectangle by rectangle: a painter converts the whole bounding
    // rectangle of a packed picture, for thousands of small places too.
    bool copied = !region.isEmpty();
    for (const QRect& r : region) {
        if (!(copied = restorePixels(m_picture, m_buffer, r)))
            break; // another format: the painter converts it
    }
    if (copied) {
        m_pristine = false;
        setClip(region);
        return;
    }
    QPainter& p = painter();
    p.setClipRegion(region);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(region.boundingRect().topLeft(), m_picture, region.boundingRect());
    setClip(region);
}

void ImageSurface::setClip(const QRegion& region)
{
    m_clip = region;
    m_clipped = true;
    if (m_painter)
        m_painter->setClipRegion(region);
}

void ImageSurface::clearClip()
{
    m_clipped = false;
    m_clip = QRegion();
    flush();
}

} // namespace korvane
