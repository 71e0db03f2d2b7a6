#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

#include <array>
#include <vector>

namespace korvane {

class AreaList;

// The areas as a table: one row per line of the list, in list order, with the
// columns shape, coordinates, link, alternative text and target. It follows
// the list's every change as the same change of rows, so views and a sorting
// proxy above it update only what changed. The cells are parts of the line
// itself (the line shared, not copied): with tens of thousands of areas a
// change costs a scan of one line, and sorting compares without copying.
class AreaTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ShapeColumn, CoordsColumn, HrefColumn, AltColumn, TargetColumn, ColumnCount };

    explicit AreaTableModel(const AreaList& areas, QObject* parent = nullptr);

    // The text of a cell; the target's "*" (no target) is empty.
    QStringView cell(int row, int column) const;
    // Between a change of the list's rows and the end of the same change here.
    bool changing() const { return m_changing; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // A change of the rows has ended here too: what was skipped while
    // changing() may be done now.
    void settled();

private:
    struct Row {
        QString line;
        std::array<qsizetype, ColumnCount> start{};
        std::array<qsizetype, ColumnCount> length{};
    };
    static Row rowOf(const QString& line);
    void connectList();
    void reload();

    const AreaList& m_areas;
    std::vector<Row> m_rows;
    bool m_changing = false;
};

// Sorts by any column without touching the list's order (no column: the
// list's order) and hides the rows that do not contain the filter text.
class AreaTableProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit AreaTableProxy(AreaTableModel& table, QObject* parent = nullptr);

    // Case is ignored; empty text shows every row.
    void setFilterText(const QString& text);
    const QString& filterText() const { return m_filter; }

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    AreaTableModel& m_table;
    QString m_filter;
};

// Compares as people read: runs of digits by their value ("9" before "10"),
// letters without regard to case. Negative, zero or positive.
int naturalCompare(QStringView a, QStringView b);

} // namespace korvane
