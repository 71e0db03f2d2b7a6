// The tools without a window: handle geometry as plain functions, and the
// edit tool's drags against a context of their own, so that what a drag does
// to the document is seen directly.
#include "canvas/AreaArrangement.h"
#include "canvas/HitTest.h"
#include "document/MapDocument.h"
#include "model/AreaEntry.h"
#include "model/AreaList.h"
#include "model/LinkAttributes.h"
#include "tools/EditTool.h"
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
    QSize size{400, 300};
    QStringList calls;
    QString previewLine;
    int previewRow = -1;
    QPoint snapTo; // a point target; null: no snapping

    MapDocument& document() override { return doc; }
    QSize pictureSize() const override { return size; }
    QPoint snapPoint(int, QPoint point, const QRect& reach) override
    {
        return !snapTo.isNull() && reach.contains(snapTo) ? snapTo : point;
    }
    QPoint snapMove(int, const QString&, QPoint by) override { return by; }
    QPoint snapMoveSeveral(const QString& held, const QList<int>& rows, QPoint by, bool) override
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

    // The selection and the handles as the window would show them: the
    // handles stand where the selected line puts them.
    double zoom = 1.0;
    QList<QPoint> handles;
    int paintedUnderPointer = -1;
    QVector<AreaGeometry> shapes() const
    {
        QVector<AreaGeometry> all;
        for (const QString& l : doc.areas().lines().toStringList())
            all << parseArea(l);
        return all;
    }
    int areaAt(QPointF point) const override { return korvane::areaAt(shapes(), point); }
    QList<int> areasInside(const QRectF& band) const override { return korvane::areasInside(shapes(), band); }
    void select(int row) override
    {
        doc.select(row);
        handles = row >= 0 ? placesOf(doc.areas().line(row)) : QList<QPoint>();
        calls << QStringLiteral("select %1").arg(row);
    }
    void toggle(int row) override { calls << QStringLiteral("toggle %1").arg(row); }
    void selectSeveral(const QList<int>& rows, int current) override
    {
        doc.selectRows(rows, current);
        QStringList names;
        for (int row : rows)
            names << QString::number(row);
        calls << QStringLiteral("several %1 at %2").arg(names.join(QLatin1Char(','))).arg(current);
    }
    void showSelection() override { calls << QStringLiteral("show selection"); }
    void showChanged(int row) override { calls << QStringLiteral("changed %1").arg(row); }
    void inform(const QString& text) override { calls << QStringLiteral("inform ") + text; }
    bool askLink(const QRect&) override { return false; }
    QImage image;
    const QImage& picture() const override { return image; }
    bool addPolygon(const QString&) override { return false; }
    bool addPolygons(const QStringList&, const QString&) override { return false; }
    void repaintOverlay() override {}
    double catchReach() const override { return 6.0 / zoom; }
    QList<QPoint> handlePlaces() const override { return handles; }
    QList<int> handleAligns() const override
    {
        return handles::layoutOf(doc.areas().line(doc.selectedRow())).aligns;
    }
    int paintedHandleAt() const override { return paintedUnderPointer; }
    void showHandles(const QList<QPoint>& places, int held) override
    {
        handles = places;
        calls << QStringLiteral("handles, %1 held").arg(held);
    }
    void showAddedPoint(QPoint place) override
    {
        handles << place;
        calls << QStringLiteral("point %1,%2").arg(place.x()).arg(place.y());
    }
    // The band shows whole screen pixels, as the canvas's band does.
    QRectF showBand(const QRectF& band) override
    {
        const QRect shown = QRectF(band.topLeft() * zoom, band.bottomRight() * zoom).toAlignedRect();
        calls << QStringLiteral("band %1,%2 %3x%4").arg(shown.x()).arg(shown.y()).arg(shown.width()).arg(shown.height());
        return QRectF(QRectF(shown).topLeft() / zoom, QRectF(shown).bottomRight() / zoom);
    }
    void endBand() override { calls << QStringLiteral("end band"); }
    void letGo() override { calls << QStringLiteral("let go"); }
    bool pointMenu(int, QPoint) override { return false; }
    void regenerate() override { calls << QStringLiteral("code"); }
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
    void editToolPress_data();
    void editToolPress();
    void editToolBand_data();
    void editToolBand();
    void escapeDropsInteraction_data();
    void escapeDropsInteraction();
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

void TestTools::editToolPress_data()
{
    QTest::addColumn<QStringList>("areas");
    QTest::addColumn<QList<int>>("selected"); // the last one chosen last
    QTest::addColumn<int>("painted");         // the painted handle under the pointer
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("control");
    QTest::addColumn<QList<QPointF>>("points"); // the press, then the moves; the release at the last
    QTest::addColumn<bool>("held");             // the canvas holds the pointer
    QTest::addColumn<QStringList>("coords");    // of every line after the release
    QTest::addColumn<QString>("undoText");      // of the one step; empty: none
    QTest::addColumn<QStringList>("calls");
    using Points = QList<QPointF>;
    const QString rect = line("rect", "10,20,110,70");
    const QString poly = line("poly", "10,10,50,10,30,40");
    const int left = Qt::LeftButton, right = Qt::RightButton;
    QTest::newRow("no area yet") << QStringList() << QList<int>() << -1 << 1.0 << left << false << Points{{5, 5}}
                                 << false << QStringList() << QString()
                                 << QStringList{"inform Bitte zunächst ein Areal einzeichnen!", "unmark"};
    QTest::newRow("empty picture, nothing chosen")
        << QStringList{rect} << QList<int>() << -1 << 1.0 << left << false << Points{{200, 200}} << false
        << QStringList{"10,20,110,70"} << QString()
        << QStringList{"inform Bitte zunächst in der Arealliste ein Element auswählen!", "unmark"};
    // Ctrl+click near an edge puts a point into it through the document (a
    // half pixel rounds to even).
    QTest::newRow("point put in") << QStringList{poly} << QList<int>{0} << -1 << 1.0 << left << true
                                  << Points{{30.4, 14.5}} << false << QStringList{"10,10,30,14,50,10,30,40"}
                                  << QStringLiteral("Punkt einfügen") << QStringList{"changed 0", "unmark"};
    // Four screen pixels are a pixel at 400 %: too far for the edge, so the
    // Ctrl+click takes the area into the selection or out of it.
    QTest::newRow("too far at 400 %") << QStringList{poly} << QList<int>{0} << -1 << 4.0 << left << true
                                      << Points{{30, 14}} << false << QStringList{"10,10,50,10,30,40"} << QString()
                                      << QStringList{"toggle 0", "unmark"};
    QTest::newRow("point added") << QStringList{poly} << QList<int>{0} << -1 << 1.0 << right << false
                                 << Points{{70.4, 30.6}} << false << QStringList{"10,10,50,10,30,40,70,31"}
                                 << QStringLiteral("Punkt hinzufügen") << QStringList{"point 70,31", "unmark"};
    QTest::newRow("no point for a rectangle") << QStringList{rect} << QList<int>{0} << -1 << 1.0 << right << false
                                              << Points{{200, 200}} << false << QStringList{"10,20,110,70"}
                                              << QString() << QStringList{"unmark"};
    QTest::newRow("painted handle") << QStringList{poly} << QList<int>{0} << 2 << 1.0 << left << false
                                    << Points{{50, 10}, {60.7, 20.2}} << true << QStringList{"10,10,60,20,30,40"}
                                    << QStringLiteral("Form ändern")
                                    << QStringList{"hold", "preview 0 10,10,60,20,30,40", "redraw", "handles, 2 held",
                                                   "follow", "end preview", "unmark", "redraw+code", "unmark"};
    QTest::newRow("right press on a painted handle") << QStringList{poly} << QList<int>{0} << 2 << 1.0 << right
                                                     << false << Points{{50, 10}} << true
                                                     << QStringList{"10,10,50,10,30,40"} << QString()
                                                     << QStringList{"unmark"};
    QTest::newRow("body") << QStringList{rect} << QList<int>() << -1 << 1.0 << left << false
                          << Points{{50.5, 40.5}, {60.5, 45.9}} << true << QStringList{"20,25,120,75"}
                          << QStringLiteral("Areal verschieben")
                          << QStringList{"select 0", "hold", "preview 0 20,25,120,75", "redraw", "handles, 0 held",
                                         "follow", "end preview", "unmark", "redraw+code", "unmark"};
    QTest::newRow("a click on the body") << QStringList{rect} << QList<int>() << -1 << 1.0 << left << false
                                         << Points{{50.5, 40.5}, {51.2, 40.9}} << true << QStringList{"10,20,110,70"}
                                         << QString() << QStringList{"select 0", "hold", "follow", "unmark", "unmark"};
    const QString other = line("rect", "200,20,250,70");
    QTest::newRow("several") << QStringList{rect, other} << QList<int>{0, 1} << -1 << 1.0 << left << false
                             << Points{{50.5, 40.5}, {60.5, 40.5}} << true
                             << QStringList{"20,20,120,70", "210,20,260,70"} << QStringLiteral("Areale verschieben")
                             << QStringList{"snap 10,20,110,70 by 2 of 10", "moved 2 rows by 10,0", "end moved",
                                            "several 0,1 at 1", "unmark"};
    // A click on one of several returns to that one alone.
    QTest::newRow("a click on one of several")
        << QStringList{rect, other} << QList<int>{0, 1} << -1 << 1.0 << left << false << Points{{50.5, 40.5}}
        << true << QStringList{"10,20,110,70", "200,20,250,70"} << QString()
        << QStringList{"end moved, redraw", "select 0", "unmark"};
}

// The press chooses what the pointer does; the document changes at most
// once, at the release, or at the press for a point put in or added.
void TestTools::editToolPress()
{
    QFETCH(QStringList, areas);
    QFETCH(QList<int>, selected);
    QFETCH(int, painted);
    QFETCH(double, zoom);
    QFETCH(int, button);
    QFETCH(bool, control);
    QFETCH(QList<QPointF>, points);
    QFETCH(bool, held);
    QFETCH(QStringList, coords);
    QFETCH(QString, undoText);
    QFETCH(QStringList, calls);
    FakeContext context;
    for (const QString& area : areas)
        context.doc.areas().append(area);
    if (!selected.isEmpty()) {
        context.doc.selectRows(selected, selected.last());
        context.handles = placesOf(areas[selected.last()]);
    }
    context.paintedUnderPointer = painted;
    context.zoom = zoom;
    EditTool tool(context);
    QCOMPARE(tool.press(Qt::MouseButton(button), points.first(), control), held);
    QCOMPARE(tool.busy(), held && button == Qt::LeftButton);
    for (const QPointF& at : points.mid(1)) {
        tool.move(Qt::LeftButton, at);
        QCOMPARE(context.doc.areas().lines().toStringList(), areas); // nothing changes before the release
    }
    tool.release(Qt::MouseButton(button), points.last());
    QVERIFY(!tool.busy());
    QStringList after;
    for (const QString& l : context.doc.areas().lines().toStringList())
        after << entry::coordsOf(l);
    QCOMPARE(after, coords);
    QCOMPARE(context.doc.history().count(), undoText.isEmpty() ? 0 : 1);
    if (!undoText.isEmpty()) {
        QCOMPARE(context.doc.history().text(0), undoText);
        context.doc.undo();
        QCOMPARE(context.doc.areas().lines().toStringList(), areas);
    }
    QCOMPARE(context.calls, calls);
}

void TestTools::editToolBand_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QList<QPointF>>("points"); // the press, then the moves; the release at the last
    QTest::addColumn<QList<int>>("chosen");
    QTest::addColumn<QStringList>("calls");
    using Points = QList<QPointF>;
    QTest::newRow("two inside") << 1.0 << Points{{5, 5}, {30, 30}, {60, 60}} << QList<int>{0, 1}
                                << QStringList{"end band", "band 5,5 25x25", "band 5,5 55x55", "end band",
                                               "several 0,1 at 0", "unmark"};
    QTest::newRow("backwards") << 1.0 << Points{{60, 60}, {5.5, 5.5}} << QList<int>{0, 1}
                               << QStringList{"end band", "band 5,5 55x55", "end band", "several 0,1 at 0", "unmark"};
    QTest::newRow("none inside") << 1.0 << Points{{70, 5}, {90, 30}} << QList<int>{2}
                                 << QStringList{"end band", "band 70,5 20x25", "end band", "unmark"};
    QTest::newRow("a click draws no band") << 1.0 << Points{{70, 5}} << QList<int>{2}
                                           << QStringList{"end band", "unmark"};
    // The band shows whole screen pixels; what it shows is what it chooses:
    // at 300 % its edge at 19.9 lies on screen pixel 60, which is picture pixel 20.
    QTest::newRow("whole screen pixels") << 3.0 << Points{{5, 5}, {19.9, 19.9}} << QList<int>{0}
                                         << QStringList{"end band", "band 15,15 45x45", "end band", "several 0 at 0",
                                                        "unmark"};
}

void TestTools::editToolBand()
{
    QFETCH(double, zoom);
    QFETCH(QList<QPointF>, points);
    QFETCH(QList<int>, chosen);
    QFETCH(QStringList, calls);
    FakeContext context;
    const QStringList areas{line("rect", "10,10,20,20"), line("circle", "40,40,5"),
                            line("poly", "100,100,120,100,110,120")};
    for (const QString& area : areas)
        context.doc.areas().append(area);
    context.doc.select(2);
    context.zoom = zoom;
    EditTool tool(context);
    QVERIFY(tool.press(Qt::LeftButton, points.first(), false));
    for (const QPointF& at : points.mid(1))
        tool.move(Qt::LeftButton, at);
    QCOMPARE(tool.band().has_value(), points.size() > 1);
    tool.release(Qt::LeftButton, points.last());
    QVERIFY(!tool.busy() && !tool.band());
    QCOMPARE(context.doc.selectedRows(), chosen);
    QCOMPARE(context.doc.history().count(), 0);
    QCOMPARE(context.calls, calls);
}

void TestTools::escapeDropsInteraction_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("calls"); // from the Escape on
    QTest::newRow("handle") << QStringLiteral("handle")
                            << QStringList{"let go", "unmark", "follow", "end preview", "unmark", "show selection"};
    QTest::newRow("body") << QStringLiteral("body")
                          << QStringList{"let go", "unmark", "follow", "end preview", "unmark", "show selection"};
    QTest::newRow("several") << QStringLiteral("several")
                             << QStringList{"let go", "unmark", "end moved, redraw", "show selection"};
    QTest::newRow("band") << QStringLiteral("band") << QStringList{"let go", "unmark", "end band"};
}

// Keys during an interaction go to it: Escape drops it without a step, a
// modifier passes, any other key waits on the canvas (and in the list, but
// for a handle's drag, which a line chosen there ends).
void TestTools::escapeDropsInteraction()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, calls);
    FakeContext context;
    const QStringList areas{line("rect", "10,20,110,70"), line("poly", "200,10,250,10,230,40")};
    for (const QString& area : areas)
        context.doc.areas().append(area);
    context.doc.selectRows(kind == QLatin1String("several") ? QList<int>{0, 1} : QList<int>{1}, 1);
    context.handles = placesOf(areas[1]);
    EditTool tool(context);
    QVERIFY(!tool.key(Qt::Key_Escape, true)); // nothing runs yet
    if (kind == QLatin1String("handle")) {
        tool.pressHandle(2);
        tool.dragHandle(2, QPoint(240, 60));
    } else {
        const QPointF at = kind == QLatin1String("band") ? QPointF(150, 150) : QPointF(230, 15);
        QVERIFY(tool.press(Qt::LeftButton, at, false));
        tool.move(Qt::LeftButton, at + QPointF(20, 20));
    }
    QVERIFY(tool.busy());
    QVERIFY(tool.key(Qt::Key_A, true));
    QCOMPARE(tool.key(Qt::Key_Delete, false), kind != QLatin1String("handle") && kind != QLatin1String("body"));
    QVERIFY(!tool.key(Qt::Key_Alt, true));
    const qsizetype before = context.calls.size();
    QVERIFY(tool.key(Qt::Key_Escape, true));
    QCOMPARE(context.calls.mid(before), calls);
    QVERIFY(!tool.busy());
    QCOMPARE(context.doc.areas().lines().toStringList(), areas);
    QCOMPARE(context.doc.history().count(), 0);
    // The release that follows does nothing more.
    tool.release(Qt::LeftButton, QPointF(1, 1));
    QCOMPARE(context.doc.history().count(), 0);
}

QTEST_GUILESS_MAIN(TestTools)
#include "tst_tools.moc"
