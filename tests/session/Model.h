#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace korvane::session {

// What the test itself expects of the open map, kept beside the window and
// never read back from it: the lines, the history of the user's steps, what
// was last written, and hand edits of the code box. Each step of a sequence
// tells the model what it did; the checks compare the window with it.
class Model {
public:
    // --- the lines and their history ---
    const QStringList& lines() const { return m_history[m_index].lines; }
    // A change that is one undo step (none when the lines stay as they are).
    void change(const QStringList& after);
    // A key move of one area: a run of them on that area is one step, and a
    // run that ends where it began is none.
    void keyMove(int row, const QStringList& after);
    // Opening a picture, an import or a recovered map: a history of its own.
    // Typed code stays where the lines stayed as they were.
    void startNew(const QStringList& lines, bool keepHandCode = false);
    // The steps as the test recorded them: undo and redo walk them.
    int stepsBack() const { return m_index; }
    int stepsForward() const { return int(m_history.size()) - 1 - m_index; }
    const QStringList& linesAt(int index) const { return m_history[index].lines; }
    int index() const { return m_index; }
    void undo();
    void redo();

    // --- what would be lost ---
    // The code box as the user left it: typed over by hand, or nothing (it
    // shows the code of the lines). Any change of the lines writes it over.
    const std::optional<QString>& handCode() const { return m_handCode; }
    void setHandCode(const QString& text) { m_handCode = text; }
    void dropHandCode() { m_handCode.reset(); }
    // A save wrote these lines and this code.
    void written(const QString& code) { m_written = Written{lines(), code}; }
    // A save in the middle of a command, before its lines came.
    void written(const QStringList& lines, const QString& code) { m_written = Written{lines, code}; }
    void forgetWritten() { m_written.reset(); }
    // Nothing would be lost: the window holds nothing (no area, an empty code
    // box), or exactly the areas and the code last written.
    bool saved(const QString& codeShown) const;
    // The areas are none or those last written (the code box aside).
    bool areasSaved() const;

private:
    struct State {
        QStringList lines;
        int keyMoveRow = -1; // the step was a key move of this row
    };
    struct Written {
        QStringList lines;
        QString code;
    };
    void push(const QStringList& after, int keyMoveRow);

    QList<State> m_history{State{}};
    int m_index = 0;
    std::optional<QString> m_handCode;
    std::optional<Written> m_written;
};

} // namespace korvane::session
