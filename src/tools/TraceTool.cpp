#include "tools/TraceTool.h"

#include "model/AreaEntry.h"
#include "tools/ToolContext.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

constexpr int kNotch = 120; // one step of an ordinary mouse wheel

// The preview in the colour of the responsive highlight, with a white halo,
// so that it reads on light and dark pictures alike.
const QColor kLine(0x00, 0x5a, 0xc8);
const QColor kHalo(255, 255, 255, 200);
const QColor kFill(0x00, 0x5a, 0xc8, 48);

QString coordinatesOf(const QPolygon& polygon)
{
    QList<int> values;
    values.reserve(polygon.size() * 2);
    for (const QPoint& p : polygon)
        values << p.x() << p.y();
    return entry::coordinateText(values);
}

} // namespace

TraceTool::TraceTool(ToolContext& context, QObject* parent) : QObject(parent), m_context(context) {}

TraceTool::~TraceTool() = default;

void TraceTool::setTolerance(int tolerance)
{
    tolerance = std::clamp(tolerance, kSmallestTolerance, kLargestTolerance);
    if (tolerance == m_settings.tolerance)
        return;
    m_settings.tolerance = tolerance;
    showPreview();
    emit settingsChanged();
}

void TraceTool::setPrecision(double precision)
{
    if (!std::isfinite(precision))
        return;
    precision = std::clamp(precision, kSmallestPrecision, kLargestPrecision);
    if (precision == m_settings.precision)
        return;
    m_settings.precision = precision;
    showPreview();
    emit settingsChanged();
}

void TraceTool::restoreSettings(int tolerance, double precision)
{
    m_settings.tolerance = std::clamp(tolerance, kSmallestTolerance, kLargestTolerance);
    if (std::isfinite(precision))
        m_settings.precision = std::clamp(precision, kSmallestPrecision, kLargestPrecision);
    showPreview();
}

// A new picture gets a new tracer: the old one would trace what is no longer shown.
OutlineTracer& TraceTool::tracer()
{
    const QImage& picture = m_context.picture();
    if (!m_tracer || picture.cacheKey() != m_pictureKey) {
        m_tracer.reset(); // the old picture's copy goes before the new one is read
        m_tracer = std::make_unique<OutlineTracer>(picture);
        m_pictureKey = picture.cacheKey();
    }
    return *m_tracer;
}

void TraceTool::releasePicture()
{
    m_tracer.reset();
    m_pictureKey = 0;
    cancel();
}

// The picture pixel under a position (the canvas gives the pixel's own
// place, or a fraction of it on a scaled screen); none off the picture.
std::optional<QPoint> TraceTool::pixelAt(QPointF at)
{
    const QImage& picture = m_context.picture();
    const QPoint pixel(int(std::floor(at.x())), int(std::floor(at.y())));
    if (picture.isNull() || !picture.rect().contains(pixel))
        return std::nullopt;
    return pixel;
}

void TraceTool::hover(QPointF at)
{
    const std::optional<QPoint> pixel = pixelAt(at);
    if (pixel == m_pointer)
        return;
    m_pointer = pixel;
    showPreview();
}

// The outline for the pixel under the pointer, through the same call a
// click makes; painted again only when it changed.
void TraceTool::showPreview()
{
    std::optional<TracedOutline> shown;
    if (m_pointer)
        shown = tracer().previewAt(*m_pointer, settings());
    const bool samePolygon = shown.has_value() == m_shown.has_value() &&
                             (!shown || shown->polygon == m_shown->polygon);
    m_shown = std::move(shown);
    if (!samePolygon)
        m_context.repaintOverlay();
}

void TraceTool::press(Qt::MouseButton button, QPointF at)
{
    if (button != Qt::LeftButton)
        return;
    m_pressed = pixelAt(at);
    hover(at);
}

bool TraceTool::release(Qt::MouseButton button, QPointF)
{
    if (button != Qt::LeftButton || !m_pressed)
        return false;
    const QPoint pixel = *std::exchange(m_pressed, std::nullopt);
    const TracedOutline outline = tracer().previewAt(pixel, settings());
    if (!outline.isArea()) {
        m_context.inform(outline.message);
        return false;
    }
    return m_context.addPolygon(coordinatesOf(outline.polygon));
}

bool TraceTool::key(int key, Qt::KeyboardModifiers modifiers)
{
    // Shift may be needed to type "+"; Ctrl and Alt belong to other keys (Ctrl++ zooms).
    modifiers &= ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (modifiers != Qt::NoModifier)
        return false;
    switch (key) {
    case Qt::Key_Plus:
        setTolerance(m_settings.tolerance + kToleranceStep);
        return true;
    case Qt::Key_Minus:
        setTolerance(m_settings.tolerance - kToleranceStep);
        return true;
    case Qt::Key_Escape:
        if (!m_shown && !m_pressed)
            return false;
        cancel();
        return true;
    default:
        return false;
    }
}

bool TraceTool::wheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers)
{
    if ((modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) != Qt::ShiftModifier)
        return false;
    // Some desktops turn a vertical wheel with Shift into a horizontal one.
    m_wheelRest += angleDelta.y() != 0 ? angleDelta.y() : angleDelta.x();
    const int notches = m_wheelRest / kNotch;
    m_wheelRest -= notches * kNotch;
    if (notches != 0)
        setTolerance(m_settings.tolerance + notches * kToleranceStep);
    return true;
}

void TraceTool::cancel()
{
    m_pressed.reset();
    m_pointer.reset();
    if (std::exchange(m_shown, std::nullopt))
        m_context.repaintOverlay();
}

bool TraceTool::traceColourAt(QPointF at)
{
    const std::optional<QPoint> pixel = pixelAt(at);
    if (!pixel)
        return false;
    const TracedColour found = tracer().traceColour(*pixel, settings());
    // The tracer grew other regions meanwhile: the preview is traced again.
    m_shown.reset();
    showPreview();
    if (found.outlines.isEmpty()) {
        m_context.inform(found.message);
        return false;
    }
    QStringList coords;
    coords.reserve(found.outlines.size());
    for (const TracedOutline& outline : found.outlines)
        coords << coordinatesOf(outline.polygon);
    return m_context.addPolygons(coords, QCoreApplication::translate("korvane::TraceControls", "Umrisse nachzeichnen"));
}

QPolygon TraceTool::previewPolygon() const
{
    return m_shown ? m_shown->polygon : QPolygon();
}

// Lines as wide on the screen at every zoom (cosmetic pens); the outline runs
// where the area's outline will be drawn.
void TraceTool::paint(QPainter& painter, const QRectF& visible) const
{
    if (!m_shown || m_shown->polygon.isEmpty() || !QRectF(m_shown->polygon.boundingRect()).intersects(visible))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen halo(kHalo, 3);
    halo.setCosmetic(true);
    painter.setPen(halo);
    painter.setBrush(kFill);
    painter.drawPolygon(m_shown->polygon);
    QPen line(kLine, 1);
    line.setCosmetic(true);
    painter.setPen(line);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(m_shown->polygon);
    painter.restore();
}

} // namespace korvane
