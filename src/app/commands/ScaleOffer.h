#pragma once

#include <QSize>

class QWidget;

namespace korvane {

class MapDocument;

// A page may show its picture at another size than the picture's own, and
// browsers apply the coordinates to the size shown. This offers to scale the
// areas from `firstRow` on to the picture (one step of the history).
class ScaleOffer {
public:
    ScaleOffer(MapDocument& document, QWidget* parent) : m_document(document), m_parent(parent) {}
    // True when the user agreed and the areas were scaled.
    bool offer(int firstRow, QSize shown, QSize picture);

private:
    MapDocument& m_document;
    QWidget* m_parent;
};

} // namespace korvane
