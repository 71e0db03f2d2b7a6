#pragma once

#include "picture/OutlineTracer.h"

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QPainter;

namespace korvane {

class ToolContext;

// "Umriss": a click inside a region of the picture makes the region's outline
// a polygon area. While the pointer rests over the picture the outline a click
// would take is shown; the click takes exactly that outline (the same call of
// the tracer as the preview), so what the user saw is what they get.
// Positions are picture pixels; the tool knows no widget, only its context.
class TraceTool : public QObject {
    Q_OBJECT
public:
    static constexpr int kSmallestTolerance = 0;
    static constexpr int kLargestTolerance = 255;
    // One key press or one notch of the wheel.
    static constexpr int kToleranceStep = 4;
    static constexpr double kSmallestPrecision = 0.0;
    static constexpr double kLargestPrecision = 50.0;

    // `context`: the picture, new areas, messages and the overlay.
    explicit TraceTool(ToolContext& context, QObject* parent = nullptr);
    ~TraceTool() override;

    int tolerance() const { return m_settings.tolerance; }
    double precision() const { return m_settings.precision; }
    // Changed by the user: the preview follows and the host is told.
    void setTolerance(int tolerance);
    void setPrecision(double precision);
    // Kept values read back: nothing is reported.
    void restoreSettings(int tolerance, double precision);

    // The pointer moved over the canvas: the preview follows it.
    void hover(QPointF at);
    void press(Qt::MouseButton button, QPointF at);
    // The left button's release after a press on the picture traces the
    // pressed pixel's region; true when an area was made.
    bool release(Qt::MouseButton button, QPointF at);
    // "+" and "-" change the tolerance, Escape hides the preview; true when handled.
    bool key(int key, Qt::KeyboardModifiers modifiers);
    // Shift and the wheel change the tolerance; true when handled.
    bool wheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers);
    // The preview hidden and a press forgotten (the pointer left, another tool).
    void cancel();
    // The picture is about to go (another is decoded): the tracer's copy of
    // it and its map of the regions go now, so that two pictures never meet.
    void releasePicture();
    // Every region of the colour at `at`, as one step; true when areas were made.
    bool traceColourAt(QPointF at);

    // The preview over the picture; the painter maps picture pixels.
    void paint(QPainter& painter, const QRectF& visible) const;
    // The outline shown now; empty when none is.
    QPolygon previewPolygon() const;
    // The picture pixel the pointer was last over, if on the picture.
    std::optional<QPoint> lastPixel() const { return m_pointer; }

signals:
    // The user changed the tolerance or the precision (to be kept).
    void settingsChanged();

private:
    OutlineTracer& tracer();
    std::optional<QPoint> pixelAt(QPointF at);
    void showPreview();
    TraceSettings settings() const { return m_settings; }

    ToolContext& m_context;
    TraceSettings m_settings;
    std::unique_ptr<OutlineTracer> m_tracer;
    qint64 m_pictureKey = 0;            // the picture the tracer reads
    std::optional<QPoint> m_pointer;    // the pixel under the pointer
    std::optional<QPoint> m_pressed;    // the pixel of the left press
    std::optional<TracedOutline> m_shown; // the preview, for m_pointer
    int m_wheelRest = 0;
};

} // namespace korvane
