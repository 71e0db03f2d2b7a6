// The editor on a scaled screen. The test runs once per scale factor
// (QT_SCALE_FACTOR 1, 1.25, 1.5 and 2 on a 1600 x 1200 screen) and once on
// the plain offscreen screen of 800 x 600, each in its own process.
#include "support/BlankPicture.h"

#include "app/ZoomControls.h"
#include "model/AreaEntry.h"

#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

#include <cmath>

using namespace korvane;

namespace {

// A pointer event at a point of the window as Qt 6.4 hands it to the canvas:
// its own and the global position rounded to whole logical pixels, the one
// in the window exact.
void sendAt(QWidget* canvas, QEvent::Type type, QPointF inWindow, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    const QPointF local = inWindow - canvas->mapTo(canvas->window(), QPointF(0, 0));
    QMouseEvent event(type, QPointF(local.toPoint()), inWindow,
                      QPointF(canvas->window()->mapToGlobal(inWindow).toPoint()), button, held, Qt::NoModifier);
    QApplication::sendEvent(canvas, &event);
}

// The device pixels of the window, along one axis, that show picture pixel
// p of a canvas that starts at `origin` (logical pixels): zoomed in, those
// whose middles lie on it; zoomed out, those that show it first.
QList<int> devicePixelsOf(int p, double origin, double zoom, double ratio)
{
    const double from = (origin + p * zoom) * ratio, to = (origin + (p + 1) * zoom) * ratio;
    const double middle = zoom >= 1 ? 0.5 : 0;
    QList<int> pixels;
    for (int d = int(std::floor(from - 1)); d + middle < to; ++d) {
        if (d + middle >= from)
            pixels << d;
    }
    return pixels;
}

} // namespace

class TestHiDpi : public QObject {
    Q_OBJECT
private slots:
    void windowFitsTheScreen();
    void pressesGiveThePixelUnder_data();
    void pressesGiveThePixelUnder();
};

// Within the free area, the list and the code box on the screen; the window's
// own size where that fits.
void TestHiDpi::windowFitsTheScreen()
{
    korvane::test::installScriptedPlatform();
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QRect free = w.screen()->availableGeometry();
    QVERIFY2(free.contains(w.frameGeometry()), qPrintable(QStringLiteral("%1 x %2 on %3 x %4")
                                                              .arg(w.frameGeometry().width())
                                                              .arg(w.frameGeometry().height())
                                                              .arg(free.width())
                                                              .arg(free.height())));
    for (QWidget* part : {static_cast<QWidget*>(w.ui.List1), static_cast<QWidget*>(w.ui.txtMap)}) {
        const QRect shown(part->mapToGlobal(QPoint(0, 0)), part->size());
        QVERIFY2(free.contains(shown), qPrintable(part->objectName()));
    }
    if (free.width() >= 1100 && free.height() >= 820)
        QCOMPARE(w.size(), QSize(1000, 720));
}

void TestHiDpi::pressesGiveThePixelUnder_data()
{
    QTest::addColumn<int>("zoom");
    for (int zoom : {25, 33, 50, 67, 100, 150, 200, 300, 400, 600, 800})
        QTest::addRow("%d %%", zoom) << zoom;
}

// Each device pixel gives the picture pixel shown under it: the position
// label while the pointer moves, and the points of a polygon clicked on the
// last device pixel of three picture pixels.
void TestHiDpi::pressesGiveThePixelUnder()
{
    QFETCH(int, zoom);
    korvane::test::BlankEditor e;
    e.w.zoom().zoomTo(zoom, QPoint());
    QCOMPARE(e.canvas()->zoomPercent(), zoom);
    const double z = e.canvas()->zoomFactor(), ratio = e.canvas()->devicePixelRatioF();
    QCOMPARE(ratio, qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                                                 : 1.0);
    const QPoint origin = e.canvas()->mapTo(&e.w, QPoint(0, 0));
    const auto pixelsOf = [&](QPoint p) {
        return std::pair{devicePixelsOf(p.x(), origin.x(), z, ratio), devicePixelsOf(p.y(), origin.y(), z, ratio)};
    };
    // Along the first row shown, then down the first column shown.
    int tried = 0;
    for (bool across : {true, false}) {
        // The first picture pixel on the other axis with a device pixel of its own.
        int other = 0;
        const auto shown = [&](int p) { return devicePixelsOf(p, across ? origin.y() : origin.x(), z, ratio); };
        while (shown(other).isEmpty())
            ++other;
        const int fixed = shown(other).first();
        for (int p = 0; p < 40; ++p) {
            const auto [xs, ys] = pixelsOf(QPoint(p, p));
            for (int d : across ? xs : ys) {
                const QPointF at = across ? QPointF(d, fixed) : QPointF(fixed, d);
                sendAt(e.canvas(), QEvent::MouseMove, at / ratio, Qt::NoButton);
                QCOMPARE(e.w.ui.lblPos->text(), QStringLiteral("x=%1   y=%2").arg(across ? p : other).arg(across ? other : p));
                ++tried;
            }
        }
    }
    QVERIFY(tried >= 10);
    if (zoom < 100)
        return; // zoomed out, a device pixel shows several picture pixels
    e.w.ui.Option1[0]->click();
    for (QPoint corner : {QPoint(10, 20), QPoint(61, 20), QPoint(30, 53)}) {
        const auto [xs, ys] = pixelsOf(corner);
        const QPointF last = QPointF(xs.last(), ys.last()) / ratio;
        sendAt(e.canvas(), QEvent::MouseButtonPress, last, Qt::LeftButton);
        sendAt(e.canvas(), QEvent::MouseButtonRelease, last, Qt::LeftButton);
    }
    sendAt(e.canvas(), QEvent::MouseButtonPress, QPointF(origin) + QPointF(300, 280) * z, Qt::RightButton);
    QCOMPARE(e.w.areas().count(), 1);
    QCOMPARE(entry::coordsOf(e.w.areas().line(0)), QStringLiteral("10,20,61,20,30,53"));
}

QTEST_MAIN(TestHiDpi)
#include "tst_hidpi.moc"
