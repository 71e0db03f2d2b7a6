#pragma once

#include "picture/PicturePrefetch.h"
#include "io/PageReadAhead.h"
#include "canvas/DrawingSurface.h"
#include "canvas/EditorState.h"
#include "document/MapDocument.h"
#include "model/ProgramState.h"
#include "tools/AreaPreview.h"
#include "tools/ToolManager.h"

#include <QColor>
#include <QFileInfo>
#include <QString>

#include <functional>

namespace korvane {

// The drawing attributes as the user chose them; the swatches, the width
// images and the check box show them, the canvas draws with them.
struct DrawingAttributes {
    QColor draw = Qt::red;
    QColor fill = Qt::cyan;
    QColor handles = Qt::blue;
    int lineWidth = 1; // 1 to 3
    FillStyle fillStyle = FillStyle::Transparent;
};

// Everything the editor holds for one run, without a widget: the open map,
// the program-wide values, the state of the canvas tools, the drawing
// attributes and what one command hands to the next. The window shows it;
// the commands work on it.
class EditorSession {
public:
    MapDocument& document() { return m_document; }
    const MapDocument& document() const { return m_document; }
    AreaList& areas() { return m_document.areas(); }
    const AreaList& areas() const { return m_document.areas(); }
    ProgramState& state() { return m_state; }
    EditorState& editor() { return m_editor; }
    const EditorState& editor() const { return m_editor; }
    // What a drag shows of an area before the document takes it.
    AreaPreview& preview() { return m_preview; }
    const AreaPreview& preview() const { return m_preview; }
    DrawingAttributes& drawing() { return m_drawing; }
    const DrawingAttributes& drawing() const { return m_drawing; }

    // The chosen tool and mode, written there only.
    ToolManager& tools() { return m_tools; }
    const ToolManager& tools() const { return m_tools; }
    ChosenOption chosenOption() const { return m_tools.chosen(); }
    bool editChosen() const { return m_tools.editChosen(); }

    // A file from outside (command line, drop) that the next open dialog
    // returns instead of asking the user; taking it clears it.
    void presetOpenChoice(const QString& path) { m_presetOpenPath = path; }
    QString takePresetOpenChoice() { return std::exchange(m_presetOpenPath, QString()); }
    // The one file from outside whose decoder goes by its content, not its
    // name (a picture under another extension); empty for none.
    const QString& decodeByContentPath() const { return m_decodeByContentPath; }
    void setDecodeByContentPath(const QString& absolutePath) { m_decodeByContentPath = absolutePath; }
    bool decodesByContent(const QString& path) const
    {
        return !m_decodeByContentPath.isEmpty() && QFileInfo(path).absoluteFilePath() == m_decodeByContentPath;
    }
    // Set by an import for the open command it presses so that the user
    // picks the picture its file names: that open loads the picture for the
    // areas held now (kept ones among them), so it asks nothing about them and
    // takes none away. Taking it clears it.
    void setOpenKeepsAreas(bool keeps) { m_openKeepsAreas = keeps; }
    bool takeOpenKeepsAreas() { return std::exchange(m_openKeepsAreas, false); }
    // The picture an import decodes beside its reading, for the open that follows.
    PicturePrefetch& prefetch() { return m_prefetch; }
    // The page named on the command line, read while the window was built,
    // for the Html command that opens it.
    import::PageReadAhead& pageAhead() { return m_pageAhead; }

    // Told of every file a command opened, or imported areas from, once it
    // succeeded: the recently used files follow it.
    void setFileOpenedListener(std::function<void(const QString&)> listener) { m_fileOpened = std::move(listener); }
    void fileOpened(const QString& path) const
    {
        if (m_fileOpened)
            m_fileOpened(path);
    }

    // Set while a command changes the selection itself: the window then does
    // not follow the change as it follows a click on a line.
    bool selectionQuiet() const { return m_selectionQuiet; }
    void setSelectionQuiet(bool quiet) { m_selectionQuiet = quiet; }

private:
    ProgramState m_state;
    MapDocument m_document;
    EditorState m_editor;
    ToolManager m_tools{m_editor};
    AreaPreview m_preview;
    DrawingAttributes m_drawing;
    QString m_presetOpenPath;
    QString m_decodeByContentPath;
    bool m_selectionQuiet = false;
    bool m_openKeepsAreas = false;
    std::function<void(const QString&)> m_fileOpened;
    import::PageReadAhead m_pageAhead;
    PicturePrefetch m_prefetch; // last: its thread ends before anything else goes
};

} // namespace korvane
