// The editor as the program starts it, driven by a scripted user for the
// recovery test, which kills it at random moments: it draws, moves, edits and
// deletes areas through the canvas, the list and the keys, and logs every state
// the areas reach with the time (CLOCK_MONOTONIC, milliseconds), so the test
// can tell what the recovery file must hold at the moment of the kill.
//
// recovery_driver PICTURE LOG SEED [PAUSE_MS] [close|type]
//   log lines: "R <ms> <state>" the map after start-up (restored or new),
//              "S <ms> <state>" each later state, <state> the lines in Base64;
//              with "close": "F <0|1>" whether the recovery file was there
//              before the window was closed normally;
//              with "type": one area drawn, then text typed into the code
//              box, and "T <ms> <code>" the code box's text in Base64.
#include "support/ScriptedPlatform.h"

#include "app/MainWindow.h"
#include "app/OpenFromOutside.h"
#include "app/StartUp.h"
#include "canvas/Canvas.h"
#include "io/RecoveryFile.h"
#include "model/AreaEntry.h"

#include <QApplication>
#include <QFile>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

using namespace korvane;

namespace {

qint64 now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
}

class Driver {
public:
    Driver(MainWindow& w, const QString& picture, int log, quint32 seed, int pauseMs)
        : m_w(w), m_picture(picture), m_log(log), m_random(seed), m_pauseMs(pauseMs)
    {
    }

    void begin(bool typeOnce = false)
    {
        if (m_w.areas().isEmpty())
            openFromOutside(m_w, m_picture);
        log('R');
        m_w.linkDialog = [this] {
            m_w.state().link.href = QStringLiteral("ziel%1.html").arg(++m_links);
            return true;
        };
        if (typeOnce) {
            type();
            return;
        }
        m_timer.setInterval(m_pauseMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { step(); });
        m_timer.start();
    }
    void stop() { m_timer.stop(); }

private:
    int pick(int below) { return int(m_random.bounded(quint32(below))); }
    QPoint somewhere() { return QPoint(10 + pick(380), 10 + pick(280)); }
    QWidget* canvas() { return m_w.ui.Picture1; }

    void step()
    {
        const int count = m_w.areas().count();
        const int choice = count == 0 ? 0 : pick(count > 25 ? 12 : 10);
        if (choice < 4)
            draw();
        else if (choice < 7)
            move(pick(count));
        else if (choice < 8)
            edit(pick(count));
        else
            remove(pick(count));
        QApplication::processEvents();
        if (m_w.areas().lines() != m_logged)
            log('S');
    }

    // An area, then text typed at the end of the code box.
    void type()
    {
        draw();
        QApplication::processEvents();
        log('S');
        QPlainTextEdit* box = m_w.ui.txtMap;
        box->setFocus();
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, QStringLiteral("<!-- von Hand %1 -->").arg(m_random.generate()));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, QStringLiteral("<p>\\</p>"));
        const QByteArray line = "T " + QByteArray::number(now()) + ' ' + m_w.mapCode().toUtf8().toBase64() + '\n';
        if (::write(m_log, line.constData(), size_t(line.size())) != line.size())
            QApplication::exit(3);
    }

    void draw()
    {
        m_w.ui.Option1[1]->click();
        const QPoint from = somewhere();
        const QPoint to = from + QPoint(8 + pick(60), 8 + pick(60));
        QTest::mousePress(canvas(), Qt::LeftButton, {}, from);
        QTest::mouseMove(canvas(), (from + to) / 2);
        QTest::mouseMove(canvas(), to);
        QTest::mouseRelease(canvas(), Qt::LeftButton, {}, to);
    }

    // In edit mode: the area selected, then dragged by its body.
    void move(int row)
    {
        if (!m_w.ui.Option1[3]->isChecked())
            m_w.ui.Option1[3]->click();
        m_w.setSelectedIndex(row);
        const QStringList c = entry::coordsOf(m_w.areas().line(row)).split(QLatin1Char(','));
        if (c.size() != 4)
            return;
        const QPoint inside((c[0].toInt() + c[2].toInt()) / 2, (c[1].toInt() + c[3].toInt()) / 2);
        const QPoint by(pick(41) - 20, pick(41) - 20);
        QTest::mousePress(canvas(), Qt::LeftButton, {}, inside);
        QTest::mouseMove(canvas(), inside + by / 2);
        QTest::mouseMove(canvas(), inside + by);
        QTest::mouseRelease(canvas(), Qt::LeftButton, {}, inside + by);
    }

    // As the attribute editor accepts a new link target.
    void edit(int row)
    {
        QStringList fields = m_w.areas().line(row).split(QLatin1Char('|'));
        if (fields.size() < 3)
            return;
        fields[2] = QStringLiteral("neu%1.html").arg(++m_links);
        m_w.setSelectedIndex(row);
        m_w.document().changeAttributes(row, fields.join(QLatin1Char('|')));
        m_w.refresh();
    }

    // The Delete key on the list; the question is answered Yes.
    void remove(int row)
    {
        m_w.setSelectedIndex(row);
        QTest::keyClick(m_w.ui.List1, Qt::Key_Delete);
    }

    void log(char kind)
    {
        m_logged = m_w.areas().lines().toStringList();
        const QByteArray state = m_logged.join(QLatin1Char('\n')).toUtf8().toBase64();
        const QByteArray line = kind + QByteArray(" ") + QByteArray::number(now()) + ' ' + state + '\n';
        // Unbuffered: what was written is in the file when the process is killed.
        if (::write(m_log, line.constData(), size_t(line.size())) != line.size())
            QApplication::exit(3);
    }

    MainWindow& m_w;
    QString m_picture;
    int m_log;
    QRandomGenerator m_random;
    int m_pauseMs;
    QTimer m_timer;
    QStringList m_logged;
    int m_links = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    prepareApplication();
    const QStringList args = QApplication::arguments();
    if (args.size() < 4)
        return 2;
    const int log = ::open(QFile::encodeName(args[2]).constData(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    if (log < 0)
        return 2;
    const bool closeAtEnd = args.size() > 5 && args[5] == QLatin1String("close");
    const bool typeOnce = args.size() > 5 && args[5] == QLatin1String("type");
    test::ScriptedPlatform& platform = test::installScriptedPlatform();
    const std::unique_ptr<MainWindow> window = startEditor({});
    Driver driver(*window, args[1], log, args[3].toUInt(), args.size() > 4 ? args[4].toInt() : 60);
    // After the start-up's offer of recovered maps, which is queued first.
    QTimer::singleShot(0, window.get(), [&driver, typeOnce] { driver.begin(typeOnce); });
    if (closeAtEnd) {
        QTimer::singleShot(1500, window.get(), [&driver] { driver.stop(); });
        QTimer::singleShot(3500, window.get(), [&] {
            const QByteArray line =
                "F " + QByteArray::number(int(QFile::exists(recovery::filePath(::getpid())))) + '\n';
            if (::write(log, line.constData(), size_t(line.size())) != line.size())
                QApplication::exit(3);
            platform.answers << MessageButton::No; // the changes are not saved
            window->close();
        });
    }
    return QApplication::exec();
}
