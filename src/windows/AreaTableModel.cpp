#include "windows/AreaTableModel.h"

#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "model/AreaList.h"

#include <iterator>

#include <QCoreApplication>

namespace korvane {

namespace {

const QLatin1Char kSeparator('|');

QString columnTitle(int column)
{
    switch (column) {
    case AreaTableModel::ShapeColumn:
        return QCoreApplication::translate("korvane::AreaTableModel", "Form");
    case AreaTableModel::CoordsColumn:
        return QCoreApplication::translate("korvane::AreaTableModel", "Koordinaten");
    case AreaTableModel::HrefColumn:
        return QCoreApplication::translate("korvane::AreaTableModel", "Verweisziel");
    case AreaTableModel::AltColumn:
        return QCoreApplication::translate("korvane::AreaTableModel", "Alternativer Text");
    case AreaTableModel::TargetColumn:
        return QCoreApplication::translate("korvane::AreaTableModel", "Target");
    default:
        return {};
    }
}

} // namespace

AreaTableModel::AreaTableModel(const AreaList& areas, QObject* parent) : QAbstractTableModel(parent), m_areas(areas)
{
    reload();
    connectList();
}

// Where each of the first five fields lies in the line; the shape without
// its blanks, the target's placeholder as no text.
AreaTableModel::Row AreaTableModel::rowOf(const QString& line)
{
    Row row{line, {}, {}};
    const QStringView text(line);
    qsizetype from = 0;
    for (int column = 0; column < ColumnCount && from <= text.size(); ++column) {
        qsizetype end = text.indexOf(kSeparator, from);
        if (end < 0)
            end = text.size();
        qsizetype first = from, last = end;
        if (column == ShapeColumn) {
            while (first < last && text[first] == QLatin1Char(' '))
                ++first;
            while (last > first && text[last - 1] == QLatin1Char(' '))
                --last;
        }
        if (column == TargetColumn && text.sliced(first, last - first) == entry::kAbsent)
            last = first;
        row.start[column] = first;
        row.length[column] = last - first;
        from = end + 1;
    }
    return row;
}

void AreaTableModel::reload()
{
    m_rows.clear();
    m_rows.reserve(m_areas.count());
    for (const QString& line : m_areas.lines())
        m_rows.push_back(rowOf(line));
}

// Each change of the list becomes the same change here, so that a view and
// the proxy above follow one row, not the whole table.
void AreaTableModel::connectList()
{
    connect(&m_areas, &AreaList::rowsAboutToBeInserted, this, [this](const QModelIndex&, int first, int last) {
        m_changing = true;
        beginInsertRows({}, first, last);
    });
    connect(&m_areas, &AreaList::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        std::vector<Row> added;
        added.reserve(last - first + 1);
        for (int i = first; i <= last; ++i)
            added.push_back(rowOf(m_areas.line(i)));
        m_rows.insert(m_rows.begin() + first, std::make_move_iterator(added.begin()),
                      std::make_move_iterator(added.end()));
        endInsertRows();
        m_changing = false;
        emit settled();
    });
    connect(&m_areas, &AreaList::rowsAboutToBeRemoved, this, [this](const QModelIndex&, int first, int last) {
        m_changing = true;
        beginRemoveRows({}, first, last);
    });
    connect(&m_areas, &AreaList::rowsRemoved, this, [this](const QModelIndex&, int first, int last) {
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
        endRemoveRows();
        m_changing = false;
        emit settled();
    });
    connect(&m_areas, &AreaList::dataChanged, this, [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
        for (int i = topLeft.row(); i <= bottomRight.row(); ++i)
            m_rows[i] = rowOf(m_areas.line(i));
        emit dataChanged(index(topLeft.row(), 0), index(bottomRight.row(), ColumnCount - 1));
    });
    connect(&m_areas, &AreaList::modelAboutToBeReset, this, [this] {
        m_changing = true;
        beginResetModel();
    });
    connect(&m_areas, &AreaList::modelReset, this, [this] {
        reload();
        endResetModel();
        m_changing = false;
        emit settled();
    });
}

QStringView AreaTableModel::cell(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= ColumnCount)
        return {};
    const Row& r = m_rows[row];
    return QStringView(r.line).sliced(r.start[column], r.length[column]);
}

int AreaTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int AreaTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AreaTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return shownLine(cell(index.row(), index.column()));
    if (role == Qt::EditRole)
        return cell(index.row(), index.column()).toString();
    return {};
}

// The rows are numbered by their place in the list, which sorting leaves.
QVariant AreaTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return QString::number(section + 1);
    return columnTitle(section);
}

AreaTableProxy::AreaTableProxy(AreaTableModel& table, QObject* parent) : QSortFilterProxyModel(parent), m_table(table)
{
    setSourceModel(&table);
    setDynamicSortFilter(true);
}

void AreaTableProxy::setFilterText(const QString& text)
{
    if (text == m_filter)
        return;
    m_filter = text;
    invalidateFilter();
}

// Equal cells keep the list's order among themselves. Coordinates sort by
// the numbers a browser reads from them ("2 2 10 10" as "2,2,10,10").
bool AreaTableProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const QStringView a = m_table.cell(left.row(), left.column());
    const QStringView b = m_table.cell(right.row(), right.column());
    int order = left.column() == AreaTableModel::CoordsColumn ? browser::compareNumberLists(a, b) : 0;
    if (order == 0)
        order = naturalCompare(a, b);
    return order != 0 ? order < 0 : left.row() < right.row();
}

bool AreaTableProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    if (m_filter.isEmpty())
        return true;
    for (int column = 0; column < AreaTableModel::ColumnCount; ++column) {
        if (m_table.cell(sourceRow, column).contains(m_filter, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

int naturalCompare(QStringView a, QStringView b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            while (i < a.size() - 1 && a[i] == QLatin1Char('0') && a[i + 1].isDigit())
                ++i;
            while (j < b.size() - 1 && b[j] == QLatin1Char('0') && b[j + 1].isDigit())
                ++j;
            qsizetype endA = i, endB = j;
            while (endA < a.size() && a[endA].isDigit())
                ++endA;
            while (endB < b.size() && b[endB].isDigit())
                ++endB;
            // More digits without leading zeros: the greater number.
            if (endA - i != endB - j)
                return endA - i < endB - j ? -1 : 1;
            if (const int digits = a.sliced(i, endA - i).compare(b.sliced(j, endB - j)); digits != 0)
                return digits;
            i = endA;
            j = endB;
            continue;
        }
        const QChar x = a[i].toCaseFolded(), y = b[j].toCaseFolded();
        if (x != y)
            return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

} // namespace korvane
