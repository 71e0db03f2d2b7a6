#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "app/StartUp.h"
#include "canvas/Canvas.h"
#include "io/ImgSearchDialog.h"
#include "support/Files.h"
#include "support/Modal.h"
#include "support/ScriptedPlatform.h"

#include <QDrag>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace korvane;
using korvane::test::ShownBox;

namespace {

const QString kKeep = QStringLiteral("Sollen die schon eingezeichneten Areale erhalten bleiben?");
const QString kArea = QStringLiteral("rect                    |10,20,30,25|start.html|Start|*|*|*|*");
const QString kCode = QStringLiteral(
    "<!-- HTML-Code fuer den Image-Tag   -->\r\n<img src=\"file://%1/plan.png\" width=\"40\" height=\"30\" alt=\"\" "
    "usemap=\"#plan\" style=\"border-style:none\" />\r\n<!-- HTML-Code der eigentlichen ImageMap   -->\r\n"
    "<map id=\"plan\" name=\"plan\">\r\n<area shape=\"rect\" alt=\"Start\" coords=\"10,20,30,25\" href=\"start.html\" "
    "title=\"Start\"  />\r\n<area shape=\"default\" nohref=\"nohref\" alt=\"\" />\r\n</map>\r\n");
const QByteArray kMap =
    "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n<img src=\"plan.png\" width=\"40\" "
    "height=\"30\" alt=\"\" usemap=\"#plan\" style=\"border-style:none\" />\r\n<map id=\"plan\" "
    "name=\"plan\">\r\n<area shape=\"rect\" alt=\"Start\" coords=\"10,20,30,25\" href=\"start.html\" "
    "title=\"Start\"  />\r\n</map>\r\n";
const QByteArray kPage = "<!DOCTYPE html><html><body><img src=\"plan.png\" usemap=\"#plan\">"
                         "<map name=\"plan\"><area shape=\"rect\" coords=\"10,20,30,25\" href=\"start.html\" "
                         "alt=\"Start\"></map></body></html>";

ShownBox warning(const QString& text)
{
    return {QStringLiteral("korvane"), text, MessageIcon::Warning, {MessageButton::Ok}, MessageButton::Ok};
}

// The editor as main() starts it, with a scripted desktop, its own settings
// (a line width of 3 shows they were read) and a folder for the files.
struct Editor {
    QTemporaryDir dir;
    test::ScriptedPlatform& desktop = test::installScriptedPlatform();
    std::unique_ptr<MainWindow> window;
    const QString startFolder = QDir::currentPath();

    Editor()
    {
        setSettingsFileOverride(path("Korvane.ini"));
        test::writeFile(path("Korvane.ini"), "[DrawWidth]\r\nDrawWidth1=3\r\n");
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.save(path("plan.png"), "PNG");
    }
    ~Editor()
    {
        setSettingsFileOverride(QString());
        QDir::setCurrent(startFolder);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    void start(const QStringList& files) { window = startEditor(files); }
    // Drops `files` at the centre of `target` as the window system delivers a drop.
    bool drop(QWidget* target, const QStringList& files, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& file : files)
            urls << (file.contains(QLatin1String("://")) ? QUrl(file) : QUrl::fromLocalFile(file));
        data.setUrls(urls);
        data.setText(files.join(QLatin1Char('\n')));
        return deliverDrop(target, &data, actions);
    }
    bool deliverDrop(QWidget* target, const QMimeData* data, Qt::DropActions actions)
    {
        const QPoint at = target->mapTo(window.get(), target->rect().center());
        QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window->windowHandle(), &enter);
        if (!enter.isAccepted()) {
            QDragLeaveEvent leave;
            QApplication::sendEvent(window->windowHandle(), &leave);
            return false;
        }
        QDragMoveEvent move(at, actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window->windowHandle(), &move);
        QDropEvent dropped(QPointF(at), actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window->windowHandle(), &dropped);
        return dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
    }
};

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT
private slots:
    void opensEachKind_data();
    void opensEachKind();
    void refusesWhatItCannotOpen_data();
    void refusesWhatItCannotOpen();
    void commandMessagesAsAfterTheDialog();
    void severalFilesOpenTheFirst();
    void dropOpensFile_data();
    void dropOpensFile();
    void dropAsksAboutUnsavedCodeFirst();
    void dropsAndListDragInOneRun();
    void programOptions_data();
    void programOptions();
};

void TestStartUp::opensEachKind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // empty: the picture
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("picture") << "plan.png" << QByteArray() << "plan.png" << QStringList();
    QTest::newRow("picture named .dat") << "plan.dat" << QByteArray() << "plan.dat" << QStringList();
    QTest::newRow(".map file") << "plan.map" << kMap << "plan.png" << QStringList{"  " + kArea};
    QTest::newRow(".map data named .txt") << "plan.txt" << kMap << "plan.png" << QStringList{"  " + kArea};
    QTest::newRow("page, one candidate") << "seite.html" << kPage << "plan.png" << QStringList{" " + kArea};
    QTest::newRow(".xhtml page") << "seite.xhtml" << kPage << "plan.png" << QStringList{" " + kArea};
    QTest::newRow("page named .png") << "seite.png" << kPage << "plan.png" << QStringList{" " + kArea};
}

void TestStartUp::opensEachKind()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, caption);
    QFETCH(QStringList, lines);
    Editor e;
    QVERIFY(test::writeFile(e.path(name), bytes.isEmpty() ? test::readFile(e.path("plan.png")) : bytes));
    e.start({e.path(name)});
    MainWindow& w = *e.window;
    QTRY_COMPARE(w.windowTitle(), "Korvane [ Map für: " + caption + " ]");
    QCOMPARE(w.ui.Picture1->size(), QSize(40, 30));
    QCOMPARE(w.areas().lines(), lines);
    QCOMPARE(w.mapCode(), lines.isEmpty() ? QString() : kCode.arg(e.dir.path()));
    QCOMPARE(e.desktop.boxes, QList<ShownBox>());
    QVERIFY(e.desktop.dialogs.isEmpty()); // the file was the dialog's answer
    QCOMPARE(w.lineWidth(), 3);           // settings read first
    QCOMPARE(QDir::currentPath(), QDir(e.dir.path()).canonicalPath());
}

void TestStartUp::refusesWhatItCannotOpen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text"); // %1: the full path
    QTest::newRow("missing") << "fehlt.png"
                             << "Die Datei \"%1\" ist nicht vorhanden.";
    QTest::newRow("folder") << "ordner"
                            << "\"%1\" ist ein Ordner und keine Datei.";
    QTest::newRow("pipe") << "rohr"
                          << "Die Datei \"%1\" kann nicht gelesen werden.";
    QTest::newRow("no permission") << "geheim.png"
                                   << "Die Datei \"%1\" kann nicht gelesen werden.";
    QTest::newRow("unknown kind") << "notiz.txt"
                                  << "Die Datei \"%1\" ist weder eine Grafikdatei noch eine MAP- oder HTML-Datei.";
}

void TestStartUp::refusesWhatItCannotOpen()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    Editor e;
    QDir(e.dir.path()).mkdir("ordner");
    QCOMPARE(mkfifo(QFile::encodeName(e.path("rohr")).constData(), 0600), 0);
    test::writeFile(e.path("notiz.txt"), "Einkaufen: Brot, Milch");
    test::writeFile(e.path("geheim.png"), test::readFile(e.path("plan.png")));
    QFile::setPermissions(e.path("geheim.png"), {});
    if (name == "geheim.png" && QFile(e.path(name)).open(QIODevice::ReadOnly))
        QSKIP("the permissions do not keep this user out");
    e.start({e.path(name)});
    QTRY_COMPARE(e.desktop.boxes, QList<ShownBox>{warning(text.arg(e.path(name)))});
    QCOMPARE(e.window->windowTitle(), QStringLiteral("Korvane")); // the start screen stays
    QCOMPARE(e.window->state().settingsLoadCount, 0);
    QVERIFY(e.desktop.dialogs.isEmpty());
}

// A .map file naming a picture that is missing: the import's message, then
// the Open command's own dialog, shown for real with the name preset.
void TestStartUp::commandMessagesAsAfterTheDialog()
{
    Editor e;
    QByteArray map = kMap;
    test::writeFile(e.path("plan.map"), map.replace("src=\"plan.png\"", "src=\"Fehlt.png\""));
    e.desktop.fileAnswers.enqueue(e.path("plan.png"));
    e.start({e.path("plan.map")});
    QTRY_COMPARE(e.window->windowTitle(), QStringLiteral("Korvane [ Map für: plan.png ]"));
    QCOMPARE(e.desktop.boxes.size(), 1);
    QCOMPARE(e.desktop.boxes[0].text, "Die MAP-Daten beziehen sich auf die Datei \"fehlt.png\". Bitte diese "
                                      "Grafikdatei öffnen.");
    QCOMPARE(e.desktop.dialogs.size(), 1);
    QCOMPARE(test::textsOf(e.desktop.dialogs[0]).mid(1, 3),
             QStringList({"PNG,  JPG, JPEG, GIF, BMP (Bilddateien)", e.dir.path(), "fehlt.png"}));
    QCOMPARE(e.window->areas().lines(), QStringList{"  " + kArea});
}

void TestStartUp::severalFilesOpenTheFirst()
{
    Editor e;
    QByteArray page = kPage;
    test::writeFile(e.path("zwei.htm"), page.replace("<map", "<img src=\"x.gif\" usemap=\"#x\"><map"));
    QStringList offered;
    test::whenModalOpens([&](QWidget* modal) {
        QListWidget* list = qobject_cast<ImgSearchDialog*>(modal)->ui.List2;
        for (int i = 0; i < list->count(); ++i)
            offered << list->item(i)->text();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    });
    e.start({e.path("zwei.htm"), e.path("plan.png")});
    QTRY_COMPARE(e.window->areas().lines(), QStringList{" " + kArea});
    QCOMPARE(offered, QStringList({"Grafik: \"plan.png\",  MapName: \"plan\"", "Grafik: \"x.gif\",  MapName: \"x\""}));
    QCOMPARE(e.desktop.boxes.size(), 1);
    QCOMPARE(e.desktop.boxes[0].text,
             "Es kann nur eine Datei auf einmal geöffnet werden. Geöffnet wird \"" + e.path("zwei.htm") + "\".");
}

void TestStartUp::dropOpensFile_data()
{
    QTest::addColumn<QString>("target");
    for (const char* target : {"Picture1", "List1", "txtMap", "Picture2", "Label1"})
        QTest::newRow(target) << target;
}

// Anywhere on the window, even the basket, a dropped .map file imports: the
// import asks whether to keep the areas, and no line is deleted or pasted.
void TestStartUp::dropOpensFile()
{
    QFETCH(QString, target);
    Editor e;
    test::writeFile(e.path("plan.map"), kMap);
    e.start({});
    MainWindow& w = *e.window;
    w.areas().append(" " + kArea);
    w.refresh();
    w.setSelectedIndex(0);
    e.desktop.answers.enqueue(MessageButton::Yes);
    QVERIFY(e.drop(w.findChild<QWidget*>(target), {e.path("plan.map")}));
    QTRY_COMPARE(w.areas().lines(), QStringList({" " + kArea, "  " + kArea}));
    QCOMPARE(e.desktop.boxes.size(), 1);
    QCOMPARE(e.desktop.boxes[0].text, kKeep);
    QCOMPARE(w.windowTitle(), QStringLiteral("Korvane [ Map für: plan.png ]"));
    QVERIFY(!w.mapCode().contains("plan.map"));
}

void TestStartUp::dropAsksAboutUnsavedCodeFirst()
{
    for (MessageButton answer : {MessageButton::Yes, MessageButton::No}) {
        Editor e;
        e.start({});
        e.window->areas().append(" " + kArea);
        e.window->refresh();
        e.desktop.answers.enqueue(answer);
        QVERIFY(e.drop(e.window->ui.Picture1, {e.path("plan.png")}));
        QTRY_COMPARE(e.desktop.boxes.size(), 1);
        QCOMPARE(e.desktop.boxes[0].text, "Der HTML-Code der erzeugten ImageMap wurde noch nicht gespeichert. Soll "
                                          "der Code jetzt gespeichert werden?");
        // Yes saves (its dialog, cancelled here) instead of opening, as after the button.
        QTRY_COMPARE(e.window->windowTitle(), answer == MessageButton::Yes
                                                  ? QStringLiteral("Korvane")
                                                  : QStringLiteral("Korvane [ Map für: plan.png ]"));
        QCOMPARE(e.desktop.dialogs.size(), answer == MessageButton::Yes ? 1 : 0);
    }
}

// Several files, a web address and a move-only offer, then a line of the list
// dragged to the basket, in one run.
void TestStartUp::dropsAndListDragInOneRun()
{
    Editor e;
    e.start({});
    MainWindow& w = *e.window;
    QVERIFY(!e.drop(w.ui.Picture1, {"https://example.org/plan.png"}));
    QVERIFY(!e.drop(w.ui.Picture1, {e.path("plan.png")}, Qt::MoveAction));
    QVERIFY(e.drop(w.ui.Picture1, {e.path("plan.png"), e.path("plan.map")}));
    QTRY_COMPARE(w.windowTitle(), QStringLiteral("Korvane [ Map für: plan.png ]"));
    QCOMPARE(e.desktop.boxes.size(), 1);
    QCOMPARE(e.desktop.boxes[0].text,
             "Es kann nur eine Datei auf einmal geöffnet werden. Geöffnet wird \"" + e.path("plan.png") + "\".");

    w.areas().setLines({" " + kArea, " " + kArea});
    QListView* list = w.ui.List1;
    const QPoint row = list->visualRect(w.areas().index(1)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, row);
    for (int dx : {1, QApplication::startDragDistance() + 5}) {
        QMouseEvent move(QEvent::MouseMove, row + QPoint(dx, 0), list->viewport()->mapToGlobal(row + QPoint(dx, 0)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &move);
    }
    QDrag* drag = list->findChild<QDrag*>();
    QVERIFY(drag);
    QVERIFY(!e.deliverDrop(w.ui.Picture1, drag->mimeData(), drag->supportedActions())); // no file
    e.deliverDrop(w.ui.Picture2, drag->mimeData(), drag->supportedActions());
    QCOMPARE(w.areas().lines(), QStringList{" " + kArea});
    QCOMPARE(e.desktop.boxes.size(), 1);
}

void TestStartUp::programOptions_data()
{
    const QString usage =
        QStringLiteral("Aufruf: korvane [Optionen] [DATEI]\n\n"
                       "Korvane, der Editor für HTML-ImageMaps. Eine DATEI wird geöffnet, als wäre\n"
                       "sie im Dialog des passenden Befehls gewählt worden:\n"
                       "  Grafikdatei (PNG, JPEG, GIF, BMP, TIFF, ICO, CUR, WMF, EMF)  wie mit \"Open\"\n"
                       "  MAP-Datei (.map)                                             wie mit \"Map\"\n"
                       "  HTML-Seite (.html, .htm, .xhtml)                             wie mit \"Html\"\n\n"
                       "Optionen:\n"
                       "  -h, --help       diesen Hilfetext zeigen\n"
                       "  -v, --version    die Versionsnummer zeigen\n");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("--help") << QStringList{"--help"} << 0 << usage << "";
    QTest::newRow("-h, before a file") << QStringList{"-h", "plan.png"} << 0 << usage << "";
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "Korvane 1.0\n"
                               << "";
    QTest::newRow("toolkit option, -v") << QStringList{"-style", "fusion", "-v"} << 0 << "Korvane 1.0\n"
                                        << "";
    QTest::newRow("unknown option") << QStringList{"--farbe=rot", "plan.png"} << 2 << ""
                                    << "korvane: unbekannte Option \"--farbe=rot\"\n\n" + usage;
    QTest::newRow("toolkit option without value") << QStringList{"-platform"} << 2 << ""
                                                  << "korvane: einer Option fehlt ihr Wert\n\n" + usage;
}

// The real program, without any display: these answers need none.
void TestStartUp::programOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KORVANE_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitCode);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), out);
    QCOMPARE(QString::fromUtf8(program.readAllStandardError()), err);
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
