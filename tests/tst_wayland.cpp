// The editor on a Wayland desktop: a weston compositor with its headless
// backend runs for the time of the test, the test itself and the real program
// talk to it through Qt's Wayland platform. Without weston the test fails
// and says why; it never passes by skipping.
#include "app/Magnifier.h"
#include "app/MainWindow.h"
#include "app/StartUp.h"
#include "canvas/Canvas.h"
#include "support/Modal.h"
#include "support/ScriptedPlatform.h"
#include "support/SettingsFolder.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWindow>

#include <cstdio>
#include <memory>

using namespace korvane;

namespace {

// A colour nothing else on the desktop has.
const QColor kPictureColour(0x12, 0x9a, 0x4b);
const QSize kPictureSize(240, 160);

// weston on a socket of its own in a runtime folder of its own.
class Weston {
public:
    ~Weston()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
        }
    }

    // False with the reason when weston is missing or does not come up.
    bool start(QString* error)
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("weston"));
        if (program.isEmpty()) {
            *error = QStringLiteral("weston is not installed: the Wayland test needs the Debian package "
                                    "\"weston\" (scripts/bootstrap.sh --tests installs it)");
            return false;
        }
        if (QStandardPaths::findExecutable(QStringLiteral("weston-screenshooter")).isEmpty()) {
            *error = QStringLiteral("weston-screenshooter is missing (Debian package \"weston\")");
            return false;
        }
        if (!m_runtime.isValid()) {
            *error = QStringLiteral("no temporary runtime folder");
            return false;
        }
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_socket = QStringLiteral("korvane-test-%1").arg(QCoreApplication::applicationPid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        // An output roomier than the window, which the desktop shell then places whole on it.
        m_process.start(program, {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--use-pixman"),
                                  QStringLiteral("--width=1600"), QStringLiteral("--height=1200"),
                                  QStringLiteral("--shell=desktop-shell.so"), QStringLiteral("--idle-time=0"),
                                  QStringLiteral("--debug"), QStringLiteral("--socket=") + m_socket});
        const QString socketFile = m_runtime.filePath(m_socket);
        for (int waited = 0; waited < 15000 && !QFileInfo::exists(socketFile); waited += 50) {
            if (m_process.state() == QProcess::NotRunning)
                break;
            QThread::msleep(50);
        }
        if (!QFileInfo::exists(socketFile)) {
            m_process.waitForFinished(100);
            *error = QStringLiteral("weston did not start: ") + QString::fromLocal8Bit(m_process.readAll());
            return false;
        }
        return true;
    }

    // What a Wayland client of this weston needs.
    QProcessEnvironment clientEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_socket);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        environment.remove(QStringLiteral("DISPLAY"));
        return environment;
    }

    // The whole output as weston draws it; null when the screenshot failed.
    QImage screenshot() const
    {
        QTemporaryDir folder;
        QProcess shooter;
        shooter.setProcessEnvironment(clientEnvironment());
        shooter.setWorkingDirectory(folder.path());
        shooter.start(QStringLiteral("weston-screenshooter"), QStringList());
        if (!shooter.waitForFinished(10000) || shooter.exitCode() != 0)
            return {};
        const QStringList shots = QDir(folder.path()).entryList({QStringLiteral("*.png")}, QDir::Files);
        return shots.isEmpty() ? QImage() : QImage(folder.filePath(shots.first()));
    }

private:
    QTemporaryDir m_runtime;
    QString m_socket;
    QProcess m_process;
};

int pixelsOf(const QImage& image, const QColor& colour)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRgb wanted = colour.rgb();
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            count += (line[x] | 0xff000000) == wanted ? 1 : 0;
    }
    return count;
}

QString writePicture(const QTemporaryDir& folder)
{
    QImage picture(kPictureSize, QImage::Format_RGB32);
    picture.fill(kPictureColour);
    const QString path = folder.filePath(QStringLiteral("wiese.png"));
    picture.save(path);
    return path;
}

} // namespace

class TestWayland : public QObject {
    Q_OBJECT
public:
    explicit TestWayland(const Weston& weston) : m_weston(weston) {}

private slots:
    void initTestCase();
    void programShowsPicture();
    void editorOpensAndDraws();
    void magnifierShowsOwnWindows();
    void windowFitsWithItsDecoration();

private:
    const Weston& m_weston;
    QTemporaryDir m_folder;
    QString m_picture;
};

void TestWayland::initTestCase()
{
    korvane::test::installScriptedPlatform();
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
    m_picture = writePicture(m_folder);
    QVERIFY(QFileInfo::exists(m_picture));
}

// The program itself, started as a user starts it with a picture: the
// picture appears on weston's output, every one of its pixels.
void TestWayland::programShowsPicture()
{
    // A copy in a folder of its own, so that it reads and writes a settings file of its own.
    const QString program = m_folder.filePath(QStringLiteral("korvane"));
    QVERIFY(QFile::copy(QStringLiteral(KORVANE_PROGRAM), program));
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcess korvane;
    korvane.setProcessEnvironment(m_weston.clientEnvironment());
    korvane.start(program, {m_picture});
    QVERIFY2(korvane.waitForStarted(), qPrintable(korvane.errorString()));
    int shown = 0;
    for (int tries = 0; tries < 60 && shown < kPictureSize.width() * kPictureSize.height(); ++tries) {
        QTest::qWait(250);
        QVERIFY2(korvane.state() == QProcess::Running, korvane.readAllStandardError().constData());
        shown = pixelsOf(m_weston.screenshot(), kPictureColour);
    }
    const QByteArray errors = korvane.readAllStandardError();
    korvane.terminate();
    if (!korvane.waitForFinished(5000))
        korvane.kill();
    QVERIFY2(shown == kPictureSize.width() * kPictureSize.height(),
             qPrintable(QStringLiteral("%1 pixels of the picture on the screen; the program said: %2")
                            .arg(shown)
                            .arg(QString::fromLocal8Bit(errors))));
}

// The same start in this process: the window opens the picture, and a
// rectangle drawn with the mouse becomes an area of the code.
void TestWayland::editorOpensAndDraws()
{
    korvane::test::SettingsFolder settings;
    const std::unique_ptr<MainWindow> window = startEditor({m_picture});
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_COMPARE(window->windowTitle(), QStringLiteral("Korvane [ Map für: wiese.png ]"));
    Canvas* canvas = window->ui.Picture1;
    QCOMPARE(canvas->pictureSize(), kPictureSize);
    QCOMPARE(canvas->image().pixelColor(100, 80), kPictureColour);
    korvane::test::whenModalOpens([](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("Text1")->setText("wiese.html");
        dialog->findChild<QPushButton*>("Command2")->click();
    });
    window->ui.Option1[1]->click();
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(20, 30));
    QTest::mouseMove(canvas, QPoint(60, 50));
    QTest::mouseMove(canvas, QPoint(100, 70));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(100, 70));
    QTRY_COMPARE(window->areas().count(), 1);
    QVERIFY2(window->mapCode().contains(QStringLiteral("coords=\"20,30,100,70\" href=\"wiese.html\"")),
             qPrintable(window->mapCode()));
}

// Wayland lets no program read other windows: the magnifier enlarges the
// editor's own window under the pointer, and its title says so.
void TestWayland::magnifierShowsOwnWindows()
{
    korvane::test::SettingsFolder settings;
    const std::unique_ptr<MainWindow> window = startEditor({m_picture});
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_COMPARE(window->ui.Picture1->pictureSize(), kPictureSize);
    window->ui.Command4->click();
    auto* magnifier = window->findChild<Magnifier*>(QStringLiteral("lupe1"));
    QVERIFY(magnifier);
    QVERIFY(QTest::qWaitForWindowExposed(magnifier));
    QTRY_COMPARE(magnifier->windowTitle(), QStringLiteral("Lupe - nur Korvane-Fenster"));
    const QPoint onPicture = window->ui.Picture1->mapTo(window.get(), QPoint(120, 80));
    QTest::mouseMove(window->windowHandle(), onPicture);
    auto* view = magnifier->findChild<MagnifierView*>(QStringLiteral("Picture1"));
    QTRY_VERIFY(!view->picture().isNull());
    QVERIFY(view->message().isEmpty());
    const QImage shown = view->picture();
    // The middle of the view, beside the cross-hair, is the picture under the pointer.
    QCOMPARE(shown.pixelColor(shown.width() / 2 + 3, shown.height() / 2 + 3), kPictureColour);
}

int main(int argc, char* argv[])
{
    Weston weston;
    QString error;
    if (!weston.start(&error)) {
        std::fprintf(stderr, "FAIL!  : tst_wayland: %s\n", qPrintable(error));
        return 1;
    }
    const QProcessEnvironment environment = weston.clientEnvironment();
    for (const char* name : {"XDG_RUNTIME_DIR", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        qputenv(name, environment.value(QString::fromLatin1(name)).toLocal8Bit());
    QApplication app(argc, argv);
    prepareApplication();
    TestWayland test(weston);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_wayland.moc"

// Qt draws the title bar itself on Wayland, taller than the style's guess:
// a window too big for the screen is fitted again with the real frame, so
// the code box at its foot stays on the screen.
void TestWayland::windowFitsWithItsDecoration()
{
    korvane::test::SettingsFolder settings;
    const std::unique_ptr<MainWindow> window = startEditor({m_picture});
    const QRect free = window->screen()->availableGeometry();
    window->resize(free.size() + QSize(200, 200));
    window->fitIntoScreen();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_VERIFY2(window->frameGeometry().height() <= free.height() && window->frameGeometry().width() <= free.width(),
                 qPrintable(QStringLiteral("frame %1 x %2 on %3 x %4")
                                .arg(window->frameGeometry().width())
                                .arg(window->frameGeometry().height())
                                .arg(free.width())
                                .arg(free.height())));
}
