#pragma once

#include "app/EditorSession.h"

#include <QSize>
#include <QString>

class QWidget;

namespace korvane {

// What a command may ask of the editor's window, and no more. The window
// implements it; the commands hold it beside the session.
class EditorView {
public:
    virtual ~EditorView() = default;

    // The owner of the commands' dialogs and message boxes.
    virtual QWidget* owner() = 0;

    // The redraw and code procedures, in the order the commands call them.
    virtual void neu_zeichnen(int skip, bool regenerate) = 0;
    virtual void reset_zustand() = 0;
    // The rest of the reset once "clear" has emptied the list as a step.
    virtual void showEmptiedList() = 0;
    // Shows the picture of that file; false (and nothing changed) when refused.
    virtual bool bild_laden(const QString& path) = 0;
    virtual QString mapCode() const = 0;
    virtual void setMapCode(const QString& text) = 0;
    virtual QSize pictureSize() const = 0;

    // The Refresh command (Command6), called: redraws the areas, regenerates
    // the code and ends a shape under way.
    virtual void refresh() = 0;
    // The buttons a command presses for the press the user sees (a dialog
    // opens, a window shows); a disabled button does nothing.
    enum class Button { Open, Save, MapImport, HtmlImport, Magnifier };
    virtual void press(Button button) = 0;

    // The question before unsaved code would be discarded. Save: the user
    // said Yes and the save command has run; Cancel: the user said
    // "Abbrechen" (or pressed Escape, or closed the box). The caller stops at
    // both, leaving everything as it was.
    enum class UnsavedCode { None, Save, Discard, Cancel };
    virtual UnsavedCode askAboutUnsavedCode() = 0;
    static bool goesOn(UnsavedCode answer) { return answer == UnsavedCode::None || answer == UnsavedCode::Discard; }
    // The drawing tools and attributes once there is a picture to draw on; an
    // import also enables edit mode, saving, and "copy" when the list has areas.
    enum class ToolsFor { Picture, Import };
    virtual void enablePictureTools(ToolsFor reason) = 0;
    // Chooses an option of the tool bar as a click on it would.
    virtual void chooseOption(ChosenOption option) = 0;
    // Leaves edit mode for the drawing tool it was entered from, once no area
    // is left to edit.
    virtual void backToDrawingMode() = 0;
    // Takes the handles and the anchor of the selected area off the canvas.
    virtual void removeHandles() = 0;
    // The help box beside the options, shown once a command begins its work.
    virtual void showHelpBox() = 0;
    // Shows the session's drawing attributes on the swatches and the canvas.
    virtual void showDrawingAttributes() = 0;
};

} // namespace korvane
