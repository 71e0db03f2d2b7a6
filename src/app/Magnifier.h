#pragma once

#include "app/MagnifierGeometry.h"
#include "app/ScreenCapture.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QLineEdit;
class QScrollBar;
class QTimer;

namespace korvane {

// Picture1 of the magnifier: keeps what was last drawn on it between repaints,
// or a sentence saying why there is nothing to show.
class MagnifierView : public QWidget {
    Q_OBJECT
public:
    explicit MagnifierView(QWidget* parent = nullptr);

    // Stretches `copy` onto the whole view and draws the black cross-hair of `frame`.
    void showFrame(const QImage& copy, const MagnifierFrame& frame);
    void showMessage(const QString& text);
    const QImage& picture() const { return m_picture; }
    QString message() const { return m_message; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    QString m_message;
};

// lupe1: a small window showing the screen around the mouse pointer enlarged,
// with a cross-hair on the pixel under the pointer.
class Magnifier : public QWidget {
    Q_OBJECT
public:
    // Opens on top of `owner` (the main window), reading the desktop through `capture`.
    Magnifier(QWidget* owner, std::unique_ptr<ScreenCapture> capture);
    ~Magnifier() override;

    struct Controls {
        MagnifierView* Picture1 = nullptr;
        QLineEdit* Text1 = nullptr;
        QScrollBar* updown1 = nullptr;
        QTimer* Timer1 = nullptr;
    } ui;

    // One tick of Timer1: copies the screen around the pointer into the view.
    void refreshView();
    // True once the window was closed; it is deleted soon after.
    bool isClosed() const { return m_closed; }

    static QString noCaptureText();
    // The window's title, and its title while only this program's windows can be shown.
    static QString plainTitle();
    static QString ownWindowsTitle();

signals:
    // The user closed the window with its close box or the system menu.
    void closedByUser();
    // The main window is closing while the magnifier is open.
    void ownerClosing();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void placeBeside(QWidget* owner);
    void fitToFrame();
    void applyLayout();
    TwipsPerPixel twipsPerPixel() const;
    bool pointerIsOverMe(QPoint pointer) const;
    void showOwnWindows();
    void showCopy(const QImage& copy, const MagnifierFrame& frame);

    std::unique_ptr<ScreenCapture> m_capture;
    bool m_closed = false;
    // The whole window's size, and the frame assumed around it until the
    // window system tells the real one.
    QSize m_outerSize;
    QSize m_assumedFrame;
    QSize m_placedSize;
    bool m_frameKnown = false;
    // What the view shows now, so that an unchanged screen costs no redraw.
    QImage m_shownCopy;
    MagnifierFrame m_shownFrame;
};

} // namespace korvane
