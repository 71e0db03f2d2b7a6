#include "app/commands/Snapping.h"

#include "canvas/AreaGeometry.h"
#include "canvas/Canvas.h"
#include "canvas/PolygonEdit.h"
#include "model/AreaEntry.h"
#include "model/AreaList.h"
#include "model/ProgramState.h"

#include <QCoreApplication>
#include <QAction>
#include <QGuiApplication>
#include <QInputDialog>
#include <QWidget>

#include <algorithm>

namespace korvane {

namespace {

// Up to this many changed lines are always read one by one.
constexpr int kFewChanges = 64;

} // namespace

Snapping::Snapping(const AreaList& areas, ProgramState& state, Canvas& canvas, QWidget* window)
    : QObject(window), m_areas(areas), m_state(state), m_canvas(canvas), m_window(window),
      m_toggle(new QAction(QCoreApplication::translate("korvane::Snapping", "Einrasten"), this)),
      m_gridEntry(new QAction(QCoreApplication::translate("korvane::Snapping", "Rastergröße..."), this))
{
    m_toggle->setObjectName(QStringLiteral("snapToggle"));
    m_gridEntry->setObjectName(QStringLiteral("snapGrid"));
    m_toggle->setCheckable(true);
    m_toggle->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    window->addAction(m_toggle);
    // The state owns the choice: the entry only shows it (the settings may
    // have changed it since the entry was last shown).
    connect(m_toggle, &QAction::triggered, this, [this] { setOn(!m_state.snapOn); });
    connect(m_gridEntry, &QAction::triggered, this, &Snapping::askGrid);
    // Only lines that changed are read again; a new list is read whole.
    connect(&areas, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& top, const QModelIndex& bottom) { changed(top.row(), bottom.row()); });
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&areas, signal, this, [this] { m_stale = true; });
    connect(&areas, &QAbstractItemModel::rowsMoved, this, [this] { m_stale = true; });
    connect(&areas, &QAbstractItemModel::modelReset, this, [this] { m_stale = true; });
    connect(&areas, &QAbstractItemModel::layoutChanged, this, [this] { m_stale = true; });
}

QList<QAction*> Snapping::actions()
{
    m_toggle->setChecked(m_state.snapOn);
    return {m_toggle, m_gridEntry};
}

QAction* Snapping::separator()
{
    if (!m_separator) {
        m_separator = new QAction(this);
        m_separator->setSeparator(true);
    }
    return m_separator;
}

void Snapping::setOn(bool on)
{
    m_state.snapOn = on;
    m_state.snapChoicesMade = true;
    m_toggle->setChecked(on);
    if (!on)
        unmark();
}

void Snapping::setGrid(int pixels)
{
    m_state.snapGrid = std::clamp(pixels, kSmallestGrid, kLargestGrid);
    m_state.snapChoicesMade = true;
}

void Snapping::askGrid()
{
    bool ok = false;
    const int pixels = QInputDialog::getInt(
        m_window, QCoreApplication::translate("korvane::Snapping", "Rastergröße"),
        QCoreApplication::translate("korvane::Snapping", "Rastergröße in Bildpunkten (%1 bis %2):").arg(kSmallestGrid).arg(kLargestGrid),
        m_state.snapGrid, kSmallestGrid, kLargestGrid, 1, &ok);
    if (ok)
        setGrid(pixels);
}

bool Snapping::active() const
{
    return m_state.snapOn && !(QGuiApplication::keyboardModifiers() & Qt::AltModifier);
}

double Snapping::reach() const
{
    return kCatchPixels / m_canvas.zoomFactor();
}

// Each changed line is noted once, however often a drag rewrites it; when a
// good part of the list changed, reading it anew is cheaper.
void Snapping::changed(int first, int last)
{
    if (m_stale)
        return;
    const int count = m_areas.count();
    if (m_changed.size() != size_t(count))
        m_changed.assign(size_t(count), false);
    for (int row = std::max(first, 0); row <= last && row < count; ++row) {
        if (m_changed[size_t(row)])
            continue;
        m_changed[size_t(row)] = true;
        m_changedRows.push_back(row);
    }
    if (m_changedRows.size() > size_t(std::max(kFewChanges, count / 4)))
        m_stale = true;
}

// Brought up to date when asked, not at every change: a drag rewrites its
// line at each move, and only the next search needs it.
void Snapping::refresh()
{
    m_index.setPictureSize(m_canvas.pictureSize());
    m_index.setGrid(m_state.snapGrid);
    if (m_stale || m_index.rows() != m_areas.count()) {
        m_index.reset(m_areas.count());
        for (int row = 0; row < m_areas.count(); ++row)
            m_index.setArea(row, parseArea(m_areas.line(row)));
        m_stale = false;
    } else {
        for (int row : m_changedRows) {
            if (row < m_areas.count())
                m_index.setArea(row, parseArea(m_areas.line(row)));
        }
    }
    m_changedRows.clear();
    m_changed.assign(size_t(m_areas.count()), false);
}

const SnapIndex& Snapping::index()
{
    refresh();
    return m_index;
}

QPointF Snapping::point(QPointF at, int skipRow, std::optional<QRect> within)
{
    if (!active()) {
        unmark();
        return at;
    }
    refresh();
    const Snap snap = m_index.snap(at, reach(), skipRow);
    const QPointF to(snap.x ? snap.to.x() : at.x(), snap.y ? snap.to.y() : at.y());
    if (!snap.caught() || (within && !within->contains(to.toPoint()))) {
        unmark();
        return at;
    }
    showMark(QPoint(roundHalfEven(to.x()), roundHalfEven(to.y())));
    return to;
}

QPoint Snapping::move(const QString& line, int row, QPoint by, bool byKey)
{
    return corrected(line, SnapSkip(row), by, byKey);
}

QPoint Snapping::moveSeveral(const QString& line, const QList<int>& rows, QPoint by, bool byKey)
{
    if (!active()) {
        unmark();
        return by;
    }
    std::vector<bool> skipped(size_t(m_areas.count()), false);
    for (int row : rows) {
        if (row >= 0 && row < m_areas.count())
            skipped[size_t(row)] = true;
    }
    return corrected(line, SnapSkip(&skipped), by, byKey);
}

QPoint Snapping::corrected(const QString& line, const SnapSkip& skip, QPoint by, bool byKey)
{
    if (!active()) {
        unmark();
        return by;
    }
    refresh();
    QVector<QPoint> points = SnapIndex::pointsOf(parseArea(line));
    for (QPoint& p : points)
        p += by;
    const SnapShift shift = m_index.shift(points, reach(), skip, byKey ? by : QPoint());
    // A key's move has no pointer near the target to mark it for.
    if (shift.kind == SnapKind::None || byKey)
        unmark();
    else
        showMark(shift.mark);
    return by + shift.by;
}

void Snapping::unmark()
{
    showMark(std::nullopt);
}

void Snapping::showMark(std::optional<QPoint> at)
{
    m_canvas.setMark(at);
}

} // namespace korvane
