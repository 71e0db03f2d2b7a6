#include "document/AreaCommands.h"

#include "document/MapDocument.h"

namespace korvane {

AddAreaCommand::AddAreaCommand(MapDocument& document, int row, const QString& line, int selectedBefore,
                               const QString& text)
    : AreaCommand(document, text), m_row(row), m_line(line), m_selectedBefore(selectedBefore)
{
}

void AddAreaCommand::redo()
{
    m_document.areas().insert(m_row, m_line);
    m_document.setTouchedRow(m_row);
}

void AddAreaCommand::undo()
{
    m_document.areas().remove(m_row);
    m_document.setTouchedRow(m_selectedBefore);
}

RemoveAreaCommand::RemoveAreaCommand(MapDocument& document, int row, const QString& text)
    : AreaCommand(document, text), m_row(row), m_line(document.areas().line(row))
{
}

void RemoveAreaCommand::redo()
{
    m_document.areas().remove(m_row);
    m_document.setTouchedRow(-1);
}

void RemoveAreaCommand::undo()
{
    m_document.areas().insert(m_row, m_line);
    m_document.setTouchedRow(m_row);
}

ClearAreasCommand::ClearAreasCommand(MapDocument& document, int selectedBefore, const QString& text)
    : AreaCommand(document, text), m_lines(document.areas().lines()), m_selectedBefore(selectedBefore)
{
}

void ClearAreasCommand::redo()
{
    m_document.areas().clear();
    m_document.setTouchedRow(-1);
}

void ClearAreasCommand::undo()
{
    m_document.areas().setLines(m_lines);
    m_document.setTouchedRow(m_selectedBefore);
}

MoveAreaCommand::MoveAreaCommand(MapDocument& document, int from, int to, const QString& text)
    : AreaCommand(document, text), m_from(from), m_to(to)
{
}

void MoveAreaCommand::redo()
{
    move(m_from, m_to);
}

void MoveAreaCommand::undo()
{
    move(m_to, m_from);
}

void MoveAreaCommand::move(int from, int to)
{
    const QString line = m_document.areas().line(from);
    m_document.areas().remove(from);
    m_document.areas().insert(to, line);
    m_document.setTouchedRow(to);
}

ChangeLinesCommand::ChangeLinesCommand(MapDocument& document, const AreaLines& before, const AreaLines& after,
                                       const QString& text, int current)
    : AreaCommand(document, text), m_before(before), m_after(after), m_current(current)
{
}

void ChangeLinesCommand::redo()
{
    m_document.areas().setLines(m_after);
    m_document.setTouchedRow(m_current < m_after.size() ? m_current : -1);
}

void ChangeLinesCommand::undo()
{
    m_document.areas().setLines(m_before);
    m_document.setTouchedRow(m_current < m_before.size() ? m_current : -1);
}

ChangeAreaCommand::ChangeAreaCommand(MapDocument& document, int row, const QString& before, const QString& after,
                                     const QString& text, Merge merge)
    : AreaCommand(document, text), m_row(row), m_before(before), m_after(after), m_merge(merge)
{
}

void ChangeAreaCommand::redo()
{
    m_document.areas().replace(m_row, m_after);
    m_document.setTouchedRow(m_row);
}

void ChangeAreaCommand::undo()
{
    m_document.areas().replace(m_row, m_before);
    m_document.setTouchedRow(m_row);
}

int ChangeAreaCommand::id() const
{
    constexpr int kMergeableChange = 1;
    return m_merge == Merge::WithSameKind ? kMergeableChange : -1;
}

bool ChangeAreaCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const ChangeAreaCommand*>(other); // same id, so same class
    if (next->m_row != m_row || next->text() != text() || next->m_before != m_after)
        return false;
    m_after = next->m_after;
    setObsolete(m_after == m_before);
    return true;
}

} // namespace korvane
