#pragma once

#include <QColor>
#include <QCursor>
#include <QObject>
#include <QVector>
#include <QWidget>

#include <functional>

namespace korvane {

class AreaList;
class DrawingSurface;

// One element of lblPoint: a 5 x 5 square on the canvas that reports its
// mouse actions with positions relative to its own top-left corner.
class HandleWidget : public QWidget {
    Q_OBJECT
public:
    HandleWidget(int index, QWidget* canvas);
    int index() const { return m_index; }
    void setColor(const QColor& color);
    QColor color() const { return m_color; }

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

private:
    int m_index;
    QColor m_color;
};

// The handles of the selected area: placing them from its coordinates,
// dragging them, and writing the coordinates back from their positions.
class EditHandles : public QObject {
    Q_OBJECT
public:
    static constexpr int kSize = 5; // w and h of every handle

    struct Host {
        std::function<int()> selectedIndex;
        std::function<void(int skip, bool regenerate)> redraw; // neu_zeichnen
        std::function<void()> regenerate;                      // map_daten
        std::function<void(bool)> suspendListUpdates;
        // After a release: the drag turned line `row` from `before` into what
        // it is now (maybe nothing); wholeArea when it moved the area unchanged.
        std::function<void(int row, const QString& before, bool wholeArea)> dragFinished;
    };

    EditHandles(QWidget* canvas, AreaList& areas, DrawingSurface& surface, Host host, QObject* parent = nullptr);

    HandleWidget* handle(int index) const;
    int count() const { return static_cast<int>(m_handles.size()); } // anchor included
    HandleWidget* anchor() const { return m_handles.first(); }
    void setHandleColor(const QColor& color); // recolours visible handles 1 and up
    QColor handleColor() const { return m_handleColor; }

    // Removes handles 1 and up; handle 0 stays.
    void removeHandles();
    void hideAnchor();
    // edit_zeichnen: draws the area in the pen colour, creates and places its handles.
    void edit_zeichnen(int index);
    // Writes line index's coordinates from the handle positions.
    void neue_koordinaten_to_listbox(int index);
    // A right press on the canvas with a polygon selected adds a vertex there.
    void addPolygonVertex(QPointF canvasPoint);
    // A handle is held down.
    bool isDragging() const { return m_dragging; }

    // The two movements; x, y relative to the handle.
    void moveHandle(HandleWidget* handle, Qt::MouseButtons button, QPointF offset);
    void moveHandleHorizontally(HandleWidget* handle, Qt::MouseButtons button, QPointF offset);

private:
    HandleWidget* createHandle();
    void onPressed(int index, Qt::MouseButton button);
    void onMoved(int index, Qt::MouseButtons buttons, QPointF position);
    void onReleased(int index);
    void dragCircle(int index, QPointF position);
    void dragRect(int index, QPointF position);
    void dragPoly(int index, QPointF position);
    void recentreRectAnchor();
    QString selectedShape() const;

    QWidget* m_canvas;
    AreaList& m_areas;
    DrawingSurface& m_surface;
    Host m_host;
    QVector<HandleWidget*> m_handles;
    QColor m_handleColor = Qt::blue;
    QCursor m_arrow;
    QWidget* m_pointerHolder = nullptr;
    bool m_dragging = false;
    int m_dragRow = -1;
    QString m_lineBeforeDrag;
    bool m_dragMovesWholeArea = false;
};

} // namespace korvane
