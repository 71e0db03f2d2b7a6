#include "app/MainWindow.h"
#include "canvas/AreaArrangement.h"
#include "canvas/AreaGeometry.h"
#include "canvas/AreaRenderer.h"
#include "canvas/Canvas.h"
#include "canvas/EditHandles.h"
#include "canvas/ImageSurface.h"
#include "canvas/Palette.h"
#include "canvas/ScaledSurface.h"
#include "model/AreaEntry.h"
#include "model/AreaList.h"
#include "support/BlankPicture.h"
#include "support/Rows.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

using namespace korvane;

namespace {

const QString kPad = QStringLiteral("                    |");

QString area(const QString& shape, const QString& coords)
{
    return " " + shape + kPad + coords + "|a|b|*|*|*|*";
}

// What a screen reader reads as the widget's name.
QString spokenName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QStringLiteral("(no interface)");
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

// Selecting `row`: its outline in yellow, then the others painted over it.
void highlight(ImageSurface& s, AreaRenderer& renderer, const AreaList& list, int row)
{
    s.setPenColor(Qt::yellow);
    drawOutline(s, parseArea(list.line(row)));
    s.setPenColor(Qt::red);
    renderer.redraw(row);
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

// The editor on the white picture, with lines, in edit mode.
struct Window : korvane::test::BlankEditor {
    explicit Window(const QStringList& lines = {})
    {
        if (lines.isEmpty())
            return;
        w.areas().setLines(lines);
        w.ui.Option1[3]->setEnabled(true);
        w.ui.Option1[3]->click();
        w.setSelectedIndex(-1);
    }
    QString coords(int row = 0) { return entry::coordsOf(w.areas().line(row)); }
    // Where a picture point shows on the canvas.
    QPoint at(QPoint p)
    {
        const double z = canvas()->zoomFactor();
        return QPoint(qRound(p.x() * z), qRound(p.y() * z));
    }
    void key(int key, Qt::KeyboardModifiers modifiers = {}, QWidget* on = nullptr)
    {
        QTest::keyClick(on ? on : canvas(), Qt::Key(key), modifiers);
    }
    // Through the keys, as the user steps there.
    void zoom(int percent)
    {
        key(Qt::Key_0, Qt::ControlModifier, &w);
        while (canvas()->zoomPercent() != percent)
            key(percent > 100 ? Qt::Key_Plus : Qt::Key_Minus, Qt::ControlModifier, &w);
    }
    void press(QPoint picturePoint, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(canvas(), button, {}, at(picturePoint));
    }
    // Holds the selected area by its body at `body` or by handle 4 (at its
    // middle), then moves the pointer to `to` (picture points).
    QWidget* hold(bool byHandle, QPoint body, QPoint to)
    {
        QWidget* on = byHandle ? static_cast<QWidget*>(w.handles().handle(4)) : canvas();
        QTest::mousePress(on, Qt::LeftButton, {}, byHandle ? QPoint(2, 2) : at(body));
        pointer(on, to);
        return on;
    }
    void pointer(QWidget* on, QPoint to) { QTest::mouseMove(on, on->mapFrom(canvas(), at(to))); }
    void letGo(QWidget* on, QPoint to) { QTest::mouseRelease(on, Qt::LeftButton, {}, on->mapFrom(canvas(), at(to))); }
    // Ctrl+Z on the canvas until the history has nothing left, `most` times at most.
    void undoAll(int most)
    {
        canvas()->setFocus();
        for (int i = 0; i < most && w.document().history().canUndo(); ++i)
            key(Qt::Key_Z, Qt::ControlModifier);
    }
};

const QString kRectA = area("rect", "10,20,110,70");
const QString kCircle = area("circle", "100,100,30");
const QString kPoly = area("poly", "10,10,50,10,30,40");
const QString kRectB = area("rect", "200,150,300,250"); // clear of the others

} // namespace

class TestCanvas : public QObject {
    Q_OBJECT
private slots:
    void xorDrawnTwiceRestores_data();
    void xorDrawnTwiceRestores();
    void rectanglesAsThePainterDrawsThem_data();
    void rectanglesAsThePainterDrawsThem();
    void styleChangesReachThePainter_data();
    void styleChangesReachThePainter();
    void hatchedAreasHaveFillPixels_data();
    void hatchedAreasHaveFillPixels();
    void outlinesUsePenAndCircleColours();
    void onePointPolygonIsADot();
    void skipDrawsOverWithoutClearing();
    void partialRedrawEqualsFullRedraw_data();
    void partialRedrawEqualsFullRedraw();
    void selectionPaintsOthersOnlyWhereNeeded_data() { partialRedrawEqualsFullRedraw_data(); }
    void manyChangesRedrawEqualsFullRedraw_data();
    void manyChangesRedrawEqualsFullRedraw();
    void selectionPaintsOthersOnlyWhereNeeded();
    void malformedLinesAreSkipped_data();
    void shapesReadFromLines_data();
    void shapesReadFromLines();
    void manyLinesReadOnTwoThreads();
    void malformedLinesAreSkipped();
    void paletteColours_data();
    void paletteColours();
    void logDrawsWhatTheBufferShows();
    void pressChoosesWhatABrowserFollows_data();
    void pressChoosesWhatABrowserFollows();
    void handleWinsOverAreaBelow();
    void bodyDragMovesTheArea_data();
    void bodyDragMovesTheArea();
    void dragShowsWhatTheListWouldShow_data();
    void dragShowsWhatTheListWouldShow();
    void polygonToolOwnsItsPoints_data();
    void polygonToolOwnsItsPoints();
    void escapeDropsTheBand_data();
    void escapeDropsTheBand();
    void keysMoveTheArea_data();
    void keysMoveTheArea();
    void tabWalksTheList();
    void tabWalksEveryControl();
    void keysWaitForTheDrag_data();
    void keysWaitForTheDrag();
    void changesBeneathEndTheDrag_data();
    void changesBeneathEndTheDrag();
    void zoomKeepsPicturePixels_data();
    void zoomKeepsPicturePixels();
    void handlesKeepScreenSize_data();
    void handlesKeepScreenSize();
    void zoomControls();
    void zoomScalesPictureNotLines();
    void wheelScrollsAndZooms();
    void pictureHeldTwiceAtMost();
    void bigPictureSamePixels_data();
    void bigPictureSamePixels();
    void bigPictureBufferWhenFirstNeeded_data();
    void bigPictureBufferWhenFirstNeeded();
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

namespace {

using Corners = QList<QLineF>; // a rectangle from each line's first point to its second

// The 120 x 90 textured picture with a circle, the rectangles and a line
// drawn over it by a painter of its own, set up as the canvas draws a thin
// outline without fill.
QImage paintedByPainter(const Corners& rectangles, const QColor& colour, bool invert, const QRegion& clip)
{
    QImage image = texturedPicture(120, 90);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (!clip.isEmpty())
        p.setClipRegion(clip);
    p.setCompositionMode(invert ? QPainter::RasterOp_NotSourceXorDestination : QPainter::CompositionMode_SourceOver);
    QPen pen(colour, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(60, 45), 30, 30);
    for (const QLineF& corners : rectangles)
        p.drawRect(QRectF(corners.p1(), corners.p2()).normalized());
    p.drawLine(QPointF(0, 0), QPointF(119, 89));
    p.end();
    return image;
}

QByteArray bytesOf(const QImage& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
}

} // namespace

void TestCanvas::rectanglesAsThePainterDrawsThem_data()
{
    QTest::addColumn<Corners>("rectangles");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("invert");
    QTest::addColumn<QRegion>("clip");
    const QList<QPair<const char*, QLineF>> shapes{
        {"inside", {10, 10, 50, 40}},          {"corners swapped", {50, 40, 10, 10}},
        {"whole picture", {0, 0, 119, 89}},    {"left edge", {0, 10, 30, 40}},
        {"top edge", {10, 0, 40, 30}},         {"right edge", {90, 10, 119, 40}},
        {"bottom edge", {10, 60, 40, 89}},     {"out left", {-5, 10, 30, 40}},
        {"out top", {10, -5, 40, 30}},         {"out right", {90, 10, 120, 40}},
        {"out bottom", {10, 60, 40, 95}},      {"outside", {-50, -40, -10, -1}},
        {"outside right", {125, 10, 160, 50}}, {"around", {-1, -1, 120, 90}},
        {"zero width", {20, 10, 20, 50}},      {"zero height", {20, 10, 60, 10}},
        {"one point", {20, 20, 20, 20}},       {"width one", {20, 10, 21, 50}},
        {"width two", {20, 10, 22, 50}},       {"height one", {20, 10, 60, 11}},
        {"negative", {-30, -20, 40, 30}},      {"huge", {-1e9, -1e9, 1e9, 1e9}},
        {"past int", {10, 10, 3e9, 40}},       {"halves", {10.5, 10, 50, 40.5}},
    };
    const QList<QColor> colours{Qt::red, QColor::fromHsvF(0.37, 0.61, 0.83), QColor(0, 0, 255, 128)};
    const QRegion clip = QRegion(0, 0, 35, 90) + QRegion(25, 30, 95, 20);
    int n = 0;
    for (const auto& [name, corners] : shapes) {
        for (bool invert : {false, true}) {
            for (bool clipped : {false, true}) {
                const QColor& colour = colours[n++ % colours.size()];
                QTest::addRow("%s %s%s alpha %d", name, invert ? "xor" : "copy", clipped ? " clipped" : "",
                              colour.alpha())
                    << Corners{corners} << colour << invert << (clipped ? clip : QRegion());
            }
        }
    }
    // Many small and large ones over and beside the picture, overlapping.
    QRandomGenerator random(20);
    for (int row = 0; row < 8; ++row) {
        Corners many;
        for (int i = 0; i < 300; ++i) {
            const int x = random.bounded(-20, 140), y = random.bounded(-20, 110);
            const int w = i % 3 ? random.bounded(0, 12) : random.bounded(0, 130);
            many << QLineF(x, y, x + (i % 2 ? w : -w), y + random.bounded(0, 12));
        }
        QTest::addRow("random %d", row) << many << QColor::fromRgb(random.generate() | 0xFF000000u) << (row % 2 == 1)
                                        << (row % 4 >= 2 ? clip : QRegion());
    }
}

// The canvas writes most outlines into the buffer's lines itself: the bytes
// must be those a painter gives, painter and direct drawing mixed, with the
// painter open and with a copy of the buffer held.
void TestCanvas::rectanglesAsThePainterDrawsThem()
{
    QFETCH(Corners, rectangles);
    QFETCH(QColor, colour);
    QFETCH(bool, invert);
    QFETCH(QRegion, clip);
    ImageSurface s;
    s.setPicture(texturedPicture(120, 90));
    s.setPenColor(colour);
    s.setDrawMode(invert ? DrawMode::InvertXor : DrawMode::Copy);
    if (!clip.isEmpty())
        s.setClip(clip);
    s.drawCircle(QPointF(60, 45), 30, colour);
    const qsizetype half = (rectangles.size() + 1) / 2;
    for (const QLineF& corners : rectangles.first(half))
        s.drawRectangle(corners.p1(), corners.p2());
    // A copy of the buffer taken now keeps its pixels, though the next
    // rectangle (well inside) is written while no painter is open.
    const QImage held = s.image();
    const QByteArray heldBytes = bytesOf(held);
    const QLineF inside(30, 20, 90, 70);
    s.drawRectangle(inside.p1(), inside.p2());
    for (const QLineF& corners : rectangles.sliced(half))
        s.drawRectangle(corners.p1(), corners.p2());
    s.drawLine(QPointF(0, 0), QPointF(119, 89), colour);
    const Corners drawn = rectangles.first(half) + Corners{inside} + rectangles.sliced(half);
    QCOMPARE(bytesOf(s.image()), bytesOf(paintedByPainter(drawn, colour, invert, clip)));
    QCOMPARE(bytesOf(held), heldBytes);
}

void TestCanvas::styleChangesReachThePainter_data()
{
    QTest::addColumn<QString>("change");
    for (const char* change : {"pen colour", "width", "hatching", "fill colour", "mode", "text", "outline colour"})
        QTest::newRow(change) << QString::fromLatin1(change);
}

// The painter keeps the style between primitives: each change between two
// alike ones must show as when every primitive starts with a fresh painter.
void TestCanvas::styleChangesReachThePainter()
{
    QFETCH(QString, change);
    const QPolygon triangle({QPoint(10, 80), QPoint(60, 5), QPoint(110, 80)});
    const auto drawn = [&](bool freshPainters) {
        ImageSurface s;
        s.setPicture(texturedPicture(120, 90));
        useStyle(s, 1, change == "fill colour" || change == "text");
        const auto done = [&] {
            if (freshPainters)
                s.flush();
        };
        s.drawCircle(QPointF(60, 50), 25, Qt::green);
        done();
        s.drawPolygon(triangle);
        done();
        if (change == "pen colour")
            s.setPenColor(Qt::darkMagenta);
        else if (change == "width")
            s.setLineWidth(3);
        else if (change == "hatching")
            s.setFillStyle(FillStyle::DiagonalCross);
        else if (change == "fill colour")
            s.setFillColor(Qt::darkYellow);
        else if (change == "mode")
            s.setDrawMode(DrawMode::InvertXor);
        else if (change == "text")
            s.drawText(QPoint(5, 5), QStringLiteral("Feld"), QFont());
        done();
        s.drawPolygon(triangle.translated(4, 3));
        done();
        s.drawCircle(QPointF(62, 52), 25, Qt::green);
        done();
        s.drawCircle(QPointF(64, 54), 25, change == "outline colour" ? Qt::blue : Qt::green);
        return bytesOf(s.image());
    };
    const QByteArray kept = drawn(false);
    QCOMPARE(kept, drawn(true));
    QVERIFY(kept != bytesOf(texturedPicture(120, 90)));
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
    scene.list.setLines({area("rect", "10,10,60,60"), area("circle", "200,100,40"), area("other", "1,1,299,199"),
                         area("default", "5,150,50,190")});
    scene.renderer.redraw(-1);
    QCOMPARE(scene.at(30, 10), QColor(0x80, 0x80, 0x00));
    QCOMPARE(scene.at(240, 100), QColor(Qt::red));
    QCOMPARE(scene.at(299, 199), QColor(0x80, 0x80, 0x00)); // an unknown shape is a browser's rectangle
    QCOMPARE(scene.at(30, 150), QColor(Qt::white));        // the default area is the rest of the picture
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
    highlight(fast, renderer, list, 4);
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

void TestCanvas::manyChangesRedrawEqualsFullRedraw_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("hatched");
    QTest::addColumn<QSize>("size");
    QTest::newRow("thin") << 1 << false << QSize(1200, 900);
    QTest::newRow("thick hatched, packed picture") << 3 << true << QSize(1600, 1400);
}

// Hundreds of areas moved in one change, highlighted and taken out of the
// picture (as a drag of several does): the redraw of only their places must
// give the very picture a redraw from scratch gives.
void TestCanvas::manyChangesRedrawEqualsFullRedraw()
{
    QFETCH(int, width);
    QFETCH(bool, hatched);
    QFETCH(QSize, size);
    const QImage picture = texturedPicture(size.width(), size.height());
    QStringList lines;
    for (int i = 0; i < 12; ++i) {
        for (const QString& line : overlappingAreas())
            lines << movedLine(line, (i % 4) * size.width() / 4, (i / 4) * size.height() / 3);
    }
    AreaList list;
    list.setLines(lines);
    ImageSurface fast;
    fast.setPicture(picture);
    AreaRenderer renderer(list, fast);
    useStyle(fast, width, hatched);
    renderer.redraw(-1);
    const auto fromScratch = [&](const QStringList& shown) {
        AreaList others;
        others.setLines(shown);
        ImageSurface full;
        full.setPicture(picture);
        AreaRenderer reference(others, full);
        reference.setIncremental(false);
        useStyle(full, width, hatched);
        reference.redraw(-1);
        return full.image().copy();
    };
    QList<int> moving;
    for (int row = 0; row < lines.size(); row += 10)
        moving << row;
    fast.setPenColor(Qt::yellow);
    for (int row : moving)
        drawOutline(fast, parseArea(lines[row]));
    fast.setPenColor(Qt::red);
    QStringList after = lines;
    for (int row : moving)
        after[row] = movedLine(lines[row], 3, -2);
    QSignalSpy changed(&list, &AreaList::dataChanged);
    list.setLines(after);
    QCOMPARE(changed.count(), 1);
    renderer.redraw(-1);
    QVERIFY(renderer.lastRedrawWasPartial());
    QCOMPARE(fast.image(), fromScratch(after));
    renderer.setHidden(moving);
    renderer.redraw(-1);
    QVERIFY(renderer.lastRedrawWasPartial());
    QStringList shown;
    for (int row = 0; row < after.size(); ++row) {
        if (!moving.contains(row))
            shown << after[row];
    }
    QCOMPARE(fast.image(), fromScratch(shown));
    renderer.setHidden({});
    renderer.redraw(-1);
    QCOMPARE(fast.image(), fromScratch(after));
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
        highlight(fast, renderer, list, row);
        highlight(full, reference, list, row);
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

// A shape as one line of text, to compare with a row's.
QString describe(const AreaGeometry& a)
{
    const auto point = [](QPoint p) { return QStringLiteral("%1,%2").arg(p.x()).arg(p.y()); };
    QString text;
    switch (a.kind) {
    case AreaGeometry::Kind::None:
        return QStringLiteral("none");
    case AreaGeometry::Kind::Rect:
        text = QStringLiteral("rect ") + point(a.corner1) + u' ' + point(a.corner2);
        break;
    case AreaGeometry::Kind::Circle:
        text = QStringLiteral("circle ") + point(a.centre) + QStringLiteral(" r") + QString::number(a.radius);
        break;
    case AreaGeometry::Kind::Poly:
        text = QStringLiteral("poly");
        for (const QPoint p : a.points)
            text += u' ' + point(p);
        break;
    }
    text += QStringLiteral(" [%1 %2x%3] ").arg(point(a.bounds.topLeft())).arg(a.bounds.width()).arg(a.bounds.height());
    text += a.clickable ? QStringLiteral("yes") : QStringLiteral("no");
    return text;
}

// Plain whole numbers take a quick reading; every other value the general
// one. Both must give the same shape.
void TestCanvas::shapesReadFromLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("shape");
    QTest::newRow("rect") << area("rect", "1,2,3,4") << "rect 1,2 3,4 [1,2 3x3] yes";
    QTest::newRow("rect blanks, signs, more values")
        << area("rect", " +5 , -0,3 ,4,x,9") << "rect 5,0 3,4 [3,0 3x5] yes";
    QTest::newRow("rect fractions") << area("rect", "1.5,2.5,3,4e0") << "rect 2,2 3,4 [2,2 2x3] yes";
    QTest::newRow("rect not a number") << area("rect", "a,2,3,4") << "rect 0,2 3,4 [0,2 4x3] yes";
    QTest::newRow("rect far off") << area("rect", "99999999999,0,1,1") << "rect 10000000,0 1,1 [1,0 10000000x2] yes";
    QTest::newRow("rect 16 digits") << area("rect", "1000000000000000,0,1,1") << "rect 10000000,0 1,1 [1,0 10000000x2] yes";
    // A browser reads a run of separators as one: no empty value, three numbers.
    QTest::newRow("rect empty value") << area("rect", "1,,3,4") << "none";
    QTest::newRow("rect three") << area("rect", "1,2,3") << "none";
    QTest::newRow("rect letter after a value") << area("rect", "1,2,3,4x") << "rect 1,2 3,4 [1,2 3x3] yes";
    QTest::newRow("rect sign alone") << area("rect", "-,2,3,4") << "rect 0,2 3,4 [0,2 4x3] yes";
    QTest::newRow("rect 15 digits") << area("rect", "-999999999999999,0,1,1") << "rect -10000000,0 1,1 [-10000000,0 10000002x2] yes";
    QTest::newRow("circle") << area("circle", "10,20,5") << "circle 10,20 r5 [5,15 11x11] yes";
    QTest::newRow("circle negative radius") << area("circle", "10,20,-5") << "circle 10,20 r5 [5,15 11x11] no";
    QTest::newRow("circle half radius") << area("circle", "10,20,2.5") << "circle 10,20 r2 [8,18 5x5] yes";
    QTest::newRow("poly") << area("poly", "1,2,3,4,5,6") << "poly 1,2 3,4 5,6 [1,2 5x5] yes";
    QTest::newRow("poly odd count") << area("poly", "1,2,3,4,5") << "poly 1,2 3,4 [1,2 3x3] no";
    QTest::newRow("poly one value") << area("poly", "5") << "none";
    QTest::newRow("poly trailing comma") << area("poly", "1,2,3,4,5,6,") << "poly 1,2 3,4 5,6 [1,2 5x5] yes";
    QTest::newRow("poly text value") << area("poly", "1,2,x,4,5,6") << "poly 1,2 0,4 5,6 [0,2 6x5] yes";
    QTest::newRow("upper case keyword") << area("RECT", "1,2,3,4") << "rect 1,2 3,4 [1,2 3x3] yes";
    // The coordinates and keywords as a browser reads them (HTML's list of floating-point numbers).
    QTest::newRow("blanks separate") << area("rect", "2 2 10 10") << "rect 2,2 10,10 [2,2 9x9] yes";
    QTest::newRow("semicolons and runs") << area("rect", ",2;;2 ,\t10;10,") << "rect 2,2 10,10 [2,2 9x9] yes";
    QTest::newRow("units read their number") << area("circle", "120px,150px,20px") << "circle 120,150 r20 [100,130 41x41] yes";
    QTest::newRow("garbage inside a number") << area("rect", "2a2b20c20,2,10,10") << "rect 2,2 10,10 [2,2 9x9] yes";
    QTest::newRow("percent and garbage before") << area("rect", "10%,x5,20,y30") << "rect 10,5 20,30 [10,5 11x26] yes";
    QTest::newRow("too many numbers ignored") << area("circle", "10 20 5 99 99") << "circle 10,20 r5 [5,15 11x11] yes";
    QTest::newRow("circ") << area("circ", "10,20,5") << "circle 10,20 r5 [5,15 11x11] yes";
    QTest::newRow("Circle in capitals") << area("CIRCLE", "10,20,5") << "circle 10,20 r5 [5,15 11x11] yes";
    QTest::newRow("polygon, points by blanks") << area("polygon", "1 2 3 4 5 6") << "poly 1,2 3,4 5,6 [1,2 5x5] yes";
    QTest::newRow("rectangle") << area("Rectangle", "1,2,3,4") << "rect 1,2 3,4 [1,2 3x3] yes";
    QTest::newRow("unknown keyword is a rectangle") << area("Dreieck", "1,2,3,4") << "rect 1,2 3,4 [1,2 3x3] yes";
    QTest::newRow("default is the rest of the picture") << area("DEFAULT", "1,2,3,4") << "none";
    QTest::newRow("exponent and fraction") << area("rect", "1e1,.5e1,-0.5e1,2.e3") << "rect 10,5 -5,2 [-5,2 16x4] yes";
    QTest::newRow("keyword with blanks") << QStringLiteral("  circle   |1,2,3|||||||") << "circle 1,2 r3 [-2,-1 7x7] yes";
    QTest::newRow("no second bar") << QStringLiteral(" rect|1,2,3,4") << "rect 1,2 3,4 [1,2 3x3] yes";
    QTest::newRow("no bar") << QStringLiteral(" rect") << "none";
    QTest::newRow("odd white space") << area(QString::fromUtf16(u"\u0085rect\u00a0"), QString::fromUtf16(u"\u00a01,2,3\t,4\u2028")) << "rect 1,2 3,4 [1,2 3x3] yes";
}

void TestCanvas::shapesReadFromLines()
{
    QFETCH(QString, line);
    QFETCH(QString, shape);
    QCOMPARE(describe(parseArea(QStringView(line))), shape);
    // A line kept in Latin-1 is read without converting it: the same shape.
    const QByteArray latin1 = line.toLatin1();
    if (QString::fromLatin1(latin1) == line)
        QCOMPARE(describe(parseArea(QLatin1StringView(latin1))), shape);
}

// An import appends its lines at once; many of them are read on two
// threads, into the same shapes as one by one, after the lines already there.
void TestCanvas::manyLinesReadOnTwoThreads()
{
    AreaList list;
    ImageSurface s;
    s.setPicture(texturedPicture(50, 50));
    AreaRenderer renderer(list, s);
    list.append(AreaLines{area("circle", "1,2,3")});
    AreaLines lines;
    for (int i = 0; i < 60'001; ++i)
        lines << (i % 3 == 0 ? area("rect", QStringLiteral("%1,2,%1,9").arg(i))
                  : i % 3 == 1 ? area("poly", QStringLiteral("1,%1,5,6,7.5,8").arg(i))
                               : area(QString::fromUtf16(u"circle\u00e9"), QStringLiteral("4,%1,2").arg(i)));
    list.append(lines);
    QCOMPARE(renderer.shapes().size(), 60'002);
    for (int row = 0; row < list.count(); ++row)
        QCOMPARE(describe(renderer.shapes().at(row)), describe(parseArea(list.line(row))));
    QCOMPARE(describe(renderer.shapes().at(60'001)), QStringLiteral("rect 60000,2 60000,9 [60000,2 1x8] yes"));
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

// The zoomed canvas draws the drawing again from its log; at the buffer's own
// scale that must give the buffer, whatever was drawn since the last redraw.
void TestCanvas::logDrawsWhatTheBufferShows()
{
    Scene scene(400, 300);
    useStyle(scene.s, 1, true);
    scene.renderer.setCircleColor(Qt::darkGreen);
    scene.list.setLines(overlappingAreas());
    const auto replayed = [&] {
        QImage image = scene.s.picture().copy();
        QPainter p(&image);
        ScaledSurface scaled(p, 1.0);
        scene.s.replay(scaled, QRectF(0, 0, 400, 300));
        p.end();
        return image;
    };
    scene.renderer.redraw(-1);
    QCOMPARE(replayed(), scene.s.image());
    for (int row : {4, 9, 4}) { // highlights, each painted over by the next selection
        highlight(scene.s, scene.renderer, scene.list, row);
        QCOMPARE(replayed(), scene.s.image());
    }
    // A rubber band drawn, moved and taken away; the edges of an open polygon.
    scene.s.setDrawMode(DrawMode::InvertXor);
    scene.s.drawRectangle(QPointF(50, 40), QPointF(200, 150));
    scene.s.drawRectangle(QPointF(50, 40), QPointF(200, 150));
    scene.s.drawRectangle(QPointF(50, 40), QPointF(230, 170));
    QCOMPARE(replayed(), scene.s.image());
    scene.s.drawRectangle(QPointF(50, 40), QPointF(230, 170));
    scene.s.setDrawMode(DrawMode::Copy);
    scene.s.drawLine(QPointF(20, 280), QPointF(380, 200), Qt::blue);
    QCOMPARE(replayed(), scene.s.image());
    // All areas and the newest painting of the others: older ones add nothing.
    int layers = 0;
    for (const DrawingLog::Step& step : scene.s.log().steps())
        layers += step.kind == DrawingLog::Kind::Areas;
    QCOMPARE(layers, 2);
    scene.list.replace(3, area("circle", "200,150,40"));
    scene.renderer.redraw(-1);
    QCOMPARE(replayed(), scene.s.image());
}

void TestCanvas::pressChoosesWhatABrowserFollows_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("row"); // -1: none, the message
    using korvane::test::row;
    const QStringList rects{area("rect", "10,10,100,100"), area("rect", "50,50,150,150")};
    row("overlap: first in the list", rects, QPoint(70, 70), 0);
    row("rect edge inside", rects, QPoint(100, 30), 0);
    row("rect corners given the other way", QStringList{area("rect", "100,100,10,10")}, QPoint(20, 50), 0);
    row("edge of a rect given the other way", QStringList{area("rect", "100,100,10,10")}, QPoint(10, 100), 0);
    row("outside both", rects, QPoint(101, 30), -1);
    const QStringList circles{area("circle", "100,100,30"), area("circle", "100,120,30")};
    row("circle edge inside", circles, QPoint(100, 130), 0);
    row("just past the first circle", circles, QPoint(100, 131), 1);
    row("circle without radius", QStringList{area("rect", "0,0,50,50"), area("circle", "100,100,0")}, QPoint(100, 100),
        -1);
    // A U whose gap shows the rectangle behind it.
    const QStringList concave{area("poly", "10,10,90,10,90,90,70,90,70,30,30,30,30,90,10,90"),
                              area("rect", "0,0,100,100")};
    row("concave polygon's arm", concave, QPoint(20, 60), 0);
    row("concave polygon's gap", concave, QPoint(50, 60), 1);
    // A star drawn in one line: its middle is covered twice, which is outside.
    row("star's middle, even-odd",
        QStringList{area("poly", "50,0,80,95,5,35,95,35,20,95"), area("rect", "0,0,100,100")}, QPoint(46, 55), 1);
}

// A press that chooses an area does what a click on its line does:
// highlight, handles and code. Outside every area it says so without a
// selection, and with one it changes nothing.
void TestCanvas::pressChoosesWhatABrowserFollows()
{
    QFETCH(QStringList, lines);
    QFETCH(QPoint, point);
    QFETCH(int, row);
    Window byList(lines), e(lines); // the newer window's platform records
    e.press(point);
    QCOMPARE(e.w.selectedIndex(), row);
    QCOMPARE(e.w.areas().lines(), lines); // a click moves nothing
    if (row < 0) {
        QCOMPARE(e.platform.texts(), QStringList{"Bitte zunächst in der Arealliste ein Element auswählen!"});
        e.w.setSelectedIndex(0);
        const QImage before = e.canvas()->image().copy();
        e.press(point);
        e.press(point, Qt::RightButton);
        QCOMPARE(e.w.selectedIndex(), 0);
        QCOMPARE(e.canvas()->image(), before);
        QCOMPARE(e.platform.boxes.size(), 1);
        return;
    }
    QVERIFY(e.platform.boxes.isEmpty());
    QVERIFY(e.canvas()->hasFocus());
    byList.clickRow(row);
    QCOMPARE(e.canvas()->image(), byList.canvas()->image());
    QCOMPARE(e.w.mapCode(), byList.w.mapCode());
    QCOMPARE(e.w.handles().count(), byList.w.handles().count());
    for (int i = 0; i < e.w.handles().count(); ++i)
        QCOMPARE(e.w.handles().handle(i)->pos(), byList.w.handles().handle(i)->pos());
}

// Handle 4 of the selected rectangle lies inside the other area.
void TestCanvas::handleWinsOverAreaBelow()
{
    Window e({area("rect", "100,60,200,150"), kRectA});
    e.w.setSelectedIndex(1);
    e.drag(e.w.handles().handle(4), QPoint(1, 1), QPoint(130, 90));
    QCOMPARE(e.w.selectedIndex(), 1);
    QCOMPARE(e.coords(1), QStringLiteral("10,20,130,90"));
    QCOMPARE(e.coords(0), QStringLiteral("100,60,200,150"));
}

void TestCanvas::bodyDragMovesTheArea_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QString>("coords");
    // The shapes at 100 %, the zoom's conversion with one of them.
    for (int zoom : {50, 100, 200})
        QTest::addRow("rect %d %%", zoom) << kRectA << zoom << "30,10,130,60";
    QTest::newRow("circle") << kCircle << 100 << "120,90,30";
    QTest::newRow("poly") << kPoly << 100 << "30,0,70,0,50,30";
}

// Pressed inside, the area keeps its distance to the pointer, like its anchor
// (a circle's centre) moved by the same amount; the code follows on release.
void TestCanvas::bodyDragMovesTheArea()
{
    QFETCH(QString, line);
    QFETCH(int, zoom);
    QFETCH(QString, coords);
    Window e({line});
    e.zoom(zoom);
    const QPoint inside = line == kPoly ? QPoint(30, 20) : line == kCircle ? QPoint(100, 116) : QPoint(100, 60);
    e.press(inside);
    const QString code = e.w.mapCode();
    QTest::mousePress(e.canvas(), Qt::LeftButton, {}, e.at(inside));
    QTest::mouseMove(e.canvas(), e.at(inside + QPoint(10, -4)));
    QTest::mouseMove(e.canvas(), e.at(inside + QPoint(20, -10)));
    // The canvas shows the area moved; the list keeps its line until the release.
    QCOMPARE(entry::coordsOf(e.w.session().preview().lineOf(0, QString())), coords);
    QCOMPARE(e.coords(), entry::coordsOf(line));
    QCOMPARE(e.w.mapCode(), code);
    QTest::mouseRelease(e.canvas(), Qt::LeftButton, {}, e.at(inside + QPoint(20, -10)));
    QVERIFY(e.w.mapCode().contains("coords=\"" + coords + "\""));
    QCOMPARE(e.w.document().history().count(), 1);
    QCOMPARE(e.w.document().history().undoText(), QStringLiteral("Areal verschieben"));
    e.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.w.areas().lines(), QStringList{line});
}

void TestCanvas::keysMoveTheArea_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QString>("coords");
    using korvane::test::row;
    const int left = Qt::Key_Left, right = Qt::Key_Right, up = Qt::Key_Up, down = Qt::Key_Down;
    row("left", kRectA, left, false, "9,20,109,70");
    row("shift down", kRectA, down, true, "10,30,110,80");
    row("stops at the left edge", area("rect", "3,20,50,70"), left, true, "0,20,47,70");
    row("stops at the right edge", area("rect", "300,20,395,70"), right, true, "305,20,400,70");
    row("stops at the top", area("poly", "50,8,90,2,70,40"), up, true, "50,6,90,0,70,38");
    row("stops at the bottom", area("rect", "10,200,50,296"), down, true, "10,204,50,300");
    row("circle's disc at the edge", area("circle", "100,5,5"), up, false, "100,5,5");
    row("circle keeps its radius", kCircle, left, true, "90,100,30");
    row("outside: no further out", area("rect", "-5,20,50,70"), left, false, "-5,20,50,70");
    row("outside: back in", area("rect", "-5,20,50,70"), right, false, "-4,20,51,70");
}

// Each key move shows in the code at once; a run of them is one step.
void TestCanvas::keysMoveTheArea()
{
    QFETCH(QString, line);
    QFETCH(int, key);
    QFETCH(bool, shift);
    QFETCH(QString, coords);
    Window e({line});
    e.w.setSelectedIndex(0);
    const QPoint anchor = e.w.handles().anchor()->pos();
    e.key(key, shift ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(e.coords(), coords);
    QVERIFY(e.w.mapCode().contains("coords=\"" + coords + "\""));
    if (coords == entry::coordsOf(line)) {
        QCOMPARE(e.w.document().history().count(), 0);
        return;
    }
    const auto firstPoint = [](const QString& coords) {
        const QStringList v = coords.split(',');
        return QPoint(v[0].toInt(), v[1].toInt());
    };
    QCOMPARE(e.w.handles().anchor()->pos() - anchor, firstPoint(e.coords()) - firstPoint(entry::coordsOf(line)));
    e.key(key, shift ? Qt::ShiftModifier : Qt::NoModifier);
    e.key(Qt::Key_Down);
    QCOMPARE(e.w.document().history().count(), 1);
    e.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(e.w.areas().lines(), QStringList{line});
}

void TestCanvas::tabWalksTheList()
{
    Window e({kRectA, kCircle, kPoly});
    e.canvas()->setFocus();
    QList<int> rows;
    for (bool back : {false, false, true, false, false}) {
        e.key(back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
        rows << e.w.selectedIndex();
    }
    QCOMPARE(rows, (QList<int>{0, 1, 0, 1, 2}));
    QCOMPARE(e.w.handles().count(), 4); // the polygon's
    QVERIFY(e.canvas()->hasFocus());
    // Past the last area Tab goes on to the next control; the area stays chosen.
    e.key(Qt::Key_Tab);
    QCOMPARE(e.w.selectedIndex(), 2);
    QCOMPARE(QApplication::focusWidget(), e.w.ui.List1);
}

// From the first button, Tab reaches every control once, walks the canvas's
// areas in edit mode, leaves the code box and comes back round; Shift+Tab
// walks the same way back. What the mouse does elsewhere the keys do there.
void TestCanvas::tabWalksEveryControl()
{
    Window e({kRectA, kCircle});
    const auto walk = [&](Qt::Key key) {
        QStringList names;
        e.w.ui.Command1->setFocus();
        for (int i = 0; i < 40; ++i) {
            e.key(key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier, QApplication::focusWidget());
            QWidget* focus = QApplication::focusWidget();
            if (focus == e.w.ui.Command1)
                break;
            names << (focus ? focus->objectName() : QStringLiteral("(none)"));
            if (focus == e.canvas())
                names.last() += QStringLiteral(" %1").arg(e.w.selectedIndex());
        }
        return names;
    };
    const QString code = e.w.mapCode();
    const QStringList forward = walk(Qt::Key_Tab);
    QCOMPARE(forward, QStringList({"Command7", "Command8", "Command11", "Command12", "cmdClipboard", "Command4",
                                   "Option1_0", "Command6", "Command13", "Picture1 -1", "Picture1 0", "Picture1 1",
                                   "List1", "Command3", "Command9", "Option2_0", "picColor", "Image1_0", "Image1_1",
                                   "Image1_2", "chkGefuellt", "txtMap"}));
    QCOMPARE(e.w.mapCode(), code); // the code box took no tab
    // Back the same way; the canvas is entered with the last area chosen.
    QStringList backward = walk(Qt::Key_Backtab);
    std::reverse(backward.begin(), backward.end());
    QStringList expected = forward;
    expected.removeOne("Picture1 -1");
    QCOMPARE(backward, expected);
    // Ctrl+Tab types a tab into the code; after Tab the canvas takes the arrow keys.
    e.w.ui.txtMap->moveCursor(QTextCursor::Start);
    e.key(Qt::Key_Tab, Qt::ControlModifier, e.w.ui.txtMap);
    QCOMPARE(e.w.mapCode(), "\t" + code);
    e.w.ui.Command13->setFocus();
    e.key(Qt::Key_Tab, {}, e.w.ui.Command13);
    QCOMPARE(QApplication::focusWidget(), e.canvas());
    e.key(Qt::Key_Right, {}, e.canvas());
    QCOMPARE(e.coords(0), QStringLiteral("11,20,111,70"));
    // The palette's swatches and the line widths by the keys.
    e.w.ui.picColor->setFocus();
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Space})
        e.key(key, {}, e.w.ui.picColor);
    QCOMPARE(e.w.drawColor(), QColor(kPaletteColors[10]));
    e.w.ui.Image1[2]->setFocus();
    e.key(Qt::Key_Space, {}, e.w.ui.Image1[2]);
    QCOMPARE(e.w.lineWidth(), 3);
}

void TestCanvas::keysWaitForTheDrag_data()
{
    QTest::addColumn<QString>("grip"); // "body", "handle" or "polygon"
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("inList"); // the key goes to the list, else to the canvas
    QTest::addColumn<QStringList>("after");
    using korvane::test::row;
    const int del = Qt::Key_Delete, tab = Qt::Key_Tab, z = Qt::Key_Z, none = Qt::NoModifier;
    const QString b = kRectB;
    const QStringList byBody{area("rect", "31,30,131,80"), b}, byHandle{area("rect", "11,20,131,82"), b};
    row("Delete on the canvas, body", "body", del, none, false, byBody);
    row("Delete on the canvas, handle", "handle", del, none, false, byHandle);
    row("Delete in the list, handle", "handle", del, none, true, byHandle);
    row("Tab on the canvas, body", "body", tab, none, false, byBody);
    row("Shift+Tab on the canvas, handle", "handle", int(Qt::Key_Backtab), int(Qt::ShiftModifier), false, byHandle);
    row("Ctrl+Z on the canvas, body", "body", z, int(Qt::ControlModifier), false, byBody);
    const QStringList drawn{area("rect", "11,20,111,70"), b, " poly" + kPad + "20,200,60,200,40,240|ziel.html||*|*|*|*"};
    row("Delete while a polygon is drawn", "polygon", del, none, false, drawn);
    row("Tab while a polygon is drawn", "polygon", tab, none, false, drawn);
}

// A key that would delete, choose another area or undo waits until the
// area is let go or the shape is finished; the drag records one step.
void TestCanvas::keysWaitForTheDrag()
{
    QFETCH(QString, grip);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, inList);
    QFETCH(QStringList, after);
    Window e({kRectA, kRectB});
    e.w.setSelectedIndex(0);
    e.canvas()->setFocus();
    e.key(Qt::Key_Right); // a step the undo key could take back
    e.platform.answers.enqueue(MessageButton::Yes);
    QWidget* held = nullptr;
    if (grip == QLatin1String("polygon")) {
        e.w.ui.Option1[0]->click();
        e.press(QPoint(20, 200));
        e.press(QPoint(60, 200));
    } else {
        if (inList)
            e.w.ui.List1->setFocus();
        const bool byHandle = grip == QLatin1String("handle");
        held = e.hold(byHandle, QPoint(41, 40), byHandle ? QPoint(121, 77) : QPoint(51, 45));
    }
    QWidget* target = inList ? static_cast<QWidget*>(e.w.ui.List1) : e.canvas();
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(e.platform.boxes.isEmpty());
    QCOMPARE(QApplication::focusWidget(), focus);
    if (held) {
        QCOMPARE(e.w.selectedIndex(), 0);
        const QPoint end = grip == QLatin1String("handle") ? QPoint(131, 82) : QPoint(61, 50);
        e.pointer(held, end);
        e.letGo(held, end);
    } else {
        e.press(QPoint(40, 240));
        e.press(QPoint(300, 280), Qt::RightButton);
    }
    QCOMPARE(e.w.areas().lines(), after);
    QCOMPARE(e.w.document().history().count(), 2);
    e.undoAll(2);
    QCOMPARE(e.w.areas().lines(), QStringList({kRectA, kRectB}));
}

void TestCanvas::dragShowsWhatTheListWouldShow_data()
{
    QTest::addColumn<bool>("byHandle");
    QTest::addColumn<QString>("moved");
    QTest::newRow("handle") << true << "0,0,70,60";
    QTest::newRow("body") << false << "50,45,90,75";
}

// While the first of thirty crossing areas is dragged, the canvas holds
// exactly the pixels it holds once the list has the moved line: every area
// in its own stacking place, drawn as a redraw from scratch draws it.
void TestCanvas::dragShowsWhatTheListWouldShow()
{
    QFETCH(bool, byHandle);
    QFETCH(QString, moved);
    const QStringList lines = overlappingAreas();
    Window e(lines);
    e.w.setSelectedIndex(0);
    QWidget* held = e.hold(byHandle, QPoint(20, 15), QPoint(70, 60));
    QCOMPARE(e.w.areas().lines(), lines);
    const QImage during = e.canvas()->surface().image().copy();
    QStringList after = lines;
    after[0] = entry::withCoords(lines[0], moved);
    Window drawn(after);
    drawn.w.neu_zeichnen(-1, false);
    QCOMPARE(during, drawn.canvas()->surface().image());
    e.letGo(held, QPoint(70, 60));
    QCOMPARE(e.w.areas().lines(), after);
}

void TestCanvas::polygonToolOwnsItsPoints_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("switchTool");
    QTest::addColumn<int>("pointsLeft");
    QTest::addColumn<QString>("stored"); // by the right click that follows; empty: nothing
    QTest::newRow("Backspace") << QList<int>{Qt::Key_Backspace} << false << 2 << "20,20,80,20";
    QTest::newRow("Backspace twice") << QList<int>{Qt::Key_Backspace, Qt::Key_Backspace} << false << 1 << "20,20";
    QTest::newRow("Backspace past the first point")
        << QList<int>{Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace} << false << 0 << "";
    QTest::newRow("Escape") << QList<int>{Qt::Key_Escape} << false << 0 << "";
    QTest::newRow("another tool chosen") << QList<int>{} << true << 0 << "";
    QTest::newRow("nothing") << QList<int>{} << false << 3 << "20,20,80,20,80,80";
}

// The next edge follows the pointer above the picture; Backspace takes the
// last point and its edge back, Escape and another tool drop the polygon
// with every line drawn of it.
void TestCanvas::polygonToolOwnsItsPoints()
{
    QFETCH(QList<int>, keys);
    QFETCH(bool, switchTool);
    QFETCH(int, pointsLeft);
    QFETCH(QString, stored);
    Window e;
    const QList<QPoint> points{{20, 20}, {80, 20}, {80, 80}};
    QList<QImage> drawn; // the picture after each click
    for (const QPoint& p : points) {
        e.press(p);
        drawn << e.canvas()->surface().image().copy();
    }
    const QColor pen = e.canvas()->surface().penColor();
    const auto edgeShown = [&e, pen] {
        const QImage shown = e.canvas()->grab().toImage();
        for (const QPoint& p : {QPoint(65, 85), QPoint(64, 85), QPoint(65, 84), QPoint(66, 85), QPoint(65, 86)})
            if (shown.pixelColor(p) == pen)
                return true;
        return false;
    };
    // A move without a button, as the pointer passes (QTest drops some of those).
    const QPointF to(e.at(QPoint(50, 90)));
    QMouseEvent move(QEvent::MouseMove, to, e.canvas()->mapToGlobal(to), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(e.canvas(), &move);
    QVERIFY(edgeShown());
    QCOMPARE(e.canvas()->surface().image(), drawn.last()); // above the picture only
    for (int key : keys)
        e.key(key);
    if (switchTool) {
        e.w.ui.Option1[1]->click();
        e.w.ui.Option1[0]->click();
    }
    QCOMPARE(e.w.editorState().polygonOpen, pointsLeft > 0);
    QCOMPARE(e.w.editorState().polyPoints, points.mid(0, pointsLeft));
    const QImage clean = pointsLeft > 0 ? drawn[pointsLeft - 1] : drawn.first();
    QCOMPARE(e.canvas()->surface().image(), clean);
    QCOMPARE(edgeShown(), pointsLeft == 3);
    e.press(QPoint(10, 90), Qt::RightButton);
    QCOMPARE(e.w.areas().count(), stored.isEmpty() ? 0 : 1);
    if (!stored.isEmpty())
        QCOMPARE(e.coords(), stored);
    QVERIFY(!edgeShown());
}

void TestCanvas::escapeDropsTheBand_data()
{
    QTest::addColumn<int>("tool");
    QTest::newRow("rectangle") << 1;
    QTest::newRow("circle") << 2;
}

// Escape while a rectangle or circle is dragged takes its band off the
// picture; the release then draws nothing and asks nothing.
void TestCanvas::escapeDropsTheBand()
{
    QFETCH(int, tool);
    Window e;
    e.w.ui.Option1[tool]->click();
    const QImage clean = e.canvas()->surface().image().copy();
    bool asked = false;
    e.w.linkDialog = [&asked] { return asked = true; };
    QTest::mousePress(e.canvas(), Qt::LeftButton, {}, e.at(QPoint(20, 20)));
    QTest::mouseMove(e.canvas(), e.at(QPoint(80, 60)));
    QVERIFY(e.canvas()->surface().image() != clean);
    e.key(Qt::Key_Escape);
    QCOMPARE(e.canvas()->surface().image(), clean);
    QCOMPARE(e.w.editorState().drawState(), 1);
    QTest::mouseMove(e.canvas(), e.at(QPoint(90, 70)));
    QTest::mouseRelease(e.canvas(), Qt::LeftButton, {}, e.at(QPoint(90, 70)));
    QCOMPARE(e.canvas()->surface().image(), clean);
    QVERIFY(!asked);
    QCOMPARE(e.w.areas().count(), 0);
}

void TestCanvas::changesBeneathEndTheDrag_data()
{
    QTest::addColumn<bool>("byHandle");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("after");
    using korvane::test::row;
    const QString b = kRectB;
    const QString body = area("rect", "20,25,120,75"), handle = area("rect", "10,20,120,77");
    row("body, another line chosen in the list", false, "Down", QStringList{body, b});
    row("handle, another line chosen in the list", true, "Down", QStringList{handle, b});
    row("handle, copied by Space", true, "Command10", QStringList{handle, b, handle});
    row("body, all cleared by Space", false, "Command3", QStringList{});
    row("handle, drawing mode chosen by Space", true, "Option1_0", QStringList{handle, b});
}

// A change of the list or the handles while the area is held ends the drag
// with what it did so far as one step of its own: later moves change
// nothing, the keys work at once, and undoing everything gives the start.
void TestCanvas::changesBeneathEndTheDrag()
{
    QFETCH(bool, byHandle);
    QFETCH(QString, action);
    QFETCH(QStringList, after);
    const QStringList start{kRectA, kRectB};
    Window e(start);
    e.w.setSelectedIndex(0);
    e.w.ui.Command10->setEnabled(true); // as after drawing
    e.platform.answers.enqueue(MessageButton::Yes);
    QPointer<QWidget> held = e.hold(byHandle, QPoint(40, 40), byHandle ? QPoint(120, 77) : QPoint(50, 45));
    if (action == QLatin1String("Down")) {
        e.w.ui.List1->setFocus();
        QTest::keyClick(e.w.ui.List1, Qt::Key_Down);
    } else {
        auto* control = e.w.findChild<QAbstractButton*>(action);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Space);
    }
    QVERIFY(!e.w.handles().isDragging());
    if (!held || !held->isVisible())
        held = e.canvas(); // the pointer is no longer held: it is over the canvas
    e.pointer(held, QPoint(130, 82));
    e.letGo(held, QPoint(130, 82));
    QCOMPARE(e.w.areas().lines(), after);
    const int steps = e.w.document().history().count();
    QCOMPARE(steps, after.size() == 3 || after.isEmpty() ? 2 : 1);
    e.undoAll(steps);
    QCOMPARE(e.w.areas().lines(), start);
    QCOMPARE(e.w.document().history().index(), 0);
}

void TestCanvas::zoomKeepsPicturePixels_data()
{
    QTest::addColumn<QString>("start");        // the area being edited, if any
    QTest::addColumn<int>("tool");             // drawn with Option1(tool), -1: editing
    QTest::addColumn<int>("handle");           // dragged, -1: a right click adds a point
    QTest::addColumn<QList<QPoint>>("points"); // picture points
    QTest::addColumn<int>("zoom");
    for (int zoom : {50, 200}) {
        const QByteArray z = " " + QByteArray::number(zoom) + " %";
        QTest::newRow("draw rect" + z) << QString() << 1 << -1 << QList<QPoint>{{20, 30}, {120, 90}} << zoom;
        QTest::newRow("draw circle" + z) << QString() << 2 << -1 << QList<QPoint>{{100, 100}, {140, 110}} << zoom;
        QTest::newRow("draw polygon" + z)
            << QString() << 0 << -1 << QList<QPoint>{{10, 10}, {50, 10}, {30, 40}} << zoom;
        QTest::newRow("rect corner 4" + z) << kRectA << -1 << 4 << QList<QPoint>{{130, 90}} << zoom;
        QTest::newRow("rect anchor" + z) << kRectA << -1 << 0 << QList<QPoint>{{80, 60}} << zoom;
        QTest::newRow("circle centre" + z) << kCircle << -1 << 1 << QList<QPoint>{{120, 110}} << zoom;
        QTest::newRow("circle radius" + z) << kCircle << -1 << 2 << QList<QPoint>{{150, 100}} << zoom;
        QTest::newRow("poly vertex" + z) << kPoly << -1 << 2 << QList<QPoint>{{60, 20}} << zoom;
        QTest::newRow("add a point" + z) << kPoly << -1 << -1 << QList<QPoint>{{70, 60}} << zoom;
    }
}

// The same picture points give the same coordinates at every zoom, and each
// change is one step that Ctrl+Z takes back.
void TestCanvas::zoomKeepsPicturePixels()
{
    QFETCH(QString, start);
    QFETCH(int, tool);
    QFETCH(int, handle);
    QFETCH(QList<QPoint>, points);
    QFETCH(int, zoom);
    const QStringList before = start.isEmpty() ? QStringList() : QStringList{start};
    const auto run = [&](int percent) {
        Window e(before);
        if (!start.isEmpty())
            e.w.setSelectedIndex(0);
        e.zoom(percent);
        if (tool > 0) {
            e.w.ui.Option1[tool]->click();
            e.drag(e.canvas(), e.at(points[0]), e.at(points[1]));
        } else if (tool == 0) {
            for (QPoint p : points)
                e.press(p);
            e.press(QPoint(200, 200), Qt::RightButton);
        } else if (handle >= 0) {
            e.drag(e.w.handles().handle(handle), QPoint(2, 2), e.at(points[0]));
        } else {
            e.press(points[0], Qt::RightButton);
        }
        QStringList after = e.w.areas().lines().toStringList();
        e.key(Qt::Key_Z, Qt::ControlModifier);
        if (e.w.areas().lines() != before)
            after << QStringLiteral("not undone");
        return after;
    };
    const QStringList atFull = run(100);
    QCOMPARE(atFull.size(), 1);
    QVERIFY(atFull != before);
    QCOMPARE(run(zoom), atFull);
}

void TestCanvas::handlesKeepScreenSize_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QList<QPoint>>("positions"); // the visible handles from 0 on
    // Outside the first corner, on the second, centred on the middle.
    QTest::newRow("rect 200 %") << kRectA << 200 << QList<QPoint>{{118, 88}, {15, 35}, {220, 140}};
    QTest::newRow("rect 50 %") << kRectA << 50 << QList<QPoint>{{28, 20}, {0, 5}, {55, 35}};
    QTest::newRow("circle 200 %") << kCircle << 200 << QList<QPoint>{{198, 198}, {258, 198}};
    QTest::newRow("circle 50 %") << kCircle << 50 << QList<QPoint>{{48, 48}, {63, 48}};
    QTest::newRow("poly 200 %") << kPoly << 200 << QList<QPoint>{{60, 50}, {20, 20}, {100, 20}, {60, 80}};
    QTest::newRow("poly 50 %") << kPoly << 50 << QList<QPoint>{{15, 12}, {5, 5}, {25, 5}, {15, 20}};
}

void TestCanvas::handlesKeepScreenSize()
{
    QFETCH(QString, line);
    QFETCH(int, zoom);
    QFETCH(QList<QPoint>, positions);
    Window e({line});
    e.w.setSelectedIndex(0);
    QList<QPoint> atFull;
    for (int i = 0; i < e.w.handles().count(); ++i)
        atFull << e.w.handles().handle(i)->pos();
    e.zoom(zoom);
    QList<QPoint> shown;
    for (int i = 0; i < e.w.handles().count(); ++i) {
        HandleWidget* h = e.w.handles().handle(i);
        QCOMPARE(h->size(), QSize(5, 5));
        if (h->isVisibleTo(e.canvas()))
            shown << h->pos();
    }
    QCOMPARE(shown, positions);
    e.zoom(100);
    for (int i = 0; i < e.w.handles().count(); ++i)
        QCOMPARE(e.w.handles().handle(i)->pos(), atFull[i]);
}

void TestCanvas::zoomControls()
{
    Window e({kRectA});
    QLabel* label = e.w.ui.lblZoom;
    QCOMPARE(label->text(), QStringLiteral("100 %"));
    // A screen reader reads each value label's value with its caption.
    QLabel* mode = e.w.ui.Label3;
    QCOMPARE(spokenName(label), QStringLiteral("Zoom: 100 %"));
    QCOMPARE(spokenName(mode), QStringLiteral("Modus: Edit-Modus"));
    QCOMPARE(spokenName(e.w.ui.lblPos), QStringLiteral("Mausposition"));
    // Beside the mode label, clear of its longest text; the position keeps its width.
    QVERIFY(label->x() > mode->x() + mode->fontMetrics().horizontalAdvance(QStringLiteral("Zeichen-Modus")));
    QCOMPARE(e.w.ui.lblPos->width(), mode->width());
    const auto keys = [&](std::initializer_list<Qt::Key> keys) {
        QStringList shown;
        for (Qt::Key key : keys) {
            e.key(key, Qt::ControlModifier, &e.w);
            shown << label->text();
        }
        return shown;
    };
    using Qt::Key_Minus, Qt::Key_Plus;
    QCOMPARE(keys({Key_Plus, Key_Plus, Qt::Key_Equal, Key_Plus, Key_Plus, Key_Plus, Key_Plus}),
             (QStringList{"150 %", "200 %", "300 %", "400 %", "600 %", "800 %", "800 %"}));
    QCOMPARE(e.canvas()->size(), QSize(3200, 2400));
    QCOMPARE(e.w.ui.HScroll1->maximum(), 3200 - e.w.ui.picContainer->width());
    QCOMPARE(keys({Qt::Key_0, Key_Minus, Key_Minus, Key_Minus, Key_Minus, Key_Minus}),
             (QStringList{"100 %", "67 %", "50 %", "33 %", "25 %", "25 %"}));
    QCOMPARE(e.canvas()->size(), QSize(100, 75));
    QCOMPARE(spokenName(label), QStringLiteral("Zoom: 25 %"));
    // The position in picture pixels, the code with the picture's own size.
    e.zoom(200);
    QMouseEvent move(QEvent::MouseMove, QPointF(83, 43), e.canvas()->mapToGlobal(QPointF(83, 43)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(e.canvas(), &move);
    QCOMPARE(e.w.ui.lblPos->text(), QStringLiteral("x=41   y=21")); // the picture pixel under the pointer
    QCOMPARE(spokenName(e.w.ui.lblPos), QStringLiteral("Mausposition: x=41   y=21"));
    e.w.ui.Command6->click();
    QVERIFY(e.w.mapCode().contains(QStringLiteral("width=\"400\" height=\"300\"")));
    // Ctrl and the wheel zoom around the pointer: the picture point stays under it.
    QImage big(2000, 1500, QImage::Format_RGB32);
    big.fill(Qt::white);
    e.canvas()->setPicture(big);
    e.w.layoutCanvas();
    QCOMPARE(label->text(), QStringLiteral("100 %"));
    const QPoint pointer(300, 200); // in the viewport
    const auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at = e.canvas()->mapFrom(e.w.ui.picContainer, pointer);
        QWheelEvent event(at, e.canvas()->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(e.canvas(), &event);
        return QPointF(e.canvas()->mapFrom(e.w.ui.picContainer, pointer)) / e.canvas()->zoomFactor();
    };
    wheel(120, Qt::NoModifier);
    QCOMPARE(label->text(), QStringLiteral("100 %"));
    for (int delta : {240, -120, 60, 60}) {
        const QPointF under = wheel(delta, Qt::ControlModifier);
        QVERIFY2((under - QPointF(pointer)).manhattanLength() <= 1, qPrintable(label->text()));
    }
    QCOMPARE(label->text(), QStringLiteral("200 %"));
}

// Over a zoomed picture the wheel scrolls it (Shift: sideways); Ctrl and
// the wheel zoom also over the grey area around a small picture.
void TestCanvas::wheelScrollsAndZooms()
{
    Window e({kRectA});
    const auto wheel = [&](QWidget* over, QPoint at, QPoint delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(at, over->mapToGlobal(QPointF(at)), {}, delta, Qt::NoButton, modifiers, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(over, &event);
    };
    QImage picture(600, 500, QImage::Format_RGB32);
    picture.fill(Qt::white);
    e.canvas()->setPicture(picture);
    e.w.layoutCanvas();
    e.zoom(200);
    QScrollBar* down = e.w.ui.VScroll1;
    QScrollBar* across = e.w.ui.HScroll1;
    QVERIFY(down->isEnabled() && across->isEnabled());
    const int notch = QApplication::wheelScrollLines() * 20;
    down->setValue(0);
    across->setValue(0);
    wheel(e.canvas(), QPoint(200, 150), QPoint(0, -120), Qt::NoModifier);
    QCOMPARE(down->value(), notch);
    QCOMPARE(e.canvas()->y(), -notch);
    wheel(e.canvas(), QPoint(200, 150), QPoint(0, -240), Qt::ShiftModifier);
    QCOMPARE(across->value(), 2 * notch);
    QCOMPARE(e.canvas()->pos(), QPoint(-2 * notch, -notch));
    wheel(e.canvas(), QPoint(200, 150), QPoint(0, 120), Qt::NoModifier);
    QCOMPARE(down->value(), 0);
    QCOMPARE(e.w.ui.lblZoom->text(), QStringLiteral("200 %"));
    e.zoom(25);
    const QRect shown = e.canvas()->geometry();
    const QPoint grey(shown.right() + 40, shown.bottom() + 30);
    QVERIFY(e.w.ui.picContainer->rect().contains(grey));
    wheel(e.w.ui.picContainer, grey, QPoint(0, 120), Qt::ControlModifier);
    QCOMPARE(e.w.ui.lblZoom->text(), QStringLiteral("33 %"));
    wheel(e.w.ui.picContainer, grey, QPoint(0, -120), Qt::NoModifier); // nothing to scroll
    QCOMPARE(e.w.ui.lblZoom->text(), QStringLiteral("33 %"));
}

// Zoomed in, the picture's pixels stay sharp squares and lines keep their
// width on the screen; zoomed out the picture is scaled smoothly.
void TestCanvas::zoomScalesPictureNotLines()
{
    Window e({area("rect", "100,100,200,150")});
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(50, 50, qRgb(0, 0, 0));
    for (int y = 250; y < 300; ++y)
        for (int x = 0; x < 100; ++x)
            picture.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    e.canvas()->setPicture(picture);
    e.w.layoutCanvas();
    e.w.ui.Option1[0]->click(); // drawing mode: no handles in the way
    const auto redAcross = [&](int width) {
        e.w.ui.Image1[width - 1]->setFocus();
        QTest::mouseClick(e.w.ui.Image1[width - 1], Qt::LeftButton);
        const QImage shown = e.canvas()->grab(QRect(380, 500, 40, 1)).toImage();
        int red = 0;
        for (int x = 0; x < shown.width(); ++x)
            red += shown.pixelColor(x, 0) == QColor(Qt::red);
        return red;
    };
    e.zoom(400);
    QCOMPARE(redAcross(1), 1);
    QCOMPARE(redAcross(3), 3);
    const QImage block = e.canvas()->grab(QRect(200, 200, 5, 5)).toImage();
    QCOMPARE(block.pixelColor(3, 3), QColor(Qt::black));
    QCOMPARE(block.pixelColor(4, 3), QColor(Qt::white));
    e.zoom(25);
    const QImage small = e.canvas()->grab(QRect(5, 65, 10, 5)).toImage();
    int grey = 0;
    for (int x = 0; x < small.width(); ++x)
        grey += small.pixelColor(x, 2) != QColor(Qt::black) && small.pixelColor(x, 2) != QColor(Qt::white);
    QVERIFY(grey > 5);
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

void TestCanvas::bigPictureSamePixels_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("zoom");
    QTest::newRow("redrawn") << "refresh" << 100;
    QTest::newRow("hatched") << "hatch" << 100;
    QTest::newRow("area dragged") << "drag" << 100;
    for (int zoom : {25, 33, 50, 200})
        QTest::newRow(QByteArray::number(zoom) + " %") << "drag" << zoom;
}

// A big picture is kept below the drawing in 24 bits, a quarter less memory;
// it shows and comes back with the same pixels as a small one: the top-left
// corner of a big picture against that corner alone.
void TestCanvas::bigPictureSamePixels()
{
    QFETCH(QString, step);
    QFETCH(int, zoom);
    const auto run = [&](Window& e, QSize size) {
        e.canvas()->setPicture(texturedPicture(size.width(), size.height()));
        e.w.layoutCanvas();
        e.w.ui.Command6->click();
        if (step == "hatch")
            e.w.ui.chkGefuellt->click();
        if (step == "drag") {
            e.w.setSelectedIndex(4);
            e.drag(e.w.handles().anchor(), QPoint(2, 2), e.w.handles().anchor()->pos() + QPoint(23, 17));
        }
        e.zoom(zoom);
        const QSize shown = QSize(400, 300) * zoom / 100 - QSize(4, 4); // clear of the small one's edges
        return std::make_pair(e.canvas()->image().copy(0, 0, 400, 300), e.canvas()->grab(QRect(QPoint(), shown)));
    };
    QStringList bigLines;
    std::pair<QImage, QPixmap> bigOne;
    {
        // One window at a time: the zoom keys go to the active one.
        Window big(overlappingAreas());
        bigOne = run(big, QSize(1601, 1400)); // odd: rows end in a part of four pixels
        bigLines = big.w.areas().lines().toStringList();
        // Outside the corner no area reaches: the picture as it was.
        const QRect rest(400, 300, 1201, 1100);
        QCOMPARE(big.canvas()->image().copy(rest), texturedPicture(1601, 1400).copy(rest));
        QVERIFY(big.canvas()->picture().sizeInBytes() < big.canvas()->image().sizeInBytes());
    }
    Window small(overlappingAreas());
    const std::pair<QImage, QPixmap> smallOne = run(small, QSize(400, 300));
    QCOMPARE(bigLines, small.w.areas().lines());
    QCOMPARE(bigOne.first, smallOne.first);
    QCOMPARE(bigOne.second.toImage(), smallOne.second.toImage());
}

void TestCanvas::bigPictureBufferWhenFirstNeeded_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("nothing: read at the end") << "none";
    QTest::newRow("a quick rectangle band") << "band";
    QTest::newRow("a quick rectangle drawn") << "rectangle";
    QTest::newRow("a click selects an area") << "select";
    QTest::newRow("a row of the list chosen") << "row";
    QTest::newRow("zoomed to 100 %") << "zoom";
    QTest::newRow("redrawn again first") << "refresh";
    QTest::newRow("the list emptied first") << "delete";
}

// A big picture fitted into the view shows the picture and the drawing log;
// its buffer is made, with the areas drawn, when something first needs it.
// Whatever comes first (an XOR band, a click, the list, 100 %), the buffer
// and the screen are then exactly those of a buffer drawn into at once.
void TestCanvas::bigPictureBufferWhenFirstNeeded()
{
    QFETCH(QString, action);
    struct Seen {
        bool owed = false;
        QImage fitted, buffer, after;
    };
    const auto run = [&action](bool atOnce) {
        Window e(overlappingAreas());
        e.canvas()->setPicture(texturedPicture(1601, 1400));
        if (atOnce)
            e.canvas()->image(); // from here on everything is drawn into the buffer as it comes
        e.w.layoutCanvas();
        e.zoom(25);
        e.w.ui.Command6->click();
        Seen seen;
        seen.owed = e.canvas()->surface().owesBuffer();
        seen.fitted = e.canvas()->grab().toImage();
        if (action == "band" || action == "rectangle") {
            e.w.ui.Option1[1]->click();
            QTest::mousePress(e.canvas(), Qt::LeftButton, {}, e.at(QPoint(40, 50)));
            QTest::mouseMove(e.canvas(), e.at(QPoint(300, 260)));
            if (action == "rectangle")
                QTest::mouseRelease(e.canvas(), Qt::LeftButton, {}, e.at(QPoint(300, 260)));
        } else if (action == "select") {
            e.press(QPoint(60, 40));
        } else if (action == "row") {
            e.clickRow(2);
        } else if (action == "zoom") {
            e.zoom(100);
        } else if (action == "refresh") {
            e.w.ui.Command6->click();
        } else if (action == "delete") {
            e.w.areas().setLines({});
            e.w.ui.Command6->click();
        }
        seen.after = e.canvas()->grab().toImage();
        seen.buffer = e.canvas()->image().copy();
        return seen;
    };
    const Seen late = run(false);
    const Seen early = run(true);
    QVERIFY(late.owed);
    QVERIFY(!early.owed);
    QCOMPARE(late.fitted, early.fitted);
    QCOMPARE(late.after, early.after);
    QCOMPARE(late.buffer, early.buffer);
    // The areas are on the screen before any buffer holds them.
    Window none;
    none.canvas()->setPicture(texturedPicture(1601, 1400));
    none.w.layoutCanvas();
    none.zoom(25);
    QVERIFY(late.fitted != none.canvas()->grab().toImage());
}

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
