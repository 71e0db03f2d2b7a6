#pragma once

#include "tools/StackingOrder.h"

#include <QObject>

class QAction;

namespace korvane {

// The entries of the stacking order in the context menus of the canvas and
// the list: "Nach vorne", "Nach hinten", "Ganz nach vorne", "Ganz nach
// hinten", showing their keys.
class StackingMenu : public QObject {
    Q_OBJECT
public:
    StackingMenu(MapDocument& document, ToolContext& context, QObject* parent = nullptr);

    StackingOrder& order() { return m_order; }
    // Each enabled when it would move the selected area.
    QList<QAction*> actions();

private:
    StackingOrder m_order;
    QList<QAction*> m_actions; // in the order of StackingOrder::kMoves
};

} // namespace korvane
