#pragma once

#include "canvas/DrawingTools.h"

#include <QRect>
#include <QStringList>

#include <functional>

class QWidget;

namespace korvane {

class Canvas;
class EditorSession;
class EditorView;

// Lends the drawing tools the session, the canvas they draw on and what they
// need from the window.
class MainToolHost : public ToolHost {
public:
    struct Window {
        // The link dialog for a new shape shown at `shapeOnScreen`; true when accepted.
        std::function<bool(const QRect& shapeOnScreen)> linkDialog;
        // An area was drawn: there is something to edit now.
        std::function<void()> areaDrawn;
    };
    // `viewport` is the part of the window that shows the canvas.
    MainToolHost(EditorSession& session, EditorView& view, Canvas& canvas, const QWidget& viewport, Window window)
        : m_session(session), m_view(view), m_canvas(canvas), m_viewport(viewport), m_window(std::move(window))
    {
    }
    DrawingSurface& surface() override;
    EditorState& editor() override;
    QColor drawColor() const override;
    QColor buttonFaceColor() const override;
    bool commitShape(const QString& shape, const QString& coords) override;
    // Several shapes at once (every region of a colour traced): one link
    // dialog beside all of them, its answers for each, and one step.
    bool commitShapes(const QString& shape, const QStringList& coords, const QString& stepText);
    void refresh() override;
    void showNextEdge(std::optional<QLineF> edge) override;
    void redrawAreas() override;

private:
    void updateEdge();

    EditorSession& m_session;
    EditorView& m_view;
    Canvas& m_canvas;
    const QWidget& m_viewport;
    Window m_window;
    std::optional<QLineF> m_edge;
};

} // namespace korvane
