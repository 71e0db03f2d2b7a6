#pragma once

#include <QList>
#include <QObject>

#include <functional>

class QAction;
class QPoint;
class QWidget;

namespace korvane {

class MapDocument;

// Undo and redo in the main window: Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y, and the
// context menu entries named after the step they take back or repeat. While
// an editable text field has the focus the keys act on the field instead.
class UndoControls : public QObject {
    Q_OBJECT
public:
    // `busy`: a shape is being drawn or a handle is held; the history waits.
    UndoControls(MapDocument& document, QWidget* window, std::function<bool()> busy);

    // The context menu with both entries, at a screen position; `more`
    // follow them after a separator.
    void showMenu(const QPoint& globalPos, const QList<QAction*>& more = {});
    // The two entries, named after their steps, for the window's menu too.
    QAction* undoAction() const { return m_undo; }
    QAction* redoAction() const { return m_redo; }

private:
    void updateEntries();
    void keyPressed(bool undo);
    void step(bool undo);

    MapDocument& m_document;
    QWidget* m_window;
    std::function<bool()> m_busy;
    QAction* m_undo;
    QAction* m_redo;
};

} // namespace korvane
