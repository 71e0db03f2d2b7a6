#pragma once

#include "model/MapCheck.h"

#include <QWidget>

#include <functional>

class QLabel;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvane {

class MapDocument;

// "Map prüfen": the findings of the open map in a small window beside the
// editor. It checks again whenever the areas change; a double click on a
// finding selects its area.
class MapCheckWindow : public QWidget {
    Q_OBJECT
public:
    MapCheckWindow(MapDocument& document, std::function<QSize()> pictureSize, QWidget* parent);
    // Checks the areas as they are now.
    void recheck();
    const check::Findings& findings() const { return m_findings; }

private:
    void chosen(QTreeWidgetItem* item);

    MapDocument& m_document;
    std::function<QSize()> m_pictureSize;
    QTreeWidget* m_list = nullptr;
    QSpinBox* m_width = nullptr;
    QLabel* m_summary = nullptr;
    check::Findings m_findings;
};

// The command that opens it: an entry of the code box's context menu and a
// shortcut of the main window.
class MapCheckCommand : public QObject {
    Q_OBJECT
public:
    MapCheckCommand(MapDocument& document, std::function<QSize()> pictureSize, QWidget* parent);
    QAction* action() const { return m_action; }
    // Shows the window (made on first use) and checks.
    void open();

private:
    MapDocument& m_document;
    std::function<QSize()> m_pictureSize;
    QWidget* m_parent;
    QAction* m_action;
    MapCheckWindow* m_window = nullptr;
};

} // namespace korvane
