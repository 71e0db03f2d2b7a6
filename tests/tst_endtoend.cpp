// The editor doing its main job from start to finish with its real widgets:
// open an image, draw three areas with the mouse, fill in the real link
// dialog, save, close, and start again with the settings of the first run.
#include "ImageSamples.h"
#include "support/BlankPicture.h"
#include "support/Drops.h"
#include "support/Files.h"
#include "support/Modal.h"
#include "support/Rows.h"
#include "support/ScriptedPlatform.h"
#include "support/SettingsFolder.h"

#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "app/commands/RecoveryKeeper.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "io/ExportWindow.h"
#include "io/RecoveryFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QListView>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QtEndian>

using namespace korvane;
using namespace korvane::test;

Q_DECLARE_METATYPE(QList<korvane::MessageButton>)

namespace {

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the user types into frmVerweis for one area; an empty target or
// handler is typed as nothing (the box is emptied).
struct LinkInput {
    QString href;
    QString alt;
    QString target;
    QString onClick;
};

// Key presses for every character; letters outside ASCII ("ü") come as a
// keyboard with that key sends them.
void retype(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(box, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
}

// Answers the next frmVerweis as a user would and presses "Übernehmen".
void answerLinkDialog(const LinkInput& input, QStringList* seen)
{
    whenModalOpens([input, seen](QWidget* modal) {
        *seen << modal->objectName();
        auto* href = modal->findChild<QLineEdit*>(QStringLiteral("Text1"));
        auto* alt = modal->findChild<QLineEdit*>(QStringLiteral("text2"));
        auto* target = modal->findChild<QComboBox*>(QStringLiteral("Combo1"));
        auto* onClick = modal->findChild<QLineEdit*>(QStringLiteral("txtOnClick"));
        auto* accept = modal->findChild<QPushButton*>(QStringLiteral("Command2"));
        if (!href || !alt || !target || !target->lineEdit() || !onClick || !accept)
            return; // the dialog stays open and the caller's checks fail
        retype(href, input.href);
        retype(alt, input.alt);
        retype(target->lineEdit(), input.target);
        retype(onClick, input.onClick);
        *seen << accept->text();
        QTest::mouseClick(accept, Qt::LeftButton);
    });
}

void drag(QWidget* canvas, QPoint from, QPoint to)
{
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(canvas, (from + to) / 2);
    QTest::mouseMove(canvas, to);
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, to);
}

const QString kUnsaved = QStringLiteral("Der HTML-Code der erzeugten ImageMap wurde noch nicht gespeichert. Soll der "
                                        "Code jetzt gespeichert werden?");
const QString kKeep = QStringLiteral("Sollen die schon eingezeichneten Areale erhalten bleiben?");

// Everything that makes up the open map, and what the user can do with it.
struct MapShown {
    QStringList lines;
    QString code;
    QImage canvas;
    QString title;
    QString imageFileName;
    int steps = 0;
    QList<bool> enabled; // the four options, the attributes, "copy", "edit"
};

MapShown mapShown(MainWindow& w)
{
    MapShown shown{w.areas().lines().toStringList(),
                   w.mapCode(),
                   w.ui.Picture1->image(),
                   w.windowTitle(),
                   w.document().imageFileName(),
                   w.document().history().count(),
                   {}};
    for (QWidget* control :
         std::initializer_list<QWidget*>{w.ui.Option1[0], w.ui.Option1[1], w.ui.Option1[2], w.ui.Option1[3],
                                         w.ui.Frame1, w.ui.Frame2, w.ui.chkGefuellt, w.ui.Command10, w.ui.Command9})
        shown.enabled << control->isEnabled();
    return shown;
}

void compareShown(const MapShown& now, const MapShown& before)
{
    QCOMPARE(now.lines, before.lines);
    QCOMPARE(now.code, before.code);
    QCOMPARE(now.title, before.title);
    QCOMPARE(now.imageFileName, before.imageFileName);
    QCOMPARE(now.steps, before.steps);
    QCOMPARE(now.enabled, before.enabled);
    QVERIFY(now.canvas == before.canvas);
}

// The blank editor with the picture "plan.png" of its folder opened through
// Open, and two rectangles drawn on it.
struct DrawnMap : BlankEditor {
    SettingsFolder folder;

    explicit DrawnMap(QSize size = {400, 300})
    {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QVERIFY(picture.save(folder.path("plan.png")));
        platform.fileAnswers << folder.path("plan.png");
        QTest::mouseClick(w.ui.Command1, Qt::LeftButton);
        drawRect({10, 20}, {110, 80});
        drawRect({150, 40}, {250, 120});
    }
    void drawRect(QPoint from, QPoint to)
    {
        QTest::mouseClick(w.ui.Option1[1], Qt::LeftButton);
        drag(canvas(), from, to);
    }
    void key(QWidget* on, int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        if (!w.isActiveWindow()) {
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
        }
        on->setFocus();
        QTest::keyClick(on, Qt::Key(key), modifiers);
    }
    // Closes the window; true when it asked the unsaved question (answered `answer`).
    bool closeAsks(MessageButton answer)
    {
        const int before = platform.boxes.size();
        platform.answers << answer;
        w.close();
        const bool asked = platform.boxes.size() > before && platform.boxes[before].text == kUnsaved;
        if (!asked)
            platform.answers.clear();
        return asked;
    }
};

QWidget* visibleMagnifier(MainWindow& window)
{
    auto* magnifier = window.findChild<QWidget*>(QStringLiteral("lupe1"));
    return magnifier && magnifier->isVisible() ? magnifier : nullptr;
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void drawSaveCloseAndStartAgain();
    void undoAfterImportStaysUnsaved();
    void cancelledDialogChangesNothing_data();
    void cancelledDialogChangesNothing();
    void abbrechenChangesNothing_data();
    void abbrechenChangesNothing();
    void emptiedCodeBoxKeepsAreasUnsaved_data();
    void emptiedCodeBoxKeepsAreasUnsaved();
    void keptAreasOutliveTheMissingPicture_data();
    void keptAreasOutliveTheMissingPicture();
    void refusedPictureKeepsTheMap_data();
    void refusedPictureKeepsTheMap();
    void typedCodeComesBackWithTheBoxUndo();
    void undoingEveryAreaLeavesATool();

private:
    QTemporaryDir m_dir;
    QString m_startDir;
};

void TestEndToEnd::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_startDir = QDir::currentPath();
}

void TestEndToEnd::cleanupTestCase()
{
    setSettingsFileOverride(QString());
    QDir::setCurrent(m_startDir);
}

void TestEndToEnd::drawSaveCloseAndStartAgain()
{
    ScriptedPlatform& platform = installScriptedPlatform();
    const QString ini = m_dir.filePath(QStringLiteral("Korvane.ini"));
    setSettingsFileOverride(ini);
    const QString imageFolder = m_dir.filePath(QStringLiteral("Web Bilder")) + QLatin1Char('/');
    const QString saveFolder = m_dir.filePath(QStringLiteral("ausgabe")) + QLatin1Char('/');
    QVERIFY(QDir().mkpath(imageFolder) && QDir().mkpath(saveFolder));
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QVERIFY(image.save(imageFolder + QStringLiteral("plan haus.png"), "PNG"));

    // First run: open the image.
    auto window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    platform.fileAnswers.enqueue(imageFolder + QStringLiteral("plan haus.png"));
    QTest::mouseClick(window->ui.Command1, Qt::LeftButton);
    QCOMPARE(window->windowTitle(), QStringLiteral("Korvane [ Map für: plan haus.png ]"));
    QCOMPARE(window->ui.Picture1->size(), QSize(400, 300));
    QVERIFY(window->ui.txtHelp->isVisible());
    QVERIFY(window->ui.txtHelp->toPlainText().startsWith(QStringLiteral("Zeichnen von Polygonen: ")));

    // Draw a rectangle, a circle and a polygon, answering the link dialog each time.
    QWidget* canvas = window->ui.Picture1;
    QStringList seen;
    QTest::mouseClick(window->ui.Option1[1], Qt::LeftButton);
    answerLinkDialog({QStringLiteral("start.html"), QStringLiteral("Startseite"), QString(), QString()}, &seen);
    drag(canvas, QPoint(110, 80), QPoint(10, 20)); // up and to the left: the corners are ordered
    QTest::mouseClick(window->ui.Option1[2], Qt::LeftButton);
    answerLinkDialog(
        {QStringLiteral("kontakt.html"), QStringLiteral("Kontakt für Gäste"), QStringLiteral("_blank"), QString()},
        &seen);
    drag(canvas, QPoint(200, 150), QPoint(240, 170)); // the radius follows the horizontal distance only
    QTest::mouseClick(window->ui.Option1[0], Qt::LeftButton);
    answerLinkDialog({QStringLiteral("info.html"), QStringLiteral("Info"), QString(), QStringLiteral("alert('Info')")},
                     &seen);
    for (QPoint corner : {QPoint(300, 10), QPoint(390, 60), QPoint(300, 110)})
        QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, corner);
    QTest::mouseClick(canvas, Qt::RightButton, Qt::NoModifier, QPoint(350, 150));
    QCOMPARE(seen, (QStringList{"frmVerweis", "Übernehmen", "frmVerweis", "Übernehmen", "frmVerweis", "Übernehmen"}));

    QString urlFolder = imageFolder;
    urlFolder.replace(QLatin1Char(' '), QLatin1String("%20"));
    const QString code =
        QStringLiteral("<!-- HTML-Code fuer den Image-Tag   -->\r\n"
                       "<img src=\"file://%1plan haus.png\" width=\"400\" height=\"300\" alt=\"\" "
                       "usemap=\"#plan_haus\" style=\"border-style:none\" />\r\n"
                       "<!-- HTML-Code der eigentlichen ImageMap   -->\r\n"
                       "<map id=\"plan_haus\" name=\"plan_haus\">\r\n"
                       "<area shape=\"rect\" alt=\"Startseite\" coords=\"10,20,110,80\" href=\"start.html\" "
                       "title=\"Startseite\"  />\r\n"
                       "<area shape=\"circle\" alt=\"Kontakt für Gäste\" coords=\"200,150,40\" href=\"kontakt.html\" "
                       "title=\"Kontakt für Gäste\" target=\"_blank\" />\r\n"
                       "<area shape=\"poly\" alt=\"Info\" coords=\"300,10,390,60,300,110\" href=\"info.html\" "
                       "title=\"Info\"  onClick=\"alert('Info')\" />\r\n"
                       "<area shape=\"default\" nohref=\"nohref\" alt=\"\" />\r\n"
                       "</map>\r\n")
            .arg(urlFolder);
    QCOMPARE(window->mapCode(), code);
    QVERIFY(!window->document().mapSaved());

    // A wider line (which redraws and regenerates the same code); then save,
    // and decline to look at the files.
    QTest::mouseClick(window->ui.Image1[1], Qt::LeftButton);
    QCOMPARE(window->mapCode(), code);
    platform.fileAnswers.enqueue(saveFolder + QStringLiteral("plan.html"));
    platform.answers.enqueue(MessageButton::No);
    QTest::mouseClick(window->ui.Command7, Qt::LeftButton);
    QCOMPARE(platform.dialogs.size(), 2);
    QCOMPARE(platform.dialogs[1].mode, FileDialogRequest::Mode::Save);
    QCOMPARE(platform.dialogs[1].presetName, QStringLiteral("plan haus.html"));
    QCOMPARE(platform.boxes.size(), 1);
    QCOMPARE(platform.boxes[0].title, QStringLiteral("korvane"));
    QCOMPARE(platform.boxes[0].text,
             QStringLiteral("Die HTML-Datei wurde unter \"%1plan.html\" gespeichert.\r\n\r\nSoll die erzeugte "
                            "Test-HTML-Datei und die MAP-Datendatei (eine ASCII-Textdatei mit den eigentlichen "
                            "MAP-Daten) jetzt zur Kontrolle mit dem StandardBrowser angezeigt werden?")
                 .arg(saveFolder));
    QVERIFY(window->document().mapSaved());

    const QString escaped =
        QStringLiteral("&lt;!-- HTML-Code fuer den Image-Tag   --&gt;\r\n"
                       "&lt;img src=\"file://%1plan%20haus.png\" width=\"400\" height=\"300\" alt=\"\" "
                       "usemap=\"#plan_haus\" style=\"border-style:none\" /&gt;\r\n"
                       "&lt;!-- HTML-Code der eigentlichen ImageMap   --&gt;\r\n"
                       "&lt;map id=\"plan_haus\" name=\"plan_haus\"&gt;\r\n"
                       "&lt;area shape=\"rect\" alt=\"Startseite\" coords=\"10,20,110,80\" href=\"start.html\" "
                       "title=\"Startseite\"  /&gt;\r\n"
                       "&lt;area shape=\"circle\" alt=\"Kontakt für Gäste\" coords=\"200,150,40\" "
                       "href=\"kontakt.html\" title=\"Kontakt für Gäste\" target=\"_blank\" /&gt;\r\n"
                       "&lt;area shape=\"poly\" alt=\"Info\" coords=\"300,10,390,60,300,110\" href=\"info.html\" "
                       "title=\"Info\"  onClick=\"alert('Info')\" /&gt;\r\n"
                       "&lt;area shape=\"default\" nohref=\"nohref\" alt=\"\" /&gt;\r\n"
                       "&lt;/map&gt;\r\n")
            .arg(urlFolder);
    const QString page = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
                                        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" "
                                        "\"DTD/xhtml1-strict.dtd\">\r\n"
                                        "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\r\n"
                                        "<head>\r\n"
                                        "<title>Imagemap</title>\r\n"
                                        "</head>\r\n"
                                        "<body bgcolor='#000000' color='#999999'>\r\n"
                                        "<div>\r\n") +
                         // The test page names the picture by a valid address: the file name's blanks escaped too.
                         QString(code).replace("plan haus.png\"", "plan%20haus.png\"") +
                         QStringLiteral("</div>\r\n"
                                        "<div>\r\n"
                                        "<p style='font-family:arial,tahoma;font-size:11px;color:#999;'>\r\n"
                                        "Der folgende Code beschreibt die MAP. Er kann so in Ihre Webseite "
                                        "eingef&uuml;gt werden (copy&amp;paste). Die Verweisziele und der MAP-Name "
                                        "müssen eventuell noch angepasst werden.</p>\r\n"
                                        "<div style='background-color:#999'><pre>") +
                         escaped +
                         QStringLiteral("</pre></div>\r\n"
                                        "</div>\r\n"
                                        "</body>\r\n"
                                        "</html>\r\n");
    // The page is UTF-8, as it declares; the data file stays single-byte.
    QCOMPARE(readBytes(saveFolder + QStringLiteral("plan.html")), page.toUtf8());
    QCOMPARE(readBytes(saveFolder + QStringLiteral("plan.map")),
             QByteArray("<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan haus.png\r\n-->\r\n\r\n") + code.toLatin1());
    QVERIFY(readBytes(saveFolder + QStringLiteral("plan.map")).contains("Kontakt f\xfcr G\xe4ste"));

    // The magnifier, and close: saved code needs no question.
    QTest::mouseClick(window->ui.Command4, Qt::LeftButton);
    QVERIFY(visibleMagnifier(*window));
    QVERIFY(window->close());
    QCOMPARE(platform.boxes.size(), 1);
    // The picture opened first is the first of the recently opened files.
    const QByteArray settings = "[Zuletzt_geoeffnet]\r\nDatei1=\"" + imageFolder.toUtf8() +
                                "plan haus.png\"\r\n"
                                "[color]\r\nZeichenfarbe=255\r\nFuellfarbe=16776960\r\nZiehpunktfarbe=16711680\r\n"
                                "[DrawWidth]\r\nDrawWidth1=2\r\n[FillStyle]\r\nFillStyle1=1\r\n[Path]\r\n"
                                "Letzter_Grafik_Ordner=" +
                                imageFolder.toUtf8() + "\r\nLetzter_Speicherort_MAP=" + saveFolder.toUtf8() +
                                "\r\nLetzter_Export_Ordner=\r\n[Lupe]\r\nLupe_visible=-1\r\n";
    QCOMPARE(readBytes(ini), settings);
    window.reset();

    // Second run: the magnifier comes back with the first open, not at start-up.
    ScriptedPlatform& again = installScriptedPlatform();
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(!visibleMagnifier(*window));
    QCOMPARE(window->ui.Picture1->surface().lineWidth(), 1);
    again.fileAnswers.enqueue(imageFolder + QStringLiteral("plan haus.png"));
    QTest::mouseClick(window->ui.Command1, Qt::LeftButton);
    QVERIFY(visibleMagnifier(*window));
    QCOMPARE(again.dialogs.size(), 1);
    QCOMPARE(again.dialogs[0].folder, imageFolder);
    QCOMPARE(window->ui.Picture1->surface().lineWidth(), 2);
    QCOMPARE(window->ui.Image1[1]->frameShape(), QFrame::Box);
    QVERIFY(window->mapCode().isEmpty());
    QVERIFY(window->close());
    QVERIFY(again.boxes.isEmpty());
}

// Areas drawn, a .map imported beside them, one change undone: the areas
// were never saved, so closing asks. Saved, a drag away and back again and a
// run of key moves back again leave the map saved.
void TestEndToEnd::undoAfterImportStaysUnsaved()
{
    DrawnMap e;
    QVERIFY(
        writeFile(e.folder.path("c.map"),
                  "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n<img src=\"plan.png\" usemap=\"#c\" />"
                  "<map name=\"c\"><area shape=\"circle\" coords=\"300,200,30\" href=\"c.html\" alt=\"C\" /></map>"));
    e.platform.answers << MessageButton::Yes; // keep the areas drawn
    e.platform.fileAnswers << e.folder.path("c.map");
    QTest::mouseClick(e.w.ui.Command8, Qt::LeftButton);
    QCOMPARE(e.w.areas().count(), 3);
    e.drawRect({20, 200}, {80, 260});
    e.key(e.w.ui.List1, Qt::Key_Z);
    QCOMPARE(e.w.areas().count(), 3);
    QVERIFY(!e.w.document().mapSaved());
    // Yes: the save dialog, and no look at the files; the window stays open.
    e.platform.fileAnswers << e.folder.path("plan.html");
    QVERIFY(e.closeAsks(MessageButton::Yes));
    QCOMPARE(e.platform.boxes.size(), 3); // keep, unsaved, view the files
    e.platform.answers.clear();
    QVERIFY(e.w.isVisible());
    QVERIFY(e.w.document().mapSaved());
    const QByteArray written = readFile(e.folder.path("plan.map"));

    QTest::mouseClick(e.w.ui.Option1[3], Qt::LeftButton); // edit mode on the first area
    QWidget* anchor = e.w.handles().handle(0);
    const QPoint start = anchor->pos();
    e.drag(anchor, {0, 0}, start + QPoint(5, 5));
    QVERIFY(!e.w.document().mapSaved());
    e.drag(anchor, {0, 0}, start);
    QCOMPARE(e.w.document().history().undoText(), QStringLiteral("Areal verschieben"));
    QVERIFY(e.w.document().mapSaved());
    for (int key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up})
        e.key(e.canvas(), key, Qt::NoModifier);
    QCOMPARE("<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n" + e.w.mapCode().toLatin1(), written);
    QVERIFY(!e.closeAsks(MessageButton::No));
    QVERIFY(!e.w.isVisible());
}

void TestEndToEnd::cancelledDialogChangesNothing_data()
{
    QTest::addColumn<QString>("button"); // pressed with the areas unsaved
    QTest::addColumn<QList<MessageButton>>("answers");
    row("open, not saved first", QStringLiteral("Command1"), QList<MessageButton>{MessageButton::No});
    row("map, areas not kept", QStringLiteral("Command8"), QList<MessageButton>{MessageButton::No});
    row("html, not saved first", QStringLiteral("Command11"), QList<MessageButton>{MessageButton::No});
    row("export", QStringLiteral("Command12"), QList<MessageButton>{});
    row("close, saved first", QStringLiteral("close"), QList<MessageButton>{MessageButton::Yes});
}

// Whatever the question before it, a cancelled file dialog leaves the map
// as it was, its history included, and still unsaved.
void TestEndToEnd::cancelledDialogChangesNothing()
{
    QFETCH(QString, button);
    QFETCH(QList<MessageButton>, answers);
    DrawnMap e;
    const MapShown before = mapShown(e.w);
    e.platform.answers << answers;
    e.platform.fileAnswers << QString();
    if (button == QLatin1String("close"))
        QVERIFY(!e.w.close());
    else
        QTest::mouseClick(e.w.findChild<QPushButton*>(button), Qt::LeftButton);
    QCOMPARE(e.platform.boxes.size(), answers.size());
    QCOMPARE(e.platform.dialogs.size(), 2); // the picture's, and the one cancelled
    compareShown(mapShown(e.w), before);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!e.w.findChild<ExportWindow*>());
    e.key(e.w.ui.List1, Qt::Key_Z);
    QCOMPARE(e.w.areas().count(), 1);
    QVERIFY(e.closeAsks(MessageButton::No));
}

void TestEndToEnd::abbrechenChangesNothing_data()
{
    QTest::addColumn<QString>("way"); // what the user does with the areas unsaved
    QTest::addColumn<QString>("question");
    row("close", QStringLiteral("close"), kUnsaved);
    row("open", QStringLiteral("Command1"), kUnsaved);
    row("html", QStringLiteral("Command11"), kUnsaved);
    row("map, areas kept?", QStringLiteral("Command8"), kKeep);
    row("picture from outside", QStringLiteral("outside:neu.png"), kUnsaved);
    row("page from outside", QStringLiteral("outside:seite.html"), kUnsaved);
    row("map file from outside", QStringLiteral("outside:neu.map"), kKeep);
    row("picture dropped", QStringLiteral("drop:neu.png"), kUnsaved);
}

// "Abbrechen" (also Escape and the box's close button, see tst_platform) on
// the question before the map would go: no dialog, no file read, and the
// map, its history, its recovery file and the window stay as they were.
void TestEndToEnd::abbrechenChangesNothing()
{
    QFETCH(QString, way);
    QFETCH(QString, question);
    DrawnMap e;
    RecoveryKeeper* keeper = attachRecovery(e.w);
    e.drawRect({20, 200}, {80, 260});
    keeper->flush();
    const QByteArray kept = readFile(keeper->filePath());
    QVERIFY(kept.contains("|20,200,80,260|"));
    const QString markup = "<img src=\"neu.png\" usemap=\"#neu\"><map name=\"neu\"><area shape=\"rect\" "
                           "coords=\"1,1,9,9\" href=\"n.html\" alt=\"N\" /></map>";
    QVERIFY(writeFile(e.folder.path("neu.png"), makeRaster("png", 40, 30, Qt::red)));
    QVERIFY(writeFile(e.folder.path("seite.html"), "<html><body>" + markup.toLatin1() + "</body></html>"));
    QVERIFY(writeFile(e.folder.path("neu.map"), markup.toLatin1()));
    const MapShown before = mapShown(e.w);
    e.platform.answers << MessageButton::Cancel;
    const QString file = e.folder.path(way.section(QLatin1Char(':'), 1));
    if (way == QLatin1String("close")) {
        QVERIFY(!e.w.close());
    } else if (way.startsWith(QLatin1String("outside:"))) {
        openFromOutside(e.w, file);
    } else if (way.startsWith(QLatin1String("drop:"))) {
        QMimeData dropped;
        dropped.setUrls({QUrl::fromLocalFile(file)});
        QVERIFY(dropOn(e.canvas(), &dropped));
        QTRY_COMPARE(e.platform.boxes.size(), 1);
    } else {
        QTest::mouseClick(e.w.findChild<QPushButton*>(way), Qt::LeftButton);
    }
    QCoreApplication::processEvents(); // the keeper looks whether a close went through

    QCOMPARE(e.platform.texts(), QStringList{question});
    QCOMPARE(e.platform.boxes[0].buttons,
             (QList<MessageButton>{MessageButton::Yes, MessageButton::No, MessageButton::Cancel}));
    QCOMPARE(e.platform.dialogs.size(), 1); // the picture's, before the areas were drawn
    compareShown(mapShown(e.w), before);
    QVERIFY(e.w.isVisible());
    keeper->flush();
    QCOMPARE(readFile(keeper->filePath()), kept);
    e.key(e.w.ui.List1, Qt::Key_Z);
    QCOMPARE(e.w.areas().count(), 2);
    QVERIFY(e.closeAsks(MessageButton::No));
}

void TestEndToEnd::emptiedCodeBoxKeepsAreasUnsaved_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("savedBefore");
    QTest::addColumn<MessageButton>("answer");
    row("close", QStringLiteral("close"), false, MessageButton::Cancel);
    row("open", QStringLiteral("Command1"), false, MessageButton::Cancel);
    row("html", QStringLiteral("Command11"), false, MessageButton::Cancel);
    // The box no longer shows what was written.
    row("close, saved before", QStringLiteral("close"), true, MessageButton::Cancel);
    row("close, Ja saves the areas' code", QStringLiteral("close"), false, MessageButton::Yes);
}

// Ctrl+A and Delete in the code box leave the areas as they are: never
// written, they are still work to lose, kept in the recovery file and asked
// about. "Ja" saves their code.
void TestEndToEnd::emptiedCodeBoxKeepsAreasUnsaved()
{
    QFETCH(QString, way);
    QFETCH(bool, savedBefore);
    QFETCH(MessageButton, answer);
    DrawnMap e;
    RecoveryKeeper* keeper = attachRecovery(e.w);
    e.drawRect({20, 200}, {80, 260});
    if (savedBefore) {
        e.platform.fileAnswers << e.folder.path("plan.html");
        e.platform.answers << MessageButton::No; // no look at the files
        QTest::mouseClick(e.w.ui.Command7, Qt::LeftButton);
        QVERIFY(e.w.document().mapSaved());
    }
    const QString code = e.w.mapCode();
    e.key(e.w.ui.txtMap, Qt::Key_A);
    e.key(e.w.ui.txtMap, Qt::Key_Delete, Qt::NoModifier);
    QCOMPARE(e.w.mapCode(), QString());
    QCOMPARE(e.w.areas().count(), 3);
    QVERIFY(!e.w.document().mapSaved());
    keeper->flush();
    QCOMPARE(recovery::readFile(keeper->filePath()).snapshot.lines, e.w.areas().lines());

    const int boxes = e.platform.boxes.size();
    e.platform.answers << answer;
    if (answer == MessageButton::Yes) {
        e.platform.fileAnswers << e.folder.path("plan.html");
        e.platform.answers << MessageButton::No;
    }
    if (way == QLatin1String("close"))
        QVERIFY(!e.w.close());
    else
        QTest::mouseClick(e.w.findChild<QPushButton*>(way), Qt::LeftButton);
    QCOMPARE(e.platform.texts().value(boxes), kUnsaved);
    QCOMPARE(e.w.areas().count(), 3);
    QVERIFY(e.w.isVisible());
    if (answer != MessageButton::Yes)
        return;
    QCOMPARE(e.w.mapCode(), code);
    QCOMPARE(readFile(e.folder.path("plan.map")),
             "<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n" + code.toLatin1());
    QVERIFY(!e.closeAsks(MessageButton::No));
}

void TestEndToEnd::keptAreasOutliveTheMissingPicture_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("chosen"); // a picture chosen in the open dialog that follows
    row("map, picture chosen", QStringLiteral("Command8"), true);
    row("map, open cancelled", QStringLiteral("Command8"), false);
    // Html keeps the areas of a saved map.
    row("html, picture chosen", QStringLiteral("Command11"), true);
    row("html, open cancelled", QStringLiteral("Command11"), false);
}

// An import whose picture is not there, the drawn areas kept: the open that
// follows for the picture keeps them too, asks nothing about them, and the
// imported areas join them; the history goes on from there.
void TestEndToEnd::keptAreasOutliveTheMissingPicture()
{
    QFETCH(QString, button);
    QFETCH(bool, chosen);
    DrawnMap e;
    const bool html = button == QLatin1String("Command11");
    if (html) {
        e.platform.fileAnswers << e.folder.path("plan.html");
        e.platform.answers << MessageButton::No; // no look at the files
        QTest::mouseClick(e.w.ui.Command7, Qt::LeftButton);
    }
    const QString markup = "<img src=\"fehlt.png\" usemap=\"#neu\"><map name=\"neu\"><area shape=\"rect\" "
                           "coords=\"1,1,9,9\" href=\"n.html\" alt=\"N\" /></map>";
    const QString file = e.folder.path(html ? "neu.html" : "neu.map");
    QVERIFY(writeFile(file, markup.toLatin1()));
    QVERIFY(writeFile(e.folder.path("anders.png"), makeRaster("png", 40, 30, Qt::red)));
    const QStringList lines = e.w.areas().lines().toStringList()
                              << pad(html ? " " : "  ", "rect") + "1,1,9,9|n.html|N|*|*|*|*";
    const int boxes = e.platform.boxes.size();
    if (!html)
        e.platform.answers << MessageButton::Yes; // keep the areas drawn
    e.platform.fileAnswers << file << (chosen ? e.folder.path("anders.png") : QString());
    QTest::mouseClick(e.w.findChild<QPushButton*>(button), Qt::LeftButton);

    const QString missing = QStringLiteral("Die MAP-Daten beziehen sich auf die ") + (html ? "Grafikdatei" : "Datei") +
                            " \"fehlt.png\". Bitte diese Grafikdatei öffnen.";
    QCOMPARE(e.platform.texts().mid(boxes), html ? QStringList({missing}) : QStringList({kKeep, missing}));
    QCOMPARE(e.platform.dialogs.size(), html ? 4 : 3); // picture, (save,) import, the picture asked for
    QCOMPARE(e.w.areas().lines(), lines);
    QCOMPARE(e.w.windowTitle(), chosen ? QStringLiteral("Korvane [ Map für: anders.png ]")
                                       : QStringLiteral("Korvane [ Map für: plan.png ]"));
    QCOMPARE(e.w.ui.Picture1->pictureSize(), chosen ? QSize(40, 30) : QSize(400, 300));
    QVERIFY(e.w.mapCode().contains(QStringLiteral("coords=\"150,40,250,120\"")));
    QVERIFY(!e.w.document().mapSaved());
    // An import starts the map anew: nothing to undo, and the next step undoes.
    e.key(e.w.ui.List1, Qt::Key_Z);
    QCOMPARE(e.w.areas().lines(), lines);
    e.drawRect({20, 10}, {30, 20});
    e.key(e.w.ui.List1, Qt::Key_Z);
    QCOMPARE(e.w.areas().lines(), lines);
}

void TestEndToEnd::refusedPictureKeepsTheMap_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QSize>("picture"); // the one shown before
    QByteArray huge = makeRaster("bmp", 4, 4, Qt::red);
    qToLittleEndian<qint32>(16000, huge.data() + 18);
    qToLittleEndian<qint32>(16000, huge.data() + 22);
    const QByteArray truncated = makeRaster("png", 200, 200, Qt::red);
    const QString bitmapFailed = QStringLiteral("Bitmap kann nicht aus Bild-Datei erstellt werden\r\n");
    row("text", QStringLiteral("notiz.png"), QByteArray("Dies ist kein Bild, nur Text."),
        bitmapFailed + QStringLiteral("unbekanntes Bildformat"), QSize(400, 300));
    row("empty", QStringLiteral("leer.png"), QByteArray(), QStringLiteral("Leere Datei"), QSize(400, 300));
    row("over the limit", QStringLiteral("riesig.bmp"), huge,
        QStringLiteral("Das Bild ist zu groß: 16000 × 16000 Bildpunkte. Geöffnet werden Bilder mit höchstens "
                       "100 Millionen Bildpunkten (zum Beispiel 10000 × 10000)."),
        QSize(400, 300));
    row("cut off", QStringLiteral("halb.png"), truncated.left(60),
        bitmapFailed + QStringLiteral("Ungeeigneter Parameter"), QSize(400, 300));
    // A big picture is read again from its file rather than kept during the decode.
    row("cut off, over a big picture", QStringLiteral("halb.png"), truncated.left(60),
        bitmapFailed + QStringLiteral("Ungeeigneter Parameter"), QSize(2000, 1500));
}

// Open, No to saving first, a file that is no picture: the message says so,
// and the map stays exactly as it was, in edit mode with its handles.
void TestEndToEnd::refusedPictureKeepsTheMap()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(QSize, picture);
    DrawnMap e(picture);
    QVERIFY(writeFile(e.folder.path(name), bytes));
    QTest::mouseClick(e.w.ui.Option1[3], Qt::LeftButton);
    const MapShown before = mapShown(e.w);
    e.platform.answers << MessageButton::No;
    e.platform.fileAnswers << e.folder.path(name);
    QTest::mouseClick(e.w.ui.Command1, Qt::LeftButton);
    QCOMPARE(e.platform.texts(), (QStringList{kUnsaved, message}));
    compareShown(mapShown(e.w), before);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(e.w.editorState().editMode);
    QCOMPARE(e.w.ui.Picture1->pictureSize(), picture);
    QVERIFY(e.w.handles().handle(0)->isVisible());
}

// Text typed into the code box goes with the next change of an area, as the
// code is regenerated; the box's own Ctrl+Z brings it back.
void TestEndToEnd::typedCodeComesBackWithTheBoxUndo()
{
    DrawnMap e;
    QPlainTextEdit* box = e.w.ui.txtMap;
    box->setFocus();
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, QStringLiteral("<p>von Hand</p>"));
    const QString typed = e.w.mapCode();
    QVERIFY(typed.endsWith(QStringLiteral("</map>\r\n<p>von Hand</p>")));
    e.drawRect({20, 200}, {80, 260});
    const QString regenerated = e.w.mapCode();
    QVERIFY(!regenerated.contains(QStringLiteral("von Hand")));
    e.key(box, Qt::Key_Z);
    QCOMPARE(e.w.mapCode(), typed);
    QCOMPARE(e.w.areas().count(), 3); // the box's undo, not the map's
    e.key(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(e.w.mapCode(), regenerated);
}

// Undoing every area in edit mode ends edit mode as deleting the last one
// does; the tool edit mode was entered from is checked, so after a redo a
// drag on the canvas draws again.
void TestEndToEnd::undoingEveryAreaLeavesATool()
{
    DrawnMap e;
    QTest::mouseClick(e.w.ui.Option1[3], Qt::LeftButton);
    e.key(e.w.ui.List1, Qt::Key_Z);
    e.key(e.w.ui.List1, Qt::Key_Z);
    QVERIFY(e.w.areas().isEmpty());
    QVERIFY(!e.w.ui.Option1[3]->isChecked());
    QVERIFY(e.w.ui.Option1[1]->isChecked());
    QCOMPARE(e.w.ui.Label3->text(), QStringLiteral("Zeichen-Modus"));
    e.key(e.w.ui.List1, Qt::Key_Y);
    QCOMPARE(e.w.areas().count(), 1);
    e.drag(e.canvas(), {200, 150}, {260, 200});
    QCOMPARE(e.w.areas().count(), 2);
    QCOMPARE(e.w.areas().line(1), pad(" ", "rect") + "200,150,260,200|ziel.html||*|*|*|*");
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
