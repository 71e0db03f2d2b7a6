#include "app/commands/SeveralAreas.h"

#include "canvas/AreaGeometry.h"
#include "document/MapDocument.h"
#include "platform/Platform.h"
#include "tools/ToolContext.h"

#include <QCoreApplication>
#include <QMenu>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace korvane {

SeveralAreas::SeveralAreas(MapDocument& document, ToolContext& context, QWidget* parent)
    : QObject(parent), m_document(document), m_context(context),
      m_alignMenu(new QMenu(QCoreApplication::translate("korvane::SeveralAreas", "Ausrichten"), parent))
{
    m_alignMenu->setObjectName(QStringLiteral("alignMenu"));
    for (int i = 0; i < kAlignmentCount; ++i) {
        const auto how = Alignment(i);
        connect(m_alignMenu->addAction(alignmentText(how)), &QAction::triggered, this, [this, how] { align(how); });
    }
}

bool SeveralAreas::several() const
{
    return m_document.selectedRows().size() > 1;
}

QMenu* SeveralAreas::alignMenu()
{
    m_alignMenu->menuAction()->setEnabled(several());
    return m_alignMenu;
}

void SeveralAreas::align(Alignment how)
{
    const QList<int> rows = m_document.selectedRows();
    const int current = m_document.selectedRow();
    if (rows.size() < 2)
        return;
    QStringList chosen;
    for (int row : rows)
        chosen << m_document.areas().line(row);
    const QStringList done = arranged(chosen, how, int(rows.indexOf(current)));
    AreaLines after = m_document.areas().lines();
    for (qsizetype i = 0; i < rows.size(); ++i)
        after.replace(rows[i], done[i]);
    m_document.changeLines(m_document.areas().lines(), after, QCoreApplication::translate("korvane::SeveralAreas", "Areale ausrichten"), current);
    m_context.selectSeveral(rows, current);
}

AreaLines SeveralAreas::linesMovedBy(QPoint by) const
{
    AreaLines lines = m_linesBefore;
    for (int row : m_dragRows)
        lines.replace(row, movedLine(m_linesBefore[row], by.x(), by.y()));
    return lines;
}

bool SeveralAreas::moveBy(QPoint by)
{
    const QList<int> rows = m_document.selectedRows();
    if (rows.isEmpty())
        return false;
    by = snapped(m_document.areas().line(m_document.selectedRow()), rows, by, true);
    // The keys never take an area further out than it already is.
    const QSize picture = m_context.pictureSize();
    int dx = by.x(), dy = by.y();
    for (int row : rows) {
        const AreaGeometry shape = parseArea(m_document.areas().line(row));
        if (!shape.drawable())
            continue;
        const QRect e = shape.bounds;
        dx = std::clamp(dx, std::min(0, -e.left()), std::max(0, picture.width() - e.right()));
        dy = std::clamp(dy, std::min(0, -e.top()), std::max(0, picture.height() - e.bottom()));
    }
    if (dx == 0 && dy == 0)
        return false;
    m_linesBefore = m_document.areas().lines();
    m_dragRows = rows;
    const int current = m_document.selectedRow();
    m_document.changeLines(m_linesBefore, linesMovedBy(QPoint(dx, dy)), QCoreApplication::translate("korvane::SeveralAreas", "Areale verschieben"), current);
    m_context.selectSeveral(rows, current);
    return true;
}

bool SeveralAreas::removeAsked()
{
    const qsizetype count = m_document.selectedRows().size();
    if (count < 2)
        return false;
    if (askYesNo(qobject_cast<QWidget*>(parent()), kQuestionTitle,
                 QCoreApplication::translate("korvane::SeveralAreas", "Sollen die %1 ausgewählten Areale wirklich gelöscht werden?").arg(count)))
        remove();
    return true;
}

void SeveralAreas::remove()
{
    const QList<int> rows = m_document.selectedRows();
    AreaLines after = m_document.areas().lines();
    for (qsizetype i = rows.size() - 1; i >= 0; --i)
        after.removeAt(rows[i]);
    m_document.changeLines(m_document.areas().lines(), after, QCoreApplication::translate("korvane::SeveralAreas", "Areale löschen"));
    m_context.selectSeveral({}, -1);
}

// The copies go to the end of the list, in order, and are chosen instead.
void SeveralAreas::copy()
{
    const QList<int> rows = m_document.selectedRows();
    const int current = m_document.selectedRow();
    const AreaLines before = m_document.areas().lines();
    AreaLines after = before;
    QList<int> copies;
    int currentCopy = -1;
    for (int row : rows) {
        if (row == current)
            currentCopy = int(after.size());
        copies << int(after.size());
        after << before[row];
    }
    m_document.changeLines(before, after, QCoreApplication::translate("korvane::SeveralAreas", "Areale kopieren"), currentCopy);
    m_context.selectSeveral(copies, currentCopy);
}

// The area held (or chosen last, for the keys) brings its points to the targets.
QPoint SeveralAreas::snapped(const QString& held, const QList<int>& rows, QPoint by, bool byKey) const
{
    if (held.isEmpty())
        return by;
    return m_context.snapMoveSeveral(held, rows, by, byKey);
}

} // namespace korvane
