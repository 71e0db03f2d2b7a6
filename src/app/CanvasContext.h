#pragma once

#include "tools/ToolContext.h"

#include <QList>
#include <QRectF>

class QRubberBand;
class QWidget;

namespace korvane {

class AreaRenderer;
class DrawingSurface;
class Canvas;
class EditHandles;
class MainToolHost;
class EditorSession;
class EditorView;
class Snapping;

// What the context asks of the window: the selection shown as the list and
// the canvas show it, a point handle's menu and the code (see ToolContext).
class CanvasWindow {
public:
    virtual void selectFromCanvas(int row) = 0;
    virtual void toggleFromCanvas(int row) = 0;
    virtual void showSeveral(const QList<int>& rows, int current) = 0;
    virtual void showSelection() = 0;
    virtual void showChangedArea(int row) = 0;
    virtual bool pointMenu(int handle, QPoint globalPos) = 0;
    virtual void map_daten() = 0;
    virtual bool askLink(const QRect& shapeOnScreen) = 0;

protected:
    ~CanvasWindow() = default;
};

// The tools' context as the window gives it: the session's document, the
// canvas and its renderer, snapping and the list that holds still.
class CanvasContext : public ToolContext {
public:
    CanvasContext(EditorSession& session, EditorView& view, CanvasWindow& window, Canvas& canvas,
                  AreaRenderer& renderer, QWidget& list)
        : m_session(session), m_view(view), m_window(window), m_canvas(canvas), m_renderer(renderer),
          m_list(list)
    {
    }
    // Snapping and the handles are made after the tool that uses this context.
    void setSnapping(Snapping* snapping) { m_snapping = snapping; }
    void setHandles(EditHandles* handles) { m_handles = handles; }
    // The drawing tools' host, which makes new areas.
    void setToolHost(MainToolHost* host) { m_toolHost = host; }

    MapDocument& document() override;
    QSize pictureSize() const override;
    QPoint snapPoint(int row, QPoint point, const QRect& reach) override;
    QPoint snapMove(int row, const QString& before, QPoint by) override;
    QPoint snapMoveSeveral(const QString& held, const QList<int>& rows, QPoint by, bool byKey) override;
    void unmark() override;
    void showPreview(int row, const QString& line) override;
    void endPreview() override;
    void showMoved(const QList<int>& rows, QPoint offset) override;
    void endMoved(bool redraw) override;
    // Areas are shown moved on the overlay, out of the picture.
    bool movedShown() const { return m_movedShown; }
    void holdList(bool hold) override;
    void redraw(bool regenerate) override;
    int areaAt(QPointF point) const override;
    QList<int> areasInside(const QRectF& band) const override;
    void select(int row) override;
    void toggle(int row) override;
    void selectSeveral(const QList<int>& rows, int current) override;
    void showSelection() override;
    void showChanged(int row) override;
    void inform(const QString& text) override;
    bool askLink(const QRect& shapeOnScreen) override;
    const QImage& picture() const override;
    bool addPolygon(const QString& coords) override;
    bool addPolygons(const QStringList& coords, const QString& stepText) override;
    void repaintOverlay() override;
    double catchReach() const override;
    QList<QPoint> handlePlaces() const override;
    QList<int> handleAligns() const override;
    int paintedHandleAt() const override;
    void showHandles(const QList<QPoint>& places, int held) override;
    void showAddedPoint(QPoint place) override;
    bool pointMenu(int handle, QPoint globalPos) override;
    void regenerate() override;
    QRectF showBand(const QRectF& band) override;
    void endBand() override;
    void letGo() override;

private:
    void paintMoved(DrawingSurface& target, const QRectF& visible) const;

    EditorSession& m_session;
    EditorView& m_view;
    CanvasWindow& m_window;
    Canvas& m_canvas;
    AreaRenderer& m_renderer;
    QWidget& m_list;
    Snapping* m_snapping = nullptr;
    EditHandles* m_handles = nullptr;
    MainToolHost* m_toolHost = nullptr;
    QRubberBand* m_band = nullptr; // made at the first band
    bool m_movedShown = false;
    QList<int> m_movedRows;
    QPoint m_movedBy;
};

} // namespace korvane
