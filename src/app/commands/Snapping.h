#pragma once

#include "canvas/SnapIndex.h"

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

class QAction;
class QWidget;

namespace korvane {

class AreaList;
class Canvas;
struct ProgramState;

// Snapping on the canvas: drawn points, dragged handles and moved areas go
// to the picture's edges, to other areas' points and edges and to a grid
// when they come within the catch distance (screen pixels, so it feels the
// same at every zoom). "Einrasten" turns it on and off, Alt held suspends
// it; the caught target is marked on the canvas.
class Snapping : public QObject {
    Q_OBJECT
public:
    // The grid's sizes, in picture pixels.
    static constexpr int kSmallestGrid = 1;
    static constexpr int kLargestGrid = 1000;

    // `canvas`: the picture's size, the zoom and the mark of the target.
    Snapping(const AreaList& areas, ProgramState& state, Canvas& canvas, QWidget* window);

    // "Einrasten" (checkable, Ctrl+Shift+E) and "Rastergröße...".
    QList<QAction*> actions();
    QAction* toggleAction() const { return m_toggle; }
    // Parts them from the entries before them in a menu.
    QAction* separator();
    void setOn(bool on);
    void setGrid(int pixels);
    // Asks for the grid size; a cancelled question leaves it.
    void askGrid();

    // Turned on, and Alt not held.
    bool active() const;
    // A drawn point or a handle's point: where it snaps to (or the point
    // itself), the target marked. `skipRow`: the area being changed; a target
    // outside `within` (where a handle cannot go) does not catch.
    QPointF point(QPointF at, int skipRow = -1, std::optional<QRect> within = std::nullopt);
    // The move `by` of the area that was `line` (row `row`), corrected so that
    // one of its points lies on a target. A key's move keeps its direction.
    QPoint move(const QString& line, int row, QPoint by, bool byKey = false);
    // The same for the selected areas `rows` moved together, caught by the
    // points of the one held (`line`); the others catch nothing.
    QPoint moveSeveral(const QString& line, const QList<int>& rows, QPoint by, bool byKey = false);
    void unmark();

    // The index as it follows the list (for measurements).
    const SnapIndex& index();

private:
    double reach() const;
    void refresh();
    void changed(int first, int last);
    void showMark(std::optional<QPoint> at);
    QPoint corrected(const QString& line, const SnapSkip& skip, QPoint by, bool byKey);

    const AreaList& m_areas;
    ProgramState& m_state;
    Canvas& m_canvas;
    QWidget* m_window;
    QAction* m_toggle;
    QAction* m_gridEntry;
    SnapIndex m_index;
    bool m_stale = true;
    std::vector<int> m_changedRows;
    std::vector<bool> m_changed; // per row: in m_changedRows
    QAction* m_separator = nullptr;
};

} // namespace korvane
