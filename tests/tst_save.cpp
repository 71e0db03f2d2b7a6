#include "app/MainWindow.h"
#include "canvas/Canvas.h"
#include "io/FileReplace.h"
#include "io/ImagePathLookup.h"
#include "io/ImportFile.h"
#include "io/MapFileWriter.h"
#include "io/MapImport.h"
#include "model/ResponsiveCode.h"
#include "support/Menus.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/ScriptedPlatform.h"
#include "support/SettingsFolder.h"

#include <QAction>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace korvane;
using namespace korvane::test;

namespace {

// Takes the first `limit` bytes and then refuses, as a full disk does.
class FailAfter : public QIODevice {
public:
    FailAfter(QIODevice& inner, qint64 limit) : m_inner(inner), m_limit(limit) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        const qint64 room = m_limit - m_written;
        if (room <= 0)
            return -1;
        const qint64 n = m_inner.write(data, std::min(size, room));
        m_written += std::max<qint64>(n, 0);
        return n;
    }

private:
    QIODevice& m_inner;
    qint64 m_limit;
    qint64 m_written = 0;
};

// The map code the main window generates for the two areas the tests use.
QByteArray expectedCode(const QByteArray& imageSource, const QByteArray& name)
{
    return "<!-- HTML-Code fuer den Image-Tag   -->\r\n"
           "<img src=\"" +
           imageSource + "\" width=\"400\" height=\"300\" alt=\"\" usemap=\"#" + name +
           "\" style=\"border-style:none\" />\r\n"
           "<!-- HTML-Code der eigentlichen ImageMap   -->\r\n"
           "<map id=\"" +
           name + "\" name=\"" + name +
           "\">\r\n"
           "<area shape=\"rect\" alt=\"B\xC3\xBCro\" coords=\"10,20,110,80\" href=\"buero.html\" "
           "title=\"B\xC3\xBCro\"  />\r\n"
           "<area shape=\"circle\" alt=\"Kontakt\" coords=\"200,150,40\" href=\"kontakt.html\" "
           "title=\"Kontakt\" "
           "target=\"_blank\" />\r\n"
           "<area shape=\"default\" nohref=\"nohref\" alt=\"\" />\r\n"
           "</map>\r\n";
}

QByteArray explanatoryBlockOf(const QByteArray& escapedCode)
{
    return "<p style='font-family:arial,tahoma;font-size:11px;color:#999;'>\r\n"
           "Der folgende Code beschreibt die MAP. Er kann so in Ihre Webseite eingef&uuml;gt werden "
           "(copy&amp;paste). Die Verweisziele und der MAP-Name m\xC3\xBCssen eventuell noch angepasst "
           "werden.</p>\r\n"
           "<div style='background-color:#999'><pre>" +
           escapedCode +
           "</pre></div>\r\n"
           "</div>\r\n";
}

// The test page for UTF-8 code bytes; the block goes before every "</body>".
QByteArray expectedPage(const QByteArray& code, const QByteArray& escapedCode)
{
    const QByteArray block = explanatoryBlockOf(escapedCode);
    QByteArray inner = code;
    inner.replace("</body>", block + "</body>");
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
           "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" \"DTD/xhtml1-strict.dtd\">\r\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\r\n"
           "<head>\r\n<title>Imagemap</title>\r\n</head>\r\n"
           "<body bgcolor='#000000' color='#999999'>\r\n"
           "<div>\r\n" +
           inner +
           "</div>\r\n"
           "<div>\r\n" +
           block + "</body>\r\n</html>\r\n";
}

QByteArray latin1(const QByteArray& utf8)
{
    return QString::fromUtf8(utf8).toLatin1();
}

// Makes a file immutable while it lives (as "chattr +i" does), so that no
// rename replaces it, not even one by root.
class Unreplaceable {
public:
    explicit Unreplaceable(const QString& path) : m_path(path), m_set(setImmutable(true)) {}
    ~Unreplaceable()
    {
        if (m_set)
            setImmutable(false);
    }
    Unreplaceable(const Unreplaceable&) = delete;
    Unreplaceable& operator=(const Unreplaceable&) = delete;
    bool isSet() const { return m_set; }

private:
    bool setImmutable(bool on) const
    {
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    QString m_path;
    bool m_set;
};

// The id of a process that has ended.
qint64 endedProcessId()
{
    QProcess process;
    process.start(QStringLiteral("true"), QStringList());
    process.waitForStarted();
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

// Every entry of a folder, hidden ones too.
QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The question before a .map that is not the map's own is replaced.
ShownBox replaceBox(const QString& dataPath)
{
    return {kQuestionTitle,
            "Die MAP-Datei \"" + dataPath +
                "\" gibt es bereits; sie gehört nicht zu dieser ImageMap. Soll sie ersetzt werden?",
            MessageIcon::Question,
            {MessageButton::Yes, MessageButton::No},
            MessageButton::No};
}

QString savedQuestion(const QString& pagePath)
{
    return "Die HTML-Datei wurde unter \"" + pagePath +
           "\" gespeichert.\r\n\r\nSoll die erzeugte Test-HTML-Datei und die MAP-Datendatei (eine ASCII-Textdatei "
           "mit den eigentlichen MAP-Daten) jetzt zur Kontrolle mit dem StandardBrowser angezeigt werden?";
}

// Presses Save; the dialog answers `pagePath`, the boxes `answers` in turn.
void pressSave(MainWindow& window, ScriptedPlatform& desktop, const QString& pagePath,
               const QList<MessageButton>& answers = {MessageButton::No})
{
    desktop.fileAnswers.enqueue(pagePath);
    desktop.answers.append(answers);
    window.ui.Command7->click();
}

// The warning of a save that could not write `path`.
ShownBox saveFailedBox(const QString& path)
{
    return warningBox("Die MAP-Daten konnten nicht gespeichert werden: Die Datei \"" + path +
                      "\" ließ sich nicht schreiben.\r\n\r\nEine bereits vorhandene Datei dieses Namens ist "
                      "unverändert geblieben.");
}

void fillAreas(MainWindow& window, const QString& imagePath)
{
    window.document().setImagePath(imagePath);
    window.document().setImageFileName(
        imagePath.mid(std::max(imagePath.lastIndexOf('\\'), imagePath.lastIndexOf('/')) + 1));
    window.ui.Picture1->setPicture(QImage(400, 300, QImage::Format_RGB32));
    window.areas().append(QStringLiteral(" rect                    |10,20,110,80|buero.html|Büro|*|*|*|*"));
    window.areas().append(QStringLiteral(" circle                    |200,150,40|kontakt.html|Kontakt|_blank|*|*|*"));
    window.map_daten();
}

} // namespace

class TestSave : public QObject {
    Q_OBJECT
private slots:
    void init() { m_platform = &installScriptedPlatform(); }

    void pageAndDataFile_data();
    void pageAndDataFile();
    void crLfLineEnds_data();
    void crLfLineEnds();
    void saveFromMainWindow_data();
    void saveFromMainWindow();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void failedSaveKeepsOldFiles_data();
    void failedSaveKeepsOldFiles();
    void writerFailingAfterBytes_data();
    void writerFailingAfterBytes();
    void fullDiskKeepsOldFiles_data();
    void fullDiskKeepsOldFiles();
    void codeLeavesTheBoxExactly();
    void failedRenameLeavesOldPair_data();
    void failedRenameLeavesOldPair();
    void laterSaveRemovesStaleTemporaries_data();
    void laterSaveRemovesStaleTemporaries();
    void mapTakesItsPlaceBeforePage();
    void foreignMapFileIsReplacedOnlyAfterAsking_data();
    void foreignMapFileIsReplacedOnlyAfterAsking();
    void linkChains_data();
    void linkChains();
    void namesGiven_data();
    void namesGiven();
    void longNames_data();
    void longNames();
    void responsiveFromTheCodeBoxMenu();
    void otherFormsFromTheCodeBoxMenu();
    void relativePicturePath_data();
    void relativePicturePath();

private:
    ScriptedPlatform* m_platform = nullptr;
};

void TestSave::pageAndDataFile_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("imageFileName");
    QTest::addColumn<QByteArray>("escaped");
    QTest::addColumn<QByteArray>("dataFile");

    QTest::newRow("one area") << QStringLiteral("<map id=\"a\">\r\n<area alt=\"x\" />\r\n</map>\r\n")
                              << QStringLiteral("plan.png")
                              << QByteArray("&lt;map id=\"a\"&gt;\r\n&lt;area alt=\"x\" /&gt;\r\n&lt;/map&gt;\r\n")
                              << QByteArray("<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n"
                                            "<map id=\"a\">\r\n<area alt=\"x\" />\r\n</map>\r\n");
    QTest::newRow("body and pre in the code")
        << QStringLiteral("<pre>&amp;</pre></body>\r\n") << QString()
        << QByteArray("&lt;pre&gt;&amp;amp;&lt;/pre&gt;&lt;/body&gt;\r\n")
        << QByteArray("<!--\r\nIMAGEMAP FUER GRAFIKDATEI: \r\n-->\r\n\r\n<pre>&amp;</pre></body>\r\n");
    QTest::newRow("umlauts are single bytes in the data file")
        << QStringLiteral("<area alt=\"Türöffner\" />") << QStringLiteral("Gebäude.jpg")
        << QByteArray("&lt;area alt=\"T\xC3\xBCr\xC3\xB6"
                      "ffner\" /&gt;")
        << QByteArray("<!--\r\nIMAGEMAP FUER GRAFIKDATEI: Geb\xE4ude.jpg\r\n-->\r\n\r\n<area alt=\"T\xFCr\xF6"
                      "ffner\" />");
    QTest::newRow("a character outside the code page becomes a reference")
        << QStringLiteral("<area alt=\"a→b €\" />") << QStringLiteral("x.png")
        << QByteArray("&lt;area alt=\"a\xE2\x86\x92"
                      "b \xE2\x82\xAC\" /&gt;")
        << QByteArray("<!--\r\nIMAGEMAP FUER GRAFIKDATEI: x.png\r\n-->\r\n\r\n<area alt=\"a&#8594;b \x80\" />");
    QTest::newRow("empty code") << QString() << QString() << QByteArray()
                                << QByteArray("<!--\r\nIMAGEMAP FUER GRAFIKDATEI: \r\n-->\r\n\r\n");
}

void TestSave::pageAndDataFile()
{
    QFETCH(QString, code);
    QFETCH(QString, imageFileName);
    QFETCH(QByteArray, escaped);
    QFETCH(QByteArray, dataFile);
    QCOMPARE(testPageBytes(code), expectedPage(code.toUtf8(), escaped));
    QCOMPARE(mapDataFileBytes(code, imageFileName), dataFile);
    QCOMPARE(escapeMapCode(code).toUtf8(), escaped);
}

void TestSave::crLfLineEnds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("lone line feeds") << QString("a\nb\n") << QString("a\r\nb\r\n");
    QTest::newRow("already CR LF") << QString("a\r\nb\r\n") << QString("a\r\nb\r\n");
    QTest::newRow("mixed") << QString("\na\r\nb\nc") << QString("\r\na\r\nb\r\nc");
    QTest::newRow("lone CR stays") << QString("a\rb") << QString("a\rb");
    QTest::newRow("empty") << QString() << QString();
}

void TestSave::crLfLineEnds()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(withCrLfLineEnds(text), expected);
}

void TestSave::saveFromMainWindow_data()
{
    QTest::addColumn<QString>("imagePath");
    QTest::addColumn<bool>("folderKnown"); // else the dialog starts in the current folder
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QString>("pageName"); // the data file takes its name with ".map"
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<bool>("oldFilesReadOnly");
    QTest::newRow("image loaded, show the files")
        << QString("C:\\Web Bilder\\Plan Haus.png") << true << QString("Plan Haus.html") << QString("Plan Haus")
        << expectedCode("file:///C:/Web%20Bilder/Plan Haus.png", "plan_haus")
        << QByteArray("IMAGEMAP FUER GRAFIKDATEI: Plan Haus.png") << true << false;
    QTest::newRow("no image loaded") << QString() << false << QString(".html") << QString("karte")
                                     << expectedCode("", "") << QByteArray("IMAGEMAP FUER GRAFIKDATEI: ") << false
                                     << false;
    QTest::newRow("two dots, read-only old files are replaced")
        << QString("C:\\x\\a.b.gif") << true << QString("a.b.html") << QString("neu.v2")
        << expectedCode("file:///C:/x/a.b.gif", "a.b") << QByteArray("IMAGEMAP FUER GRAFIKDATEI: a.b.gif") << false
        << true;
}

void TestSave::saveFromMainWindow()
{
    QFETCH(QString, imagePath);
    QFETCH(bool, folderKnown);
    QFETCH(QString, preset);
    QFETCH(QString, pageName);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, header);
    QFETCH(bool, answerYes);
    QFETCH(bool, oldFilesReadOnly);

    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const QString pagePath = folder + pageName + ".html";
    const QString dataPath = folder + pageName + ".map";
    if (oldFilesReadOnly) {
        QVERIFY(writeFile(pagePath, "old page"));
        QVERIFY(writeFile(dataPath, "old data"));
        QFile::setPermissions(dataPath, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    }
    MainWindow window;
    fillAreas(window, imagePath);
    if (oldFilesReadOnly)
        window.document().setMapFilePath(dataPath); // saved there before
    QCOMPARE(window.ui.txtMap->toPlainText().toUtf8(), QByteArray(code).replace("\r\n", "\n"));
    QVERIFY(!window.document().mapSaved());
    window.state().lastMapFolder = folderKnown ? folder : QString();
    const QString startFolder = folderKnown ? folder : QDir::currentPath(); // choosing a file moves it
    m_platform->fileAnswers.enqueue(pagePath);
    m_platform->answers.enqueue(answerYes ? MessageButton::Yes : MessageButton::No);

    QVERIFY(window.ui.Command7->isEnabled());
    QTest::mouseClick(window.ui.Command7, Qt::LeftButton);

    QCOMPARE(m_platform->dialogs.size(), 1);
    QCOMPARE(m_platform->dialogs[0].owner, &window);
    QCOMPARE(textsOf(m_platform->dialogs[0]),
             (QStringList{"Save", "Test-HTML-Datei und MAP-Daten speichern unter...", startFolder, preset,
                          "HTML-Datei (*.html)|*.html", "*.html"}));
    // The test page names the picture by a valid address: the file name's blanks escaped too.
    const QByteArray pageCode = QByteArray(code).replace("/Plan Haus.png\"", "/Plan%20Haus.png\"");
    QCOMPARE(readFile(pagePath), expectedPage(pageCode, escapeMapCode(QString::fromUtf8(pageCode)).toUtf8()));
    QCOMPARE(readFile(dataPath), "<!--\r\n" + latin1(header) + "\r\n-->\r\n\r\n" + latin1(code));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2); // no temporary file left behind
    // A replaced file keeps its permissions, a read-only one too.
    if (oldFilesReadOnly)
        QCOMPARE(modeOf(dataPath), QFileDevice::ReadOwner | QFileDevice::ReadGroup);

    const ShownBox shown{"korvane",
                         savedQuestion(pagePath),
                         MessageIcon::Question,
                         {MessageButton::Yes, MessageButton::No},
                         MessageButton::Yes};
    QCOMPARE(m_platform->boxes, QList<ShownBox>{shown});
    QCOMPARE(m_platform->viewed, answerYes ? QStringList{dataPath} : QStringList{});
    QVERIFY(window.document().mapSaved());
    QCOMPARE(window.state().lastMapFolder, folder);
}

void TestSave::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("lastMapFolder");
    QTest::newRow("no folder yet") << QString();
    QTest::newRow("folder set") << QStringLiteral("/srv/karten/");
}

void TestSave::cancelChangesNothing()
{
    QFETCH(QString, lastMapFolder);
    QTemporaryDir dir;
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    MainWindow window;
    fillAreas(window, QStringLiteral("C:\\b\\plan.png"));
    window.state().lastMapFolder = lastMapFolder;
    window.ui.Command7->click();
    QDir::setCurrent(before);

    QCOMPARE(m_platform->dialogs.size(), 1);
    QCOMPARE(window.state().lastMapFolder, lastMapFolder);
    QVERIFY(!window.document().mapSaved());
    QVERIFY(m_platform->boxes.isEmpty());
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

void TestSave::failedSaveKeepsOldFiles_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("pageName");
    QTest::addColumn<QString>("failingFile"); // relative to the folder
    QTest::newRow("read-only folder") << QString("read-only folder") << QString("plan.html") << QString("plan.html");
    QTest::newRow("a folder has the page's name")
        << QString("folder named like the page") << QString("plan.html") << QString("plan.html");
}

void TestSave::failedSaveKeepsOldFiles()
{
    QFETCH(QString, how);
    QFETCH(QString, pageName);
    QFETCH(QString, failingFile);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    QVERIFY(writeFile(folder + "plan.map", "old data"));
    if (how == QLatin1String("folder named like the page"))
        QVERIFY(QDir(folder).mkdir(pageName));
    else
        QVERIFY(writeFile(folder + "plan.html", "old page"));
    const auto oldPermissions = QFile::permissions(folder);
    if (how == QLatin1String("read-only folder")) {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QFile probe(folder + "probe");
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(folder, oldPermissions);
            QSKIP("this user may write into read-only folders");
        }
    }
    MainWindow window;
    fillAreas(window, QStringLiteral("C:\\b\\plan.png"));
    window.document().setMapFilePath(folder + "plan.map"); // saved there before
    m_platform->fileAnswers.enqueue(folder + pageName);
    window.ui.Command7->click();
    QFile::setPermissions(folder, oldPermissions);

    const QString failing = folder + failingFile.replace(QStringLiteral("<folder>"), folder);
    QCOMPARE(m_platform->boxes, QList<ShownBox>{saveFailedBox(failing)});
    QVERIFY(!window.document().mapSaved());
    QCOMPARE(window.state().lastMapFolder, folder);
    QCOMPARE(readFile(folder + "plan.map"), QByteArray("old data"));
    if (how != QLatin1String("folder named like the page"))
        QCOMPARE(readFile(folder + "plan.html"), QByteArray("old page"));
    QVERIFY(m_platform->viewed.isEmpty());
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);
}

void TestSave::writerFailingAfterBytes_data()
{
    QTest::addColumn<int>("failingFile");
    QTest::addColumn<qint64>("limit");
    QTest::newRow("page, nothing taken") << 0 << qint64(0);
    QTest::newRow("page, part taken") << 0 << qint64(10);
    QTest::newRow("data file, all but one byte") << 1 << qint64(-1);
}

void TestSave::writerFailingAfterBytes()
{
    QFETCH(int, failingFile);
    QFETCH(qint64, limit);
    QTemporaryDir dir;
    const QList<FileContent> files = {{dir.filePath("a.html"), testPageBytes("<map></map>")},
                                      {dir.filePath("a.map"), mapDataFileBytes("<map></map>", "a.png")}};
    QVERIFY(writeFile(files[0].path, "old page"));
    QVERIFY(writeFile(files[1].path, "old data"));
    int call = 0;
    const QString failed = replaceFiles(files, [&](QIODevice& device, const QByteArray& bytes) {
        if (call++ != failingFile)
            return writeAll(device, bytes);
        FailAfter failing(device, limit < 0 ? bytes.size() - 1 : limit);
        return writeAll(failing, bytes);
    });
    QCOMPARE(failed, files[failingFile].path);
    QCOMPARE(readFile(files[0].path), QByteArray("old page"));
    QCOMPARE(readFile(files[1].path), QByteArray("old data"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);

    // The same files through a working writer replace both.
    QCOMPARE(replaceFiles(files), QString());
    QCOMPARE(readFile(files[0].path), files[0].bytes);
    QCOMPARE(readFile(files[1].path), files[1].bytes);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(writeAll(buffer, files[1].bytes));
    QCOMPARE(buffer.data(), files[1].bytes);
}

void TestSave::fullDiskKeepsOldFiles_data()
{
    QTest::addColumn<int>("areaCount");
    QTest::addColumn<int>("limit");       // bytes a file may grow to
    QTest::addColumn<QString>("failing"); // the .map is written first
    // A small page fits the writer's buffer whole: the failing write comes only
    // when the file is closed, and must still be noticed.
    QTest::newRow("small map") << 2 << 600 << QString("plan.html");
    QTest::newRow("big map") << 3000 << 64 * 1024 << QString("plan.map");
}

void TestSave::fullDiskKeepsOldFiles()
{
    QFETCH(int, areaCount);
    QFETCH(int, limit);
    QFETCH(QString, failing);
    QTemporaryDir dir;
    const QString pagePath = dir.filePath("plan.html");
    const QString dataPath = dir.filePath("plan.map");
    const QByteArray oldPage = QByteArray("<p>alte Seite</p>\r\n").repeated(20);
    QVERIFY(writeFile(pagePath, oldPage) && writeFile(dataPath, "alt"));
    MainWindow window;
    fillAreas(window, QStringLiteral("/bilder/plan.png"));
    for (int i = 2; i < areaCount; ++i)
        window.areas().append(
            QStringLiteral(" rect                    |%1,0,%2,9|seite%1.html|Feld %1|*|*|*|*").arg(i).arg(i + 9));
    window.map_daten();
    window.document().setMapFilePath(dataPath); // saved there before
    m_platform->fileAnswers.enqueue(pagePath);
    QVERIFY(onFullDisk(limit, [&] { window.ui.Command7->click(); }));
    QCOMPARE(m_platform->boxes, QList<ShownBox>{saveFailedBox(dir.filePath(failing))});
    QVERIFY(!window.document().mapSaved());
    QCOMPARE(readFile(pagePath), oldPage);
    QCOMPARE(readFile(dataPath), QByteArray("alt"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);

    // With room again the same save replaces both.
    m_platform->fileAnswers.enqueue(pagePath);
    window.ui.Command7->click();
    QCOMPARE(readFile(pagePath), testPageBytes(window.mapCode()));
}

// A non-breaking space (in the image's file name and in an alt text) leaves
// the code box unchanged through the clipboard command, Save and Export.
void TestSave::codeLeavesTheBoxExactly()
{
    QTemporaryDir dir;
    MainWindow window;
    window.document().setImagePath(QStringLiteral("/bilder/Plan\u00A0Haus.png"));
    window.document().setImageFileName(QStringLiteral("Plan\u00A0Haus.png"));
    window.ui.Picture1->setPicture(QImage(400, 300, QImage::Format_RGB32));
    window.areas().append(QStringLiteral(" rect                    |10,20,110,80|a.html|Tür\u00A0zu|*|*|*|*"));
    window.map_daten();
    window.ui.cmdClipboard->click();
    const QString board = QGuiApplication::clipboard()->text();
    QVERIFY2(board.contains(u"Plan\u00A0Haus.png") && board.contains(u"alt=\"Tür\u00A0zu\""), qPrintable(board));

    m_platform->fileAnswers.enqueue(dir.filePath("karte.html"));
    m_platform->answers.enqueue(MessageButton::No);
    window.ui.Command7->click();
    const QByteArray data = readFile(dir.filePath("karte.map"));
    QVERIFY(data.contains("Plan\xA0Haus.png\" width") && data.contains("alt=\"T\xFCr\xA0zu\""));
    QCOMPARE(data.count('\xA0'), 4); // header, src, alt, title
    QVERIFY(readFile(dir.filePath("karte.html")).contains("alt=\"T\xC3\xBCr\xC2\xA0zu\""));

    QGuiApplication::clipboard()->clear();
    QVERIFY(writeFile(dir.filePath("seite.html"), "<p></p>"));
    m_platform->fileAnswers.enqueue(dir.filePath("seite.html"));
    window.ui.Command12->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), board);
}

void TestSave::failedRenameLeavesOldPair_data()
{
    QTest::addColumn<QString>("unreplaceable");
    QTest::addColumn<bool>("oldMap"); // else there was no .map before
    QTest::newRow("the .map") << QString("plan.map") << true;
    // The .map took its place first and goes back.
    QTest::newRow("the page") << QString("plan.html") << true;
    QTest::newRow("the page, no .map before") << QString("plan.html") << false;
}

// A file that no rename can replace, root included: the save reports it,
// and both old files stand as they were (or the .map stays absent).
void TestSave::failedRenameLeavesOldPair()
{
    QFETCH(QString, unreplaceable);
    QFETCH(bool, oldMap);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    QVERIFY(writeFile(folder + "plan.html", "old page"));
    if (oldMap)
        QVERIFY(writeFile(folder + "plan.map", "old data"));
    const Unreplaceable locked(folder + unreplaceable);
    if (!locked.isSet())
        QSKIP("Files cannot be made immutable here (root on ext4, xfs, btrfs or tmpfs can).");
    MainWindow window;
    fillAreas(window, QStringLiteral("/bilder/plan.png"));
    pressSave(window, *m_platform, folder + "plan.html", {MessageButton::Yes}); // replace the .map that is there

    QList<ShownBox> boxes{saveFailedBox(folder + unreplaceable)};
    if (oldMap)
        boxes.prepend(replaceBox(folder + "plan.map"));
    QCOMPARE(m_platform->boxes, boxes);
    QVERIFY(!window.document().mapSaved());
    QCOMPARE(readFile(folder + "plan.html"), QByteArray("old page"));
    QCOMPARE(readFile(folder + "plan.map"), oldMap ? QByteArray("old data") : QByteArray("<missing>"));
    QCOMPARE(entriesOf(folder), oldMap ? QStringList({"plan.html", "plan.map"}) : QStringList{"plan.html"});
}

void TestSave::laterSaveRemovesStaleTemporaries_data()
{
    QTest::addColumn<QString>("name"); // %1: a process that has ended
    QTest::addColumn<bool>("removed");
    QTest::newRow("page's, writer gone") << QString(".plan.html.%1-1qg25mb") << true;
    QTest::newRow(".map's, writer gone") << QString(".plan.map.%1-z") << true;
    QTest::newRow("writer still running") << QString(".plan.map.1-1qg25mb") << false;
    QTest::newRow("another file's") << QString(".karte.html.%1-1qg25mb") << false;
    QTest::newRow("not a temporary name: no number") << QString(".plan.html.%1") << false;
    QTest::newRow("not a temporary name: more after it") << QString(".plan.html.%1-1qg25mb.bak") << false;
    QTest::newRow("not a temporary name: no dot") << QString("plan.html.%1-1qg25mb") << false;
}

// Files a killed save left behind go with the next save of the same target;
// anything else stays.
void TestSave::laterSaveRemovesStaleTemporaries()
{
    QFETCH(QString, name);
    QFETCH(bool, removed);
    QTemporaryDir dir;
    const QString leftover = dir.filePath(name.arg(endedProcessId()));
    QVERIFY(writeFile(leftover, QByteArray(2 * 1024 * 1024, 'x')));
    MainWindow window;
    fillAreas(window, QStringLiteral("/bilder/plan.png"));
    pressSave(window, *m_platform, dir.filePath("plan.html"));

    QCOMPARE(m_platform->texts(), QStringList{savedQuestion(dir.filePath("plan.html"))});
    QStringList expected{"plan.html", "plan.map"};
    if (!removed)
        expected << QFileInfo(leftover).fileName();
    expected.sort();
    QStringList entries = entriesOf(dir.path());
    entries.sort();
    QCOMPARE(entries, expected);
}

// The .map is renamed into place first, the page last: a save killed between
// the two leaves the new .map and the old page, never a new page beside an
// old .map.
void TestSave::mapTakesItsPlaceBeforePage()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("plan.html"), "old page") && writeFile(dir.filePath("plan.map"), "old data"));
    const int watch = inotify_init1(IN_NONBLOCK);
    QVERIFY(watch >= 0);
    QVERIFY(inotify_add_watch(watch, QFile::encodeName(dir.path()).constData(), IN_MOVED_TO) >= 0);
    MainWindow window;
    fillAreas(window, QStringLiteral("/bilder/plan.png"));
    window.document().setMapFilePath(dir.filePath("plan.map")); // saved there before
    pressSave(window, *m_platform, dir.filePath("plan.html"));

    alignas(inotify_event) char buffer[4096];
    const ssize_t length = ::read(watch, buffer, sizeof buffer);
    ::close(watch);
    QStringList arrived;
    for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        arrived << QString::fromUtf8(event->name);
        at += ssize_t(sizeof(inotify_event) + event->len);
    }
    QCOMPARE(arrived, QStringList({"plan.map", "plan.html"}));
}

void TestSave::foreignMapFileIsReplacedOnlyAfterAsking_data()
{
    QTest::addColumn<QString>("before"); // how the map came to be
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("drawn, \"Nein\"") << QString("drawn") << true << false << false;
    QTest::newRow("drawn, \"Ja\"") << QString("drawn") << true << true << true;
    QTest::newRow("imported from it") << QString("imported from plan.map") << false << false << true;
    QTest::newRow("imported from another") << QString("imported from andere.map") << true << false << false;
    QTest::newRow("saved there before") << QString("saved to plan.map") << false << false << true;
    QTest::newRow("saved elsewhere before") << QString("saved to andere.map") << true << false << false;
    QTest::newRow("saved there, then a new picture")
        << QString("saved, new picture, plan.map") << true << false << false;
}

// A plan.map that is not the map's own (another map's data) is replaced only
// when the user says so; the page's own question is the save dialog's.
void TestSave::foreignMapFileIsReplacedOnlyAfterAsking()
{
    QFETCH(QString, before);
    QFETCH(bool, asked);
    QFETCH(bool, answer);
    QFETCH(bool, replaced);
    test::SettingsFolder folder; // the import reads the settings
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QVERIFY(picture.save(folder.path("plan.png"), "PNG"));
    const QByteArray otherMap = "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n<img src=\"plan.png\" "
                                "usemap=\"#plan\" /><map name=\"plan\"><area shape=\"rect\" coords=\"1,1,9,9\" "
                                "href=\"fremd.html\" /></map>\r\n";
    for (const char* name : {"plan.map", "andere.map"})
        QVERIFY(writeFile(folder.path(name), otherMap));
    QVERIFY(writeFile(folder.path("plan.html"), "old page"));
    MainWindow window;
    fillAreas(window, folder.path("plan.png"));
    const QString ownFile = folder.path(before.section(' ', -1));
    if (before.startsWith("imported")) {
        m_platform->fileAnswers.enqueue(ownFile);
        m_platform->answers.enqueue(MessageButton::Yes); // keep the areas drawn
        window.ui.Command8->click();
        QCOMPARE(window.areas().count(), 3);
    } else if (before.startsWith("saved")) {
        pressSave(window, *m_platform, QString(ownFile).replace(".map", ".html"),
                  {MessageButton::Yes, MessageButton::No});
    }
    if (before.contains("new picture")) { // a new map on the same picture
        m_platform->fileAnswers.enqueue(folder.path("plan.png"));
        window.ui.Command1->click();
    }
    m_platform->boxes.clear();
    const QByteArray oldMap = readFile(folder.path("plan.map"));
    const QByteArray oldPage = readFile(folder.path("plan.html"));
    window.areas().append(QStringLiteral(" rect                    |5,5,50,50|neu.html|Neu|*|*|*|*"));
    window.map_daten();
    QList<MessageButton> answers{MessageButton::No};
    if (asked)
        answers.prepend(answer ? MessageButton::Yes : MessageButton::No);
    pressSave(window, *m_platform, folder.path("plan.html"), answers);

    QList<ShownBox> boxes;
    if (asked)
        boxes << replaceBox(folder.path("plan.map"));
    const QString code = withCrLfLineEnds(window.mapCode());
    if (replaced)
        boxes << ShownBox{"korvane",
                          savedQuestion(folder.path("plan.html")),
                          MessageIcon::Question,
                          {MessageButton::Yes, MessageButton::No},
                          MessageButton::Yes};
    QCOMPARE(m_platform->boxes, boxes);
    QCOMPARE(readFile(folder.path("plan.map")), replaced ? mapDataFileBytes(code, "plan.png") : oldMap);
    QCOMPARE(readFile(folder.path("plan.html")), replaced ? testPageBytes(code) : oldPage);
    QCOMPARE(window.document().mapSaved(), replaced);
    QCOMPARE(window.state().lastMapFolder, folder.dir.path() + QLatin1Char('/'));
}

void TestSave::linkChains_data()
{
    QTest::addColumn<QStringList>("links"); // "name -> target" in the order made; the page is link.html
    QTest::addColumn<bool>("saves");
    QTest::newRow("two links, absolute") << QStringList{"echt/", "link.html -> %1mitte.html",
                                                        "mitte.html -> %1echt/seite.html", "link.map -> %1mitte.map",
                                                        "mitte.map -> %1echt/seite.map"}
                                         << true;
    QTest::newRow("three links, relative, across folders") << QStringList{"echt/",
                                                                          "ab/",
                                                                          "link.html -> ab/mitte.html",
                                                                          "ab/mitte.html -> ../ab/noch.html",
                                                                          "ab/noch.html -> ../echt/seite.html",
                                                                          "link.map -> echt/seite.map"}
                                                           << true;
    QTest::newRow("a loop") << QStringList{"link.html -> schleife.html", "schleife.html -> link.html"} << false;
}

// Saving through links replaces the file at the end of the chain; the links stay.
void TestSave::linkChains()
{
    QFETCH(QStringList, links);
    QFETCH(bool, saves);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    for (const QString& link : links) {
        if (link.endsWith('/')) {
            QVERIFY(QDir(folder).mkdir(link));
            continue;
        }
        const QStringList ends = QString(link).replace("%1", folder).split(" -> ");
        QVERIFY(::symlink(QFile::encodeName(ends[1]).constData(), QFile::encodeName(folder + ends[0]).constData()) ==
                0);
    }
    if (saves)
        QVERIFY(writeFile(folder + "echt/seite.html", "old page") && writeFile(folder + "echt/seite.map", "old"));
    const QStringList before = entriesOf(folder);
    MainWindow window;
    fillAreas(window, QStringLiteral("/bilder/plan.png"));
    window.document().setMapFilePath(folder + "echt/seite.map"); // the map's own, through the links
    pressSave(window, *m_platform, folder + "link.html");

    QCOMPARE(entriesOf(folder), before);
    if (!saves) {
        QCOMPARE(m_platform->boxes, QList<ShownBox>{saveFailedBox(folder + "link.html")});
        return;
    }
    const QString code = withCrLfLineEnds(window.mapCode());
    QCOMPARE(m_platform->texts(), QStringList{savedQuestion(folder + "link.html")});
    QCOMPARE(readFile(folder + "echt/seite.html"), testPageBytes(code));
    QCOMPARE(readFile(folder + "echt/seite.map"), mapDataFileBytes(code, "plan.png"));
    QCOMPARE(entriesOf(folder + "echt"), QStringList({"seite.html", "seite.map"}));
    for (const QString& link : links)
        QVERIFY(link.endsWith('/') || QFileInfo(folder + link.section(" -> ", 0, 0)).isSymLink());
}

void TestSave::namesGiven_data()
{
    QTest::addColumn<QString>("given");      // the name the dialog answers
    QTest::addColumn<QStringList>("before"); // "name", "folder/" or "link -> target", made in this order
    QTest::addColumn<QString>("answer");     // to the questions: "Ja", "Nein" or none
    QTest::addColumn<QStringList>("saved");  // the page and the .map written; none: nothing changes
    QTest::addColumn<QStringList>("texts");  // of the boxes shown; {} is the folder
    const QString ready = "saved";
    QTest::newRow("the .map's name") << "plan.map" << QStringList() << QString() << QStringList{"plan.html", "plan.map"}
                                     << QStringList{ready};
    QTest::newRow("the .map's name in capitals")
        << "Plan.MAP" << QStringList() << QString() << QStringList{"Plan.html", "Plan.MAP"} << QStringList{ready};
    QTest::newRow("no extension") << "plan" << QStringList() << QString() << QStringList{"plan.html", "plan.map"}
                                  << QStringList{ready};
    QTest::newRow("another page extension")
        << "plan.htm" << QStringList() << QString() << QStringList{"plan.htm", "plan.map"} << QStringList{ready};
    QTest::newRow("only the .map extension")
        << ".map" << QStringList() << QString() << QStringList{".html", ".map"} << QStringList{ready};
    QTest::newRow("only the page extension")
        << ".html" << QStringList() << QString() << QStringList{".html", ".map"} << QStringList{ready};
    const QString pageThere = "Die HTML-Datei \"{}plan.html\" gibt es bereits. Soll sie ersetzt werden?";
    QTest::newRow("the .map's name, a page there, \"Nein\"")
        << "plan.map" << QStringList{"plan.html"} << "Nein" << QStringList() << QStringList{pageThere};
    QTest::newRow("the .map's name, a page there, \"Ja\"")
        << "plan.map" << QStringList{"plan.html"} << "Ja" << QStringList{"plan.html", "plan.map"}
        << QStringList{pageThere, ready};
    const QString oneFile = "Die MAP-Daten wurden nicht gespeichert: Die Test-HTML-Datei \"{}plan.html\" und die "
                            "MAP-Datei \"{}plan.map\" wären dieselbe Datei.";
    QTest::newRow("the page a link to the .map") << "plan.html" << QStringList{"plan.map", "plan.html -> plan.map"}
                                                 << "Ja" << QStringList() << QStringList{oneFile};
    QTest::newRow("the .map a link to the page") << "plan.map" << QStringList{"plan.html", "plan.map -> plan.html"}
                                                 << "Ja" << QStringList() << QStringList{oneFile};
    QTest::newRow("both links to one file")
        << "plan.html" << QStringList{"echt", "plan.html -> echt", "plan.map -> echt"} << "Ja" << QStringList()
        << QStringList{oneFile};
    // The pair lies beside a folder of the name given.
    QTest::newRow("a folder's name") << "plan" << QStringList{"plan/"} << QString()
                                     << QStringList{"plan.html", "plan.map"} << QStringList{ready};
    QTest::newRow("the .map's name is a folder's")
        << "plan.map" << QStringList{"plan.map/"} << QString() << QStringList()
        << QStringList{"Die MAP-Daten konnten nicht gespeichert werden: Die Datei \"{}plan.map\" ließ sich nicht "
                       "schreiben.\r\n\r\nEine bereits vorhandene Datei dieses Namens ist unverändert geblieben."};
}

// Whatever name the dialog gives, the page and the .map are two files side
// by side, and a save that does not write both never says it did.
void TestSave::namesGiven()
{
    QFETCH(QString, given);
    QFETCH(QStringList, before);
    QFETCH(QString, answer);
    QFETCH(QStringList, saved);
    QFETCH(QStringList, texts);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    for (const QString& entry : before) {
        const QStringList link = entry.split(" -> ");
        if (entry.endsWith('/'))
            QVERIFY(QDir(folder).mkdir(entry));
        else if (link.size() == 2)
            QVERIFY(QFile::link(link[1], folder + link[0]));
        else
            QVERIFY(writeFile(folder + entry, "old " + entry.toUtf8()));
    }
    const QStringList entries = entriesOf(folder);
    MainWindow window;
    fillAreas(window, QStringLiteral("/bilder/plan.png"));
    QList<MessageButton> answers{MessageButton::No};
    if (!answer.isEmpty())
        answers = {answer == "Ja" ? MessageButton::Yes : MessageButton::No, MessageButton::No};
    pressSave(window, *m_platform, folder + given, answers);

    for (QString& text : texts)
        text = text == "saved" ? savedQuestion(folder + saved.value(0)) : text.replace("{}", folder);
    QCOMPARE(m_platform->texts(), texts);
    QCOMPARE(window.document().mapSaved(), !saved.isEmpty());
    if (saved.isEmpty()) {
        QCOMPARE(entriesOf(folder), entries);
        for (const QString& entry : before) {
            if (!entry.endsWith('/') && !entry.contains(" -> "))
                QCOMPARE(readFile(folder + entry), "old " + entry.toUtf8());
        }
        return;
    }
    const QString code = withCrLfLineEnds(window.mapCode());
    QCOMPARE(readFile(folder + saved[0]), testPageBytes(code));
    QCOMPARE(readFile(folder + saved[1]), mapDataFileBytes(code, "plan.png"));
    QStringList expected = entries + saved;
    expected.removeDuplicates();
    expected.sort();
    QStringList after = entriesOf(folder);
    after.sort();
    QCOMPARE(after, expected);
}

void TestSave::longNames_data()
{
    QTest::addColumn<QString>("base"); // the page is base + ".html", 250 bytes or so
    QTest::newRow("245 ASCII characters") << QString(245, 'k');
    QTest::newRow("122 umlauts, 244 bytes") << QString(122, QChar(0xE4));
    QTest::newRow("an emoji across the cut") << QString(117, 'k') + QString::fromUtf8("\xF0\x9F\x97\xBA").repeated(32);
}

// Names near the 255 bytes a folder entry may hold save like any other.
void TestSave::longNames()
{
    QFETCH(QString, base);
    QTemporaryDir dir;
    const QString pagePath = dir.filePath(base + ".html");
    QVERIFY(QFile::encodeName(QFileInfo(pagePath).fileName()).size() <= 255);
    QVERIFY(writeFile(pagePath, "old page"));
    MainWindow window;
    fillAreas(window, QStringLiteral("/bilder/plan.png"));
    pressSave(window, *m_platform, pagePath);

    QCOMPARE(m_platform->texts(), QStringList{savedQuestion(pagePath)});
    const QString code = withCrLfLineEnds(window.mapCode());
    QCOMPARE(readFile(pagePath), testPageBytes(code));
    QCOMPARE(readFile(dir.filePath(base + ".map")), mapDataFileBytes(code, "plan.png"));
    QCOMPARE(entriesOf(dir.path()), QStringList({base + ".html", base + ".map"}));
}

// The code box's context menu, as the menu key opens it.
QStringList codeBoxMenu(MainWindow& window, int choose = -1)
{
    QWidget* box = window.ui.txtMap->viewport();
    return menuShownBy(
        [&] {
            QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(box, &key);
        },
        choose);
}

QAction* entry(MainWindow& window, const char* name)
{
    return window.findChild<QAction*>(QLatin1String(name));
}

void TestSave::responsiveFromTheCodeBoxMenu()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    MainWindow window;
    fillAreas(window, folder + "Bilder/Plan Haus.png");
    const QString classic = window.mapCode();
    window.state().lastMapFolder = folder;

    const QStringList entries = codeBoxMenu(window);
    QCOMPARE(entries.mid(entries.size() - 5), (QStringList{"", "Responsiven Code kopieren", "Responsive Seite speichern...",
                                                           "Einpassung der responsiven Grafik",
                                                           "Bildpfad relativ zur Seite"}));
    QCOMPARE(entry(window, "mnuResponsivKopieren")->shortcut(), QKeySequence("Ctrl+Shift+C"));
    QCOMPARE(entry(window, "mnuResponsivSpeichern")->shortcut(), QKeySequence("Ctrl+Shift+S"));
    QVERIFY(entry(window, "mnuEinpassung_fill")->isChecked());
    QVERIFY(!entry(window, "mnuBildpfadRelativ")->isChecked());

    // The page, chosen in the menu: the picture relative to it, the map's own size.
    const QString page = folder + "Plan Haus-responsiv.html";
    m_platform->fileAnswers.enqueue(page);
    m_platform->answers.enqueue(MessageButton::Yes);
    codeBoxMenu(window, int(entries.size()) - 3);
    QCOMPARE(m_platform->dialogs.size(), 1);
    QCOMPARE(textsOf(m_platform->dialogs[0]),
             (QStringList{"Save", "Responsive Seite speichern unter...", folder, "Plan Haus-responsiv.html",
                          "HTML-Datei (*.html)|*.html", "*.html"}));
    const QStringList lines = window.areas().lines().toStringList();
    const ResponsiveMap expected{lines, "Bilder/Plan%20Haus.png", "plan_haus", QSize(400, 300), FitMode::Fill};
    QCOMPARE(readFile(page), responsivePage(expected).toUtf8());
    QVERIFY(readFile(page).contains("<img src=\"Bilder/Plan%20Haus.png\" width=\"400\" height=\"300\""));
    QCOMPARE(m_platform->texts(), QStringList{"Die responsive Seite wurde unter \"" + page +
                                              "\" gespeichert.\r\n\r\nSoll sie jetzt zur Kontrolle mit dem "
                                              "StandardBrowser angezeigt werden?"});
    QCOMPARE(m_platform->opened, QStringList{page});
    // The specified code and its saved state are not touched.
    QCOMPARE(window.mapCode(), classic);
    QVERIFY(!window.document().mapSaved());

    // The key, in another fit mode: the code for a page beside the picture.
    entry(window, "mnuEinpassung_cover")->trigger();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.ui.txtMap->setFocus();
    QTest::keyClick(window.ui.txtMap, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    ResponsiveMap beside = expected;
    beside.imageSource = "Plan%20Haus.png";
    beside.fit = FitMode::Cover;
    QCOMPARE(QGuiApplication::clipboard()->text(), responsiveCode(beside));
    QVERIFY(entry(window, "mnuEinpassung_cover")->isChecked());
    QVERIFY(!entry(window, "mnuEinpassung_fill")->isChecked());
    QCOMPARE(window.state().responsiveFit, FitMode::Cover);
    QCOMPARE(window.mapCode(), classic);

    // Without areas both wait, as Save does.
    window.ui.Command3->click();
    const QStringList emptied = codeBoxMenu(window);
    QCOMPARE(emptied.mid(emptied.size() - 4, 2),
             (QStringList{"Responsiven Code kopieren (aus)", "Responsive Seite speichern... (aus)"}));
    QGuiApplication::clipboard()->setText("vorher");
    QTest::keyClick(window.ui.txtMap, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(window.ui.txtMap, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("vorher"));
    QCOMPARE(m_platform->dialogs.size(), 1);
}

namespace {

// Opens the code box's menu and chooses the entry at the end of `path`, through its submenus, by keys.
void chooseInCodeBoxMenu(MainWindow& window, const QStringList& path)
{
    qsizetype step = 0;
    QMenu* last = nullptr;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || menu == last || step >= path.size())
            return;
        for (QAction* a : menu->actions()) {
            if (a->text() != path[step])
                continue;
            last = menu;
            menu->setActiveAction(a);
            QTest::keyClick(menu, ++step < path.size() ? Qt::Key_Right : Qt::Key_Return);
            return;
        }
        QFAIL(qPrintable("no entry " + path[step]));
    });
    poll.start(10);
    QWidget* box = window.ui.txtMap->viewport();
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box, &key);
    QTRY_COMPARE(step, path.size());
}

} // namespace

void TestSave::otherFormsFromTheCodeBoxMenu()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    MainWindow window;
    fillAreas(window, folder + "Bilder/Plan Haus.png");
    window.areas().append(" rect                    |0,0,5,5||Leer|*|*|*|*|nohref=\"nohref\"");
    window.map_daten();
    const QString classic = window.mapCode();
    window.state().lastMapFolder = folder;

    // A group of their own, before the responsive code's.
    const QStringList entries = codeBoxMenu(window);
    const qsizetype wiki = entries.indexOf("MediaWiki-Code kopieren");
    QCOMPARE(entries.mid(wiki - 1, 5), (QStringList{"", "MediaWiki-Code kopieren", "JSON speichern...",
                                                    "Hervorhebung der responsiven Flächen", ""}));
    QCOMPARE(entries.indexOf("Responsiven Code kopieren"), wiki + 4);

    // The block on the clipboard; what the wiki has no place for is said.
    chooseInCodeBoxMenu(window, {"MediaWiki-Code kopieren"});
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("<imagemap>\nFile:Plan Haus.png|400px\nrect 10 20 110 80 [[buero.html|Büro]]\n"
                            "circle 200 150 40 [[kontakt.html|Kontakt]]\n# rect 0,0,5,5 \ndesc none\n</imagemap>\n"));
    QCOMPARE(m_platform->texts(),
             QStringList{"Der MediaWiki-Code ist in der Zwischenablage.\r\n\r\nDie Areale in Zeile 3 der Arealliste "
                         "haben keinen Verweis, den MediaWiki kennt, keine Form oder sind ein zweites Standardareal; "
                         "sie stehen nur als Kommentar im Text.\r\n\r\nTarget, JavaScript-Handler und weitere "
                         "Attribute der Areale kennt MediaWiki nicht; sie fehlen im Text."});

    // The JSON in a file the user names, the picture relative to it: nothing left out, nothing said.
    m_platform->boxes.clear();
    const QString json = folder + "karte.json";
    m_platform->fileAnswers.enqueue(json);
    chooseInCodeBoxMenu(window, {"JSON speichern..."});
    QCOMPARE(textsOf(m_platform->dialogs.last()), (QStringList{"Save", "JSON speichern unter...", folder,
                                                               "Plan Haus.json", "JSON-Datei (*.json)|*.json", "*.json"}));
    QCOMPARE(readFile(json),
             QByteArray("{\n  \"format\": \"korvane-imagemap\",\n  \"version\": 1,\n  \"name\": \"plan_haus\",\n"
                        "  \"picture\": {\"file\": \"Bilder/Plan Haus.png\", \"width\": 400, \"height\": 300},\n"
                        "  \"areas\": [\n"
                        "    {\"shape\": \"rect\", \"coords\": [10, 20, 110, 80], \"percent\": [2.5, 6.6667, 27.5, 26.6667], "
                        "\"href\": \"buero.html\", \"alt\": \"B\xc3\xbcro\"},\n"
                        "    {\"shape\": \"circle\", \"coords\": [200, 150, 40], \"percent\": [50, 50, 10], "
                        "\"href\": \"kontakt.html\", \"alt\": \"Kontakt\", \"target\": \"_blank\"},\n"
                        "    {\"shape\": \"rect\", \"coords\": [0, 0, 5, 5], \"percent\": [0, 0, 1.25, 1.6667], "
                        "\"href\": null, \"alt\": \"Leer\"}\n  ]\n}\n"));
    QCOMPARE(m_platform->boxes.size(), 0);
    // A file that cannot be written: the user hears it, nothing else changes.
    m_platform->fileAnswers.enqueue(folder + "fehlt/karte.json");
    chooseInCodeBoxMenu(window, {"JSON speichern..."});
    QCOMPARE(m_platform->texts(),
             QStringList{"Die JSON-Datei konnte nicht gespeichert werden: Die Datei \"" + folder +
                         "fehlt/karte.json\" ließ sich nicht schreiben.\r\n\r\nEine bereits vorhandene Datei dieses "
                         "Namens ist unverändert geblieben."});

    // The highlight and its colour go into the responsive code.
    chooseInCodeBoxMenu(window, {"Hervorhebung der responsiven Flächen", "Umriss"});
    m_platform->colourAnswers.enqueue(QColor("#ffd700"));
    chooseInCodeBoxMenu(window, {"Hervorhebung der responsiven Flächen", "Farbe..."});
    QCOMPARE(m_platform->colourDialogs, QStringList{"Farbe der Hervorhebung|#005ac8"});
    chooseInCodeBoxMenu(window, {"Responsiven Code kopieren"});
    ResponsiveMap expected{window.areas().lines(), "Plan%20Haus.png", "plan_haus", QSize(400, 300), FitMode::Fill};
    expected.highlight = {HighlightKind::Outline, 0xffd700};
    QCOMPARE(QGuiApplication::clipboard()->text(), responsiveCode(expected));
    QVERIFY(QGuiApplication::clipboard()->text().contains(
        "@media (hover:hover){.korvane-flaechen a[href]:hover *{stroke:#ffd700;"));
    // The specified code and its saved state are not touched.
    QCOMPARE(window.mapCode(), classic);
    QVERIFY(!window.document().mapSaved());

    // Without areas they wait.
    window.ui.Command3->click();
    const QStringList emptied = codeBoxMenu(window);
    QCOMPARE(emptied.mid(wiki, 2), (QStringList{"MediaWiki-Code kopieren (aus)", "JSON speichern... (aus)"}));
}

void TestSave::relativePicturePath_data()
{
    QTest::addColumn<bool>("relative");
    QTest::addColumn<bool>("typedSource"); // the user changed the source in the code box
    QTest::addColumn<QByteArray>("source");
    QTest::newRow("off: the specified address") << false << false << QByteArray("file://%1Web%20Bilder/Plan Haus.png");
    QTest::newRow("on: relative to the test page") << true << false << QByteArray("../Web%20Bilder/Plan%20Haus.png");
    QTest::newRow("on, a source typed in stays") << true << true << QByteArray("http://example.org/plan.png");
}

void TestSave::relativePicturePath()
{
    QFETCH(bool, relative);
    QFETCH(bool, typedSource);
    QFETCH(QByteArray, source);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const QString picture = folder + "Web Bilder/Plan Haus.png";
    QVERIFY(QDir().mkpath(folder + "Web Bilder") && QDir().mkpath(folder + "seiten"));
    QVERIFY(writeFile(picture, "png"));
    source.replace("%1", folder.toUtf8());
    MainWindow window;
    fillAreas(window, picture);
    if (typedSource)
        window.ui.txtMap->setPlainText(window.ui.txtMap->toPlainText().replace(
            QRegularExpression("src=\"[^\"]*\""), "src=\"" + QString::fromUtf8(source) + "\""));
    const QString shown = window.mapCode();
    if (relative)
        entry(window, "mnuBildpfadRelativ")->trigger();
    QCOMPARE(window.state().relativeImagePath, relative);

    const QString page = folder + "seiten/plan.html";
    m_platform->fileAnswers.enqueue(page);
    m_platform->answers.enqueue(MessageButton::No);
    window.ui.Command7->click();
    const QByteArray code = expectedCode(source, "plan_haus");
    // The test page names the picture by a valid address: the file name's blanks escaped too.
    const QByteArray pageCode = QByteArray(code).replace("/Plan Haus.png\"", "/Plan%20Haus.png\"");
    QCOMPARE(readFile(page), expectedPage(pageCode, escapeMapCode(QString::fromUtf8(pageCode)).toUtf8()));
    QCOMPARE(readFile(folder + "seiten/plan.map"),
             "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: Plan Haus.png\r\n-->\r\n\r\n" + latin1(code));
    QCOMPARE(window.mapCode(), shown); // the box keeps what it shows
    QVERIFY(window.document().mapSaved());

    // The MAP import finds the picture from the saved data file again.
    const import::MapFileData read = import::readMapFile(import::readImportFile(folder + "seiten/plan.map"));
    if (!typedSource)
        QCOMPARE(findFileIgnoringCase(read.imagePath, folder + "seiten/"), picture);
}

QTEST_MAIN(TestSave)
#include "tst_save.moc"
