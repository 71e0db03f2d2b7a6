#pragma once

#include <QTableView>
#include <QWidget>

#include <functional>
#include <memory>

class QAbstractItemView;
class QAction;
class QLineEdit;

namespace korvane {

class AreaTableModel;
class AreaTableProxy;
class MapDocument;

// The table's view: tells the user's own moves of the current row (mouse,
// keys) from those the rows' changes bring about, and asks for the attribute
// editor on a double click or Enter.
class AreaTableView : public QTableView {
    Q_OBJECT
public:
    explicit AreaTableView(QWidget* parent = nullptr);
    bool userMoving() const { return m_userMoving; }

signals:
    void openRequested(const QModelIndex& index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_userMoving = false;
};

// "Arealtabelle": the areas of the open map as a table beside the editor.
// It shows the document's lines in list order, shares the document's
// selection with the list and the canvas, filters and sorts without changing
// the map. While hidden it holds no copy of the areas and follows nothing.
class AreaTableWindow : public QWidget {
    Q_OBJECT
public:
    // `openEditor`: the attribute editor for a line, as the "edit" command opens it.
    AreaTableWindow(MapDocument& document, std::function<void(int)> openEditor, QWidget* owner);
    ~AreaTableWindow() override;

    AreaTableView* view() const { return m_view; }
    QLineEdit* filterField() const { return m_filter; }
    // The size kept in the settings file; the current one while shown.
    void saveSize() const;

    static constexpr int kDefaultWidth = 640;
    static constexpr int kDefaultHeight = 360;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void attach();
    void detach();
    void showDocumentSelection();
    void rowChosen(const QModelIndex& current);
    void openChosen(const QModelIndex& index);
    int listRow(const QModelIndex& index) const;

    MapDocument& m_document;
    std::function<void(int)> m_openEditor;
    QLineEdit* m_filter = nullptr;
    AreaTableView* m_view = nullptr;
    std::unique_ptr<AreaTableModel> m_model;
    std::unique_ptr<AreaTableProxy> m_proxy;
    bool m_showingSelection = false;
};

// The command that opens the table: an entry of the area list's context menu
// and a shortcut of the main window. The window is made on first use, at the
// size it had last.
class AreaTableCommand : public QObject {
    Q_OBJECT
public:
    AreaTableCommand(MapDocument& document, std::function<void(int)> openEditor, QWidget* owner);
    QAction* action() const { return m_action; }
    void open();
    AreaTableWindow* window() const { return m_window; }
    // While the table is open, a click on a line of `list` makes the table the
    // active window, so the next key (Down, Delete, Ctrl+Z) goes to the table
    // that now shows the line; other clicks leave the keyboard where it is.
    void followClicksOn(QAbstractItemView& list);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MapDocument& m_document;
    std::function<void(int)> m_openEditor;
    QWidget* m_owner;
    QAction* m_action;
    AreaTableWindow* m_window = nullptr;
    QAbstractItemView* m_list = nullptr;
    // The list's viewport, compared with as it is: the list may be half torn
    // down (the window closing) when its viewport's last events come.
    const QObject* m_listViewport = nullptr;
};

} // namespace korvane
