#include "app/MainWindow.h"
#include "app/StartUp.h"
#include "canvas/Canvas.h"
#include "io/ImgSearchDialog.h"
#include "support/Drops.h"
#include "support/Files.h"
#include "support/Modal.h"
#include "support/Rows.h"
#include "support/ScriptedPlatform.h"
#include "support/SettingsFolder.h"

#include <QDrag>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMimeData>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>

using namespace korvane;

namespace {

const QString kArea = QStringLiteral("rect                    |10,20,30,25|start.html|Start|*|*|*|*");
const QString kCode = QStringLiteral(
    "<!-- HTML-Code fuer den Image-Tag   -->\r\n<img src=\"file://%1/plan.png\" width=\"40\" height=\"30\" alt=\"\" "
    "usemap=\"#plan\" style=\"border-style:none\" />\r\n<!-- HTML-Code der eigentlichen ImageMap   -->\r\n"
    "<map id=\"plan\" name=\"plan\">\r\n<area shape=\"rect\" alt=\"Start\" coords=\"10,20,30,25\" href=\"start.html\" "
    "title=\"Start\"  />\r\n<area shape=\"default\" nohref=\"nohref\" alt=\"\" />\r\n</map>\r\n");
const QByteArray kMap =
    "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n" + QString(kCode).remove("file://%1/").toUtf8();
const QByteArray kPage = "<!DOCTYPE html><html><body><img src=\"plan.png\" usemap=\"#plan\"><map name=\"plan\">"
                         "<area shape=\"rect\" coords=\"10,20,30,25\" href=\"start.html\" alt=\"Start\"></map>";
const QString kOnlyOne = QStringLiteral("Es kann nur eine Datei auf einmal geöffnet werden. Geöffnet wird \"%1\".");

// The editor as main() starts it, with a scripted desktop, its own settings
// (a line width of 3 shows they were read) and a folder holding a picture.
struct Editor : test::SettingsFolder {
    test::ScriptedPlatform& desktop = test::installScriptedPlatform();
    std::unique_ptr<MainWindow> window;

    Editor()
    {
        test::writeFile(path("Korvane.ini"), "[DrawWidth]\r\nDrawWidth1=3\r\n");
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::white);
        picture.save(path("plan.png"), "PNG");
    }
};

std::unique_ptr<QMimeData> files(const QList<QUrl>& urls)
{
    auto data = std::make_unique<QMimeData>();
    data->setUrls(urls);
    data->setText(urls.value(0).toString()); // as file managers add
    return data;
}

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT
private slots:
    void startLoadsNoPicturePlugins(); // first: later tests read pictures
    void opensFromCommandLine_data();
    void opensFromCommandLine();
    void dropOpensFile_data();
    void dropOpensFile();
    void dropsAndListDragInOneRun();
    void programOptions_data();
    void programOptions();
};

// The Fusion style's group box frame, read by name, would load every image
// format plugin (TIFF, WebP, ...) at each start.
void TestStartUp::startLoadsNoPicturePlugins()
{
    prepareApplication();
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.findChild<QGroupBox*>());
    window.repaint();
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("/imageformats/"));
}

void TestStartUp::opensFromCommandLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption"); // "": the start screen stays
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("messages"); // %1: the full path
    const QStringList map{"  " + kArea}, page{" " + kArea}, none;
    test::row("picture", "plan.png", "plan.png", none, none);
    test::row("picture named .dat", "bild.dat", "bild.dat", none, none);
    test::row(".map file", "plan.map", "plan.png", map, none);
    test::row(".map data named .txt", "map.txt", "plan.png", map, none);
    test::row("page, one candidate", "seite.html", "plan.png", page, none);
    test::row("page named .png", "seite.png", "plan.png", page, none);
    test::row("page, two candidates", "zwei.htm", "plan.png", page, none);
    test::row(".map naming a missing picture", "fehlt.map", "plan.png", map,
              QStringList{"Die MAP-Daten beziehen sich auf die Datei \"fehlt.png\". Bitte diese Grafikdatei öffnen."});
    test::row("missing", "weg.png", "", none, QStringList{"Die Datei \"%1\" ist nicht vorhanden."});
    test::row("folder", "ordner", "", none, QStringList{"\"%1\" ist ein Ordner und keine Datei."});
    test::row("pipe, unreadable", "rohr", "", none, QStringList{"Die Datei \"%1\" kann nicht gelesen werden."});
    test::row("unknown kind", "notiz.txt", "", none,
              QStringList{"Die Datei \"%1\" ist weder eine Grafikdatei noch eine MAP- oder HTML-Datei."});
}

// Each file as the only argument: what the window shows afterwards, and that
// the file answered the command's dialog (only a later dialog is shown).
void TestStartUp::opensFromCommandLine()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, messages);
    Editor e;
    test::writeFile(e.path("bild.dat"), test::readFile(e.path("plan.png")));
    for (const char* map : {"plan.map", "map.txt"})
        test::writeFile(e.path(map), kMap);
    test::writeFile(e.path("fehlt.map"), QByteArray(kMap).replace("src=\"plan.png\"", "src=\"Fehlt.png\""));
    for (const char* page : {"seite.html", "seite.png"})
        test::writeFile(e.path(page), kPage);
    test::writeFile(e.path("zwei.htm"), QByteArray(kPage).replace("<map", "<img src=\"x.gif\" usemap=\"#x\"><map"));
    test::writeFile(e.path("notiz.txt"), "Einkaufen: Brot, Milch");
    QDir(e.dir.path()).mkdir("ordner");
    QCOMPARE(mkfifo(QFile::encodeName(e.path("rohr")).constData(), 0600), 0);
    if (name == "zwei.htm") { // the chooser: the first line
        test::whenModalOpens([](QWidget* modal) {
            QListWidget* list = qobject_cast<ImgSearchDialog*>(modal)->ui.List2;
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        });
    }
    e.desktop.fileAnswers.enqueue(e.path("plan.png")); // for the Open dialog a .map may ask for

    e.window = startEditor({e.path(name)});
    MainWindow& w = *e.window;
    QTRY_COMPARE(w.windowTitle(), caption.isEmpty() ? QString("Korvane") : "Korvane [ Map für: " + caption + " ]");
    for (QString& message : messages)
        message.replace("%1", e.path(name));
    QTRY_COMPARE(e.desktop.texts(), messages);
    QCOMPARE(w.areas().lines(), lines);
    QCOMPARE(w.mapCode(), lines.isEmpty() ? QString() : kCode.arg(e.dir.path()));
    QCOMPARE(w.lineWidth(), caption.isEmpty() ? 1 : 3); // the settings are read first
    if (name != "fehlt.map")
        QVERIFY(e.desktop.dialogs.isEmpty());
    else
        QCOMPARE(test::textsOf(e.desktop.dialogs.value(0)).mid(1, 3),
                 QStringList({"PNG,  JPG, JPEG, GIF, BMP (Bilddateien)", e.dir.path(), "fehlt.png"}));
}

void TestStartUp::dropOpensFile_data()
{
    QTest::addColumn<QString>("target");
    for (const char* target : {"List1", "txtMap", "Picture2", "Label1"})
        QTest::newRow(target) << target;
}

// Anywhere on the window, the code box and the basket included, a dropped
// .map file imports after the import's question; no line is deleted or pasted.
void TestStartUp::dropOpensFile()
{
    QFETCH(QString, target);
    Editor e;
    test::writeFile(e.path("plan.map"), kMap);
    e.window = startEditor({});
    MainWindow& w = *e.window;
    w.areas().append(" " + kArea);
    w.setSelectedIndex(0);
    e.desktop.answers.enqueue(MessageButton::Yes);
    QVERIFY(test::dropOn(w.findChild<QWidget*>(target), files({QUrl::fromLocalFile(e.path("plan.map"))}).get()));
    QTRY_COMPARE(w.areas().lines(), QStringList({" " + kArea, "  " + kArea}));
    QCOMPARE(e.desktop.texts(), QStringList{"Sollen die schon eingezeichneten Areale erhalten bleiben?"});
    QCOMPARE(w.windowTitle(), QStringLiteral("Korvane [ Map für: plan.png ]"));
}

// Refused offers, several files, then a line of the list dragged to the
// basket, in one run.
void TestStartUp::dropsAndListDragInOneRun()
{
    Editor e;
    e.window = startEditor({});
    MainWindow& w = *e.window;
    const QUrl picture = QUrl::fromLocalFile(e.path("plan.png"));
    QVERIFY(!test::dropOn(w.ui.Picture1, files({QUrl("https://example.org/plan.png")}).get()));
    QVERIFY(!test::dropOn(w.ui.Picture1, files({picture}).get(), Qt::MoveAction)); // never a move of the user's file
    QVERIFY(test::dropOn(w.ui.Picture1, files({picture, QUrl::fromLocalFile(e.path("x.map"))}).get()));
    QTRY_COMPARE(w.windowTitle(), QStringLiteral("Korvane [ Map für: plan.png ]"));
    QCOMPARE(e.desktop.texts(), QStringList{kOnlyOne.arg(e.path("plan.png"))});

    w.areas().setLines({" " + kArea, " " + kArea});
    QWidget* list = w.ui.List1->viewport();
    const QPoint row = w.ui.List1->visualRect(w.areas().index(1)).center();
    QTest::mousePress(list, Qt::LeftButton, {}, row);
    for (const QPoint& to : {row + QPoint(1, 0), row + QPoint(QApplication::startDragDistance() + 5, 0)}) {
        QMouseEvent move(QEvent::MouseMove, to, list->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(list, &move);
    }
    QDrag* drag = w.ui.List1->findChild<QDrag*>();
    QVERIFY(drag);
    QVERIFY(!test::dropOn(w.ui.Picture1, drag->mimeData(), drag->supportedActions())); // a line is no file
    test::dropOn(w.ui.Picture2, drag->mimeData(), drag->supportedActions());
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
                       "  -v, --version    die Versionsnummer zeigen\n"
                       "  --check [--display-width BREITE] DATEI...\n"
                       "                   die ImageMaps der Dateien prüfen, ohne Fenster\n");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    test::row("-h before a file", QStringList{"-h", "plan.png"}, 0, usage, "");
    test::row("toolkit option, --version", QStringList{"-style", "fusion", "--version"}, 0, "Korvane 1.0\n", "");
    test::row("unknown option", QStringList{"--farbe=rot", "plan.png"}, 2, "",
              "korvane: unbekannte Option \"--farbe=rot\"\n\n" + usage);
    test::row("option without value", QStringList{"-platform"}, 2, "",
              "korvane: einer Option fehlt ihr Wert\n\n" + usage);
}

// The real program, without any display: these answers need none.
void TestStartUp::programOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KORVANE_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), exitCode);
    QTEST(QString::fromUtf8(program.readAllStandardOutput()), "out");
    QTEST(QString::fromUtf8(program.readAllStandardError()), "err");
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
