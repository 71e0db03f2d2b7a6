#pragma once

#include <optional>

namespace korvane {

class MapDocument;
class ToolContext;

// Which area lies on top where areas overlap: a browser follows the first
// in the list, so "forward" is towards the start of the list. Moves the
// selected area one place or to either end, one step each.
class StackingOrder {
public:
    enum class Move { Forward, Backward, ToFront, ToBack };
    static constexpr Move kMoves[] = {Move::Forward, Move::Backward, Move::ToFront, Move::ToBack};

    // `context` shows the lines after a move, the area moved selected.
    StackingOrder(MapDocument& document, ToolContext& context) : m_document(document), m_context(context) {}

    // Whether `move` would move the selected area.
    bool canRun(Move move) const;
    // False when the area is already there (or none is selected).
    bool run(Move move);
    // The key that does the move on the canvas: Page Up and Down, Home, End.
    static std::optional<Move> forKey(int key);
    static int keyOf(Move move);

private:
    int targetRow(Move move) const;

    MapDocument& m_document;
    ToolContext& m_context;
};

} // namespace korvane
