#pragma once

#include <QObject>

#include <optional>

class QAction;

namespace korvane {

class MapDocument;
class ToolContext;

// Which area lies on top where areas overlap: a browser follows the first
// in the list, so "forward" is towards the start of the list. Moves the
// selected area one place or to either end, one step each.
class StackingOrder : public QObject {
    Q_OBJECT
public:
    enum class Move { Forward, Backward, ToFront, ToBack };

    // `context` shows the lines after a move, `row` selected.
    StackingOrder(MapDocument& document, ToolContext& context, QObject* parent = nullptr);

    // "Nach vorne", "Nach hinten", "Ganz nach vorne", "Ganz nach hinten",
    // each enabled when it would move the selected area.
    QList<QAction*> actions();
    // False when the area is already there (or none is selected).
    bool run(Move move);
    // The key that does the move on the canvas: Page Up and Down, Home, End.
    static std::optional<Move> forKey(int key);

private:
    int targetRow(Move move) const;

    MapDocument& m_document;
    ToolContext& m_context;
    QList<QAction*> m_actions;
};

} // namespace korvane
