#pragma once

#include "document/AreaCommands.h"
#include "model/AreaList.h"

#include <QItemSelectionModel>
#include <QObject>
#include <QUndoStack>

namespace korvane {

// One open image map: its area lines, the selected line and the history of
// the user's changes. Every change the user makes to the areas is one of the
// edit functions below, each one step on the undo stack (AreaCommands.cpp
// holds the steps and how each is undone). The window shows the areas and
// follows `restored` after an undo or redo.
class MapDocument : public QObject {
    Q_OBJECT
public:
    // Kept steps; older ones are dropped.
    static constexpr int kHistoryLimit = 1000;

    explicit MapDocument(QObject* parent = nullptr);

    AreaList& areas() { return m_areas; }
    const AreaList& areas() const { return m_areas; }
    // The list box shows this selection; one line at most.
    QItemSelectionModel& selection() { return m_selection; }
    int selectedRow() const;
    void select(int row); // -1 selects nothing

    // --- the user's edits, one step each ---
    void drawArea(const QString& line); // described by its shape
    void copyArea(int row);
    void deleteArea(int row);
    void deleteAll();
    // No step when the line stays as it was.
    void changeAttributes(int row, const QString& line);
    // The handles rewrite the line while they move; these record the change
    // from `before` to the line as it stands now, when there is one.
    void recordDrag(int row, const QString& before, bool wholeArea);
    void recordAddedPoint(int row, const QString& before);
    // A move by a key: a run of them on one area is one step.
    void recordKeyMove(int row, const QString& before);

    // --- history ---
    const QUndoStack& history() const { return m_history; }
    void undo();
    void redo();
    // A new picture or an import: the steps so far no longer apply.
    void clearHistory();
    // The code was saved with the areas as they are now.
    void markSaved();
    // The areas are those last saved (or nothing changed since the start).
    bool isAtSavedState() const { return m_history.isClean(); }

    // Called by the steps: the row a step has just touched, or -1.
    void setTouchedRow(int row) { m_touchedRow = row; }

signals:
    // After an undo or redo: the areas are restored; `row` is the line the
    // step touched, to be selected (-1: none).
    void restored(int row);

private:
    void pushChange(int row, const QString& before, const QString& after, const QString& text,
                    ChangeAreaCommand::Merge merge = ChangeAreaCommand::Merge::Never);
    void step(void (QUndoStack::*move)());

    AreaList m_areas;
    QItemSelectionModel m_selection;
    QUndoStack m_history;
    int m_touchedRow = -1;
};

} // namespace korvane
