#include "app/UndoControls.h"

#include "document/MapDocument.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QShortcut>

namespace korvane {

namespace {

const QKeySequence kUndoKey(Qt::CTRL | Qt::Key_Z);
const QList<QKeySequence> kRedoKeys{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)};

QString entryText(const QString& verb, const QString& step)
{
    return step.isEmpty() ? verb : verb + QStringLiteral(": ") + step;
}

} // namespace

UndoControls::UndoControls(MapDocument& document, QWidget* window, std::function<bool()> busy)
    : QObject(window), m_document(document), m_window(window), m_busy(std::move(busy)), m_undo(new QAction(this)),
      m_redo(new QAction(this))
{
    // The menu entries show the keys; the keys themselves are the window's.
    m_undo->setShortcut(kUndoKey);
    m_redo->setShortcuts(kRedoKeys);
    connect(m_undo, &QAction::triggered, this, [this] { step(true); });
    connect(m_redo, &QAction::triggered, this, [this] { step(false); });
    connect(new QShortcut(kUndoKey, window), &QShortcut::activated, this, [this] { keyPressed(true); });
    for (const QKeySequence& key : kRedoKeys)
        connect(new QShortcut(key, window), &QShortcut::activated, this, [this] { keyPressed(false); });
    const QUndoStack* history = &document.history();
    connect(history, &QUndoStack::indexChanged, this, &UndoControls::updateEntries);
    connect(history, &QUndoStack::undoTextChanged, this, &UndoControls::updateEntries);
    connect(history, &QUndoStack::redoTextChanged, this, &UndoControls::updateEntries);
    updateEntries();
}

void UndoControls::updateEntries()
{
    const QUndoStack& history = m_document.history();
    m_undo->setText(entryText(QStringLiteral("Rückgängig"), history.undoText()));
    m_redo->setText(entryText(QStringLiteral("Wiederherstellen"), history.redoText()));
    m_undo->setEnabled(history.canUndo());
    m_redo->setEnabled(history.canRedo());
}

// A text field with the focus claims its own undo keys before they get here;
// a key it does not claim (Ctrl+Y, say) is passed on to it all the same.
void UndoControls::keyPressed(bool undo)
{
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus->testAttribute(Qt::WA_InputMethodEnabled)) {
        QMetaObject::invokeMethod(focus, undo ? "undo" : "redo");
        return;
    }
    step(undo);
}

void UndoControls::step(bool undo)
{
    if (m_busy && m_busy())
        return;
    undo ? m_document.undo() : m_document.redo();
}

void UndoControls::showMenu(const QPoint& globalPos, const QList<QAction*>& more)
{
    QMenu menu(m_window);
    menu.setObjectName(QStringLiteral("undoMenu"));
    menu.addAction(m_undo);
    menu.addAction(m_redo);
    if (!more.isEmpty()) {
        menu.addSeparator();
        menu.addActions(more);
    }
    menu.exec(globalPos);
}

} // namespace korvane
