#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// The magnifier's arithmetic as pure functions, so that it can be checked
// without a screen. Window measures are kept in twips where the window's
// design is given in twips, and turned into pixels at the last step.
namespace korvane {

inline constexpr int kZoomMinimum = 0;
inline constexpr int kZoomMaximum = 90;
inline constexpr int kZoomStart = 50;

// Twips per screen pixel along each axis: 1440 / logical DPI, 15 at 96 DPI.
struct TwipsPerPixel {
    double x = 15.0;
    double y = 15.0;
};

TwipsPerPixel twipsPerPixelForDpi(double dpiX, double dpiY);

// The zoom text of the window: the scroll bar value followed by " %".
QString zoomText(int value);

// The part of the view's size that the source covers: 1 - value / 100.
double zoomFactor(int value);

// Where the magnifier first appears. `ownerFrame` is the outer size of the main
// window, `screen` the screen it is on (pixels), `frame` how much the window's
// frame adds to its inner size (nothing without a window manager). The whole
// window, frame included, measures 2500 x 2700 twips. Returns the window's
// outer top-left corner and its inner size.
QRect magnifierStartGeometry(QSize ownerFrame, QRect screen, TwipsPerPixel tpp, QSize frame = QSize(0, 0));

// The positions of the three controls for an inner window size in pixels.
struct MagnifierLayout {
    QRect view;     // Picture1
    QRect zoomText; // Text1
    QRect zoomBar;  // updown1
};
MagnifierLayout magnifierLayout(QSize inner, TwipsPerPixel tpp);

// What one refresh shows: which screen pixels are copied and where the
// cross-hair goes.
struct MagnifierFrame {
    QRect source;      // screen pixels copied into the view
    QSize view;        // the view in pixels (the copy is stretched onto it)
    QPoint crossTwips; // cross-hair centre in the view, twips
    QPoint cross;      // the same in view pixels, kept inside the view so both lines stay visible
    int armX = 0;      // half length of the horizontal line, pixels
    int armY = 0;      // half length of the vertical line, pixels

    bool operator==(const MagnifierFrame&) const = default;
};

// `pointer` in screen pixels, `viewPixels` the size of the view, `screen` the
// screen's rectangle in pixels that the source must stay on.
MagnifierFrame magnifierFrame(int zoomValue, QPoint pointer, QSize viewPixels, QRect screen, TwipsPerPixel tpp);

} // namespace korvane
