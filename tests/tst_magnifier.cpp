#include "app/Magnifier.h"
#include "app/MagnifierGeometry.h"
#include "app/MainWindow.h"
#include "app/ScreenCapture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace korvane;

namespace {

// A made-up desktop whose every pixel has its own colour, never black, so
// that the copy and the cross-hair can be told apart pixel by pixel.
QRgb desktopColour(int x, int y)
{
    return qRgb(x & 0xff, y & 0xff, 0x80 | (((x >> 8) & 7) << 3) | ((y >> 8) & 7));
}

struct FakeDesktop {
    QPoint pointer{500, 400};
    QRect screen{0, 0, 1920, 1080};
    TwipsPerPixel tpp{15.0, 15.0};
    bool allowed = true;
    bool refuse = false;
    QList<QRect> grabs;
};

class FakeScreenCapture : public ScreenCapture {
public:
    explicit FakeScreenCapture(std::shared_ptr<FakeDesktop> desktop) : m_desktop(std::move(desktop)) {}
    QPoint pointerPosition() const override { return m_desktop->pointer; }
    ScreenArea screenAt(QPoint) const override { return {m_desktop->screen, m_desktop->tpp}; }
    bool canCapture() const override { return m_desktop->allowed; }
    QImage grab(const QRect& source) override
    {
        m_desktop->grabs << source;
        if (m_desktop->refuse)
            return {};
        QImage image(source.size(), QImage::Format_RGB32);
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                image.setPixel(x, y, desktopColour(source.x() + x, source.y() + y));
        return image;
    }

private:
    std::shared_ptr<FakeDesktop> m_desktop;
};

// Shown away from every pointer position the tests use, so it never hides what it copies.
Magnifier* showMagnifier(QWidget* owner)
{
    auto* magnifier = new Magnifier(owner, makeScreenCapture());
    magnifier->move(1300, 700);
    magnifier->show();
    return magnifier;
}

Magnifier* magnifierOf(QWidget* owner)
{
    for (Magnifier* m : owner->findChildren<Magnifier*>(QString(), Qt::FindDirectChildrenOnly))
        if (!m->isClosed())
            return m;
    return nullptr;
}

// The close box: the window system asks the native window to close, and the
// native window hands the request on to its widget as the user's own.
void pressCloseBox(QWidget* window)
{
    QCloseEvent request;
    QApplication::sendEvent(window->windowHandle(), &request);
}

} // namespace

class TestMagnifier : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void frameGeometry_data();
    void frameGeometry();
    void startGeometry_data();
    void startGeometry();
    void layoutFollowsResize_data();
    void layoutFollowsResize();
    void zoomBarDrivesText_data();
    void zoomBarDrivesText();
    void refreshDrawsCopyWithCrossHair_data();
    void refreshDrawsCopyWithCrossHair();
    void noRefreshOverOwnWindow_data();
    void noRefreshOverOwnWindow();
    void everyTickCopiesTheScreen_data();
    void everyTickCopiesTheScreen();
    void refusedCaptureIsExplained_data();
    void refusedCaptureIsExplained();
    void ownWindowsWhereCaptureIsRefused();
    void command4OpensModeless();
    void openFlagFollowsEveryClosing_data();
    void openFlagFollowsEveryClosing();
    void refusedOwnerCloseKeepsMagnifier();

private:
    std::shared_ptr<FakeDesktop> m_desktop;
};

void TestMagnifier::init()
{
    m_desktop = std::make_shared<FakeDesktop>();
    auto desktop = m_desktop;
    setScreenCaptureFactory([desktop] { return std::make_unique<FakeScreenCapture>(desktop); });
}

void TestMagnifier::cleanup()
{
    setScreenCaptureFactory({});
}

void TestMagnifier::frameGeometry_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QRect>("source");
    QTest::addColumn<QPoint>("crossTwips");
    QTest::addColumn<QPoint>("cross");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<double>("tpp");
    QTest::addColumn<int>("arm");
    QTest::addColumn<QSize>("view");
    const auto row = [](const char* name, int zoom, QPoint pointer, QRect source, QPoint crossTwips, QPoint cross,
                        QRect screen = {0, 0, 1920, 1080}, double tpp = 15.0, int arm = 20, QSize view = {160, 150}) {
        QTest::newRow(name) << zoom << pointer << source << crossTwips << cross << screen << tpp << arm << view;
    };
    row("centred, 2x", 50, {500, 400}, {460, 363, 80, 75}, {1200, 1125}, {80, 75});
    row("centred, odd pointer", 50, {501, 401}, {461, 364, 80, 75}, {1200, 1125}, {80, 75});
    row("top-left corner", 50, {0, 0}, {0, 0, 80, 75}, {0, 15}, {0, 1});
    row("near top-left", 50, {10, 5}, {0, 0, 80, 75}, {300, 165}, {20, 11});
    row("bottom-right corner", 50, {1919, 1079}, {1840, 1005, 80, 75}, {2370, 2235}, {158, 149});
    row("tenfold", 90, {500, 400}, {492, 393, 16, 15}, {1200, 1125}, {80, 75});
    row("one to one", 0, {500, 400}, {420, 325, 160, 150}, {1200, 1125}, {80, 75});
    row("one to one at right edge", 0, {1910, 400}, {1760, 325, 160, 150}, {2250, 1125}, {150, 75});
    row("second screen's left edge", 50, {1925, 500}, {1920, 463, 80, 75}, {150, 1125}, {10, 75},
        {1920, 0, 1280, 1024});
    row("120 dpi corner", 50, {0, 0}, {0, 0, 80, 75}, {0, 12}, {0, 1}, {0, 0, 1920, 1080}, 12.0, 25);
    row("zoom above range is held at 90", 100, {500, 400}, {492, 393, 16, 15}, {1200, 1125}, {80, 75});
    row("empty view", 50, {500, 400}, {500, 400, 0, 0}, {0, 0}, {0, 0}, {0, 0, 1920, 1080}, 15.0, 20, {0, 0});
}

void TestMagnifier::frameGeometry()
{
    QFETCH(int, zoom);
    QFETCH(QPoint, pointer);
    QFETCH(QRect, source);
    QFETCH(QPoint, crossTwips);
    QFETCH(QPoint, cross);
    QFETCH(QRect, screen);
    QFETCH(double, tpp);
    QFETCH(int, arm);
    QFETCH(QSize, view);
    const MagnifierFrame frame = magnifierFrame(zoom, pointer, view, screen, {tpp, tpp});
    QCOMPARE(frame.source, source);
    QCOMPARE(frame.view, view);
    QCOMPARE(frame.crossTwips, crossTwips);
    QCOMPARE(frame.cross, cross);
    QCOMPARE(frame.armX, arm);
    QCOMPARE(frame.armY, arm);
}

void TestMagnifier::startGeometry_data()
{
    QTest::addColumn<QSize>("owner");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QSize>("frame"); // what the window's frame adds to its inner size
    QTest::addColumn<QRect>("expected");
    const QSize none(0, 0);
    QTest::newRow("ordinary") << QSize(1000, 720) << QRect(0, 0, 1920, 1080) << none << QRect(820, 527, 167, 180);
    QTest::newRow("maximised") << QSize(1920, 1080) << QRect(0, 0, 1920, 1080) << none << QRect(1740, 887, 167, 180);
    QTest::newRow("owner smaller than the magnifier")
        << QSize(100, 100) << QRect(0, 0, 1920, 1080) << none << QRect(0, 0, 167, 180);
    QTest::newRow("second screen") << QSize(1280, 1024) << QRect(1920, 0, 1280, 1024) << none
                                   << QRect(3020, 831, 167, 180);
    // The 2500 x 2700 twips are the whole window: the frame comes off the inside.
    QTest::newRow("framed") << QSize(1000, 720) << QRect(0, 0, 1920, 1080) << QSize(10, 37)
                            << QRect(820, 527, 157, 143);
}

void TestMagnifier::startGeometry()
{
    QFETCH(QSize, owner);
    QFETCH(QRect, screen);
    QFETCH(QSize, frame);
    QFETCH(QRect, expected);
    QCOMPARE(magnifierStartGeometry(owner, screen, {15.0, 15.0}, frame), expected);
}

void TestMagnifier::layoutFollowsResize_data()
{
    QTest::addColumn<QSize>("inner");
    QTest::addColumn<QRect>("view");
    QTest::addColumn<QRect>("text");
    QTest::addColumn<QRect>("bar");
    QTest::newRow("start size") << QSize(167, 180) << QRect(0, 0, 167, 159) << QRect(0, 159, 51, 21)
                                << QRect(53, 163, 114, 17);
    QTest::newRow("larger") << QSize(300, 200) << QRect(0, 0, 300, 179) << QRect(0, 179, 51, 21)
                            << QRect(53, 183, 247, 17);
    QTest::newRow("smaller than the controls")
        << QSize(40, 10) << QRect(0, 0, 40, 0) << QRect(0, -11, 51, 21) << QRect(53, -7, 0, 17);
}

void TestMagnifier::layoutFollowsResize()
{
    QFETCH(QSize, inner);
    QFETCH(QRect, view);
    QFETCH(QRect, text);
    QFETCH(QRect, bar);
    QCOMPARE(magnifierLayout(inner, {15.0, 15.0}).view, view);

    QWidget owner;
    Magnifier magnifier(&owner, makeScreenCapture());
    magnifier.setAttribute(Qt::WA_DeleteOnClose, false);
    magnifier.show();
    magnifier.resize(inner);
    QTRY_COMPARE(magnifier.size(), inner);
    QCOMPARE(magnifier.findChild<QWidget*>("Picture1")->geometry(), view);
    QCOMPARE(magnifier.findChild<QLineEdit*>("Text1")->geometry(), text);
    QCOMPARE(magnifier.findChild<QScrollBar*>("updown1")->geometry(), bar);
}

void TestMagnifier::zoomBarDrivesText_data()
{
    QTest::addColumn<QString>("keys"); // key names; "click" presses the bar's right arrow
    QTest::addColumn<int>("value");
    QTest::newRow("untouched") << "" << 50;
    QTest::newRow("end key") << "End" << 90;
    QTest::newRow("home key") << "Home" << 0;
    QTest::newRow("right arrow key") << "Right" << 51;
    QTest::newRow("page up key") << "PgUp" << 60;
    QTest::newRow("page down key") << "PgDown" << 40;
    QTest::newRow("left arrow key") << "Left" << 49;
    QTest::newRow("click on the right arrow") << "click" << 51;
    QTest::newRow("end key twice stays at 90") << "End End Right" << 90;
}

void TestMagnifier::zoomBarDrivesText()
{
    QFETCH(QString, keys);
    QFETCH(int, value);
    QWidget owner;
    Magnifier* magnifier = showMagnifier(&owner);
    QVERIFY(QTest::qWaitForWindowExposed(magnifier));
    auto* bar = magnifier->findChild<QScrollBar*>("updown1");
    for (const QString& key : keys.split(' ', Qt::SkipEmptyParts)) {
        if (key == "click")
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 3, bar->height() / 2));
        else
            QTest::keyClick(bar, QKeySequence(key)[0].key());
    }
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 90);
    QCOMPARE(bar->value(), value);
    QCOMPARE(magnifier->findChild<QLineEdit*>("Text1")->text(), QString::number(value) + " %");
}

void TestMagnifier::refreshDrawsCopyWithCrossHair_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPoint>("pointer");
    QTest::newRow("2x, centred") << 50 << QPoint(500, 400);
    QTest::newRow("2x, odd pointer") << 50 << QPoint(501, 401);
    QTest::newRow("10x") << 90 << QPoint(500, 400);
    QTest::newRow("10x, top-left corner") << 90 << QPoint(0, 0);
    QTest::newRow("1:1") << 0 << QPoint(500, 400);
    QTest::newRow("2x, bottom-right corner") << 50 << QPoint(1919, 1079);
}

void TestMagnifier::refreshDrawsCopyWithCrossHair()
{
    QFETCH(int, zoom);
    QFETCH(QPoint, pointer);
    // The frame arithmetic itself is pinned by frameGeometry.
    const MagnifierFrame frame = magnifierFrame(zoom, pointer, QSize(160, 150), m_desktop->screen, m_desktop->tpp);
    const QRect source = frame.source;
    const QPoint cross = frame.cross;
    m_desktop->pointer = pointer;
    QWidget owner;
    auto* magnifier = new Magnifier(&owner, makeScreenCapture());
    magnifier->findChild<QScrollBar*>("updown1")->setValue(zoom);
    magnifier->resize(160, 150 + 21); // the text box row takes 21 pixels
    magnifier->move(1300, 700);
    magnifier->show();
    QTRY_VERIFY(!m_desktop->grabs.isEmpty());
    QCOMPARE(m_desktop->grabs.last(), source);

    auto* view = magnifier->findChild<QWidget*>("Picture1");
    QCOMPARE(view->size(), QSize(160, 150));
    const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), QSize(160, 150));
    const int scale = 160 / source.width();
    const auto copied = [&](int x, int y) { return desktopColour(source.x() + x / scale, source.y() + y / scale); };
    // Every pixel off the cross-hair shows the screen pixel it magnifies.
    int checked = 0;
    for (int y = 0; y < 150; y += 7) {
        for (int x = 0; x < 160; x += 5) {
            const bool onCross =
                (x == cross.x() && qAbs(y - cross.y()) <= 20) || (y == cross.y() && qAbs(x - cross.x()) <= 20);
            if (onCross)
                continue;
            QCOMPARE(shown.pixel(x, y), copied(x, y));
            ++checked;
        }
    }
    QVERIFY(checked > 600);
    // The cross-hair is black, 20 pixels each way, and goes no further.
    const QRgb black = qRgb(0, 0, 0);
    for (int d = -19; d <= 19; ++d) {
        if (shown.rect().contains(cross.x(), cross.y() + d))
            QCOMPARE(shown.pixel(cross.x(), cross.y() + d), black);
        if (shown.rect().contains(cross.x() + d, cross.y()))
            QCOMPARE(shown.pixel(cross.x() + d, cross.y()), black);
    }
    for (const QPoint beyond : {QPoint(cross.x() + 22, cross.y() + 1), QPoint(cross.x() + 1, cross.y() + 22)})
        if (shown.rect().contains(beyond))
            QCOMPARE(shown.pixel(beyond), copied(beyond.x(), beyond.y()));
    // The cross-hair's centre lies on the magnified pixel under the pointer.
    QCOMPARE(QPoint(source.x() + cross.x() / scale, source.y() + cross.y() / scale), pointer);
}

void TestMagnifier::noRefreshOverOwnWindow_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("view") << "Picture1";
    QTest::newRow("zoom bar") << "updown1";
    QTest::newRow("zoom text") << "Text1";
}

void TestMagnifier::noRefreshOverOwnWindow()
{
    QFETCH(QString, control);
    QWidget owner;
    owner.setGeometry(0, 0, 400, 300);
    owner.show();
    auto* magnifier = new Magnifier(&owner, makeScreenCapture());
    magnifier->move(600, 500);
    magnifier->show();
    QVERIFY(QTest::qWaitForWindowExposed(magnifier));
    QTRY_VERIFY(!m_desktop->grabs.isEmpty());
    auto* view = magnifier->findChild<MagnifierView*>("Picture1");
    const QImage before = view->picture();

    auto* target = magnifier->findChild<QWidget*>(control);
    m_desktop->pointer = target->mapToGlobal(target->rect().center());
    const auto grabsBefore = m_desktop->grabs.size();
    for (int tick = 0; tick < 5; ++tick)
        magnifier->refreshView();
    QCOMPARE(m_desktop->grabs.size(), grabsBefore);
    QCOMPARE(view->picture(), before);

    // Back on the main window the view follows the pointer again.
    m_desktop->pointer = owner.mapToGlobal(QPoint(50, 50));
    magnifier->refreshView();
    QCOMPARE(m_desktop->grabs.size(), grabsBefore + 1);
    QVERIFY(view->picture() != before);
}

void TestMagnifier::everyTickCopiesTheScreen_data()
{
    // One character per tick: '.' pointer resting, 'm' pointer moved by one pixel,
    // 'z' zoom changed, 'r' window resized.
    QTest::addColumn<QString>("ticks");
    QTest::addColumn<int>("copies");
    // A screen that changes under a resting pointer must show at once.
    QTest::newRow("first tick copies") << "." << 1;
    QTest::newRow("resting ticks copy again") << "..........." << 11;
    QTest::newRow("moving on every tick") << ".mmmm" << 5;
    QTest::newRow("rest after moving") << "..m..." << 6;
    QTest::newRow("zoom change") << ".z" << 2;
    QTest::newRow("resize") << ".r" << 2;
}

void TestMagnifier::everyTickCopiesTheScreen()
{
    QFETCH(QString, ticks);
    QFETCH(int, copies);
    QWidget owner;
    Magnifier* magnifier = showMagnifier(&owner);
    magnifier->ui.Timer1->stop(); // ticks by hand, one per character
    for (const QChar tick : ticks) {
        if (tick == 'm')
            m_desktop->pointer += QPoint(1, 0);
        else if (tick == 'z')
            magnifier->ui.updown1->setValue(magnifier->ui.updown1->value() + 1);
        else if (tick == 'r')
            magnifier->resize(magnifier->size() + QSize(4, 4));
        magnifier->refreshView();
    }
    QCOMPARE(m_desktop->grabs.size(), copies);
    // What is shown is always the copy for the latest pointer position.
    const auto* view = magnifier->findChild<MagnifierView*>("Picture1");
    const MagnifierFrame frame = magnifierFrame(magnifier->ui.updown1->value(), m_desktop->pointer, view->size(),
                                                m_desktop->screen, m_desktop->tpp);
    QCOMPARE(m_desktop->grabs.last(), frame.source);
}

void TestMagnifier::refusedCaptureIsExplained_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("desktop forbids capture") << "forbidden";
    QTest::newRow("grab comes back empty") << "empty";
    QTest::newRow("system capture on this platform") << "system";
}

void TestMagnifier::refusedCaptureIsExplained()
{
    QFETCH(QString, how);
    m_desktop->allowed = how != "forbidden";
    m_desktop->refuse = how == "empty";
    if (how == "system")
        setScreenCaptureFactory({});
    QWidget owner;
    Magnifier* magnifier = showMagnifier(&owner);
    auto* view = magnifier->findChild<MagnifierView*>("Picture1");
    QTRY_COMPARE(view->message(), QString("Bildschirmaufnahme ist auf dieser Arbeitsoberfläche nicht möglich."));
    QVERIFY(view->picture().isNull());
    // A desktop that forbids reading the screen leaves the program's own windows to show.
    QCOMPARE(magnifier->windowTitle(), how == "empty" ? QString("Lupe") : QString("Lupe - nur Korvane-Fenster"));
    if (how == "forbidden")
        QVERIFY(m_desktop->grabs.isEmpty());
    if (how != "empty")
        return;
    // A later tick that succeeds shows the screen again.
    m_desktop->refuse = false;
    QTRY_VERIFY(!view->picture().isNull());
    QVERIFY(view->message().isEmpty());
}

// Where the screen cannot be read, the magnifier enlarges this program's
// window under the pointer, which the pointer's own events name (Wayland
// tells no program where its windows are); outside them it says why it
// shows nothing, and over itself it stands still.
void TestMagnifier::ownWindowsWhereCaptureIsRefused()
{
    m_desktop->allowed = false;
    QWidget owner;
    owner.resize(400, 300);
    const QColor colours[2] = {QColor(200, 40, 40), QColor(40, 40, 200)};
    for (int half = 0; half < 2; ++half) {
        auto* part = new QWidget(&owner);
        part->setGeometry(half * 200, 0, 200, 300);
        QPalette palette = part->palette();
        palette.setColor(QPalette::Window, colours[half]);
        part->setPalette(palette);
        part->setAutoFillBackground(true);
    }
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    Magnifier* magnifier = showMagnifier(&owner);
    auto* view = magnifier->findChild<MagnifierView*>("Picture1");
    const auto middle = [view] {
        const QImage picture = view->picture();
        return picture.isNull() ? QColor() : picture.pixelColor(picture.width() / 2 + 3, picture.height() / 2 + 3);
    };
    QTRY_COMPARE(magnifier->windowTitle(), QString("Lupe - nur Korvane-Fenster"));
    QTest::mouseMove(owner.windowHandle(), QPoint(100, 150));
    QTRY_COMPARE(middle(), colours[0]);
    QVERIFY(view->message().isEmpty());
    QTest::mouseMove(owner.windowHandle(), QPoint(300, 150));
    QTRY_COMPARE(middle(), colours[1]);
    // Over the magnifier itself the view stays as it is.
    QTest::mouseMove(magnifier->windowHandle(), QPoint(5, 5));
    QTest::qWait(50);
    QCOMPARE(middle(), colours[1]);
    // Outside every window of the program: the reason instead of a black square.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(magnifier->windowHandle(), &leave);
    QTRY_COMPARE(view->message(), QString("Bildschirmaufnahme ist auf dieser Arbeitsoberfläche nicht möglich."));
    QVERIFY(view->picture().isNull());
    // The screen itself was never asked for.
    QVERIFY(m_desktop->grabs.isEmpty());
    magnifier->close();
}

void TestMagnifier::command4OpensModeless()
{
    MainWindow window;
    window.resize(1000, 720);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!window.state().magnifierOpen);
    QVERIFY(!magnifierOf(&window));

    window.ui.Command4->click();
    Magnifier* magnifier = magnifierOf(&window);
    QVERIFY(magnifier);
    QCOMPARE(magnifier->objectName(), QString("lupe1"));
    QCOMPARE(magnifier->windowTitle(), QString("Lupe"));
    QVERIFY(magnifier->isWindow());
    QVERIFY(magnifier->isVisible());
    QCOMPARE(magnifier->parentWidget(), &window);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(window.state().magnifierOpen);
    // The whole window, frame included, is 2500 x 2700 twips.
    QCOMPARE(magnifier->frameGeometry().size(), QSize(167, 180));
    const QSize frame = window.frameGeometry().size();
    QCOMPARE(magnifier->pos(), QPoint(frame.width() - 180, qRound(frame.height() - 2900 / 15.0)));
    auto* timer = magnifier->findChild<QTimer*>("Timer1");
    QCOMPARE(timer->interval(), 10);
    QVERIFY(timer->isActive());
    QCOMPARE(magnifier->findChild<QLineEdit*>("Text1")->text(), QString("50 %"));

    // A second press shows the same window again instead of a second one.
    magnifier->findChild<QScrollBar*>("updown1")->setValue(70);
    magnifier->hide();
    window.ui.Command4->click();
    QCOMPARE(window.findChildren<Magnifier*>().size(), 1);
    QCOMPARE(magnifierOf(&window), magnifier);
    QVERIFY(magnifier->isVisible());
    QCOMPARE(magnifier->findChild<QLineEdit*>("Text1")->text(), QString("70 %"));
    QVERIFY(window.state().magnifierOpen);

    // The main window keeps working while the magnifier is open.
    window.ui.Command6->click();
    QVERIFY(magnifier->isVisible());
}

void TestMagnifier::openFlagFollowsEveryClosing_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("flagBeforeQuit");
    QTest::addColumn<bool>("flagAfterQuit");
    QTest::newRow("never opened") << "" << false << false;
    QTest::newRow("quit while open") << "open" << true << true;
    QTest::newRow("close box, then quit") << "open closebox" << false << false;
    QTest::newRow("close box, reopen, quit") << "open closebox open" << true << true;
    QTest::newRow("closed by the program itself") << "open codeclose" << true << true;
    QTest::newRow("close box after a program close and reopen") << "open codeclose open closebox" << false << false;
    QTest::newRow("two presses, close box") << "open open closebox" << false << false;
}

void TestMagnifier::openFlagFollowsEveryClosing()
{
    QFETCH(QString, steps);
    QFETCH(bool, flagBeforeQuit);
    QFETCH(bool, flagAfterQuit);
    auto window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QPointer<Magnifier> last;
    for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
        if (step == "open") {
            window->ui.Command4->click();
            last = magnifierOf(window.get());
            QVERIFY(QTest::qWaitForWindowExposed(last.data()));
        } else if (step == "closebox") {
            pressCloseBox(last);
        } else if (step == "codeclose") {
            last->close();
        }
        if (step != "open") {
            // Closing really closes: the window goes away and its timer with it.
            QTRY_VERIFY(last.isNull());
            QVERIFY(!magnifierOf(window.get()));
        }
    }
    QCOMPARE(window->state().magnifierOpen, flagBeforeQuit);

    window->close();
    QCOMPARE(window->state().magnifierOpen, flagAfterQuit);
    // The magnifier goes together with its owner.
    QTRY_VERIFY(last.isNull() || last->isClosed());
    QCOMPARE(window->state().magnifierOpen, flagAfterQuit);
}

// An owner whose close the user called off (say, to save first) keeps its magnifier.
void TestMagnifier::refusedOwnerCloseKeepsMagnifier()
{
    struct StubbornOwner : QWidget {
        void closeEvent(QCloseEvent* event) override { event->ignore(); }
    } owner;
    owner.show();
    QPointer<Magnifier> magnifier = new Magnifier(&owner, makeScreenCapture());
    magnifier->show();
    int ownerClosing = 0;
    connect(magnifier.data(), &Magnifier::ownerClosing, this, [&] { ++ownerClosing; });
    QVERIFY(!owner.close());
    QCOMPARE(ownerClosing, 1);
    QTest::qWait(50);
    QVERIFY(!magnifier.isNull());
    QVERIFY(magnifier->isVisible());
    QVERIFY(!magnifier->isClosed());
}

QTEST_MAIN(TestMagnifier)
#include "tst_magnifier.moc"
