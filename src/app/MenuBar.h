#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>

#include <array>
#include <functional>

class QAbstractButton;
class QAction;
class QDialog;
class QMainWindow;
class QMenu;
class QRadioButton;

namespace korvane {

class RecentFiles;
class ZoomControls;

// The Bearbeiten menu's entries that act on the areas; on the canvas and in
// the list their keys do the same.
enum class AreaEdit { Cut, Copy, Paste, Delete, SelectAll };

// The menu bar, a second way to every command of the window: Datei,
// Bearbeiten, Ansicht, Werkzeuge, Map and Hilfe. An entry for a button
// presses it and is enabled exactly while the button is; an entry that
// exists elsewhere (a context menu, a key of the window) is that very action,
// so it is enabled, checked and named as there. Each key is bound once: keys
// the window had stay where they were (the entries only show them), the
// new keys of the desktop (open, save, quit, help) belong to their entries.
class MenuBar : public QObject {
    Q_OBJECT
public:
    // The specified buttons the entries press.
    struct Buttons {
        QAbstractButton* open = nullptr;
        QAbstractButton* mapImport = nullptr;
        QAbstractButton* htmlImport = nullptr;
        QAbstractButton* save = nullptr;
        QAbstractButton* exportPage = nullptr;
        QAbstractButton* copyCode = nullptr;
        QAbstractButton* magnifier = nullptr;
        QAbstractButton* refresh = nullptr;
        QAbstractButton* help = nullptr;
        QAbstractButton* duplicate = nullptr;
        QAbstractButton* clearAll = nullptr;
        QAbstractButton* attributes = nullptr;
        std::array<QRadioButton*, 4> tools{}; // polygon, rectangle, circle, edit mode
    };
    // The actions that exist elsewhere, and how to bring their states up to
    // date before a menu shows them (the same calls their own menus make).
    struct Entries {
        QAction* undo = nullptr;
        QAction* trace = nullptr; // "Umriss", a tool without an option of its own
        QAction* redo = nullptr;
        QAction* areaTable = nullptr;
        QAction* mapCheck = nullptr;
        QAction* copyResponsive = nullptr;
        QAction* saveResponsive = nullptr;
        QAction* responsiveFit = nullptr; // a submenu's action
        QAction* relativePath = nullptr;
        // The map's other forms: MediaWiki copied, JSON saved, the highlight's submenu.
        QList<QAction*> forms;
        QList<QAction*> snapping; // "Einrasten", "Rastergröße..."
        QList<QAction*> stacking; // "Nach vorne" ... "Ganz nach hinten"
        QMenu* align = nullptr;
        std::function<void()> showSnapping;
        std::function<void()> showCodeChoices;
        // True when the order and alignment apply now (edit mode, nothing held);
        // brings their states up to date.
        std::function<bool()> showAreaEntries;
        // The area entries of Bearbeiten: whether one acts now, and acting.
        std::function<bool(AreaEdit)> canEdit;
        std::function<void(AreaEdit)> edit;
    };

    MenuBar(QMainWindow& window, const Buttons& buttons, const Entries& entries, ZoomControls& zoom,
            RecentFiles& recent);

    // Every entry of the bar with a key, in menu order, for the key overview.
    QList<QAction*> entriesWithKeys() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenu* addMenu(const char* name, const QString& title);
    QAction* addEntry(QMenu* menu, const char* name, const QString& text, const char* icon = nullptr);
    QAction* addButtonEntry(QMenu* menu, QAbstractButton* button, const char* name, const QString& text,
                            const char* icon = nullptr);
    void addExisting(QMenu* menu, QAction* action, const char* icon = nullptr);
    void createFileMenu();
    void createEditMenu();
    void createViewMenu();
    void createToolsMenu();
    void createMapMenu();
    void createHelpMenu();
    void showEditStates();
    void nameKeysInToolTips(const QList<QAction*>& entries);
    void runEdit(AreaEdit edit);
    void showIcons(QMenu* menu);
    void showKeys();
    void showAbout();

    QMainWindow& m_window;
    Buttons m_buttons;
    Entries m_entries;
    ZoomControls& m_zoom;
    RecentFiles& m_recent;
    QHash<QObject*, QAction*> m_buttonEntries;
    QList<QMenu*> m_menus;
    QMenu* m_edit = nullptr;
    QMenu* m_order = nullptr;
    QList<std::pair<AreaEdit, QAction*>> m_editEntries;
    QList<QAction*> m_zoomEntries;
    QList<QAction*> m_toolEntries;
    QPointer<QDialog> m_keysShown;
};

} // namespace korvane
