// The tools without a window: handle geometry as plain functions, and the
// edit tool's drags against a context of their own, so that what a drag does
// to the document is seen directly.
#include "document/MapDocument.h"
#include "model/AreaEntry.h"
#include "model/AreaList.h"
#include "model/LinkAttributes.h"
#include "tools/HandleDrag.h"
#include "tools/HandleGeometry.h"
#include "tools/SeveralDrag.h"
#include "tools/ToolManager.h"
#include "tools/ToolContext.h"

#include <QSignalSpy>
#include <QTest>

using namespace korvane;

namespace {

QString line(const char* shape, const char* coords)
{
    LinkAttributes link;
    link.href = QStringLiteral("a.html");
    return entry::makeLine(QStringLiteral(" "), QString::fromLatin1(shape), QString::fromLatin1(coords), link);
}

QList<QPoint> placesOf(const QString& areaLine)
{
    QList<QPoint> places;
    for (const std::optional<QPoint>& place : handles::layoutOf(areaLine).places)
        places << place.value_or(QPoint(-500, 0));
    return places;
}

QString coordsText(handles::Shape shape, const QList<QPoint>& places)
{
    const std::optional<QList<int>> values = handles::coordinatesOf(shape, places);
    return values ? entry::coordinateText(*values) : QStringLiteral("(none)");
}

// The window's side as the tests see it: what the canvas would show, and
// every call in order.
class FakeContext : public ToolContext {
public:
    MapDocument doc;
    QSize picture{400, 300};
    QStringList calls;
    QString previewLine;
    int previewRow = -1;
    QPoint snapTo; // a point target; null: no snapping

    MapDocument& document() override { return doc; }
    QSize pictureSize() const override { return picture; }
    QPoint snapPoint(int, QPoint point, const QRect& reach) override
    {
        return !snapTo.isNull() && reach.contains(snapTo) ? snapTo : point;
    }
    QPoint snapMove(int, const QString&, QPoint by) override { return by; }
    QPoint snapMoveSeveral(const QString& held, const QList<int>& rows, QPoint by) override
    {
        calls << QStringLiteral("snap %1 by %2 of %3").arg(entry::coordsOf(held)).arg(rows.size()).arg(by.x());
        return by;
    }
    void showMoved(const QList<int>& rows, QPoint offset) override
    {
        calls << QStringLiteral("moved %1 rows by %2,%3").arg(rows.size()).arg(offset.x()).arg(offset.y());
    }
    void endMoved(bool redraw) override { calls << (redraw ? QStringLiteral("end moved, redraw") : QStringLiteral("end moved")); }
    void unmark() override { calls << QStringLiteral("unmark"); }
    void showPreview(int row, const QString& line) override
    {
        previewRow = row;
        previewLine = line;
        calls << QStringLiteral("preview %1 %2").arg(row).arg(entry::coordsOf(line));
    }
    void endPreview() override
    {
        previewRow = -1;
        calls << QStringLiteral("end preview");
    }
    void holdList(bool hold) override { calls << (hold ? QStringLiteral("hold") : QStringLiteral("follow")); }
    void redraw(bool regenerate) override
    {
        calls << (regenerate ? QStringLiteral("redraw+code") : QStringLiteral("redraw"));
    }
};

} // namespace

class TestTools : public QObject {
    Q_OBJECT

private slots:
    void handlePlaces_data();
    void handlePlaces();
    void dragGeometry_data();
    void dragGeometry();
    void dragCommitsOnce_data();
    void dragCommitsOnce();
    void cancelledDragLeavesNoTrace();
    void bodyTremorMovesNothing();
    void pointSnapsWithinReach();
    void severalDragCommitsOnce_data();
    void severalDragCommitsOnce();
    void toolManagerWritesToolAndMode();
};

void TestTools::handlePlaces_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<QList<QPoint>>("places"); // anchor first; (-500, 0): no place
    QTest::addColumn<QList<int>>("aligns");
    QTest::addColumn<bool>("anchorShown");
    using P = QList<QPoint>;
    QTest::newRow("rect") << line("rect", "10,20,110,70") << P{{58, 43}, {5, 15}, {-500, 0}, {-500, 0}, {110, 70}}
                          << QList<int>{2, 5, 0, 0, 0} << true;
    // The half differences are negative and truncate toward zero.
    QTest::newRow("rect stored backwards") << line("rect", "110,70,10,21")
                                           << P{{58, 44}, {105, 65}, {-500, 0}, {-500, 0}, {10, 21}}
                                           << QList<int>{2, 5, 0, 0, 0} << true;
    QTest::newRow("circle") << line("circle", "100,100,30") << P{{-500, 0}, {98, 98}, {128, 98}}
                            << QList<int>{0, 2, 2} << false;
    QTest::newRow("poly") << line("poly", "10,10,50,10,30,40") << P{{30, 25}, {10, 10}, {50, 10}, {30, 40}}
                          << QList<int>{0, 0, 0, 0} << true;
    QTest::newRow("poly without points") << line("poly", "") << P{{0, 0}} << QList<int>{0} << true;
    QTest::newRow("rect too short") << line("rect", "10,20,30")
                                    << P{{-500, 0}, {5, 15}, {-500, 0}, {-500, 0}, {-500, 0}}
                                    << QList<int>{2, 5, 0, 0, 0} << true;
    // Keywords read as a browser reads them.
    QTest::newRow("POLYGON") << line("POLYGON", "10,10,50,10,30,40") << P{{30, 25}, {10, 10}, {50, 10}, {30, 40}}
                             << QList<int>{0, 0, 0, 0} << true;
    // An unknown keyword is a rectangle to a browser.
    QTest::newRow("unknown keyword") << line("oval", "10,10,50")
                                     << P{{-500, 0}, {5, 5}, {-500, 0}, {-500, 0}, {-500, 0}}
                                     << QList<int>{2, 5, 0, 0, 0} << true;
}

void TestTools::handlePlaces()
{
    QFETCH(QString, area);
    QFETCH(QList<QPoint>, places);
    QFETCH(QList<int>, aligns);
    QFETCH(bool, anchorShown);
    const handles::Layout layout = handles::layoutOf(area);
    QCOMPARE(placesOf(area), places);
    QCOMPARE(layout.aligns, aligns);
    QCOMPARE(layout.anchorShown, anchorShown);
}

void TestTools::dragGeometry_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<int>("handle");
    QTest::addColumn<QPoint>("target");
    QTest::addColumn<QString>("coords");
    QTest::addColumn<QList<QPoint>>("places");
    using P = QList<QPoint>;
    const QPoint none(-500, 0);
    QTest::newRow("rect corner 4") << line("rect", "10,20,110,70") << 4 << QPoint(130, 90) << "10,20,130,90"
                                   << P{{66, 51}, {5, 15}, none, none, {130, 90}};
    QTest::newRow("rect corner 1 past corner 4")
        << line("rect", "10,20,110,70") << 1 << QPoint(150, 100) << "115,75,150,100"
        << P{{128, 83}, {150, 100}, none, none, {110, 70}};
    QTest::newRow("rect corners closer than a handle")
        << line("rect", "10,20,110,70") << 1 << QPoint(107, 15) << "112,20,110,70"
        << P{{107, 41}, {107, 15}, none, none, {110, 70}};
    QTest::newRow("rect anchor to the left edge") << line("rect", "10,20,110,70") << 0 << QPoint(-30, 43)
                                                  << "-48,20,52,70" << P{{0, 43}, {-53, 15}, none, none, {52, 70}};
    QTest::newRow("rect corner kept on the picture")
        << line("rect", "10,20,110,70") << 4 << QPoint(500, 400) << "10,20,395,295"
        << P{{198, 153}, {5, 15}, none, none, {395, 295}};
    QTest::newRow("circle radius") << line("circle", "100,100,30") << 2 << QPoint(140, 60) << "100,100,42"
                                   << P{none, {98, 98}, {140, 98}};
    QTest::newRow("circle radius past the centre")
        << line("circle", "100,100,30") << 2 << QPoint(80, 98) << "100,100,1" << P{none, {98, 98}, {80, 98}};
    QTest::newRow("circle centre") << line("circle", "100,100,30") << 1 << QPoint(108, 103) << "110,105,30"
                                   << P{none, {108, 103}, {138, 103}};
    QTest::newRow("poly point") << line("poly", "10,10,50,10,30,40") << 2 << QPoint(60, 5) << "10,10,60,5,30,40"
                                << P{{30, 25}, {10, 10}, {60, 5}, {30, 40}};
    QTest::newRow("poly anchor") << line("poly", "10,10,50,10,30,40") << 0 << QPoint(40, 20)
                                 << "20,5,60,5,40,35" << P{{40, 20}, {20, 5}, {60, 5}, {40, 35}};
}

void TestTools::dragGeometry()
{
    QFETCH(QString, area);
    QFETCH(int, handle);
    QFETCH(QPoint, target);
    QFETCH(QString, coords);
    QFETCH(QList<QPoint>, places);
    QList<QPoint> dragged = placesOf(area);
    const handles::Shape shape = handles::shapeOf(area);
    handles::drag(shape, dragged, handle, target, QSize(400, 300));
    QCOMPARE(dragged, places);
    QCOMPARE(coordsText(shape, dragged), coords);
}

void TestTools::dragCommitsOnce_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<int>("handle");
    QTest::addColumn<bool>("body");
    QTest::addColumn<QList<QPoint>>("moves"); // handle corners, or pointer positions of a body drag
    QTest::addColumn<QString>("coords");      // after the release
    QTest::addColumn<QString>("undoText");    // empty: no step
    using P = QList<QPoint>;
    QTest::newRow("rect corner") << line("rect", "10,20,110,70") << 4 << false << P{{120, 80}, {130, 90}}
                                 << "10,20,130,90" << "Form ändern";
    QTest::newRow("rect anchor") << line("rect", "10,20,110,70") << 0 << false << P{{60, 45}, {68, 53}}
                                 << "20,30,120,80" << "Areal verschieben";
    QTest::newRow("circle centre") << line("circle", "100,100,30") << 1 << false << P{{108, 103}}
                                   << "110,105,30" << "Areal verschieben";
    QTest::newRow("poly body") << line("poly", "10,10,50,10,30,40") << 0 << true
                               << P{{32, 22}, {35, 25}, {41, 31}} << "20,20,60,20,40,50" << "Areal verschieben";
    QTest::newRow("moved and back") << line("rect", "10,20,110,70") << 4 << false << P{{130, 90}, {110, 70}}
                                    << "10,20,110,70" << "";
}

// Each move shows the area moved, the document keeps its line; the release
// hands it over in one step.
void TestTools::dragCommitsOnce()
{
    QFETCH(QString, area);
    QFETCH(int, handle);
    QFETCH(bool, body);
    QFETCH(QList<QPoint>, moves);
    QFETCH(QString, coords);
    QFETCH(QString, undoText);
    FakeContext context;
    context.doc.areas().append(line("rect", "1,1,5,5"));
    context.doc.areas().append(area);
    context.doc.select(1);
    HandleDrag drag(context, 1, placesOf(area), handles::layoutOf(area).aligns, handle);
    if (body)
        drag.startBody(QPointF(30.4, 20.6));
    for (const QPoint& at : moves) {
        if (body)
            QVERIFY(drag.moveBody(at));
        else
            drag.moveHandle(at);
        QCOMPARE(context.doc.areas().line(1), area);
        QCOMPARE(context.doc.history().count(), 0);
        QCOMPARE(context.previewRow, 1);
        QCOMPARE(context.previewLine, drag.line());
    }
    QCOMPARE(entry::coordsOf(context.previewLine), coords);
    QCOMPARE(drag.release(), !undoText.isEmpty());
    QCOMPARE(entry::coordsOf(context.doc.areas().line(1)), coords);
    QCOMPARE(context.doc.areas().line(0), line("rect", "1,1,5,5"));
    QCOMPARE(context.doc.history().count(), undoText.isEmpty() ? 0 : 1);
    if (!undoText.isEmpty()) {
        QCOMPARE(context.doc.history().text(0), undoText);
        context.doc.undo();
        QCOMPARE(context.doc.areas().line(1), area);
    }
    QCOMPARE(context.calls.first(), QStringLiteral("hold"));
    QCOMPARE(context.calls.mid(context.calls.size() - 4),
             QStringList({"follow", "end preview", "unmark", "redraw+code"}));
    QCOMPARE(context.previewRow, -1);
}

void TestTools::cancelledDragLeavesNoTrace()
{
    FakeContext context;
    const QString area = line("poly", "10,10,50,10,30,40");
    context.doc.areas().append(area);
    context.doc.select(0);
    HandleDrag drag(context, 0, placesOf(area), handles::layoutOf(area).aligns, 3);
    drag.moveHandle(QPoint(90, 90));
    QCOMPARE(entry::coordsOf(context.previewLine), QStringLiteral("10,10,50,10,90,90"));
    drag.cancel();
    QCOMPARE(context.doc.areas().line(0), area);
    QCOMPARE(context.doc.history().count(), 0);
    QCOMPARE(drag.places(), placesOf(area));
    QCOMPARE(context.calls,
             QStringList({"hold", "preview 0 10,10,50,10,90,90", "redraw", "follow", "end preview", "unmark"}));
}

// A press that does not leave its picture pixel is a click: nothing shown,
// nothing recorded.
void TestTools::bodyTremorMovesNothing()
{
    FakeContext context;
    const QString area = line("rect", "10,20,110,70");
    context.doc.areas().append(area);
    HandleDrag drag(context, 0, placesOf(area), handles::layoutOf(area).aligns, 0);
    drag.startBody(QPointF(50.2, 40.2));
    QVERIFY(!drag.moveBody(QPointF(50.9, 40.9)));
    QVERIFY(!drag.moveBody(QPointF(49.5, 39.5)));
    QVERIFY(!drag.bodyMoved());
    QVERIFY(!drag.release());
    QCOMPARE(context.calls, QStringList({"hold", "follow", "unmark", "redraw+code"}));
    QVERIFY(drag.moveBody(QPointF(52.2, 40.2)));
}

// A dragged point snaps by the point it marks (a rectangle's first corner
// lies five pixels before its handle), never to a target its handle could
// not reach.
void TestTools::pointSnapsWithinReach()
{
    FakeContext context;
    const QString area = line("rect", "10,20,110,70");
    context.doc.areas().append(area);
    context.snapTo = QPoint(20, 30);
    HandleDrag corner(context, 0, placesOf(area), handles::layoutOf(area).aligns, 1);
    corner.moveHandle(QPoint(14, 23));
    QCOMPARE(entry::coordsOf(corner.line()), QStringLiteral("20,30,110,70"));
    corner.cancel();
    context.snapTo = QPoint(2, 2); // the corner's handle would lie outside the picture
    HandleDrag again(context, 0, placesOf(area), handles::layoutOf(area).aligns, 1);
    again.moveHandle(QPoint(0, 0));
    QCOMPARE(entry::coordsOf(again.line()), QStringLiteral("5,5,110,70"));
}

void TestTools::severalDragCommitsOnce_data()
{
    QTest::addColumn<QList<QPointF>>("moves");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<QStringList>("coords"); // of the three lines after the release
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("steps");
    using Points = QList<QPointF>;
    const QStringList before{"10,20,110,70", "100,100,30", "10,10,50,10,30,40"};
    QTest::newRow("moved") << Points{{52.5, 41}, {62.9, 33.2}} << false
                           << QStringList{"22,13,122,63", "100,100,30", "22,3,62,3,42,33"}
                           << QStringList{"snap 10,20,110,70 by 2 of 2", "moved 2 rows by 2,0",
                                          "snap 10,20,110,70 by 2 of 12", "moved 2 rows by 12,-7", "end moved"}
                           << 1;
    QTest::newRow("a click") << Points{{50.7, 40.2}} << false << before
                             << QStringList{"snap 10,20,110,70 by 2 of 0", "end moved, redraw"} << 0;
    QTest::newRow("cancelled") << Points{{70, 60}} << true << before
                               << QStringList{"snap 10,20,110,70 by 2 of 19", "moved 2 rows by 19,19",
                                              "end moved, redraw"}
                               << 0;
}

// The lines stay as they were until the release, which moves every
// selected area in one step; the one between them stays.
void TestTools::severalDragCommitsOnce()
{
    QFETCH(QList<QPointF>, moves);
    QFETCH(bool, cancelled);
    QFETCH(QStringList, coords);
    QFETCH(QStringList, calls);
    QFETCH(int, steps);
    FakeContext context;
    const QStringList lines{line("rect", "10,20,110,70"), line("circle", "100,100,30"),
                            line("poly", "10,10,50,10,30,40")};
    for (const QString& l : lines)
        context.doc.areas().append(l);
    context.doc.selectRows({0, 2}, 2);
    SeveralDrag drag(context, {0, 2}, 0, QPointF(50.5, 40.5));
    for (const QPointF& at : moves) {
        drag.moveTo(at);
        QCOMPARE(context.doc.areas().lines(), lines);
    }
    QCOMPARE(cancelled ? (drag.cancel(), false) : drag.release(), steps == 1);
    QStringList after;
    for (int row = 0; row < 3; ++row)
        after << entry::coordsOf(context.doc.areas().line(row));
    QCOMPARE(after, coords);
    QCOMPARE(context.calls, calls);
    QCOMPARE(context.doc.history().count(), steps);
    if (steps == 1) {
        QCOMPARE(context.doc.history().text(0), QStringLiteral("Areale verschieben"));
        context.doc.undo();
        QCOMPARE(context.doc.areas().lines(), lines);
    }
}

// Edit mode keeps the drawing tool it was entered from; every choice is told.
void TestTools::toolManagerWritesToolAndMode()
{
    EditorState editor;
    ToolManager tools(editor);
    QSignalSpy changed(&tools, &ToolManager::changed);
    QSignalSpy enabling(&tools, &ToolManager::enabledChanged);
    QVERIFY(!tools.enabled(ChosenOption::Polygon) && !tools.enabled(ChosenOption::Edit));
    tools.choose(ChosenOption::Circle);
    QCOMPARE(editor.shapeKind, QStringLiteral("circle"));
    tools.choose(ChosenOption::Edit);
    tools.setEditing(true);
    QVERIFY(editor.editMode && tools.editing() && tools.editChosen());
    QCOMPARE(editor.shapeKind, QStringLiteral("circle"));
    QCOMPARE(tools.drawingTool(), ChosenOption::Circle);
    tools.choose(ChosenOption::Rectangle);
    tools.setEditing(false);
    QCOMPARE(editor.shapeKind, QStringLiteral("rect"));
    QVERIFY(!editor.editMode);
    QCOMPARE(changed.count(), 5);
    tools.enableDrawing(true);
    tools.enableEdit(false);
    QVERIFY(tools.enabled(ChosenOption::Rectangle) && !tools.enabled(ChosenOption::Edit));
    QCOMPARE(enabling.count(), 2);
    QCOMPARE(enabling.at(0).at(0).toBool(), false);
    QCOMPARE(enabling.at(1).at(0).toBool(), true);
}

QTEST_GUILESS_MAIN(TestTools)
#include "tst_tools.moc"
