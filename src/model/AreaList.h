#pragma once

#include "model/AreaLines.h"

#include <QAbstractListModel>

namespace korvane {

// Lines longer than this are shown cut (list box, code box): laying out a
// line of megabytes takes the window minutes. The stored text stays whole.
inline constexpr qsizetype kShownLineLimit = 10'000;
// The line as it is shown: at most kShownLineLimit characters, then "…" and
// the whole length.
QString shownLine(QStringView line);
// The same for a line of `length` characters of which `start` holds the
// first (at least kShownLineLimit of them, or all).
QString shownLine(QStringView start, qsizetype length);

// The ordered area lines shown in the list box. It is the only store of the
// areas: the canvas, the list box and the map code all follow its signals.
class AreaList : public QAbstractListModel {
    Q_OBJECT
public:
    explicit AreaList(QObject* parent = nullptr);

    int count() const { return static_cast<int>(m_lines.size()); }
    bool isEmpty() const { return m_lines.isEmpty(); }
    QString line(int i) const { return i >= 0 && i < count() ? m_lines.at(i) : QString(); }
    // All lines; a copy is shared, not a copy of every line.
    const AreaLines& lines() const { return m_lines; }

    void append(const QString& line);
    // All at once, as one insertion: the views follow once, not once a line.
    void append(const AreaLines& lines);
    void insert(int i, const QString& line); // i from 0 to count()
    void replace(int i, const QString& line);
    void remove(int i);
    void clear();
    // With as many lines as now: one dataChanged() from the first changed
    // line to the last (none when all stay), so that the views follow once
    // for an align or a move of thousands. Otherwise the list is set anew.
    void setLines(const AreaLines& lines);
    // While the dataChanged() of setLines() is emitted: the rows it really
    // rewrote, in order (a range may hold many that stayed). Empty otherwise:
    // then every row of the range counts as changed.
    const QList<int>& changedRows() const { return m_changedRows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    AreaLines m_lines;
    QList<int> m_changedRows;
};

} // namespace korvane
