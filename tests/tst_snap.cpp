// Snapping on the real canvas: drawn points, a dragged handle, a dragged
// area and the arrow keys go to the picture's edges, another area's points
// and edges and the grid, at 100 % and at 400 %; Alt suspends it; off, as it
// starts, nothing changes; the choice is kept in Korvane.ini.
#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "app/commands/Snapping.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "model/AreaEntry.h"
#include "support/BlankPicture.h"
#include "support/Menus.h"
#include "support/Modal.h"
#include "support/Rows.h"
#include "support/SettingsFolder.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <optional>

using namespace korvane;
using korvane::test::row;

Q_DECLARE_METATYPE(std::optional<QPoint>)

namespace {

QString area(const QString& shape, const QString& coords)
{
    return " " + shape + "                    |" + coords + "|" + shape + ".html|a|*|*|*|*";
}

// The other area, whose corners and edges catch: a square in the middle.
const QString kOther = area("rect", "200,100,300,200");
constexpr std::optional<QPoint> kNoMark;

// A point inside a rectangle's line.
QPointF inside(const QString& rect)
{
    const QStringList c = entry::coordsOf(rect).split(',');
    return QPointF((c[0].toInt() + c[2].toInt()) / 2, (c[1].toInt() + c[3].toInt()) / 2);
}

struct Editor : korvane::test::BlankEditor {
    QPoint at(QPointF p)
    {
        const double z = canvas()->zoomFactor();
        return QPoint(qRound(p.x() * z), qRound(p.y() * z));
    }
    void zoom(int percent)
    {
        QTest::keyClick(&w, Qt::Key_0, Qt::ControlModifier);
        while (canvas()->zoomPercent() != percent)
            QTest::keyClick(&w, percent > 100 ? Qt::Key_Plus : Qt::Key_Minus, Qt::ControlModifier);
    }
    // Press, one move with the modifiers held, the mark seen then, release.
    std::optional<QPoint> drag(QWidget* on, QPoint from, QPointF to, Qt::KeyboardModifiers held)
    {
        QTest::mousePress(on, Qt::LeftButton, {}, from);
        QTest::mouseEvent(QTest::MouseMove, on, Qt::NoButton, held, on->mapFrom(canvas(), at(to)));
        const std::optional<QPoint> mark = canvas()->mark();
        QTest::mouseRelease(on, Qt::LeftButton, held, on->mapFrom(canvas(), at(to)));
        return mark;
    }
    QString lastCoords() { return entry::coordsOf(w.areas().line(w.areas().count() - 1)); }
};

} // namespace

class TestSnap : public QObject {
    Q_OBJECT
private slots:
    void snaps_data();
    void snaps();
    void keptInSettings_data();
    void keptInSettings();
};

void TestSnap::snaps_data()
{
    QTest::addColumn<QString>("gesture"); // rect, poly, handle, body, key, several or several key
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("grid");
    QTest::addColumn<QString>("moved"); // the area a handle, the body or a key moves
    QTest::addColumn<QPointF>("from");  // where a drag starts (a handle is pressed on itself)
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<QString>("how"); // on, alt (held during the gesture) or off
    QTest::addColumn<QString>("coords");
    QTest::addColumn<std::optional<QPoint>>("mark");
    const QString none;
    const QString a = area("rect", "20,20,80,60");
    const QPointF middle(50, 40); // inside a
    // Drawing a rectangle: its second corner snaps.
    row("rect, picture edge, 100 %", "rect", 100, 1000, none, QPointF(50, 50), QPointF(396, 150), "on", "50,50,400,150",
        std::optional(QPoint(400, 150)));
    row("rect, picture edge, 400 %", "rect", 400, 1000, none, QPointF(50, 50), QPointF(399, 150), "on", "50,50,400,150",
        std::optional(QPoint(400, 150)));
    row("rect, too far at 400 %", "rect", 400, 1000, none, QPointF(50, 50), QPointF(397, 150), "on", "50,50,397,150",
        kNoMark);
    row("rect, point, 100 %", "rect", 100, 1000, none, QPointF(50, 50), QPointF(204, 97), "on", "50,50,200,100",
        std::optional(QPoint(200, 100)));
    row("rect, point, Alt held", "rect", 100, 1000, none, QPointF(50, 50), QPointF(204, 97), "alt", "50,50,204,97",
        kNoMark);
    row("rect, point, off", "rect", 100, 1000, none, QPointF(50, 50), QPointF(204, 97), "off", "50,50,204,97", kNoMark);
    row("rect, grid, 400 %", "rect", 400, 25, none, QPointF(50, 50), QPointF(126, 149), "on", "50,50,125,150",
        std::optional(QPoint(125, 150)));
    // A polygon's points: the second click snaps.
    row("poly, edge, 100 %", "poly", 100, 1000, none, QPointF(50, 50), QPointF(203, 150), "on", "50,50,200,150,63,113",
        std::optional(QPoint(200, 150)));
    row("poly, edge, 400 %", "poly", 400, 1000, none, QPointF(50, 50), QPointF(201, 150), "on", "50,50,200,150,63,113",
        std::optional(QPoint(200, 150)));
    row("poly, grid, 100 %", "poly", 100, 25, none, QPointF(50, 50), QPointF(127, 148), "on", "50,50,125,150,63,113",
        std::optional(QPoint(125, 150)));
    // The handle of a rectangle's second corner, or of a polygon's first point.
    row("handle, point, 100 %", "handle", 100, 1000, a, QPointF(), QPointF(204, 97), "on", "20,20,200,100",
        std::optional(QPoint(200, 100)));
    row("handle, point, 400 %", "handle", 400, 1000, a, QPointF(), QPointF(201, 101), "on", "20,20,200,100",
        std::optional(QPoint(200, 100)));
    const QString triangle = area("poly", "20,20,80,20,50,60");
    row("handle, picture edge, Alt held", "handle", 100, 1000, triangle, QPointF(), QPointF(3, 4), "alt",
        "3,4,80,20,50,60", kNoMark);
    row("handle, picture edge, 100 %", "handle", 100, 1000, triangle, QPointF(), QPointF(3, 4), "on", "0,0,80,20,50,60",
        std::optional(QPoint(0, 0)));
    // A handle stops a pixel short of the far edges, so they do not catch it.
    row("handle, far picture edge", "handle", 100, 1000, a, QPointF(), QPointF(397, 297), "on", "20,20,397,297",
        kNoMark);
    // The whole area dragged by its body: its nearest corner snaps.
    row("body, point, 100 %", "body", 100, 1000, a, middle, middle + QPointF(123, 38), "on", "140,60,200,100",
        std::optional(QPoint(200, 100)));
    row("body, edge, 400 %", "body", 400, 1000, a, middle, middle + QPointF(119, 60), "on", "140,80,200,120",
        std::optional(QPoint(200, 120)));
    row("body, picture edge, 100 %", "body", 100, 1000, a, middle, middle + QPointF(317, 0), "on", "340,20,400,60",
        std::optional(QPoint(400, 20)));
    row("body, grid, 100 %", "body", 100, 25, a, middle, middle + QPointF(2, 3), "on", "25,25,85,65",
        std::optional(QPoint(25, 25)));
    row("body, grid, off", "body", 100, 25, a, middle, middle + QPointF(2, 3), "off", "22,23,82,63", kNoMark);
    // Two selected areas dragged by one of them, or moved by the keys: the one
    // held (chosen last) snaps, the other one (the last line) follows.
    row("several, point, 100 %", "several", 100, 1000, a, middle, middle + QPointF(123, 38), "on", "140,240,180,280",
        std::optional(QPoint(200, 100)));
    row("several, point, off", "several", 100, 1000, a, middle, middle + QPointF(123, 38), "off", "143,238,183,278",
        kNoMark);
    row("several, key, point", "several key", 100, 1000, area("rect", "150,60,195,98"), QPointF(), QPointF(), "on",
        "25,200,65,240", kNoMark);
    // The Right key: one pixel, then on to a target ahead within reach.
    row("key, point, 100 %", "key", 100, 1000, area("rect", "150,60,195,98"), QPointF(), QPointF(), "on",
        "155,60,200,98", kNoMark);
    row("key, point, 400 %", "key", 400, 1000, area("rect", "150,60,198,99"), QPointF(), QPointF(), "on",
        "152,60,200,99", kNoMark);
    row("key, edge, 100 %", "key", 100, 1000, area("rect", "150,120,195,160"), QPointF(), QPointF(), "on",
        "155,120,200,160", kNoMark);
    row("key, picture edge, 100 %", "key", 100, 1000, area("rect", "300,220,395,260"), QPointF(), QPointF(), "on",
        "305,220,400,260", kNoMark);
    row("key, grid, 100 %", "key", 100, 25, a, QPointF(), QPointF(), "on", "25,20,85,60", kNoMark);
    row("key, grid, Alt held", "key", 100, 25, a, QPointF(), QPointF(), "alt", "21,20,81,60", kNoMark);
    row("key, grid, off", "key", 100, 25, a, QPointF(), QPointF(), "off", "21,20,81,60", kNoMark);
}

// Snapping turned on with its key; each change one step, undone and redone.
void TestSnap::snaps()
{
    QFETCH(QString, gesture);
    QFETCH(int, zoom);
    QFETCH(int, grid);
    QFETCH(QString, moved);
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(QString, how);
    QFETCH(QString, coords);
    QFETCH(std::optional<QPoint>, mark);
    korvane::test::SettingsFolder settings;
    Editor e;
    const bool several = gesture.startsWith("several");
    QStringList lines{kOther};
    if (!moved.isEmpty())
        lines << moved;
    if (several)
        lines << area("rect", "20,200,60,240");
    e.w.areas().setLines(lines);
    QCOMPARE(e.w.state().snapOn, false);
    if (how != "off")
        QTest::keyClick(&e.w, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(e.w.state().snapOn, how != "off");
    e.w.snapping().setGrid(grid);
    e.zoom(zoom);
    const Qt::KeyboardModifiers held = how == "alt" ? Qt::AltModifier : Qt::NoModifier;
    const QStringList before = e.w.areas().lines().toStringList();
    std::optional<QPoint> seen;
    if (gesture == "rect" || gesture == "poly") {
        e.w.ui.Option1[gesture == "rect" ? 1 : 0]->click();
        if (gesture == "rect") {
            seen = e.drag(e.canvas(), e.at(from), to, held);
        } else {
            QTest::mouseClick(e.canvas(), Qt::LeftButton, held, e.at(from));
            QTest::mouseEvent(QTest::MouseMove, e.canvas(), Qt::NoButton, held, e.at(to));
            seen = e.canvas()->mark();
            QTest::mouseClick(e.canvas(), Qt::LeftButton, held, e.at(to));
            QTest::mouseClick(e.canvas(), Qt::LeftButton, held, e.at(QPointF(63, 113)));
            QTest::mouseClick(e.canvas(), Qt::RightButton, held, e.at(QPointF(63, 113)));
        }
        QCOMPARE(e.w.areas().count(), 2);
    } else {
        e.w.ui.Option1[3]->setEnabled(true);
        e.w.ui.Option1[3]->click();
        e.w.setSelectedIndex(1);
        if (several) {
            // The moved area chosen last, the other one first.
            QTest::mouseClick(e.canvas(), Qt::LeftButton, {}, e.at(QPointF(40, 220)));
            QTest::mouseClick(e.canvas(), Qt::LeftButton, Qt::ControlModifier, e.at(inside(moved)));
            QCOMPARE(e.w.document().selectedRows().size(), 2);
        }
        if (gesture == "handle") {
            HandleWidget* h = e.w.handles().handle(moved.startsWith(" poly") ? 1 : 4);
            seen = e.drag(h, QPoint(0, 0), to, held);
        } else if (gesture == "body" || gesture == "several") {
            seen = e.drag(e.canvas(), e.at(from), to, held);
        } else {
            e.canvas()->setFocus();
            QTest::keyClick(e.canvas(), Qt::Key_Right, held);
        }
    }
    QCOMPARE(e.lastCoords(), coords);
    QCOMPARE(seen, mark);
    QVERIFY(e.w.mapCode().contains("coords=\"" + coords + "\""));
    // The pointer rests where the rectangle ended; the polygon's last click caught nothing.
    QCOMPARE(e.canvas()->mark(), gesture == "rect" ? mark : kNoMark);
    QCOMPARE(e.w.areas().line(0), kOther);
    QCOMPARE(e.w.document().history().count(), 1);
    QTest::keyClick(e.canvas(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.w.areas().lines(), before);
    QTest::keyClick(e.canvas(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(e.lastCoords(), coords);
}

void TestSnap::keptInSettings_data()
{
    QTest::addColumn<QByteArray>("stored");  // the file before the run
    QTest::addColumn<bool>("toggle");        // "Einrasten" chosen in the canvas menu
    QTest::addColumn<QString>("gridAnswer"); // typed into "Rastergröße...", empty: not asked
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("grid");
    QTest::addColumn<QByteArray>("written"); // the section as written at the close, empty: none
    row("nothing chosen, nothing written", QByteArray(), false, QString(), false, 10, QByteArray());
    row("turned on", QByteArray(), true, QString(), true, 10, QByteArray("[Einrasten]\r\nAktiv=-1\r\nRaster=10\r\n"));
    row("grid asked", QByteArray(), false, QString("40"), false, 40,
        QByteArray("[Einrasten]\r\nAktiv=0\r\nRaster=40\r\n"));
    row("stored ones read", QByteArray("[Einrasten]\r\nAktiv=-1\r\nRaster=25\r\n"), false, QString(), true, 25,
        QByteArray("[Einrasten]\r\nAktiv=-1\r\nRaster=25\r\n"));
    row("stored on, turned off", QByteArray("[Einrasten]\r\nAktiv=-1\r\nRaster=25\r\n"), true, QString(), false, 25,
        QByteArray("[Einrasten]\r\nAktiv=0\r\nRaster=25\r\n"));
    row("a grid out of range stays", QByteArray("[Einrasten]\r\nAktiv=0\r\nRaster=5000\r\n"), false, QString(), false,
        10, QByteArray("[Einrasten]\r\nAktiv=0\r\nRaster=5000\r\n"));
}

// Read with the other settings, written at the close only when chosen in
// this run, in a section of its own.
void TestSnap::keptInSettings()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, toggle);
    QFETCH(QString, gridAnswer);
    QFETCH(bool, on);
    QFETCH(int, grid);
    QFETCH(QByteArray, written);
    korvane::test::SettingsFolder settings;
    const QString file = settingsFilePath();
    if (!stored.isEmpty()) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(stored);
    }
    {
        Editor e;
        e.w.ini_read();
        const auto chooseInMenu = [&](int entry) {
            const QPoint at = e.at(QPointF(380, 280));
            return korvane::test::menuShownBy(
                [&] {
                    QContextMenuEvent request(QContextMenuEvent::Keyboard, at, e.canvas()->mapToGlobal(at));
                    QApplication::sendEvent(e.canvas(), &request);
                },
                entry);
        };
        if (toggle) {
            const QStringList entries = chooseInMenu(3);
            QCOMPARE(entries.mid(2), QStringList({"", "Einrasten", "Rastergröße..."}));
        }
        if (!gridAnswer.isEmpty()) {
            QString title, label;
            korvane::test::whenModalOpens([&](QWidget* dialog) {
                title = dialog->windowTitle();
                label = dialog->findChild<QLabel*>()->text();
                auto* spin = dialog->findChild<QSpinBox*>();
                spin->setValue(gridAnswer.toInt());
                dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            });
            chooseInMenu(4);
            QCOMPARE(title, QStringLiteral("Rastergröße"));
            QCOMPARE(label, QStringLiteral("Rastergröße in Bildpunkten (1 bis 1000):"));
        }
        chooseInMenu(-1); // the entry shows the state as the menu opens
        QCOMPARE(e.w.state().snapOn, on);
        QCOMPARE(e.w.state().snapGrid, grid);
        QCOMPARE(e.w.snapping().toggleAction()->isChecked(), on);
        e.w.close();
    }
    QFile in(file);
    const QByteArray contents = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    const qsizetype section = contents.indexOf("[Einrasten]");
    if (written.isEmpty()) {
        QCOMPARE(section, -1);
        return;
    }
    QVERIFY(section >= 0);
    const qsizetype next = contents.indexOf("\r\n[", section);
    QCOMPARE(contents.mid(section, next < 0 ? -1 : next + 2 - section), written);
}

QTEST_MAIN(TestSnap)
#include "tst_snap.moc"
