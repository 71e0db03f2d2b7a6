#include "app/MagnifierGeometry.h"

#include "model/AreaEntry.h"

#include <algorithm>

namespace korvane {

namespace {

constexpr int kWindowWidthTwips = 2500;
constexpr int kWindowHeightTwips = 2700;
constexpr int kOwnerMarginTwips = 200;
constexpr int kTextHeightTwips = 315;
constexpr int kTextWidthTwips = 765;
constexpr int kBarLeftTwips = 800;
constexpr int kBarTopFromBottomTwips = 260;
constexpr int kBarHeightTwips = 255;
constexpr int kCrossArmTwips = 300;

int clampZoom(int value)
{
    return std::clamp(value, kZoomMinimum, kZoomMaximum);
}

int toPixels(double twips, double tpp)
{
    return roundHalfEven(twips / tpp);
}

// A rectangle given in twips, in pixels; a negative extent (a window smaller
// than its controls) becomes empty instead of turning the control inside out.
QRect toPixels(double left, double top, double width, double height, TwipsPerPixel tpp)
{
    return QRect(toPixels(left, tpp.x), toPixels(top, tpp.y), std::max(0, toPixels(width, tpp.x)),
                 std::max(0, toPixels(height, tpp.y)));
}

struct Axis {
    int start;
    int crossTwips;
};

// Moves the source back onto the screen along one axis and the cross-hair by
// the same distance in the view, so that it stays on the pixel under the pointer.
Axis keepOnScreen(Axis axis, int size, int screenStart, int screenEnd, double tpp, int zoomValue)
{
    // offset * tpp / f, with f = (100 - value) / 100 written so that exact halves stay exact
    const auto shifted = [&](int offset) {
        return roundHalfEven(axis.crossTwips + offset * tpp * 100.0 / (100 - zoomValue));
    };
    if (axis.start < screenStart) {
        axis.crossTwips = shifted(axis.start - screenStart);
        axis.start = screenStart;
    } else if (axis.start + size > screenEnd) {
        const int excess = axis.start + size - screenEnd;
        axis.crossTwips = shifted(excess);
        axis.start -= excess;
    }
    return axis;
}

} // namespace

TwipsPerPixel twipsPerPixelForDpi(double dpiX, double dpiY)
{
    const auto perPixel = [](double dpi) { return dpi > 0 ? 1440.0 / dpi : 15.0; };
    return {perPixel(dpiX), perPixel(dpiY)};
}

QString zoomText(int value)
{
    return QString::number(value) + QStringLiteral(" %");
}

double zoomFactor(int value)
{
    return (100 - clampZoom(value)) / 100.0;
}

QRect magnifierStartGeometry(QSize ownerFrame, QRect screen, TwipsPerPixel tpp, QSize frame)
{
    const double left = ownerFrame.width() * tpp.x - kWindowWidthTwips - kOwnerMarginTwips;
    const double top = ownerFrame.height() * tpp.y - kWindowHeightTwips - kOwnerMarginTwips;
    // A main window narrower than the magnifier would push it off the screen.
    const int x = std::max(0, toPixels(left, tpp.x));
    const int y = std::max(0, toPixels(top, tpp.y));
    const QSize outer(toPixels(kWindowWidthTwips, tpp.x), toPixels(kWindowHeightTwips, tpp.y));
    return QRect(QPoint(screen.x() + x, screen.y() + y), (outer - frame).expandedTo(QSize(0, 0)));
}

MagnifierLayout magnifierLayout(QSize inner, TwipsPerPixel tpp)
{
    const double w = inner.width() * tpp.x;
    const double h = inner.height() * tpp.y;
    MagnifierLayout layout;
    layout.view = toPixels(0, 0, w, h - kTextHeightTwips, tpp);
    layout.zoomText = toPixels(0, h - kTextHeightTwips, kTextWidthTwips, kTextHeightTwips, tpp);
    layout.zoomBar = toPixels(kBarLeftTwips, h - kBarTopFromBottomTwips, w - kBarLeftTwips, kBarHeightTwips, tpp);
    return layout;
}

MagnifierFrame magnifierFrame(int zoomValue, QPoint pointer, QSize viewPixels, QRect screen, TwipsPerPixel tpp)
{
    const int value = clampZoom(zoomValue);
    const double viewWidthTwips = roundHalfEven(viewPixels.width() * tpp.x);
    const double viewHeightTwips = roundHalfEven(viewPixels.height() * tpp.y);

    MagnifierFrame frame;
    const int viewWidth = roundHalfEven(viewWidthTwips / tpp.x);
    const int viewHeight = roundHalfEven(viewHeightTwips / tpp.y);
    frame.view = QSize(viewWidth, viewHeight);
    // The view's pixel counts are whole, so size * (100 - value) / 100 keeps exact halves exact.
    const int sourceWidth = roundHalfEven(viewWidth * (100 - value) / 100.0);
    const int sourceHeight = roundHalfEven(viewHeight * (100 - value) / 100.0);

    // Whole-number halves: with an odd source size, rounding P - size / 2 to the even
    // neighbour would put the pixel under the pointer beside the cross-hair on every
    // second pointer position; dropping the half always puts it under the centre.
    Axis x{pointer.x() - sourceWidth / 2, roundHalfEven(viewWidthTwips / 2.0)};
    Axis y{pointer.y() - sourceHeight / 2, roundHalfEven(viewHeightTwips / 2.0)};
    x = keepOnScreen(x, sourceWidth, screen.left(), screen.left() + screen.width(), tpp.x, value);
    y = keepOnScreen(y, sourceHeight, screen.top(), screen.top() + screen.height(), tpp.y, value);

    frame.source = QRect(x.start, y.start, sourceWidth, sourceHeight);
    frame.crossTwips = QPoint(x.crossTwips, y.crossTwips);
    frame.cross = QPoint(std::clamp(toPixels(x.crossTwips, tpp.x), 0, std::max(0, viewWidth - 1)),
                         std::clamp(toPixels(y.crossTwips, tpp.y), 0, std::max(0, viewHeight - 1)));
    frame.armX = toPixels(kCrossArmTwips, tpp.x);
    frame.armY = toPixels(kCrossArmTwips, tpp.y);
    return frame;
}

} // namespace korvane
