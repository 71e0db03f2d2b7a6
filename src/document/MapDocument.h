#pragma once

#include "document/AreaCommands.h"
#include "model/AreaList.h"

#include <QItemSelectionModel>
#include <QObject>
#include <QUndoStack>

#include <functional>

namespace korvane {

// One open image map: its picture and name, its area lines, the selected
// line, whether its code is saved and the history of the user's changes.
// Every change the user makes to the areas is one of the edit functions
// below, each one step on the undo stack (AreaCommands.cpp holds the steps
// and how each is undone). The window shows the areas and follows `restored`
// after an undo or redo.
class MapDocument : public QObject {
    Q_OBJECT
public:
    // Kept steps; older ones are dropped.
    static constexpr int kHistoryLimit = 1000;

    explicit MapDocument(QObject* parent = nullptr);

    // --- the picture and the map's name, as the code names them ---
    // Full path of the map's picture; it may name one that was not found.
    const QString& imagePath() const { return m_imagePath; }
    void setImagePath(const QString& path) { m_imagePath = path; }
    // File name, without folder, of the picture last loaded.
    const QString& imageFileName() const { return m_imageFileName; }
    void setImageFileName(const QString& name) { m_imageFileName = name; }
    // The name an import took for the map; empty: derived from the picture.
    const QString& mapName() const { return m_mapName; }
    void setMapName(const QString& name) { m_mapName = name; }
    // The .map file the map was imported from or last saved to; empty for a
    // new map. Save replaces this one without asking.
    const QString& mapFilePath() const { return m_mapFilePath; }
    void setMapFilePath(const QString& path) { m_mapFilePath = path; }

    AreaList& areas() { return m_areas; }
    const AreaList& areas() const { return m_areas; }
    // The list box shows this selection. Its current line, when selected, is
    // the one chosen (clicked) last: it carries the handles.
    QItemSelectionModel& selection() { return m_selection; }
    int selectedRow() const;
    void select(int row); // -1 selects nothing
    // Every selected line in list order.
    QList<int> selectedRows() const;
    // Exactly these lines, `current` (one of them) the one chosen last.
    void selectRows(const QList<int>& rows, int current);
    // Adds the line to the selection or takes it out; the line chosen last
    // becomes current, or another selected one when it was taken out.
    void toggle(int row);

    // --- the user's edits, one step each ---
    void drawArea(const QString& line); // described by its shape
    void copyArea(int row);
    void deleteArea(int row);
    void deleteAll();
    // No step when the line stays as it was.
    void changeAttributes(int row, const QString& line);
    // A drag of line `row` from `before` ended with `after`: one step, none
    // when it stays as it was.
    void dragArea(int row, const QString& before, const QString& after, bool wholeArea);
    // A point added to polygon `row` by a right click: its line becomes
    // `line`, one step.
    void addPoint(int row, const QString& line);
    // A new shape for line `row` (a point taken out or put in); no step when
    // it stays as it was.
    void changeShape(int row, const QString& line, const QString& text);
    // Line `from` taken out and put in again at `to`: where areas overlap the
    // first in the list is the one a browser follows.
    void moveInOrder(int from, int to);
    // Several lines changed at once (moved, aligned, deleted, pasted): one
    // step from `before` to `after`, none when they are equal; `current` is
    // chosen again after an undo or redo.
    void changeLines(const AreaLines& before, const AreaLines& after, const QString& text, int current = -1);
    // A move by a key: a run of them on one area is one step.
    void recordKeyMove(int row, const QString& before);
    // The areas from `first` on scaled (x by sx, y by sy): one step; none
    // when no line changes.
    void scaleAreas(int first, double sx, double sy);

    // --- history ---
    const QUndoStack& history() const { return m_history; }
    void undo();
    void redo();
    // Opening a picture or an import starts a new map from the areas held
    // now (none after opening; an import's own added to those it kept): the
    // steps so far no longer apply, and no .map file is its own yet. The
    // picture and the name are set apart, since the commands learn them at
    // different moments.
    void startNew();

    // --- the saved state of the code ---
    // The window tells where the code stands: the fingerprint of the code
    // the code box holds (codeFingerprint(), or a code source's), empty for
    // no code. Until then the code counts as empty.
    void setCodeSource(std::function<QByteArray()> fingerprint) { m_code = std::move(fingerprint); }
    // Nothing would be lost: the window holds nothing (no area, no code: nothing
    // drawn yet, or all of it deleted again) or exactly what was last written
    // to disk, both the areas and the code. Areas never written are unsaved
    // whatever the code box shows, also when it was emptied by hand. Derived
    // each time, so an undo or redo, typing in the code box and a run of
    // moves back to the saved lines all count as they should.
    bool mapSaved() const;
    // The areas and the code as the code source gives it now were written to disk.
    void markSaved();

    // Called by the steps: the row a step has just touched, or -1.
    void setTouchedRow(int row) { m_touchedRow = row; }

signals:
    // Before every change of the areas (an edit, an undo, a redo): a change
    // still in progress (a drag) is recorded now, as a step of its own.
    void aboutToChange();
    // After an undo or redo: the areas are restored; `row` is the line the
    // step touched, to be selected (-1: none).
    void restored(int row);
    // The code was written to disk (markSaved()).
    void savedMarked();

private:
    void push(QUndoCommand* step);
    void pushChange(int row, const QString& before, const QString& after, const QString& text,
                    ChangeAreaCommand::Merge merge = ChangeAreaCommand::Merge::Never);
    void step(void (QUndoStack::*move)());

    QString m_imagePath;
    QString m_imageFileName;
    QString m_mapName;
    QString m_mapFilePath;
    AreaList m_areas;
    QItemSelectionModel m_selection;
    QUndoStack m_history;
    int m_touchedRow = -1;
    std::function<QByteArray()> m_code;
    // Fingerprints of the code and the lines last written: both may be big.
    QByteArray m_savedCode;
    QByteArray m_savedLines;
};

} // namespace korvane
