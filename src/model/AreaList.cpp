#include "model/AreaList.h"

#include <QCoreApplication>
#include <QMimeData>

#include <algorithm>

namespace korvane {

QString shownLine(QStringView line)
{
    return shownLine(line, line.size());
}

QString shownLine(QStringView start, qsizetype length)
{
    if (length <= kShownLineLimit)
        return start.first(length).toString();
    // A character made of two code units is not cut in half.
    const qsizetype cut = start[kShownLineLimit - 1].isHighSurrogate() ? kShownLineLimit - 1 : kShownLineLimit;
    return start.left(cut).toString() + QCoreApplication::translate("korvane::AreaList", "… (%1 Zeichen)").arg(length);
}

AreaList::AreaList(QObject* parent) : QAbstractListModel(parent) {}

void AreaList::append(const QString& line)
{
    insert(count(), line);
}

void AreaList::append(const AreaLines& lines)
{
    if (lines.isEmpty())
        return;
    beginInsertRows({}, count(), count() + int(lines.size()) - 1);
    m_lines.append(lines); // shared when the list was empty
    endInsertRows();
}

void AreaList::insert(int i, const QString& line)
{
    i = std::clamp(i, 0, count());
    beginInsertRows({}, i, i);
    m_lines.insert(i, line);
    endInsertRows();
}

void AreaList::replace(int i, const QString& line)
{
    if (i < 0 || i >= count() || m_lines.at(i) == line)
        return;
    m_lines.replace(i, line);
    emit dataChanged(index(i), index(i), {Qt::DisplayRole});
}

void AreaList::remove(int i)
{
    if (i < 0 || i >= count())
        return;
    beginRemoveRows({}, i, i);
    m_lines.removeAt(i);
    endRemoveRows();
}

void AreaList::clear()
{
    setLines({});
}

void AreaList::setLines(const AreaLines& lines)
{
    if (!lines.isEmpty() && lines.size() == m_lines.size()) {
        QList<int> changed;
        for (int i = 0; i < count(); ++i) {
            if (lines.at(i) != m_lines.at(i))
                changed << i;
        }
        m_lines = lines; // shared, not copied line by line
        if (changed.isEmpty())
            return;
        m_changedRows = std::move(changed);
        emit dataChanged(index(m_changedRows.first()), index(m_changedRows.last()), {Qt::DisplayRole});
        m_changedRows.clear();
        return;
    }
    beginResetModel();
    m_lines = lines;
    endResetModel();
}

int AreaList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant AreaList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == Qt::EditRole)
        return m_lines.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return shownLine(m_lines.left(index.row(), kShownLineLimit), m_lines.lineSize(index.row()));
    return {};
}

Qt::ItemFlags AreaList::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList AreaList::mimeTypes() const
{
    return {QStringLiteral("text/plain")};
}

// The drag carries the entry's text; the trash accepts any drop.
QMimeData* AreaList::mimeData(const QModelIndexList& indexes) const
{
    auto* mime = new QMimeData;
    QStringList texts;
    for (const QModelIndex& i : indexes)
        texts << line(i.row());
    mime->setText(texts.join(QLatin1Char('\n')));
    return mime;
}

Qt::DropActions AreaList::supportedDragActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}

} // namespace korvane
