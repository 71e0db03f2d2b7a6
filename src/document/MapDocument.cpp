#include "document/MapDocument.h"

#include "document/AreaCommands.h"
#include "model/AreaEntry.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>

namespace korvane {

namespace {

QString drawingText(const QString& line)
{
    const QString shape = entry::shapeOf(line);
    if (shape == QLatin1String("rect"))
        return QCoreApplication::translate("korvane::MapDocument", "Rechteck zeichnen");
    if (shape == QLatin1String("circle"))
        return QCoreApplication::translate("korvane::MapDocument", "Kreis zeichnen");
    return QCoreApplication::translate("korvane::MapDocument", "Polygon zeichnen");
}

// The lines' count and a 64-bit hash of them: equal fingerprints mean equal
// lines (they are compared only once the code matched, so one pass over a big
// map's lines does), without a second copy of the lines.
QByteArray fingerprintOf(const AreaLines& lines)
{
    if (lines.isEmpty())
        return {};
    return QByteArray::number(lines.size()) + ':' + QByteArray::number(quint64(lines.hash(0x51ed270b)));
}

} // namespace

MapDocument::MapDocument(QObject* parent) : QObject(parent), m_selection(&m_areas)
{
    m_history.setUndoLimit(kHistoryLimit);
}

int MapDocument::selectedRow() const
{
    const QModelIndex current = m_selection.currentIndex();
    return current.isValid() && m_selection.isSelected(current) ? current.row() : -1;
}

void MapDocument::select(int row)
{
    if (row < 0 || row >= m_areas.count())
        m_selection.clear();
    else
        m_selection.setCurrentIndex(m_areas.index(row), QItemSelectionModel::ClearAndSelect);
}

QList<int> MapDocument::selectedRows() const
{
    QList<int> rows;
    for (const QItemSelectionRange& range : m_selection.selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows << row;
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Runs of neighbouring lines go in as one range each: the selection model
// compares ranges pairwise, and all 5,000 lines as 5,000 ranges take minutes.
void MapDocument::selectRows(const QList<int>& rows, int current)
{
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    QItemSelection selection;
    for (qsizetype i = 0; i < sorted.size();) {
        qsizetype end = i;
        while (end + 1 < sorted.size() && sorted[end + 1] <= sorted[end] + 1)
            ++end;
        const int first = std::max(sorted[i], 0), last = std::min(sorted[end], m_areas.count() - 1);
        if (first <= last)
            selection.select(m_areas.index(first), m_areas.index(last));
        i = end + 1;
    }
    m_selection.select(selection, QItemSelectionModel::ClearAndSelect);
    if (current >= 0 && current < m_areas.count())
        m_selection.setCurrentIndex(m_areas.index(current), QItemSelectionModel::NoUpdate);
}

void MapDocument::toggle(int row)
{
    if (row < 0 || row >= m_areas.count())
        return;
    const QModelIndex index = m_areas.index(row);
    if (!m_selection.isSelected(index)) {
        m_selection.setCurrentIndex(index, QItemSelectionModel::Select);
        return;
    }
    m_selection.select(index, QItemSelectionModel::Deselect);
    const QList<int> rest = selectedRows();
    if (!rest.isEmpty() && m_selection.currentIndex() == index)
        m_selection.setCurrentIndex(m_areas.index(rest.last()), QItemSelectionModel::NoUpdate);
}

void MapDocument::drawArea(const QString& line)
{
    push(new AddAreaCommand(*this, m_areas.count(), line, -1, drawingText(line)));
}

void MapDocument::copyArea(int row)
{
    emit aboutToChange(); // a drag under way hands its line over first: the copy is of what is shown
    if (row < 0 || row >= m_areas.count())
        return;
    push(new AddAreaCommand(*this, m_areas.count(), m_areas.line(row), row, tr("Areal kopieren")));
}

void MapDocument::deleteArea(int row)
{
    if (row >= 0 && row < m_areas.count())
        push(new RemoveAreaCommand(*this, row, tr("Areal löschen")));
}

void MapDocument::deleteAll()
{
    if (!m_areas.isEmpty())
        push(new ClearAreasCommand(*this, selectedRow(), tr("Alle Areale löschen")));
}

void MapDocument::changeAttributes(int row, const QString& line)
{
    pushChange(row, m_areas.line(row), line, tr("Attribute ändern"));
}

void MapDocument::dragArea(int row, const QString& before, const QString& after, bool wholeArea)
{
    pushChange(row, before, after, wholeArea ? tr("Areal verschieben") : tr("Form ändern"));
}

void MapDocument::addPoint(int row, const QString& line)
{
    pushChange(row, m_areas.line(row), line, tr("Punkt hinzufügen"));
}

void MapDocument::changeShape(int row, const QString& line, const QString& text)
{
    pushChange(row, m_areas.line(row), line, text);
}

void MapDocument::moveInOrder(int from, int to)
{
    const int count = m_areas.count();
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return;
    // A line moved past copies of itself leaves the list as it was: no undo
    // step that would change nothing.
    const QString line = m_areas.line(from);
    bool changes = false;
    for (int row = std::min(from, to); row <= std::max(from, to) && !changes; ++row)
        changes = m_areas.line(row) != line;
    if (changes)
        push(new MoveAreaCommand(*this, from, to, tr("Reihenfolge ändern")));
}

void MapDocument::changeLines(const AreaLines& before, const AreaLines& after, const QString& text, int current)
{
    if (before != after)
        push(new ChangeLinesCommand(*this, before, after, text, current));
}

void MapDocument::recordKeyMove(int row, const QString& before)
{
    pushChange(row, before, m_areas.line(row), tr("Areal verschieben"),
               ChangeAreaCommand::Merge::WithSameKind);
}

void MapDocument::scaleAreas(int first, double sx, double sy)
{
    AreaLines lines = m_areas.lines();
    for (qsizetype i = std::max(first, 0); i < lines.size(); ++i)
        lines.replace(i, entry::scaledLine(lines[i], sx, sy));
    if (lines != m_areas.lines())
        m_history.push(new ChangeLinesCommand(*this, m_areas.lines(), lines, tr("Areale umrechnen")));
}

void MapDocument::pushChange(int row, const QString& before, const QString& after, const QString& text,
                             ChangeAreaCommand::Merge merge)
{
    if (row >= 0 && row < m_areas.count() && after != before)
        push(new ChangeAreaCommand(*this, row, before, after, text, merge));
}

void MapDocument::push(QUndoCommand* step)
{
    emit aboutToChange();
    m_history.push(step);
}

void MapDocument::undo()
{
    step(&QUndoStack::undo);
}

void MapDocument::redo()
{
    step(&QUndoStack::redo);
}

void MapDocument::step(void (QUndoStack::*move)())
{
    emit aboutToChange();
    const int index = m_history.index();
    m_touchedRow = -1;
    (m_history.*move)();
    if (m_history.index() != index)
        emit restored(m_touchedRow);
}

void MapDocument::startNew()
{
    m_history.clear();
    m_mapFilePath.clear();
}

bool MapDocument::mapSaved() const
{
    const QByteArray code = m_code ? m_code() : QByteArray();
    if (code.isEmpty() && m_areas.isEmpty())
        return true;
    // The code first: it differs after nearly every change, and then the
    // lines need no hashing.
    return code == m_savedCode && fingerprintOf(m_areas.lines()) == m_savedLines;
}

void MapDocument::markSaved()
{
    m_savedCode = m_code ? m_code() : QByteArray();
    m_savedLines = fingerprintOf(m_areas.lines());
    emit savedMarked();
}

} // namespace korvane
