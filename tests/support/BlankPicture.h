#pragma once

#include "app/MainWindow.h"
#include "canvas/Canvas.h"
#include "support/ScriptedPlatform.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QListView>
#include <QRadioButton>
#include <QTest>

namespace korvane::test {

// The editor as after opening the white 400 x 300 picture "/bilder/plan.png":
// the drawing tools and the drawing attributes are enabled.
inline void openBlankPicture(MainWindow& w)
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    w.document().setImagePath(QStringLiteral("/bilder/plan.png"));
    w.ui.Picture1->setPicture(image);
    w.layoutCanvas();
    for (int i = 0; i < 3; ++i)
        w.ui.Option1[i]->setEnabled(true);
    w.ui.Frame1->setEnabled(true);
    w.ui.Frame2->setEnabled(true);
    w.ui.chkGefuellt->setEnabled(true);
}

// The editor shown and active on the white picture, drawing in red; its link
// dialog accepts at once with the link "ziel.html".
struct BlankEditor {
    ScriptedPlatform& platform = installScriptedPlatform();
    MainWindow w;

    BlankEditor()
    {
        openBlankPicture(w);
        w.setDrawColor(Qt::red); // as the settings reader does before the first picture
        w.state().link.href = QStringLiteral("ziel.html");
        w.linkDialog = [] { return true; };
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
    Canvas* canvas() { return w.ui.Picture1; }
    QPoint rowCentre(int row) { return w.ui.List1->visualRect(w.areas().index(row)).center(); }
    void clickRow(int row) { QTest::mouseClick(w.ui.List1->viewport(), Qt::LeftButton, {}, rowCentre(row)); }
    // Presses `on` at `from`, moves through the middle to `end` (a point of
    // the canvas) and releases there. The pressed widget keeps the pointer
    // while it moves with the drag.
    void drag(QWidget* on, QPoint from, QPoint end)
    {
        const QPoint start = on->mapTo(canvas(), from);
        QTest::mousePress(on, Qt::LeftButton, {}, from);
        QTest::mouseMove(on, on->mapFrom(canvas(), (start + end) / 2));
        QTest::mouseMove(on, on->mapFrom(canvas(), end));
        QTest::mouseRelease(on, Qt::LeftButton, {}, on->mapFrom(canvas(), end));
    }
};

} // namespace korvane::test
