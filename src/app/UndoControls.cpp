#include "app/UndoControls.h"

#include "document/MapDocument.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QShortcut>

namespace korvane {

namespace {

// The keys Korvane always had (the first one shown in the menus), and the
// desktop's own for the step.
QList<QKeySequence> keysFor(QKeySequence::StandardKey standard, QList<QKeySequence> own)
{
    for (const QKeySequence& key : QKeySequence::keyBindings(standard)) {
        if (!own.contains(key))
            own << key;
    }
    return own;
}

QString entryText(const QString& verb, const QString& step)
{
    return step.isEmpty() ? verb : verb + QStringLiteral(": ") + step;
}

} // namespace

UndoControls::UndoControls(MapDocument& document, QWidget* window, std::function<bool()> busy)
    : QObject(window), m_document(document), m_window(window), m_busy(std::move(busy)), m_undo(new QAction(this)),
      m_redo(new QAction(this))
{
    // The menu entries show the keys; the keys themselves are the window's
    // (bound once: in the menu bar too the entries never claim them).
    m_undo->setObjectName(QStringLiteral("actRueckgaengig"));
    m_redo->setObjectName(QStringLiteral("actWiederherstellen"));
    const QList<QKeySequence> undoKeys = keysFor(QKeySequence::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    const QList<QKeySequence> redoKeys = keysFor(
        QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    m_undo->setShortcuts(undoKeys);
    m_redo->setShortcuts(redoKeys);
    for (QAction* entry : {m_undo, m_redo})
        entry->setShortcutContext(Qt::WidgetShortcut);
    connect(m_undo, &QAction::triggered, this, [this] { step(true); });
    connect(m_redo, &QAction::triggered, this, [this] { step(false); });
    for (const QKeySequence& key : undoKeys)
        connect(new QShortcut(key, window), &QShortcut::activated, this, [this] { keyPressed(true); });
    for (const QKeySequence& key : redoKeys)
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
    m_undo->setText(entryText(tr("Rückgängig"), history.undoText()));
    m_redo->setText(entryText(tr("Wiederherstellen"), history.redoText()));
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
