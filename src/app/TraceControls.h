#pragma once

#include <QObject>
#include <QPointF>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QDoubleSpinBox;
class QSpinBox;
class QWidget;
class QWidgetAction;

namespace korvane {

class Canvas;
class EditorSession;
class ToolContext;
class TraceTool;

// The window's side of the tracing tool: its entry "Umriss" (Werkzeuge menu,
// Ctrl+5), its entries in the canvas's context menu (tolerance, precision,
// every region of a colour), its painting on the canvas, the wheel and keys
// over the canvas while it is chosen, and its settings in Korvane.ini
// (section "Umriss", written only once changed). The tool itself knows no widget.
class TraceControls : public QObject {
    Q_OBJECT
public:
    struct Window {
        QWidget* owner = nullptr; // message boxes, the entry's keys
        // Makes "Umriss" the chosen tool (the options unchecked, the help shown).
        std::function<void()> choose;
    };
    TraceControls(EditorSession& session, Canvas& canvas, ToolContext& context, Window window);
    ~TraceControls() override;

    bool chosen() const;
    TraceTool& tool() { return *m_tool; }
    // "Umriss", checkable; enabled once a picture is open.
    QAction* action() const { return m_action; }
    // The entries of the canvas's context menu while the tool is chosen.
    QList<QAction*> menuEntries();
    // Another tool was chosen: the preview goes.
    void leave();
    // The picture is about to be replaced.
    void releasePicture();
    // What the help box says while the tool is chosen.
    static QString helpText();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose();
    void createMenuEntries();
    void readSettingsOnce();
    void writeSettings();
    bool traceColour();

    EditorSession& m_session;
    Canvas& m_canvas;
    Window m_window;
    std::unique_ptr<TraceTool> m_tool;
    QAction* m_action = nullptr;
    QWidgetAction* m_toleranceEntry = nullptr;
    QWidgetAction* m_precisionEntry = nullptr;
    QSpinBox* m_tolerance = nullptr;
    QDoubleSpinBox* m_precision = nullptr;
    QAction* m_allRegions = nullptr;
    std::optional<QPointF> m_menuAt; // the picture point the context menu was asked for
    bool m_settingsRead = false;
    bool m_failureShown = false;
};

} // namespace korvane
