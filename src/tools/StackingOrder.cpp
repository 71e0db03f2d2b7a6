#include "app/commands/StackingOrder.h"

#include "document/MapDocument.h"
#include "tools/ToolContext.h"

#include <QCoreApplication>
#include <QAction>

#include <algorithm>

namespace korvane {

namespace {

struct Entry {
    StackingOrder::Move move;
    const char* text;
    Qt::Key key;
};

const Entry kEntries[] = {
    {StackingOrder::Move::Forward, QT_TRANSLATE_NOOP("korvane::StackingOrder", "Nach vorne"), Qt::Key_PageUp},
    {StackingOrder::Move::Backward, QT_TRANSLATE_NOOP("korvane::StackingOrder", "Nach hinten"), Qt::Key_PageDown},
    {StackingOrder::Move::ToFront, QT_TRANSLATE_NOOP("korvane::StackingOrder", "Ganz nach vorne"), Qt::Key_Home},
    {StackingOrder::Move::ToBack, QT_TRANSLATE_NOOP("korvane::StackingOrder", "Ganz nach hinten"), Qt::Key_End},
};

} // namespace

StackingOrder::StackingOrder(MapDocument& document, ToolContext& context, QObject* parent)
    : QObject(parent), m_document(document), m_context(context)
{
    for (const Entry& entry : kEntries) {
        auto* action = new QAction(QCoreApplication::translate("korvane::StackingOrder", entry.text), this);
        // Shown in the menu; the canvas handles the key itself.
        action->setShortcut(QKeySequence(entry.key));
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, [this, move = entry.move] { run(move); });
        m_actions << action;
    }
}

QList<QAction*> StackingOrder::actions()
{
    const int row = m_document.selectedRow();
    for (qsizetype i = 0; i < m_actions.size(); ++i)
        m_actions[i]->setEnabled(row >= 0 && targetRow(kEntries[i].move) != row);
    return m_actions;
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

std::optional<StackingOrder::Move> StackingOrder::forKey(int key)
{
    for (const Entry& entry : kEntries) {
        if (entry.key == key)
            return entry.move;
    }
    return std::nullopt;
}

} // namespace korvane
