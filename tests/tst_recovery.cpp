// Unsaved maps survive the editor: the recovery file (its format, its bad
// forms), the keeper that writes and removes it in a running window, the offer
// at start, and the real program killed at random moments and started again.
#include "ImageSamples.h"
#include "support/Modal.h"
#include "support/Rows.h"
#include "support/ScriptedPlatform.h"
#include "support/SettingsFolder.h"

#include "app/MainWindow.h"
#include "app/OpenFromOutside.h"
#include "app/RecoveryStart.h"
#include "app/StartUp.h"
#include "app/commands/RecoveryKeeper.h"
#include "canvas/Canvas.h"
#include "io/ExportWindow.h"
#include "io/RecoveryFile.h"
#include "platform/QtPlatform.h"

#include <QDir>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <csignal>
#include <ctime>

using namespace korvane;
using namespace korvane::test;
using recovery::Problem;
using recovery::Snapshot;

Q_DECLARE_METATYPE(korvane::recovery::Snapshot)
Q_DECLARE_METATYPE(korvane::recovery::Problem)

namespace {

const QString kRect = QStringLiteral("rect                |10,20,110,70|ziel.html|Ziel|*|*|*|*");
// Imported with attributes the line has no field for: they ride in a ninth.
const QString kExtra =
    QStringLiteral("poly                |5,5,50,5,30,40|a.html|A \\ B|_top|*|*|*|data-x=\"1\"\r\nclass=\"b\"");
const QString kCircle = QStringLiteral("circle              |200,150,30|kreis.html|Kreis|*|*|*|*");

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

Snapshot sample(const QString& picture)
{
    Snapshot s;
    s.imagePath = picture;
    s.mapName = QStringLiteral("plan");
    s.lines = {kRect, kExtra, kCircle};
    s.selectedRow = 1;
    s.changed = QDateTime(QDate(2026, 12, 10), QTime(2, 3, 4, 5), Qt::UTC);
    return s;
}

// The process id of a program that has ended.
qint64 endedPid()
{
    QProcess done;
    done.start(QStringLiteral("/bin/true"), {});
    done.waitForFinished();
    return done.processId() > 0 ? done.processId() : 999'999;
}

QString question(const QString& picture)
{
    return QStringLiteral("Korvane wurde nicht ordnungsgemäß beendet. Zur Grafikdatei \"") + picture +
           QStringLiteral("\" gibt es ungespeicherte Areale, zuletzt geändert am 10.12.2026 um 02:03 Uhr. Sollen "
                          "diese Areale jetzt wiederhergestellt werden?");
}

// The user's state folder for one test, with a 400 x 300 picture beside it.
struct StateFolder {
    QTemporaryDir dir;
    StateFolder() { qputenv("XDG_STATE_HOME", dir.path().toUtf8()); }
    QString picture()
    {
        const QString path = dir.filePath(QStringLiteral("plan.png"));
        if (!QFile::exists(path))
            writeBytes(path, makeRaster("png", 400, 300, Qt::white));
        return path;
    }
    QString recoveryFile(qint64 pid) const { return recovery::filePath(pid); }
};

// The editor as the program starts it, with its keeper.
struct Editor {
    ScriptedPlatform& platform = installScriptedPlatform();
    SettingsFolder settings;
    MainWindow w;
    RecoveryKeeper* keeper = attachRecovery(w);

    Editor()
    {
        w.linkDialog = [this] {
            w.state().link.href = QStringLiteral("ziel.html");
            return true;
        };
        w.show();
    }
    void drawRect(QPoint from, QPoint to)
    {
        w.ui.Option1[1]->click();
        QTest::mousePress(w.ui.Picture1, Qt::LeftButton, {}, from);
        QTest::mouseMove(w.ui.Picture1, to);
        QTest::mouseRelease(w.ui.Picture1, Qt::LeftButton, {}, to);
    }
};

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fileFormat_data();
    void fileFormat();
    void badFiles_data();
    void badFiles();
    void keeperWritesAndRemoves_data();
    void keeperWritesAndRemoves();
    void offerAtStart_data();
    void offerAtStart();
    void otherEditors_data();
    void otherEditors();
    void badFileAtStart_data();
    void badFileAtStart();
    void pictureGoneOrRefused_data();
    void pictureGoneOrRefused();
    void offerComesBeforeFileFromOutside_data();
    void offerComesBeforeFileFromOutside();
    void exportPageComesBack();
    void killedEditorComesBack();
};

void TestRecovery::initTestCase()
{
    // The question names the time of the last change in local time.
    qputenv("TZ", "UTC");
    tzset();
}

void TestRecovery::fileFormat_data()
{
    QTest::addColumn<Snapshot>("snapshot");
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray head = "korvane-recovery 1\nchanged 2026-12-10T02:03:04.005Z\npicture /bilder/plan.png\n"
                            "name plan\n";
    Snapshot all = sample(QStringLiteral("/bilder/plan.png"));
    row("areas with all their fields", all,
        head + "selected 1\nareas 3\n" + kRect.toUtf8() +
            "\npoly                |5,5,50,5,30,40|a.html|A \\\\ B|_top|*|*|*|data-x=\"1\"\\r\\nclass=\"b\"\n" +
            kCircle.toUtf8() + "\nend\n");
    Snapshot none = all;
    none.lines.clear();
    none.selectedRow = -1;
    none.mapName = QStringLiteral("Übersicht");
    row("none, a name beyond ASCII", none,
        QByteArray("korvane-recovery 1\nchanged 2026-12-10T02:03:04.005Z\npicture /bilder/plan.png\n"
                   "name \xc3\x9c"
                   "bersicht\nselected -1\nareas 0\nend\n"));
    Snapshot page = none;
    page.mapName = QStringLiteral("plan");
    page.hasPage = true;
    page.pagePath = QStringLiteral("/seiten/index.html");
    page.pageBytes = QByteArray("<p>\r\n\xe4</p>");
    row("the export window's page", page,
        head + "selected -1\nareas 0\npage /seiten/index.html\npage-bytes 10\n" + page.pageBytes.toBase64() +
            "\nend\n");
}

// The written bytes exactly, and read back the same.
void TestRecovery::fileFormat()
{
    QFETCH(Snapshot, snapshot);
    QFETCH(QByteArray, bytes);
    QCOMPARE(recovery::serialize(snapshot), bytes);
    const recovery::ReadResult read = recovery::parse(bytes);
    QCOMPARE(read.problem, Problem::None);
    QVERIFY(read.snapshot == snapshot);
}

void TestRecovery::badFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Problem>("problem");
    const QByteArray good = recovery::serialize(sample(QStringLiteral("/bilder/plan.png")));
    row("newer version", QByteArray("korvane-recovery 2\nwhatever comes later\n"), Problem::NewerVersion);
    row("another file", QByteArray("<html>\n"), Problem::Unreadable);
    row("bad escape", QByteArray(good).replace("A \\\\ B", "A \\x B"), Problem::Unreadable);
    row("selection past the areas", QByteArray(good).replace("selected 1", "selected 3"), Problem::Unreadable);
    row("more after the end", good + "rect\n", Problem::Unreadable);
    row("fewer areas than counted", QByteArray(good).replace("areas 3", "areas 4"), Problem::Truncated);
    // Cut anywhere, the file is never taken for a whole one.
    Snapshot withPage = sample(QStringLiteral("/bilder/plan.png"));
    withPage.hasPage = true;
    withPage.pagePath = QStringLiteral("/seiten/index.html");
    withPage.pageBytes = "<html><body>Seite</body></html>";
    const QByteArray whole = recovery::serialize(withPage);
    for (qsizetype size = 0; size < whole.size(); ++size)
        QTest::addRow("cut at %lld", qlonglong(size)) << whole.left(size) << Problem::Truncated;
}

void TestRecovery::badFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Problem, problem);
    const recovery::ReadResult read = recovery::parse(bytes);
    QCOMPARE(read.problem, problem);
    QVERIFY(read.snapshot == Snapshot());
}

void TestRecovery::keeperWritesAndRemoves_data()
{
    QTest::addColumn<QString>("ending");
    row("saved", QStringLiteral("save"));
    row("closed, the changes discarded", QStringLiteral("close"));
    row("all areas deleted", QStringLiteral("clear"));
    row("the keeper goes with the program", QStringLiteral("quit"));
}

// Two areas drawn: within two seconds the file holds them; every normal end
// of the unsaved state takes it away.
void TestRecovery::keeperWritesAndRemoves()
{
    QFETCH(QString, ending);
    StateFolder state;
    auto e = std::make_unique<Editor>();
    openFromOutside(e->w, state.picture());
    e->drawRect(QPoint(10, 20), QPoint(110, 70));
    e->drawRect(QPoint(150, 100), QPoint(250, 200));
    QCOMPARE(e->w.areas().count(), 2);
    const QString file = e->keeper->filePath();
    QCOMPARE(file, state.recoveryFile(::getpid()));
    QCOMPARE(QFileInfo(file).absolutePath(), state.dir.filePath(QStringLiteral("korvane")));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), 2000);
    e->keeper->flush();
    recovery::ReadResult read = recovery::readFile(file);
    QCOMPARE(read.problem, Problem::None);
    QCOMPARE(read.snapshot.lines, e->w.areas().lines());
    QCOMPARE(read.snapshot.imagePath, state.picture());
    QCOMPARE(read.snapshot.selectedRow, -1);
    // A drag is written once it is over.
    e->w.ui.Option1[3]->click();
    e->w.setSelectedIndex(0);
    QTest::mousePress(e->w.ui.Picture1, Qt::LeftButton, {}, QPoint(60, 45));
    QTest::mouseMove(e->w.ui.Picture1, QPoint(70, 50));
    e->keeper->flush();
    QCOMPARE(recovery::readFile(file).snapshot.lines, read.snapshot.lines);
    QTest::mouseRelease(e->w.ui.Picture1, Qt::LeftButton, {}, QPoint(70, 50));
    e->keeper->flush();
    read = recovery::readFile(file);
    QCOMPARE(read.snapshot.lines, e->w.areas().lines());
    QCOMPARE(read.snapshot.lines.front().section(QLatin1Char('|'), 1, 1), QStringLiteral("20,25,120,75"));
    QCOMPARE(read.snapshot.selectedRow, 0);

    if (ending == QLatin1String("save")) {
        e->platform.fileAnswers << state.dir.filePath(QStringLiteral("plan.html"));
        e->platform.answers << MessageButton::No; // do not show the files
        e->w.ui.Command7->click();
        QVERIFY(e->w.document().mapSaved());
    } else if (ending == QLatin1String("close")) {
        e->platform.answers << MessageButton::No;
        e->w.close();
        QVERIFY(!e->w.isVisible());
    } else if (ending == QLatin1String("clear")) {
        e->w.ui.Command3->click();
        QVERIFY(e->w.areas().isEmpty());
    } else {
        e.reset();
        QVERIFY(!QFile::exists(file));
        return;
    }
    QTRY_VERIFY(!QFile::exists(file));
    // Nothing more is written while the map stays as it is.
    QTest::qWait(RecoveryKeeper::kDelayMs + 200);
    QVERIFY(!QFile::exists(file));
    QCOMPARE(QDir(state.dir.filePath(QStringLiteral("korvane"))).entryList(QDir::Files), QStringList());
}

void TestRecovery::offerAtStart_data()
{
    QTest::addColumn<MessageButton>("answer");
    row("restored", MessageButton::Yes);
    row("declined", MessageButton::No);
}

// A file left by an editor that ended: the question, then the map as it was
// (unsaved, with its picture and selection) or the file put aside for one
// more start.
void TestRecovery::offerAtStart()
{
    QFETCH(MessageButton, answer);
    StateFolder state;
    const qint64 ended = endedPid();
    const Snapshot left = sample(state.picture());
    QVERIFY(recovery::writeFile(state.recoveryFile(ended), left));
    Editor e;
    e.platform.answers << answer;
    e.keeper->offerRecovery();
    QCOMPARE(e.platform.boxes.size(), 1);
    expectBox(e.platform.boxes[0], kQuestionTitle, question(state.picture()), MessageIcon::Question);
    QCOMPARE(e.platform.boxes[0].defaultButton, MessageButton::Yes);
    QVERIFY(!QFile::exists(state.recoveryFile(ended)));
    if (answer == MessageButton::Yes) {
        QCOMPARE(e.w.areas().lines(), left.lines);
        QCOMPARE(e.w.selectedIndex(), 1);
        QCOMPARE(e.w.document().imagePath(), state.picture());
        QCOMPARE(e.w.document().mapName(), QStringLiteral("plan"));
        QCOMPARE(e.w.windowTitle(), QStringLiteral("Korvane [ Map für: plan.png ]"));
        QCOMPARE(e.w.ui.Picture1->pictureSize(), QSize(400, 300));
        QVERIFY(!e.w.document().mapSaved());
        QVERIFY(e.w.mapCode().contains(QStringLiteral("data-x=\"1\"")));
        // The map is this editor's now, with the time of its last change.
        e.keeper->flush();
        QVERIFY(recovery::readFile(e.keeper->filePath()).snapshot == left);
        return;
    }
    QVERIFY(e.w.areas().isEmpty());
    const QString aside = recovery::asidePath(ended);
    QCOMPARE(recovery::readFile(aside).snapshot, left);
    QVERIFY(!QFile::exists(e.keeper->filePath()));
    // The next start asks nothing and removes what was put aside.
    Editor next;
    next.keeper->offerRecovery();
    QCOMPARE(next.platform.boxes.size(), 0);
    QVERIFY(!QFile::exists(aside));
}

void TestRecovery::otherEditors_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("offered");
    row("an editor still running", QFileInfo(QCoreApplication::applicationFilePath()).fileName(), false);
    row("the process id now another program's", QStringLiteral("sleep"), true);
}

// Only the files of editors no longer running are offered; a running one keeps
// its own. A copy of sleep under this program's name stands for a running editor.
void TestRecovery::otherEditors()
{
    QFETCH(QString, program);
    QFETCH(bool, offered);
    StateFolder state;
    const QString copy = state.dir.filePath(program);
    QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), copy));
    QProcess other;
    other.start(copy, {QStringLiteral("30")});
    QVERIFY(other.waitForStarted());
    const QString file = state.recoveryFile(other.processId());
    QVERIFY(recovery::writeFile(file, sample(state.picture())));
    Editor e;
    e.platform.answers << MessageButton::No;
    e.keeper->offerRecovery();
    QCOMPARE(e.platform.boxes.size(), offered ? 1 : 0);
    QCOMPARE(QFile::exists(file), !offered);
    other.kill();
    other.waitForFinished();
}

void TestRecovery::badFileAtStart_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("why");
    const QByteArray good = recovery::serialize(sample(QStringLiteral("/bilder/plan.png")));
    row("truncated", good.left(good.size() - 20), QStringLiteral("ist unvollständig"));
    row("newer version", QByteArray("korvane-recovery 7\n"),
        QStringLiteral("stammt von einer neueren Version von Korvane"));
    row("unreadable", QByteArray("\x89PNG\r\n\x1a\n"), QStringLiteral("konnte nicht gelesen werden"));
}

// A clear message, the file put aside, and the editor starts as ever.
void TestRecovery::badFileAtStart()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    StateFolder state;
    const qint64 ended = endedPid();
    const QString file = state.recoveryFile(ended);
    QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
    writeBytes(file, bytes);
    Editor e;
    e.keeper->offerRecovery();
    const QString aside = recovery::asidePath(ended);
    QCOMPARE(e.platform.boxes.size(), 1);
    QCOMPARE(e.platform.boxes[0],
             warningBox(QStringLiteral("Die Wiederherstellungsdatei \"") + file + QStringLiteral("\" ") + why +
                        QStringLiteral("; die Areale darin lassen sich nicht wiederherstellen. Die Datei wurde "
                                       "unter \"") +
                        aside + QStringLiteral("\" beiseitegelegt und wird beim nächsten Start gelöscht.")));
    QCOMPARE(readBytes(aside), bytes);
    QVERIFY(!QFile::exists(file));
    QVERIFY(e.w.areas().isEmpty());
    QVERIFY(e.w.isVisible());
}

void TestRecovery::pictureGoneOrRefused_data()
{
    QTest::addColumn<QByteArray>("picture"); // empty: gone
    QTest::addColumn<QStringList>("messages");
    QByteArray huge = makeRaster("bmp", 4, 4, Qt::red);
    qToLittleEndian<qint32>(16000, huge.data() + 18);
    qToLittleEndian<qint32>(16000, huge.data() + 22);
    row("gone", QByteArray(),
        QStringList{
            QStringLiteral("Die MAP-Daten beziehen sich auf die Datei \"%1\". Bitte diese Grafikdatei öffnen.")});
    row("now too big", huge,
        QStringList{QStringLiteral("Das Bild ist zu groß: 16000 × 16000 Bildpunkte. Geöffnet werden Bilder mit "
                                   "höchstens 100 Millionen Bildpunkten (zum Beispiel 10000 × 10000).")});
}

// Restored without its picture: the message, and the areas kept.
void TestRecovery::pictureGoneOrRefused()
{
    QFETCH(QByteArray, picture);
    QFETCH(QStringList, messages);
    StateFolder state;
    const QString path = state.dir.filePath(QStringLiteral("bilder/plan.bmp"));
    if (!picture.isEmpty()) {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        writeBytes(path, picture);
    }
    const Snapshot left = sample(path);
    QVERIFY(recovery::writeFile(state.recoveryFile(endedPid()), left));
    Editor e;
    e.keeper->offerRecovery();
    const QString message = messages.front();
    QCOMPARE(e.platform.texts().mid(1),
             QStringList{message.contains(QLatin1String("%1")) ? message.arg(path) : message});
    QCOMPARE(e.platform.dialogs.size(), picture.isEmpty() ? 1 : 0); // the open command, cancelled
    QCOMPARE(e.w.areas().lines(), left.lines);
    QCOMPARE(e.w.document().imagePath(), path);
    QVERIFY(!e.w.document().mapSaved());
    e.keeper->flush();
    QCOMPARE(recovery::readFile(e.keeper->filePath()).snapshot.lines, left.lines);
}

void TestRecovery::offerComesBeforeFileFromOutside_data()
{
    QTest::addColumn<bool>("restore");
    QTest::addColumn<QString>("then"); // the answer to the unsaved question; empty: not asked
    row("restored, Escape keeps it", true, QStringLiteral("Escape"));
    row("restored, Nein opens the file", true, QStringLiteral("Nein"));
    row("declined, the file opens", false, QString());
}

// A recovery file to offer and a picture named on the command line, the real
// boxes answered: the question about the recovery file comes first (the file
// does not open while it waits), and the picture after it, as after any Open:
// the restored map is unsaved, so that is asked first.
void TestRecovery::offerComesBeforeFileFromOutside()
{
    QFETCH(bool, restore);
    QFETCH(QString, then);
    StateFolder state;
    const Snapshot left = sample(state.picture());
    QVERIFY(recovery::writeFile(state.recoveryFile(endedPid()), left));
    const QString other = state.dir.filePath(QStringLiteral("anders.png"));
    writeBytes(other, makeRaster("png", 40, 30, Qt::red));
    SettingsFolder settings;
    setPlatform(std::make_unique<QtPlatform>());
    QStringList asked;
    const auto answer = [&asked](QWidget* modal, QMessageBox::StandardButton button) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        asked << (box ? box->text() : QStringLiteral("<no box>"));
        if (button == QMessageBox::Escape)
            QTest::keyClick(modal, Qt::Key_Escape);
        else if (box)
            box->button(button)->click();
    };
    whenModalOpens([&](QWidget* modal) {
        if (!then.isEmpty())
            whenModalOpens([&](QWidget* next) {
                answer(next, then == QLatin1String("Escape") ? QMessageBox::Escape : QMessageBox::No);
            });
        answer(modal, restore ? QMessageBox::Yes : QMessageBox::No);
    });
    const std::unique_ptr<MainWindow> w = startEditor({other});
    const bool reopened = !restore || then == QLatin1String("Nein");
    QTRY_COMPARE(w->windowTitle(), reopened ? QStringLiteral("Korvane [ Map für: anders.png ]")
                                            : QStringLiteral("Korvane [ Map für: plan.png ]"));
    QTRY_COMPARE(asked.size(), then.isEmpty() ? 1 : 2);
    QCOMPARE(asked.front(), question(state.picture()));
    if (!then.isEmpty())
        QCOMPARE(asked.back(), QStringLiteral("Der HTML-Code der erzeugten ImageMap wurde noch nicht gespeichert. "
                                              "Soll der Code jetzt gespeichert werden?"));
    QCOMPARE(w->areas().lines(), reopened ? AreaLines() : left.lines);
    QCOMPARE(w->document().mapSaved(), reopened);
    auto* keeper = w->findChild<RecoveryKeeper*>();
    keeper->flush();
    QCOMPARE(recovery::readFile(keeper->filePath()).snapshot.lines, reopened ? AreaLines() : left.lines);
}

// The export window's page with the pasted code, not yet saved: kept with the
// map and shown again, still unsaved.
void TestRecovery::exportPageComesBack()
{
    StateFolder state;
    const QString pagePath = state.dir.filePath(QStringLiteral("index.html"));
    writeBytes(pagePath, "<html>\r\n<body>\r\n</body>\r\n</html>\r\n");
    QByteArray kept;
    {
        Editor e;
        openFromOutside(e.w, state.picture());
        e.drawRect(QPoint(10, 20), QPoint(110, 70));
        e.platform.fileAnswers << pagePath;
        e.w.ui.Command12->click();
        auto* page = e.w.findChild<ExportWindow*>();
        QVERIFY(page && page->isVisible());
        page->ui.Text1->moveCursor(QTextCursor::Down);
        page->ui.Command1->click(); // "Einfügen"
        e.keeper->flush();
        QTRY_VERIFY(recovery::readFile(e.keeper->filePath()).snapshot.hasPage);
        const Snapshot s = recovery::readFile(e.keeper->filePath()).snapshot;
        QCOMPARE(s.pagePath, pagePath);
        // The code pasted at the start of the second line.
        const QString pasted = QGuiApplication::clipboard()->text();
        QVERIFY(pasted.contains(QLatin1String("<map id=\"plan\" name=\"plan\">")));
        QCOMPARE(s.pageBytes, "<html>\r\n" + pasted.toLatin1() + "<body>\r\n</body>\r\n</html>\r\n");
        kept = recovery::serialize(s);
        page->hide();
    }
    QVERIFY(!QFile::exists(state.recoveryFile(::getpid())));
    const qint64 ended = endedPid();
    QVERIFY(QDir().mkpath(QFileInfo(state.recoveryFile(ended)).absolutePath()));
    writeBytes(state.recoveryFile(ended), kept);
    Editor e;
    e.keeper->offerRecovery();
    auto* page = e.w.findChild<ExportWindow*>();
    QVERIFY(page && page->isVisible());
    QCOMPARE(page->tag(), pagePath);
    QCOMPARE(page->page().save(page->ui.Text1->document()->toRawText()), recovery::parse(kept).snapshot.pageBytes);
    QVERIFY(page->ui.Text1->document()->isModified());
    QVERIFY(!page->isSaved());
    // Closing it asks, as for any unsaved page.
    e.platform.answers << MessageButton::No;
    page->close();
    QCOMPARE(e.platform.texts().last(),
             QStringLiteral("Der HTML-Code wurde noch nicht gespeichert. Soll der Code jetzt gespeichert werden?"));
}

namespace {

qint64 monotonicMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
}

// One line of the driver's log: a state of the areas and when it was reached.
struct Logged {
    char kind = 0;
    qint64 at = 0;
    QStringList lines;
};

QList<Logged> readLog(const QString& path)
{
    QList<Logged> states;
    for (const QByteArray& line : readBytes(path).split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 3 || (parts[0] != "R" && parts[0] != "S"))
            continue;
        const QString text = QString::fromUtf8(QByteArray::fromBase64(parts[2]));
        states.append(
            {parts[0][0], parts[1].toLongLong(), text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'))});
    }
    return states;
}

// The driver started as the program is, in the test's state folder.
void startDriver(QProcess& driver, const QStringList& arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), env.value(QStringLiteral("XDG_STATE_HOME")));
    driver.setProcessEnvironment(env);
    driver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    driver.start(QStringLiteral(KORVANE_RECOVERY_DRIVER), arguments);
}

// Whether `lines` is one of the states from the last change at least two
// seconds before `killedAt` on: the file may hold any of them, nothing older.
bool keptInTime(const QList<Logged>& states, qint64 killedAt, const QStringList& lines)
{
    qsizetype first = 0;
    for (qsizetype i = 0; i < states.size(); ++i) {
        if (states[i].at <= killedAt - 2000)
            first = i;
    }
    for (qsizetype i = first; i < states.size(); ++i) {
        if (states[i].lines == lines)
            return true;
    }
    return false;
}

} // namespace

// The program killed (SIGKILL) at random moments while it draws, moves, edits
// and deletes areas; each start after a kill answers Yes and must find the
// areas as they were at the last change at least two seconds before it. A
// second editor runs beside all rounds and keeps its own file. At the end a
// normal close leaves no file.
void TestRecovery::killedEditorComesBack()
{
    constexpr int kRounds = 50;
    StateFolder state;
    const QString picture = state.picture();
    const QString neighbourLog = state.dir.filePath(QStringLiteral("neighbour.log"));
    QProcess neighbour;
    startDriver(neighbour, {picture, neighbourLog, QStringLiteral("4711"), QStringLiteral("300")});
    QVERIFY(neighbour.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!readLog(neighbourLog).isEmpty(), 20000);

    QRandomGenerator random(20261210);
    QList<Logged> before; // the states of the round before and when it was killed
    qint64 killedAt = 0;
    int restored = 0;
    const QString log = state.dir.filePath(QStringLiteral("editor.log"));
    for (int round = 0; round < kRounds; ++round) {
        QFile::remove(log);
        QProcess editor;
        startDriver(editor, {picture, log, QString::number(round + 1)});
        QVERIFY(editor.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!readLog(log).isEmpty(), 20000);
        const QStringList start = readLog(log).front().lines;
        if (round > 0) {
            QVERIFY2(keptInTime(before, killedAt, start), qPrintable(QStringLiteral("round %1").arg(round)));
            restored += start.isEmpty() ? 0 : 1;
        }
        QTest::qWait(300 + int(random.bounded(3000)));
        killedAt = monotonicMs();
        ::kill(pid_t(editor.processId()), SIGKILL);
        QVERIFY(editor.waitForFinished());
        before = readLog(log);
    }
    QVERIFY2(restored > kRounds / 2, qPrintable(QString::number(restored)));

    // The neighbour's file was never taken.
    const QString neighbourFile = state.recoveryFile(neighbour.processId());
    QVERIFY(QFile::exists(neighbourFile));
    QVERIFY(keptInTime(readLog(neighbourLog), monotonicMs(),
                       recovery::readFile(neighbourFile).snapshot.lines.toStringList()));

    // Restored once more, changed, then closed normally without saving.
    QFile::remove(log);
    QProcess last;
    startDriver(last, {picture, log, QStringLiteral("99"), QStringLiteral("60"), QStringLiteral("close")});
    QVERIFY(last.waitForStarted());
    QVERIFY(last.waitForFinished(30000));
    QCOMPARE(last.exitStatus(), QProcess::NormalExit);
    QCOMPARE(last.exitCode(), 0);
    QVERIFY(keptInTime(before, killedAt, readLog(log).front().lines));
    QVERIFY(readBytes(log).contains("\nF 1\n"));
    QCOMPARE(QDir(state.dir.filePath(QStringLiteral("korvane"))).entryList(QDir::Files),
             QStringList{QFileInfo(neighbourFile).fileName()});
    neighbour.kill();
    neighbour.waitForFinished();
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
