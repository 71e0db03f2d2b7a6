#pragma once

#include "canvas/AreaArrangement.h"
#include "tools/SeveralDrag.h"

#include <QObject>
#include <QPointF>
#include <QSize>
#include "model/AreaLines.h"

#include <QStringList>

#include <functional>
#include <optional>

class QMenu;
class QWidget;

namespace korvane {

class MapDocument;
class ToolContext;

// Several selected areas at once: moved by a drag or the keys, aligned,
// copied and deleted together, one step each. The area chosen last is the
// reference for aligning and keeps the handles.
class SeveralAreas : public QObject {
    Q_OBJECT
public:
    struct View {
        std::function<QSize()> pictureSize;
        // Selects exactly `rows` (`current` chosen last) and shows them.
        std::function<void(const QList<int>& rows, int current)> show;
        // Snapping: the move `by` of `rows`, held by the area that was `held`,
        // corrected. Unset: unchanged.
        std::function<QPoint(const QString& held, const QList<int>& rows, QPoint by, bool byKey)> snapMove;
    };
    // A drag shows the areas through `context`.
    SeveralAreas(MapDocument& document, ToolContext& context, View view, QWidget* parent);

    // More than one area is selected.
    bool several() const;
    // "Ausrichten" and its ten entries, enabled with two areas or more.
    QMenu* alignMenu();
    void align(Alignment how);
    // Moves every selected area by `by`, less where that would take one
    // further past the picture's edges; false when nothing moved.
    bool moveBy(QPoint by);
    void remove();
    // Delete with several selected: asks once, then removes them all. False
    // when fewer than two are selected (one area has its own question).
    bool removeAsked();
    void copy();

    // A drag of all selected areas, held by the one at `point` (picture
    // pixels), line `held`.
    void pressDrag(QPointF point, int held = -1);
    bool isDragging() const { return m_drag.has_value(); }
    void dragTo(QPointF point);
    // True when the drag moved the areas; false when it was a click.
    bool releaseDrag();
    // Ends a drag with the areas where they were at the press, no step.
    void cancelDrag();

private:
    AreaLines linesMovedBy(QPoint by) const;
    QPoint snapped(const QString& held, const QList<int>& rows, QPoint by, bool byKey) const;
    void applyMove(QPoint by);

    MapDocument& m_document;
    ToolContext& m_context;
    View m_view;
    QMenu* m_alignMenu;
    std::optional<SeveralDrag> m_drag;
    // The lines and rows of the last key move.
    AreaLines m_linesBefore;
    QList<int> m_dragRows;
};

} // namespace korvane
