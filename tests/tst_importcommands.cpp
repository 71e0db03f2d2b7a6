#include "app/CodeBox.h"
#include "app/MainWindow.h"
#include "canvas/Canvas.h"
#include "io/ImgSearchDialog.h"
#include "model/AreaEntry.h"
#include "model/Codec.h"
#include "model/ExtraAttributes.h"
#include "model/MapCode.h"
#include "model/Paths.h"
#include "support/Modal.h"
#include "support/Rows.h"
#include "support/ScriptedPlatform.h"
#include "support/SettingsFolder.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace korvane;
using korvane::test::expectBox;
using korvane::test::pad;
using korvane::test::ScriptedPlatform;
using korvane::test::ShownBox;

namespace {

const QString kOpenImageTitle = QStringLiteral("PNG,  JPG, JPEG, GIF, BMP (Bilddateien)");
const QString kMapDialogTitle = QStringLiteral("MapDatei öffnen");
const QString kHtmlDialogTitle = QStringLiteral("HTML-Datei öffnen");
const QString kUnsaved = QStringLiteral("Der HTML-Code der erzeugten ImageMap wurde noch nicht gespeichert. Soll "
                                        "der Code jetzt gespeichert werden?");
const QString kKeep = QStringLiteral("Sollen die schon eingezeichneten Areale erhalten bleiben?");

const QString kOldLine = pad(" ", "rect") + "1,1,5,5|alt.html|Alt|*|*|*|*";

// One editor window with a scripted desktop, a settings file of its own and a
// folder the test writes its files into.
struct Editor : test::SettingsFolder {
    ScriptedPlatform& desktop = test::installScriptedPlatform();
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>();

    void write(const QString& name, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    void writeImage(const QString& name) const
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::white);
        QVERIFY(image.save(path(name), "PNG"));
    }
    // A .map file as the save command writes it: the header and the generated code.
    void writeSavedMap(const QString& name, const QStringList& lines, const QString& imagePath) const
    {
        const QString text = QStringLiteral("<!--\r\nIMAGEMAP FUER GRAFIKDATEI: ") + fileNameOf(imagePath) +
                             QStringLiteral("\r\n-->\r\n\r\n") +
                             korvane::map_daten(lines, imagePath, QString(), QSize(40, 30));
        write(name, toWindows1252(text));
    }
    // Presses a button with the file dialog answering `file` (empty: cancel).
    void press(QPushButton* button, const QString& file)
    {
        desktop.fileAnswers.enqueue(file);
        button->click();
    }
    void mapImport(const QString& file) { press(window->ui.Command8, file); }
    void htmlImport(const QString& file) { press(window->ui.Command11, file); }
    // Gives the window areas whose code is not saved yet.
    void haveUnsavedCode(const QStringList& lines)
    {
        for (const QString& line : lines)
            window->areas().append(line);
        window->refresh();
    }
    QStringList boxTexts() const { return desktop.texts(); }
    bool toolsEnabled() const
    {
        const auto& ui = window->ui;
        for (QRadioButton* option : ui.Option1) {
            if (!option->isEnabled())
                return false;
        }
        return ui.Command7->isEnabled() && ui.Frame1->isEnabled() && ui.Frame2->isEnabled() &&
               ui.chkGefuellt->isEnabled();
    }
};

// The preset name Command1 carried when it was pressed.
struct OpenPressWatch {
    QStringList presets;
    OpenPressWatch(MainWindow& window)
    {
        QObject::connect(window.ui.Command1, &QPushButton::pressed, window.ui.Command1,
                         [this, &window] { presets << window.state().openPresetName; });
    }
};

} // namespace

class TestImportCommands : public QObject {
    Q_OBJECT
private slots:
    void mapImportFindsImageAndAreas_data();
    void mapImportFindsImageAndAreas();
    void mapImportMissingImage();
    void mapImportKeepQuestion_data();
    void mapImportKeepQuestion();
    void mapImportWithoutMapData();
    void mapImportDialogAndSettings();
    void mapImportTruncatedFile();
    void bigImportStopped_data();
    void bigImportStopped();
    void mapImportSameImageNotReloaded();
    void listCommandsAfterImport_data();
    void listCommandsAfterImport();
    void mapImportLongLineShownCut();
    void bigMapCodeShownCut_data();
    void bigMapCodeShownCut();
    void savedMapRoundTrip_data();
    void savedMapRoundTrip();
    void ownFormsRoundTrip_data();
    void ownFormsRoundTrip();
    void htmlImportOneCandidate();
    void htmlImportChooser();
    void htmlImportChooserClosed();
    void htmlImportMessages_data();
    void htmlImportMessages();
    void htmlImportOverExistingCode_data();
    void htmlImportOverExistingCode();
    void htmlImportMissingImage();
    void htmlImportBrokenImage_data();
    void htmlImportBrokenImage();
    void importTrueToThePage_data();
    void importTrueToThePage();
};

void TestImportCommands::mapImportFindsImageAndAreas_data()
{
    QTest::addColumn<QString>("imageOnDisk");
    QTest::addColumn<QString>("imagePathInFile"); // relative to the test folder
    QTest::newRow("same case") << "plan.png"
                               << "plan.png";
    QTest::newRow("file name in capitals") << "Plan.PNG"
                                           << "Plan.PNG";
    QTest::newRow("folder with blank and capitals") << "Web Bilder/Haus Eins.png"
                                                    << "Web Bilder/Haus Eins.png";
}

void TestImportCommands::mapImportFindsImageAndAreas()
{
    QFETCH(QString, imageOnDisk);
    QFETCH(QString, imagePathInFile);
    Editor e;
    e.writeImage(imageOnDisk);
    const QStringList lines = {pad(" ", "rect") + "10,20,30,25|start.html|Start|*|*|*|*",
                               pad(" ", "poly") + "1,2,3,4,5,6|info.html|Info|_top|in()|out()|go('x')"};
    e.writeSavedMap("plan.map", lines, e.path(imagePathInFile));
    QVERIFY(!e.toolsEnabled()); // the import enables them
    e.mapImport(e.path("plan.map"));

    MainWindow& w = *e.window;
    QCOMPARE(e.boxTexts(), QStringList());
    QCOMPARE(w.document().imagePath(), e.path(imageOnDisk)); // as it is on disk, not lower-cased
    QCOMPARE(w.document().imageFileName(), fileNameOf(imageOnDisk));
    QCOMPARE(w.document().mapName(), mapNameFor(imageOnDisk, QString()));
    QCOMPARE(w.areas().lines(), QStringList({" " + lines[0], " " + lines[1]}));
    // The code is rebuilt from the areas, with the image the file named (the text box shows "\n" line ends).
    const QString code =
        korvane::map_daten(w.areas().lines(), e.path(imageOnDisk), w.document().mapName(), w.ui.Picture1->size());
    QCOMPARE(w.mapCode(), QString(code));
    QVERIFY(e.toolsEnabled());
    QVERIFY(w.ui.txtHelp->isVisibleTo(&w));
    // The handlers of the last element read (the default area) stay in the link attributes.
    QCOMPARE(w.state().link.onclick, QStringLiteral("*"));
}

void TestImportCommands::mapImportMissingImage()
{
    Editor e;
    OpenPressWatch watch(*e.window);
    e.writeSavedMap("plan.map", {pad(" ", "rect") + "1,2,3,4|a.html|A|*|*|*|*"}, e.path("Fehlt/Plan.JPG"));
    e.mapImport(e.path("plan.map"));

    const QString lowered = e.path("Fehlt/Plan.JPG").toLower();
    QCOMPARE(e.desktop.boxes.size(), 1);
    expectBox(e.desktop.boxes.front(), QStringLiteral("korvane"),
              "Die MAP-Daten beziehen sich auf die Datei \"" + lowered + "\". Bitte diese Grafikdatei öffnen.",
              MessageIcon::Information);
    QCOMPARE(e.desktop.boxes.front().buttons, QList<MessageButton>{MessageButton::Ok});
    QCOMPARE(watch.presets, QStringList{"plan.jpg"});
    // The open command offered that name in its dialog and used it once.
    QCOMPARE(e.desktop.dialogs.size(), 2);
    QCOMPARE(e.desktop.dialogs[1].title, kOpenImageTitle);
    QCOMPARE(e.desktop.dialogs[1].presetName, QStringLiteral("plan.jpg"));
    QCOMPARE(e.window->state().openPresetName, QString());
    // The user cancelled the open dialog: the areas are imported all the same.
    QCOMPARE(e.window->areas().lines(), QStringList{"  rect                    |1,2,3,4|a.html|A|*|*|*|*"});
    QCOMPARE(e.window->document().imagePath(), lowered);
}

void TestImportCommands::mapImportKeepQuestion_data()
{
    QTest::addColumn<bool>("keep");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QStringList>("expected");
    const QString imported = "  circle                    |5,5,4|c.html|C|*|*|*|*";
    QTest::newRow("yes keeps") << true << false << QStringList{kOldLine, imported};
    QTest::newRow("no replaces") << false << false << QStringList{imported};
    QTest::newRow("no and cancel keeps") << false << true << QStringList{kOldLine};
    QTest::newRow("yes and cancel keeps") << true << true << QStringList{kOldLine};
}

void TestImportCommands::mapImportKeepQuestion()
{
    QFETCH(bool, keep);
    QFETCH(bool, cancel);
    QFETCH(QStringList, expected);
    Editor e;
    e.writeImage("c.png");
    e.writeSavedMap("c.map", {pad(" ", "circle") + "5,5,4|c.html|C|*|*|*|*"}, e.path("c.png"));
    e.haveUnsavedCode({kOldLine});
    e.desktop.answers.enqueue(keep ? MessageButton::Yes : MessageButton::No);
    e.mapImport(cancel ? QString() : e.path("c.map"));

    QCOMPARE(e.desktop.boxes.size(), 1);
    const auto& box = e.desktop.boxes.front();
    expectBox(box, QStringLiteral("Korvane Kontrollabfrage"), kKeep, MessageIcon::Question);
    QCOMPARE(box.buttons, QList<MessageButton>({MessageButton::Yes, MessageButton::No, MessageButton::Cancel}));
    QCOMPARE(box.defaultButton, MessageButton::Yes);
    QCOMPARE(e.window->areas().lines(), expected);
}

void TestImportCommands::mapImportWithoutMapData()
{
    Editor e;
    e.writeImage("bild.png");
    e.window->document().setImagePath(e.path("bild.png"));
    e.window->document().setMapName(QStringLiteral("vorher"));
    e.write("leer.map", "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: x.png\r\n-->\r\n<img src=\"x.png\" usemap=\"#neu\">");
    e.mapImport(e.path("leer.map"));

    QCOMPARE(e.desktop.boxes.size(), 1);
    expectBox(e.desktop.boxes[0], QStringLiteral("korvane"),
              QStringLiteral("In der Datei \"leer.map\" wurden keine MAP-Daten gefunden"), MessageIcon::Warning);
    // The map name is taken before the check; the code keeps naming the image shown, not the .map file.
    QCOMPARE(e.window->document().imagePath(), e.path("bild.png"));
    QCOMPARE(e.window->document().mapName(), QStringLiteral("neu"));
    QVERIFY(e.window->areas().isEmpty());
    QVERIFY(!e.window->ui.Option1[3]->isEnabled());

    // A file that cannot be read has no map data either, and names no map.
    e.mapImport(e.path("fehlt.map"));
    QCOMPARE(e.desktop.boxes.last().text, QStringLiteral("In der Datei \"fehlt.map\" wurden keine MAP-Daten gefunden"));
    QCOMPARE(e.window->document().mapName(), QStringLiteral("neu"));
    QCOMPARE(e.window->document().imagePath(), e.path("bild.png"));
}

void TestImportCommands::mapImportDialogAndSettings()
{
    Editor e;
    const QString mapFolder = QDir(e.path("karten")).absolutePath() + "/";
    QVERIFY(QDir().mkpath(mapFolder));
    e.write("Korvane.ini", "[Path]\r\nLetzter_Speicherort_MAP=" + mapFolder.toUtf8() + "\r\n");
    e.mapImport(QString());

    // The settings were read before the dialog asked: it starts in the stored folder.
    QCOMPARE(e.window->state().settingsLoadCount, 1);
    QCOMPARE(e.desktop.dialogs.size(), 1);
    const FileDialogRequest& d = e.desktop.dialogs[0];
    QCOMPARE(d.mode, FileDialogRequest::Mode::Open);
    QCOMPARE(d.title, kMapDialogTitle);
    QCOMPARE(d.folder, mapFolder);
    QCOMPARE(d.presetName, QString());
    QCOMPARE(d.filter, QStringLiteral("MapDateien (*.map) |*.map"));
    QCOMPARE(d.defaultExtension, QStringLiteral("*.map"));
    QVERIFY(!e.window->ui.Option1[0]->isEnabled()); // cancelled: nothing enabled

    // Importing from another folder leaves the remembered folder alone.
    e.writeImage("other/p.png");
    e.writeSavedMap("other/p.map", {pad(" ", "rect") + "1,1,2,2|a|A|*|*|*|*"}, e.path("other/p.png"));
    e.mapImport(e.path("other/p.map"));
    QCOMPARE(e.window->state().settingsLoadCount, 2);
    QCOMPARE(e.window->state().lastMapFolder, mapFolder);
    QCOMPARE(e.desktop.dialogs[1].folder, mapFolder);

    // Without a remembered folder the dialog starts in the current one.
    Editor fresh;
    fresh.mapImport(QString());
    QCOMPARE(fresh.desktop.dialogs[0].folder, QDir::currentPath());
}

void TestImportCommands::mapImportTruncatedFile()
{
    Editor e;
    e.writeImage("t.png");
    e.write("t.map", "<!-- -->\r\n<img src=\"t.png\" usemap=\"#t\" />\r\n<map name=\"t\">\r\n"
                     "<area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\" alt=\"A\" />\r\n"
                     "<area shape=\"rect\" coords=\"3,3,4,4\" href=\"b");
    e.mapImport(e.path("t.map"));
    QCOMPARE(e.window->areas().lines(), QStringList{"  rect                    |1,1,2,2|a|A|*|*|*|*"});
    QCOMPARE(e.window->document().imagePath(), e.path("t.png"));
    QCOMPARE(e.boxTexts(), QStringList());
}

void TestImportCommands::mapImportSameImageNotReloaded()
{
    Editor e;
    e.writeImage("Plan.png");
    e.window->bild_laden(e.path("Plan.png"));
    e.window->state().lastImageFolder = QStringLiteral("unberuehrt");
    e.write("plan.map", "<!-- -->\r\n<img src=\"PLAN.PNG\" usemap=\"#p\" />\r\n<map name=\"p\">\r\n"
                        "<area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\" alt=\"A\" />\r\n</map>");
    e.mapImport(e.path("plan.map"));
    // The file names the image shown: it is not loaded again, the path is the one on disk.
    QCOMPARE(e.window->state().lastImageFolder, QStringLiteral("unberuehrt"));
    QCOMPARE(e.window->document().imagePath(), e.path("Plan.png"));
    QCOMPARE(e.window->document().mapName(), QStringLiteral("p"));
    QCOMPARE(e.window->areas().count(), 1);
    QCOMPARE(e.boxTexts(), QStringList());
}

// A line too long to lay out quickly is shown cut in the list and the code
// box; the stored line and the code stay whole.
void TestImportCommands::mapImportLongLineShownCut()
{
    Editor e;
    e.writeImage("plan.png");
    const QString href = QString(200'000, QLatin1Char('a'));
    const QStringList lines = {pad(" ", "rect") + "10,20,30,25|" + href + "|Lang|*|*|*|*"};
    e.writeSavedMap("lang.map", lines, e.path("plan.png"));
    e.mapImport(e.path("lang.map"));

    MainWindow& w = *e.window;
    QCOMPARE(w.areas().lines(), QStringList{" " + lines[0]});
    const QString shown = w.areas().data(w.areas().index(0)).toString();
    QCOMPARE(shown, (" " + lines[0]).left(10'000) + QStringLiteral("… (%1 Zeichen)").arg(lines[0].size() + 1));
    const QString code = map_daten(w.areas().lines(), e.path("plan.png"), w.document().mapName(), QSize(40, 30));
    QCOMPARE(w.mapCode(), code);
    QString cut;
    for (const QString& codeLine : code.split("\r\n", Qt::SkipEmptyParts))
        cut += shownLine(codeLine) + "\n";
    QCOMPARE(w.ui.txtMap->toPlainText(), cut);
    QVERIFY(w.ui.txtMap->toPlainText().size() < 20'000);
    QVERIFY(w.ui.txtMap->isReadOnly());

    // Code without such a line is an ordinary, editable code again.
    w.areas().clear();
    w.map_daten();
    QVERIFY(!w.ui.txtMap->isReadOnly());
    // Any line end the code holds comes out as CR LF, the long line whole.
    w.ui.txtMap->setCode("a\n" + href + "\rb");
    QVERIFY(w.ui.txtMap->isReadOnly());
    QCOMPARE(w.mapCode(), "a\r\n" + href + "\r\nb");
}

// A map of more areas than the code box shows lines: the box shows the first
// 20,000 lines and how many follow, as for any code that long, and hands out
// the whole code with CR LF line ends.
void TestImportCommands::bigMapCodeShownCut_data()
{
    QTest::addColumn<int>("areas");
    QTest::addColumn<int>("oddRow"); // the area whose alt text is `alt`
    QTest::addColumn<QString>("alt");
    QTest::addColumn<int>("breaks"); // the line ends of that alt
    QTest::newRow("20,000 areas") << 20'000 << -1 << QString() << 0;
    QTest::newRow("20,001 areas") << 20'001 << -1 << QString() << 0;
    QTest::newRow("line feed in a shown area") << 25'000 << 5 << "x\ny" << 1;
    QTest::newRow("line ends past the shown lines") << 25'000 << 24'000 << "x\r\ny\rz" << 2;
    QTest::newRow("long line past the shown lines") << 25'000 << 21'000 << QString(12'000, u'a') << 0;
}

void TestImportCommands::bigMapCodeShownCut()
{
    QFETCH(int, areas);
    QFETCH(int, oddRow);
    QFETCH(QString, alt);
    QFETCH(int, breaks);
    Editor e;
    e.writeImage("plan.png");
    QStringList lines;
    for (int i = 0; i < areas; ++i)
        lines << pad(" ", "rect") + QStringLiteral("1,1,2,2|s%1.html|%2|*|*|*|*").arg(i).arg(i == oddRow ? alt : "A");
    e.writeSavedMap("gross.map", lines, e.path("plan.png"));
    e.mapImport(e.path("gross.map"));
    MainWindow& w = *e.window;
    QCOMPARE(w.areas().count(), areas);

    // Four lines before the areas, the default area, the end tag and the empty last line.
    const int codeLines = 4 + areas + 2 * breaks + 3;
    const QString shown = w.ui.txtMap->toPlainText();
    QVERIFY(shown.endsWith(QStringLiteral("\n… (%1 weitere Zeilen)").arg(codeLines - 20'000)));
    QVERIFY(shown.startsWith("<!-- HTML-Code fuer den Image-Tag   -->\n<img src=\""));
    QVERIFY(w.ui.txtMap->isReadOnly());
    QString code = map_daten(w.areas().lines(), e.path("plan.png"), w.document().mapName(), QSize(40, 30));
    code.replace("\r\n", "\n").replace(u'\r', u'\n').replace(QChar(0x2029), u'\n').replace("\n", "\r\n");
    QCOMPARE(w.mapCode(), code);
    // The same as the box shows for that code set as one text.
    CodeBox whole;
    whole.setCode(map_daten(w.areas().lines(), e.path("plan.png"), w.document().mapName(), QSize(40, 30)));
    QCOMPARE(shown, whole.toPlainText());
}

void TestImportCommands::savedMapRoundTrip_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("every field filled") << QStringList{
        pad(" ", "rect") + "10,20,30,25|start.html|Start Seite|_blank|over(1)|out(2)|alert('Info')",
        pad(" ", "circle") + "20,15,10|kontakt.html|Kontakt|_top|a()|b()|c()",
        pad(" ", "poly") + "3,1,39,6,30,29|info.html|Info|main|x = 1|y = 2|z = 3"};
    QTest::newRow("absent fields") << QStringList{pad(" ", "rect") + "10,20,30,25|start.html|Startseite|*|*|*|*",
                                                  pad(" ", "circle") + "20,15,10|kontakt.html|Kontakt|_blank|*|*|*",
                                                  pad(" ", "poly") +
                                                      "3,1,39,6,30,29|info.html|Info|*|*|*|alert('Info')"};
    QTest::newRow("filled and absent mixed") << QStringList{
        pad(" ", "rect") + "1,2,3,4|a.html|A|_self|*|out()|*", pad(" ", "circle") + "5,6,7|b.html|B|*|over()|*|click()",
        pad(" ", "poly") + "1,1,9,1,5,8|c.html|C|_parent|o('x y')|p()|*"};
    QTest::newRow("empty values and umlauts")
        << QStringList{pad(" ", "rect") + "0,0,1,1|||*|||", pad(" ", "poly") + "1,2|grün.html|Größe|*|*|*|*"};
}

// Saves through Command7 and reads the written .map back through Command8 in a fresh window.
void TestImportCommands::savedMapRoundTrip()
{
    QFETCH(QStringList, lines);
    Editor e;
    e.writeImage("Runde Sache.png");
    e.press(e.window->ui.Command1, e.path("Runde Sache.png"));
    for (const QString& line : lines)
        e.window->areas().append(line);
    e.window->refresh();
    const QString savedCode = e.window->mapCode();
    e.desktop.fileAnswers.enqueue(e.path("runde.html"));
    e.desktop.answers.enqueue(MessageButton::No);
    e.window->ui.Command7->click();
    QVERIFY(e.window->document().mapSaved());
    QCOMPARE(e.boxTexts().size(), 1); // the question whether to show the files
    QVERIFY(e.desktop.viewed.isEmpty());
    QVERIFY(QFileInfo::exists(e.path("runde.map")));

    e.window = std::make_unique<MainWindow>();
    e.desktop.boxes.clear();
    e.mapImport(e.path("runde.map"));
    QStringList expected;
    for (const QString& line : lines)
        expected << " " + line; // the MAP import puts two blanks before the shape
    QCOMPARE(e.window->areas().lines(), expected);
    QCOMPARE(e.window->document().imagePath(), e.path("Runde Sache.png"));
    QCOMPARE(e.window->mapCode(), savedCode);
    QCOMPARE(e.boxTexts(), QStringList());
}

// A map written in each of Korvane's own forms through the code box's menu
// comes back through the Html button in a fresh window.
void TestImportCommands::ownFormsRoundTrip_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("expected"); // the lines read back
    QTest::addColumn<QString>("mapName");
    const QString start = pad(" ", "rect") + "10,20,30,25|start.html|Start|*|*|*|*";
    const QString kitchen = pad(" ", "circle") + "20,15,5|Küche und Bad|Küche|*|*|*|*";
    const QString garden = pad(" ", "poly") + "1,1,9,1,5,8|https://example.com/a b|Garten ]|_blank|*|*|*";
    const QString start2 = pad(" ", "rect") + "32,2,38,8|start.html|Start|*|*|*|*";
    const QString rest = pad(" ", "default") + "|rest.html|Rest|*|*|*|*";
    const QString none = extra::withAttributes(pad(" ", "rect") + "0,26,6,29||Leer|*|*|*|*", {{"nohref", "nohref"}});
    // The parts of one link come together; a default area lies under all others, last.
    QTest::newRow("responsive page") << "responsive"
                                     << QStringList{start, start2, kitchen, garden, none, rest} << "";
    QTest::newRow("JSON") << "json" << QStringList{start, kitchen, garden, start2, rest, none} << "runde_sache";
    // The wiki knows no target and no area without a link; a blank in an address is written %20.
    QTest::newRow("MediaWiki block in a text file")
        << "mediawiki" << QStringList{start, kitchen, pad(" ", "poly") + "1,1,9,1,5,8|https://example.com/a%20b|Garten ]|*|*|*|*",
                                      start2, rest}
        << "";
    QTest::newRow("MediaWiki block shown in a page, the picture's blanks as underscores")
        << "mediawiki page" << QStringList{start, kitchen, pad(" ", "poly") + "1,1,9,1,5,8|https://example.com/a%20b|Garten ]|*|*|*|*",
                                           start2, rest}
        << "";
}

void TestImportCommands::ownFormsRoundTrip()
{
    QFETCH(QString, form);
    QFETCH(QStringList, expected);
    QFETCH(QString, mapName);
    Editor e;
    e.writeImage("Runde Sache.png");
    e.press(e.window->ui.Command1, e.path("Runde Sache.png"));
    e.haveUnsavedCode({pad(" ", "rect") + "10,20,30,25|start.html|Start|*|*|*|*",
                       pad(" ", "circle") + "20,15,5|Küche und Bad|Küche|*|*|*|*",
                       pad(" ", "poly") + "1,1,9,1,5,8|https://example.com/a b|Garten ]|_blank|*|*|*",
                       pad(" ", "rect") + "32,2,38,8|start.html|Start|*|*|*|*",
                       pad(" ", "default") + "|rest.html|Rest|*|*|*|*",
                       extra::withAttributes(pad(" ", "rect") + "0,26,6,29||Leer|*|*|*|*", {{"nohref", "nohref"}})});
    e.window->state().lastMapFolder = e.path("");
    QString file;
    const auto trigger = [&](const char* entry) { e.window->findChild<QAction*>(QLatin1String(entry))->trigger(); };
    if (form == "responsive") {
        file = e.path("runde.html");
        e.desktop.fileAnswers.enqueue(file);
        e.desktop.answers.enqueue(MessageButton::No);
        trigger("mnuResponsivSpeichern");
    } else if (form == "json") {
        file = e.path("runde.json");
        e.desktop.fileAnswers.enqueue(file);
        trigger("mnuJsonSpeichern");
    } else {
        trigger("mnuWikiKopieren");
        QString text = QGuiApplication::clipboard()->text();
        if (form == "mediawiki page") {
            text.replace("File:Runde Sache.png", "File:Runde_Sache.png");
            text = "<html><body><textarea>" + text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;") +
                   "</textarea></body></html>";
        }
        file = e.path(form == "mediawiki page" ? "wiki.html" : "karte.txt");
        e.write(form == "mediawiki page" ? "wiki.html" : "karte.txt", text.toUtf8());
    }
    QVERIFY(QFileInfo::exists(file));

    e.window = std::make_unique<MainWindow>();
    e.desktop.boxes.clear();
    e.htmlImport(file);
    QCOMPARE(e.boxTexts(), QStringList());
    QCOMPARE(e.window->areas().lines(), expected);
    QCOMPARE(e.window->document().imagePath(), e.path("Runde Sache.png"));
    QCOMPARE(e.window->document().mapName(), mapName);
    QVERIFY(e.toolsEnabled());
}

// A file over 8 MiB: the import shows its progress, and "Abbrechen" in a
// step leaves the open map exactly as it was.
void TestImportCommands::bigImportStopped_data()
{
    QTest::addColumn<bool>("page");
    QTest::addColumn<QString>("stopIn"); // the step's label; empty: not stopped
    QTest::newRow("page: stopped reading") << true << "Die Datei wird gelesen ...";
    for (const bool page : {false, true}) {
        const QString kind = page ? "page" : "map file";
        QTest::newRow(qPrintable(kind + ": stopped reading areas")) << page << "Die Areale werden gelesen ...";
        QTest::newRow(qPrintable(kind + ": not stopped")) << page << QString();
    }
    QTest::newRow("page: stopped looking for maps") << true << "Die ImageMaps werden gesucht ...";
}

void TestImportCommands::bigImportStopped()
{
    QFETCH(bool, page);
    QFETCH(QString, stopIn);
    Editor e;
    e.writeImage("bild.png");
    QByteArray areas;
    constexpr int kAreas = 120'000;
    for (int i = 0; i < kAreas; ++i)
        areas += "<area shape=\"rect\" coords=\"1,1,2,2\" href=\"seite" + QByteArray::number(i) + ".html\" alt=\"x\" />\r\n";
    e.write("gross.html", "<img src=\"bild.png\" usemap=\"#gross\" />\r\n<map name=\"gross\">\r\n" + areas + "</map>\r\n");
    QVERIFY(QFileInfo(e.path("gross.html")).size() > 8 * 1024 * 1024);
    e.haveUnsavedCode({kOldLine});
    MainWindow& w = *e.window;
    w.document().markSaved(); // the page import asks nothing
    const QString code = w.mapCode();
    const QString mapName = w.document().mapName();
    const QString imagePath = w.document().imagePath();
    e.desktop.answers.enqueue(MessageButton::Yes); // the map import's "keep the areas?"

    QStringList seen; // title and labels, as the dialog showed them
    std::function<void(QWidget*)> answer = [&](QWidget* modal) {
        auto* dialog = qobject_cast<QProgressDialog*>(modal);
        if (!dialog)
            return;
        if (seen.isEmpty())
            seen << dialog->windowTitle();
        if (seen.back() != dialog->labelText())
            seen << dialog->labelText();
        if (!stopIn.isEmpty() && dialog->labelText() == stopIn) {
            QPushButton* cancel = dialog->findChild<QPushButton*>();
            QVERIFY(cancel);
            QCOMPARE(cancel->text(), QStringLiteral("Abbrechen"));
            cancel->click();
            return;
        }
        test::whenModalOpens(answer, 20'000, 0); // the next step
    };
    test::whenModalOpens(answer, 20'000, 0);
    page ? e.htmlImport(e.path("gross.html")) : e.mapImport(e.path("gross.html"));

    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(seen.size() >= 2);
    QCOMPARE(seen.front(), QStringLiteral("korvane"));
    // A .map file is read once, its encoding found beside the reading.
    QCOMPARE(seen[1], page ? QStringLiteral("Die Datei wird gelesen ...") : QStringLiteral("Die Areale werden gelesen ..."));
    if (stopIn.isEmpty()) {
        QCOMPARE(w.areas().count(), 1 + kAreas);
        QCOMPARE(w.areas().line(kAreas), pad(page ? " " : "  ", "rect") + "1,1,2,2|seite119999.html|x|*|*|*|*");
        return;
    }
    QCOMPARE(seen.back(), stopIn);
    QCOMPARE(w.areas().lines(), QStringList{kOldLine});
    QCOMPARE(w.mapCode(), code);
    QCOMPARE(w.document().mapName(), mapName);
    QCOMPARE(w.document().imagePath(), imagePath);
    QCOMPARE(e.boxTexts(), page ? QStringList() : QStringList{kKeep});
}

void TestImportCommands::htmlImportOneCandidate()
{
    Editor e;
    e.writeImage("Bilder/Plan.PNG");
    e.write("seite.html",
            "<HTML><BODY><IMG SRC=\"logo.png\"><IMG SRC=\"Bilder/Plan.png\" USEMAP=\"#Plan\" WIDTH=\"40\">\n"
            "<MAP NAME=\"Plan\">\n"
            "<AREA SHAPE=\"POLYGON\" COORDS=\"1,2,3,4,5,6\" HREF=\"a.html\" ALT=\"A\">\n"
            "<AREA SHAPE=\"POLY\" COORDS=\"7,8\" HREF=\"b.html\" TARGET=\"\" ONCLICK=\"go('b')\">\n"
            "<AREA SHAPE=\"DEFAULT\" HREF=\"c.html\">\n</MAP></BODY></HTML>");
    QVERIFY(!e.toolsEnabled()); // the import enables them
    e.htmlImport(e.path("seite.html"));

    MainWindow& w = *e.window;
    QCOMPARE(e.boxTexts(), QStringList());
    QCOMPARE(e.desktop.dialogs.size(), 1); // no chooser, no open dialog
    QCOMPARE(w.state().settingsLoadCount, 1);
    QCOMPARE(w.document().mapName(), QStringLiteral("plan"));
    QCOMPARE(w.document().imagePath(), e.path("Bilder/Plan.PNG"));
    QCOMPARE(w.state().chosenImgTag, QStringLiteral("<img src=\"bilder/plan.png\" usemap=\"#plan\" width=\"40\">"));
    // The default area with its link stays the map's default area.
    QCOMPARE(w.areas().lines(), QStringList({pad(" ", "poly") + "1,2,3,4,5,6|a.html|A|*|*|*|*",
                                             pad(" ", "POLY") + "7,8|b.html|||*|*|go('b')",
                                             pad(" ", "DEFAULT") + "|c.html||*|*|*|*"}));
    QVERIFY(w.mapCode().contains("usemap=\"#plan\""));
    QVERIFY(e.toolsEnabled());
    const FileDialogRequest& d = e.desktop.dialogs[0];
    QCOMPARE(d.title, kHtmlDialogTitle);
    QCOMPARE(d.filter, QStringLiteral("Html-Dateien (html, htm, php, asp) |*.html;*.htm;*.php;*.asp"));
    QCOMPARE(d.defaultExtension, QStringLiteral("*.html;*.htm;*.php;*.asp"));
}

namespace {

const QByteArray kTwoMaps =
    "<html><img src=\"file:///irgendwo/Haus.gif\" usemap=\"#haus\" />\n"
    "<p>Text</p><IMG SRC=\"Garten.PNG\" USEMAP=\"#Garten\">\n"
    "<map name=\"haus\"><area shape=\"rect\" coords=\"1,1,2,2\" href=\"h.html\" alt=\"H\" /></map>\n"
    "<map name=\"garten\"><area shape=\"circle\" coords=\"9,9,3\" href=\"g.html\" alt=\"G\" /></map></html>";

} // namespace

void TestImportCommands::htmlImportChooser()
{
    Editor e;
    e.writeImage("garten.png");
    e.write("zwei.html", kTwoMaps);
    QString title, label;
    QStringList shown, tags;
    bool helperHidden = false;
    int buttonLeft = 0;
    test::whenModalOpens([&](QWidget* modal) {
        auto* chooser = qobject_cast<ImgSearchDialog*>(modal);
        QVERIFY(chooser);
        title = chooser->windowTitle();
        label = chooser->ui.Label1->text();
        for (int i = 0; i < chooser->ui.List2->count(); ++i)
            shown << chooser->ui.List2->item(i)->text();
        for (int i = 0; i < chooser->ui.List1->count(); ++i)
            tags << chooser->ui.List1->item(i)->text();
        helperHidden = !chooser->ui.List1->isVisible();
        buttonLeft = chooser->ui.Command1->geometry().right();
        QListWidget* list = chooser->ui.List2;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    });
    e.htmlImport(e.path("zwei.html"));

    QCOMPARE(title, QStringLiteral("Grafikdateien mit zugeordneten ImageMaps"));
    QCOMPARE(label, QStringLiteral("In der ausgewählten HTML-Datei befinden sich folgende Grafikdateien mit "
                                   "zugeordneten ImageMaps. Bitte die Zeile mit der  gewünschten Grafikdatei "
                                   "auswählen:"));
    QCOMPARE(shown,
             QStringList({"Grafik: \"haus.gif\",  MapName: \"haus\"", "Grafik: \"garten.png\",  MapName: \"garten\""}));
    QCOMPARE(tags, QStringList({"<img src=\"file:///irgendwo/haus.gif\" usemap=\"#haus\" />",
                                "<img src=\"garten.png\" usemap=\"#garten\">"}));
    QVERIFY(helperHidden);
    QVERIFY(buttonLeft < 0); // out of sight
    QCOMPARE(e.window->state().chosenImgTag, tags[1]);
    QCOMPARE(e.window->document().mapName(), QStringLiteral("garten"));
    QCOMPARE(e.window->document().imagePath(), e.path("garten.png"));
    QCOMPARE(e.window->areas().lines(), QStringList{pad(" ", "circle") + "9,9,3|g.html|G|*|*|*|*"});
    // "#Garten" names no map to a browser: the user hears which one was taken.
    QCOMPARE(e.boxTexts(), QStringList{"Ein Browser verbindet die Grafik mit keiner Map (keine Map heißt genau "
                                       "\"Garten\"). Übernommen wurden die Areale der Map \"garten\"."});
}

void TestImportCommands::htmlImportChooserClosed()
{
    Editor e;
    e.writeImage("bild.png");
    e.window->document().setImagePath(e.path("bild.png"));
    e.write("zwei.html", kTwoMaps);
    bool asked = false;
    test::whenModalOpens([&](QWidget* modal) {
        asked = qobject_cast<ImgSearchDialog*>(modal) != nullptr;
        modal->close();
    });
    e.htmlImport(e.path("zwei.html"));
    QVERIFY(asked);
    QCOMPARE(e.window->state().chosenImgTag, QString());
    QVERIFY(e.window->areas().isEmpty());
    QCOMPARE(e.window->document().imagePath(), e.path("bild.png"));
    QCOMPARE(e.boxTexts(), QStringList());
    QVERIFY(!e.window->ui.Option1[3]->isEnabled());
}

void TestImportCommands::htmlImportMessages_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("message"); // empty: imported without a message
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("no img with usemap") << QByteArray("<img src=\"bild.png\"><map name=\"x\"></map>")
                                        << "In der ausgewählten Datei wurde keine ImageMap gefunden." << QStringList{};
    QTest::newRow("img cut off") << QByteArray("<p><img src=\"bild.png\" usemap=\"#x\"")
                                 << "In der ausgewählten Datei wurde keine ImageMap gefunden." << QStringList{};
    QTest::newRow("no map element") << QByteArray("<img src=\"bild.png\" usemap=\"#x\">")
                                    << "Es wurde keine ImageMap gefunden." << QStringList{};
    QTest::newRow("map name absent")
        << QByteArray("<img src=\"bild.png\" usemap=\"#plan\"><map name=\"a\"></map><map name=\"b\"></map>")
        << "Map wurde nicht gefunden!" << QStringList{};
    QTest::newRow("map bearing the name wins over an earlier one containing it")
        << QByteArray("<img src=\"bild.png\" usemap=\"#plan\">"
                      "<map name=\"a\"><area shape=\"rect\" coords=\"1,1,2,2\" href=\"plan.html\" /></map>"
                      "<map name=\"plan\"><area shape=\"rect\" coords=\"5,5,6,6\" href=\"p.html\" /></map>")
        << "" << QStringList{pad(" ", "rect") + "5,5,6,6|p.html||*|*|*|*"};
    QTest::newRow("map never closed")
        << QByteArray("<img src=\"bild.png\" usemap=\"#plan\"><map name=\"plan\">"
                      "<area shape=\"rect\" coords=\"1,1,2,2\" href=\"a\" alt=\"A\">\n<area shape=")
        << "" << QStringList{pad(" ", "rect") + "1,1,2,2|a|A|*|*|*|*"};
}

void TestImportCommands::htmlImportMessages()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, message);
    QFETCH(QStringList, lines);
    Editor e;
    e.writeImage("bild.png");
    e.window->document().setImagePath(e.path("vorher.png"));
    e.write("seite.htm", page);
    e.htmlImport(e.path("seite.htm"));
    QCOMPARE(e.boxTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty()) {
        QCOMPARE(e.desktop.boxes[0].title, QStringLiteral("korvane"));
        QCOMPARE(e.desktop.boxes[0].icon, MessageIcon::Information);
    }
    QCOMPARE(e.window->areas().lines(), lines);
    // Stopping before an image was chosen leaves the image path alone: the code must not name the page as its image.
    const bool imageChosen = !message.startsWith(QStringLiteral("In der ausgewählten Datei"));
    QCOMPARE(e.window->document().imagePath(), e.path(imageChosen ? "bild.png" : "vorher.png"));
}

void TestImportCommands::htmlImportOverExistingCode_data()
{
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("answerSave");
    const QString imported = pad(" ", "rect") + "2,2,3,3|s.html|S|*|*|*|*";
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("unsaved, yes saves and imports nothing") << false << true << QStringList{kOldLine};
    QTest::newRow("unsaved, no discards and imports") << false << false << QStringList{imported};
    QTest::newRow("saved: appends without asking") << true << false << QStringList{kOldLine, imported};
}

void TestImportCommands::htmlImportOverExistingCode()
{
    QFETCH(bool, saved);
    QFETCH(bool, answerSave);
    QFETCH(QStringList, lines);
    Editor e;
    e.writeImage("bild.png");
    e.write("s.html", "<img src=\"bild.png\" usemap=\"#s\"><map name=\"s\">"
                      "<area shape=\"rect\" coords=\"2,2,3,3\" href=\"s.html\" alt=\"S\" /></map>");
    e.haveUnsavedCode({kOldLine});
    if (saved)
        e.window->document().markSaved();
    QSignalSpy saves(e.window->ui.Command7, &QPushButton::clicked);
    e.desktop.answers.enqueue(answerSave ? MessageButton::Yes : MessageButton::No);
    if (answerSave)
        e.desktop.fileAnswers.enqueue(QString()); // the save dialog, if it opens, is cancelled
    e.htmlImport(e.path("s.html"));

    QCOMPARE(e.window->areas().lines(), lines);
    if (saved) {
        QCOMPARE(e.boxTexts(), QStringList());
        return;
    }
    QVERIFY(!e.desktop.boxes.isEmpty());
    expectBox(e.desktop.boxes.front(), QStringLiteral("Korvane Kontrollabfrage"), kUnsaved, MessageIcon::Question);
    QCOMPARE(e.desktop.boxes.front().defaultButton, MessageButton::Yes);
    QCOMPARE(saves.count(), answerSave ? 1 : 0);
    for (const FileDialogRequest& d : e.desktop.dialogs)
        QVERIFY(d.title != kHtmlDialogTitle || !answerSave);
}

void TestImportCommands::htmlImportMissingImage()
{
    Editor e;
    OpenPressWatch watch(*e.window);
    e.write("s.html", "<IMG SRC=\"Bilder/Fehlt.JPG\" USEMAP=\"#s\"><map name=\"s\">"
                      "<area shape=\"rect\" coords=\"2,2,3,3\" href=\"s.html\" alt=\"S\" /></map>");
    e.htmlImport(e.path("s.html"));
    // A relative picture keeps the page's spelling.
    QCOMPARE(e.boxTexts(), QStringList{"Die MAP-Daten beziehen sich auf die Grafikdatei \"Bilder/Fehlt.JPG\". Bitte "
                                       "diese Grafikdatei öffnen."});
    QCOMPARE(watch.presets, QStringList{"Fehlt.JPG"});
    QCOMPARE(e.desktop.dialogs.size(), 2);
    QCOMPARE(e.desktop.dialogs[1].title, kOpenImageTitle);
    QCOMPARE(e.desktop.dialogs[1].presetName, QStringLiteral("Fehlt.JPG"));
    // The open dialog was cancelled; the map is read all the same.
    QCOMPARE(e.window->areas().lines(), QStringList{pad(" ", "rect") + "2,2,3,3|s.html|S|*|*|*|*"});
}

void TestImportCommands::listCommandsAfterImport_data()
{
    QTest::addColumn<bool>("keep");
    QTest::newRow("areas kept") << true;
    QTest::newRow("areas replaced") << false;
}

// An import in edit mode leaves "copy" and "edit" usable on the area selected
// afterwards, whether the areas before it stay or go.
void TestImportCommands::listCommandsAfterImport()
{
    QFETCH(bool, keep);
    Editor e;
    e.writeImage("c.png");
    const QString circle = pad(" ", "circle") + "5,5,4|c.html|C|*|*|*|*";
    e.writeSavedMap("c.map", {circle}, e.path("c.png"));
    MainWindow& w = *e.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    e.mapImport(e.path("c.map"));
    QTest::mouseClick(w.ui.Option1[3], Qt::LeftButton); // edit mode on the imported area
    QVERIFY(w.ui.Command9->isEnabled());
    e.desktop.answers.enqueue(keep ? MessageButton::Yes : MessageButton::No);
    e.mapImport(e.path("c.map")); // the picture is loaded again, which leaves edit mode for a moment
    const int count = keep ? 2 : 1;
    QCOMPARE(w.areas().count(), count);
    const QRect last = w.ui.List1->visualRect(w.areas().index(count - 1));
    QTest::mouseClick(w.ui.List1->viewport(), Qt::LeftButton, {}, last.center());
    QCOMPARE(w.selectedIndex(), count - 1);
    QVERIFY(w.ui.Command10->isEnabled());
    QVERIFY(w.ui.Command9->isEnabled());
    QTest::mouseClick(w.ui.Command10, Qt::LeftButton);
    QCOMPARE(w.areas().count(), count + 1);
    QCOMPARE(w.areas().line(count), " " + circle);
}

void TestImportCommands::htmlImportBrokenImage_data()
{
    QTest::addColumn<QByteArray>("map");
    QTest::newRow("map there") << QByteArray(
        "<map name=\"s\"><area shape=\"rect\" coords=\"2,2,3,3\" href=\"s\" /></map>");
    QTest::newRow("map missing") << QByteArray("<map name=\"t\"></map>");
}

// The picture named by the page is refused: its failure is told
// as after a plain open, and the import ends with the map as it was.
void TestImportCommands::htmlImportBrokenImage()
{
    QFETCH(QByteArray, map);
    Editor e;
    e.writeImage("alt.png");
    e.window->bild_laden(e.path("alt.png"));
    e.haveUnsavedCode({kOldLine});
    const QString code = e.window->mapCode();
    const QImage before = e.window->ui.Picture1->image();
    e.write("bild.png", QByteArray("\x89PNG\r\n\x1a\n") + QByteArray(40, 'x'));
    e.write("s.html", "<img src=\"bild.png\" usemap=\"#s\">" + map);
    e.desktop.answers.enqueue(MessageButton::No); // no need to save first
    e.htmlImport(e.path("s.html"));
    const QString warning = "Bitmap kann nicht aus Bild-Datei erstellt werden\r\nUngeeigneter Parameter";
    QCOMPARE(e.boxTexts(), QStringList({kUnsaved, warning}));
    QCOMPARE(e.desktop.boxes[1], test::warningBox(warning));
    QCOMPARE(e.window->areas().lines(), QStringList{kOldLine});
    QCOMPARE(e.window->mapCode(), code);
    QCOMPARE(e.window->ui.Picture1->image(), before);
    QCOMPARE(e.window->document().imageFileName(), QStringLiteral("alt.png"));
    QCOMPARE(e.window->document().mapName(), QString());
}

// A page that shows its 40 x 30 picture at 80 x 60, with areas whose
// attributes the fields have no place for, and one without a link.
void TestImportCommands::importTrueToThePage_data()
{
    QTest::addColumn<bool>("scale");
    QTest::newRow("scaled to the picture") << true;
    QTest::newRow("left as they are") << false;
}

void TestImportCommands::importTrueToThePage()
{
    QFETCH(bool, scale);
    Editor e;
    e.writeImage("plan.png");
    e.write("seite.html", "<html><body><img src=\"plan.png\" usemap=\"#Plan\" width=\"80\" height=\"60\">\n"
                          "<map name=\"plan\"><area shape=rect coords=0,0,10,10 href=falsch.html alt=F></map>\n"
                          "<map name=\"Plan\"><area shape=\"rect\" coords=\"2,4,20,30\" href=\"a.html\" alt=\"A\" "
                          "aria-label=\"Zur A\" data-nr=\"1\">\n"
                          "<area shape=\"circle\" coords=\"40,30,10\" alt=\"Nichts\"></map></body></html>");
    e.desktop.answers.enqueue(scale ? MessageButton::Yes : MessageButton::No);
    e.htmlImport(e.path("seite.html"));
    MainWindow& w = *e.window;
    QCOMPARE(e.boxTexts(), QStringList{"Die Seite zeigt das Bild mit 80 × 60 Pixeln, das Bild selbst ist 40 × 30 "
                                       "Pixel groß. Sollen die eingelesenen Areale auf die Größe des Bildes "
                                       "umgerechnet werden?"});
    QCOMPARE(e.desktop.boxes.front().title, QStringLiteral("Korvane Kontrollabfrage"));
    // The map named exactly as the usemap, not the earlier one in other letter case.
    const QStringList imported{pad(" ", "rect") + "2,4,20,30|a.html|A|*|*|*|*|aria-label=\"Zur A\" data-nr=\"1\"",
                               pad(" ", "circle") + "40,30,10||Nichts|*|*|*|*|nohref=\"nohref\""};
    const QStringList scaled{pad(" ", "rect") + "1,2,10,15|a.html|A|*|*|*|*|aria-label=\"Zur A\" data-nr=\"1\"",
                             pad(" ", "circle") + "20,15,5||Nichts|*|*|*|*|nohref=\"nohref\""};
    QCOMPARE(w.areas().lines(), scale ? scaled : imported);
    QCOMPARE(w.document().history().count(), scale ? 1 : 0);
    if (scale) {
        QCOMPARE(w.document().history().undoText(), QStringLiteral("Areale umrechnen"));
        w.document().undo();
        QCOMPARE(w.areas().lines(), imported);
        w.document().redo();
        QCOMPARE(w.areas().lines(), scaled);
    }
    const QString code = w.mapCode();
    QVERIFY(code.contains("href=\"a.html\" title=\"A\"  aria-label=\"Zur A\" data-nr=\"1\" />\r\n"));
    QVERIFY(code.contains("alt=\"Nichts\" coords=\"" + QString(scale ? "20,15,5" : "40,30,10") +
                          "\" title=\"Nichts\"  nohref=\"nohref\" />\r\n"));

    // A copy and the attribute editor keep what the fields have no place for; so does undo.
    const QString first = w.areas().line(0);
    w.document().copyArea(0);
    QCOMPARE(w.areas().line(2), first);
    test::whenModalOpens([](QWidget* d) {
        d->findChild<QLineEdit*>("Text1")->setText("neu.html");
        d->findChild<QPushButton*>("Command2")->click();
    });
    w.runAttributeEditor(2);
    QCOMPARE(w.areas().line(2), QString(first).replace("a.html", "neu.html"));
    w.document().undo();
    QCOMPARE(w.areas().line(2), first);
}

QTEST_MAIN(TestImportCommands)
#include "tst_importcommands.moc"
