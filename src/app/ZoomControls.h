#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class QLabel;
class QScrollBar;
class QWheelEvent;
class QWidget;

namespace korvane {

class Canvas;

// The canvas's zoom and the wheel: Ctrl with the mouse wheel over the canvas
// area zooms around the pointer, the wheel alone scrolls (with Shift
// sideways), Ctrl++ and Ctrl+- step around the middle of the view, Ctrl+0
// goes back to 100 %, Ctrl+9 fits the whole picture into the view; the label
// beside the position shows it. Only the view changes: coordinates stay
// picture pixels. A new picture starts at 100 %, one bigger than the view fitted.
class ZoomControls : public QObject {
    Q_OBJECT
public:
    // The window's controls it works with; `window` holds the shortcuts.
    struct Widgets {
        QWidget* window = nullptr;
        Canvas* canvas = nullptr;
        QWidget* viewport = nullptr; // shows the canvas
        QScrollBar* horizontal = nullptr;
        QScrollBar* vertical = nullptr;
        QLabel* label = nullptr; // shows the zoom
    };
    // `layoutCanvas` places the canvas and the scroll bars after its size
    // changed, scrolled as near to its argument as they go.
    ZoomControls(const Widgets& widgets, std::function<void(QPoint scroll)> layoutCanvas);

    // Zooms to one of the steps so that the picture point shown at `viewPoint`
    // (in the viewport) stays there, as far as the scroll bars allow.
    void zoomTo(int percent, QPoint viewPoint);

    // What the keys do, around the middle of the view.
    void zoomIn();
    void zoomOut();
    void zoomToOriginal();
    void fitToView();
    // A new picture that is bigger than the view is fitted; one that fits
    // stays at 100 %. Only a shown view has a size to fit into.
    void fitBigPicture();
    // Until a picture is open there is nothing to look at closely.
    bool canZoom() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void zoomToFactor(double factor, QPoint viewPoint);
    void zoomAroundMiddle(double factor);
    void showZoom();
    void zoomByWheel(int delta, QPoint at);
    void scrollByWheel(const QWheelEvent& wheel);

    Widgets m_widgets;
    std::function<void(QPoint)> m_layoutCanvas;
    int m_wheelRest = 0; // wheel turns smaller than a notch add up
};

} // namespace korvane
