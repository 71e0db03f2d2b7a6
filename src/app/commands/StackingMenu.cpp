#include "app/commands/StackingMenu.h"

#include <QAction>
#include <QCoreApplication>

namespace korvane {

namespace {

// In the order of StackingOrder::kMoves.
const char* const kTexts[] = {
    QT_TRANSLATE_NOOP("korvane::StackingOrder", "Nach vorne"),
    QT_TRANSLATE_NOOP("korvane::StackingOrder", "Nach hinten"),
    QT_TRANSLATE_NOOP("korvane::StackingOrder", "Ganz nach vorne"),
    QT_TRANSLATE_NOOP("korvane::StackingOrder", "Ganz nach hinten"),
};

} // namespace

StackingMenu::StackingMenu(MapDocument& document, ToolContext& context, QObject* parent)
    : QObject(parent), m_order(document, context)
{
    for (int i = 0; i < 4; ++i) {
        const StackingOrder::Move move = StackingOrder::kMoves[i];
        auto* action = new QAction(QCoreApplication::translate("korvane::StackingOrder", kTexts[i]), this);
        // Shown in the menu; the canvas handles the key itself.
        action->setShortcut(QKeySequence(StackingOrder::keyOf(move)));
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, [this, move] { m_order.run(move); });
        m_actions << action;
    }
}

QList<QAction*> StackingMenu::actions()
{
    for (qsizetype i = 0; i < m_actions.size(); ++i)
        m_actions[i]->setEnabled(m_order.canRun(StackingOrder::kMoves[i]));
    return m_actions;
}

} // namespace korvane
