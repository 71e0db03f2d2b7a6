#pragma once

#include "canvas/AreaArrangement.h"

#include <QObject>
#include <QPointF>
#include <QSize>
#include "model/AreaLines.h"

#include <QStringList>

#include <optional>

class QMenu;
class QWidget;

namespace korvane {

class MapDocument;
class ToolContext;

// Several selected areas at once: moved by the keys (a drag is the edit
// tool's), aligned, copied and deleted together, one step each. The area
// chosen last is the reference for aligning and keeps the handles.
class SeveralAreas : public QObject {
    Q_OBJECT
public:
    // `context`: the picture's size, snapping, and the selection shown.
    SeveralAreas(MapDocument& document, ToolContext& context, QWidget* parent);

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

private:
    AreaLines linesMovedBy(QPoint by) const;
    QPoint snapped(const QString& held, const QList<int>& rows, QPoint by, bool byKey) const;
    void applyMove(QPoint by);

    MapDocument& m_document;
    ToolContext& m_context;
    QMenu* m_alignMenu;
    // The lines and rows of the last key move.
    AreaLines m_linesBefore;
    QList<int> m_dragRows;
};

} // namespace korvane
