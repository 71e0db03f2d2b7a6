// Seeing the whole picture and where one stands: fit to window (also far
// below the smallest step), a big picture opened fitted, and the status line.
#include "app/MainWindow.h"
#include "app/ZoomControls.h"
#include "canvas/Canvas.h"
#include "canvas/ReducedPicture.h"
#include "canvas/Zoom.h"
#include "support/BlankPicture.h"
#include "support/Rows.h"
#include "support/SettingsFolder.h"

#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>

using namespace korvane;
using korvane::test::row;

namespace {

const QString kPad = QStringLiteral("                    |");

QString area(const QString& shape, const QString& coords)
{
    return " " + shape + kPad + coords + "|ziel.html|Ziel|*|*|*|*";
}

// A picture in four coloured quarters: red, green / blue, white.
QImage quarters(QSize size, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, QImage::Format_RGB32);
    const int w = size.width() / 2, h = size.height() / 2;
    image.fill(Qt::white);
    QPainter paint(&image);
    paint.fillRect(QRect(0, 0, w, h), Qt::red);
    paint.fillRect(QRect(w, 0, size.width() - w, h), Qt::green);
    paint.fillRect(QRect(0, h, w, size.height() - h), Qt::blue);
    paint.end();
    return image.convertToFormat(format);
}

QLabel* statusLabel(MainWindow& w, const char* name)
{
    return w.findChild<QLabel*>(QLatin1String(name));
}

// How the status line's row is reached.
enum class Step {
    Pointer,
    PointerGone,
    Rect,
    Circle,
    Poly,
    Two,
    MovedByKey,
    Count,
    AllDeleted,
    Zoomed,
    RectangleTool,
    EditMode,
    NoPicture
};

} // namespace

Q_DECLARE_METATYPE(Step)

class TestViewing : public QObject {
    Q_OBJECT
private slots:
    void fitFactor_data();
    void fitFactor();
    void zoomLabels_data();
    void zoomLabels();
    void reducedPicture_data();
    void reducedPicture();
    void reducedPictureMeans_data();
    void reducedPictureMeans();
    void reducedPictureOfEveryWidth_data();
    void reducedPictureOfEveryWidth();
    void reducedPicturePrepared_data();
    void reducedPicturePrepared();
    void bigPictureOpensFitted_data();
    void bigPictureOpensFitted();
    void statusLine_data();
    void statusLine();
};

void TestViewing::fitFactor_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("view");
    QTest::addColumn<double>("factor");
    row("a photo", QSize(6000, 4000), QSize(600, 450), 0.1);
    row("small: enlarged", QSize(400, 300), QSize(600, 450), 1.5);
    row("tiny: at most 800 %", QSize(10, 10), QSize(600, 450), 8.0);
    row("the largest square", QSize(10000, 10000), QSize(640, 480), 0.048);
    row("100 million pixels in a row", QSize(100000000, 1), QSize(500, 400), 0.000005);
    row("100 million pixels in a column", QSize(1, 100000000), QSize(500, 400), 0.000004);
    row("no view yet", QSize(400, 300), QSize(0, 0), 1.0);
}

// The whole picture in the view, the canvas's rounded-up size included.
void TestViewing::fitFactor()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, view);
    QFETCH(double, factor);
    const double found = zoom::fitFactor(picture, view);
    QVERIFY2(std::abs(found - factor) <= factor * 1e-9, qPrintable(QString::number(found, 'g', 17)));
    if (view.isEmpty())
        return;
    QVERIFY(std::ceil(picture.width() * found) <= view.width());
    QVERIFY(std::ceil(picture.height() * found) <= view.height());
}

void TestViewing::zoomLabels_data()
{
    QTest::addColumn<double>("factor");
    QTest::addColumn<QString>("text");
    row("a step", 2.0, QString("200 %"));
    row("a third", 1.0 / 3.0, QString("33 %"));
    row("fitted, whole percent", 0.123, QString("12 %"));
    row("fitted below ten", 0.048, QString("4,8 %"));
    row("fitted far below", 0.000005, QString("0,0005 %"));
}

void TestViewing::zoomLabels()
{
    QFETCH(double, factor);
    QFETCH(QString, text);
    QCOMPARE(zoom::labelTextOf(factor), text);
}

void TestViewing::reducedPicture_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<int>("halvings");
    QTest::addColumn<QSize>("reduced");
    row("halved once", QSize(8, 4), QImage::Format_RGB32, 1, QSize(4, 2));
    row("packed as a big picture is", QSize(64, 32), QImage::Format_RGB888, 3, QSize(8, 4));
    row("odd sides round up", QSize(10, 10), QImage::Format_RGB32, 2, QSize(3, 3));
    row("over several tiles", QSize(4096 + 64, 64), QImage::Format_RGB888, 5, QSize(130, 2));
    row("not halved", QSize(5, 3), QImage::Format_RGB32, 0, QSize(5, 3));
}

// Each pixel stands for its block: the quarters keep their colours.
void TestViewing::reducedPicture()
{
    QFETCH(QSize, size);
    QFETCH(QImage::Format, format);
    QFETCH(int, halvings);
    QFETCH(QSize, reduced);
    const QImage result = korvane::reducedPicture(quarters(size, format), halvings);
    QCOMPARE(result.size(), reduced);
    QCOMPARE(result.pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(result.pixelColor(reduced.width() - 1, 0), QColor(Qt::green));
    QCOMPARE(result.pixelColor(0, reduced.height() - 1), QColor(Qt::blue));
    QCOMPARE(result.pixelColor(reduced.width() - 1, reduced.height() - 1), QColor(Qt::white));
    QCOMPARE(halvingsFor(1.0 / (1 << halvings)), halvings);
}

void TestViewing::reducedPictureMeans_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<int>("halvings");
    QTest::addColumn<QList<QRgb>>("expected");
    // The picture (below): 5 x 3, red = 10 x + 60 y, green = 255 - red, blue 255 and 0
    // alternating. Halved once: blocks of 2 x 2, the last column and row hold
    // what is left; a mean of .5 rounds up.
    const QList<QRgb> once{qRgb(35, 220, 128),  qRgb(55, 200, 128),  qRgb(70, 185, 128),
                           qRgb(125, 130, 128), qRgb(145, 110, 128), qRgb(160, 95, 255)};
    row("32 bits", QImage::Format_RGB32, 1, once);
    row("packed in 24 bits", QImage::Format_RGB888, 1, once);
    row("premultiplied, opaque", QImage::Format_ARGB32_Premultiplied, 1, once);
    row("another byte order, converted a run at a time", QImage::Format_RGBX8888, 1, once);
    row("24 bits the other way round", QImage::Format_BGR888, 1, once);
    // Halved twice: one block of 4 x 4 holds the whole 4 x 3 left part, one the column 4.
    row("one block for the rows and columns that are left", QImage::Format_RGB888, 2,
        QList<QRgb>{qRgb(75, 180, 128), qRgb(100, 155, 170)});
    row("the same in 32 bits", QImage::Format_RGB32, 2, QList<QRgb>{qRgb(75, 180, 128), qRgb(100, 155, 170)});
}

void TestViewing::reducedPictureOfEveryWidth_data()
{
    QTest::addColumn<int>("halvings");
    for (int halvings : {1, 3, 7, 8, 9})
        QTest::newRow(QByteArray::number(halvings)) << halvings;
}

// A 32-bit picture is summed a block at a time; bright pixels fill the sums
// of the widest blocks so summed to the last bit. The means are those of the
// same picture packed in 24 bits, summed a pixel at a time.
void TestViewing::reducedPictureOfEveryWidth()
{
    QFETCH(int, halvings);
    QImage picture(1300 + 7, 600 + 3, QImage::Format_RGB32); // blocks left over at the ends
    QRandomGenerator random(halvings);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const int bright = 255 - int(random.bounded(3)) * (x % 7 == 0 ? 100 : 1);
            picture.setPixel(x, y, qRgb(bright, int(random.bounded(256)), 255 - bright / 2));
        }
    const QImage reference = korvane::reducedPicture(picture.convertToFormat(QImage::Format_RGB888), halvings);
    QCOMPARE(korvane::reducedPicture(picture, halvings), reference);
}

void TestViewing::reducedPicturePrepared_data()
{
    QTest::addColumn<double>("prepared");
    QTest::addColumn<double>("shown");
    QTest::addColumn<bool>("otherPicture");
    QTest::newRow("the zoom prepared") << 0.2 << 0.2 << false;
    QTest::newRow("another zoom shown") << 0.2 << 0.45 << false;
    QTest::newRow("another picture shown") << 0.2 << 0.2 << true;
    QTest::newRow("nothing to reduce at 100 %") << 1.0 << 0.2 << false;
}

// The copy made ahead on a second thread is the copy of the picture and zoom
// shown, whatever was prepared.
void TestViewing::reducedPicturePrepared()
{
    QFETCH(double, prepared);
    QFETCH(double, shown);
    QFETCH(bool, otherPicture);
    const QImage first = quarters(QSize(203, 101), QImage::Format_RGB32);
    const QImage second = quarters(QSize(203, 101), QImage::Format_RGB32).mirrored(true, false);
    const QImage& picture = otherPicture ? second : first;
    korvane::ReducedPictureCache cache;
    cache.prepare(first, prepared);
    int halvings = -1;
    const QImage reduced = cache.forZoom(picture, shown, &halvings);
    QCOMPARE(halvings, halvingsFor(shown));
    QCOMPARE(reduced, korvane::reducedPicture(picture, halvings));
    QCOMPARE(cache.forZoom(picture, shown, &halvings).cacheKey(), reduced.cacheKey()); // kept
}

// Each pixel is the rounded mean of the pixels of its block, whatever the
// format the picture is kept in.
void TestViewing::reducedPictureMeans()
{
    QFETCH(QImage::Format, format);
    QFETCH(int, halvings);
    QFETCH(QList<QRgb>, expected);
    QImage picture(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            picture.setPixel(x, y, qRgb(10 * x + 60 * y, 255 - (10 * x + 60 * y), (x + y) % 2 ? 0 : 255));
    const QImage result = korvane::reducedPicture(picture.convertToFormat(format), halvings);
    QCOMPARE(result.format(), QImage::Format_RGB32);
    QList<QRgb> found;
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x)
            found << (result.pixel(x, y) | 0xff000000u);
    QCOMPARE(found, expected);
}

void TestViewing::bigPictureOpensFitted_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("fitted");
    row("fits: 100 %", QSize(300, 200), false);
    row("bigger: fitted", QSize(3000, 2000), true);
    row("wide: far below 25 %", QSize(16000, 400), true);
}

// Opened through Open, shown whole and centred, without scroll bars; the
// zoom keys go on from there; Ctrl+9 fits it again.
void TestViewing::bigPictureOpensFitted()
{
    QFETCH(QSize, size);
    QFETCH(bool, fitted);
    korvane::test::SettingsFolder settings;
    const QString file = settings.path("bild.png");
    QVERIFY(quarters(size).save(file, "PNG"));
    korvane::test::BlankEditor e;
    e.platform.fileAnswers.enqueue(file);
    e.w.ui.Command1->click();
    QCOMPARE(e.canvas()->pictureSize(), size);
    QWidget* view = e.w.ui.picContainer;
    const double factor = zoom::fitFactor(size, view->size());
    QCOMPARE(e.canvas()->zoomFactor(), fitted ? factor : 1.0);
    QCOMPARE(e.w.ui.lblZoom->text(), zoom::labelTextOf(e.canvas()->zoomFactor()));
    if (!fitted)
        return;
    QVERIFY(view->rect().contains(e.canvas()->geometry()));
    QCOMPARE(e.canvas()->geometry().center(), view->rect().center());
    QVERIFY(!e.w.ui.HScroll1->isVisible() && !e.w.ui.VScroll1->isVisible());
    // Drawn from the reduced copy far below the steps: the quarters in their places.
    const QImage shown = e.canvas()->grab().toImage();
    const QSize s = shown.size();
    QCOMPARE(shown.pixelColor(2, 2), QColor(Qt::red));
    QCOMPARE(shown.pixelColor(s.width() - 3, 2), QColor(Qt::green));
    QCOMPARE(shown.pixelColor(2, s.height() - 3), QColor(Qt::blue));
    QCOMPARE(shown.pixelColor(s.width() - 3, s.height() - 3), QColor(Qt::white));
    // Out is nothing below the smallest step; in is the next step.
    e.canvas()->setFocus();
    QTest::keyClick(e.canvas(), Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(e.canvas()->zoomFactor(), factor);
    QTest::keyClick(e.canvas(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(e.canvas()->zoomPercent(), *zoom::stepAbove(factor));
    QTest::keyClick(e.canvas(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(e.canvas()->zoomPercent(), 100);
    QVERIFY(e.w.ui.HScroll1->isVisible());
    QTest::keyClick(e.canvas(), Qt::Key_9, Qt::ControlModifier);
    QCOMPARE(e.canvas()->zoomFactor(), factor);
    QCOMPARE(e.canvas()->zoomPercent(), 0);
}

void TestViewing::statusLine_data()
{
    QTest::addColumn<Step>("step");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    row("pointer", Step::Pointer, QString("lblStatusPosition"), QString("x 30, y 40"));
    row("pointer gone", Step::PointerGone, QString("lblStatusPosition"), QString());
    row("rectangle chosen", Step::Rect, QString("lblStatusAuswahl"), QString("Rechteck: x 10, y 20, 100 × 50"));
    row("circle chosen", Step::Circle, QString("lblStatusAuswahl"), QString("Kreis: Mitte x 200, y 150, Radius 40"));
    row("polygon chosen", Step::Poly, QString("lblStatusAuswahl"), QString("Polygon: 3 Punkte, x 300, y 10, 90 × 100"));
    row("two chosen", Step::Two, QString("lblStatusAuswahl"), QString("2 Areale ausgewählt"));
    row("moved by a key", Step::MovedByKey, QString("lblStatusAuswahl"), QString("Rechteck: x 20, y 20, 100 × 50"));
    row("three areas", Step::Count, QString("lblStatusAreale"), QString("3 Areale"));
    row("all deleted", Step::AllDeleted, QString("lblStatusAreale"), QString("Keine Areale"));
    row("zoomed", Step::Zoomed, QString("lblStatusZoom"), QString("Zoom 200 %"));
    row("rectangle tool", Step::RectangleTool, QString("lblStatusHinweis"),
        QString("Rechteck: mit gedrückter Maustaste von Ecke zu Ecke ziehen."));
    row("edit mode", Step::EditMode, QString("lblStatusHinweis"),
        QString("Areal anklicken und ziehen; die Ziehpunkte ändern seine Form, Strg+Klick wählt mehrere."));
    row("no picture yet", Step::NoPicture, QString("lblStatusHinweis"),
        QString("Zuerst ein Bild öffnen: Datei > Bild öffnen... (Strg+O)."));
}

// What the line says after each step a user takes.
void TestViewing::statusLine()
{
    QFETCH(Step, step);
    QFETCH(QString, label);
    QFETCH(QString, text);
    if (step == Step::NoPicture) {
        korvane::test::installScriptedPlatform();
        MainWindow fresh;
        QCOMPARE(statusLabel(fresh, qPrintable(label))->text(), text);
        return;
    }
    korvane::test::BlankEditor e;
    e.w.areas().setLines(
        {area("rect", "10,20,110,70"), area("circle", "200,150,40"), area("poly", "300,10,390,60,300,110")});
    e.w.refresh();
    e.w.enablePictureTools(EditorView::ToolsFor::Import);
    e.w.ui.Option1[3]->click();
    switch (step) {
    case Step::Pointer:
    case Step::PointerGone:
        QTest::mouseMove(e.canvas(), QPoint(5, 5)); // the pointer may rest at the next point already
        QTest::mouseMove(e.canvas(), QPoint(30, 40));
        QTRY_COMPARE(statusLabel(e.w, "lblStatusPosition")->text(), QStringLiteral("x 30, y 40"));
        if (step == Step::PointerGone) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(e.canvas(), &leave);
        }
        break;
    case Step::Rect:
    case Step::Circle:
    case Step::Poly:
        e.clickRow(int(step) - int(Step::Rect));
        break;
    case Step::Two:
        e.clickRow(0);
        QTest::mouseClick(e.w.ui.List1->viewport(), Qt::LeftButton, Qt::ControlModifier, e.rowCentre(2));
        break;
    case Step::MovedByKey:
        e.clickRow(0);
        e.canvas()->setFocus();
        QTest::keyClick(e.canvas(), Qt::Key_Right, Qt::ShiftModifier);
        break;
    case Step::AllDeleted:
        e.platform.answers.enqueue(MessageButton::Yes);
        e.w.ui.Command3->click();
        break;
    case Step::Zoomed:
        e.canvas()->setFocus();
        QTest::keyClick(e.canvas(), Qt::Key_Plus, Qt::ControlModifier); // 150 %
        QTest::keyClick(e.canvas(), Qt::Key_Plus, Qt::ControlModifier);
        break;
    case Step::RectangleTool:
        e.w.ui.Option1[1]->click();
        break;
    case Step::Count:
    case Step::EditMode:
    case Step::NoPicture:
        break;
    }
    // The pointer and a moved area are shown a moment later.
    QTRY_COMPARE(statusLabel(e.w, qPrintable(label))->text(), text);
}

QTEST_MAIN(TestViewing)
#include "tst_viewing.moc"
