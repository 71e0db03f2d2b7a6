#pragma once

#include "tools/ToolContext.h"

#include <QList>
#include <QRectF>

class QWidget;

namespace korvane {

class AreaRenderer;
class DrawingSurface;
class Canvas;
class EditorSession;
class EditorView;
class Snapping;

// The tools' context as the window gives it: the session's document, the
// canvas and its renderer, snapping and the list that holds still.
class CanvasContext : public ToolContext {
public:
    CanvasContext(EditorSession& session, EditorView& view, Canvas& canvas, AreaRenderer& renderer, QWidget& list)
        : m_session(session), m_view(view), m_canvas(canvas), m_renderer(renderer), m_list(list)
    {
    }
    // Snapping is made after the handles that use this context.
    void setSnapping(Snapping* snapping) { m_snapping = snapping; }

    MapDocument& document() override;
    QSize pictureSize() const override;
    QPoint snapPoint(int row, QPoint point, const QRect& reach) override;
    QPoint snapMove(int row, const QString& before, QPoint by) override;
    QPoint snapMoveSeveral(const QString& held, const QList<int>& rows, QPoint by) override;
    void unmark() override;
    void showPreview(int row, const QString& line) override;
    void endPreview() override;
    void showMoved(const QList<int>& rows, QPoint offset) override;
    void endMoved(bool redraw) override;
    // Areas are shown moved on the overlay, out of the picture.
    bool movedShown() const { return m_movedShown; }
    void holdList(bool hold) override;
    void redraw(bool regenerate) override;

private:
    void paintMoved(DrawingSurface& target, const QRectF& visible) const;

    EditorSession& m_session;
    EditorView& m_view;
    Canvas& m_canvas;
    AreaRenderer& m_renderer;
    QWidget& m_list;
    Snapping* m_snapping = nullptr;
    bool m_movedShown = false;
    QList<int> m_movedRows;
    QPoint m_movedBy;
};

} // namespace korvane
