#include "canvas/AreaGeometry.h"
#include "canvas/AreaRenderer.h"
#include "canvas/ImageSurface.h"
#include "canvas/Palette.h"
#include "model/AreaList.h"

#include <QSignalSpy>
#include <QTest>

using namespace korvane;

namespace {

const QString kPad = QStringLiteral("                    |");

QString area(const QString& shape, const QString& coords)
{
    return " " + shape + kPad + coords + "|a|b|*|*|*|*";
}

// A picture with some texture, so restoring the wrong pixels shows.
QImage texturedPicture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, ((x + y) * 3) % 256));
    return image;
}

int countColour(const QImage& image, const QRect& rect, const QColor& colour)
{
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

// Thirty rectangles, circles and polygons crossing each other.
QStringList overlappingAreas()
{
    QStringList lines;
    for (int i = 0; i < 30; ++i) {
        const int x = (i * 37) % 350, y = (i * 53) % 250;
        if (i % 3 == 0)
            lines << area("rect", QStringLiteral("%1,%2,%3,%4").arg(x).arg(y).arg(x + 40).arg(y + 30));
        else if (i % 3 == 1)
            lines << area("circle", QStringLiteral("%1,%2,%3").arg(x).arg(y).arg(10 + i));
        else
            lines << area(
                "poly",
                QStringLiteral("%1,%2,%3,%4,%5,%6").arg(x).arg(y).arg(x + 50).arg(y + 10).arg(x + 20).arg(y + 45));
    }
    return lines;
}

void useStyle(ImageSurface& surface, int width, bool hatched)
{
    surface.setLineWidth(width);
    surface.setFillStyle(hatched ? FillStyle::DiagonalCross : FillStyle::Transparent);
    surface.setPenColor(Qt::red);
    surface.setFillColor(Qt::blue);
}

// A list of areas rendered onto a white picture.
struct Scene {
    AreaList list;
    ImageSurface s;
    AreaRenderer renderer{list, s};

    Scene(int width, int height)
    {
        QImage white(width, height, QImage::Format_RGB32);
        white.fill(Qt::white);
        s.setPicture(white);
    }
    QColor at(int x, int y) const { return s.image().pixelColor(x, y); }
};

} // namespace

class TestCanvas : public QObject {
    Q_OBJECT
private slots:
    void xorDrawnTwiceRestores_data();
    void xorDrawnTwiceRestores();
    void hatchedAreasHaveFillPixels_data();
    void hatchedAreasHaveFillPixels();
    void outlinesUsePenAndCircleColours();
    void onePointPolygonIsADot();
    void skipDrawsOverWithoutClearing();
    void partialRedrawEqualsFullRedraw_data();
    void partialRedrawEqualsFullRedraw();
    void selectionPaintsOthersOnlyWhereNeeded_data() { partialRedrawEqualsFullRedraw_data(); }
    void selectionPaintsOthersOnlyWhereNeeded();
    void malformedLinesAreSkipped_data();
    void malformedLinesAreSkipped();
    void paletteColours_data();
    void paletteColours();
    void pictureHeldTwiceAtMost();
};

void TestCanvas::xorDrawnTwiceRestores_data()
{
    QTest::addColumn<int>("shape"); // 0 rect, 1 circle, 2 line
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("hatched");
    for (int shape = 0; shape < 3; ++shape)
        for (int width = 1; width <= 3; ++width)
            for (bool hatched : {false, true})
                QTest::addRow("shape %d width %d%s", shape, width, hatched ? " hatched" : "")
                    << shape << width << hatched;
}

void TestCanvas::xorDrawnTwiceRestores()
{
    QFETCH(int, shape);
    QFETCH(int, width);
    QFETCH(bool, hatched);
    ImageSurface s;
    s.setPicture(texturedPicture(200, 150));
    s.setLineWidth(width);
    s.setFillStyle(hatched ? FillStyle::DiagonalCross : FillStyle::Transparent);
    s.setPenColor(Qt::red);
    s.setDrawMode(DrawMode::InvertXor);
    const QImage before = s.image().copy();
    const auto draw = [&] {
        if (shape == 0)
            s.drawRectangle(QPointF(20, 30), QPointF(150, 120));
        else if (shape == 1)
            s.drawCircle(QPointF(100, 75), 50, Qt::red);
        else
            s.drawLine(QPointF(10, 10), QPointF(190, 140), Qt::red);
    };
    draw();
    const QImage once = s.image().copy();
    QVERIFY(once != before);
    // The band's pixels are the inverse of (pen XOR picture).
    if (shape == 0 && !hatched) {
        const QRgb under = before.pixel(80, 30);
        QCOMPARE(once.pixel(80, 30) & 0xFFFFFF, ~(qRgb(255, 0, 0) ^ under) & 0xFFFFFF);
    }
    draw();
    QCOMPARE(s.image(), before);
}

void TestCanvas::hatchedAreasHaveFillPixels_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QRect>("inside");
    QTest::newRow("rect") << area("rect", "20,20,120,100") << QRect(30, 30, 80, 60);
    QTest::newRow("circle") << area("circle", "100,100,50") << QRect(80, 80, 40, 40);
    QTest::newRow("poly") << area("poly", "20,20,180,20,100,180") << QRect(80, 40, 40, 40);
}

void TestCanvas::hatchedAreasHaveFillPixels()
{
    QFETCH(QString, line);
    QFETCH(QRect, inside);
    Scene scene(200, 200);
    scene.s.setPenColor(Qt::red);
    scene.renderer.setCircleColor(Qt::red);
    scene.s.setFillColor(Qt::blue);
    scene.list.setLines({line});
    scene.renderer.redraw(-1);
    QCOMPARE(countColour(scene.s.image(), inside, Qt::blue), 0);
    scene.s.setFillStyle(FillStyle::DiagonalCross);
    scene.renderer.redraw(-1);
    const int blue = countColour(scene.s.image(), inside, Qt::blue);
    QVERIFY2(blue > inside.width() * inside.height() / 10, qPrintable(QString::number(blue)));
    QVERIFY(countColour(scene.s.image(), inside, Qt::white) > 0); // a hatch, not a solid fill
    QCOMPARE(countColour(scene.s.image(), inside, Qt::red), 0);
}

void TestCanvas::outlinesUsePenAndCircleColours()
{
    Scene scene(300, 200);
    scene.s.setPenColor(QColor(0x80, 0x80, 0x00));
    scene.renderer.setCircleColor(Qt::red);
    scene.list.setLines({area("rect", "10,10,60,60"), area("circle", "200,100,40"), area("other", "1,1,299,199")});
    scene.renderer.redraw(-1);
    QCOMPARE(scene.at(30, 10), QColor(0x80, 0x80, 0x00));
    QCOMPARE(scene.at(240, 100), QColor(Qt::red));
    QCOMPARE(scene.at(299, 199), QColor(Qt::white)); // unknown shapes are not drawn
}

void TestCanvas::onePointPolygonIsADot()
{
    Scene scene(100, 100);
    scene.s.setPenColor(Qt::black);
    scene.s.setLineWidth(3);
    scene.list.setLines({area("poly", "50,60")});
    scene.renderer.redraw(-1);
    QCOMPARE(countColour(scene.s.image(), QRect(40, 50, 20, 20), Qt::black), 9);
    QCOMPARE(scene.at(50, 60), QColor(Qt::black));
}

void TestCanvas::skipDrawsOverWithoutClearing()
{
    Scene scene(200, 100);
    ImageSurface& s = scene.s;
    s.setPenColor(Qt::red);
    scene.list.setLines({area("rect", "10,10,60,60"), area("rect", "100,10,150,60")});
    scene.renderer.redraw(-1);
    s.drawLine(QPointF(0, 90), QPointF(199, 90), Qt::green); // something not from the list
    s.setPenColor(Qt::yellow);
    s.drawRectangle(QPointF(10, 10), QPointF(60, 60));
    s.setPenColor(Qt::red);
    scene.renderer.redraw(0);
    QCOMPARE(scene.at(30, 10), QColor(Qt::yellow)); // the skipped area keeps its highlight
    QCOMPARE(scene.at(120, 10), QColor(Qt::red));
    QCOMPARE(scene.at(50, 90), QColor(Qt::green)); // not cleared
    scene.renderer.redraw(-1);
    QCOMPARE(scene.at(30, 10), QColor(Qt::red));
    QCOMPARE(scene.at(50, 90), QColor(Qt::white));
}

void TestCanvas::partialRedrawEqualsFullRedraw_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("hatched");
    QTest::newRow("thin") << 1 << false;
    QTest::newRow("thick hatched") << 3 << true;
    QTest::newRow("medium hatched") << 2 << true;
}

// The fast redraw restores and repaints only what changed; after any series
// of edits the buffer must be what a redraw from scratch gives.
void TestCanvas::partialRedrawEqualsFullRedraw()
{
    QFETCH(int, width);
    QFETCH(bool, hatched);
    const QImage picture = texturedPicture(400, 300);
    AreaList list;
    ImageSurface fast;
    fast.setPicture(picture);
    AreaRenderer renderer(list, fast);
    useStyle(fast, width, hatched);
    list.setLines(overlappingAreas());
    renderer.redraw(-1);
    QVERIFY(!renderer.lastRedrawWasPartial());
    const auto fromScratch = [&] {
        ImageSurface full;
        full.setPicture(picture);
        AreaRenderer reference(list, full);
        reference.setIncremental(false);
        useStyle(full, width, hatched);
        reference.redraw(-1);
        return full.image().copy();
    };
    // A selection highlight, then a drag of one area, then edits of the list.
    fast.setPenColor(Qt::yellow);
    drawOutline(fast, parseArea(list.line(4)));
    fast.setPenColor(Qt::red);
    renderer.redraw(4);
    for (int step = 0; step < 12; ++step) {
        list.replace(4, area("circle", QStringLiteral("%1,%2,%3").arg(60 + step * 3).arg(70 + step * 2).arg(25)));
        renderer.redraw(-1);
        QVERIFY(renderer.lastRedrawWasPartial());
    }
    // Reading the buffer ends its painter: compare only after a run of redraws.
    QCOMPARE(fast.image(), fromScratch());
    list.remove(7);
    renderer.redraw(-1);
    QVERIFY(renderer.lastRedrawWasPartial());
    QCOMPARE(fast.image(), fromScratch());
    // Changes far apart in one redraw.
    list.replace(0, area("rect", "300,250,390,290"));
    list.remove(1);
    list.append(area("poly", "5,5,90,20,40,80,10,60"));
    renderer.redraw(-1);
    QVERIFY(renderer.lastRedrawWasPartial());
    QCOMPARE(fast.image(), fromScratch());
}

// Selecting paints the other areas over the highlight; painting them only
// where the canvas may differ must leave the very picture painting all gives.
void TestCanvas::selectionPaintsOthersOnlyWhereNeeded()
{
    QFETCH(int, width);
    QFETCH(bool, hatched);
    AreaList list;
    list.setLines(overlappingAreas());
    ImageSurface fast, full;
    AreaRenderer renderer(list, fast), reference(list, full);
    reference.setIncremental(false);
    for (ImageSurface* s : {&fast, &full}) {
        s->setPicture(texturedPicture(400, 300));
        useStyle(*s, width, hatched);
    }
    const auto select = [&](int row) {
        for (auto [s, r] : {std::pair{&fast, &renderer}, std::pair{&full, &reference}}) {
            s->setPenColor(Qt::yellow);
            drawOutline(*s, parseArea(list.line(row)));
            s->setPenColor(Qt::red);
            r->redraw(row);
        }
        QCOMPARE(fast.image(), full.image());
    };
    renderer.redraw(-1);
    reference.redraw(-1);
    select(4);
    select(9);                                             // the highlight of 4 is painted over
    list.replace(9, area("poly", "40,40,200,60,120,180")); // changed, not yet redrawn
    select(9);
    list.replace(10, area("rect", "300,200,390,290")); // it crossed area 0 where it was
    select(20);
    list.remove(2);
    renderer.redraw(-1);
    reference.redraw(-1);
    select(12);
}

void TestCanvas::malformedLinesAreSkipped_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("rect with three values") << area("rect", "1,2,3");
    QTest::newRow("circle with two") << area("circle", "1,2");
    QTest::newRow("poly with one value") << area("poly", "7");
    QTest::newRow("no fields") << QStringLiteral(" rect");
    QTest::newRow("text coords") << area("rect", "a,b,c,d");
    QTest::newRow("huge values") << area("rect", "-1e300,0,1e300,5");
}

void TestCanvas::malformedLinesAreSkipped()
{
    QFETCH(QString, line);
    AreaList list;
    ImageSurface s;
    s.setPicture(texturedPicture(50, 50));
    AreaRenderer renderer(list, s);
    list.setLines({line, area("rect", "10,10,20,20")});
    renderer.redraw(-1);
    renderer.redraw(0);
    QCOMPARE(s.image().pixelColor(15, 10), s.penColor());
}

// Corners of both rows and one colour from the middle of the first.
void TestCanvas::paletteColours_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("black") << 0 << QColor(0x00, 0x00, 0x00);
    QTest::newRow("silver") << 7 << QColor(0xC0, 0xC0, 0xC0);
    QTest::newRow("grey") << 8 << QColor(0x80, 0x80, 0x80);
    QTest::newRow("olive") << 6 << QColor(0x80, 0x80, 0x00);
    QTest::newRow("white") << 15 << QColor(0xFF, 0xFF, 0xFF);
}

void TestCanvas::paletteColours()
{
    QFETCH(int, k);
    QFETCH(QColor, colour);
    ColorPalette palette(15);
    palette.show();
    // 200 x 160 twips at 15 twips per pixel, two rows of eight.
    const QRect r = palette.swatchRect(k);
    QCOMPARE(r.topLeft(), QPoint((k % 8) * 200 / 15, (k / 8) * 160 / 15));
    QCOMPARE(r.right() + 1, (k % 8 + 1) * 200 / 15);
    QSignalSpy picked(&palette, &ColorPalette::colorPicked);
    QTest::mouseClick(&palette, Qt::LeftButton, {}, r.center());
    QCOMPARE(picked.size(), 1);
    QCOMPARE(picked[0][0].value<QColor>(), colour);
    // Outside the swatches the background is picked.
    QTest::mouseClick(&palette, Qt::LeftButton, {}, QPoint(palette.width() - 1, palette.height() - 1));
    QCOMPARE(picked[1][0].value<QColor>(), palette.palette().color(QPalette::Button));
}

// A picture handed over is kept as it is (one copy more for the drawing),
// also when its resolution differs from the screen's.
void TestCanvas::pictureHeldTwiceAtMost()
{
    ImageSurface s;
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setDotsPerMeterX(1000);
    picture.setDotsPerMeterY(1000);
    const uchar* pixels = picture.constBits();
    s.setPicture(std::move(picture));
    QCOMPARE(s.picture().constBits(), pixels);
    QVERIFY(s.image().constBits() != pixels);
    QCOMPARE(s.image(), s.picture());
}

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
