#include "session/Model.h"

#include "document/MapDocument.h"

namespace korvane::session {

void Model::push(const QStringList& after, int keyMoveRow)
{
    m_history.resize(m_index + 1);
    m_history << State{after, keyMoveRow};
    ++m_index;
    // The oldest steps go as they do in the window's history.
    while (m_index > MapDocument::kHistoryLimit) {
        m_history.removeFirst();
        --m_index;
    }
    m_handCode.reset();
}

void Model::change(const QStringList& after)
{
    if (after != lines())
        push(after, -1);
}

void Model::keyMove(int row, const QStringList& after)
{
    if (after == lines())
        return;
    if (m_index == 0 || m_history[m_index].keyMoveRow != row) {
        push(after, row);
        return;
    }
    m_history.resize(m_index + 1);
    m_history[m_index].lines = after;
    if (after == m_history[m_index - 1].lines) {
        m_history.removeLast();
        --m_index;
    }
    m_handCode.reset();
}

void Model::startNew(const QStringList& lines, bool keepHandCode)
{
    m_history = {State{lines, -1}};
    m_index = 0;
    if (!keepHandCode)
        m_handCode.reset();
}

void Model::undo()
{
    if (m_index > 0) {
        --m_index;
        m_handCode.reset();
    }
}

void Model::redo()
{
    if (m_index + 1 < m_history.size()) {
        ++m_index;
        m_handCode.reset();
    }
}

bool Model::areasSaved() const
{
    return lines().isEmpty() || (m_written && m_written->lines == lines());
}

bool Model::saved(const QString& codeShown) const
{
    if (lines().isEmpty() && codeShown.isEmpty())
        return true;
    return m_written && m_written->lines == lines() && m_written->code == codeShown;
}

} // namespace korvane::session
