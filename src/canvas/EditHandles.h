#pragma once

#include <QColor>
#include <QCursor>
#include <QObject>
#include <QPolygon>
#include <QVector>
#include <QWidget>

#include "tools/HandleGeometry.h"

#include <functional>
#include <optional>

namespace korvane {

class AreaList;
class Canvas;
class DrawingSurface;
class EditTool;
class ToolContext;

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
    static constexpr int kSize = handles::kSize; // w and h of every handle
    // A polygon of more points than this has its point handles painted on
    // the canvas instead of made as widgets: Qt paints each widget against
    // all its siblings, so thousands of handle widgets cost the square of
    // their number (and a traced outline has tens of thousands of points).
    static constexpr int kMostHandleWidgets = 256;

    // `context`: the selection, a handle's menu and the code; a press on a
    // handle is a drag of the edit tool, which holds it.
    EditHandles(Canvas* canvas, AreaList& areas, DrawingSurface& surface, ToolContext& context, EditTool& tool,
                QObject* parent = nullptr);
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
    // A point handle added at `place`, after the others (a point the edit
    // tool added to the selected polygon).
    void addPointHandle(QPoint place);
    // The vertex (from 0) of the selected polygon whose handle lies under
    // the pointer, -1 when none does.
    int vertexUnderPointer() const;
    // A handle is held down, or the selected area's body.
    bool isDragging() const;
    // Ends a drag in progress as its release would, recording what it did so
    // far; the pointer moves nothing more until the next press.
    void endDrag();
    // The handle held lets go of the pointer.
    void letGo();
    // Every handle's place and align, the anchor first.
    QList<QPoint> places() const;
    QList<int> aligns() const;
    // The handles go where a drag put them; the one held comes to the front.
    void showPlaces(const QList<QPoint>& places, int held);
    // The painted point handle (from 1) under the pointer (its last place on
    // the canvas), -1 when none.
    int paintedHandleAt() const;
    // Moves the selected area and its handles by (dx, dy), less where that
    // would take a coordinate past the picture's edges. The line's old text
    // when it moved, else an empty text.
    QString moveArea(int dx, int dy);

private:
    HandleWidget* createHandle(int align);
    void createHandles(const handles::Layout& layout);
    void drawPolygonOutline(const handles::Layout& layout);
    void onPressed(int index, Qt::MouseButton button);
    void onMoved(int index, Qt::MouseButtons buttons, QPointF position);
    void onReleased(int index);
    void setPlaceOf(int index, QPoint place);
    int alignOf(int index) const;
    void translatePoints(QPoint by);
    QRect paintedRect(QPoint place) const;
    void updatePainted();
    void paintPoints(QPainter& painter, const QRect& exposed) const;
    void dropDrag();
    QString selectedShape() const;

    Canvas* m_canvas;
    AreaList& m_areas;
    DrawingSurface& m_surface;
    ToolContext& m_context;
    EditTool& m_tool;
    QVector<HandleWidget*> m_handles;
    // The places of the painted point handles, handle 1 first; empty while
    // every handle is a widget.
    QPolygon m_painted;
    QColor m_handleColor = Qt::blue;
    QCursor m_arrow;
    QWidget* m_pointerHolder = nullptr;
    int m_pressedHandle = -1; // the handle holding the pointer
    Qt::MouseButton m_dragButton = Qt::LeftButton; // that began a drag on a handle widget
};

} // namespace korvane
