#pragma once

#include <QPointF>

#include <functional>

namespace korvane {

class MapDocument;

// Taking points out of a polygon, one step each.
class PolygonPoints {
public:
    // `show`: the window shows the lines after a change and selects `row`.
    PolygonPoints(MapDocument& document, std::function<void(int row)> show)
        : m_document(document), m_show(std::move(show))
    {
    }

    // Whether vertex `vertex` (from 0) of line `row` may go: a polygon keeps three.
    bool canRemove(int row, int vertex) const;
    // "Punkt entfernen"; false when the point stays.
    bool remove(int row, int vertex);

private:
    MapDocument& m_document;
    std::function<void(int)> m_show;
};

} // namespace korvane
