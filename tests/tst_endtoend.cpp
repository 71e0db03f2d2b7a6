// The editor doing its main job from start to finish with its real widgets:
// open an image, draw three areas with the mouse, fill in the real link
// dialog, save, close, and start again with the settings of the first run.
#include "support/Modal.h"
#include "support/ScriptedPlatform.h"

#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "canvas/Canvas.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace korvane;
using namespace korvane::test;

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
                       "&lt;img src=\"file://%1plan haus.png\" width=\"400\" height=\"300\" alt=\"\" "
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
                         code +
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
    const QByteArray settings = "[color]\r\nZeichenfarbe=255\r\nFuellfarbe=16776960\r\nZiehpunktfarbe=16711680\r\n"
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

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
