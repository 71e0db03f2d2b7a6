// Shape work on the real canvas: which area lies on top, the points of a
// polygon; each change one step, undone and redone.
#include "app/MainWindow.h"
#include "app/ZoomControls.h"
#include "canvas/AreaRenderer.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "model/AreaEntry.h"
#include "support/BlankPicture.h"
#include "support/Menus.h"
#include "support/Rows.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QRadioButton>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace korvane;
using korvane::test::menuShownBy;

namespace {

QString area(const QString& shape, const QString& coords)
{
    return " " + shape + "                    |" + coords + "|" + shape + ".html|a|*|*|*|*";
}

// Three rectangles that all cover (50, 50); the first one is followed there.
const QString kA = area("rect", "10,10,100,100");
const QString kB = area("rect", "20,20,110,110");
const QString kC = area("rect", "30,30,120,120");
const QString kTriangle = area("poly", "10,10,50,10,30,40");
const QString kSquare = area("poly", "100,100,200,100,200,200,100,200");

// The editor on the white picture in edit mode with these lines.
struct Window : korvane::test::BlankEditor {
    explicit Window(const QStringList& lines)
    {
        w.areas().setLines(lines);
        w.ui.Option1[3]->setEnabled(true);
        w.ui.Option1[3]->click();
        w.setSelectedIndex(-1);
    }
    QPoint at(QPointF p)
    {
        const double z = canvas()->zoomFactor();
        return QPoint(qRound(p.x() * z), qRound(p.y() * z));
    }
    void key(int key, Qt::KeyboardModifiers modifiers = {}, QWidget* on = nullptr)
    {
        QTest::keyClick(on ? on : canvas(), Qt::Key(key), modifiers);
    }
    void zoom(int percent)
    {
        key(Qt::Key_0, Qt::ControlModifier, &w);
        while (canvas()->zoomPercent() != percent)
            key(percent > 100 ? Qt::Key_Plus : Qt::Key_Minus, Qt::ControlModifier, &w);
    }
    void press(QPointF picturePoint, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(canvas(), Qt::LeftButton, modifiers, at(picturePoint));
    }
    // A right click as the window system gives it: press, menu request, release.
    // The list's release goes to the menu that its press opened.
    QStringList rightClick(QWidget* on, QPoint where, int choose = -1)
    {
        return menuShownBy(
            [&] {
                QPointer<QWidget> target = on;
                QTest::mousePress(on, Qt::RightButton, {}, where);
                QContextMenuEvent click(QContextMenuEvent::Mouse, where, on->mapToGlobal(where));
                QApplication::sendEvent(on, &click);
                if (target && target->isVisible() && on != w.ui.List1->viewport())
                    QTest::mouseRelease(on, Qt::RightButton, {}, where);
            },
            choose);
    }
    QString coords(int row = 0) { return entry::coordsOf(w.areas().line(row)); }
    // The undo keys are the active window's: after a menu closed, the window
    // becomes active again only later.
    void activate()
    {
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        canvas()->setFocus();
    }
    // Ctrl+Z until nothing is left.
    void undoAll()
    {
        activate();
        for (int i = 0; i < 10 && w.document().history().canUndo(); ++i)
            key(Qt::Key_Z, Qt::ControlModifier);
    }
    // Where each line's coordinates stand in the code: the code's order.
    QStringList codeOrder()
    {
        QList<std::pair<qsizetype, QString>> found;
        for (const QString& line : w.areas().lines())
            found.append({w.mapCode().indexOf("coords=\"" + entry::coordsOf(line) + "\""), line});
        std::sort(found.begin(), found.end());
        QStringList order;
        for (const auto& [at, line] : found)
            order << (at < 0 ? QStringLiteral("missing") : line);
        return order;
    }
};

} // namespace

class TestShapes : public QObject {
    Q_OBJECT
private slots:
    void stackingOrder_data();
    void stackingOrder();
    void pointRemoved_data();
    void pointRemoved();
    void pointInserted_data();
    void pointInserted();
    void choosingSeveral_data();
    void choosingSeveral();
    void severalTogether_data();
    void severalTogether();
    void severalDraggedOverThePicture_data();
    void severalDraggedOverThePicture();
    void clipboardBetweenWindows_data();
    void clipboardBetweenWindows();
};

void TestShapes::stackingOrder_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("how"); // a key on the canvas, or a menu of "canvas" or "list" and its entry
    QTest::addColumn<int>("what");    // the key, or the entry's index
    QTest::addColumn<QStringList>("after");
    using korvane::test::row;
    // Undo, redo and a separator come before the entries.
    const int forward = 3, backward = 4, front = 5, back = 6;
    row("Page Up", 2, "key", int(Qt::Key_PageUp), QStringList{kA, kC, kB});
    row("Page Down", 0, "key", int(Qt::Key_PageDown), QStringList{kB, kA, kC});
    row("Home", 2, "key", int(Qt::Key_Home), QStringList{kC, kA, kB});
    row("End", 0, "key", int(Qt::Key_End), QStringList{kB, kC, kA});
    row("Page Up on the first: no step", 0, "key", int(Qt::Key_PageUp), QStringList{kA, kB, kC});
    row("End on the last: no step", 2, "key", int(Qt::Key_End), QStringList{kA, kB, kC});
    row("canvas menu: Nach vorne", 1, "canvas", forward, QStringList{kB, kA, kC});
    row("canvas menu: Ganz nach hinten", 0, "canvas", back, QStringList{kB, kC, kA});
    row("list menu: Nach hinten", 1, "list", backward, QStringList{kA, kC, kB});
    row("list menu: Ganz nach vorne", 2, "list", front, QStringList{kC, kA, kB});
}

// List, canvas and code follow the new order; a press where the areas overlap
// chooses the one now first; the moved area stays chosen; one step.
void TestShapes::stackingOrder()
{
    QFETCH(int, selected);
    QFETCH(QString, how);
    QFETCH(int, what);
    QFETCH(QStringList, after);
    const QStringList before{kA, kB, kC};
    Window e(before);
    e.w.setSelectedIndex(selected);
    e.canvas()->setFocus();
    const QString moved = before[selected];
    if (how == "key") {
        e.key(what);
    } else {
        QWidget* on = how == "canvas" ? static_cast<QWidget*>(e.canvas()) : e.w.ui.List1->viewport();
        const QPoint where = how == "canvas" ? e.at(QPoint(300, 250)) : e.rowCentre(selected);
        const QStringList entries = e.rightClick(on, where, what);
        QStringList expected{"Rückgängig (aus)",
                             "Wiederherstellen (aus)",
                             "",
                             "Nach vorne" + QString(selected == 0 ? " (aus)" : ""),
                             "Nach hinten" + QString(selected == 2 ? " (aus)" : ""),
                             "Ganz nach vorne" + QString(selected == 0 ? " (aus)" : ""),
                             "Ganz nach hinten" + QString(selected == 2 ? " (aus)" : ""),
                             "Ausrichten (aus)"};
        if (how == "list")
            expected << "Arealtabelle..."; // the list's own entry comes last
        else
            expected << ""
                     << "Einrasten"
                     << "Rastergröße..."; // the canvas's own entries come last

        QCOMPARE(entries, expected);
    }
    QCOMPARE(e.w.areas().lines(), after);
    QCOMPARE(e.codeOrder(), after);
    QCOMPARE(e.w.areas().line(e.w.selectedIndex()), moved);
    QCOMPARE(e.w.handles().anchor()->isVisible(), true);
    e.press(QPoint(50, 50));
    QCOMPARE(e.w.selectedIndex(), 0);
    QCOMPARE(e.w.areas().line(0), after[0]);
    const bool changed = after != before;
    QCOMPARE(e.w.document().history().count(), changed ? 1 : 0);
    if (!changed)
        return;
    QCOMPARE(e.w.document().history().undoText(), QStringLiteral("Reihenfolge ändern"));
    e.activate();
    e.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.w.areas().lines(), before);
    QCOMPARE(e.codeOrder(), before);
    QCOMPARE(e.w.areas().line(e.w.selectedIndex()), moved);
    e.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(e.w.areas().lines(), after);
    QCOMPARE(e.codeOrder(), after);
}

void TestShapes::pointRemoved_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("handle");
    QTest::addColumn<bool>("byKey"); // Delete with the pointer on the handle, else the handle's menu
    QTest::addColumn<QString>("coords");
    using korvane::test::row;
    row("menu, first point", kSquare, 1, false, "200,100,200,200,100,200");
    row("menu, last point", kSquare, 4, false, "100,100,200,100,200,200");
    row("Delete, a middle point", kSquare, 2, true, "100,100,200,200,100,200");
    row("menu, three points stay", kTriangle, 2, false, "10,10,50,10,30,40");
    row("Delete, three points stay", kTriangle, 2, true, "10,10,50,10,30,40");
}

// The point goes, the others keep their places, the handles follow; a
// polygon of three keeps them all and Delete asks nothing about the area.
void TestShapes::pointRemoved()
{
    QFETCH(QString, line);
    QFETCH(int, handle);
    QFETCH(bool, byKey);
    QFETCH(QString, coords);
    Window e({line, kA});
    e.w.setSelectedIndex(0);
    const int handlesBefore = e.w.handles().count();
    HandleWidget* h = e.w.handles().handle(handle);
    const bool removable = coords != entry::coordsOf(line);
    if (byKey) {
        e.canvas()->setFocus();
        QTest::mouseMove(h, QPoint(2, 2));
        e.key(Qt::Key_Delete);
        QVERIFY(e.platform.boxes.isEmpty());
    } else {
        const QStringList entries = e.rightClick(h, QPoint(2, 2), 0);
        QCOMPARE(entries, QStringList{removable ? "Punkt entfernen" : "Punkt entfernen (aus)"});
    }
    QCOMPARE(e.coords(), coords);
    QCOMPARE(e.w.areas().count(), 2);
    QVERIFY(e.w.mapCode().contains("coords=\"" + coords + "\""));
    QCOMPARE(e.w.selectedIndex(), 0);
    QCOMPARE(e.w.handles().count(), handlesBefore - (removable ? 1 : 0));
    QCOMPARE(e.w.document().history().count(), removable ? 1 : 0);
    if (!removable)
        return;
    QCOMPARE(e.w.document().history().undoText(), QStringLiteral("Punkt entfernen"));
    e.activate();
    e.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.w.areas().lines(), QStringList({line, kA}));
    QCOMPARE(e.w.handles().count(), handlesBefore);
    e.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(e.coords(), coords);
}

void TestShapes::pointInserted_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QString>("coords"); // unchanged: nothing inserted
    using korvane::test::row;
    const QString same = entry::coordsOf(kTriangle);
    row("on the first edge", 100, QPointF(30, 10), "10,10,30,10,50,10,30,40");
    row("near the first edge", 100, QPointF(30, 15), "10,10,30,15,50,10,30,40");
    row("on the closing edge", 100, QPointF(20, 25), "10,10,50,10,30,40,20,25");
    row("too far at 100 %", 100, QPointF(30, 3), same);
    row("near at 400 %", 400, QPointF(30, 11.25), "10,10,30,11,50,10,30,40");
    row("too far at 400 %", 400, QPointF(30, 8), same);
}

// Ctrl + left click within six screen pixels of an edge of the selected
// polygon puts a point there, between the edge's ends: one step. Farther
// out, on empty canvas, it changes nothing.
void TestShapes::pointInserted()
{
    QFETCH(int, zoom);
    QFETCH(QPointF, point);
    QFETCH(QString, coords);
    Window e({kTriangle});
    e.w.setSelectedIndex(0);
    e.zoom(zoom);
    e.press(point, Qt::ControlModifier);
    QCOMPARE(e.coords(), coords);
    const bool inserted = coords != entry::coordsOf(kTriangle);
    QCOMPARE(e.w.document().history().count(), inserted ? 1 : 0);
    QCOMPARE(e.w.selectedIndex(), 0);
    QCOMPARE(e.w.handles().count(), 1 + coords.count(',') / 2 + 1);
    if (!inserted)
        return;
    QVERIFY(e.w.mapCode().contains("coords=\"" + coords + "\""));
    QCOMPARE(e.w.document().history().undoText(), QStringLiteral("Punkt einfügen"));
    e.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.w.areas().lines(), QStringList{kTriangle});
    e.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(e.coords(), coords);
}

namespace {

// Four areas apart from each other: R1, R2, R3 and a circle.
const QString kR1 = area("rect", "10,10,50,40");
const QString kR2 = area("rect", "100,20,160,100");
const QString kR3 = area("rect", "200,50,220,60");
const QString kCircle = area("circle", "300,200,20");
const QStringList kFour{kR1, kR2, kR3, kCircle};

QList<int> listSelection(Window& e)
{
    QList<int> rows;
    for (const QModelIndex& index : e.w.ui.List1->selectionModel()->selectedIndexes())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The entry of the "Ausrichten" submenu chosen through the canvas's context menu.
void chooseAlignment(Window& e, int entry)
{
    QTimer poll;
    int stage = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        if (stage == 0 && menu->objectName() == "undoMenu") {
            const QList<QAction*> entries = menu->actions();
            menu->setActiveAction(
                *std::find_if(entries.begin(), entries.end(), [](QAction* a) { return a->text() == "Ausrichten"; }));
            QTest::keyClick(menu, Qt::Key_Right);
            stage = 1;
        } else if (stage == 1 && menu->objectName() == "alignMenu") {
            menu->setActiveAction(menu->actions().at(entry));
            QTest::keyClick(menu, Qt::Key_Return);
            stage = 2;
        }
    });
    poll.start(10);
    const QPoint where = e.at(QPoint(380, 280));
    QTest::mousePress(e.canvas(), Qt::RightButton, {}, where);
    QContextMenuEvent click(QContextMenuEvent::Mouse, where, e.canvas()->mapToGlobal(where));
    QApplication::sendEvent(e.canvas(), &click);
    QTest::mouseRelease(e.canvas(), Qt::RightButton, {}, where);
    QCOMPARE(stage, 2);
}

// R1, then the circle and R2 added with Ctrl + click: R2 chosen last.
void chooseThree(Window& e)
{
    e.press(QPoint(30, 25));
    e.press(QPoint(300, 200), Qt::ControlModifier);
    e.press(QPoint(130, 60), Qt::ControlModifier);
}

} // namespace

void TestShapes::choosingSeveral_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<int>("current");
    QTest::addColumn<QPoint>("handle"); // handle 1 of the current one
    QTest::newRow("Ctrl + click on the canvas") << "canvas" << QList<int>{0, 1, 3} << 1 << QPoint(95, 15);
    QTest::newRow("Ctrl + click in the list") << "list" << QList<int>{0, 1, 3} << 1 << QPoint(95, 15);
    QTest::newRow("Ctrl + click takes one out") << "toggle" << QList<int>{0, 3} << 3 << QPoint(298, 198);
    QTest::newRow("rubber band") << "band" << QList<int>{0, 1} << 0 << QPoint(5, 5);
    QTest::newRow("Ctrl+A on the canvas") << "all canvas" << QList<int>{0, 1, 2, 3} << 2 << QPoint(195, 45);
    QTest::newRow("Ctrl+A in the list") << "all list" << QList<int>{0, 1, 2, 3} << 2 << QPoint(195, 45);
}

// The list shows the selection, the area chosen last has the handles, the
// others the yellow highlight; a plain click returns to one area.
void TestShapes::choosingSeveral()
{
    QFETCH(QString, how);
    QFETCH(QList<int>, rows);
    QFETCH(int, current);
    QFETCH(QPoint, handle);
    Window e(kFour);
    if (how == "canvas" || how == "toggle") {
        chooseThree(e);
        if (how == "toggle")
            e.press(QPoint(130, 60), Qt::ControlModifier);
    } else if (how == "list") {
        e.clickRow(0);
        for (int row : {3, 1})
            QTest::mouseClick(e.w.ui.List1->viewport(), Qt::LeftButton, Qt::ControlModifier, e.rowCentre(row));
    } else if (how == "band") {
        e.press(QPoint(210, 55));
        QTest::mousePress(e.canvas(), Qt::LeftButton, {}, e.at(QPoint(5, 5)));
        QTest::mouseMove(e.canvas(), e.at(QPoint(80, 50)));
        QTest::mouseMove(e.canvas(), e.at(QPoint(170, 110)));
        QTest::mouseRelease(e.canvas(), Qt::LeftButton, {}, e.at(QPoint(170, 110)));
    } else {
        e.press(QPoint(210, 55));
        QWidget* on = how == "all canvas" ? static_cast<QWidget*>(e.canvas()) : e.w.ui.List1;
        e.key(Qt::Key_A, Qt::ControlModifier, on);
    }
    QCOMPARE(e.w.document().selectedRows(), rows);
    QCOMPARE(listSelection(e), rows);
    QCOMPARE(e.w.selectedIndex(), current);
    QCOMPARE(e.w.handles().handle(1)->place(), handle);
    QCOMPARE(e.w.areas().lines(), kFour);
    QCOMPARE(e.w.document().history().count(), 0);
    // An outline pixel of each area: yellow where selected.
    const QList<QPoint> outline{{30, 10}, {130, 20}, {210, 50}, {300, 180}};
    for (int row = 0; row < 4; ++row) {
        const QColor expected = rows.contains(row) ? QColor(Qt::yellow) : QColor(Qt::red);
        QCOMPARE(e.canvas()->image().pixelColor(outline[row]), expected);
    }
    e.press(QPoint(300, 200));
    QCOMPARE(e.w.document().selectedRows(), QList<int>{3});
    QCOMPARE(listSelection(e), QList<int>{3});
    for (int row = 0; row < 3; ++row)
        QCOMPARE(e.canvas()->image().pixelColor(outline[row]), QColor(Qt::red));
}

void TestShapes::severalTogether_data()
{
    QTest::addColumn<QString>("how"); // "drag", "keys", "Delete", "copy" or an alignment's index
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("step");
    using korvane::test::row;
    const auto r1 = [](const char* c) { return area("rect", c); };
    const auto c = [](const char* c) { return area("circle", c); };
    const auto r2 = [](const char* c) { return area("rect", c); };
    row("drag", "drag", QStringList{r1("20,15,60,45"), r2("110,25,170,105"), kR3, c("310,205,20")},
        "Areale verschieben");
    row("arrow keys", "keys", QStringList{r1("11,20,51,50"), r2("101,30,161,110"), kR3, c("301,210,20")},
        "Areale verschieben");
    row("Delete asks once", "Delete", QStringList{kR3}, "Areale löschen");
    row("copy copies all", "copy", QStringList{kR1, kR2, kR3, kCircle, kR1, kR2, kCircle}, "Areale kopieren");
    const char* aligned[][2] = {{"100,10,140,40", "120,200,20"}, {"120,10,160,40", "140,200,20"},
                                {"10,20,50,50", "300,40,20"},    {"10,70,50,100", "300,80,20"},
                                {"110,10,150,40", "130,200,20"}, {"10,45,50,75", "300,60,20"},
                                {"10,10,70,40", "310,200,30"},   {"10,10,50,90", "300,220,40"}};
    for (int i = 0; i < 8; ++i)
        QTest::addRow("align %d", i) << QString::number(i) << QStringList{r1(aligned[i][0]), kR2, kR3, c(aligned[i][1])}
                                     << "Areale ausrichten";
    row("distribute horizontally", "8", QStringList{kR1, r2("135,20,195,100"), kR3, kCircle}, "Areale ausrichten");
    row("distribute vertically", "9", QStringList{kR1, r2("100,72,160,152"), kR3, kCircle}, "Areale ausrichten");
}

// R1, R2 (chosen last) and the circle together: one step, undone and redone.
void TestShapes::severalTogether()
{
    QFETCH(QString, how);
    QFETCH(QStringList, after);
    QFETCH(QString, step);
    Window e(kFour);
    chooseThree(e);
    // The list, the canvas and the code follow each step as one change.
    QSignalSpy changed(&e.w.areas(), &AreaList::dataChanged);
    if (how == "drag") {
        QTest::mousePress(e.canvas(), Qt::LeftButton, {}, e.at(QPoint(30, 25)));
        QTest::mouseMove(e.canvas(), e.at(QPoint(35, 27)));
        QTest::mouseMove(e.canvas(), e.at(QPoint(40, 30)));
        QTest::mouseRelease(e.canvas(), Qt::LeftButton, {}, e.at(QPoint(40, 30)));
    } else if (how == "keys") {
        e.canvas()->setFocus();
        e.key(Qt::Key_Right);
        e.key(Qt::Key_Down, Qt::ShiftModifier);
    } else if (how == "Delete") {
        e.platform.answers.enqueue(MessageButton::Yes);
        e.key(Qt::Key_Delete);
        QCOMPARE(e.platform.texts(), QStringList{"Sollen die 3 ausgewählten Areale wirklich gelöscht werden?"});
    } else if (how == "copy") {
        e.w.ui.Command10->click();
        QCOMPARE(e.w.document().selectedRows(), (QList<int>{4, 5, 6}));
        QCOMPARE(e.w.selectedIndex(), 5);
    } else {
        chooseAlignment(e, how.toInt());
    }
    QCOMPARE(e.w.areas().lines(), after);
    for (const QString& line : after)
        QVERIFY(e.w.mapCode().contains("coords=\"" + entry::coordsOf(line) + "\""));
    QCOMPARE(e.w.document().history().count(), how == "keys" ? 2 : 1);
    QCOMPARE(e.w.document().history().undoText(), step);
    const bool sameCount = after.size() == kFour.size();
    QCOMPARE(changed.count(), sameCount ? e.w.document().history().count() : 0);
    e.activate();
    for (int i = e.w.document().history().count(); i > 0; --i)
        e.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.w.areas().lines(), kFour);
    QCOMPARE(changed.count(), sameCount ? 2 * e.w.document().history().count() : 0);
    while (e.w.document().history().canRedo())
        e.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(e.w.areas().lines(), after);
}

void TestShapes::severalDraggedOverThePicture_data()
{
    QTest::addColumn<int>("zoom");
    QTest::newRow("100 %") << 100;
    QTest::newRow("400 %") << 400;
}

// While several areas are dragged they are shown above the picture, out of
// it; after the release the canvas is what the same move by keys gives with
// redraws from scratch.
void TestShapes::severalDraggedOverThePicture()
{
    QFETCH(int, zoom);
    Window e(kFour), keys(kFour);
    keys.w.renderer().setIncremental(false);
    for (Window* w : {&e, &keys}) {
        chooseThree(*w);
        w->w.zoom().zoomTo(zoom, QPoint(0, 0)); // the keys would go to the active window only
    }
    QTest::mousePress(e.canvas(), Qt::LeftButton, {}, e.at(QPoint(30, 25)));
    QTest::mouseMove(e.canvas(), e.at(QPoint(30, 30)));
    QTest::mouseMove(e.canvas(), e.at(QPoint(31, 35)));
    QCOMPARE(e.w.areas().lines(), kFour);
    const QColor highlight(255, 255, 0);
    QCOMPARE(e.canvas()->image().pixelColor(30, 10), QColor(Qt::white)); // R1's top edge left the picture
    QCOMPARE(e.canvas()->grab().toImage().pixelColor(e.at(QPoint(30, 20))), highlight);
    QTest::mouseRelease(e.canvas(), Qt::LeftButton, {}, e.at(QPoint(31, 35)));
    QCOMPARE(e.canvas()->image().pixelColor(31, 20), highlight);
    keys.canvas()->setFocus();
    keys.key(Qt::Key_Right);
    keys.key(Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(e.w.areas().lines(), keys.w.areas().lines());
    QCOMPARE(e.canvas()->image(), keys.canvas()->image());
    // Chosen alone, R3 leaves the others to the picture's own drawing.
    for (Window* w : {&e, &keys})
        w->press(QPoint(210, 55));
    QCOMPARE(e.canvas()->image(), keys.canvas()->image());
}

void TestShapes::clipboardBetweenWindows_data()
{
    QTest::addColumn<bool>("cut");
    QTest::addColumn<bool>("fromList"); // the keys in the list, else on the canvas
    QTest::newRow("copy on the canvas") << false << false;
    QTest::newRow("cut in the list") << true << true;
}

// R1 and the circle go to a second editor with a smaller picture that holds
// R1 already: the copy of R1 moves 10 pixels, the circle onto the picture.
void TestShapes::clipboardBetweenWindows()
{
    QFETCH(bool, cut);
    QFETCH(bool, fromList);
    Window to({kR1});
    to.canvas()->setPicture(QImage(200, 150, QImage::Format_RGB32));
    to.w.layoutCanvas();
    Window from(kFour);
    from.press(QPoint(30, 25));
    from.press(QPoint(300, 200), Qt::ControlModifier);
    QWidget* on = fromList ? static_cast<QWidget*>(from.w.ui.List1) : from.canvas();
    from.key(cut ? Qt::Key_X : Qt::Key_C, Qt::ControlModifier, on);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(QString::fromUtf8(data->data("application/x-korvane-areas")), kR1 + "\r\n" + kCircle);
    const QString text = data->text();
    QVERIFY(text.contains("coords=\"10,10,50,40\"") && text.contains("coords=\"300,200,20\""));
    QVERIFY(!text.contains("coords=\"100,20,160,100\""));
    QCOMPARE(from.w.areas().lines(), cut ? QStringList({kR2, kR3}) : kFour);
    QCOMPARE(from.w.document().history().count(), cut ? 1 : 0);
    if (cut) {
        QCOMPARE(from.w.document().history().undoText(), QStringLiteral("Areale ausschneiden"));
        from.undoAll();
        QCOMPARE(from.w.areas().lines(), kFour);
    }
    to.key(Qt::Key_V, Qt::ControlModifier);
    const QStringList pasted{kR1, area("rect", "20,20,60,50"), area("circle", "180,130,20")};
    QCOMPARE(to.w.areas().lines(), pasted);
    QCOMPARE(to.w.document().selectedRows(), (QList<int>{1, 2}));
    QVERIFY(to.w.mapCode().contains("coords=\"180,130,20\""));
    QCOMPARE(to.w.document().history().undoText(), QStringLiteral("Areale einfügen"));
    to.undoAll();
    QCOMPARE(to.w.areas().lines(), QStringList{kR1});
    to.key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(to.w.areas().lines(), pasted);
}

QTEST_MAIN(TestShapes)
#include "tst_shapes.moc"
