#pragma once

#include "canvas/DrawingTools.h"

#include <QRect>
#include <QStringList>


class QWidget;

namespace korvane {

class Canvas;
class EditorSession;
class EditorView;
class ToolContext;

// Lends the drawing tools the session, the canvas they draw on and what they
// need from the window.
class MainToolHost : public ToolHost {
public:
    // `viewport` is the part of the window that shows the canvas; `context`
    // asks for the link.
    MainToolHost(EditorSession& session, EditorView& view, ToolContext& context, Canvas& canvas,
                 const QWidget& viewport)
        : m_session(session), m_view(view), m_context(context), m_canvas(canvas), m_viewport(viewport)
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
    ToolContext& m_context;
    Canvas& m_canvas;
    const QWidget& m_viewport;
    std::optional<QLineF> m_edge;
};

} // namespace korvane
