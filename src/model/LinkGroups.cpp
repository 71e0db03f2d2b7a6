#include "model/LinkGroups.h"

#include <QHash>
#include <QString>
#include <QRect>

#include <algorithm>
#include <cmath>

namespace korvane::groups {

namespace {

// Closed boxes: areas that only touch still share the points of the edge.
bool meet(const QRectF& a, const QRectF& b)
{
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() && b.top() <= a.bottom();
}

// The areas of the pointer's layer by the cells of a grid their boxes touch,
// each cell's in list order; a box over many cells is kept apart, so that it
// costs no more room than a small one.
class Grid {
public:
    Grid(const std::vector<QRectF>& boxes, const std::vector<bool>& drawn) : m_boxes(boxes)
    {
        QRectF over;
        qsizetype count = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (drawn[i]) {
                over = count++ == 0 ? boxes[i] : over.united(boxes[i]);
            }
        }
        m_side = int(std::clamp(std::sqrt(double(count)), 1.0, 512.0));
        m_origin = over.topLeft();
        m_cell = QSizeF(std::max(over.width() / m_side, 1e-9), std::max(over.height() / m_side, 1e-9));
        m_cells.resize(std::size_t(m_side) * std::size_t(m_side));
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (!drawn[i])
                continue;
            const QRect cells = cellsOf(boxes[i]);
            if (qint64(cells.width()) * cells.height() > kSpread) {
                m_spread.push_back(int(i));
                continue;
            }
            for (int y = cells.top(); y <= cells.bottom(); ++y) {
                for (int x = cells.left(); x <= cells.right(); ++x)
                    m_cells[std::size_t(y) * std::size_t(m_side) + std::size_t(x)].push_back(int(i));
            }
        }
    }

    // Whether an area after `from` and before `area` that `stranger` accepts meets its box.
    template <typename Stranger> bool anyBetween(int from, int area, Stranger stranger) const
    {
        const QRectF& box = m_boxes[std::size_t(area)];
        const auto hits = [&](const std::vector<int>& list) {
            for (auto it = std::upper_bound(list.begin(), list.end(), from); it != list.end() && *it < area; ++it) {
                if (stranger(*it) && meet(box, m_boxes[std::size_t(*it)]))
                    return true;
            }
            return false;
        };
        if (hits(m_spread))
            return true;
        const QRect cells = cellsOf(box);
        for (int y = cells.top(); y <= cells.bottom(); ++y) {
            for (int x = cells.left(); x <= cells.right(); ++x) {
                if (hits(m_cells[std::size_t(y) * std::size_t(m_side) + std::size_t(x)]))
                    return true;
            }
        }
        return false;
    }

private:
    static constexpr qint64 kSpread = 64;

    QRect cellsOf(const QRectF& box) const
    {
        const auto index = [this](double v, double origin, double cell) {
            const double i = std::floor((v - origin) / cell);
            return int(std::clamp(std::isnan(i) ? 0.0 : i, 0.0, double(m_side - 1)));
        };
        return QRect(QPoint(index(box.left(), m_origin.x(), m_cell.width()), index(box.top(), m_origin.y(), m_cell.height())),
                     QPoint(index(box.right(), m_origin.x(), m_cell.width()),
                            index(box.bottom(), m_origin.y(), m_cell.height())));
    }

    const std::vector<QRectF>& m_boxes;
    int m_side = 1;
    QPointF m_origin;
    QSizeF m_cell;
    std::vector<std::vector<int>> m_cells;
    std::vector<int> m_spread;
};

// groupKey() of a line kept either way (see AreaLines::withLine()).
template <typename View> View keyOf(View line)
{
    const qsizetype first = line.indexOf(QLatin1Char('|'));
    const qsizetype second = first < 0 ? -1 : line.indexOf(QLatin1Char('|'), first + 1);
    return second < 0 ? View() : line.sliced(second);
}

// The same for the same characters, whichever way the line is kept.
template <typename View> std::size_t keyHash(View key)
{
    std::size_t hash = 1469598103934665603ULL;
    for (qsizetype i = 0; i < key.size(); ++i)
        hash = (hash ^ key[i].unicode()) * 1099511628211ULL;
    return hash;
}

} // namespace

QStringView groupKey(QStringView line)
{
    return keyOf(line);
}

LinkGroups linkGroups(const AreaLines& lines, const std::vector<QRectF>& boxes, const std::vector<bool>& drawn,
                      const std::vector<bool>& joins)
{
    const int n = int(lines.size());
    LinkGroups out;
    out.leader.resize(std::size_t(n));
    out.place.resize(std::size_t(n));
    // The areas that may join, by the hash of what they share: those of one
    // hash are compared by their text, so that no key is held as a string.
    // The lines are read in place (a link may be hundreds of MB long).
    std::vector<std::pair<std::size_t, int>> byKey;
    QString room;
    for (int i = 0; i < n; ++i) {
        out.leader[std::size_t(i)] = out.place[std::size_t(i)] = i;
        if (joins[std::size_t(i)])
            byKey.emplace_back(lines.withLine(i, room, [](auto line) { return keyHash(keyOf(line)); }), i);
    }
    std::sort(byKey.begin(), byKey.end());
    bool grouped = false;
    QString otherRoom;
    for (std::size_t k = 0; k < byKey.size(); ++k) {
        const int i = byKey[k].second;
        if (out.leader[std::size_t(i)] != i)
            continue; // joined an earlier one already
        lines.withLine(i, room, [&](auto line) {
            for (std::size_t m = k + 1; m < byKey.size() && byKey[m].first == byKey[k].first; ++m) {
                const int j = byKey[m].second;
                if (out.leader[std::size_t(j)] != j)
                    continue;
                if (lines.withLine(j, otherRoom, [&](auto other) { return keyOf(other) == keyOf(line); })) {
                    out.leader[std::size_t(j)] = i; // the pairs are sorted: i comes first in the list
                    grouped = true;
                }
            }
        });
    }
    if (!grouped)
        return out;

    const Grid grid(boxes, drawn);
    std::vector<int> openPlace(static_cast<std::size_t>(n)); // per leader: the part whose link the next part may join
    for (int i = 0; i < n; ++i) {
        const int leader = out.leader[std::size_t(i)];
        if (leader == i) {
            openPlace[std::size_t(i)] = i;
            continue;
        }
        int& place = openPlace[std::size_t(leader)];
        const auto stranger = [&](int q) { return out.leader[std::size_t(q)] != leader; };
        if (grid.anyBetween(place, i, stranger)) {
            place = i;
            if (out.split.isEmpty() || out.split.back() != leader)
                out.split.append(leader);
        }
        out.place[std::size_t(i)] = place;
    }
    std::sort(out.split.begin(), out.split.end());
    out.split.erase(std::unique(out.split.begin(), out.split.end()), out.split.end());
    return out;
}

} // namespace korvane::groups
