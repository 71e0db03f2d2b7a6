// "Umriss" in the real window: chosen with its key, the outline shown under
// the pointer, a click on a generated picture answered in the real link
// dialog, the refusals, every region of a colour, the tolerance keys, the
// wheel and the context menu's inputs, and the settings kept between runs.
#include "support/Modal.h"
#include "support/Rows.h"
#include "support/ScriptedPlatform.h"
#include "support/SettingsFolder.h"

#include "app/MainWindow.h"
#include "app/ZoomControls.h"
#include "app/commands/Snapping.h"
#include "app/TraceControls.h"
#include "canvas/Canvas.h"
#include "tools/TraceTool.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

using namespace korvane;
using namespace korvane::test;

namespace {

const QColor kRoom(200, 60, 40);
const QColor kPreviewLine(0x00, 0x5a, 0xc8);

// A white plan of 200 x 150 pixels with the given rooms filled in their colours.
QImage plan(const QList<std::pair<QRect, QColor>>& rooms)
{
    QImage picture(200, 150, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    for (const auto& [rect, colour] : rooms)
        painter.fillRect(rect, colour);
    return picture;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString polyLine(const QString& coords, const QString& href, const QString& alt)
{
    return pad(QStringLiteral(" "), QStringLiteral("poly")) + coords + QStringLiteral("|%1|%2|*|*|*|*").arg(href, alt);
}

// The code of plan.png in `folder` with these area tags.
QString codeOf(const QString& folder, const QString& areas)
{
    return QStringLiteral("<!-- HTML-Code fuer den Image-Tag   -->\r\n"
                          "<img src=\"file://%1/plan.png\" width=\"200\" height=\"150\" alt=\"\" "
                          "usemap=\"#plan\" style=\"border-style:none\" />\r\n"
                          "<!-- HTML-Code der eigentlichen ImageMap   -->\r\n"
                          "<map id=\"plan\" name=\"plan\">\r\n%2"
                          "<area shape=\"default\" nohref=\"nohref\" alt=\"\" />\r\n"
                          "</map>\r\n")
        .arg(folder, areas);
}

QString polyTag(const QString& coords, const QString& href, const QString& alt)
{
    return QStringLiteral("<area shape=\"poly\" alt=\"%3\" coords=\"%1\" href=\"%2\" title=\"%3\"  />\r\n")
        .arg(coords, href, alt);
}

// The window with plan.png opened through Open, settings in a folder of their own.
struct TraceEditor {
    SettingsFolder folder;
    ScriptedPlatform& platform = installScriptedPlatform();
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>();
    MainWindow& w = *window;
    QStringList dialogsSeen;

    explicit TraceEditor(const QImage& picture, const QByteArray& storedSettings = {})
    {
        if (!storedSettings.isEmpty()) {
            QFile out(folder.path("Korvane.ini"));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(storedSettings);
        }
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(picture.save(folder.path("plan.png")));
        platform.fileAnswers << folder.path("plan.png");
        QTest::mouseClick(w.ui.Command1, Qt::LeftButton);
        QVERIFY(canvas()->hasPicture());
    }
    Canvas* canvas() { return w.ui.Picture1; }
    QAction* traceEntry() { return w.findChild<QAction*>(QStringLiteral("actUmriss")); }
    TraceTool& tool() { return w.findChild<TraceControls*>()->tool(); }
    void chooseTrace() { key(Qt::Key_5, Qt::ControlModifier); }
    // A key on the canvas, the window active again after a dialog.
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        if (!w.isActiveWindow()) {
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
        }
        canvas()->setFocus();
        QTest::keyClick(canvas(), Qt::Key(key), modifiers);
    }
    // The bytes of the section the tool keeps in the settings file.
    QByteArray keptSection()
    {
        const QByteArray bytes = bytesOf(folder.path("Korvane.ini"));
        const qsizetype at = bytes.indexOf("[Umriss]");
        if (at < 0)
            return {};
        const qsizetype next = bytes.indexOf("\r\n[", at);
        return next < 0 ? bytes.mid(at) : bytes.mid(at, next + 2 - at);
    }
    void zoomTo(int percent) { w.zoom().zoomTo(percent, QPoint(0, 0)); }
    // Where the middle of a picture pixel lies on the canvas at its zoom.
    QPoint onCanvas(QPoint pixel)
    {
        const double zoom = canvas()->zoomFactor();
        const auto at = [zoom](int x) { return int(std::floor((x + 0.5) * zoom)); };
        return QPoint(at(pixel.x()), at(pixel.y()));
    }
    void hover(QPoint pixel) { QTest::mouseMove(canvas(), onCanvas(pixel)); }
    void click(QPoint pixel)
    {
        hover(pixel);
        QTest::mouseClick(canvas(), Qt::LeftButton, Qt::NoModifier, onCanvas(pixel));
    }
    // The next link dialog answered with this link and text, or cancelled.
    void answerLinkDialog(const QString& href, const QString& alt, bool accept = true)
    {
        whenModalOpens([this, href, alt, accept](QWidget* modal) {
            dialogsSeen << modal->objectName();
            auto* link = modal->findChild<QLineEdit*>(QStringLiteral("Text1"));
            auto* text = modal->findChild<QLineEdit*>(QStringLiteral("text2"));
            auto* button = modal->findChild<QPushButton*>(accept ? QStringLiteral("Command2") : QStringLiteral("Command3"));
            if (!link || !text || !button)
                return;
            if (accept) {
                link->setText(href);
                text->setText(alt);
            }
            QTest::mouseClick(button, Qt::LeftButton);
        });
    }
    // The canvas's context menu at a picture pixel, the entry `choose` triggered
    // (none: -1) and `fill` run on the shown menu first; the entries' texts.
    QStringList contextMenu(QPoint pixel, const QString& choose = {},
                            const std::function<void(QMenu*)>& fill = {})
    {
        QStringList entries;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            poll.stop();
            for (QAction* a : menu->actions())
                entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
            if (fill)
                fill(menu);
            QAction* chosen = nullptr;
            for (QAction* a : menu->actions())
                chosen = a->objectName() == choose && !choose.isEmpty() ? a : chosen;
            menu->close();
            if (chosen)
                chosen->trigger();
        });
        poll.start(10);
        const QPoint at = onCanvas(pixel);
        QTest::mousePress(canvas(), Qt::RightButton, {}, at);
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, canvas()->mapToGlobal(at));
        QApplication::sendEvent(canvas(), &request);
        QTest::mouseRelease(canvas(), Qt::RightButton, {}, at);
        return entries;
    }
    QString folderPath() const { return folder.dir.path(); }
};

} // namespace

class TestTraceTool : public QObject {
    Q_OBJECT
private slots:
    void clickMakesTheArea_data();
    void clickMakesTheArea();
    void refusedClick_data();
    void refusedClick();
    void allRegionsOfAColour();
    void toleranceKeysWheelAndMenu();
    void settingsKept_data();
    void settingsKept();
    void otherToolLeavesTrace();
};

void TestTraceTool::clickMakesTheArea_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<bool>("snapping");
    QTest::addColumn<QRect>("room");
    QTest::addColumn<QString>("coords");
    row("100 %", 100, false, QRect(40, 30, 60, 50), QString("40,30,99,30,99,79,40,79"));
    row("200 %", 200, false, QRect(40, 30, 60, 50), QString("40,30,99,30,99,79,40,79"));
    row("50 %", 50, false, QRect(40, 30, 60, 50), QString("40,30,99,30,99,79,40,79"));
    // The grid of 10 and the picture's edges lie within the catch distance of
    // every corner; a traced outline stays on the picture's own pixels.
    row("snapping on", 100, true, QRect(41, 31, 61, 51), QString("41,31,101,31,101,81,41,81"));
}

// Chosen with Ctrl+5: the outline follows the pointer over the canvas (never
// into the picture's drawing), and the click takes it as a polygon, asks for
// its link, and makes one step that undo takes back.
void TestTraceTool::clickMakesTheArea()
{
    QFETCH(int, zoom);
    QFETCH(bool, snapping);
    QFETCH(QRect, room);
    QFETCH(QString, coords);
    TraceEditor e(plan({{room, kRoom}}));
    e.w.snapping().setOn(snapping);
    e.zoomTo(zoom);
    QCOMPARE(e.canvas()->zoomPercent(), zoom);
    QVERIFY(e.traceEntry()->isEnabled());
    e.chooseTrace();
    QVERIFY(e.traceEntry()->isChecked());
    for (QRadioButton* option : e.w.ui.Option1)
        QVERIFY(!option->isChecked());
    QCOMPARE(e.w.ui.txtHelp->toPlainText(), TraceControls::helpText());

    const QImage drawing = e.canvas()->image();
    const QPoint inside = room.center();
    const QPoint topEdge(room.center().x(), room.top());
    const QPoint lineOnScreen = QPointF(topEdge.x() * e.canvas()->zoomFactor() + 1,
                                        topEdge.y() * e.canvas()->zoomFactor()).toPoint();
    QVERIFY(e.canvas()->grab().toImage().pixelColor(lineOnScreen) != kPreviewLine);
    e.hover(inside);
    QPolygon expected;
    const QStringList numbers = coords.split(',');
    for (int i = 0; i < numbers.size(); i += 2)
        expected << QPoint(numbers[i].toInt(), numbers[i + 1].toInt());
    QCOMPARE(e.tool().previewPolygon(), expected);
    // Shown on the canvas at its zoom, the picture's drawing untouched.
    QCOMPARE(e.canvas()->grab().toImage().pixelColor(lineOnScreen), kPreviewLine);
    QVERIFY(e.canvas()->image() == drawing);

    e.answerLinkDialog("raum.html", "Raum");
    e.click(inside);
    QCOMPARE(e.dialogsSeen, QStringList{"frmVerweis"});
    QCOMPARE(e.w.areas().lines().toStringList(), QStringList{polyLine(coords, "raum.html", "Raum")});
    QCOMPARE(e.w.mapCode(), codeOf(e.folderPath(), polyTag(coords, "raum.html", "Raum")));
    QCOMPARE(e.w.document().history().count(), 1);
    QCOMPARE(e.w.document().history().undoText(), QString("Polygon zeichnen"));
    QVERIFY(e.platform.boxes.isEmpty());
    // An ordinary polygon: edit mode offers it.
    QVERIFY(e.w.ui.Option1[3]->isEnabled());
    e.key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(e.w.areas().isEmpty());
}

void TestTraceTool::refusedClick_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<bool>("cancelDialog");
    QTest::addColumn<QString>("message"); // empty: none, the link dialog was asked
    row("too small", QPoint(150, 20), false,
        QString("Die Fläche bei x=150, y=20 ist zu klein für ein Areal (4 Pixel, mindestens 9). Eine höhere "
                "Toleranz nimmt ähnliche Farben hinzu."));
    row("whole picture", QPoint(5, 5), false,
        QString("Die Fläche bei x=5, y=5 nimmt das ganze Bild ein und ergibt kein Areal. Eine geringere Toleranz "
                "grenzt sie enger ab."));
    row("link dialog cancelled", QPoint(60, 50), true, QString());
}

// Nothing made, and nothing in the history: a message box says why, or the
// user cancelled the link dialog.
void TestTraceTool::refusedClick()
{
    QFETCH(QPoint, pixel);
    QFETCH(bool, cancelDialog);
    QFETCH(QString, message);
    TraceEditor e(plan({{QRect(40, 30, 60, 50), kRoom}, {QRect(150, 20, 2, 2), kRoom}}));
    e.chooseTrace();
    if (cancelDialog)
        e.answerLinkDialog("raum.html", "Raum", false);
    e.click(pixel);
    QTest::qWait(50); // a dialog that should not open would have opened
    QCOMPARE(e.dialogsSeen, cancelDialog ? QStringList{"frmVerweis"} : QStringList());
    QVERIFY(e.w.areas().isEmpty());
    QCOMPARE(e.w.document().history().count(), 0);
    QCOMPARE(e.platform.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty())
        QCOMPARE(e.platform.boxes.first().icon, MessageIcon::Information);
}

// Every room of one colour at once: one link dialog, its answers for each,
// one step for undo and redo; a room of another colour and a speck too
// small stay out.
void TestTraceTool::allRegionsOfAColour()
{
    TraceEditor e(plan({{QRect(10, 10, 40, 30), kRoom},
                        {QRect(100, 10, 30, 30), kRoom},
                        {QRect(10, 100, 50, 20), kRoom},
                        {QRect(100, 100, 40, 30), QColor(40, 160, 60)},
                        {QRect(180, 140, 2, 2), kRoom}}));
    e.chooseTrace();
    e.hover(QPoint(20, 20));
    e.answerLinkDialog("raeume.html", "Räume");
    const QStringList entries = e.contextMenu(QPoint(20, 20), "actAlleRegionen");
    QCOMPARE(entries.mid(0, 3), (QStringList{"Rückgängig", "Wiederherstellen", "-"}));
    QCOMPARE(entries.mid(3, 1), QStringList{"Alle Regionen dieser Farbe"});
    QTRY_COMPARE(e.dialogsSeen, QStringList{"frmVerweis"});
    const QStringList coords{"10,10,49,10,49,39,10,39", "100,10,129,10,129,39,100,39", "10,100,59,100,59,119,10,119"};
    QStringList lines;
    QString tags;
    for (const QString& c : coords) {
        lines << polyLine(c, "raeume.html", "Räume");
        tags += polyTag(c, "raeume.html", "Räume");
    }
    QCOMPARE(e.w.areas().lines().toStringList(), lines);
    QCOMPARE(e.w.mapCode(), codeOf(e.folderPath(), tags));
    QCOMPARE(e.w.document().history().count(), 1);
    QCOMPARE(e.w.document().history().undoText(), QString("Umrisse nachzeichnen"));
    e.key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(e.w.areas().isEmpty());
    e.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(e.w.areas().lines().toStringList(), lines);
    // On the white around the rooms, no region makes an area.
    e.contextMenu(QPoint(150, 60), "actAlleRegionen");
    QTRY_COMPARE(e.platform.texts(), QStringList{"Keine Fläche in der Farbe bei x=150, y=60 ergibt ein Areal: jede "
                                                 "ist zu klein oder nimmt das ganze Bild ein."});
    QCOMPARE(e.w.areas().count(), 3);
}

// "+" and "-" on the canvas, Shift and the wheel, and the context menu's
// inputs change what the next click takes; each change is written at once.
void TestTraceTool::toleranceKeysWheelAndMenu()
{
    // Two rooms whose colours differ by 40: apart at the tolerance of 32, one above 40.
    TraceEditor e(plan({{QRect(40, 30, 60, 50), kRoom}, {QRect(100, 30, 40, 50), QColor(200, 60, 80)}}));
    e.chooseTrace();
    e.hover(QPoint(60, 50));
    const QPolygon apart{{40, 30}, {99, 30}, {99, 79}, {40, 79}};
    const QPolygon joined{{40, 30}, {139, 30}, {139, 79}, {40, 79}};
    QCOMPARE(e.tool().previewPolygon(), apart);
    e.canvas()->setFocus();
    QTest::keyClick(e.canvas(), Qt::Key_Plus);
    QTest::keyClick(e.canvas(), Qt::Key_Plus, Qt::ShiftModifier); // as a US keyboard types it
    QCOMPARE(e.tool().tolerance(), 40);
    QCOMPARE(e.tool().previewPolygon(), joined);
    QCOMPARE(e.keptSection(), QByteArray("[Umriss]\r\nToleranz=40\r\nGenauigkeit=1\r\n"));
    // Ctrl++ still zooms.
    QTest::keyClick(e.canvas(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(e.tool().tolerance(), 40);
    QCOMPARE(e.canvas()->zoomPercent(), 150);
    e.w.zoom().zoomToOriginal();
    e.hover(QPoint(61, 50));

    const QPoint at = e.onCanvas(QPoint(60, 50));
    const auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(at, e.canvas()->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(e.canvas(), &event);
    };
    wheel(-120, Qt::ShiftModifier);
    QCOMPARE(e.tool().tolerance(), 36);
    QCOMPARE(e.tool().previewPolygon(), apart);
    wheel(60, Qt::ShiftModifier); // half a notch of a fine wheel: nothing yet
    QCOMPARE(e.tool().tolerance(), 36);
    wheel(60, Qt::ShiftModifier);
    QCOMPARE(e.tool().tolerance(), 40);
    wheel(-120, Qt::NoModifier); // scrolls, as without the tool
    QCOMPARE(e.tool().tolerance(), 40);

    // The menu's inputs show the values and take new ones.
    int shownTolerance = -1;
    double shownPrecision = -1;
    const QStringList entries = e.contextMenu(QPoint(60, 50), {}, [&](QMenu* menu) {
        auto* tolerance = menu->findChild<QSpinBox*>(QStringLiteral("spnToleranz"));
        auto* precision = menu->findChild<QDoubleSpinBox*>(QStringLiteral("spnGenauigkeit"));
        if (!tolerance || !precision)
            return;
        shownTolerance = tolerance->value();
        shownPrecision = precision->value();
        tolerance->setValue(8);
        precision->setValue(2.5);
    });
    QCOMPARE(entries.size(), 9); // undo, redo, -, all regions, two inputs, -, snapping and its grid
    QCOMPARE(shownTolerance, 40);
    QCOMPARE(shownPrecision, 1.0);
    QCOMPARE(e.tool().tolerance(), 8);
    QCOMPARE(e.tool().precision(), 2.5);
    QCOMPARE(e.keptSection(), QByteArray("[Umriss]\r\nToleranz=8\r\nGenauigkeit=2.5\r\n"));
    // Escape hides the preview until the pointer moves again.
    QTest::keyClick(e.canvas(), Qt::Key_Escape);
    QVERIFY(e.tool().previewPolygon().isEmpty());
    e.hover(QPoint(62, 50));
    QCOMPARE(e.tool().previewPolygon(), apart);
}

void TestTraceTool::settingsKept_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<double>("precision");
    row("none stored", QByteArray(), 32, 1.0);
    row("stored ones", QByteArray("[Umriss]\r\nToleranz=12\r\nGenauigkeit=0.5\r\n"), 12, 0.5);
    row("out of range or no number stays", QByteArray("[Umriss]\r\nToleranz=300\r\nGenauigkeit=x\r\n"), 32, 1.0);
}

// Read when the tool is first chosen; a run that changes nothing writes nothing of it.
void TestTraceTool::settingsKept()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, tolerance);
    QFETCH(double, precision);
    TraceEditor e(plan({{QRect(40, 30, 60, 50), kRoom}}), stored);
    e.chooseTrace();
    QCOMPARE(e.tool().tolerance(), tolerance);
    QCOMPARE(e.tool().precision(), precision);
    e.click(QPoint(150, 140)); // the whole picture: a message, nothing kept
    e.w.close();
    const QByteArray written = bytesOf(e.folder.path("Korvane.ini"));
    QCOMPARE(written.contains("[Umriss]"), !stored.isEmpty());
    if (!stored.isEmpty())
        QVERIFY(written.contains(stored));
}

// A click on an option or its key leaves "Umriss": the drawing tools draw
// again, and the preview goes.
void TestTraceTool::otherToolLeavesTrace()
{
    TraceEditor e(plan({{QRect(40, 30, 60, 50), kRoom}}));
    QTest::mouseClick(e.w.ui.Option1[0], Qt::LeftButton);
    e.chooseTrace();
    e.hover(QPoint(60, 50));
    QVERIFY(!e.tool().previewPolygon().isEmpty());
    QTest::mouseClick(e.w.ui.Option1[0], Qt::LeftButton);
    QVERIFY(e.w.ui.Option1[0]->isChecked());
    QVERIFY(!e.traceEntry()->isChecked());
    QVERIFY(e.tool().previewPolygon().isEmpty());
    QCOMPARE(e.canvas()->grab().toImage().pixelColor(QPoint(70, 30)), kRoom);
    QCOMPARE(e.w.session().chosenOption(), ChosenOption::Polygon);
    // The key chooses it again, and Ctrl+2 leaves it for the rectangle.
    e.chooseTrace();
    QVERIFY(e.traceEntry()->isChecked());
    QTest::keyClick(&e.w, Qt::Key_2, Qt::ControlModifier);
    QVERIFY(e.w.ui.Option1[1]->isChecked());
    QVERIFY(!e.traceEntry()->isChecked());
}

QTEST_MAIN(TestTraceTool)
#include "tst_tracetool.moc"
