#include "canvas/DrawingLog.h"

namespace korvane {

namespace {

bool isAreas(const DrawingLog::Step& step)
{
    return step.kind == DrawingLog::Kind::Areas;
}

bool reaches(const QRectF& bounds, const QRectF& visible)
{
    return bounds.left() <= visible.right() && bounds.right() >= visible.left() && bounds.top() <= visible.bottom() &&
           bounds.bottom() >= visible.top();
}

void applyStyle(DrawingSurface& target, const DrawingLog::Style& style)
{
    target.setPenColor(style.pen);
    target.setFillColor(style.fill);
    target.setFillStyle(style.fillStyle);
    target.setLineWidth(style.width);
    target.setDrawMode(style.mode);
}

} // namespace

void DrawingLog::clear()
{
    m_steps.clear();
    m_overflow = false;
}

void DrawingLog::resetToAreas(const Style& style, const QColor& circleColor)
{
    clear();
    Step all;
    all.kind = Kind::Areas;
    all.style = style;
    all.circleColor = circleColor;
    m_steps.append(all);
}

void DrawingLog::add(const Step& step)
{
    if (m_overflow)
        return;
    if (step.style.mode == DrawMode::InvertXor && !m_steps.isEmpty() && m_steps.last() == step) {
        m_steps.removeLast();
        return;
    }
    m_steps.append(step);
    if (m_steps.size() > kStepLimit) {
        m_steps.clear();
        m_overflow = true;
    }
}

// Painting all areas but one over the canvas leaves, wherever another area
// draws, the last of them on top, whatever was there before: an earlier such
// step adds nothing that shows, so only the newest is kept.
void DrawingLog::addAreas(int skip, const Style& style, const QColor& circleColor)
{
    if (m_overflow)
        return;
    const qsizetype keep = !m_steps.isEmpty() && isAreas(m_steps.first()) && m_steps.first().skip < 0 ? 1 : 0;
    for (qsizetype i = m_steps.size() - 1; i >= keep; --i) {
        if (isAreas(m_steps[i]))
            m_steps.removeAt(i);
    }
    Step others;
    others.kind = Kind::Areas;
    others.style = style;
    others.circleColor = circleColor;
    others.skip = skip;
    m_steps.append(others);
}

// All areas first and all but area s painted over them later: of the first
// step only area s itself can still show, so it is all that is drawn.
int DrawingLog::baseOnly() const
{
    if (m_steps.isEmpty() || !isAreas(m_steps.first()) || m_steps.first().skip >= 0)
        return -1;
    for (qsizetype i = m_steps.size() - 1; i > 0; --i) {
        if (isAreas(m_steps[i]))
            return m_steps[i].skip >= 0 && m_steps[i].style == m_steps.first().style ? m_steps[i].skip : -1;
    }
    return -1;
}

void DrawingLog::replay(DrawingSurface& target, const QRectF& visible, const AreaPainter& areas) const
{
    const int only = baseOnly();
    for (qsizetype i = 0; i < m_steps.size(); ++i) {
        const Step& step = m_steps[i];
        if (!isAreas(step)) {
            if (reaches(step.bounds, visible))
                replayStep(target, step);
            continue;
        }
        if (!areas)
            continue;
        applyStyle(target, step.style);
        if (i == 0 && only >= 0)
            areas(target, -1, only, step.circleColor, visible);
        else
            areas(target, step.skip, -1, step.circleColor, visible);
    }
}

void DrawingLog::replayStep(DrawingSurface& target, const Step& step)
{
    applyStyle(target, step.style);
    switch (step.kind) {
    case Kind::Line:
        target.drawLine(step.a, step.b, step.style.pen);
        break;
    case Kind::Rectangle:
        target.drawRectangle(step.a, step.b);
        break;
    case Kind::Circle:
        target.drawCircle(step.a, step.radius, step.style.pen);
        break;
    case Kind::Polygon:
        target.drawPolygon(step.points);
        break;
    case Kind::Text:
        target.drawText(step.a.toPoint(), step.text, step.font);
        break;
    case Kind::Areas:
        break;
    }
}

} // namespace korvane
