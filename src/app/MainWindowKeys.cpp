// Every control of the main window within reach of the keyboard: one Tab
// order through the tool bar, the canvas, the side panel and the code box,
// the code box left by Tab, and the line widths chosen by Space.
#include "app/MainWindow.h"
#include "canvas/Canvas.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace korvane {

void MainWindow::setUpKeyboard()
{
    // Tab leaves the code box like any other control; Ctrl+Tab types a tab.
    ui.txtMap->setTabChangesFocus(true);
    ui.txtMap->installEventFilter(this);
    ui.Picture1->setFocusPolicy(Qt::StrongFocus); // the arrow keys move areas after Tab, too
    for (QScrollBar* bar : {ui.VScroll1, ui.HScroll1})
        bar->setFocusPolicy(Qt::StrongFocus); // in the order only while there is something to scroll
    for (QLabel* width : ui.Image1)
        width->setFocusPolicy(Qt::StrongFocus);
    QList<QWidget*> order{ui.Command1, ui.Command7, ui.Command8, ui.Command11, ui.Command12, ui.cmdClipboard,
                          ui.Command4};
    order << ui.Option1[0] << ui.Option1[1] << ui.Option1[2] << ui.Option1[3] << ui.txtHelp << ui.Command6
          << ui.Command13 << ui.Picture1 << ui.VScroll1 << ui.HScroll1 << ui.List1 << ui.Command10 << ui.Command3
          << ui.Command9 << ui.Option2[0] << ui.Option2[1] << ui.Option2[2] << ui.picColor << ui.Image1[0]
          << ui.Image1[1] << ui.Image1[2] << ui.chkGefuellt << ui.txtMap;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// Handled: Ctrl+Tab in the code box, Space or Enter on a line width; a line
// width with the focus is framed.
bool MainWindow::keyboardUse(QObject* watched, QEvent* event)
{
    const auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    if (watched == ui.txtMap) {
        if (!key || key->key() != Qt::Key_Tab || key->modifiers() != Qt::ControlModifier)
            return false;
        ui.txtMap->insertPlainText(QStringLiteral("\t"));
        return true;
    }
    for (int i = 0; i < 3; ++i) {
        if (watched != ui.Image1[i])
            continue;
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            ui.Image1[i]->setFrameShape(event->type() == QEvent::FocusIn ? QFrame::Box : QFrame::NoFrame);
        const bool pressed = key && (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return ||
                                     key->key() == Qt::Key_Enter);
        if (!pressed)
            return false;
        setLineWidth(i + 1);
        refresh();
        return true;
    }
    return false;
}

} // namespace korvane
