#pragma once

#include "canvas/EditorState.h"

#include <QObject>

namespace korvane {

// The option the user chose in the tool bar: a drawing tool or edit mode.
// Edit mode may stay chosen while not editing (after "clear"). Trace
// ("Umriss", chosen in the Werkzeuge menu) has no option of its own: none
// is checked while it is chosen.
enum class ChosenOption { Polygon = 0, Rectangle = 1, Circle = 2, Edit = 3, Trace = 4 };

// The one writer of the chosen tool, of edit mode and of which tools may be
// chosen. The option buttons, the keys and the menu ask it; the window shows
// what it signals.
class ToolManager : public QObject {
    Q_OBJECT
public:
    // Keeps the editor state's mode and shape keyword in step.
    explicit ToolManager(EditorState& editor) : m_editor(editor) {}

    ChosenOption chosen() const { return m_chosen; }
    bool editChosen() const { return m_chosen == ChosenOption::Edit; }
    bool editing() const { return m_editor.editMode; }
    // The option drawn with last (polygon, rectangle, circle): edit mode keeps
    // it (and its drawing mode).
    ChosenOption drawingTool() const { return m_drawingTool; }

    void choose(ChosenOption option);
    void setEditing(bool on);

    // Whether `option` may be chosen: the drawing tools (trace too) once
    // there is a picture or an import, edit mode once there is something to edit.
    bool enabled(ChosenOption option) const;
    void enableDrawing(bool on);
    void enableEdit(bool on);

signals:
    // The chosen tool or the mode changed.
    void changed();
    // Told at every enabling, changed or not: the edit option, or the drawing tools.
    void enabledChanged(bool editOption);

private:
    EditorState& m_editor;
    ChosenOption m_chosen = ChosenOption::Polygon;
    ChosenOption m_drawingTool = ChosenOption::Polygon;
    bool m_drawingEnabled = false;
    bool m_editEnabled = false;
};

} // namespace korvane
