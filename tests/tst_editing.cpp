// Editing that must hold whatever else the user does and however big the
// work: keys pressed while areas are dragged, polygons of many points, and
// areas pasted from another editor or from another program. The real window
// on the real canvas; every history is undone to its start and redone.
#include "app/MainWindow.h"
#include "app/ZoomControls.h"
#include "app/commands/AreaClipboard.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "model/AreaEntry.h"
#include "support/BlankPicture.h"
#include "support/Menus.h"
#include "support/Rows.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cmath>

using namespace korvane;
using korvane::test::row;

namespace {

QString area(const QString& shape, const QString& coords, const QString& rest = QStringLiteral("a|*|*|*|*"))
{
    return " " + shape + "                    |" + coords + "|" + shape + ".html|" + rest;
}

const QString kR1 = area("rect", "10,10,50,40");
const QString kR2 = area("rect", "100,20,160,100");
const QString kR3 = area("rect", "200,50,220,60");
const QString kCircle = area("circle", "300,200,20");

// A star of `points` points around (200, 150): tips 100 pixels out, notches 80.
QList<QPoint> starPoints(int points)
{
    QList<QPoint> star;
    for (int i = 0; i < points; ++i) {
        const double angle = 2 * M_PI * i / points, radius = i % 2 ? 80 : 100;
        star << QPoint(200 + qRound(radius * std::cos(angle)), 150 + qRound(radius * std::sin(angle)));
    }
    return star;
}

QString polygon(const QList<QPoint>& points)
{
    QList<int> values;
    for (const QPoint& p : points)
        values << p.x() << p.y();
    return area("poly", entry::coordinateText(values));
}

void putOnClipboard(const QStringList& lines)
{
    auto* data = new QMimeData;
    data->setData(AreaClipboard::kMimeType, lines.join("\r\n").toUtf8());
    QGuiApplication::clipboard()->setMimeData(data);
}

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
    void click(QPointF picturePoint, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(canvas(), Qt::LeftButton, modifiers, at(picturePoint));
    }
    // The pointer on `on` over a canvas point (the handles move under it).
    void moveTo(QWidget* on, QPoint canvasPoint) { QTest::mouseMove(on, on->mapFrom(canvas(), canvasPoint)); }
    // Ctrl+Z on the canvas until nothing is left: each step changes the
    // lines; then Ctrl+Y until nothing is left. The lines at the start.
    QStringList undoAndRedoAll()
    {
        // The keys are the active window's: after a menu closed, it becomes active again only later.
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w))
            return {"the window is not active"};
        canvas()->setFocus();
        QStringList start;
        for (int i = 0; i < 50 && w.document().history().canUndo(); ++i) {
            const QStringList before = w.areas().lines().toStringList();
            key(Qt::Key_Z, Qt::ControlModifier);
            if (w.areas().lines() == before)
                return {"a step that changes nothing"};
        }
        start = w.areas().lines().toStringList();
        while (w.document().history().canRedo())
            key(Qt::Key_Y, Qt::ControlModifier);
        return start;
    }
};

QList<int> listSelection(Window& e)
{
    QList<int> rows;
    for (const QModelIndex& index : e.w.ui.List1->selectionModel()->selectedIndexes())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

class TestEditing : public QObject {
    Q_OBJECT
private slots:
    void keysDuringDrag_data();
    void keysDuringDrag();
    void polygonOfManyPoints_data();
    void polygonOfManyPoints();
    void pasteFromOtherPrograms_data();
    void pasteFromOtherPrograms();
};

void TestEditing::keysDuringDrag_data()
{
    QTest::addColumn<QString>("drag");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("target"); // "canvas", "list", the copy button; a key of 0: a right click
    const struct {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{"Left", Qt::Key_Left, {}},
                {"Shift+Down", Qt::Key_Down, Qt::ShiftModifier},
                {"Page Up", Qt::Key_PageUp, {}},
                {"Page Down", Qt::Key_PageDown, {}},
                {"Home", Qt::Key_Home, {}},
                {"End", Qt::Key_End, {}},
                {"Delete", Qt::Key_Delete, {}},
                {"Tab", Qt::Key_Tab, {}},
                {"Ctrl+A", Qt::Key_A, Qt::ControlModifier},
                {"Ctrl+X", Qt::Key_X, Qt::ControlModifier},
                {"Ctrl+V", Qt::Key_V, Qt::ControlModifier},
                {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier},
                {"Ctrl+Y", Qt::Key_Y, Qt::ControlModifier},
                {"Escape", Qt::Key_Escape, {}}};
    const QString canvas = "canvas", list = "list";
    for (const char* drag : {"handle", "anchor", "body", "several", "band"}) {
        for (const auto& k : keys)
            QTest::addRow("%s, %s", drag, k.name) << drag << k.key << int(k.modifiers) << canvas;
        for (const auto& k : {keys[1], keys[6], keys[10], keys[13]}) // Down, Delete, Ctrl+V, Escape
            if (k.key != Qt::Key_Down || QByteArray(drag) == "several" || QByteArray(drag) == "band")
                QTest::addRow("%s, %s in the list", drag, k.name) << drag << k.key << int(k.modifiers) << list;
        QTest::addRow("%s, right click", drag) << drag << 0 << 0 << canvas;
    }
    // A change from elsewhere: the several areas stay where they were.
    QTest::addRow("several, copy by Space") << "several" << int(Qt::Key_Space) << 0 << "Command10";
}

// While a handle, an area's body, several areas or a band are held, no key
// changes the areas or the selection: the drag ends as one step of its own
// on the lines it began with. Escape puts everything back as before the
// press; the pointer's later moves and the release then do nothing.
void TestEditing::keysDuringDrag()
{
    QFETCH(QString, drag);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, target);
    Window e({kR1, kR2, kR3, kCircle});
    // Two steps first, the second undone: one for Ctrl+Z to take back, one for Ctrl+Y to repeat.
    e.click(QPoint(210, 55));
    e.canvas()->setFocus();
    e.key(Qt::Key_Right);
    e.key(Qt::Key_End);
    e.key(Qt::Key_Z, Qt::ControlModifier);
    const QString r3 = area("rect", "201,50,221,60");
    const QStringList ready{kR1, kR2, r3, kCircle};
    QCOMPARE(e.w.areas().lines(), ready);
    QCOMPARE(e.w.document().history().index(), 1);
    putOnClipboard({area("rect", "300,10,320,20")});
    e.platform.answers.enqueue(MessageButton::Yes); // for a question that must not come

    QStringList moved = ready;
    QString step = "Areal verschieben";
    QList<int> chosen{0};
    QWidget* held = e.canvas();
    QPoint from = e.at(QPoint(30, 25)), to = e.at(QPoint(40, 30)); // on the canvas
    if (drag == "several") {
        e.click(QPoint(30, 25));
        e.click(QPoint(300, 200), Qt::ControlModifier);
        e.click(QPoint(130, 60), Qt::ControlModifier);
        moved = {area("rect", "20,15,60,45"), area("rect", "110,25,170,105"), r3, area("circle", "310,205,20")};
        step = "Areale verschieben";
        chosen = {0, 1, 3};
    } else if (drag == "band") {
        from = e.at(QPoint(5, 5));
        to = e.at(QPoint(170, 110));
        step.clear();
        chosen = {0, 1};
    } else {
        e.click(QPoint(30, 25));
        moved[0] = area("rect", drag == "handle" ? "10,10,60,45" : "20,15,60,45");
        if (drag == "handle") {
            held = e.w.handles().handle(4);
            from = QPoint(50, 40);
            to = QPoint(60, 45);
            step = "Form ändern";
        } else if (drag == "anchor") {
            held = e.w.handles().anchor();
            from = held->geometry().topLeft(); // held at its corner, which follows the pointer
            to = from + QPoint(10, 5);
        }
    }
    const QList<int> chosenBefore = e.w.document().selectedRows();
    const QImage pictureBefore = e.canvas()->image();
    QTest::mousePress(held, Qt::LeftButton, {}, held->mapFrom(e.canvas(), from));
    e.moveTo(held, (from + to) / 2);

    const QPoint middle = (from + to) / 2;
    if (key == 0) {
        QTest::mousePress(held, Qt::RightButton, {}, held->mapFrom(e.canvas(), middle));
        QTest::mouseRelease(held, Qt::RightButton, {}, held->mapFrom(e.canvas(), middle));
    } else if (target == "Command10") {
        e.w.ui.Command10->setFocus();
        e.key(key, {}, e.w.ui.Command10);
        const QStringList copies{kR1, kR2, kCircle};
        moved = ready + copies;
        step = "Areale kopieren";
        chosen = {4, 5, 6};
    } else {
        QWidget* on = target == "list" ? static_cast<QWidget*>(e.w.ui.List1) : e.canvas();
        e.key(key, Qt::KeyboardModifiers(modifiers), on);
    }
    e.moveTo(held, to);
    QTest::mouseRelease(held, Qt::LeftButton, {}, held->mapFrom(e.canvas(), to));

    QVERIFY(e.platform.boxes.isEmpty());
    const bool cancelled = key == Qt::Key_Escape;
    QCOMPARE(e.w.areas().lines(), cancelled ? ready : moved);
    QCOMPARE(e.w.document().selectedRows(), cancelled ? chosenBefore : chosen);
    QCOMPARE(listSelection(e), e.w.document().selectedRows());
    for (const QString& line : e.w.areas().lines())
        QVERIFY(e.w.mapCode().contains("coords=\"" + entry::coordsOf(line) + "\""));
    const bool stepped = !cancelled && !step.isEmpty();
    QCOMPARE(e.w.document().history().index(), stepped ? 2 : 1);
    if (stepped)
        QCOMPARE(e.w.document().history().undoText(), step);
    if (cancelled)
        QCOMPARE(e.canvas()->image(), pictureBefore);
    const QStringList last = e.w.areas().lines().toStringList();
    QCOMPARE(e.undoAndRedoAll(), QStringList({kR1, kR2, kR3, kCircle}));
    if (stepped)
        QCOMPARE(e.w.areas().lines(), last);
}

void TestEditing::polygonOfManyPoints_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("vertex"); // the point acted on
    const QStringList actions{"drag a point", "Delete on a point", "menu on a point", "Ctrl+click on an edge",
                              "right click adds a point", "drag the anchor", "copy and paste"};
    for (const QString& action : actions)
        QTest::addRow("300 points, %s", qPrintable(action)) << 300 << 100 << action << 0;
    QTest::addRow("300 points at 200 %%, drag a point") << 300 << 200 << "drag a point" << 150;
    QTest::addRow("300 points at 200 %%, Delete on a point") << 300 << 200 << "Delete on a point" << 150;
    QTest::addRow("256 points keep their handle widgets") << 256 << 100 << "drag a point" << 0;
    QTest::addRow("50,000 points, copy and paste") << 50000 << 100 << "copy and paste" << 0;
    QTest::addRow("50,000 points, drag a point") << 50000 << 100 << "drag a point" << 0;
}

// A polygon of more than 256 points has its point handles painted on the
// canvas, where they show and act as the handle widgets of a smaller one
// do; every action is one step, undone and redone.
void TestEditing::polygonOfManyPoints()
{
    QFETCH(int, points);
    QFETCH(int, zoom);
    QFETCH(QString, action);
    QFETCH(int, vertex);
    const QList<QPoint> star = starPoints(points);
    const QString line = polygon(star);
    Window e({line});
    e.w.zoom().zoomTo(zoom, QPoint(0, 0));
    e.click(QPoint(200, 150)); // inside: chosen, nothing moved
    QCOMPARE(e.w.selectedIndex(), 0);
    const bool painted = points > EditHandles::kMostHandleWidgets;
    QCOMPARE(e.w.handles().count(), points + 1);
    QCOMPARE(e.w.handles().paintsPoints(), painted);
    QCOMPARE(e.w.handles().handle(1) == nullptr, painted);
    QCOMPARE(e.w.handles().placeOf(vertex + 1), star[vertex]);
    const QPoint onPoint = e.at(star[vertex]) + QPoint(2, 2); // inside its 5 x 5 handle
    QCOMPARE(e.canvas()->grab().toImage().pixelColor(onPoint), QColor(Qt::blue));
    QCOMPARE(e.w.document().history().count(), 0);
    // Where handles overlap, the one of the later point lies on top.
    for (int i = 0; i < points; ++i) {
        if (QRect(e.at(star[i]), QSize(5, 5)).contains(onPoint))
            vertex = i;
    }

    QList<QPoint> after = star;
    QStringList lines{line};
    QString step;
    if (action == "drag a point") {
        const QPoint to = e.at(star[vertex] + QPoint(20, 10));
        QWidget* on = painted ? static_cast<QWidget*>(e.canvas()) : e.w.handles().handle(vertex + 1);
        QTest::mousePress(on, Qt::LeftButton, {}, on->mapFrom(e.canvas(), onPoint));
        e.moveTo(on, (onPoint + to) / 2);
        e.moveTo(on, to);
        QTest::mouseRelease(on, Qt::LeftButton, {}, on->mapFrom(e.canvas(), to));
        after[vertex] = star[vertex] + QPoint(20, 10);
        step = "Form ändern";
    } else if (action == "Delete on a point") {
        QTest::mouseMove(e.canvas(), onPoint);
        e.key(Qt::Key_Delete);
        QVERIFY(e.platform.boxes.isEmpty());
        after.removeAt(vertex);
        step = "Punkt entfernen";
    } else if (action == "menu on a point") {
        const QStringList entries = korvane::test::menuShownBy(
            [&] {
                QTest::mousePress(e.canvas(), Qt::RightButton, {}, onPoint);
                QContextMenuEvent request(QContextMenuEvent::Mouse, onPoint, e.canvas()->mapToGlobal(onPoint));
                QApplication::sendEvent(e.canvas(), &request);
                QTest::mouseRelease(e.canvas(), Qt::RightButton, {}, onPoint);
            },
            0);
        QCOMPARE(entries, QStringList{"Punkt entfernen"});
        after.removeAt(vertex);
        step = "Punkt entfernen";
    } else if (action == "Ctrl+click on an edge") {
        e.click(QPoint(290, 151), Qt::ControlModifier); // between the first tip and the next notch
        after.insert(1, QPoint(290, 151));
        step = "Punkt einfügen";
    } else if (action == "right click adds a point") {
        QTest::mouseClick(e.canvas(), Qt::RightButton, {}, e.at(QPoint(200, 150)));
        after << QPoint(200, 150);
        step = "Punkt hinzufügen";
    } else if (action == "drag the anchor") {
        HandleWidget* anchor = e.w.handles().anchor();
        const QPoint corner = anchor->geometry().topLeft();
        QTest::mousePress(anchor, Qt::LeftButton, {}, QPoint(0, 0));
        e.moveTo(anchor, corner + QPoint(5, 3));
        e.moveTo(anchor, corner + QPoint(10, 5));
        QTest::mouseRelease(anchor, Qt::LeftButton, {}, QPoint(0, 0));
        for (QPoint& p : after)
            p += QPoint(10, 5);
        step = "Areal verschieben";
    } else {
        e.key(Qt::Key_C, Qt::ControlModifier);
        e.key(Qt::Key_V, Qt::ControlModifier);
        QList<QPoint> copy = star;
        for (QPoint& p : copy)
            p += QPoint(10, 10);
        lines << polygon(copy);
        QCOMPARE(e.w.selectedIndex(), 1);
        step = "Areale einfügen";
    }
    if (lines.size() == 1)
        lines[0] = polygon(after);
    QCOMPARE(e.w.areas().lines(), lines);
    QCOMPARE(e.w.document().history().count(), 1);
    QCOMPARE(e.w.document().history().undoText(), step);
    QVERIFY(e.w.mapCode().contains("coords=\"" + entry::coordsOf(lines.last()) + "\""));
    const int shown = int(entry::coordsOf(lines[e.w.selectedIndex()]).count(',') + 1) / 2;
    QCOMPARE(e.w.handles().count(), shown + 1);
    QCOMPARE(e.w.handles().paintsPoints(), shown > EditHandles::kMostHandleWidgets);
    QCOMPARE(e.undoAndRedoAll(), QStringList{line});
    QCOMPARE(e.w.areas().lines(), lines);
}

void TestEditing::pasteFromOtherPrograms_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("placed"); // the pasted line in the map
    const QString big = "2147483647", small = "-2147483648";
    row("the range of int", area("rect", small + "," + small + "," + big + "," + big), area("rect", "0,0,400,300"));
    row("eleven digits", area("rect", "99999999999,5,99999999999,20"), area("rect", "400,5,400,20"));
    row("a corner far up", area("rect", "10,10,50," + small), area("rect", "10,300,50,0"));
    row("a centre far right", area("circle", big + ",150,20"), area("circle", "380,150,20"));
    row("a radius beyond the picture", area("circle", "200,150,99999999999"), area("circle", "250,150,150"));
    row("a polygon over everything", area("poly", small + ",0," + big + ",0,0," + big),
        area("poly", "0,0,400,0,400,300"));
    row("a long way off, small enough", area("rect", "-5000000,-7000,-4999990,-6990"), area("rect", "0,0,10,10"));
    row("not a number stays", area("rect", "a,b,c,d"), area("rect", "a,b,c,d"));
    const QString ninth = area("rect", "10,10,50,40", "A|*|*|*|*") +
                          "|href=\"x.html\" ALT=\"B\" coords=\"1,2,3,4\" shape=\"circle\" id=\"k\" id=\"l\" "
                          "onClick=\"x()\" target=\"_top\" title=\"T\"";
    row("a ninth field with the fields' own attributes", ninth, ninth);
}

// Areas pasted as text another program put on the clipboard land on the
// picture whatever their numbers, and the code names each attribute once.
void TestEditing::pasteFromOtherPrograms()
{
    QFETCH(QString, pasted);
    QFETCH(QString, placed);
    Window e({kR1});
    putOnClipboard({pasted});
    e.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(e.w.areas().lines(), QStringList({kR1, placed}));
    QCOMPARE(e.w.document().history().undoText(), QStringLiteral("Areale einfügen"));
    const QString code = e.w.mapCode();
    const qsizetype start = code.indexOf("<area shape=\"rect\" alt=\"A\" coords=\"10,10,50,40\" href=\"rect.html\"");
    if (pasted.contains("ALT=")) {
        QVERIFY(start >= 0);
        const QString tag = code.mid(start, code.indexOf("/>", start) + 2 - start);
        QCOMPARE(tag, "<area shape=\"rect\" alt=\"A\" coords=\"10,10,50,40\" href=\"rect.html\" title=\"T\"  id=\"k\" />");
    }
    QCOMPARE(e.undoAndRedoAll(), QStringList{kR1});
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
