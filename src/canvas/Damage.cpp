#include "canvas/Damage.h"

#include <algorithm>

namespace korvane {

namespace {

// Up to this many rectangles are united exactly.
constexpr qsizetype kExactLimit = 64;
// Past this many the list is folded into its tiles, so that it stays short.
constexpr qsizetype kCompactFrom = 1 << 16;
constexpr int kTile = 32;

int tileOf(int pixel)
{
    return pixel >= 0 ? pixel / kTile : -((kTile - 1 - pixel) / kTile);
}

} // namespace

void Damage::add(const QRect& rect)
{
    if (rect.isEmpty())
        return;
    m_rects.append(rect);
    m_bounds |= rect;
    m_united = false;
    if (m_rects.size() >= kCompactFrom)
        compact();
}

void Damage::add(const Damage& other)
{
    if (other.isEmpty())
        return;
    m_rects += other.m_rects;
    m_bounds |= other.m_bounds;
    m_united = false;
    if (m_rects.size() >= kCompactFrom)
        compact();
}

void Damage::clear()
{
    m_rects.clear();
    m_bounds = QRect();
    m_region = QRegion();
    m_tiles.clear();
    m_united = true;
}

const QRegion& Damage::region() const
{
    if (!m_united)
        unite();
    return m_region;
}

bool Damage::intersects(const QRect& rect) const
{
    if (!m_bounds.intersects(rect))
        return false;
    if (!m_united)
        unite();
    if (m_tiles.isEmpty())
        return m_region.intersects(rect);
    const QRect within = rect & m_bounds;
    const QRect tiles = QRect(QPoint(tileOf(within.left()), tileOf(within.top())),
                              QPoint(tileOf(within.right()), tileOf(within.bottom()))) &
                        m_tileArea;
    for (int y = tiles.top(); y <= tiles.bottom(); ++y) {
        const qsizetype row = qsizetype(y - m_tileArea.top()) * m_tileArea.width() - m_tileArea.left();
        for (int x = tiles.left(); x <= tiles.right(); ++x) {
            if (m_tiles.testBit(row + x))
                return true;
        }
    }
    return false;
}

bool Damage::tiled() const
{
    if (!m_united)
        unite();
    return !m_tiles.isEmpty();
}

// The region's rectangles lie in bands from top to bottom.
QVector<QRect> Damage::partsMeeting(const QRect& rect) const
{
    const QRegion& all = region();
    auto part = std::partition_point(all.begin(), all.end(), [&](const QRect& r) { return r.bottom() < rect.top(); });
    QVector<QRect> parts;
    for (; part != all.end() && part->top() <= rect.bottom(); ++part) {
        if (part->intersects(rect))
            parts << *part;
    }
    return parts;
}

qint64 Damage::area() const
{
    qint64 pixels = 0;
    for (const QRect& r : region())
        pixels += qint64(r.width()) * r.height();
    return pixels;
}

void Damage::markTiles() const
{
    m_tileArea = QRect(QPoint(tileOf(m_bounds.left()), tileOf(m_bounds.top())),
                       QPoint(tileOf(m_bounds.right()), tileOf(m_bounds.bottom())));
    m_tiles = QBitArray(qsizetype(m_tileArea.width()) * m_tileArea.height());
    for (const QRect& r : m_rects) {
        for (int y = tileOf(r.top()); y <= tileOf(r.bottom()); ++y) {
            const qsizetype row = qsizetype(y - m_tileArea.top()) * m_tileArea.width() - m_tileArea.left();
            for (int x = tileOf(r.left()); x <= tileOf(r.right()); ++x)
                m_tiles.setBit(row + x);
        }
    }
}

// Row by row, each run of touched tiles is one rectangle; added in this
// order the region only appends and never has to merge.
void Damage::unite() const
{
    m_united = true;
    m_region = QRegion();
    m_tiles.clear();
    if (m_rects.size() <= kExactLimit) {
        for (const QRect& r : m_rects)
            m_region += r;
        return;
    }
    markTiles();
    for (int y = m_tileArea.top(); y <= m_tileArea.bottom(); ++y) {
        const qsizetype row = qsizetype(y - m_tileArea.top()) * m_tileArea.width() - m_tileArea.left();
        for (int x = m_tileArea.left(); x <= m_tileArea.right();) {
            if (!m_tiles.testBit(row + x)) {
                ++x;
                continue;
            }
            const int first = x;
            while (x <= m_tileArea.right() && m_tiles.testBit(row + x))
                ++x;
            m_region += QRect(first * kTile, y * kTile, (x - first) * kTile, kTile) & m_bounds;
        }
    }
}

// The runs of tiles stand for all the rectangles: far fewer, same region.
void Damage::compact()
{
    unite();
    m_rects = QVector<QRect>(m_region.begin(), m_region.end());
    if (m_rects.size() >= kCompactFrom / 2) { // tiles too many to fold further: one rectangle
        m_rects = {m_bounds};
        m_region = QRegion(m_bounds);
        m_tiles.clear();
    }
}

} // namespace korvane
