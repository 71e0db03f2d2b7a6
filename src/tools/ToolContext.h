#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

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
    // one held, which was `held`; a key's move keeps its direction.
    virtual QPoint snapMoveSeveral(const QString& held, const QList<int>& rows, QPoint by, bool byKey) = 0;
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

    // The areas as a click chooses them: the one a click at `point` takes
    // (-1: none), those wholly inside `band`.
    virtual int areaAt(QPointF point) const = 0;
    virtual QList<int> areasInside(const QRectF& band) const = 0;
    // The selection, shown as a click on a line shows it: area `row` alone;
    // `row` added or taken out; exactly `rows`, `current` chosen last; the
    // selection as it is, drawn anew with its handles.
    virtual void select(int row) = 0;
    virtual void toggle(int row) = 0;
    virtual void selectSeveral(const QList<int>& rows, int current) = 0;
    virtual void showSelection() = 0;
    // Area `row` after its shape changed: drawn, coded and chosen again.
    virtual void showChanged(int row) = 0;
    // A message box with that text.
    virtual void inform(const QString& text) = 0;
    // The link dialog for a new shape shown at `shapeOnScreen` (global
    // screen pixels, which the dialog leaves in sight); true when accepted.
    virtual bool askLink(const QRect& shapeOnScreen) = 0;
    // The picture the areas are drawn on (not the drawing over it).
    virtual const QImage& picture() const = 0;
    // A new polygon with these coordinates, as a drawn shape is made: the
    // link asked for, one step, Refresh; true when it was made. Several:
    // one question, one step `stepText`.
    virtual bool addPolygon(const QString& coords) = 0;
    virtual bool addPolygons(const QStringList& coords, const QString& stepText) = 0;
    // What a tool paints over the picture changed: painted again.
    virtual void repaintOverlay() = 0;
    // How near (picture pixels) the pointer catches an edge at this zoom.
    virtual double catchReach() const = 0;

    // The handles of the selected area: their places (top-left corners, the
    // anchor first) and aligns (see handles::Layout); the painted point
    // handle (from 1) under the pointer, -1 when none; the handles shown at
    // `places`, `held` in front; a point handle added at `place`, the area
    // drawn and coded with it.
    virtual QList<QPoint> handlePlaces() const = 0;
    virtual QList<int> handleAligns() const = 0;
    virtual int paintedHandleAt() const = 0;
    virtual void showHandles(const QList<QPoint>& places, int held) = 0;
    virtual void showAddedPoint(QPoint place) = 0;
    // The menu of point handle `handle` at `globalPos` (screen); false when
    // it has none.
    virtual bool pointMenu(int handle, QPoint globalPos) = 0;
    // The code made anew from the lines (map_daten).
    virtual void regenerate() = 0;

    // The band from the press to the pointer, shown; the band as it is shown
    // (to whole screen pixels), in picture pixels.
    virtual QRectF showBand(const QRectF& band) = 0;
    virtual void endBand() = 0;
    // The canvas and the handles let go of the pointer.
    virtual void letGo() = 0;
};

} // namespace korvane
