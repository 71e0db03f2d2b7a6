#include "canvas/SnapIndex.h"

#include "canvas/AreaGeometry.h"
#include "model/AreaEntry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace korvane {

namespace {

// Picture pixels per bucket side: at every zoom the catch distance reaches
// into only a few buckets around the pointer.
constexpr int kCell = 32;
// Replaced targets are swept out once there are this many and as many as live ones.
constexpr size_t kFewestToCompact = 1024;

QPointF nearestOnSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const double length2 = QPointF::dotProduct(d, d);
    if (length2 == 0)
        return a;
    const double t = std::clamp(QPointF::dotProduct(p - a, d) / length2, 0.0, 1.0);
    return a + t * d;
}

QPointF nearestOnCircle(QPointF p, QPointF centre, int radius)
{
    const QPointF d = p - centre;
    const double length = std::hypot(d.x(), d.y());
    if (length == 0)
        return centre + QPointF(radius, 0);
    return centre + d * (radius / length);
}

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

QPoint rounded(QPointF p)
{
    return QPoint(roundHalfEven(p.x()), roundHalfEven(p.y()));
}

// The axis value caught by the picture's edges (0 and the size) or else the grid.
bool catchAxis(double value, double reach, int size, int grid, int& to, SnapKind& kind)
{
    const double toStart = std::abs(value), toEnd = std::abs(value - size);
    if (std::min(toStart, toEnd) <= reach) {
        to = toStart <= toEnd ? 0 : size;
        kind = SnapKind::PictureEdge;
        return true;
    }
    if (grid <= 0)
        return false;
    const double line = std::round(value / grid) * grid;
    if (std::abs(value - line) > reach)
        return false;
    to = int(line);
    kind = SnapKind::Grid;
    return true;
}

} // namespace

void SnapIndex::setPictureSize(QSize size)
{
    size = size.expandedTo(QSize(1, 1));
    if (size == m_picture)
        return;
    m_picture = size;
    compact();
}

int SnapIndex::columnOf(double x) const
{
    return std::clamp(int(std::floor(x / kCell)), 0, m_columns - 1);
}

int SnapIndex::lineOf(double y) const
{
    return std::clamp(int(std::floor(y / kCell)), 0, m_lines - 1);
}

int SnapIndex::cellOf(int column, int line) const
{
    return line * m_columns + column;
}

void SnapIndex::reset(int rows)
{
    m_items.clear();
    m_rowItems.assign(size_t(std::max(rows, 0)), {});
    m_dead = 0;
    compact();
}

// The buckets are made anew for the picture's size from the live targets.
void SnapIndex::compact()
{
    m_columns = std::max(1, (m_picture.width() + kCell - 1) / kCell);
    m_lines = std::max(1, (m_picture.height() + kCell - 1) / kCell);
    m_cells.assign(size_t(m_columns) * size_t(m_lines), {});
    std::vector<Item> live;
    live.reserve(m_items.size() - m_dead);
    for (auto& ids : m_rowItems) {
        for (quint32& id : ids) {
            live.push_back(m_items[id]);
            id = quint32(live.size() - 1);
        }
    }
    m_items = std::move(live);
    m_dead = 0;
    for (quint32 id = 0; id < m_items.size(); ++id)
        addToCells(id, m_items[id]);
}

void SnapIndex::setArea(int row, const AreaGeometry& area)
{
    if (row < 0)
        return;
    if (size_t(row) >= m_rowItems.size())
        m_rowItems.resize(size_t(row) + 1);
    for (quint32 id : m_rowItems[size_t(row)])
        m_items[id].row = -1;
    m_dead += m_rowItems[size_t(row)].size();
    m_rowItems[size_t(row)].clear();
    const auto add = [&](QPoint a, QPoint b, int radius = 0) {
        m_rowItems[size_t(row)].push_back(quint32(m_items.size()));
        addItem({a, b, radius, row});
    };
    for (const QPoint& p : pointsOf(area))
        add(p, p);
    if (area.kind == AreaGeometry::Kind::Circle) {
        add(area.centre, area.centre, area.radius);
    } else if (area.kind == AreaGeometry::Kind::Rect || area.kind == AreaGeometry::Kind::Poly) {
        const QVector<QPoint> corners = pointsOf(area);
        for (qsizetype i = 0; i < corners.size(); ++i)
            add(corners[i], corners[(i + 1) % corners.size()]);
    }
    if (m_dead >= kFewestToCompact && m_dead >= m_items.size() - m_dead)
        compact();
}

void SnapIndex::addItem(const Item& item)
{
    m_items.push_back(item);
    addToCells(quint32(m_items.size() - 1), item);
}

void SnapIndex::addToCells(quint32 id, const Item& item)
{
    if (item.radius > 0) {
        const QPoint r(item.radius, item.radius);
        const QPoint from = item.a - r, to = item.a + r;
        for (int line = lineOf(from.y()); line <= lineOf(to.y()); ++line)
            for (int column = columnOf(from.x()); column <= columnOf(to.x()); ++column)
                m_cells[size_t(cellOf(column, line))].push_back(id);
        return;
    }
    if (item.a == item.b) {
        m_cells[size_t(cellOf(columnOf(item.a.x()), lineOf(item.a.y())))].push_back(id);
        return;
    }
    addEdgeCells(id, item.a, item.b);
}

// Only the buckets the edge passes through: band by band of bucket lines,
// the stretch of columns the edge crosses within the band.
void SnapIndex::addEdgeCells(quint32 id, QPoint a, QPoint b)
{
    if (a.y() > b.y())
        std::swap(a, b);
    const int first = lineOf(a.y()), last = lineOf(b.y());
    const double dy = b.y() - a.y();
    for (int line = first; line <= last; ++line) {
        double x0 = a.x(), x1 = b.x();
        if (dy != 0) {
            const double top = line == first ? a.y() : double(line) * kCell;
            const double bottom = line == last ? b.y() : double(line + 1) * kCell;
            x0 = a.x() + (b.x() - a.x()) * (top - a.y()) / dy;
            x1 = a.x() + (b.x() - a.x()) * (bottom - a.y()) / dy;
        }
        if (x0 > x1)
            std::swap(x0, x1);
        for (int column = columnOf(x0); column <= columnOf(x1); ++column)
            m_cells[size_t(cellOf(column, line))].push_back(id);
    }
}

bool SnapIndex::nearestItem(QPointF point, double reach, const SnapSkip& skip, Nearest& best) const
{
    const double far = std::numeric_limits<double>::max();
    Nearest nearestPoint{far, {}, true}, nearestEdge{far, {}, false};
    const int left = columnOf(point.x() - reach), right = columnOf(point.x() + reach);
    const int top = lineOf(point.y() - reach), bottom = lineOf(point.y() + reach);
    for (int line = top; line <= bottom; ++line) {
        for (int column = left; column <= right; ++column) {
            for (quint32 id : m_cells[size_t(cellOf(column, line))]) {
                const Item& item = m_items[id];
                if (item.row < 0 || skip(item.row))
                    continue;
                const bool isPoint = item.a == item.b && item.radius == 0;
                const QPointF at = isPoint           ? QPointF(item.a)
                                   : item.radius > 0 ? nearestOnCircle(point, item.a, item.radius)
                                                     : nearestOnSegment(point, item.a, item.b);
                Nearest& slot = isPoint ? nearestPoint : nearestEdge;
                const double d = distance(point, at);
                if (d < slot.distance)
                    slot = {d, at, isPoint};
            }
        }
    }
    // A point within reach wins over a nearer edge: corners are what one aims at.
    if (nearestPoint.distance <= reach)
        best = nearestPoint;
    else if (nearestEdge.distance <= reach)
        best = nearestEdge;
    else
        return false;
    return true;
}

void SnapIndex::snapAxes(QPointF point, double reach, Snap& snap) const
{
    int x = 0, y = 0;
    SnapKind kindX = SnapKind::None, kindY = SnapKind::None;
    snap.x = catchAxis(point.x(), reach, m_picture.width(), m_grid, x, kindX);
    snap.y = catchAxis(point.y(), reach, m_picture.height(), m_grid, y, kindY);
    snap.to = QPoint(snap.x ? x : roundHalfEven(point.x()), snap.y ? y : roundHalfEven(point.y()));
    // The stronger catch of the two names it (a picture edge before the grid).
    if (snap.x && snap.y)
        snap.kind = std::min(kindX, kindY);
    else
        snap.kind = snap.x ? kindX : kindY;
}

Snap SnapIndex::snap(QPointF point, double reach, const SnapSkip& skip) const
{
    Snap result;
    Nearest best{};
    if (nearestItem(point, reach, skip, best)) {
        result.to = rounded(best.at);
        result.x = result.y = true;
        result.kind = best.point ? SnapKind::Point : SnapKind::Edge;
        return result;
    }
    snapAxes(point, reach, result);
    return result;
}

// A point or an edge of an area catches the whole point; otherwise the
// picture's edges and the grid catch each axis, each by its nearest point.
SnapShift SnapIndex::shift(const QVector<QPoint>& points, double reach, const SnapSkip& skip, QPoint direction) const
{
    if (!direction.isNull())
        return shiftAlong(points, reach, skip, direction);
    const double far = std::numeric_limits<double>::max();
    double bestWhole = far, bestX = far, bestY = far;
    SnapShift whole;
    std::optional<int> byX, byY, toX, toY;
    SnapKind kindX = SnapKind::None, kindY = SnapKind::None;
    for (const QPoint& p : points) {
        const Snap s = snap(p, reach, skip);
        if (s.kind == SnapKind::Point || s.kind == SnapKind::Edge) {
            const QPoint by = s.to - p;
            const double length = std::hypot(by.x(), by.y());
            if (length < bestWhole) {
                bestWhole = length;
                whole = {by, s.to, s.kind};
            }
            continue;
        }
        const auto keep = [&](int from, int size, double& best, std::optional<int>& by, std::optional<int>& at,
                              SnapKind& bestKind) {
            int to = 0;
            SnapKind kind = SnapKind::None;
            if (!catchAxis(from, reach, size, m_grid, to, kind) || std::abs(to - from) >= best)
                return;
            best = std::abs(to - from);
            by = to - from;
            at = to;
            bestKind = kind;
        };
        keep(p.x(), m_picture.width(), bestX, byX, toX, kindX);
        keep(p.y(), m_picture.height(), bestY, byY, toY, kindY);
    }
    if (bestWhole < far)
        return whole;
    if (!byX && !byY)
        return {};
    const QPoint by(byX.value_or(0), byY.value_or(0));
    const QPoint first = points.isEmpty() ? QPoint() : points.first() + by;
    return {by, QPoint(toX.value_or(first.x()), toY.value_or(first.y())), byX ? kindX : kindY};
}

// Along a key's direction only, and never back: the key does not get stuck
// on the target it leaves.
SnapShift SnapIndex::shiftAlong(const QVector<QPoint>& points, double reach, const SnapSkip& skip,
                                QPoint direction) const
{
    SnapShift best;
    int bestLength = std::numeric_limits<int>::max();
    const bool horizontal = direction.x() != 0;
    const int forward = horizontal ? direction.x() : direction.y();
    for (const QPoint& p : points) {
        const Snap s = snap(p, reach, skip);
        if (horizontal ? !s.x : !s.y)
            continue;
        const int along = horizontal ? s.to.x() - p.x() : s.to.y() - p.y();
        if ((along > 0 && forward < 0) || (along < 0 && forward > 0) || std::abs(along) >= bestLength)
            continue;
        bestLength = std::abs(along);
        const QPoint by = horizontal ? QPoint(along, 0) : QPoint(0, along);
        best = {by, p + by, s.kind};
    }
    return best;
}

QVector<QPoint> SnapIndex::pointsOf(const AreaGeometry& area)
{
    switch (area.kind) {
    case AreaGeometry::Kind::Rect: {
        const QPoint a = area.corner1, b = area.corner2;
        return {a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y())};
    }
    case AreaGeometry::Kind::Circle: {
        const QPoint c = area.centre;
        const int r = std::abs(area.radius);
        return {c, c + QPoint(r, 0), c + QPoint(0, r), c - QPoint(r, 0), c - QPoint(0, r)};
    }
    case AreaGeometry::Kind::Poly:
        return QVector<QPoint>(area.points.begin(), area.points.end());
    case AreaGeometry::Kind::None:
        break;
    }
    return {};
}

} // namespace korvane
