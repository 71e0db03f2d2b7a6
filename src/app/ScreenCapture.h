#pragma once

#include "app/MagnifierGeometry.h"

#include <QImage>
#include <QPoint>
#include <QRect>

#include <functional>
#include <memory>

class QWidget;

namespace korvane {

// A screen as the magnifier sees it: its rectangle in pixels and its twips per pixel.
struct ScreenArea {
    QRect geometry;
    TwipsPerPixel tpp;
};

// Everything the magnifier reads from the desktop, behind one seam so that its
// geometry and drawing can be tested with a made-up screen.
class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;

    // The mouse pointer in screen pixels.
    virtual QPoint pointerPosition() const = 0;
    // The screen that holds `point` (the primary screen when none does).
    virtual ScreenArea screenAt(QPoint point) const = 0;
    // False where the desktop does not let programs read the screen at all.
    virtual bool canCapture() const = 0;
    // The pixels of `source` (screen pixels) and nothing more; a null image
    // when the system refused.
    virtual QImage grab(const QRect& source) = 0;
    // The window of this program under `point`, if any.
    virtual QWidget* widgetAt(QPoint point) const;

    // Where the screen cannot be read, the magnifier shows this program's own
    // windows: the one the pointer is over (none: over another program's or
    // the desktop) and the pointer in it, in the window's logical pixels.
    // Learnt from the pointer's events, since a desktop like Wayland tells
    // programs neither where their windows are nor where the pointer is.
    struct WindowPointer {
        QWidget* window = nullptr;
        QPoint position;
    };
    virtual WindowPointer ownWindowUnderPointer() const;
};

// The desktop's own pointer and screens, read through Qt.
class SystemScreenCapture : public ScreenCapture {
public:
    QPoint pointerPosition() const override;
    ScreenArea screenAt(QPoint point) const override;
    bool canCapture() const override;
    QImage grab(const QRect& source) override;
};

using ScreenCaptureFactory = std::function<std::unique_ptr<ScreenCapture>()>;

// A new capture for a magnifier that opens: the system's, unless a test installed its own.
std::unique_ptr<ScreenCapture> makeScreenCapture();
// Replaces the capture that new magnifiers get; an empty factory restores the system's.
void setScreenCaptureFactory(ScreenCaptureFactory factory);

} // namespace korvane
