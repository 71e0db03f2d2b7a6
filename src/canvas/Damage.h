#pragma once

#include <QBitArray>
#include <QRect>
#include <QRegion>
#include <QVector>

namespace korvane {

// The places of the canvas buffer that changed. Uniting rectangles into a
// QRegion one by one takes time that grows with the square of their number
// (thousands of areas moved or highlighted at once), so they are gathered
// here and united once, when asked for. Past a few dozen they are united on
// a grid of tiles: the region then covers a little more than they do, never
// less, and stays small however many there are.
class Damage {
public:
    void add(const QRect& rect);
    void add(const Damage& other);
    void clear();
    bool isEmpty() const { return m_rects.isEmpty(); }
    const QRegion& region() const;
    QRect boundingRect() const { return m_bounds; }
    // Whether `rect` reaches into region(); quick also when that is made of many tiles.
    bool intersects(const QRect& rect) const;
    // The pixels region() covers.
    qint64 area() const;
    // Made of many rectangles (united on tiles).
    bool tiled() const;
    // The rectangles of region() that `rect` reaches into.
    QVector<QRect> partsMeeting(const QRect& rect) const;

private:
    void unite() const;
    void markTiles() const;
    void compact();

    QVector<QRect> m_rects;
    QRect m_bounds;
    mutable bool m_united = true;
    mutable QRegion m_region;
    // With many rectangles: which tiles of m_tileArea (in tiles) they touch.
    mutable QRect m_tileArea;
    mutable QBitArray m_tiles;
};

} // namespace korvane
