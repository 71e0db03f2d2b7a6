#pragma once

#include <QColor>
#include <QCursor>
#include <QObject>
#include <QPolygon>
#include <QVector>
#include <QWidget>

#include <functional>

namespace korvane {

class AreaList;
class Canvas;
class DrawingSurface;

// One element of lblPoint: a 5 x 5 square on the canvas that reports its
// mouse actions with positions relative to its own top-left corner. Its place
// is its top-left corner in picture pixels as it lies at 100 %; the point it
// marks lies `align` pixels right of and below that corner, and on the screen
// the handle keeps that distance to the point at every zoom.
class HandleWidget : public QWidget {
    Q_OBJECT
public:
    HandleWidget(int index, Canvas* canvas);
    int index() const { return m_index; }
    void setColor(const QColor& color);
    QColor color() const { return m_color; }
    QPoint place() const { return m_place; }
    void setPlace(QPoint place);
    void setPlace(int left, int top) { setPlace(QPoint(left, top)); }
    int align() const { return m_align; }
    void setAlign(int align);
    // Back to its place after the zoom changed.
    void followZoom() { setPlace(m_place); }
    // Asked for the handle's context menu at a screen position; false leaves
    // the request to the canvas.
    std::function<bool(QPoint globalPos)> menu;

signals:
    // Positions as the pointer reports them; the movements truncate them.
    void pressed(int index, Qt::MouseButton button, QPointF position);
    void moved(int index, Qt::MouseButtons buttons, QPointF position);
    void released(int index, Qt::MouseButton button, QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    Canvas* m_canvas;
    int m_index;
    QColor m_color;
    QPoint m_place;
    int m_align = 0;
};

// The handles of the selected area: placing them from its coordinates,
// dragging them, and writing the coordinates back from their positions.
class EditHandles : public QObject {
    Q_OBJECT
public:
    static constexpr int kSize = 5; // w and h of every handle
    // A polygon of more points than this has its point handles painted on
    // the canvas instead of made as widgets: Qt paints each widget against
    // all its siblings, so thousands of handle widgets cost the square of
    // their number (and a traced outline has tens of thousands of points).
    static constexpr int kMostHandleWidgets = 256;

    struct Host {
        std::function<int()> selectedIndex;
        std::function<void(int skip, bool regenerate)> redraw; // neu_zeichnen
        std::function<void()> regenerate;                      // map_daten
        std::function<void(bool)> suspendListUpdates;
        // After a release: the drag turned line `row` from `before` into what
        // it is now (maybe nothing); wholeArea when it moved the area unchanged.
        std::function<void(int row, const QString& before, bool wholeArea)> dragFinished;
        // The context menu of handle `index`; false when it has none.
        std::function<bool(int index, QPoint globalPos)> handleMenu;
        // Snapping: where a dragged point of area `row` goes (within `reach`,
        // where the handle can go), and the move `by` of the whole area that
        // was `before`, corrected. Unset: unchanged.
        std::function<QPoint(int row, QPoint point, const QRect& reach)> snapPoint;
        std::function<QPoint(int row, const QString& before, QPoint by)> snapMove;
    };

    EditHandles(Canvas* canvas, AreaList& areas, DrawingSurface& surface, Host host, QObject* parent = nullptr);
    // Goes before the canvas, which then paints no handles of it.
    ~EditHandles() override;

    // The widget of handle `index`; none for a painted one.
    HandleWidget* handle(int index) const;
    int count() const { return static_cast<int>(m_handles.size() + m_painted.size()); } // anchor included
    // Handle `index`'s place (its top-left corner in picture pixels at 100 %).
    QPoint placeOf(int index) const;
    // The point handles are painted on the canvas (a polygon of many points).
    bool paintsPoints() const { return !m_painted.isEmpty(); }
    HandleWidget* anchor() const { return m_handles.first(); }
    void setHandleColor(const QColor& color); // recolours visible handles 1 and up
    QColor handleColor() const { return m_handleColor; }

    // Removes handles 1 and up; handle 0 stays. A drag in progress ends first.
    void removeHandles();
    void hideAnchor();
    // edit_zeichnen: draws the area in the pen colour, creates and places its handles.
    void edit_zeichnen(int index);
    // Writes line index's coordinates from the handle positions.
    void neue_koordinaten_to_listbox(int index);
    // A right press on the canvas with a polygon selected adds a vertex there.
    void addPolygonVertex(QPointF canvasPoint);
    // The vertex (from 0) of the selected polygon whose handle lies under
    // the pointer, -1 when none does.
    int vertexUnderPointer() const;
    // A handle is held down, or the selected area's body.
    bool isDragging() const { return m_dragging; }
    // Ends a drag in progress as its release would, recording what it did so
    // far; the pointer moves nothing more until the next press.
    void endDrag();
    // Ends a drag in progress with its line as it was at the press, nothing
    // recorded; the handles are placed anew by the caller. The line's row,
    // -1 when nothing was dragged.
    int cancelDrag();

    // Dragging the selected area by its body (a press inside it, positions in
    // picture pixels): the area moves with the pointer as by its anchor, or
    // by its centre for a circle.
    void pressBody(QPointF picturePoint);
    void dragBody(Qt::MouseButtons buttons, QPointF picturePoint);
    void releaseBody();
    // A press on the canvas where a painted point handle lies (the pointer's
    // last place on it): a left press holds that handle as a press on a
    // handle widget does. False when no painted handle lies there.
    bool pressPainted(Qt::MouseButton button);
    // The painted handle held follows the pointer (picture pixels); its release.
    void dragPainted(Qt::MouseButtons buttons, QPointF picturePoint);
    void releasePainted();
    // Moves the selected area and its handles by (dx, dy), less where that
    // would take a coordinate past the picture's edges. The line's old text
    // when it moved, else an empty text.
    QString moveArea(int dx, int dy);

    // The two movements: the handle's top-left corner to `target` (picture
    // pixels), the first kept on the picture, the second horizontally only.
    void moveHandle(HandleWidget* handle, QPoint target);
    void moveHandleHorizontally(HandleWidget* handle, QPoint target);

private:
    HandleWidget* createHandle(int align);
    void onPressed(int index, Qt::MouseButton button);
    void onMoved(int index, Qt::MouseButtons buttons, QPointF position);
    void onReleased(int index);
    void startDrag(int index);
    QPoint keptOnPicture(QPoint target) const;
    void setPlaceOf(int index, QPoint place);
    int alignOf(int index) const;
    void translatePoints(QPoint by);
    // The painted point handle (from 1) under the pointer, -1 when none.
    int paintedHandleAt() const;
    QRect paintedRect(QPoint place) const;
    void updatePainted();
    void paintPoints(QPainter& painter, const QRect& exposed) const;
    void finishDrag();
    void dropDrag();
    void dragTo(int index, QPoint target);
    QPoint snapped(int index, QPoint target) const;
    void dragCircle(int index, QPoint target);
    void dragRect(int index, QPoint target);
    void dragPoly(int index, QPoint target);
    void recentreRectAnchor();
    QString selectedShape() const;
    int wholeAreaHandle() const;

    Canvas* m_canvas;
    AreaList& m_areas;
    DrawingSurface& m_surface;
    Host m_host;
    QVector<HandleWidget*> m_handles;
    // The places of the painted point handles, handle 1 first; empty while
    // every handle is a widget.
    QPolygon m_painted;
    QColor m_handleColor = Qt::blue;
    QCursor m_arrow;
    QWidget* m_pointerHolder = nullptr;
    bool m_dragging = false;
    int m_pressedHandle = -1; // the handle holding the pointer
    Qt::MouseButton m_dragButton = Qt::LeftButton; // that began a drag on a handle widget
    int m_dragRow = -1;
    QString m_lineBeforeDrag;
    bool m_dragMovesWholeArea = false;
    QPoint m_dragStartPlace; // of the pressed handle, for snapping a whole area's move
    // A body drag: the handle it moves, where that was and where the pointer was.
    int m_bodyHandle = -1;
    QPoint m_bodyStartPlace;
    QPointF m_bodyStartPoint;
    bool m_bodyMoved = false;
};

} // namespace korvane
