#pragma once

#include <QPointF>


namespace korvane {

class MapDocument;
class ToolContext;

// Taking points out of a polygon, one step each.
class PolygonPoints {
public:
    // `context` shows the lines after a change, `row` selected.
    PolygonPoints(MapDocument& document, ToolContext& context) : m_document(document), m_context(context) {}

    // Whether vertex `vertex` (from 0) of line `row` may go: a polygon keeps three.
    bool canRemove(int row, int vertex) const;
    // "Punkt entfernen"; false when the point stays.
    bool remove(int row, int vertex);

private:
    MapDocument& m_document;
    ToolContext& m_context;
};

} // namespace korvane
