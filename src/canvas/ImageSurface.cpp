#include "canvas/ImageSurface.h"

#include "canvas/PictureMemory.h"
#include "model/StageClock.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
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

// A colour written over the pixels, or each pixel made the inverse of
// (colour XOR pixel), as the painter's raster operation does.
struct Ink {
    quint32 argb;
    bool invert;
};

void paintRun(quint32* pixels, int count, Ink ink)
{
    if (!ink.invert) {
        std::fill_n(pixels, count, ink.argb);
        return;
    }
    for (int i = 0; i < count; ++i)
        pixels[i] = ~(ink.argb ^ pixels[i]);
}

// The buffer's pixels, fetched once for all parts of an outline.
struct Pixels {
    uchar* bits;
    qsizetype stride;
};

// The pixels from (left, top) to (right, bottom) inclusive that lie in `clip`.
void paintBlock(Pixels target, int left, int top, int right, int bottom, const QRect& clip, Ink ink)
{
    left = std::max(left, clip.left());
    right = std::min(right, clip.right());
    top = std::max(top, clip.top());
    bottom = std::min(bottom, clip.bottom());
    if (left > right)
        return;
    for (int y = top; y <= bottom; ++y)
        paintRun(reinterpret_cast<quint32*>(target.bits + y * target.stride) + left, right - left + 1, ink);
}

// The outline of `box` (its pixels from left to right, top to bottom,
// inclusive) inside `clip`, every pixel once.
void paintOutline(Pixels target, const QRect& box, const QRect& clip, Ink ink)
{
    const int left = box.left(), top = box.top(), right = box.right(), bottom = box.bottom();
    paintBlock(target, left, top, right, top, clip, ink);
    paintBlock(target, left, bottom, right, bottom, clip, ink);
    paintBlock(target, left, top + 1, left, bottom - 1, clip, ink);
    paintBlock(target, right, top + 1, right, bottom - 1, clip, ink);
}

// A pixel's index from 0 to `last`: a whole number, not too big for an int.
bool isPixelIndex(double value, int last)
{
    return value >= 0 && value <= last && value == std::floor(value);
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
    m_owed.reset();
    // Raster operations (the XOR rubber band) need a 32-bit opaque format.
    picture.convertTo(QImage::Format_RGB32);
    useScreenResolution(picture);
    m_picture = std::move(picture);
    // A big picture waits for its buffer until one is needed (makeBuffer()).
    if (m_picture.sizeInBytes() < kPackedFrom)
        m_buffer = copyPicture(m_picture);
    else
        m_owed = Owed{};
    m_pristine = true;
    m_clean = false;
    m_dirty.clear();
    m_log.clear();
    notify(QRect(QPoint(0, 0), size()));
}

// The buffer of a big picture: the picture becomes it as it is, and is kept
// below the drawing in 24 bits, a quarter less memory for the same pixels;
// then what was owed is drawn into it. A const function, as reading the
// buffer may make it; the surface itself is never const (see Canvas).
void ImageSurface::makeBuffer() const
{
    if (!m_owed)
        return;
    const stages::Clock drawing(stages::Stage::Drawing);
    const Owed owed = *std::exchange(m_owed, std::nullopt);
    QImage packed = packedPicture(m_picture);
    if (packed.isNull()) {
        m_buffer = copyPicture(m_picture);
    } else {
        m_buffer = std::move(m_picture);
        m_picture = std::move(packed);
    }
    if (!owed.draw)
        return;
    // Drawn whole, whatever clip the caller set for its own drawing.
    auto& self = const_cast<ImageSurface&>(*this);
    const DrawingLog::Style now = style(penColor());
    const bool quiet = std::exchange(self.m_quiet, true);
    const bool clipped = std::exchange(self.m_clipped, false);
    self.useStyle(owed.style);
    owed.draw(self);
    flush();
    self.useStyle(now);
    self.m_clipped = clipped;
    self.m_quiet = quiet;
}

void ImageSurface::useStyle(const DrawingLog::Style& style)
{
    setPenColor(style.pen);
    setFillColor(style.fill);
    setFillStyle(style.fillStyle);
    setLineWidth(style.width);
    setDrawMode(style.mode);
}

void ImageSurface::drawWhenMade(std::function<void(ImageSurface&)> draw)
{
    if (!m_owed) {
        draw(*this);
        return;
    }
    m_owed = Owed{std::move(draw), style(penColor())};
    m_pristine = false;
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
    makeBuffer();
    flush();
    return m_buffer;
}

// The picture back into the buffer's own memory: a fresh copy would hold
// the picture once more for a moment.
void ImageSurface::restorePicture()
{
    if (m_owed) {
        m_owed = Owed{}; // the buffer still to be made is the picture alone
        return;
    }
    if (!unpackPixels(m_picture, m_buffer) && !copyPixels(m_picture, m_buffer))
        m_buffer = copyPicture(m_picture);
}

// Everything that draws goes through the painter.
QPainter& ImageSurface::painter()
{
    makeBuffer();
    m_pristine = false;
    if (!m_painter) {
        m_prepared.reset();
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
    QPainter& p = painter();
    Prepared wanted{penColor, filled && fillStyle() == FillStyle::DiagonalCross, QColor(), lineWidth(), drawMode()};
    if (wanted.hatched)
        wanted.fill = fillColor();
    if (m_prepared == wanted)
        return;
    preparePainter(p, penColor, filled);
    m_prepared = wanted;
}

// The common outline (thin, not hatched, opaque, whole pixels, inside the
// buffer) written into the buffer's lines, the same pixels as the painter
// sets, for a fraction of its cost. False where only the painter knows the
// pixels: there it clips thin lines at the edge of the buffer in its own way,
// and draws the corners of a rectangle less than two pixels wide twice.
bool ImageSurface::drawOutlineDirectly(const QRectF& rect)
{
    makeBuffer();
    if (lineWidth() != 1 || fillStyle() == FillStyle::DiagonalCross || m_buffer.format() != QImage::Format_RGB32)
        return false;
    const QRgba64 colour = penColor().rgba64();
    if (!penColor().isValid() || !colour.isOpaque())
        return false;
    const int lastX = m_buffer.width() - 1, lastY = m_buffer.height() - 1;
    if (!isPixelIndex(rect.left(), lastX) || !isPixelIndex(rect.right(), lastX) || !isPixelIndex(rect.top(), lastY) ||
        !isPixelIndex(rect.bottom(), lastY) || rect.width() < 2 || rect.height() < 1)
        return false;
    const QRect box(QPoint(int(rect.left()), int(rect.top())), QPoint(int(rect.right()), int(rect.bottom())));
    const Ink ink{colour.toArgb32(), drawMode() == DrawMode::InvertXor};
    m_pristine = false;
    // The open painter draws into these same bytes: a buffer is never shared while painted on.
    const Pixels target{m_buffer.bits(), m_buffer.bytesPerLine()};
    if (!m_clipped) {
        paintOutline(target, box, box, ink);
        return true;
    }
    for (const QRect& clip : m_clip)
        paintOutline(target, box, clip, ink);
    return true;
}

void ImageSurface::touched(const QRectF& bounds)
{
    if (m_quiet)
        return;
    // A sharp corner's mitre reaches up to twice the line width past its point.
    const int margin = 2 * lineWidth() + 2;
    const QRect rect = bounds.toAlignedRect().adjusted(-margin, -margin, margin, margin) & QRect(QPoint(0, 0), size());
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
    const QRectF rect = QRectF(corner1, corner2).normalized();
    if (!drawOutlineDirectly(rect)) {
        prepare(penColor(), true);
        painter().drawRect(rect);
    }
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
    m_prepared.reset(); // the text set a pen and brush of its own
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
    notify(QRect(QPoint(0, 0), size()));
}

QColor ImageSurface::pixel(QPoint point) const
{
    makeBuffer();
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
    makeBuffer();
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
    m_prepared.reset();
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
