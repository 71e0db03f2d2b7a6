#include "ImageSamples.h"

#include "app/MainWindow.h"
#include "picture/PicturePrefetch.h"
#include "app/StartUp.h"
#include "canvas/Canvas.h"
#include "io/ImgSearchDialog.h"
#include "io/MapFileWriter.h"
#include "model/ExtraAttributes.h"
#include "model/MapCode.h"
#include "model/ResponsiveCode.h"
#include "support/Drops.h"
#include "support/Files.h"
#include "support/Modal.h"
#include "support/Rows.h"
#include "support/ScriptedPlatform.h"
#include "support/SettingsFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QDrag>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace korvane;
using korvane::test::pad;

namespace {

const QString kArea = QStringLiteral("rect                    |10,20,30,25|start.html|Start|*|*|*|*");

// Twenty links, each over sixty pixels of the 40 x 30 picture with other
// links' pixels between them, and texts long enough that the page goes to
// its file in several parts.
QStringList groupedAreas()
{
    QStringList lines;
    for (int k = 0; k < 1200; ++k) {
        lines << QStringLiteral(" rect                    |%1,%2,%3,%4|g%5.html|Raum %5 %6|*|*|*|*")
                     .arg(k % 40)
                     .arg(k / 40)
                     .arg(k % 40 + 1)
                     .arg(k / 40 + 1)
                     .arg(k % 20)
                     .arg(QString(500, u'x'));
    }
    return lines;
}
const QString kCode = QStringLiteral(
    "<!-- HTML-Code fuer den Image-Tag   -->\r\n<img src=\"file://%1/plan.png\" width=\"40\" height=\"30\" alt=\"\" "
    "usemap=\"#plan\" style=\"border-style:none\" />\r\n<!-- HTML-Code der eigentlichen ImageMap   -->\r\n"
    "<map id=\"plan\" name=\"plan\">\r\n<area shape=\"rect\" alt=\"Start\" coords=\"10,20,30,25\" href=\"start.html\" "
    "title=\"Start\"  />\r\n<area shape=\"default\" nohref=\"nohref\" alt=\"\" />\r\n</map>\r\n");
const QByteArray kMap =
    "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n" + QString(kCode).remove("file://%1/").toUtf8();
const QByteArray kPage = "<!DOCTYPE html><html><body><img src=\"plan.png\" usemap=\"#plan\"><map name=\"plan\">"
                         "<area shape=\"rect\" coords=\"10,20,30,25\" href=\"start.html\" alt=\"Start\"></map>";
const QString kUsage =
    QStringLiteral("Aufruf: korvane [Optionen] [DATEI]\n\n"
                   "Korvane, der Editor für HTML-ImageMaps. Eine DATEI wird geöffnet, als wäre\n"
                   "sie im Dialog des passenden Befehls gewählt worden:\n"
                   "  Grafikdatei (PNG, JPEG, GIF, BMP, TIFF, ICO, CUR, WMF, EMF,\n"
                   "               WebP, SVG, SVGZ)                                wie mit \"Open\"\n"
                   "  MAP-Datei (.map)                                             wie mit \"Map\"\n"
                   "  HTML-Seite (.html, .htm, .xhtml)                             wie mit \"Html\"\n\n"
                   "Optionen:\n"
                   "  -h, --help       diesen Hilfetext zeigen\n"
                   "  -v, --version    die Versionsnummer zeigen\n"
                   "  --export-responsive AUS.html DATEI\n"
                   "                   die ImageMap der DATEI (MAP-Datei oder HTML-Seite) als\n"
                   "                   responsive Seite AUS.html schreiben, ohne Fenster\n"
                   "  --export FORM AUS DATEI\n"
                   "                   die ImageMap der DATEI in der FORM nach AUS schreiben,\n"
                   "                   ohne Fenster: classic (Testseite, MAP-Datei bei .map),\n"
                   "                   responsive, mediawiki oder json\n"
                   "  --fit MODUS      wie die Grafik dabei ihren Rahmen füllt: fill (Vorgabe),\n"
                   "                   contain oder cover\n"
                   "  --image N        dabei die N-te Grafik der HTML-Seite mit ImageMap nehmen\n"
                   "  --map NAME       dabei die Grafik nehmen, deren Map diesen Namen trägt\n"
                   "  --check [--display-width BREITE] DATEI...\n"
                   "                   die ImageMaps der Dateien prüfen, ohne Fenster\n");
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

// Runs the real program with no display to open a window on.
void runWithoutDisplay(QProcess& program, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(KORVANE_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(30000));
}

// Every entry below a folder, hidden ones too, relative to it and sorted.
QStringList everyEntry(const QString& root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(root).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

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
    void decodesWhileWindowIsBuilt_data();
    void decodesWhileWindowIsBuilt();
    void dropOpensFile_data();
    void dropOpensFile();
    void dropsAndListDragInOneRun();
    void todaysPicturesOpen_data();
    void todaysPicturesOpen();
    void programOptions_data();
    void programOptions();
    void exportResponsiveWithoutWindow_data();
    void exportResponsiveWithoutWindow();
    void outOfMemory_data();
    void outOfMemory();
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
    QTest::addColumn<QByteArray>("name"); // as the command line hands it over
    QTest::addColumn<QString>("caption"); // "": the start screen stays
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("messages"); // %1: the full path
    const QStringList map{"  " + kArea}, page{" " + kArea}, none;
    test::row("picture", QByteArray("plan.png"), "plan.png", none, none);
    test::row("picture named .dat", QByteArray("bild.dat"), "bild.dat", none, none);
    test::row(".map file", QByteArray("plan.map"), "plan.png", map, none);
    test::row(".map data named .txt", QByteArray("map.txt"), "plan.png", map, none);
    test::row("page, one candidate", QByteArray("seite.html"), "plan.png", page, none);
    test::row("page named .png", QByteArray("seite.png"), "plan.png", page, none);
    test::row("page, two candidates", QByteArray("zwei.htm"), "plan.png", page, none);
    test::row(".map naming a missing picture", QByteArray("fehlt.map"), "plan.png", map,
              QStringList{"Die MAP-Daten beziehen sich auf die Datei \"Fehlt.png\". Bitte diese Grafikdatei öffnen."});
    // Korvane's own forms go to the Html command, whatever their names.
    test::row("MediaWiki block in a text file", QByteArray("karte.txt"), "plan.png", page, none);
    test::row("JSON form", QByteArray("karte.json"), "plan.png", page, none);
    test::row("missing", QByteArray("weg.png"), "", none, QStringList{"Die Datei \"%1\" ist nicht vorhanden."});
    test::row("folder", QByteArray("ordner"), "", none, QStringList{"\"%1\" ist ein Ordner und keine Datei."});
    test::row("pipe, unreadable", QByteArray("rohr"), "", none,
              QStringList{"Die Datei \"%1\" kann nicht gelesen werden."});
    test::row("unknown kind", QByteArray("notiz.txt"), "", none,
              QStringList{"Die Datei \"%1\" ist weder eine Grafikdatei noch eine MAP- oder HTML-Datei."});
    test::row("name not UTF-8", QByteArray("plan\xE4.png"), "", none,
              QStringList{"Der Name der Datei \"%1\" lässt sich nicht lesen: Er ist kein gültiger UTF-8-Text. Bitte "
                          "die Datei umbenennen."});
}

// Each file as the only argument of the command line: what the window shows
// afterwards, and that the file answered the command's dialog (only a later
// dialog is shown).
void TestStartUp::opensFromCommandLine()
{
    QFETCH(QByteArray, name);
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
    test::writeFile(e.path("karte.txt"), "<imagemap>\nDatei:plan.png|40px\nrect 10 20 30 25 [[start.html|Start]]\n"
                                          "</imagemap>\n");
    test::writeFile(e.path("karte.json"), "{\"format\": \"korvane-imagemap\", \"version\": 1, \"name\": \"plan\", "
                                           "\"picture\": {\"file\": \"plan.png\", \"width\": 40, \"height\": 30}, "
                                           "\"areas\": [{\"shape\": \"rect\", \"coords\": [10, 20, 30, 25], "
                                           "\"href\": \"start.html\", \"alt\": \"Start\"}]}");
    QDir(e.dir.path()).mkdir("ordner");
    QCOMPARE(mkfifo(QFile::encodeName(e.path("rohr")).constData(), 0600), 0);
    const QByteArray argument = QFile::encodeName(e.dir.path()) + '/' + name;
    if (name.contains('\xE4')) { // a picture under a name written in Latin-1
        const int fd = ::open(argument.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        const QByteArray picture = test::readFile(e.path("plan.png"));
        QCOMPARE(::write(fd, picture.constData(), picture.size()), ssize_t(picture.size()));
        ::close(fd);
    }
    if (name == "zwei.htm") { // the chooser: the first line
        test::whenModalOpens([](QWidget* modal) {
            QListWidget* list = qobject_cast<ImgSearchDialog*>(modal)->ui.List2;
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        });
    }
    e.desktop.fileAnswers.enqueue(e.path("plan.png")); // for the Open dialog a .map may ask for

    QByteArray typed = argument;
    char program[] = "korvane";
    char* argv[] = {program, typed.data()};
    e.window = startEditor(parseCommandLine(argumentsOf(2, argv)).files);
    MainWindow& w = *e.window;
    QTRY_COMPARE(w.windowTitle(), caption.isEmpty() ? QString("Korvane") : "Korvane [ Map für: " + caption + " ]");
    for (QString& message : messages)
        message.replace("%1", QString::fromUtf8(argument)); // a byte that is not UTF-8 shows as U+FFFD
    QTRY_COMPARE(e.desktop.texts(), messages);
    QCOMPARE(w.areas().lines(), lines);
    QCOMPARE(w.mapCode(), lines.isEmpty() ? QString() : kCode.arg(e.dir.path()));
    QCOMPARE(w.lineWidth(), caption.isEmpty() ? 1 : 3); // the settings are read first
    if (name != "fehlt.map")
        QVERIFY(e.desktop.dialogs.isEmpty());
    else
        QCOMPARE(test::textsOf(e.desktop.dialogs.value(0)).mid(1, 3),
                 QStringList({"PNG,  JPG, JPEG, GIF, BMP (Bilddateien)", e.dir.path(), "Fehlt.png"}));
}

void TestStartUp::decodesWhileWindowIsBuilt_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // empty: the picture
    QTest::addColumn<QString>("early");      // the file decoding once the window is there; empty: none
    // Put in the page's place once it was read on the picture's thread,
    // before the Html command reads it; empty: the page stays.
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("messages");
    const QStringList page{" " + kArea}, none;
    const QByteArray same;
    test::row("picture", QString("plan.png"), QByteArray(), QString("plan.png"), same, QString("plan.png"), none, none);
    test::row("picture named .dat", QString("bild.dat"), QByteArray(), QString("bild.dat"), same, QString("bild.dat"),
              none, none);
    test::row("page, one candidate", QString("seite.html"), kPage, QString("plan.png"), same, QString("plan.png"), page,
              none);
    test::row("page naming it in other letters", QString("seite.htm"),
              QByteArray(kPage).replace("plan.png", "PLAN.PNG"), QString("plan.png"), same, QString("plan.png"), page,
              none);
    test::row("page whose base leads to a folder", QString("basis.html"),
              QByteArray(kPage).replace("<body>", "<base href=\"bilder/\"><body>"), QString("bilder/plan.png"), same,
              QString("plan.png"), QStringList{" " + QString(kArea).replace("start.html", "bilder/start.html")}, none);
    test::row("page, two candidates: the user chooses", QString("zwei.htm"),
              QByteArray(kPage).replace("<map", "<img src=\"x.gif\" usemap=\"#x\"><map"), QString(), same,
              QString("plan.png"), page, none);
    test::row(
        "page naming a missing picture", QString("fehlt.html"), QByteArray(kPage).replace("plan.png", "weg.png"),
        QString(), same, QString(), page,
        QStringList{"Die MAP-Daten beziehen sich auf die Grafikdatei \"weg.png\". Bitte diese Grafikdatei öffnen."});
    test::row(".map file: read by its command", QString("plan.map"), kMap, QString(), same, QString("plan.png"),
              QStringList{"  " + kArea}, none);
    test::row("missing", QString("weg.png"), QByteArray(), QString(), same, QString(), none,
              QStringList{"Die Datei \"%1\" ist nicht vorhanden."});
    // The text before the map is read once, on the picture's thread.
    test::row(
        "page whose map follows 19 MB of text", QString("lang.html"),
        QByteArray(kPage).replace("<body>", "<body>" + QByteArray("<p>Text</p>\n").repeated(19 * 1024 * 1024 / 12)),
        QString("plan.png"), same, QString("plan.png"), page, none);
    test::row("page without a picture", QString("leer.html"), QByteArray("<!DOCTYPE html><html><body><p>Nichts</p>"),
              QString(), same, QString(), none,
              QStringList{"In der ausgewählten Datei wurde keine ImageMap gefunden."});
    // A page replaced after that reading is read again: its areas and its
    // picture, never the picture of one and the areas of the other.
    test::row("page replaced: other areas", QString("seite.html"), kPage, QString("plan.png"),
              QByteArray(kPage).replace("10,20,30,25", "1,2,3,4"), QString("plan.png"),
              QStringList{" " + QString(kArea).replace("10,20,30,25", "1,2,3,4")}, none);
    test::row("page replaced: other picture", QString("seite.html"), kPage, QString("plan.png"),
              QByteArray(kPage).replace("plan.png", "anders.png"), QString("anders.png"), page, none);
    test::row("page replaced by one without a map", QString("seite.html"), kPage, QString("plan.png"),
              QByteArray("<!DOCTYPE html><html><body><p>Nichts</p>"), QString(), none,
              QStringList{"In der ausgewählten Datei wurde keine ImageMap gefunden."});
}

// The picture the file shows decodes on a second thread while the window is
// built; the command takes it from there, so that nothing is left decoding.
// Where the picture is not known without the user, nothing starts early.
void TestStartUp::decodesWhileWindowIsBuilt()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, early);
    QFETCH(QByteArray, replacement);
    QFETCH(QString, caption);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, messages);
    Editor e;
    QDir(e.dir.path()).mkdir("bilder");
    QFile::copy(e.path("plan.png"), e.path("bilder/plan.png"));
    QImage other(20, 10, QImage::Format_RGB32);
    other.fill(Qt::black);
    QVERIFY(other.save(e.path("anders.png"), "PNG"));
    if (name != "weg.png")
        test::writeFile(e.path(name), content.isEmpty() ? test::readFile(e.path("plan.png")) : content);
    if (name == "zwei.htm") {
        test::whenModalOpens([](QWidget* modal) {
            QListWidget* list = qobject_cast<ImgSearchDialog*>(modal)->ui.List2;
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        });
    }
    if (name == "fehlt.html")
        e.desktop.answers.enqueue(MessageButton::No); // the picture is not opened by hand
    e.window = startEditor({e.path(name)});
    MainWindow& w = *e.window;
    // Once the picture is known, the page has been read on its thread.
    QCOMPARE(w.session().prefetch().pendingPath(), early.isEmpty() ? QString() : e.path(early));
    if (!replacement.isEmpty()) { // as an editor saves: written beside it, then renamed over it
        test::writeFile(e.path("neu.tmp"), replacement);
        QCOMPARE(
            ::rename(QFile::encodeName(e.path("neu.tmp")).constData(), QFile::encodeName(e.path(name)).constData()), 0);
    }
    QTRY_COMPARE(w.windowTitle(), caption.isEmpty() ? QString("Korvane") : "Korvane [ Map für: " + caption + " ]");
    for (QString& message : messages)
        message.replace("%1", e.path(name));
    QTRY_COMPARE(e.desktop.texts(), messages);
    QCOMPARE(w.session().prefetch().pendingPath(), QString());
    QCOMPARE(w.areas().lines(), lines);
    if (!caption.isEmpty())
        QCOMPARE(w.ui.Picture1->pictureSize(), caption == "anders.png" ? QSize(20, 10) : QSize(40, 30));
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

void TestStartUp::todaysPicturesOpen_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("colour");
    const QColor red(220, 30, 40), green(20, 180, 60);
    const QByteArray svg = test::makeSvg(64, 48, red);
    for (const char* way : {"dialog", "command line", "drop"}) {
        const auto row = [way](const char* name) -> QTestData& { return QTest::addRow("%s %s", name, way) << QString(way) << name; };
        row("bild.webp") << test::makeWebp(50, 30, green) << QSize(50, 30) << green;
        row("animiert.webp") << test::makeAnimatedWebp(36, 20, red, green) << QSize(36, 20) << red;
        row("zeichnung.svg") << svg << QSize(64, 48) << red;
        row("zeichnung.svgz") << test::gzipped(svg) << QSize(64, 48) << red;
        if (QByteArray(way) != "dialog") // the dialog's choice goes by the name's extension
            row("zeichnung.dat") << svg << QSize(64, 48) << red;
    }
}

// WebP, the first frame of an animated one and SVG drawings, chosen in the
// Open dialog, named on the command line or dropped on the canvas.
void TestStartUp::todaysPicturesOpen()
{
    QFETCH(QString, way);
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    QFETCH(QColor, colour);
    Editor e;
    QVERIFY(test::writeFile(e.path(name), bytes));
    e.window = startEditor(way == "command line" ? QStringList{e.path(name)} : QStringList{});
    MainWindow& w = *e.window;
    if (way == "dialog") {
        e.desktop.fileAnswers.enqueue(e.path(name));
        w.ui.Command1->click();
    } else if (way == "drop") {
        QVERIFY(test::dropOn(w.ui.Picture1, files({QUrl::fromLocalFile(e.path(name))}).get()));
    }
    QTRY_COMPARE(w.windowTitle(), "Korvane [ Map für: " + name + " ]");
    QCOMPARE(e.desktop.texts(), QStringList());
    QCOMPARE(e.desktop.dialogs.size(), way == "dialog" ? 1 : 0);
    const QImage picture = w.ui.Picture1->picture();
    QCOMPARE(picture.size(), size);
    for (const QPoint& at : {QPoint(0, 0), QPoint(size.width() / 2, size.height() / 2)})
        QCOMPARE(picture.pixelColor(at), colour);
}

void TestStartUp::programOptions_data()
{
    const QString usage = kUsage;
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
    runWithoutDisplay(program, arguments);
    QCOMPARE(program.exitCode(), exitCode);
    QTEST(QString::fromUtf8(program.readAllStandardOutput()), "out");
    QTEST(QString::fromUtf8(program.readAllStandardError()), "err");
}

void TestStartUp::exportResponsiveWithoutWindow_data()
{
    QTest::addColumn<QStringList>("arguments"); // run in a folder holding the files below
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("page"); // the page written, empty: none
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("err");
    const QStringList lines{" " + kArea};
    const QString area2 = " circle                    |60,45,20|b.html|B|_blank|*|*|*";
    const auto page = [](const QStringList& areas, const QString& source, const QString& name, QSize size, FitMode fit,
                         const extra::Attributes& picture = {}) {
        return responsivePage({areas, source, name, size, fit, picture});
    };
    test::row(".map file: the picture relative to the page, its own size",
              QStringList{"--export-responsive", "web/neu.html", "plan.map"}, 0, "web/neu.html",
              page(lines, "../Bilder/Plan%20Haus.png", "plan_haus", QSize(40, 30), FitMode::Fill), "");
    // The first map has no area; the second picture is missing, so its tag gives the size.
    test::row("page: the first map with areas, the tag's size, cover",
              QStringList{"--export-responsive=neu.html", "--fit", "cover", "seite.html"}, 0, "neu.html",
              page({area2}, "Fehlt%20noch.png", "b", QSize(120, 90), FitMode::Cover), "");
    // zwei.html: a base element leads into Bilder/, the first picture is shown at twice its size.
    const QString first = extra::withAttributes(pad(" ", "RECT") + "10,20,30,25|Bilder/haus.html||*|*|*|*",
                                                {{"title", "Zum Haus"}, {"rel", "next"}, {"data-nr", "1"}});
    test::row("the picture asked for: its shown size, base, alt, srcset and the rest kept",
              QStringList{"--export-responsive", "neu.html", "--image", "1", "zwei.html"}, 0, "neu.html",
              page({first}, "Bilder/Plan%20Haus.png", "eins", QSize(40, 30), FitMode::Fill,
                   {{"alt", "Der Plan"}, {"srcset", "Bilder/Plan%20Haus.png 1x, Bilder/Plan%20Haus.png 2x"},
                    {"loading", "lazy"}, {"class", "karte"}, {"id", "p1"}}),
              "");
    test::row("the picture by its map's name, links from another folder",
              QStringList{"--export-responsive", "web/neu.html", "--map", "zwei", "zwei.html"}, 0, "web/neu.html",
              page({pad(" ", "circle") + "20,15,5|../Bilder/#oben|Z|*|*|*|*"}, "../Bilder/Plan%20Haus.png", "zwei",
                   QSize(40, 30), FitMode::Fill),
              "");
    // Every form from the command line; the picture named relative to the file written.
    const QString classic =
        "<!-- HTML-Code fuer den Image-Tag   -->\r\n<img src=\"Bilder/Plan%20Haus.png\" width=\"40\" height=\"30\" "
        "alt=\"\" usemap=\"#plan_haus\" style=\"border-style:none\" />\r\n<!-- HTML-Code der eigentlichen ImageMap   "
        "-->\r\n<map id=\"plan_haus\" name=\"plan_haus\">\r\n<area shape=\"rect\" alt=\"Start\" coords=\"10,20,30,25\" "
        "href=\"start.html\" title=\"Start\"  />\r\n<area shape=\"default\" nohref=\"nohref\" alt=\"\" />\r\n</map>\r\n";
    test::row("classic: the test page", QStringList{"--export", "classic", "neu.html", "plan.map"}, 0, "neu.html",
              testPageText(classic), "");
    test::row("classic: a .map file", QStringList{"--export=classic", "neu.map", "plan.map"}, 0, "neu.map",
              QString::fromLatin1(mapDataFileBytes(classic, "Plan Haus.png")), "");
    test::row("responsive, as --export-responsive", QStringList{"--export", "RESPONSIVE", "web/neu.html", "plan.map"},
              0, "web/neu.html", page(lines, "../Bilder/Plan%20Haus.png", "plan_haus", QSize(40, 30), FitMode::Fill), "");
    // What the wiki has no place for is left out, and the user hears of it.
    test::row("mediawiki: the page's first map with areas",
              QStringList{"--export", "mediawiki", "neu.txt", "seite.html"}, 0, "neu.txt",
              "<imagemap>\nFile:Fehlt noch.png|120px\ncircle 60 45 20 [[b.html|B]]\ndesc none\n</imagemap>\n",
              "korvane: Hinweis: Target, JavaScript-Handler und weitere Attribute der Areale kennt MediaWiki nicht; sie "
              "fehlen im Text.\n");
    test::row("json: the picture asked for, its own size",
              QStringList{"--export", "json", "--image", "1", "web/neu.json", "zwei.html"}, 0, "web/neu.json",
              "{\n  \"format\": \"korvane-imagemap\",\n  \"version\": 1,\n  \"name\": \"eins\",\n"
              "  \"picture\": {\"file\": \"../Bilder/Plan Haus.png\", \"width\": 40, \"height\": 30},\n  \"areas\": [\n"
              "    {\"shape\": \"rect\", \"coords\": [10, 20, 30, 25], \"percent\": [25, 66.6667, 75, 83.3333], "
              "\"href\": \"../Bilder/haus.html\", \"alt\": \"\", \"attributes\": {\"title\": \"Zum Haus\", \"rel\": \"next\", "
              "\"data-nr\": \"1\"}}\n  ]\n}\n",
              "");
    // Korvane's own forms are read as maps too.
    test::row("a MediaWiki block in a text file to JSON", QStringList{"--export", "json", "neu.json", "Bilder/karte.txt"},
              0, "neu.json",
              "{\n  \"format\": \"korvane-imagemap\",\n  \"version\": 1,\n  \"name\": \"plan_haus\",\n"
              "  \"picture\": {\"file\": \"Bilder/Plan Haus.png\", \"width\": 40, \"height\": 30},\n  \"areas\": [\n"
              "    {\"shape\": \"rect\", \"coords\": [10, 20, 30, 25], \"percent\": [25, 66.6667, 75, 83.3333], "
              "\"href\": \"Start\", \"alt\": \"\"}\n  ]\n}\n",
              "");
    test::row("a JSON file to MediaWiki", QStringList{"--export", "mediawiki", "neu.txt", "karte.json"}, 0, "neu.txt",
              "<imagemap>\nFile:Plan Haus.png|40px\nrect 10 20 30 25 [https://example.com/ Beispiel]\ndesc none\n"
              "</imagemap>\n",
              "");
    test::row("unknown form", QStringList{"--export", "svg", "x.html", "plan.map"}, 2, "", "",
              "korvane: unbekannte Form \"svg\" (classic, responsive, mediawiki oder json)\n\n" + kUsage);
    test::row("--export without AUS", QStringList{"--export", "json", "plan.map"}, 2, "", "",
              "korvane: --export braucht AUS und genau eine DATEI\n\n" + kUsage);
    test::row("--export and --export-responsive",
              QStringList{"--export", "json", "--export-responsive", "y.html", "x.html", "plan.map"}, 2, "", "",
              "korvane: --export und --export-responsive schließen einander aus\n\n" + kUsage);
    test::row("--fit with another form", QStringList{"--export", "json", "--fit", "cover", "x.html", "plan.map"}, 2,
              "", "", "korvane: --fit gilt nur für die Form responsive\n\n" + kUsage);
    test::row("a JSON of a newer Korvane", QStringList{"--export", "classic", "x.html", "neuer.json"}, 2, "", "",
              "korvane: Die ImageMap stammt von einem neueren Korvane (Version 7 des JSON-Formats).\n");
    test::row("no such picture", QStringList{"--export-responsive", "x.html", "--image=3", "zwei.html"}, 2, "", "",
              "korvane: Die Datei \"zwei.html\" hat keine 3. Grafik mit ImageMap, nur 2.\n");
    test::row("no such map", QStringList{"--export-responsive", "x.html", "--map", "Eins", "zwei.html"}, 2, "", "",
              "korvane: Keine Grafik der Datei \"zwei.html\" nutzt die Map \"Eins\".\n");
    test::row("--image and --map", QStringList{"--export-responsive", "x.html", "--image", "1", "--map", "zwei",
                                               "zwei.html"},
              2, "", "", "korvane: --image und --map schließen einander aus\n\n" + kUsage);
    test::row("--image no number", QStringList{"--export-responsive", "x.html", "--image", "0", "zwei.html"}, 2, "",
              "", "korvane: die Grafik \"0\" ist keine ganze Zahl größer 0\n\n" + kUsage);
    test::row("--map alone", QStringList{"--map", "zwei", "zwei.html"}, 2, "", "",
              "korvane: --map gilt nur mit --export-responsive\n\n" + kUsage);
    // The file is read in pieces (a MiB each): an area tag across two of them.
    test::row("page: an area across two pieces of the file",
              QStringList{"--export-responsive", "neu.html", "weit.html"}, 0, "neu.html",
              page({" rect                    |1,2,3,4|g.html|GESUCHT|*|*|*|*"}, "Fehlt%20noch.png", "b",
                   QSize(120, 90), FitMode::Fill),
              "");
    // Areas of one link become one link in several parts, and the highlight lights them up together.
    test::row("grouped links: the page written in parts is the whole page",
              QStringList{"--export-responsive", "neu.html", "gruppen.map"}, 0, "neu.html",
              page(groupedAreas(), "Bilder/Plan%20Haus.png", "plan_haus", QSize(40, 30), FitMode::Fill), "");
    test::row("page without a map", QStringList{"--export-responsive", "x.html", "leer.html"}, 2, "", "",
              "korvane: In der Datei \"leer.html\" wurde keine ImageMap mit Arealen gefunden.\n");
    test::row(".map file without map data", QStringList{"--export-responsive", "x.html", "leer.map"}, 2, "", "",
              "korvane: In der Datei \"leer.map\" wurden keine MAP-Daten gefunden.\n");
    test::row("missing file", QStringList{"--export-responsive", "x.html", "fehlt.map"}, 2, "", "",
              "korvane: Die Datei \"fehlt.map\" ließ sich nicht lesen.\n");
    test::row("picture and size unknown", QStringList{"--export-responsive", "x.html", "ohne.html"}, 2, "", "",
              "korvane: Die Größe der Grafik \"weg.png\" ist unbekannt: Die Datei wurde nicht gefunden, und das "
              "img-Tag nennt nicht width und height.\n");
    test::row("page not writable", QStringList{"--export-responsive", "nirgends/x.html", "plan.map"}, 1, "", "",
              "korvane: Die Datei \"nirgends/x.html\" ließ sich nicht schreiben.\n");
    test::row("two files", QStringList{"--export-responsive", "x.html", "plan.map", "seite.html"}, 2, "", "",
              "korvane: --export-responsive braucht genau eine DATEI\n\n" + kUsage);
    test::row("--fit alone", QStringList{"--fit", "cover", "plan.map"}, 2, "", "",
              "korvane: --fit gilt nur mit --export-responsive\n\n" + kUsage);
    test::row("unknown fit", QStringList{"--export-responsive", "x.html", "--fit=rund", "plan.map"}, 2, "", "",
              "korvane: unbekannte Einpassung \"rund\" (fill, contain oder cover)\n\n" + kUsage);
    // The page never takes the place of what it is made from, nor of what is no file.
    const auto refused = [](const QString& output, const QString& what) {
        return "korvane: Die Ausgabe \"" + output + "\" ist " + what + "; es wurde nichts geschrieben.\n";
    };
    const QString input = "die gelesene Datei \"seite.html\"";
    test::row("the input as output", QStringList{"--export-responsive", "seite.html", "seite.html"}, 1, "", "",
              refused("seite.html", input));
    test::row("the input through ./", QStringList{"--export-responsive", "./seite.html", "seite.html"}, 1, "", "",
              refused("./seite.html", input));
    test::row("a link to the input", QStringList{"--export-responsive", "verweis.html", "seite.html"}, 1, "", "",
              refused("verweis.html", input));
    test::row("a hard link to the input", QStringList{"--export-responsive", "web/fest.map", "plan.map"}, 1, "", "",
              refused("web/fest.map", "die gelesene Datei \"plan.map\""));
    test::row("the picture", QStringList{"--export-responsive", "Bilder/Plan Haus.png", "plan.map"}, 1, "", "",
              refused("Bilder/Plan Haus.png", "die Grafik der ImageMap"));
    test::row("a pipe", QStringList{"--export-responsive", "rohr.html", "plan.map"}, 1, "", "",
              refused("rohr.html", "eine Pipe (FIFO), keine gewöhnliche Datei"));
    test::row("a device", QStringList{"--export-responsive", "geraet.html", "plan.map"}, 1, "", "",
              refused("geraet.html", "ein Gerät, keine gewöhnliche Datei"));
    test::row("a folder", QStringList{"--export-responsive", "web", "plan.map"}, 1, "", "",
              refused("web", "ein Ordner, keine gewöhnliche Datei"));
}

void TestStartUp::exportResponsiveWithoutWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, page);
    QFETCH(QString, expected);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QString picture = dir.filePath("Bilder/Plan Haus.png");
    QVERIFY(QDir().mkpath(dir.filePath("Bilder")) && QDir().mkpath(dir.filePath("web")));
    QImage(40, 30, QImage::Format_RGB32).save(picture, "PNG");
    QVERIFY(test::writeFile(dir.filePath("plan.map"),
                            mapDataFileBytes(map_daten({" " + kArea}, picture, QString(), QSize(40, 30)), "Plan Haus.png")));
    QVERIFY(test::writeFile(dir.filePath("seite.html"),
                            "<html><body><img src=\"Bilder/Plan Haus.png\" usemap=\"#a\"><map name=\"a\"></map>\n"
                            "<img src=\"Fehlt noch.png\" width=\"120\" height=\"90\" usemap=\"#b\"><map name=\"b\">"
                            "<area shape=\"circle\" coords=\"60,45,20\" href=\"b.html\" alt=\"B\" target=\"_blank\">"
                            "</map></body></html>"));
    QVERIFY(test::writeFile(dir.filePath("leer.html"), "<html><body><img src=\"a.png\"></body></html>"));
    QVERIFY(test::writeFile(dir.filePath("gruppen.map"),
                            mapDataFileBytes(map_daten(groupedAreas(), picture, QString(), QSize(40, 30)), "Plan Haus.png")));
    // The area tag begins before the first MiB of the file ends and ends after it.
    QByteArray far = "<img src=\"Fehlt noch.png\" width=\"120\" height=\"90\" usemap=\"#b\">\n"
                     "<map name=\"b\"><!--";
    const QByteArray area = "-->\n<area shape=\"rect\" coords=\"1,2,3,4\" href=\"g.html\" alt=\"";
    far += QByteArray(1024 * 1024 - 3 - far.size() - area.size(), 'x') + area + "GESUCHT\">\n</map>";
    QVERIFY(far.indexOf("GESUCHT") == 1024 * 1024 - 3);
    QVERIFY(test::writeFile(dir.filePath("weit.html"), far));
    QVERIFY(test::writeFile(dir.filePath("zwei.html"),
                            "<html><head><base href=\"Bilder/\"></head><body>\n"
                            "<img src=\"Plan Haus.png\" usemap=\"#eins\" alt=\"Der Plan\" srcset=\"Plan%20Haus.png 1x, "
                            "../Bilder/Plan%20Haus.png 2x\" loading=\"lazy\" class=\"karte\" id=\"p1\" width=\"80\" "
                            "height=\"60\">\n<map id=\"eins\"><area shape=\"RECT\" coords=\"20 40 60 50\" "
                            "href=\"haus.html\" alt=\"\" title=\"Zum Haus\" rel=\"next\" data-nr=\"1\"></map>\n"
                            "<img src=\"Plan Haus.png\" usemap=\"#zwei\"><map name=\"zwei\"><area shape=\"circle\" "
                            "coords=\"20,15,5\" href=\"#oben\" alt=\"Z\"></map></body></html>"));
    QVERIFY(test::writeFile(dir.filePath("leer.map"), "<!-- nichts -->"));
    QVERIFY(test::writeFile(dir.filePath("Bilder/karte.txt"),
                            "Die Karte:\n<imagemap>\nFile:Plan Haus.png|400px\nrect 10 20 30 25 [[Start]]\n</imagemap>\n"));
    QVERIFY(test::writeFile(dir.filePath("karte.json"),
                            "{\"format\": \"korvane-imagemap\", \"version\": 1, \"picture\": {\"file\": "
                            "\"Bilder/Plan Haus.png\", \"width\": 40, \"height\": 30}, \"areas\": [{\"shape\": \"rect\", "
                            "\"coords\": [10, 20, 30, 25], \"href\": \"https://example.com/\", \"alt\": \"Beispiel\"}]}"));
    QVERIFY(test::writeFile(dir.filePath("neuer.json"), "{\"format\": \"korvane-imagemap\", \"version\": 7}"));
    QVERIFY(test::writeFile(dir.filePath("ohne.html"), "<img src=\"weg.png\" usemap=\"#w\"><map name=\"w\">"
                                                       "<area shape=\"rect\" coords=\"1,2,3,4\" href=\"w.html\"></map>"));
    // The same files under other names, and outputs that are no files.
    QVERIFY(QFile::link("seite.html", dir.filePath("verweis.html")));
    QVERIFY(::link(QFile::encodeName(dir.filePath("plan.map")).constData(),
                   QFile::encodeName(dir.filePath("web/fest.map")).constData()) == 0);
    QVERIFY(::mkfifo(QFile::encodeName(dir.filePath("rohr.html")).constData(), 0600) == 0);
    if (QTest::currentDataTag() == QByteArray("a device") &&
        ::mknod(QFile::encodeName(dir.filePath("geraet.html")).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
        QSKIP("Only root may make a device node.");
    const QStringList entriesBefore = everyEntry(dir.path());
    const QStringList kept{"seite.html", "plan.map", "Bilder/Plan Haus.png"};
    QList<QByteArray> before;
    for (const QString& name : kept)
        before << test::readFile(dir.filePath(name));

    QProcess program;
    program.setWorkingDirectory(dir.path());
    runWithoutDisplay(program, arguments);
    QCOMPARE(program.exitCode(), exitCode);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), QString());
    QCOMPARE(QString::fromUtf8(program.readAllStandardError()), err);
    if (!page.isEmpty())
        QCOMPARE(test::readFile(dir.filePath(page)), expected.toUtf8());
    QVERIFY(!QFile::exists(dir.filePath("x.html")));
    for (qsizetype i = 0; i < kept.size(); ++i)
        QCOMPARE(test::readFile(dir.filePath(kept[i])), before[i]);
    struct stat pipe {};
    QVERIFY(::lstat(QFile::encodeName(dir.filePath("rohr.html")).constData(), &pipe) == 0 && S_ISFIFO(pipe.st_mode));
    QVERIFY(QFileInfo(dir.filePath("verweis.html")).isSymLink());
    QStringList entries = entriesBefore;
    if (!page.isEmpty() && !entries.contains(page))
        entries << page;
    entries.sort();
    QCOMPARE(everyEntry(dir.path()), entries); // no temporary file left
}

namespace {

// Runs the program as runWithoutDisplay() does, its address space limited to `bytes`.
void runLimited(QProcess& program, const QStringList& arguments, rlim_t bytes)
{
    program.setChildProcessModifier([bytes] {
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_AS, &limit);
    });
    runWithoutDisplay(program, arguments);
}

// The least address space (to 8 MB) in which the program checks a small file;
// 0 when 1 GB is not enough (a build with a sanitizer reserves far more).
rlim_t addressSpaceToStart(const QString& folder)
{
    rlim_t low = 16 << 20, high = 1024 << 20;
    QProcess first;
    first.setWorkingDirectory(folder);
    runLimited(first, {"--check", "klein.map"}, high);
    if (first.exitCode() != 0)
        return 0;
    while (high - low > (8 << 20)) {
        const rlim_t middle = (low + high) / 2;
        QProcess program;
        program.setWorkingDirectory(folder);
        runLimited(program, {"--check", "klein.map"}, middle);
        (program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0 ? high : low) = middle;
    }
    return high;
}

} // namespace

void TestStartUp::outOfMemory_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("err");
    const QString memory = "korvane: Für die Datei \"gross.map\" reicht der Arbeitsspeicher nicht.";
    test::row("--check", QStringList{"--check", "gross.map"}, memory + " Sie wurde nicht ganz geprüft.\n");
    test::row("--export-responsive", QStringList{"--export-responsive", "neu.html", "gross.map"},
              memory + " Es wurde nichts geschrieben.\n");
}

// A file too big for the memory there is: a German message and exit status
// 2, never an abort, and nothing written.
void TestStartUp::outOfMemory()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QByteArray head = "<img src=\"plan.png\" width=\"4000\" height=\"3000\" usemap=\"#plan\" />\r\n"
                            "<map name=\"plan\">\r\n";
    const QByteArray area = "<area shape=\"rect\" coords=\"10,20,300,200\" href=\"seite.html\" alt=\"Seite\" />\r\n";
    QVERIFY(test::writeFile(dir.filePath("klein.map"), head + area + "</map>\r\n"));
    QVERIFY(test::writeFile(dir.filePath("gross.map"), head + area.repeated(128 * 1024 * 1024 / area.size())));
    const rlim_t start = addressSpaceToStart(dir.path());
    if (start == 0)
        QSKIP("The program needs more address space than this test limits it to (a sanitizer build?).");
    QProcess program;
    program.setWorkingDirectory(dir.path());
    runLimited(program, arguments, start + (32 << 20));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(QString::fromUtf8(program.readAllStandardError()), err);
    QCOMPARE(program.exitCode(), 2);
    QCOMPARE(everyEntry(dir.path()), QStringList({"gross.map", "klein.map"}));
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
