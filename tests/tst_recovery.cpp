// Unsaved maps survive the editor: the recovery file (its format, its bad
// forms), the keeper that writes and removes it in a running window, the offer
// at start, and the real program killed at random moments and started again.
#include "ImageSamples.h"
#include "support/Modal.h"
#include "support/Rows.h"
#include "support/ScriptedPlatform.h"
#include "support/FileSizeLimit.h"
#include "support/SettingsFolder.h"

#include "app/MainWindow.h"
#include "app/OpenFromOutside.h"
#include "app/RecoveryStart.h"
#include "app/StartUp.h"
#include "app/commands/RecoveryKeeper.h"
#include "canvas/Canvas.h"
#include "io/ExportWindow.h"
#include "io/RecoveryFile.h"
#include "io/RecoveryRead.h"
#include "platform/QtPlatform.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
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
#include <sys/stat.h>
#include <unistd.h>

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

// Read in pieces of a few dozen bytes, most lines take the way that a link of
// megabytes takes with the reader's own pieces: both must give the same.
recovery::ReadResult readInPieces(const QByteArray& bytes, qsizetype piece)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return recovery::readFrom(buffer, std::numeric_limits<qint64>::max() - 1, piece);
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

// Folder permissions bind every user but root: run as root, the test acts as
// user nobody meanwhile, its files given to nobody first.
class AsPlainUser {
public:
    static constexpr uid_t kNobody = 65534;
    explicit AsPlainUser(const QString& tree)
    {
        if (::geteuid() != 0)
            return;
        QDirIterator entries(tree, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (entries.hasNext())
            QVERIFY(::lchown(QFile::encodeName(entries.next()).constData(), kNobody, gid_t(-1)) == 0);
        QVERIFY(::chown(QFile::encodeName(tree).constData(), kNobody, gid_t(-1)) == 0);
        m_switched = ::seteuid(kNobody) == 0;
        QVERIFY(m_switched);
    }
    ~AsPlainUser()
    {
        if (m_switched)
            QVERIFY(::seteuid(0) == 0);
    }
    AsPlainUser(const AsPlainUser&) = delete;
    AsPlainUser& operator=(const AsPlainUser&) = delete;

private:
    bool m_switched = false;
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
    // Typed at the end of the code box, as a user types.
    void type(const QString& text)
    {
        QPlainTextEdit* box = w.ui.txtMap;
        box->setFocus();
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, text);
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
    void oddBytesReadAlike_data();
    void oddBytesReadAlike();
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
    void handEditsComeBack_data();
    void handEditsComeBack();
    void unwritableFolder_data();
    void unwritableFolder();
    void unprotectedWordWaitsForTheMouse();
    void notFilesAtStart_data();
    void notFilesAtStart();
    void leftoversAtStart_data();
    void leftoversAtStart();
    void killedEditorComesBack();
    void killedWhileTyping();
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
    // Text typed over the code: the one thing version 1 cannot hold.
    Snapshot typed = all;
    typed.lines = {kRect};
    typed.selectedRow = 0;
    typed.code = QStringLiteral("<img src=\"x\">\r\n<p>C:\\Bilder \u20ac</p>");
    row("code typed by hand", typed,
        QByteArray("korvane-recovery 2\nchanged 2026-12-10T02:03:04.005Z\npicture /bilder/plan.png\nname plan\n") +
            "selected 0\nareas 1\n" + kRect.toUtf8() +
            "\ncode <img src=\"x\">\\r\\n<p>C:\\\\Bilder \xe2\x82\xac</p>\nend\n");
    Snapshot emptied = typed;
    emptied.code = QString();
    row("code box emptied by hand", emptied,
        QByteArray("korvane-recovery 2\nchanged 2026-12-10T02:03:04.005Z\npicture /bilder/plan.png\nname plan\n") +
            "selected 0\nareas 1\n" + kRect.toUtf8() + "\ncode \nend\n");
    // Values longer than the piece the reader takes at once, escapes and
    // characters beyond Latin-1 across the pieces' borders.
    const qsizetype piece = 1024 * 1024;
    Snapshot longOnes = all;
    const QString link = QString(piece - 3, QLatin1Char('a')) + QStringLiteral("\\\r\nb\u00e4");
    longOnes.mapName = QString(piece + 5, QLatin1Char('n'));
    longOnes.lines = {pad("", "rect") + "1,2,3,4|" + link + "|x|*|*|*|*", kCircle,
                      pad("", "poly") + "1,1,9,1,5,5|" + QString(piece, QChar(0x20ac)) + "|y|*|*|*|*",
                      QString(piece + 1, QLatin1Char('\\')), QString(piece + 2, QLatin1Char('\\'))};
    longOnes.selectedRow = 2;
    longOnes.code = QString(piece / 2, QLatin1Char('c')) + QStringLiteral("\r\n") + QString(piece, QChar(0x00fc));
    longOnes.hasPage = true;
    longOnes.pagePath = QStringLiteral("/seiten/lang.html");
    longOnes.pageBytes = QByteArray(piece + 7, '\xe4');
    QByteArray longBytes = "korvane-recovery 2\nchanged 2026-12-10T02:03:04.005Z\npicture /bilder/plan.png\nname " +
                           longOnes.mapName.toUtf8() + "\nselected 2\nareas 5\n" + pad("", "rect").toUtf8() +
                           "1,2,3,4|" + QByteArray(piece - 3, 'a') + "\\\\\\r\\nb\xc3\xa4|x|*|*|*|*\n" +
                           kCircle.toUtf8() + '\n' + pad("", "poly").toUtf8() + "1,1,9,1,5,5|" +
                           QString(piece, QChar(0x20ac)).toUtf8() + "|y|*|*|*|*\n" + QByteArray(2 * (piece + 1), '\\') +
                           '\n' + QByteArray(2 * (piece + 2), '\\') + "\ncode " + QByteArray(piece / 2, 'c') +
                           "\\r\\n" + QString(piece, QChar(0x00fc)).toUtf8() + "\npage /seiten/lang.html\npage-bytes " +
                           QByteArray::number(piece + 7) + '\n' + longOnes.pageBytes.toBase64() + "\nend\n";
    row("lines longer than a piece", longOnes, longBytes);
}

// The written bytes exactly, and read back the same, from memory and from disk.
void TestRecovery::fileFormat()
{
    QFETCH(Snapshot, snapshot);
    QFETCH(QByteArray, bytes);
    QCOMPARE(recovery::serialize(snapshot), bytes);
    const recovery::ReadResult read = recovery::parse(bytes);
    QCOMPARE(read.problem, Problem::None);
    QVERIFY(read.snapshot == snapshot);
    for (const qsizetype piece : {64, 97}) {
        const recovery::ReadResult inPieces = readInPieces(bytes, piece);
        QCOMPARE(inPieces.problem, Problem::None);
        QVERIFY(inPieces.snapshot == snapshot);
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("recovery-1.txt"));
    QVERIFY(recovery::writeFile(file, snapshot));
    QCOMPARE(readBytes(file), bytes);
    const recovery::ReadResult fromDisk = recovery::readFile(file);
    QCOMPARE(fromDisk.problem, Problem::None);
    QVERIFY(fromDisk.snapshot == snapshot);
}

void TestRecovery::badFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Problem>("problem");
    const QByteArray good = recovery::serialize(sample(QStringLiteral("/bilder/plan.png")));
    row("newer version", QByteArray("korvane-recovery 3\nwhatever comes later\n"), Problem::NewerVersion);
    row("another file", QByteArray("<html>\n"), Problem::Unreadable);
    row("bad escape", QByteArray(good).replace("A \\\\ B", "A \\x B"), Problem::Unreadable);
    row("selection past the areas", QByteArray(good).replace("selected 1", "selected 3"), Problem::Unreadable);
    row("more after the end", good + "rect\n", Problem::Unreadable);
    row("fewer areas than counted", QByteArray(good).replace("areas 3", "areas 4"), Problem::Truncated);
    row("code in a version 1 file", QByteArray(good).replace("\nend\n", "\ncode x\nend\n"), Problem::Unreadable);
    row("code after the page",
        QByteArray(good)
            .replace("korvane-recovery 1", "korvane-recovery 2")
            .replace("\nend\n", "\npage p\npage-bytes 0\n\ncode x\nend\n"),
        Problem::Unreadable);
    row("a page longer than it says", QByteArray(good).replace("\nend\n", "\npage p\npage-bytes 2\nYWJj\nend\n"),
        Problem::Unreadable);
    // Lines longer than the piece the reader takes at once.
    const QByteArray longLine = QByteArray(2 * 1024 * 1024, 'a');
    const QByteArray longArea = QByteArray(good).replace("Kreis", longLine);
    row("a long line cut short", longArea.left(longArea.indexOf(longLine) + 1'500'000), Problem::Truncated);
    row("a bad escape in a long line", QByteArray(longArea).replace(longLine, longLine + "\\x"), Problem::Unreadable);
    row("a long line ending in a backslash", QByteArray(good).replace("Kreis|*|*|*|*\n", longLine + "\\\n"),
        Problem::Unreadable);
    row("a long first line", longLine + '\n', Problem::Unreadable);
    row("a long page cut short",
        QByteArray(good).replace("\nend\n", "\npage p\npage-bytes 3000000\n" + QByteArray(3'000'000, 'A').toBase64()),
        Problem::Truncated);
    // Cut anywhere, the file is never taken for a whole one.
    Snapshot withPage = sample(QStringLiteral("/bilder/plan.png"));
    withPage.hasPage = true;
    withPage.pagePath = QStringLiteral("/seiten/index.html");
    withPage.pageBytes = "<html><body>Seite</body></html>";
    const QByteArray whole = recovery::serialize(withPage);
    for (qsizetype size = 0; size < whole.size(); ++size)
        QTest::addRow("cut at %lld", qlonglong(size)) << whole.left(size) << Problem::Truncated;
    withPage.code = QStringLiteral("<p>von\r\nHand</p>");
    const QByteArray withCode = recovery::serialize(withPage);
    for (qsizetype size = withCode.indexOf("\ncode "); size < withCode.size(); ++size)
        QTest::addRow("with code, cut at %lld", qlonglong(size)) << withCode.left(size) << Problem::Truncated;
}

void TestRecovery::badFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Problem, problem);
    const recovery::ReadResult read = recovery::parse(bytes);
    QCOMPARE(read.problem, problem);
    QVERIFY(read.snapshot == Snapshot());
    for (const qsizetype piece : {64, 97}) {
        const recovery::ReadResult inPieces = readInPieces(bytes, piece);
        QCOMPARE(inPieces.problem, problem);
        QVERIFY(inPieces.snapshot == Snapshot());
    }
}

void TestRecovery::oddBytesReadAlike_data()
{
    QTest::addColumn<QByteArray>("value");
    row("a sequence cut off at the end", QByteArray(100, 'a') + "\xe2\x82");
    row("three bytes of four at the end", QByteArray(100, 'a') + "\xf0\x9f\x98");
    row("a stray continuation byte", QByteArray(70, 'a') + "\x82" + QByteArray(70, 'b'));
    row("a byte order mark first", "\xef\xbb\xbf" + QByteArray(100, 'a'));
    row("an encoded surrogate", QByteArray(80, 'a') + "\xed\xa0\x80" + QByteArray(80, 'b'));
    row("a character across the pieces", QByteArray(63, 'a') + "\xf0\x9f\x98\x80" + QByteArray(70, 'b'));
}

// Bytes no editor wrote, in a value that the reader takes whole and in
// pieces alike: both ways read the same characters.
void TestRecovery::oddBytesReadAlike()
{
    QFETCH(QByteArray, value);
    const QByteArray file = "korvane-recovery 2\nchanged 2026-12-10T02:03:04.005Z\npicture " + value + "\nname " +
                            value + "\nselected -1\nareas 1\n" + value + "\ncode " + value + "\nend\n";
    const recovery::ReadResult whole = recovery::parse(file);
    QCOMPARE(whole.problem, Problem::None);
    QCOMPARE(whole.snapshot.imagePath, QString::fromUtf8(value));
    for (const qsizetype piece : {64, 97}) {
        const recovery::ReadResult inPieces = readInPieces(file, piece);
        QCOMPARE(inPieces.problem, Problem::None);
        QVERIFY(inPieces.snapshot == whole.snapshot);
    }
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

void TestRecovery::handEditsComeBack_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("kept"); // the file holds the typed code
    row("typed after the code", QStringLiteral("type"), true);
    row("typed where no area is drawn", QStringLiteral("only code"), true);
    row("typing undone in the box", QStringLiteral("undo"), false);
    row("an area drawn after typing", QStringLiteral("draw after"), false);
}

// Text typed into the code box is work too: the file keeps it while it is not
// the areas' code, and "Ja" brings it back over the code, unsaved, with the
// areas and the selection; the box's own undo then shows the areas' code.
void TestRecovery::handEditsComeBack()
{
    QFETCH(QString, edit);
    QFETCH(bool, kept);
    StateFolder state;
    QByteArray bytes;
    QString code;
    QString generated;
    AreaLines lines;
    int selected = -1;
    {
        Editor e;
        openFromOutside(e.w, state.picture());
        if (edit != QLatin1String("only code"))
            e.drawRect(QPoint(10, 20), QPoint(110, 70));
        generated = e.w.mapCode();
        e.type(QStringLiteral("<p>von Hand</p>"));
        QTest::keyClick(e.w.ui.txtMap, Qt::Key_Return);
        e.type(QStringLiteral("\\ende"));
        for (int i = 0; edit == QLatin1String("undo") && e.w.mapCode() != generated && i < 10; ++i)
            QTest::keyClick(e.w.ui.txtMap, Qt::Key_Z, Qt::ControlModifier);
        if (edit == QLatin1String("draw after"))
            e.drawRect(QPoint(150, 100), QPoint(250, 200));
        e.keeper->flush();
        bytes = readBytes(e.keeper->filePath());
        code = e.w.mapCode();
        lines = e.w.areas().lines();
        selected = e.w.selectedIndex();
    }
    QCOMPARE(bytes.startsWith("korvane-recovery 2\n"), kept);
    QCOMPARE(bytes.contains("\ncode "), kept);
    if (kept)
        QCOMPARE(code, generated + QStringLiteral("<p>von Hand</p>\r\n\\ende"));
    else
        QVERIFY(!code.contains(QLatin1String("von Hand")));
    // The editor ended without closing: its file, under an ended process's id.
    const qint64 ended = endedPid();
    writeBytes(state.recoveryFile(ended), bytes);
    Editor e;
    e.platform.answers << MessageButton::Yes;
    e.keeper->offerRecovery();
    QCOMPARE(e.platform.boxes.size(), 1);
    const QString picture = state.picture();
    QCOMPARE(e.platform.boxes[0].text,
             edit == QLatin1String("only code")
                 ? QStringLiteral("Korvane wurde nicht ordnungsgemäß beendet. Zur Grafikdatei \"") + picture +
                       QStringLiteral("\" gibt es ungespeicherten HTML-Code, zuletzt geändert am ") +
                       recovery::parse(bytes).snapshot.changed.toString(QStringLiteral("dd.MM.yyyy 'um' HH:mm")) +
                       QStringLiteral(" Uhr. Soll dieser Code jetzt wiederhergestellt werden?")
                 : e.platform.boxes[0].text);
    QCOMPARE(e.w.areas().lines(), lines);
    QCOMPARE(e.w.selectedIndex(), selected);
    QCOMPARE(e.w.mapCode(), code);
    QVERIFY(!e.w.document().mapSaved());
    if (!kept)
        return;
    // Written again as this editor's own, the typed text with it.
    e.keeper->flush();
    QCOMPARE(recovery::readFile(e.keeper->filePath()).snapshot.code, std::optional<QString>(code));
    QTest::keyClick(e.w.ui.txtMap, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.w.mapCode(), generated);
}

void TestRecovery::unwritableFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("reason"); // %1: the folder, or what keeps it from being made
    row("read-only", QStringLiteral("read-only"), QStringLiteral("der Ordner \"%1\" schreibgeschützt ist"));
    row("missing in a read-only folder", QStringLiteral("read-only above"),
        QStringLiteral("der Ordner \"%1\" schreibgeschützt ist"));
    row("a file", QStringLiteral("file"), QStringLiteral("\"%1\" kein Ordner ist"));
    row("a file on its way", QStringLiteral("file above"), QStringLiteral("\"%1\" kein Ordner ist"));
    row("a full disk", QStringLiteral("full"), QStringLiteral("der Datenträger voll ist"));
    row("another user's", QStringLiteral("foreign"), QStringLiteral("der Ordner \"%1\" einem anderen Benutzer gehört"));
}

// A state folder that takes no recovery file: the user is told once that the
// unsaved work is not protected, and what the folder holds is still offered.
void TestRecovery::unwritableFolder()
{
    QFETCH(QString, folder);
    QFETCH(QString, reason);
    StateFolder state;
    const QString picture = state.picture();
    if (folder == QLatin1String("file above")) {
        writeBytes(state.dir.filePath(QStringLiteral("state")), "kein Ordner");
        qputenv("XDG_STATE_HOME", state.dir.filePath(QStringLiteral("state")).toUtf8());
    }
    const QString path = recovery::folder();
    const qint64 ended = endedPid();
    const Snapshot left = sample(picture);
    const bool root = ::geteuid() == 0;
    // A map left by an editor that ended, where the folder can hold one.
    const bool orphan = folder == QLatin1String("read-only") || folder == QLatin1String("full") ||
                        (folder == QLatin1String("foreign") && root);
    if (orphan)
        QVERIFY(recovery::writeFile(state.recoveryFile(ended), left));
    if (folder == QLatin1String("file"))
        writeBytes(path, "kein Ordner");
    if (folder == QLatin1String("foreign")) {
        // Root gives it away; anyone else finds one of root's there.
        if (root)
            QVERIFY(::chown(QFile::encodeName(path).constData(), AsPlainUser::kNobody, gid_t(-1)) == 0);
        else
            QVERIFY(QFile::link(QStringLiteral("/"), path));
    }
    std::optional<AsPlainUser> plain;
    const QString readOnly = folder == QLatin1String("read-only")         ? path
                             : folder == QLatin1String("read-only above") ? state.dir.path()
                                                                          : QString();
    if (!readOnly.isEmpty()) {
        plain.emplace(state.dir.path());
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QString inTheWay = recovery::folderInTheWay();
    Editor e;
    const auto work = [&] {
        e.platform.answers << MessageButton::Yes;
        e.keeper->offerRecovery();
        if (!orphan) {
            openFromOutside(e.w, picture);
            e.drawRect(QPoint(10, 20), QPoint(110, 70));
        }
        e.keeper->flush();
    };
    if (folder == QLatin1String("full"))
        QVERIFY(onFullDisk(64, work));
    else
        work();
    const ShownBox word = warningBox(
        QStringLiteral("Die Wiederherstellungsdatei \"") + e.keeper->filePath() +
        QStringLiteral("\" kann nicht geschrieben werden, weil ") + reason.arg(inTheWay) +
        QStringLiteral(". Ungespeicherte Änderungen sind deshalb nicht vor einem Absturz geschützt; bitte die Map "
                       "speichern."));
    QCOMPARE(e.platform.boxes.size(), orphan ? 2 : 1);
    if (orphan) {
        QCOMPARE(e.platform.boxes[0].text, question(picture));
        QCOMPARE(e.w.areas().lines(), left.lines);
        QVERIFY(!e.w.document().mapSaved());
    }
    QCOMPARE(e.platform.boxes.last(), word);
    // Taken over where the folder allows it, and kept as it was; read where it is otherwise.
    QCOMPARE(QFileInfo::exists(e.keeper->filePath()), folder == QLatin1String("full"));
    if (orphan) {
        const QString at = folder == QLatin1String("full") ? e.keeper->filePath() : state.recoveryFile(ended);
        QCOMPARE(recovery::readFile(at).snapshot, left);
    }
    // Said once: more changes bring no more boxes.
    const auto more = [&] {
        e.drawRect(QPoint(150, 100), QPoint(250, 200));
        e.keeper->flush();
    };
    if (folder == QLatin1String("full"))
        QVERIFY(onFullDisk(64, more));
    else
        more();
    QCOMPARE(e.platform.boxes.size(), orphan ? 2 : 1);
    if (!readOnly.isEmpty())
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

// The word waits while the user holds the mouse button (a shape being drawn)
// and comes once it is released.
void TestRecovery::unprotectedWordWaitsForTheMouse()
{
    StateFolder state;
    writeBytes(recovery::folder(), "kein Ordner");
    Editor e;
    openFromOutside(e.w, state.picture());
    e.drawRect(QPoint(10, 20), QPoint(110, 70));
    QTest::mousePress(e.w.ui.Picture1, Qt::LeftButton, {}, QPoint(150, 100));
    QTest::mouseMove(e.w.ui.Picture1, QPoint(200, 150));
    e.keeper->flush();
    QTest::qWait(RecoveryKeeper::kDragRetryMs * 2);
    QCOMPARE(e.platform.boxes.size(), 0);
    QTest::mouseRelease(e.w.ui.Picture1, Qt::LeftButton, {}, QPoint(250, 200));
    QCOMPARE(e.w.areas().count(), 2);
    QTRY_COMPARE(e.platform.boxes.size(), 1);
    QVERIFY(e.platform.boxes[0].text.contains(QLatin1String("kein Ordner ist")));
}

void TestRecovery::notFilesAtStart_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    const QString notAFile = QStringLiteral("ist keine gewöhnliche Datei");
    row("a link to /dev/zero", QStringLiteral("zero"), notAFile);
    row("a pipe", QStringLiteral("fifo"), notAFile);
    row("a link to a pipe", QStringLiteral("fifo link"), notAFile);
    row("a link to a good file", QStringLiteral("file link"), notAFile);
    row("a folder", QStringLiteral("folder"), notAFile);
    row("bigger than a map", QStringLiteral("big"),
        QStringLiteral("ist mit 257 MB größer als jede Map, die Korvane sichert (höchstens 256 MB)"));
}

// What is no file of a map is neither read (a device never ends, a pipe
// blocks) nor taken over: it is renamed, kept for the user, and said once.
void TestRecovery::notFilesAtStart()
{
    QFETCH(QString, kind);
    QFETCH(QString, why);
    StateFolder state;
    const qint64 ended = endedPid();
    const QString file = state.recoveryFile(ended);
    QVERIFY(QDir().mkpath(recovery::folder()));
    const QByteArray name = QFile::encodeName(file);
    const QString pipe = state.dir.filePath(QStringLiteral("pipe"));
    const QString good = state.dir.filePath(QStringLiteral("good.txt"));
    if (kind == QLatin1String("zero"))
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), file));
    if (kind == QLatin1String("fifo"))
        QVERIFY(::mkfifo(name.constData(), 0600) == 0);
    if (kind == QLatin1String("fifo link")) {
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        QVERIFY(QFile::link(pipe, file));
    }
    if (kind == QLatin1String("file link")) {
        QVERIFY(recovery::writeFile(good, sample(state.picture())));
        QVERIFY(QFile::link(good, file));
    }
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(file));
    if (kind == QLatin1String("big")) {
        writeBytes(file, recovery::serialize(sample(state.picture())));
        QFile big(file);
        QVERIFY(big.resize(recovery::kMaxFileBytes + 1)); // sparse: no disk is filled
    }
    struct stat before {};
    QVERIFY(::lstat(name.constData(), &before) == 0);
    const QString kept = recovery::folder() + QStringLiteral("/recovery-%1.refused").arg(ended);
    {
        Editor e;
        e.keeper->offerRecovery();
        QCOMPARE(e.platform.boxes, QList<ShownBox>{warningBox(
                                       QStringLiteral("Die Wiederherstellungsdatei \"") + file + QStringLiteral("\" ") +
                                       why + QStringLiteral("; sie wird nicht gelesen. Sie wurde unter \"") + kept +
                                       QStringLiteral("\" beiseitegelegt und bleibt dort erhalten."))});
        QVERIFY(e.w.areas().isEmpty());
        QVERIFY(!QFileInfo::exists(e.keeper->filePath()));
    }
    struct stat after {};
    QVERIFY(::lstat(name.constData(), &after) != 0);
    // The next start asks nothing and keeps it, the same entry as it was.
    Editor next;
    next.keeper->offerRecovery();
    QCOMPARE(next.platform.boxes.size(), 0);
    QVERIFY(::lstat(QFile::encodeName(kept).constData(), &after) == 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(after.st_mode, before.st_mode);
    if (kind == QLatin1String("file link"))
        QCOMPARE(recovery::readFile(good).snapshot, sample(state.picture()));
}

void TestRecovery::leftoversAtStart_data()
{
    QTest::addColumn<QString>("name"); // %1: a process that has ended, %2: this one
    QTest::addColumn<bool>("removed");
    row("a write cut short by a kill", QStringLiteral(".recovery-%1.txt.%1-1qg25mb"), true);
    row("taken over, then killed", QStringLiteral(".recovery-%2.txt.%1-7zz"), true);
    row("this editor's own", QStringLiteral(".recovery-%2.txt.%2-abc"), false);
    row("another file's", QStringLiteral(".plan.html.%1-1qg25mb"), false);
    row("not a temporary name", QStringLiteral(".recovery-%1.txt.notes"), false);
}

// The temporary file of a write that a kill cut short goes at the next start;
// nothing else there is touched.
void TestRecovery::leftoversAtStart()
{
    QFETCH(QString, name);
    QFETCH(bool, removed);
    StateFolder state;
    QVERIFY(QDir().mkpath(recovery::folder()));
    const QString file = recovery::folder() + QLatin1Char('/') +
                         QString(name)
                             .replace(QLatin1String("%1"), QString::number(endedPid()))
                             .replace(QLatin1String("%2"), QString::number(::getpid()));
    writeBytes(file, "korvane-recovery 1\nchanged");
    Editor e;
    e.keeper->offerRecovery();
    QCOMPARE(QFileInfo::exists(file), !removed);
    QCOMPARE(e.platform.boxes.size(), 0);
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

// The code box's text the driver logged once it had typed ("T <ms> <Base64>").
QByteArray typedInLog(const QString& path)
{
    for (const QByteArray& line : readBytes(path).split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 3 && parts[0] == "T")
            return QByteArray::fromBase64(parts[2]);
    }
    return {};
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

// Killed a little over two seconds after text was typed into the code box:
// the next start brings the typed text back with the area it was typed over.
void TestRecovery::killedWhileTyping()
{
    StateFolder state;
    const QString log = state.dir.filePath(QStringLiteral("editor.log"));
    QProcess editor;
    startDriver(editor, {state.picture(), log, QStringLiteral("7"), QStringLiteral("60"), QStringLiteral("type")});
    QVERIFY(editor.waitForStarted());
    QByteArray typed;
    QTRY_VERIFY_WITH_TIMEOUT(!(typed = typedInLog(log)).isEmpty(), 20000);
    QTest::qWait(2200);
    ::kill(pid_t(editor.processId()), SIGKILL);
    QVERIFY(editor.waitForFinished());
    const QStringList drawn = readLog(log).last().lines;
    QCOMPARE(drawn.size(), 1);
    Editor e;
    e.platform.answers << MessageButton::Yes;
    e.keeper->offerRecovery();
    QCOMPARE(e.platform.boxes.size(), 1);
    QCOMPARE(e.w.areas().lines().toStringList(), drawn);
    QCOMPARE(e.w.mapCode(), QString::fromUtf8(typed));
    QVERIFY(e.w.mapCode().contains(QLatin1String("<!-- von Hand")));
    QVERIFY(!e.w.document().mapSaved());
}

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
