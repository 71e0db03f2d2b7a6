#pragma once

#include <QColor>
#include <QLineF>
#include <QList>
#include <QPointF>
#include <QString>

#include <memory>
#include <optional>

namespace korvane {

class DrawingSurface;
struct EditorState;

// What the tools need from the window around them.
class ToolHost {
public:
    virtual ~ToolHost() = default;
    virtual DrawingSurface& surface() = 0;
    virtual EditorState& editor() = 0;
    virtual QColor drawColor() const = 0;       // the lblColor swatch
    virtual QColor buttonFaceColor() const = 0; // erases the pointer's last polygon line
    // Shows the link dialog; when it is accepted, appends the area built from
    // the accepted attributes and returns true.
    virtual bool commitShape(const QString& shape, const QString& coords) = 0;
    virtual void refresh() = 0; // the Refresh command
    // The edge a polygon's next click would add, shown above the picture
    // (nothing drawn into it); nullopt: none.
    virtual void showNextEdge(std::optional<QLineF> edge) = 0;
    // The picture and the areas drawn again (neu_zeichnen(-1, false)),
    // without what a tool drew into it.
    virtual void redrawAreas() = 0;
};

// One drawing tool: press, move and release in canvas pixels. The shape
// being drawn lives in the editor state until it is committed.
class DrawingTool {
public:
    explicit DrawingTool(ToolHost& host) : m_host(host) {}
    virtual ~DrawingTool() = default;
    virtual void press(Qt::MouseButton button, QPointF position) = 0;
    virtual void move(QPointF) {}
    // False when the release handling stopped early (the copy command's
    // state is then left as it is).
    virtual bool release(Qt::MouseButton, QPointF) { return true; }
    // A key on the canvas; true when the tool took it.
    virtual bool key(int) { return false; }
    // The shape under way goes, with what the tool drew of it (another tool
    // was chosen).
    virtual void cancel() {}

protected:
    ToolHost& m_host;
};

// Its points are its own until the closing right click: the next edge
// follows the pointer, Backspace takes the last point back, Escape drops them.
class PolygonTool : public DrawingTool {
public:
    using DrawingTool::DrawingTool;
    void press(Qt::MouseButton button, QPointF position) override;
    void move(QPointF position) override;
    bool key(int key) override;
    void cancel() override;

private:
    void close(QPointF position);
    void takeBackLastPoint();
    void drop();

    QList<QPointF> m_clicked; // where the points were clicked, for drawing their edges again
    QPointF m_pointer;
};

// The rectangle and the circle share the drag with its XOR rubber band.
class DragTool : public DrawingTool {
public:
    using DrawingTool::DrawingTool;
    void press(Qt::MouseButton button, QPointF position) override;
    void move(QPointF position) override;
    bool release(Qt::MouseButton button, QPointF position) override;
    // Escape takes the band back off the picture.
    bool key(int key) override;
    void cancel() override;

protected:
    virtual void drawBand(QPointF start, QPointF end) = 0;
    // Checks the size and commits; false when the drag was too small.
    virtual bool finish(QPointF start, QPointF end) = 0;
};

class RectangleTool : public DragTool {
public:
    using DragTool::DragTool;

protected:
    void drawBand(QPointF start, QPointF end) override;
    bool finish(QPointF start, QPointF end) override;
};

class CircleTool : public DragTool {
public:
    using DragTool::DragTool;

protected:
    void drawBand(QPointF start, QPointF end) override;
    bool finish(QPointF start, QPointF end) override;
};

} // namespace korvane
