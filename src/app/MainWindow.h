#pragma once

#include "app/CanvasContext.h"
#include "app/CodeBox.h"
#include "app/EditorSession.h"
#include "app/commands/DialogCommands.h"
#include "app/commands/EditorView.h"
#include "app/commands/FileCommands.h"
#include "app/commands/ImportCommands.h"
#include "app/commands/ListCommands.h"
#include "app/commands/RefreshCommand.h"
#include "app/commands/SettingsCommands.h"

#include <QColor>
#include <QImage>
#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QCheckBox;
class QGroupBox;
class QLabel;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;

namespace korvane {

enum class AreaEdit;
class AreaRenderer;
class AreaTableCommand;
class Canvas;
class CanvasContext;
class CodeBoxMenu;
class FormsMenu;
class DrawingSurface;
class DrawingTool;
class EditHandles;
class EditTool;
class MainToolHost;
class MapCheckCommand;
class AreaClipboard;
class PolygonPoints;
class RecentFiles;
class RecoveryKeeper;
class SeveralAreas;
class Snapping;
class StackingMenu;
class StatusLine;
class TraceControls;
class UndoControls;
class ZoomControls;

// frmMapEdit: the editor's one main window. It owns the editor session (the
// open map, the program-wide values, the tools' state and the drawing
// attributes) and shows it; it builds the controls, lays them out, handles
// the canvas and the list, and connects the buttons to the commands in
// app/commands, which reach the window only through EditorView.
class MainWindow : public QMainWindow, public EditorView, private CanvasWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The controls, named as the objectNames they carry.
    struct Controls {
        QWidget* picOben = nullptr;      // tool bar
        QWidget* Picture4 = nullptr;     // side panel
        QWidget* picUnten = nullptr;     // bottom panel
        QWidget* picContainer = nullptr; // viewport
        Canvas* Picture1 = nullptr;
        QScrollBar* VScroll1 = nullptr;
        QScrollBar* HScroll1 = nullptr;

        QPushButton* Command1 = nullptr;  // Open
        QPushButton* Command7 = nullptr;  // Save
        QPushButton* Command8 = nullptr;  // Map import
        QPushButton* Command11 = nullptr; // Html import
        QPushButton* Command12 = nullptr; // Export
        QPushButton* Command13 = nullptr; // Help
        QPushButton* Command6 = nullptr;  // Refresh
        QPushButton* Command10 = nullptr; // copy
        QPushButton* Command3 = nullptr;  // clear
        QPushButton* Command9 = nullptr;  // edit
        QPushButton* Command4 = nullptr;  // magnifier
        QPushButton* cmdClipboard = nullptr;
        QGroupBox* Frame3 = nullptr;

        QRadioButton* Option1[4] = {};
        QPlainTextEdit* txtHelp = nullptr;
        QLabel* Label1 = nullptr; // "Arealliste:"
        QListView* List1 = nullptr;
        QLabel* Picture2 = nullptr;  // trash
        QGroupBox* Frame1 = nullptr; // "Farben wählen"
        QRadioButton* Option2[3] = {};
        QWidget* picColor = nullptr;
        QLabel* lblColor = nullptr;
        QLabel* lblFuellfarbe = nullptr;
        QLabel* lblZiehpunkt = nullptr;
        QGroupBox* Frame2 = nullptr; // "Liniendicke"
        QLabel* Image1[3] = {};
        QCheckBox* chkGefuellt = nullptr;
        QLabel* lblPos = nullptr;
        QLabel* lblZoom = nullptr; // the canvas's zoom, beside the position
        QLabel* Label3 = nullptr;  // mode label
        QTimer* Timer1 = nullptr;
        CodeBox* txtMap = nullptr;
    } ui;

    EditorSession& session() { return m_session; }
    ProgramState& state() { return m_session.state(); }
    // The open map: its picture and name, lines, selection, saved state and undo history.
    MapDocument& document() { return m_session.document(); }
    AreaList& areas() { return m_areas; }
    EditorState& editorState() { return m_editor; }
    // The selected line of List1, -1 when none.
    int selectedIndex() const;
    void setSelectedIndex(int index);

    // What the commands ask of the window (EditorView).
    QWidget* owner() override { return this; }
    void neu_zeichnen(int skip, bool regenerate) override;
    void reset_zustand() override;
    void showEmptiedList() override;
    // Shows the picture of that file. A file that is refused (not a picture,
    // empty, too big) is reported and changes nothing: false.
    bool bild_laden(const QString& path) override;
    QString mapCode() const override;
    QSize pictureSize() const override;
    void press(Button button) override;
    UnsavedCode askAboutUnsavedCode() override;
    void enablePictureTools(ToolsFor reason) override;
    // Checks the option from code; the mode switch runs as on a click.
    void chooseOption(ChosenOption option) override;
    // "Umriss" as the chosen tool: every option unchecked, its help shown.
    void chooseTrace();
    // Unchecks the edit option and checks the drawing tool it was entered from.
    void backToDrawingMode() override;
    void removeHandles() override;
    void showHelpBox() override;
    void showDrawingAttributes() override;

    void map_daten() override;
    void setMapCode(const QString& text) override;
    void refresh() override { m_refreshCommand.run(); }
    // Canvas position and scroll bars after the canvas size changed; the bars
    // go as near to `scroll` as they can.
    void layoutCanvas(QPoint scroll = {});
    void ini_read() { SettingsCommands(m_session, *this).read(); }
    void ini_write() { SettingsCommands(m_session, *this).write(); }

    // Drawing attributes shown by the swatches and used by the canvas.
    void setDrawColor(const QColor& color);
    void setFillColor(const QColor& color);
    void setHandleColor(const QColor& color);
    void setLineWidth(int width);
    void setFillStyle(int style); // 1 transparent, 7 diagonal cross-hatch
    QColor drawColor() const;
    QColor fillColor() const;
    QColor handleColor() const;
    int lineWidth() const;
    int fillStyle() const;

    // The link dialog as the drawing tools call it; runLinkDialog unless a
    // caller (a test) puts another answer in.
    std::function<bool()> linkDialog;

    // Canvas editing.
    EditHandles& handles() { return *m_handles; }
    AreaRenderer& renderer() { return *m_renderer; }
    ZoomControls& zoom() { return *m_zoomControls; }
    Snapping& snapping() { return *m_snapping; }
    void edit_zeichnen(int index);
    void neue_koordinaten_to_listbox(int index);
    void showHelpText(int option); // the help text of a tool (0 to 2) or of edit mode (3)
    void showToolStates(bool editOption);
    // Screen twips per pixel (15 on a standard screen).
    int twipsPerPixel() const;
    // The docked regions, the viewport and the scroll bars after a size change.
    void layoutWindow();
    // Shrinks and moves the window where it would reach past the screen's
    // free area (a small or scaled screen); where it fits it stays as it is.
    void fitIntoScreen();
    QSize frameAround() const; // title bar and borders the window system adds

    // Dialogs used by the drawing tools and the "edit" command.
    bool askLink(const QRect& shapeOnScreen) override; // through linkDialog
    bool runLinkDialog() { return m_dialogCommands.linkDialog(std::exchange(m_newShapeOnScreen, QRect())); }                  // frmVerweis; true when accepted
    void runAttributeEditor(int index) { m_dialogCommands.attributeEditor(index); } // frmEdit on line index

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void createToolBar();
    void createSidePanel();
    void createColorFrame();
    void connectCommands();
    // The menu bar, the status line and the recently used files (MainWindowMenus.cpp).
    void createMenus();
    void codeTextChanged();
    QImage decodeInPlace(const QString& path, QString* error, QImage* transparency);
    // Frees the picture shown before another picture is decoded, so that two
    // big pictures never meet in memory; decodeInPlace() puts it back when the
    // new file is refused (a small one kept, a big one read again).
    void putPictureAside();
    void redrawAsShown();
    void connectCanvas();
    void setUpKeyboard();
    bool keyboardUse(QObject* watched, QEvent* event);
    void drawTitleScreen();

    // Mode and drawing attributes.
    void modeSwitch(int i);
    void blinkModeLabel();
    void leaveEditMode();
    // Label3, its blinking and the editing flag for drawing or edit mode.
    void showMode(bool editing);

    // The canvas mouse handlers.
    void canvasPressed(Qt::MouseButton button, QPointF position);
    void canvasMoved(QPointF position, Qt::MouseButtons buttons);
    void canvasReleased(Qt::MouseButton button, QPointF position);
    // The keys on the canvas in edit mode: moving and choosing areas.
    bool canvasKey(QEvent* event);
    void moveSelectedArea(QPoint by);
    bool selectNeighbour(int direction); // false past either end of the list
    void selectFromCanvas(int row) override;
    DrawingTool* currentTool() const;
    bool rightPressActs() const;
    // Right clicks that neither draw nor edit open the context menu instead.
    bool canvasContextMenu(QEvent* event);
    bool m_rightPressActed = false;
    // Shape work (MainWindowShapes.cpp): order, points; the entries the context
    // menus of canvas and list add in edit mode.
    void createShapeCommands();
    QList<QAction*> areaMenuEntries();
    bool orderKey(int key);
    bool pointMenu(int handle, QPoint globalPos) override;
    bool deletePointKey(QEvent* event);
    void showChangedArea(int row) override;
    StackingMenu* m_stacking = nullptr;
    std::unique_ptr<PolygonPoints> m_points;
    // Several areas at once: Ctrl+click, rubber band, Ctrl+A, moving,
    // aligning, deleting and copying them together; the clipboard keys.
    void showSeveral(const QList<int>& rows, int current) override;
    void showSelection() override;
    void drawSelectionHighlights();
    void toggleFromCanvas(int row) override;
    bool controlClickInList(QEvent* event);
    bool selectAllKey(QEvent* event);
    bool clipboardKey(QEvent* event);
    // The area entries of the Bearbeiten menu and their keys on the canvas
    // and the list: whether one acts now, and acting.
    bool areaEditAvailable(AreaEdit edit) const;
    void runAreaEdit(AreaEdit edit);
    SeveralAreas* m_several = nullptr;
    // Snapping (ShapeHooks.cpp): the points the drawing tools take, handles,
    // dragged areas and key moves; the canvas menu's entries.
    QPointF drawingPoint(QPointF position, Qt::MouseButton button);
    QList<QAction*> canvasMenuEntries();
    Snapping* m_snapping = nullptr;
    bool m_highlightsLater = false; // the next redraw leaves the highlights to the one after it
    AreaClipboard* m_clipboard = nullptr;

    // The area list and its commands.
    void listSelected();
    bool deleteKey(QEvent* event); // handled: the Delete key in the list or on the canvas

    // A drag in edit mode: a handle or an area's body held, several areas
    // held, or a band being drawn.
    bool dragUnderWay() const;
    // Keys while a drag is under way go to the edit tool; a drag whose button
    // is no longer held (its release went to another window) ends first, as
    // its release would. Handled: true.
    bool keyDuringDrag(QEvent* event, bool onCanvas);

    // Undo and redo.
    bool shapeInProgress() const;
    bool keyWaitsForShape(QEvent* event, bool onCanvas) const; // handled: ignored until the shape is done
    void showRestoredState(int row);

    // The picture put aside while another one is decoded: kept in memory, or
    // for a big one, the file it is read from again.
    struct PictureAside {
        QImage picture;
        QImage transparency;
        QString file;
        double zoom = 1.0;
        QPoint scroll;
    };
    std::optional<PictureAside> m_pictureAside;
    QString m_pictureFile; // the file of the picture shown, when bild_laden() loaded it
    QRect m_newShapeOnScreen; // the shape just drawn, which the link dialog must not cover
    bool m_fittedWithFrame = false; // fitted again once the real frame was known

    EditorSession m_session;
    ProgramState& m_state{m_session.state()};
    MapDocument& m_document{m_session.document()};
    AreaList& m_areas{m_session.areas()};
    EditorState& m_editor{m_session.editor()};
    FileCommands m_fileCommands{m_session, *this};
    ImportCommands m_importCommands{m_session, *this};
    DialogCommands m_dialogCommands{m_session, *this};
    ListCommands m_listCommands{m_session, *this};
    RefreshCommand m_refreshCommand{m_session, *this};
    UndoControls* m_undoControls = nullptr;
    ZoomControls* m_zoomControls = nullptr;
    AreaTableCommand* m_areaTable = nullptr;
    MapCheckCommand* m_mapCheck = nullptr;
    CodeBoxMenu* m_codeBoxMenu = nullptr;
    FormsMenu* m_formsMenu = nullptr;
    StatusLine* m_statusLine = nullptr;
    TraceControls* m_trace = nullptr; // the tracing tool's entries, painting and settings
    std::unique_ptr<AreaRenderer> m_renderer;
    std::unique_ptr<CanvasContext> m_canvasContext;
    std::unique_ptr<EditTool> m_editTool;
    std::unique_ptr<EditHandles> m_handles;
    std::unique_ptr<MainToolHost> m_toolHost;
    std::array<std::unique_ptr<DrawingTool>, 3> m_tools;
};

// Opens a file from outside in that window (see OpenFromOutside.h).
void openFromOutside(MainWindow& window, const QString& path, int othersLeftOut = 0);
// Gives that window its recovery file (see RecoveryStart.h).
RecoveryKeeper* attachRecovery(MainWindow& window);

} // namespace korvane
