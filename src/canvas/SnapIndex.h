#pragma once

#include <QLine>
#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QVector>

#include <vector>

namespace korvane {

struct AreaGeometry;

// What a point was caught by, from the strongest catch to the weakest.
enum class SnapKind : quint8 { None, Point, Edge, PictureEdge, Grid };

// Where a snapped point goes. A point or an edge of an area catches both
// coordinates; the picture's edges and the grid catch each axis on its own.
struct Snap {
    QPoint to;                 // the caught point (an axis not caught keeps its rounded value)
    bool x = false, y = false; // which axes were caught
    SnapKind kind = SnapKind::None;
    bool caught() const { return x || y; }
};

// The areas whose points and edges catch nothing: the one being changed, or
// the selected ones moved together (a flag per row).
struct SnapSkip {
    int row = -1;
    const std::vector<bool>* rows = nullptr;
    SnapSkip(int skipRow = -1) : row(skipRow) {}
    explicit SnapSkip(const std::vector<bool>* skipRows) : rows(skipRows) {}
    bool operator()(int r) const { return r == row || (rows && size_t(r) < rows->size() && (*rows)[size_t(r)]); }
};

// The correction that puts one of a moving area's points on a target.
struct SnapShift {
    QPoint by;
    QPoint mark; // the target the moved point lies on now
    SnapKind kind = SnapKind::None;
};

// The targets a point can snap to: the points and edges of the areas, held
// in a uniform grid of buckets over the picture so that a search looks at
// the few buckets within reach instead of every area; the picture's edges;
// a grid of a given size. Positions are picture pixels.
class SnapIndex {
public:
    void setPictureSize(QSize size);
    QSize pictureSize() const { return m_picture; }
    // 0: no grid.
    void setGrid(int pixels) { m_grid = pixels; }
    int grid() const { return m_grid; }

    // Empties the index for `rows` areas.
    void reset(int rows);
    // Replaces the targets of one area.
    void setArea(int row, const AreaGeometry& area);
    int rows() const { return static_cast<int>(m_rowItems.size()); }

    // The target nearest to `point` within `reach`; the areas skipped (the
    // ones being moved) catch nothing.
    Snap snap(QPointF point, double reach, const SnapSkip& skip = {}) const;
    // The smallest correction that puts one of `points` on a target within
    // reach. A non-null `direction` (a key's move) allows only corrections
    // along it, forward, so a key never gets stuck on the target it left.
    SnapShift shift(const QVector<QPoint>& points, double reach, const SnapSkip& skip, QPoint direction = {}) const;

    // The points a moved area brings to its targets: corners, vertices, a
    // circle's centre and its four outermost points.
    static QVector<QPoint> pointsOf(const AreaGeometry& area);

private:
    struct Item {
        QPoint a, b;    // a point: a == b; an edge: its ends
        int radius = 0; // a circle's outline around a
        int row = -1;   // -1: replaced, waiting for the next compaction
    };
    struct Nearest {
        double distance;
        QPointF at;
        bool point = false;
    };
    int cellOf(int x, int y) const;
    int columnOf(double x) const;
    int lineOf(double y) const;
    void addItem(const Item& item);
    void addToCells(quint32 id, const Item& item);
    void addEdgeCells(quint32 id, QPoint a, QPoint b);
    void compact();
    bool nearestItem(QPointF point, double reach, const SnapSkip& skip, Nearest& best) const;
    void snapAxes(QPointF point, double reach, Snap& snap) const;
    SnapShift shiftAlong(const QVector<QPoint>& points, double reach, const SnapSkip& skip, QPoint direction) const;

    QSize m_picture{1, 1};
    int m_grid = 0;
    int m_columns = 1;
    int m_lines = 1;
    std::vector<Item> m_items;
    std::vector<std::vector<quint32>> m_cells;
    std::vector<std::vector<quint32>> m_rowItems;
    size_t m_dead = 0;
};

} // namespace korvane
