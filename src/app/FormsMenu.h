#pragma once

#include <QList>
#include <QObject>
#include <QSize>

#include <functional>

class QAction;
class QWidget;

namespace korvane {

class CodeBox;
class MapDocument;
struct ProgramState;

// The code box's entries for the map's other forms: the MediaWiki block on
// the clipboard, the JSON in a file, and how the responsive form highlights
// the area under the pointer and the focused link (none, outline, outline
// and fill, in a colour of the user's choice).
class FormsMenu : public QObject {
    Q_OBJECT
public:
    FormsMenu(CodeBox& box, QWidget& window, const MapDocument& document, ProgramState& state,
              std::function<QSize()> pictureSize);

    // The entries as the code box's menu holds them.
    const QList<QAction*>& entries() const { return m_entries; }
    // The entries show the choices as they are now (the settings may have been read since).
    void showChoices();

private:
    QAction* entry(const QString& name, const QString& text);

    QWidget& m_window;
    const MapDocument& m_document;
    ProgramState& m_state;
    std::function<QSize()> m_pictureSize;
    QList<QAction*> m_kinds;
    QList<QAction*> m_entries;
};

} // namespace korvane
