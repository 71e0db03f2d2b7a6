#include "app/MainWindow.h"
#include "app/commands/DialogPlacement.h"
#include "support/BlankPicture.h"
#include "support/Modal.h"
#include "support/Rows.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <optional>

using namespace korvane;
using korvane::test::row;

class TestPlacement : public QObject {
    Q_OBJECT
private slots:
    void besideTheShape_data();
    void besideTheShape();
    void linkDialogLeavesNewShapeInSight_data();
    void linkDialogLeavesNewShapeInSight();
};

using Place = std::optional<QPoint>;
Q_DECLARE_METATYPE(Place)

void TestPlacement::besideTheShape_data()
{
    QTest::addColumn<QRect>("shape");
    QTest::addColumn<Place>("place");
    // A 300 x 200 dialog on a 1000 x 700 screen whose free area starts 30 pixels down.
    row("room on the right: beside the middle", QRect(100, 300, 50, 40), Place(QPoint(158, 219)));
    row("near the top: kept on the screen", QRect(100, 40, 50, 40), Place(QPoint(158, 30)));
    row("right edge: on the left", QRect(800, 300, 150, 40), Place(QPoint(492, 219)));
    row("wide shape: below", QRect(100, 100, 800, 100), Place(QPoint(349, 208)));
    row("wide and low: above", QRect(100, 450, 800, 200), Place(QPoint(349, 242)));
    row("no room anywhere", QRect(50, 60, 900, 600), Place());
    row("no shape", QRect(), Place());
}

void TestPlacement::besideTheShape()
{
    QFETCH(QRect, shape);
    QFETCH(Place, place);
    const QRect available(0, 30, 1000, 670);
    const Place found = besideShape(QSize(300, 200), shape, available);
    QCOMPARE(found, place);
    if (found) {
        QVERIFY(available.contains(QRect(*found, QSize(300, 200))));
        QVERIFY(!shape.intersects(QRect(*found, QSize(300, 200))));
    }
}

void TestPlacement::linkDialogLeavesNewShapeInSight_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    row("small rectangle at the left", QPoint(20, 20), QPoint(60, 50));
    row("rectangle at the right", QPoint(300, 200), QPoint(390, 290));
}

// The real dialog after a real drag: it opens where nothing of the new shape
// is covered, with its frame inside the screen's free area.
void TestPlacement::linkDialogLeavesNewShapeInSight()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    korvane::test::BlankEditor e;
    e.w.linkDialog = [&] { return e.w.runLinkDialog(); };
    const QRect shape(e.canvas()->mapToGlobal(from), e.canvas()->mapToGlobal(to));
    QRect dialogPlace;
    korvane::test::whenModalOpens([&](QWidget* dialog) {
        dialogPlace = dialog->frameGeometry();
        dialog->findChild<QPushButton*>("Command2")->click();
    });
    e.w.ui.Option1[1]->click();
    e.drag(e.canvas(), from, to);
    QCOMPARE(e.w.areas().count(), 1);
    QVERIFY(!dialogPlace.isNull());
    const QRect available = e.w.screen()->availableGeometry();
    const Place place = besideShape(dialogPlace.size(), shape, available);
    QVERIFY2(place, "the test screen leaves room beside the shape");
    QCOMPARE(dialogPlace.topLeft(), *place);
    QVERIFY2(!dialogPlace.intersects(shape), qPrintable(QStringLiteral("dialog %1,%2 %3x%4")
                                                            .arg(dialogPlace.x())
                                                            .arg(dialogPlace.y())
                                                            .arg(dialogPlace.width())
                                                            .arg(dialogPlace.height())));
    QVERIFY(available.contains(dialogPlace));
}

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
