#pragma once

#include <QObject>
#include <QSize>

#include <functional>

class QAction;
class QWidget;

namespace korvane {

class CodeBox;
class MapDocument;
struct ProgramState;

// The code box's own entries in its context menu: the responsive code to the
// clipboard or into a page of its own (with their keys, which work in the
// whole window), how its picture fills a box, and whether the code names the
// picture relative to the page it goes into. The specified controls stay as
// they are.
class CodeBoxMenu : public QObject {
    Q_OBJECT
public:
    CodeBoxMenu(CodeBox& box, QWidget& window, const MapDocument& document, ProgramState& state,
                std::function<QSize()> pictureSize);

    // The entries as the code box's menu holds them (the window's menu shows
    // them too): the responsive code copied and saved, the fit and the path.
    const QList<QAction*>& entries() const { return m_entries; }
    // The entries show the choices as they are now (the settings may have been read since).
    void showChoices();

private:
    QAction* entry(const char* name, const QString& text);
    void choose(const std::function<void()>& change);

    QWidget& m_window;
    const MapDocument& m_document;
    ProgramState& m_state;
    std::function<QSize()> m_pictureSize;
    QAction* m_relative = nullptr;
    QList<QAction*> m_fits;
    QList<QAction*> m_entries;
};

} // namespace korvane
