#pragma once

#include "app/IniFile.h"

#include <QObject>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>

class QWidget;

namespace korvane {

// The main window's place, size and maximised state as kept in Korvane.ini's
// section "Fenster": the window's own area (without the frame) in the
// desktop's coordinates, and the screen it was on.
struct SavedGeometry {
    QRect area;
    bool maximised = false;
    QString screen;
};
std::optional<SavedGeometry> savedGeometryIn(const IniContents& stored);
QList<IniSetting> geometrySettings(const SavedGeometry& geometry);

// A window's rectangle (frame included) moved, and shrunk where it is too
// big, so that all of it lies in `available`; one that does stays as it is.
QRect placedWithin(const QRect& frame, const QRect& available);

// Keeps the window's place from one run to the next: restores it now, before
// the window is first shown, on the screen it was on (on the primary screen
// when that one is gone, and never beside every screen), and stores it when
// the window is closed, only when it changed. Without a stored place the
// window starts as it always did. `frame`: what the window system adds
// around the window's area.
class WindowGeometry : public QObject {
public:
    WindowGeometry(QWidget& window, std::function<QSize()> frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restore();
    void store();

    QWidget& m_window;
    std::function<QSize()> m_frame;
};

} // namespace korvane
