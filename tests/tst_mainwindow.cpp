#include "app/MainWindow.h"
#include "canvas/AreaRenderer.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "canvas/Palette.h"
#include "model/AreaEntry.h"
#include "support/BlankPicture.h"
#include "support/ScriptedPlatform.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDrag>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace korvane;
using korvane::test::expectBox;
using korvane::test::ScriptedPlatform;
using korvane::test::ShownBox;

namespace {

const QString kPad = QStringLiteral("                    |");

QString rectLine(const QString& coords)
{
    return " rect" + kPad + coords + "|ziel.html|Ziel|*|*|*|*";
}

// A real mouse event with the buttons held during a move.
void sendMouse(QWidget* w, QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, pos, w->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void press(QWidget* w, QPointF pos, Qt::MouseButton b = Qt::LeftButton)
{
    sendMouse(w, QEvent::MouseButtonPress, pos, b, b);
}
void moveHeld(QWidget* w, QPointF pos, Qt::MouseButtons held = Qt::LeftButton)
{
    sendMouse(w, QEvent::MouseMove, pos, Qt::NoButton, held);
}
void release(QWidget* w, QPointF pos, Qt::MouseButton b = Qt::LeftButton)
{
    sendMouse(w, QEvent::MouseButtonRelease, pos, b, Qt::NoButton);
}

// The editor with a white 400 x 300 image loaded and the tools enabled.
struct Editor : korvane::test::BlankEditor {
    int dialogCalls = 0;
    bool acceptDialog = true;

    Editor()
    {
        w.state().link.alt = QStringLiteral("Ziel");
        w.linkDialog = [this] {
            ++dialogCalls;
            return acceptDialog;
        };
    }
    HandleWidget* handle(int i) { return w.handles().handle(i); }
    QPoint pos(int i) { return handle(i)->pos(); }
    void drag(QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton)
    {
        press(canvas(), from, b);
        moveHeld(canvas(), (from + to) / 2, b);
        moveHeld(canvas(), to, b);
        release(canvas(), to, b);
    }
    void click(QPointF at, Qt::MouseButton b = Qt::LeftButton)
    {
        press(canvas(), at, b);
        release(canvas(), at, b);
    }
    void enterEditMode()
    {
        w.ui.Option1[3]->setEnabled(true);
        w.ui.Option1[3]->click();
    }
    void editLine(const QString& line)
    {
        w.areas().setLines({line});
        enterEditMode();
    }
    void clickRow(int row)
    {
        press(w.ui.List1->viewport(), rowCentre(row));
        release(w.ui.List1->viewport(), rowCentre(row));
    }
    // What is left once the last area is gone: an empty, saved map in drawing
    // mode. Deleting entries unchecks the edit option; resetting disables it.
    void expectEmptyDrawing(bool reset)
    {
        QVERIFY(w.areas().isEmpty());
        QVERIFY(w.mapCode().isEmpty());
        QVERIFY(w.document().mapSaved());
        QVERIFY(!w.editorState().editMode);
        if (reset) {
            QVERIFY(!w.ui.Option1[3]->isEnabled());
            QVERIFY(!w.ui.Command10->isEnabled());
        } else {
            QVERIFY(!w.ui.Option1[3]->isChecked());
        }
        QVERIFY(!w.ui.cmdClipboard->isEnabled());
        QCOMPARE(w.ui.Label3->text(), QStringLiteral("Zeichen-Modus"));
        QVERIFY(!w.ui.Timer1->isActive());
        QCOMPARE(w.handles().count(), 1);
        QVERIFY(!handle(0)->isVisible());
        QCOMPARE(w.selectedIndex(), -1);
    }
    // Drags handle i so that the pointer reports the offset on each move.
    void dragHandle(int i, const QList<QPointF>& offsets)
    {
        HandleWidget* h = handle(i);
        press(h, QPoint(0, 0));
        for (QPointF offset : offsets)
            moveHeld(h, offset);
        release(h, offsets.isEmpty() ? QPointF() : offsets.last());
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void drawRectAndCircle_data();
    void drawRectAndCircle();
    void dragThroughTheWindow();
    void rightButtonDragEndsWithoutDialog();
    void drawPolygon_data();
    void drawPolygon();
    void positionLabel();
    void handlePlacement_data();
    void handlePlacement();
    void handleDrag_data();
    void handleDrag();
    void codeChangesOnlyOnRelease();
    void rightClickAddsVertex_data();
    void rightClickAddsVertex();
    void editModeMessages_data();
    void editModeMessages();
    void modeSwitchTexts_data();
    void modeSwitchTexts();
    void selectionHighlightsYellow_data();
    void selectionHighlightsYellow();
    void doubleClickDelete_data();
    void doubleClickDelete();
    void dropOnTrashDeletes_data();
    void dropOnTrashDeletes();
    void copyAndMessages();
    void resetKeepsTool();
    void clearAsksFirst_data();
    void clearAsksFirst();
    void paletteTargets_data();
    void paletteTargets();
    void lineWidthAndFill();
    void titleScreen();
    void drawingAttributesWaitForAPicture();
    void accessibleNames_data();
    void accessibleNames();
    void closeQuestion_data();
    void closeQuestion();
    void clipboardCommand();
    void smallImageCentredLargeImageScrolls();
};

void TestMainWindow::drawRectAndCircle_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<QString>("line");
    const QString circle = " circle" + kPad;
    QTest::newRow("rect") << 1 << QPoint(10, 20) << QPoint(110, 80) << true << 1 << rectLine("10,20,110,80");
    QTest::newRow("rect up-left") << 1 << QPoint(110, 80) << QPoint(10, 20) << true << 1 << rectLine("10,20,110,80");
    QTest::newRow("rect 1 px wide") << 1 << QPoint(10, 20) << QPoint(11, 80) << true << 0 << QString();
    QTest::newRow("rect 1 px high") << 1 << QPoint(10, 20) << QPoint(110, 21) << true << 0 << QString();
    QTest::newRow("rect released outside")
        << 1 << QPoint(30, 40) << QPoint(-10, -5) << true << 1 << rectLine("-10,-5,30,40");
    QTest::newRow("rect cancelled") << 1 << QPoint(10, 20) << QPoint(110, 80) << false << 1 << QString();
    QTest::newRow("circle") << 2 << QPoint(100, 100) << QPoint(130, 140) << true << 1
                            << circle + "100,100,30|ziel.html|Ziel|*|*|*|*";
    QTest::newRow("circle leftwards") << 2 << QPoint(100, 100) << QPoint(60, 100) << true << 1
                                      << circle + "100,100,40|ziel.html|Ziel|*|*|*|*";
    QTest::newRow("circle vertical only") << 2 << QPoint(100, 100) << QPoint(101, 180) << true << 0 << QString();
}

void TestMainWindow::drawRectAndCircle()
{
    QFETCH(int, tool);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(bool, accept);
    QFETCH(int, dialogs);
    QFETCH(QString, line);
    Editor e;
    e.acceptDialog = accept;
    e.w.ui.Option1[tool]->click();
    const QImage before = e.canvas()->image().copy();
    e.drag(from, to);
    QCOMPARE(e.dialogCalls, dialogs);
    QCOMPARE(e.w.areas().lines(), line.isEmpty() ? QStringList() : QStringList{line});
    QCOMPARE(e.w.editorState().drawState(), 1);
    QCOMPARE(e.w.ui.Option1[3]->isEnabled(), !line.isEmpty());
    if (line.isEmpty()) {
        // The refresh took the rubber band away again.
        QCOMPARE(e.canvas()->image(), before);
        QVERIFY(e.w.mapCode().isEmpty());
    } else {
        QVERIFY(e.w.mapCode().contains(QStringLiteral("<area shape=")));
        QVERIFY(e.w.ui.Command10->isEnabled());
    }
}

// The same drag as the window system delivers it: the pressed canvas keeps
// the pointer, so the release outside the image still reaches it.
void TestMainWindow::dragThroughTheWindow()
{
    Editor e;
    e.w.ui.Option1[1]->click();
    QTest::mousePress(e.canvas(), Qt::LeftButton, {}, QPoint(50, 60));
    QTest::mouseMove(e.canvas(), QPoint(20, 30));
    QTest::mouseMove(e.canvas(), QPoint(-20, -15));
    QTest::mouseRelease(e.canvas(), Qt::LeftButton, {}, QPoint(-20, -15));
    QCOMPARE(e.w.areas().lines(), QStringList{rectLine("-20,-15,50,60")});
}

void TestMainWindow::rightButtonDragEndsWithoutDialog()
{
    Editor e;
    e.w.ui.Option1[1]->click();
    const QImage before = e.canvas()->image().copy();
    e.drag(QPoint(10, 10), QPoint(100, 90), Qt::RightButton);
    QCOMPARE(e.dialogCalls, 0);
    QCOMPARE(e.w.areas().count(), 0);
    QCOMPARE(e.w.editorState().drawState(), 1);
    // The band stays until the next refresh.
    QVERIFY(e.canvas()->image() != before);
    e.w.ui.Command6->click();
    QCOMPARE(e.canvas()->image(), before);
}

void TestMainWindow::drawPolygon_data()
{
    QTest::addColumn<QList<QPoint>>("clicks");
    QTest::addColumn<QString>("coords");
    QTest::newRow("triangle") << QList<QPoint>{{10, 10}, {50, 10}, {30, 40}} << "10,10,50,10,30,40";
    QTest::newRow("one point") << QList<QPoint>{{50, 60}} << "50,60";
}

void TestMainWindow::drawPolygon()
{
    QFETCH(QList<QPoint>, clicks);
    QFETCH(QString, coords);
    Editor e;
    e.w.ui.Option1[0]->click();
    for (QPoint p : clicks)
        e.click(p);
    QVERIFY(e.w.editorState().polygonOpen);
    QCOMPARE(e.w.editorState().polyPointCount, clicks.size());
    e.click(QPoint(200, 200), Qt::RightButton);
    QCOMPARE(e.dialogCalls, 1);
    QCOMPARE(e.w.areas().lines(), QStringList{" poly" + kPad + coords + "|ziel.html|Ziel|*|*|*|*"});
    QVERIFY(!e.w.editorState().polygonOpen);
    QVERIFY(e.w.editorState().polyCoordText.isEmpty());
    QVERIFY(e.w.mapCode().contains("coords=\"" + coords + "\""));
}

void TestMainWindow::positionLabel()
{
    Editor e;
    sendMouse(e.canvas(), QEvent::MouseMove, QPoint(120, 45), Qt::NoButton, Qt::NoButton);
    QCOMPARE(e.w.ui.lblPos->text(), QStringLiteral("x=120   y=45"));
    QVERIFY(e.w.ui.lblPos->isVisible());
    // A scaled screen reports fractions; the label shows the pixel a click there gives.
    sendMouse(e.canvas(), QEvent::MouseMove, QPointF(120.8, 45.25), Qt::NoButton, Qt::NoButton);
    QCOMPARE(e.w.ui.lblPos->text(), QStringLiteral("x=121   y=45"));
    sendMouse(e.canvas(), QEvent::MouseMove, QPointF(12.5, 13.5), Qt::NoButton, Qt::NoButton);
    QCOMPARE(e.w.ui.lblPos->text(), QStringLiteral("x=12   y=14"));
    sendMouse(e.w.ui.picOben, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton, Qt::NoButton);
    QVERIFY(!e.w.ui.lblPos->isVisible());
}

void TestMainWindow::handlePlacement_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QList<QPoint>>("positions"); // handles 0.. in order
    QTest::addColumn<QList<bool>>("visible");
    QTest::newRow("rect") << rectLine("10,20,110,70") << QList<QPoint>{{58, 43}, {5, 15}, {5, 15}, {5, 15}, {110, 70}}
                          << QList<bool>{true, true, false, false, true};
    QTest::newRow("rect corners exchanged")
        << rectLine("110,70,10,20") << QList<QPoint>{{58, 43}, {105, 65}, {105, 65}, {105, 65}, {10, 20}}
        << QList<bool>{true, true, false, false, true};
    QTest::newRow("circle") << " circle" + kPad + "100,100,30|a|b|*|*|*|*"
                            << QList<QPoint>{{-500, 0}, {98, 98}, {128, 98}} << QList<bool>{false, true, true};
    QTest::newRow("poly") << " poly" + kPad + "10,10,50,10,30,40|a|b|*|*|*|*"
                          << QList<QPoint>{{30, 25}, {10, 10}, {50, 10}, {30, 40}}
                          << QList<bool>{true, true, true, true};
    // No vertex: the empty box's middle is (0, 0).
    QTest::newRow("poly without vertices")
        << " poly" + kPad + "|a|b|*|*|*|*" << QList<QPoint>{{0, 0}} << QList<bool>{true};
}

void TestMainWindow::handlePlacement()
{
    QFETCH(QString, line);
    QFETCH(QList<QPoint>, positions);
    QFETCH(QList<bool>, visible);
    Editor e;
    e.editLine(line);
    QCOMPARE(e.w.handles().count(), positions.size());
    for (int i = 0; i < positions.size(); ++i) {
        QCOMPARE(e.handle(i)->objectName(), QStringLiteral("lblPoint_%1").arg(i));
        if (visible[i])
            QCOMPARE(e.pos(i), positions[i]);
        QCOMPARE(e.handle(i)->isVisible(), visible[i]);
        QCOMPARE(e.handle(i)->size(), QSize(5, 5));
    }
    QCOMPARE(e.handle(0)->color(), QColor(0, 255, 0));
    if (positions.size() > 1) {
        const bool circle = line.contains("circle");
        QCOMPARE(e.handle(1)->color(), circle ? QColor(0, 255, 0) : QColor(Qt::blue));
        QCOMPARE(e.handle(1)->cursor().hotSpot(), QPoint(0, 0));
    }
    QCOMPARE(e.w.ui.Label3->text(), QStringLiteral("Edit-Modus"));
    QVERIFY(e.w.ui.Command9->isEnabled());
    QVERIFY(e.w.ui.Timer1->isActive());
}

void TestMainWindow::handleDrag_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("handle");
    QTest::addColumn<QList<QPointF>>("moves");
    QTest::addColumn<QString>("coords");
    QTest::addColumn<QList<QPoint>>("after"); // expected positions of handles 0..
    const QString circle = " circle" + kPad + "100,100,30|a|b|*|*|*|*";
    const QString poly = " poly" + kPad + "10,10,50,10,30,40|a|b|*|*|*|*";
    QTest::newRow("rect corner 4") << rectLine("10,20,110,70") << 4 << QList<QPointF>{{20, 20}} << "10,20,130,90"
                                   << QList<QPoint>{{66, 51}, {5, 15}, {5, 15}, {5, 15}, {130, 90}};
    QTest::newRow("rect corner 1 past 4")
        << rectLine("10,20,110,70") << 1 << QList<QPointF>{{100, 50}, {30, 30}} << "115,75,135,95"
        << QList<QPoint>{{120, 80}, {135, 95}, {5, 15}, {5, 15}, {110, 70}};
    QTest::newRow("rect corners closer than 5")
        << rectLine("10,20,110,70") << 1 << QList<QPointF>{{103, 0}} << "113,20,110,70"
        << QList<QPoint>{{107, 41}, {108, 15}, {5, 15}, {5, 15}, {110, 70}};
    QTest::newRow("rect anchor to left edge")
        << rectLine("10,20,110,70") << 0 << QList<QPointF>{{-100, 0}} << "-48,20,52,70"
        << QList<QPoint>{{0, 43}, {-53, 15}, {5, 15}, {5, 15}, {52, 70}};
    QTest::newRow("circle radius") << circle << 2 << QList<QPointF>{{12, 3}} << "100,100,42"
                                   << QList<QPoint>{{-500, 0}, {98, 98}, {140, 98}};
    QTest::newRow("circle centre") << circle << 1 << QList<QPointF>{{10, 5}} << "110,105,30"
                                   << QList<QPoint>{{-500, 0}, {108, 103}, {138, 103}};
    QTest::newRow("circle radius past centre")
        << circle << 2 << QList<QPointF>{{-50, 0}} << "100,100,1" << QList<QPoint>{{-500, 0}, {98, 98}, {78, 98}};
    QTest::newRow("circle centre clamped")
        << circle << 1 << QList<QPointF>{{-200, -200}} << "2,2,30" << QList<QPoint>{{-500, 0}, {0, 0}, {30, 0}};
    QTest::newRow("poly vertex") << poly << 2 << QList<QPointF>{{5, 7}} << "10,10,55,17,30,40"
                                 << QList<QPoint>{{30, 25}, {10, 10}, {55, 17}, {30, 40}};
    QTest::newRow("poly anchor") << poly << 0 << QList<QPointF>{{10, 10}, {1, 2}} << "21,22,61,22,41,52"
                                 << QList<QPoint>{{41, 37}, {21, 22}, {61, 22}, {41, 52}};
    QTest::newRow("fractions truncate") << poly << 3 << QList<QPointF>{{3.7, -2.6}} << "10,10,50,10,33,38"
                                        << QList<QPoint>{{30, 25}, {10, 10}, {50, 10}, {33, 38}};
    QTest::newRow("radius fraction truncates")
        << circle << 2 << QList<QPointF>{{11.9, 0.8}} << "100,100,41" << QList<QPoint>{{-500, 0}, {98, 98}, {139, 98}};
}

void TestMainWindow::handleDrag()
{
    QFETCH(QString, line);
    QFETCH(int, handle);
    QFETCH(QList<QPointF>, moves);
    QFETCH(QString, coords);
    QFETCH(QList<QPoint>, after);
    Editor e;
    e.editLine(line);
    e.dragHandle(handle, moves);
    QCOMPARE(entry::coordsOf(e.w.areas().line(0)), coords);
    for (int i = 0; i < after.size(); ++i) {
        if (e.handle(i)->isVisible())
            QCOMPARE(e.pos(i), after[i]);
    }
    // Only the coordinates changed.
    QCOMPARE(entry::withCoords(e.w.areas().line(0), entry::coordsOf(line)), line);
    QVERIFY(e.w.mapCode().contains("coords=\"" + coords + "\""));
    QVERIFY(e.w.ui.List1->updatesEnabled());
}

void TestMainWindow::codeChangesOnlyOnRelease()
{
    Editor e;
    e.editLine(rectLine("10,20,110,70"));
    const QString code = e.w.mapCode();
    HandleWidget* h = e.handle(4);
    press(h, QPoint(0, 0));
    QVERIFY(!e.w.ui.List1->updatesEnabled());
    moveHeld(h, QPoint(10, 10));
    // The canvas shows the area reshaped; the list keeps its line until the release.
    QCOMPARE(entry::coordsOf(e.w.session().preview().lineOf(0, QString())), QStringLiteral("10,20,120,80"));
    QCOMPARE(entry::coordsOf(e.w.areas().line(0)), QStringLiteral("10,20,110,70"));
    QCOMPARE(e.w.mapCode(), code);
    // The selected area is drawn in its normal colour from the first move on.
    QCOMPARE(e.canvas()->image().pixelColor(60, 20), e.canvas()->surface().penColor());
    moveHeld(h, QPoint(0, 0), Qt::RightButton); // not the left button alone: ignored
    QCOMPARE(e.pos(4), QPoint(120, 80));
    release(h, QPoint(0, 0));
    QVERIFY(e.w.ui.List1->updatesEnabled());
    QCOMPARE(entry::coordsOf(e.w.areas().line(0)), QStringLiteral("10,20,120,80"));
    QVERIFY(e.w.mapCode().contains("coords=\"10,20,120,80\""));
}

void TestMainWindow::rightClickAddsVertex_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<QString>("coords");
    const QString poly = " poly" + kPad + "10,10,50,10,30,40|a|b|*|*|*|*";
    QTest::newRow("poly") << poly << QPointF(70, 60) << "10,10,50,10,30,40,70,60";
    QTest::newRow("poly, halves to even") << poly << QPointF(71.5, 60.5) << "10,10,50,10,30,40,72,60";
    QTest::newRow("rect") << rectLine("10,20,110,70") << QPointF(70, 60) << "10,20,110,70";
    QTest::newRow("circle") << " circle" + kPad + "100,100,30|a|b|*|*|*|*" << QPointF(70, 60) << "100,100,30";
}

void TestMainWindow::rightClickAddsVertex()
{
    QFETCH(QString, line);
    QFETCH(QPointF, at);
    QFETCH(QString, coords);
    Editor e;
    e.editLine(line);
    const int handles = e.w.handles().count();
    const QPoint anchor = e.pos(0);
    e.click(at, Qt::RightButton);
    QCOMPARE(entry::coordsOf(e.w.areas().line(0)), coords);
    const bool poly = line.contains("poly");
    QCOMPARE(e.w.handles().count(), handles + (poly ? 1 : 0));
    QCOMPARE(e.pos(0), anchor);
    if (poly) {
        const QStringList c = coords.split(',');
        QCOMPARE(e.pos(4), QPoint(c[6].toInt(), c[7].toInt()));
        QVERIFY(e.w.mapCode().contains("coords=\"" + coords + "\""));
    }
    QCOMPARE(e.dialogCalls, 0);
}

void TestMainWindow::editModeMessages_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty list") << QStringList() << "Bitte zunächst ein Areal einzeichnen!";
    QTest::newRow("no selection") << QStringList{rectLine("10,20,110,70")}
                                  << "Bitte zunächst in der Arealliste ein Element auswählen!";
}

void TestMainWindow::editModeMessages()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, message);
    Editor e;
    e.enterEditMode();
    e.w.areas().setLines(lines); // a reset of the list leaves nothing selected
    e.click(QPoint(300, 200));   // outside every area: a press inside one chooses it
    QCOMPARE(e.platform.boxes.size(), 1);
    expectBox(e.platform.boxes[0], QStringLiteral("korvane"), message, MessageIcon::Information);
    QCOMPARE(e.platform.boxes[0].buttons, QList<MessageButton>{MessageButton::Ok});
    QCOMPARE(e.w.areas().lines(), lines);
}

void TestMainWindow::modeSwitchTexts_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("help");
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QString>("label");
    QTest::newRow("polygon") << 0
                             << "Zeichnen von Polygonen: Linker MausClick Zeichnet die Polygonpunkte und erzeugt die "
                                "Verbindungslinie. Zuletzt schliesst ein rechter MausClick das Polygon (der letzte "
                                "Punkt wird mit dem ersten verbunden)."
                             << "poly"
                             << "Zeichen-Modus";
    QTest::newRow("rechteck") << 1
                              << "Zeichnen von Rechtecken: Linker MausClick setzt den Startpunkt. Dann mit gedrückter "
                                 "Maustaste das Rechteck aufziehen."
                              << "rect"
                              << "Zeichen-Modus";
    QTest::newRow("kreis") << 2
                           << "Zeichnen von Kreisen: Linker MausClick setzt den Startpunkt. Dann mit gedrückter "
                              "Maustaste den Kreis in x-Richtung aufziehen."
                           << "circle"
                           << "Zeichen-Modus";
    QTest::newRow("edit") << 3
                          << "Zunächst ein Element in der Arealliste selektieren. Verschieben des grünen "
                             "Ankerpunktes bewegt das gesamte Objekt. Mit den Ziehpunkten ändert man die Grösse der "
                             "Objekte. Rechter MausClick fügt einem Polygon weitere Ziehpunkte hinzu."
                          << "poly"
                          << "Edit-Modus";
}

void TestMainWindow::modeSwitchTexts()
{
    QFETCH(int, option);
    QFETCH(QString, help);
    QFETCH(QString, shape);
    QFETCH(QString, label);
    Editor e;
    QVERIFY(e.w.ui.Label3->text().isEmpty());
    e.w.areas().setLines({rectLine("10,20,110,70")});
    e.w.ui.Option1[3]->setEnabled(true);
    if (option == 0)
        e.w.ui.Option1[1]->click(); // polygon is checked at start
    e.w.ui.Option1[option]->click();
    QCOMPARE(e.w.ui.txtHelp->toPlainText(), help);
    QCOMPARE(e.w.editorState().shapeKind, shape);
    QCOMPARE(e.w.ui.Label3->text(), label);
    QCOMPARE(e.w.editorState().editMode, option == 3);
    QCOMPARE(e.w.ui.Timer1->isActive(), option == 3);
    QCOMPARE(e.w.ui.Command9->isEnabled(), option == 3);
    const DrawMode mode = e.canvas()->surface().drawMode();
    // Edit mode keeps the drawing mode of the tool before it (the polygon here).
    QCOMPARE(mode, option == 1 || option == 2 ? DrawMode::InvertXor : DrawMode::Copy);
    if (option == 3) {
        QCOMPARE(e.w.selectedIndex(), 0); // the first line got selected
        QCOMPARE(e.w.handles().count(), 5);
        const bool underlined = e.w.ui.Label3->font().underline();
        QMetaObject::invokeMethod(e.w.ui.Timer1, "timeout");
        QCOMPARE(e.w.ui.Label3->font().underline(), !underlined);
        e.w.ui.Option1[0]->click();
        QCOMPARE(e.w.handles().count(), 1);
        QVERIFY(!e.handle(0)->isVisible());
        QVERIFY(!e.w.ui.Label3->font().underline());
    }
}

void TestMainWindow::selectionHighlightsYellow_data()
{
    QTest::addColumn<bool>("byMouse");
    QTest::newRow("selected from code") << false;
    QTest::newRow("clicked in the list") << true;
}

void TestMainWindow::selectionHighlightsYellow()
{
    QFETCH(bool, byMouse);
    Editor e;
    e.w.areas().setLines({rectLine("10,20,110,70"), rectLine("150,20,250,70")});
    e.w.ui.Command6->click();
    const auto select = [&](int row) { byMouse ? e.clickRow(row) : e.w.setSelectedIndex(row); };
    select(0);
    const QImage& img = e.canvas()->image();
    QCOMPARE(img.pixelColor(60, 20), QColor(Qt::yellow));
    QCOMPARE(img.pixelColor(200, 20), QColor(Qt::red));
    QCOMPARE(e.w.handles().count(), 1);  // drawing mode: no handles
    QVERIFY(!e.w.document().mapSaved()); // the code was regenerated
    select(1);
    QCOMPARE(e.w.selectedIndex(), 1);
    QCOMPARE(e.canvas()->image().pixelColor(60, 20), QColor(Qt::red));
    QCOMPARE(e.canvas()->image().pixelColor(200, 20), QColor(Qt::yellow));
}

void TestMainWindow::doubleClickDelete_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("editMode");
    QTest::newRow("no") << 2 << false << true;
    QTest::newRow("yes, one left") << 2 << true << true;
    QTest::newRow("yes, last line in edit mode") << 1 << true << true;
    QTest::newRow("yes, last line drawing mode") << 1 << true << false;
}

void TestMainWindow::doubleClickDelete()
{
    QFETCH(int, lines);
    QFETCH(bool, yes);
    QFETCH(bool, editMode);
    Editor e;
    const QStringList all = QStringList{rectLine("10,20,110,70"), rectLine("150,20,250,70")}.mid(0, lines);
    e.w.areas().setLines(all);
    editMode ? e.enterEditMode() : e.w.ui.Option1[3]->setEnabled(true);
    e.w.setSelectedIndex(0);
    const QString code = e.w.mapCode();
    e.platform.answers.enqueue(yes ? MessageButton::Yes : MessageButton::No);
    QWidget* viewport = e.w.ui.List1->viewport();
    e.clickRow(0);
    sendMouse(viewport, QEvent::MouseButtonDblClick, e.rowCentre(0), Qt::LeftButton, Qt::LeftButton);
    release(viewport, e.rowCentre(0));
    QCOMPARE(e.platform.boxes.size(), 1);
    expectBox(e.platform.boxes[0], QStringLiteral("Korvane Kontrollabfrage"),
              QStringLiteral("Soll dieser Eintag wirklich gelöscht werden?"), MessageIcon::Question);
    if (!yes) {
        QCOMPARE(e.w.areas().lines(), all);
        QCOMPARE(e.w.mapCode(), code);
    } else if (lines == 1) {
        e.expectEmptyDrawing(false);
    } else {
        QCOMPARE(e.w.areas().lines(), all.mid(1));
        QCOMPARE(e.w.selectedIndex(), -1);
        QCOMPARE(e.w.handles().count(), 1);
        QVERIFY(!e.handle(0)->isVisible());
        QVERIFY(e.w.mapCode().contains("150,20,250,70"));
        QVERIFY(!e.w.mapCode().contains("10,20,110,70"));
    }
}

// What the user drags: the entry itself out of the list, or text from elsewhere.
enum class DragSource { ListEntry, ForeignText, ForeignEmpty };

void TestMainWindow::dropOnTrashDeletes_data()
{
    QTest::addColumn<bool>("editMode");
    QTest::addColumn<int>("source");
    QTest::addColumn<bool>("onTrash");
    QTest::newRow("entry, edit mode") << true << int(DragSource::ListEntry) << true;
    QTest::newRow("entry, drawing mode") << false << int(DragSource::ListEntry) << true;
    QTest::newRow("entry dropped on the canvas") << true << int(DragSource::ListEntry) << false;
    QTest::newRow("foreign text") << true << int(DragSource::ForeignText) << true;
    QTest::newRow("foreign empty text") << false << int(DragSource::ForeignEmpty) << true;
}

// The drag from List1 is started by real mouse actions on its viewport. The
// offscreen platform ends every drag at once without delivering it, so the
// drag's own data is then handed to the main window's native window at the
// target's place, the way a platform's drag does; the window routes it to
// the widget under that point.
void TestMainWindow::dropOnTrashDeletes()
{
    QFETCH(bool, editMode);
    QFETCH(int, source);
    QFETCH(bool, onTrash);
    Editor e;
    const QStringList lines{rectLine("10,20,110,70"), rectLine("150,20,250,70")};
    e.w.areas().setLines(lines);
    editMode ? e.enterEditMode() : e.w.ui.Option1[3]->setEnabled(true);
    QListView* list = e.w.ui.List1;
    QWidget* target = onTrash ? static_cast<QWidget*>(e.w.ui.Picture2) : e.canvas();
    for (int row = lines.size() - 1; row >= 0; --row) {
        QMimeData foreign;
        const QMimeData* data = &foreign;
        Qt::DropActions actions = Qt::CopyAction;
        if (source == int(DragSource::ListEntry)) {
            const int dragsBefore = list->findChildren<QDrag*>().size();
            const QPoint item = e.rowCentre(row);
            const QPoint away = item + QPoint(QApplication::startDragDistance() + 5, 0);
            press(list->viewport(), item);
            moveHeld(list->viewport(), item + QPoint(1, 0));
            moveHeld(list->viewport(), away);
            const QList<QDrag*> drags = list->findChildren<QDrag*>();
            QCOMPARE(drags.size(), dragsBefore + 1);
            data = drags.last()->mimeData();
            actions = drags.last()->supportedActions();
            QCOMPARE(data->text(), lines[row]); // the drag carries the entry's text
        } else {
            foreign.setText(source == int(DragSource::ForeignText) ? QStringLiteral("anything") : QString());
            e.w.setSelectedIndex(row);
        }
        QCOMPARE(e.w.selectedIndex(), row);
        QCOMPARE(e.w.handles().count(), editMode ? 5 : 1);
        if (editMode)
            QCOMPARE(e.pos(0), row == 0 ? QPoint(58, 43) : QPoint(198, 43)); // on the pressed entry
        QWindow* window = e.w.windowHandle();
        const QPoint at = target->mapTo(&e.w, target->rect().center());
        QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        QCOMPARE(enter.isAccepted(), onTrash);
        if (!onTrash) {
            QDragLeaveEvent leave;
            QApplication::sendEvent(window, &leave);
            QCOMPARE(e.w.areas().lines(), lines);
            QCOMPARE(e.w.selectedIndex(), row);
            QCOMPARE(e.w.handles().count(), 5);
            return;
        }
        QDragMoveEvent move(at, actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &move);
        QVERIFY(move.isAccepted());
        QDropEvent drop(QPointF(at), actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(e.w.areas().lines(), lines.mid(0, row));
        QCOMPARE(e.w.selectedIndex(), -1);
        QCOMPARE(e.w.handles().count(), 1);
        QVERIFY(!e.handle(0)->isVisible());
        QCOMPARE(e.w.editorState().editMode, editMode && row > 0);
        if (row > 0) {
            QVERIFY(e.w.mapCode().contains(QStringLiteral("10,20,110,70")));
            QVERIFY(!e.w.mapCode().contains(QStringLiteral("150,20,250,70")));
            QVERIFY(!e.w.document().mapSaved());
        }
    }
    QVERIFY(e.platform.boxes.isEmpty());
    e.expectEmptyDrawing(false);
}

void TestMainWindow::copyAndMessages()
{
    Editor e;
    // Empty list: nothing at all.
    e.w.ui.Command10->setEnabled(true);
    e.w.ui.Command10->click();
    e.w.ui.Command9->setEnabled(true);
    e.w.ui.Command9->click();
    QVERIFY(e.platform.boxes.isEmpty());
    e.w.areas().setLines({rectLine("10,20,110,70")});
    e.w.ui.Command10->click();
    e.w.ui.Command9->click();
    QCOMPARE(e.platform.boxes.size(), 2);
    QCOMPARE(e.platform.boxes[0].text, QStringLiteral("Bitte zunächst ein Element in der Arealliste auswählen."));
    QCOMPARE(e.platform.boxes[1].text, QStringLiteral("Bitte zunächst ein Areal in der Arealliste auswählen."));
    for (const auto& box : e.platform.boxes)
        QCOMPARE(box.icon, MessageIcon::Information);
    e.w.setSelectedIndex(0);
    e.w.ui.Option1[3]->setEnabled(true);
    e.w.ui.Command10->click();
    QCOMPARE(e.w.areas().lines(), QStringList(2, rectLine("10,20,110,70")));
    QVERIFY(e.w.ui.Option1[3]->isChecked());
    QVERIFY(e.w.editorState().editMode);
    QCOMPARE(e.w.selectedIndex(), 1);
    QCOMPARE(e.pos(4), QPoint(110, 70));
}

void TestMainWindow::resetKeepsTool()
{
    Editor e;
    e.w.ui.Option1[2]->click();
    e.w.areas().setLines({rectLine("10,20,110,70"), rectLine("150,20,250,70")});
    e.w.ui.Command6->click();
    e.w.ui.Option1[3]->setEnabled(true);
    e.w.ui.Command10->setEnabled(true);
    // An open polygon line and a highlight are on the canvas too.
    e.w.setSelectedIndex(1);
    e.canvas()->surface().drawLine(QPointF(0, 290), QPointF(399, 290), Qt::black);
    e.w.reset_zustand();
    e.expectEmptyDrawing(true);
    QCOMPARE(e.w.editorState().drawState(), 1);
    QVERIFY(e.w.ui.Option1[2]->isChecked());
    QCOMPARE(e.w.editorState().shapeKind, QStringLiteral("circle"));
    QCOMPARE(e.canvas()->image(), e.canvas()->picture()); // nothing drawn is left
    // The handles' pointer comes from the hidden holder.
    auto* holder = e.canvas()->findChild<QLabel*>(QStringLiteral("Label2"));
    QVERIFY(holder);
    QCOMPARE(holder->text(), QStringLiteral("Label2-MousePointer"));
    QVERIFY(!holder->isVisible());
    QCOMPARE(holder->cursor().hotSpot(), QPoint(0, 0));
}

void TestMainWindow::clearAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestMainWindow::clearAsksFirst()
{
    QFETCH(bool, yes);
    Editor e;
    e.w.ui.Command3->click(); // empty: asks nothing
    QVERIFY(e.platform.boxes.isEmpty());
    const QImage clean = e.canvas()->image().copy();
    e.editLine(rectLine("10,20,110,70"));
    e.platform.answers.enqueue(yes ? MessageButton::Yes : MessageButton::No);
    e.w.ui.Command3->click();
    QCOMPARE(e.platform.boxes.size(), 1);
    expectBox(e.platform.boxes[0], QStringLiteral("Korvane - Kontrollabfrage"),
              QStringLiteral("Möchten Sie jetzt wirklich alle eingezeichneten Areale löschen?"), MessageIcon::Question);
    QCOMPARE(e.w.areas().isEmpty(), yes);
    QCOMPARE(e.w.editorState().editMode, !yes);
    if (yes) {
        e.expectEmptyDrawing(true);
        QVERIFY(!e.w.ui.Command9->isEnabled());
        QCOMPARE(e.canvas()->image(), clean);
    }
}

void TestMainWindow::paletteTargets_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("swatch");
    QTest::newRow("draw colour green") << 0 << 10;
    QTest::newRow("fill colour navy") << 1 << 1;
    QTest::newRow("handle colour magenta") << 2 << 13;
}

void TestMainWindow::paletteTargets()
{
    QFETCH(int, target);
    QFETCH(int, swatch);
    Editor e;
    QCOMPARE(e.w.drawColor(), QColor(Qt::red));
    QCOMPARE(e.w.fillColor(), QColor(Qt::cyan));
    QCOMPARE(e.w.handleColor(), QColor(Qt::blue));
    e.editLine(" circle" + kPad + "100,100,30|a|b|*|*|*|*");
    auto* palette = static_cast<ColorPalette*>(e.w.ui.picColor);
    e.w.ui.Option2[target]->click();
    QTest::mouseClick(palette, Qt::LeftButton, {}, palette->swatchRect(swatch).center());
    const QColor picked(kPaletteColors[swatch]);
    const QColor shown[] = {e.w.drawColor(), e.w.fillColor(), e.w.handleColor()};
    QCOMPARE(shown[target], picked);
    if (target == 0)
        QCOMPARE(e.canvas()->surface().penColor(), picked);
    if (target == 1)
        QCOMPARE(e.canvas()->surface().fillColor(), picked);
    // The centre handle of a circle takes the handle colour as well; the anchor never.
    QCOMPARE(e.handle(1)->color(), target == 2 ? picked : QColor(0, 255, 0));
    QCOMPARE(e.handle(0)->color(), QColor(0, 255, 0));
}

void TestMainWindow::lineWidthAndFill()
{
    Editor e;
    e.w.areas().setLines({rectLine("10,20,110,70")});
    QTest::mouseClick(e.w.ui.Image1[2], Qt::LeftButton);
    QCOMPARE(e.w.lineWidth(), 3);
    QCOMPARE(e.w.ui.Image1[2]->frameShape(), QFrame::Box);
    QCOMPARE(e.w.ui.Image1[0]->frameShape(), QFrame::NoFrame);
    QCOMPARE(e.canvas()->image().pixelColor(60, 21), QColor(Qt::red)); // 3 pixels wide
    e.w.ui.chkGefuellt->click();
    QCOMPARE(e.w.fillStyle(), 7);
    int cyan = 0;
    for (int x = 15; x < 105; ++x)
        cyan += e.canvas()->image().pixelColor(x, 45) == QColor(Qt::cyan);
    QVERIFY(cyan > 0);
    e.w.ui.chkGefuellt->click();
    QCOMPARE(e.w.fillStyle(), 1);
    for (int x = 15; x < 105; ++x)
        QCOMPARE(e.canvas()->image().pixelColor(x, 45), QColor(Qt::white));
}

void TestMainWindow::titleScreen()
{
    korvane::test::installScriptedPlatform();
    MainWindow w;
    // The same texts drawn independently onto the blank canvas.
    QImage expected = w.ui.Picture1->picture().copy();
    {
        QPainter p(&expected);
        QFont font(QStringLiteral("Times New Roman"));
        font.setStyleHint(QFont::Serif);
        font.setPointSize(45);
        p.setFont(font);
        const auto text = [&p](QPoint at, const QString& s) {
            p.drawText(QRect(at, QSize(100000, 100000)), Qt::AlignLeft | Qt::AlignTop, s);
        };
        p.setPen(Qt::black);
        text({43, 103}, "Korvane");
        p.setPen(QColor(0x80, 0x80, 0x00));
        text({40, 100}, "Korvane");
        font.setPointSize(12);
        p.setFont(font);
        text({20, 260}, "Version: 1.0");
        text({420, 260}, "- ulvamo - 2001");
    }
    QCOMPARE(w.ui.Picture1->image(), expected);
    QCOMPARE(w.ui.Picture1->surface().penColor(), QColor(0x80, 0x80, 0x00));
    QCOMPARE(w.handles().anchor()->x(), -500);
    QVERIFY(w.document().mapSaved());
    QVERIFY(w.ui.Label3->text().isEmpty());
    for (int i = 0; i < 4; ++i)
        QVERIFY(!w.ui.Option1[i]->isEnabled());
    QVERIFY(w.ui.Option1[0]->isChecked());
}

// Until a picture is opened the line widths ignore clicks (their own click
// handling included); a cancelled open dialog leaves them so.
void TestMainWindow::drawingAttributesWaitForAPicture()
{
    ScriptedPlatform& platform = korvane::test::installScriptedPlatform();
    QTemporaryDir folder;
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QVERIFY(picture.save(folder.filePath("bild.png")));
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::mouseClick(w.ui.Image1[2], Qt::LeftButton);
    QCOMPARE(w.lineWidth(), 1);
    w.ui.Command1->click();
    QCOMPARE(platform.dialogs.size(), 1);
    QVERIFY(!w.ui.Frame1->isEnabled() && !w.ui.Frame2->isEnabled() && !w.ui.chkGefuellt->isEnabled());
    platform.fileAnswers << folder.filePath("bild.png");
    w.ui.Command1->click();
    QVERIFY(w.ui.Frame1->isEnabled() && w.ui.Frame2->isEnabled() && w.ui.chkGefuellt->isEnabled());
    QTest::mouseClick(w.ui.Image1[2], Qt::LeftButton);
    QCOMPARE(w.lineWidth(), 3);
}

// The row name is the widget's objectName.
void TestMainWindow::accessibleNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Picture1") << "Zeichenfläche";
    QTest::newRow("List1") << "Arealliste";
    QTest::newRow("txtMap") << "HTML-Code der ImageMap";
    QTest::newRow("picColor") << "Farbpalette";
    QTest::newRow("lblColor") << "Zeichenfarbe";
    QTest::newRow("lblFuellfarbe") << "Füllfarbe";
    QTest::newRow("lblZiehpunkt") << "Farbe der Ziehpunkte";
    QTest::newRow("Picture2") << "Papierkorb";
    QTest::newRow("Command4") << "Lupe";
    QTest::newRow("Image1_1") << "Liniendicke 2 Pixel";
}

void TestMainWindow::accessibleNames()
{
    QFETCH(QString, name);
    korvane::test::installScriptedPlatform();
    MainWindow w;
    auto* widget = w.findChild<QWidget*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(widget);
    QCOMPARE(widget->accessibleName(), name);
}

void TestMainWindow::closeQuestion_data()
{
    QTest::addColumn<bool>("withCode");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("answer"); // 0 Yes, 1 No, 2 Abbrechen
    QTest::addColumn<bool>("asks");
    QTest::addColumn<bool>("closes");
    QTest::newRow("no code") << false << false << 0 << false << true;
    QTest::newRow("saved code") << true << true << 0 << false << true;
    QTest::newRow("unsaved, yes") << true << false << 0 << true << false;
    QTest::newRow("unsaved, no") << true << false << 1 << true << true;
    QTest::newRow("unsaved, abbrechen") << true << false << 2 << true << false;
}

void TestMainWindow::closeQuestion()
{
    QFETCH(bool, withCode);
    QFETCH(bool, saved);
    QFETCH(int, answer);
    QFETCH(bool, asks);
    QFETCH(bool, closes);
    Editor e;
    if (withCode)
        e.w.areas().setLines({rectLine("10,20,110,70")});
    e.w.ui.Command6->click();
    if (saved)
        e.w.document().markSaved();
    bool saveClicked = false;
    connect(e.w.ui.Command7, &QPushButton::clicked, [&] { saveClicked = true; });
    const MessageButton answers[] = {MessageButton::Yes, MessageButton::No, MessageButton::Cancel};
    e.platform.answers.enqueue(answers[answer]);
    const bool closed = e.w.close();
    QCOMPARE(closed, closes);
    QCOMPARE(e.platform.boxes.size(), asks ? 1 : 0);
    if (asks) {
        expectBox(e.platform.boxes[0], QStringLiteral("Korvane Kontrollabfrage"),
                  QStringLiteral("Der HTML-Code der erzeugten ImageMap wurde noch nicht gespeichert. Soll der Code "
                                 "jetzt gespeichert werden?"),
                  MessageIcon::Question);
        QCOMPARE(e.platform.boxes[0].buttons,
                 (QList<MessageButton>{MessageButton::Yes, MessageButton::No, MessageButton::Cancel}));
    }
    QCOMPARE(saveClicked, asks && answer == 0);
}

void TestMainWindow::clipboardCommand()
{
    Editor e;
    QVERIFY(!e.w.ui.cmdClipboard->isEnabled());
    e.w.areas().setLines({rectLine("10,20,110,70")});
    e.w.ui.Command6->click();
    QVERIFY(e.w.ui.cmdClipboard->isEnabled());
    QVERIFY(e.w.ui.Command7->isEnabled());
    QGuiApplication::clipboard()->setText(QStringLiteral("alt"));
    e.w.ui.cmdClipboard->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), e.w.mapCode());
    QVERIFY(e.w.mapCode().startsWith(QStringLiteral("<!-- HTML-Code fuer den Image-Tag   -->\r\n")));
    QVERIFY(e.w.mapCode().endsWith(QStringLiteral("</map>\r\n")));
}

void TestMainWindow::smallImageCentredLargeImageScrolls()
{
    Editor e;
    e.w.resize(1000, 720);
    QApplication::processEvents();
    QWidget* view = e.w.ui.picContainer;
    QVERIFY(view->width() > 400 && view->height() > 200);
    // Small: centred, no scrolling.
    QImage small(200, 100, QImage::Format_RGB32);
    small.fill(Qt::white);
    e.canvas()->setPicture(small);
    e.w.layoutCanvas();
    QCOMPARE(e.canvas()->pos(), QPoint((view->width() - 200) / 2, (view->height() - 100) / 2));
    QVERIFY(!e.w.ui.HScroll1->isEnabled());
    QVERIFY(!e.w.ui.VScroll1->isEnabled());
    // Large: top-left first; the maximum shows the bottom-right corner at the edge.
    QImage large(3000, 2000, QImage::Format_RGB32);
    large.fill(Qt::white);
    e.canvas()->setPicture(large);
    e.w.layoutCanvas();
    QCOMPARE(e.canvas()->pos(), QPoint(0, 0));
    QVERIFY(e.w.ui.HScroll1->isEnabled());
    QCOMPARE(e.w.ui.HScroll1->maximum(), 3000 - view->width());
    QCOMPARE(e.w.ui.VScroll1->maximum(), 2000 - view->height());
    QCOMPARE(e.w.ui.HScroll1->pageStep(), qRound((3000 - view->width()) / 10.0));
    e.w.ui.HScroll1->setValue(e.w.ui.HScroll1->maximum());
    e.w.ui.VScroll1->setValue(e.w.ui.VScroll1->maximum());
    QCOMPARE(e.canvas()->mapTo(view, QPoint(2999, 1999)), QPoint(view->width() - 1, view->height() - 1));
    // Window rules: the viewport follows the window size.
    const int width = view->width();
    e.w.resize(1100, 720);
    QApplication::processEvents();
    QCOMPARE(view->width(), width + 100);
    QCOMPARE(e.w.ui.HScroll1->width(), view->width());
    QCOMPARE(e.w.ui.VScroll1->height(), view->height());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
