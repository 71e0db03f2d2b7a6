#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace korvane {

class MapDocument;

// All a tool may use of the editor around it. The window implements it once;
// the tools' tests implement it without a window.
class ToolContext {
public:
    virtual ~ToolContext() = default;
    virtual MapDocument& document() = 0;
    virtual QSize pictureSize() const = 0;

    // Snapping (unchanged when it is off): where a point of area `row` goes,
    // a target outside `reach` catching nothing; and the move `by` of the
    // area `row` that was `before`, corrected.
    virtual QPoint snapPoint(int row, QPoint point, const QRect& reach) = 0;
    virtual QPoint snapMove(int row, const QString& before, QPoint by) = 0;
    // The move `by` of the selected areas `rows`, caught by the points of the
    // one held, which was `held`.
    virtual QPoint snapMoveSeveral(const QString& held, const QList<int>& rows, QPoint by) = 0;
    // The snapping mark goes.
    virtual void unmark() = 0;

    // While an interaction runs, the canvas shows area `row` as `line` in its
    // place, drawn as every area is; the document keeps its own line.
    virtual void showPreview(int row, const QString& line) = 0;
    // The area is shown from the document again.
    virtual void endPreview() = 0;
    // Areas `rows` shown moved by `offset` above the others, their lines not
    // yet changed; endMoved(): drawn in their places again, at once when
    // `redraw` (else by the step that follows).
    virtual void showMoved(const QList<int>& rows, QPoint offset) = 0;
    virtual void endMoved(bool redraw) = 0;
    // The list holds still while an interaction runs, and follows after.
    virtual void holdList(bool hold) = 0;
    // neu_zeichnen(-1, regenerate).
    virtual void redraw(bool regenerate) = 0;
};

} // namespace korvane
