#pragma once

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>

namespace korvane::test {

// The entries of the context menu that `open` shows, "(aus)" marking a
// disabled one; empty when no menu opened. `choose` picks an entry by index.
inline QStringList menuShownBy(const std::function<void()>& open, int choose = -1)
{
    QStringList entries;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* a : menu->actions())
            entries << a->text() + (a->isEnabled() ? "" : " (aus)");
        if (choose >= 0) {
            menu->setActiveAction(menu->actions().at(choose));
            QTest::keyClick(menu, Qt::Key_Return);
        }
        menu->close();
    });
    poll.start(10);
    open();
    return entries;
}

} // namespace korvane::test
