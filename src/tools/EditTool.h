#pragma once

#include "tools/HandleDrag.h"
#include "tools/SeveralDrag.h"

#include <QPoint>
#include <QPointF>
#include <QRectF>

#include <optional>

namespace korvane {

class ToolContext;

// Edit mode on the canvas. A press chooses the interaction: a handle held
// (its widget's press, or a painted point handle under the pointer), the
// area's body, several selected areas, a band on empty picture, or a point
// put into a polygon. Moves go to that interaction, and the release turns it
// into one undo step (or none); Escape drops it without a trace. Positions
// are picture pixels.
class EditTool {
public:
    explicit EditTool(ToolContext& context) : m_context(context) {}

    // A press on the canvas; true when the canvas holds the pointer until the release.
    bool press(Qt::MouseButton button, QPointF at, bool control);
    void move(Qt::MouseButtons buttons, QPointF at);
    void release(Qt::MouseButton button, QPointF at);

    // Handle `index` pressed on its own widget; moved so that its top-left
    // corner goes to `target`; let go.
    void pressHandle(int index);
    void dragHandle(int index, QPoint target);
    // Ends a handle's or the body's drag as its release would (a body not
    // moved records nothing).
    void finishHandle();
    // The handle drag stops unrecorded (the lines changed beneath it).
    void dropHandle();

    // Any interaction under way; a handle or the body held; several areas held.
    bool busy() const { return m_drag || m_several || m_band; }
    bool handleHeld() const { return m_drag.has_value(); }
    bool severalHeld() const { return m_several.has_value(); }
    // The band as it is shown, in picture pixels; none while no band is drawn.
    std::optional<QRectF> band() const { return m_band ? m_band->shown : std::nullopt; }

    // A key pressed while an interaction runs: Escape drops it; a modifier
    // passes (Alt suspends snapping); every other key waits for the release
    // (in the list only while several areas or a band are held, since a
    // handle's drag ends when the list chooses another line). True: taken.
    bool key(int key, bool onCanvas);
    // Everything as before the press, nothing recorded.
    void cancel();
    // Ends whatever runs as its release would (the button came up elsewhere).
    void finish();
    // The document is about to change from elsewhere: a handle's drag hands
    // its line over first, several areas stop where they were.
    void documentAboutToChange();

private:
    enum class Held { Widget, Painted, Body };
    struct Band {
        QPointF start;
        std::optional<QRectF> shown;
    };

    void startHandle(int index, Held held);
    int wholeAreaHandle() const;
    bool insertPoint(QPointF at);
    void addPoint(QPointF at);
    void moveBand(QPointF at);
    void releaseBand();
    bool releaseSeveral();
    void cancelSeveral();
    void showHandles();

    ToolContext& m_context;
    std::optional<HandleDrag> m_drag;
    Held m_held = Held::Widget;
    std::optional<SeveralDrag> m_several;
    std::optional<Band> m_band;
};

} // namespace korvane
