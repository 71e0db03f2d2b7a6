#include "tools/StackingOrder.h"

#include "document/MapDocument.h"
#include "model/AreaList.h"
#include "tools/ToolContext.h"

#include <Qt>

#include <algorithm>

namespace korvane {

bool StackingOrder::canRun(Move move) const
{
    const int row = m_document.selectedRow();
    return row >= 0 && targetRow(move) != row;
}

int StackingOrder::targetRow(Move move) const
{
    const int row = m_document.selectedRow();
    const int last = m_document.areas().count() - 1;
    switch (move) {
    case Move::Forward:
        return std::max(row - 1, 0);
    case Move::Backward:
        return std::min(row + 1, last);
    case Move::ToFront:
        return 0;
    case Move::ToBack:
        return last;
    }
    return row;
}

bool StackingOrder::run(Move move)
{
    const int row = m_document.selectedRow();
    const int target = targetRow(move);
    if (row < 0 || target == row)
        return false;
    m_document.moveInOrder(row, target);
    m_context.showChanged(target);
    return true;
}

int StackingOrder::keyOf(Move move)
{
    switch (move) {
    case Move::Forward:
        return Qt::Key_PageUp;
    case Move::Backward:
        return Qt::Key_PageDown;
    case Move::ToFront:
        return Qt::Key_Home;
    case Move::ToBack:
        return Qt::Key_End;
    }
    return 0;
}

std::optional<StackingOrder::Move> StackingOrder::forKey(int key)
{
    for (Move move : kMoves) {
        if (keyOf(move) == key)
            return move;
    }
    return std::nullopt;
}

} // namespace korvane
