#include "canvas/AreaRenderer.h"

#include "canvas/HitTest.h"
#include "canvas/ImageSurface.h"
#include "model/AreaList.h"

namespace korvane {

namespace {

// Uniting ever more rectangles costs more than it saves: past this many, the
// next complete redraw starts from scratch (an import of thousands of lines).
constexpr int kPendingRectLimit = 64;

} // namespace

AreaRenderer::AreaRenderer(const AreaList& areas, ImageSurface& surface, QObject* parent)
    : QObject(parent), m_areas(areas), m_surface(surface)
{
    rebuild();
    connect(&areas, &AreaList::dataChanged, this, [this](const QModelIndex& top, const QModelIndex& bottom) {
        for (int row = top.row(); row <= bottom.row() && row < m_shapes.size(); ++row) {
            addPending(m_shapes[row]);
            m_shapes[row] = parseArea(m_areas.line(row));
            addPending(m_shapes[row]);
        }
    });
    connect(&areas, &AreaList::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        if (first == m_shapes.size()) // an import appends a million at once
            m_shapes.reserve(m_shapes.size() + last - first + 1);
        QString line;
        for (int row = first; row <= last; ++row) {
            m_areas.lines().read(row, line);
            if (row == m_shapes.size())
                m_shapes.append(parseArea(line));
            else
                m_shapes.insert(row, parseArea(line));
            addPending(m_shapes.at(row));
        }
    });
    connect(&areas, &AreaList::rowsRemoved, this, [this](const QModelIndex&, int first, int last) {
        for (int row = last; row >= first && row < m_shapes.size(); --row) {
            addPending(m_shapes[row]);
            m_shapes.removeAt(row);
        }
    });
    connect(&areas, &AreaList::modelReset, this, &AreaRenderer::rebuild);
    connect(&areas, &AreaList::layoutChanged, this, &AreaRenderer::rebuild);
    m_surface.setAreaPainter([this](DrawingSurface& target, int skip, int only, const QColor& circleColor,
                                    const QRectF& visible) { paintAreas(target, skip, only, circleColor, visible); });
}

AreaRenderer::~AreaRenderer()
{
    m_surface.setAreaPainter({});
}

int AreaRenderer::areaAt(QPointF point) const
{
    return korvane::areaAt(m_shapes, point);
}

void AreaRenderer::rebuild()
{
    m_shapes.clear();
    m_shapes.reserve(m_areas.count());
    QString line;
    for (int row = 0; row < m_areas.count(); ++row) {
        m_areas.lines().read(row, line);
        m_shapes.append(parseArea(line));
    }
    m_needFull = true;
    m_pending = QRegion();
}

const AreaGeometry& AreaRenderer::geometry(int row) const
{
    static const AreaGeometry none;
    return row >= 0 && row < m_shapes.size() ? m_shapes[row] : none;
}

AreaRenderer::Style AreaRenderer::currentStyle() const
{
    return {m_surface.penColor(), m_circleColor, m_surface.fillColor(), static_cast<int>(m_surface.fillStyle()),
            m_surface.lineWidth()};
}

void AreaRenderer::addPending(const AreaGeometry& area)
{
    if (m_needFull)
        return;
    m_pending += damageOf(area);
    if (m_pending.rectCount() > kPendingRectLimit) {
        m_needFull = true;
        m_pending = QRegion();
    }
}

QRect AreaRenderer::damageOf(const AreaGeometry& area) const
{
    if (!area.drawable())
        return {};
    const int margin = m_surface.lineWidth() + 2;
    return area.bounds.adjusted(-margin, -margin, margin, margin) & QRect(QPoint(0, 0), m_surface.size());
}

void AreaRenderer::redraw(int skip)
{
    const DrawMode mode = m_surface.drawMode();
    m_surface.setDrawMode(DrawMode::Copy);
    if (skip >= 0) {
        drawAllExcept(skip);
    } else {
        const QRegion damage = m_surface.dirty() + m_pending;
        qint64 damagedArea = 0;
        for (const QRect& r : damage)
            damagedArea += qint64(r.width()) * r.height();
        const qint64 imageArea = qint64(m_surface.size().width()) * m_surface.size().height();
        // Past half the picture a redraw from scratch is as quick.
        const bool partial = m_incremental && !m_needFull && m_surface.isClean() && currentStyle() == m_cleanStyle &&
                             damagedArea * 2 < imageArea;
        if (partial)
            redrawDamaged(damage);
        else
            redrawAll();
        m_lastPartial = partial;
    }
    m_surface.setDrawMode(mode);
}

void AreaRenderer::redrawAll()
{
    m_surface.clear();
    m_surface.setQuiet(true);
    drawOthers(-1, QRegion());
    m_surface.setQuiet(false);
    m_surface.markClean();
    logAllAreas();
    m_surface.notify(QRect(QPoint(0, 0), m_surface.size()));
    m_cleanStyle = currentStyle();
    m_needFull = false;
    m_pending = QRegion();
}

// Copies the picture back where something changed and draws, clipped to
// those parts, every area that reaches into them, in list order.
void AreaRenderer::redrawDamaged(const QRegion& damage)
{
    m_pending = QRegion();
    logAllAreas();
    if (damage.isEmpty()) {
        m_surface.markClean();
        return;
    }
    m_surface.setQuiet(true);
    m_surface.restoreRegion(damage);
    drawOthers(-1, damage);
    m_surface.clearClip();
    m_surface.setQuiet(false);
    m_surface.markClean();
    m_surface.notify(damage.boundingRect());
}

// The other areas are painted over the canvas as it is. Over a clean canvas
// this changes nothing outside the skipped area, which is marked dirty.
void AreaRenderer::drawAllExcept(int skip)
{
    m_surface.setQuiet(true);
    if (m_incremental && !m_needFull && m_surface.isClean() && currentStyle() == m_cleanStyle)
        drawOthersWhereChanged(skip);
    else
        drawOthers(skip, QRegion());
    m_surface.setQuiet(false);
    if (!(currentStyle() == m_cleanStyle))
        m_needFull = true;
    m_surface.addDirty(damageOf(geometry(skip)));
    m_surface.log().addAreas(skip, m_surface.style(m_surface.penColor()), m_circleColor);
    m_surface.notify(QRect(QPoint(0, 0), m_surface.size()));
}

// The buffer now shows the picture and every area, nothing else.
void AreaRenderer::logAllAreas()
{
    m_surface.log().resetToAreas(m_surface.style(m_surface.penColor()), m_circleColor);
}

// A canvas that shows all areas except in known places (drawn over since,
// lines changed since, the skipped area) can differ after painting the other
// areas over it only in those places: painting there alone gives the same picture.
void AreaRenderer::drawOthersWhereChanged(int skip)
{
    const QRegion places = m_surface.dirty() + m_pending + damageOf(geometry(skip));
    if (places.isEmpty())
        return;
    m_surface.flush(); // a painter that drew unclipped does not always take a clip
    m_surface.setClip(places);
    drawOthers(skip, places);
    m_surface.clearClip();
}

// Every area but `skip` (-1: none) in list order; with `only` set, just those
// reaching into it.
void AreaRenderer::drawOthers(int skip, const QRegion& only)
{
    const QRect box = only.boundingRect();
    for (int i = 0; i < m_shapes.size(); ++i) {
        if (i == skip)
            continue;
        if (!only.isEmpty()) {
            const QRect extent = damageOf(m_shapes[i]);
            if (!box.intersects(extent) || !only.intersects(extent))
                continue;
        }
        drawArea(m_surface, m_shapes[i], m_circleColor);
    }
}

// The zoomed canvas draws the areas again at its scale; only those that
// reach into the visible part cost anything.
void AreaRenderer::paintAreas(DrawingSurface& target, int skip, int only, const QColor& circleColor,
                              const QRectF& visible) const
{
    if (only >= 0) {
        drawArea(target, geometry(only), circleColor);
        return;
    }
    const QRect box = visible.toAlignedRect();
    for (int i = 0; i < m_shapes.size(); ++i) {
        if (i != skip && m_shapes[i].bounds.intersects(box))
            drawArea(target, m_shapes[i], circleColor);
    }
}

} // namespace korvane
