// Tracing regions of a picture into polygons: how exact on drawn, smoothed and
// JPEG-compressed shapes, which pixels a browser then follows, every picture
// format, the regions that make no area, the preview that reuses a region, and
// every region of one colour at once.
#include "picture/OutlineTracer.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QMetaEnum>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>

#include <sys/resource.h>

using namespace korvane;

Q_DECLARE_METATYPE(QPainterPath)

namespace {

const QColor kPaper(235, 228, 210);
const QColor kInk(40, 70, 160);

// The picture through a JPEG file of the quality (colour subsampled as by default).
QImage throughJpeg(const QImage& picture, int quality = 75)
{
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(picture))
        qFatal("JPEG not written: %s", qPrintable(writer.errorString()));
    file.close();
    file.open(QIODevice::ReadOnly);
    QImage read = QImageReader(&file, "jpeg").read();
    if (read.isNull())
        qFatal("JPEG not read");
    return read;
}

enum class Finish { Aliased, Smoothed, Jpeg };

// Paper with the shape in ink (its holes paper again), drawn aliased, smoothed, or smoothed and then JPEG-compressed.
QImage drawn(QSize size, const QPainterPath& shape, const QPainterPath& holes, Finish finish, const QColor& ink = kInk,
             const QColor& paper = kPaper)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(paper);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, finish != Finish::Aliased);
    painter.fillPath(shape, ink);
    painter.fillPath(holes, paper);
    painter.end();
    return finish == Finish::Jpeg ? throughJpeg(picture) : picture;
}

double segmentDistance(QPointF p, QPointF a, QPointF b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    const QPointF d = p - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

double polygonDistance(QPointF p, const QPolygonF& polygon)
{
    double best = std::numeric_limits<double>::max();
    for (qsizetype i = 0; i < polygon.size(); ++i)
        best = std::min(best, segmentDistance(p, polygon[i], polygon[(i + 1) % polygon.size()]));
    return best;
}

double outlineDistance(QPointF p, const QPainterPath& shape)
{
    double best = std::numeric_limits<double>::max();
    for (const QPolygonF& part : shape.toSubpathPolygons())
        best = std::min(best, polygonDistance(p, part));
    return best;
}

// Whether a browser follows the polygon at the pixel: the pixel's top-left
// corner lies inside it (even-odd) or on its outline.
bool browserHits(const QPolygon& polygon, QPoint pixel)
{
    const QPointF p(pixel);
    for (qsizetype i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        if (segmentDistance(p, polygon[j], polygon[i]) < 1e-9)
            return true;
    }
    bool inside = false;
    for (qsizetype i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const QPointF a = polygon[i], b = polygon[j];
        if ((a.y() > p.y()) != (b.y() > p.y()) && p.x() < (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x())
            inside = !inside;
    }
    return inside;
}

// Intersection over union of the pixels a browser follows and the pixels of the region.
double overlap(const QPolygon& polygon, QSize size, const std::function<bool(QPoint)>& inRegion)
{
    qint64 both = 0, either = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const bool a = browserHits(polygon, {x, y}), b = inRegion({x, y});
            both += a && b;
            either += a || b;
        }
    }
    return either ? double(both) / double(either) : 0.0;
}

QPainterPath polygonPath(std::initializer_list<QPointF> points, QPointF shift = {})
{
    QPolygonF polygon(points);
    polygon.translate(shift);
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

QPainterPath ellipsePath(QPointF centre, double rx, double ry)
{
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

QPainterPath starPath(QPointF centre, double outer, double inner)
{
    QPolygonF points;
    for (int i = 0; i < 10; ++i) {
        const double angle = M_PI / 5 * i - M_PI / 2, r = i % 2 ? inner : outer;
        points << centre + QPointF(r * std::cos(angle), r * std::sin(angle));
    }
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    return path;
}

// A coast-like outline of curves, as a country on a map.
QPainterPath blobPath()
{
    QPainterPath path(QPointF(40.3, 90.6));
    path.cubicTo(QPointF(30, 20), QPointF(120, 10), QPointF(150.5, 50.2));
    path.cubicTo(QPointF(200, 60), QPointF(230, 140), QPointF(170.7, 170.1));
    path.cubicTo(QPointF(130, 200), QPointF(110, 130), QPointF(80.2, 180.4));
    path.cubicTo(QPointF(50, 220), QPointF(10, 150), QPointF(40.3, 90.6));
    return path;
}

// A picture of rooms in a grid: paper rooms of `room` pixels between ink walls of `wall` pixels, paper around;
// moved by `shift` and smoothed where that is a part of a pixel.
QImage plan(int columns, int rows, int room, int wall, int margin, QPointF shift = {})
{
    const int step = room + wall;
    QImage picture(2 * margin + columns * step + wall, 2 * margin + rows * step + wall, QImage::Format_RGB32);
    picture.fill(kPaper);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(shift);
    for (int c = 0; c <= columns; ++c)
        painter.fillRect(QRectF(margin + c * step, margin, wall, rows * step + wall), kInk);
    for (int r = 0; r <= rows; ++r)
        painter.fillRect(QRectF(margin, margin + r * step, columns * step + wall, wall), kInk);
    return picture;
}

// The colour of a pixel that the ink covers by `share`, the paper by the rest, as smoothing draws it.
QRgb covered(double share)
{
    const auto mix = [share](int ink, int paper) { return int(std::lround(share * ink + (1 - share) * paper)); };
    return qRgb(mix(kInk.red(), kPaper.red()), mix(kInk.green(), kPaper.green()), mix(kInk.blue(), kPaper.blue()));
}

QImage paper(QSize size, QImage::Format format = QImage::Format_RGB32)
{
    QImage picture(size, format);
    picture.fill(kPaper);
    return picture;
}

QImage inkRect(QSize size, const QRect& rect)
{
    QImage picture = paper(size);
    QPainter(&picture).fillRect(rect, kInk);
    return picture;
}

QPolygon points(std::initializer_list<int> xy)
{
    QPolygon polygon;
    for (auto it = xy.begin(); it != xy.end(); it += 2)
        polygon << QPoint(*it, *(it + 1));
    return polygon;
}

TraceSettings withPrecision(double precision)
{
    TraceSettings settings;
    settings.precision = precision;
    return settings;
}

} // namespace

class TestTrace : public QObject {
    Q_OBJECT
private slots:
    void accuracy_data();
    void accuracy();
    void outlineWithinPrecision_data();
    void outlineWithinPrecision();
    void exactPolygons_data();
    void exactPolygons();
    void pictureFormats_data();
    void pictureFormats();
    void noArea_data();
    void noArea();
    void anyPicture_data();
    void anyPicture();
    void pictureAtTheSizeLimit();
    void memoryRunsOut_data();
    void memoryRunsOut();
    void preview_data();
    void preview();
    void everyRegionOfAColour_data();
    void everyRegionOfAColour();
};

// On drawn shapes, smoothed, and smoothed through JPEG (quality 75): the
// pixels a browser follows against the shape's pixels (those whose centre
// lies in it, holes filled), every corner near the shape's outline, and no
// more corners than the shape needs. At the default tolerance, as a user
// clicks, and at half the difference of ink and paper (195), where the grown
// region alone already ends at the half-covered pixels; and a shape in a pale
// colour on another (a state beside a state on a map, 46 apart), which a
// tolerance of half the difference of ink and paper would merge.
void TestTrace::accuracy_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPainterPath>("shape");
    QTest::addColumn<QPainterPath>("holes");
    QTest::addColumn<int>("finish");
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<double>("precision");
    QTest::addColumn<int>("fewest");
    QTest::addColumn<int>("most");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<QColor>("ink");
    QTest::addColumn<QColor>("paper");

    struct Shape {
        const char* name;
        QSize size;
        QPainterPath shape, holes;
        QPoint click;
        double precision;
        int fewest, most;
    };
    const QPainterPath none;
    const QPainterPath circle = ellipsePath({130.3, 125.6}, 100, 100);
    const Shape shapes[] = {
        {"rectangle",
         {200, 160},
         polygonPath({{20.4, 30.6}, {170.7, 30.6}, {170.7, 120.8}, {20.4, 120.8}}),
         none,
         {90, 70},
         1.0,
         4,
         4},
        {"circle r100", {260, 255}, circle, none, {130, 125}, 1.0, 8, 39},
        {"circle r100, precision 3", {260, 255}, circle, none, {130, 125}, 3.0, 8, 22},
        {"circle r100, precision 0.5", {260, 255}, circle, none, {130, 125}, 0.5, 8, 150},
        {"triangle", {200, 200}, polygonPath({{30.5, 20.2}, {180.7, 60.4}, {60.3, 170.8}}), none, {90, 80}, 1.0, 3, 3},
        {"L",
         {160, 170},
         polygonPath({{20, 20}, {120, 20}, {120, 60}, {60, 60}, {60, 150}, {20, 150}}, {0.3, 0.6}),
         none,
         {40, 100},
         1.0,
         6,
         6},
        {"star", {220, 220}, starPath({110.4, 112.3}, 100, 45), none, {110, 112}, 1.0, 10, 16},
        {"ellipse", {280, 140}, ellipsePath({140.5, 70.2}, 125, 50), none, {140, 70}, 1.0, 8, 39},
        {"ring, hole filled",
         {200, 200},
         ellipsePath({100.2, 100.7}, 80, 80),
         ellipsePath({100.2, 100.7}, 30, 30),
         {100, 40},
         1.0,
         8,
         39},
        {"coast", {240, 230}, blobPath(), none, {100, 100}, 1.0, 8, 60},
    };
    const std::pair<Finish, const char*> finishes[] = {
        {Finish::Aliased, "aliased"}, {Finish::Smoothed, "smoothed"}, {Finish::Jpeg, "jpeg 75"}};
    const auto addRows = [&](const char* colours, const QColor& ink, const QColor& paper, int tolerance,
                             int finishCount) {
        for (const Shape& s : shapes) {
            for (int f = 0; f < finishCount; ++f) {
                QTest::addRow("%s, %s, %s, tolerance %d", s.name, finishes[f].second, colours, tolerance)
                    << s.size << s.shape << s.holes << int(finishes[f].first) << s.click << s.precision << s.fewest
                    << s.most << tolerance << ink << paper;
            }
        }
    };
    const int byDefault = TraceSettings().tolerance;
    addRows("ink on paper", kInk, kPaper, byDefault, 3);
    addRows("ink on paper", kInk, kPaper, 96, 3);
    // JPEG's noise is of the size of half the difference here: left out.
    addRows("pale on pale", QColor(200, 228, 190), QColor(246, 222, 200), byDefault, 2);
}

void TestTrace::accuracy()
{
    QFETCH(QSize, size);
    QFETCH(QPainterPath, shape);
    QFETCH(QPainterPath, holes);
    QFETCH(int, finish);
    QFETCH(QPoint, click);
    QFETCH(double, precision);
    QFETCH(int, fewest);
    QFETCH(int, most);
    QFETCH(int, tolerance);
    QFETCH(QColor, ink);
    QFETCH(QColor, paper);

    OutlineTracer tracer(drawn(size, shape, holes, Finish(finish), ink, paper));
    // The true region's edge lies where the ink covers half a pixel.
    TraceSettings settings = withPrecision(precision);
    settings.tolerance = tolerance;
    const TracedOutline traced = tracer.traceAt(click, settings);
    QVERIFY2(traced.isArea(), qPrintable(traced.message));
    const QPolygon& polygon = traced.polygon;
    const double iou =
        overlap(polygon, size, [&shape](QPoint p) { return shape.contains(QPointF(p) + QPointF(0.5, 0.5)); });
    QVERIFY2(polygon.size() >= fewest && polygon.size() <= most, qPrintable(QString::number(polygon.size())));
    QVERIFY2(iou >= 0.98, qPrintable(QString::number(iou)));
    // A corner stands for its pixel, whose centre lies half a pixel right of and below it.
    for (const QPoint& corner : polygon) {
        const double distance = outlineDistance(QPointF(corner) + QPointF(0.5, 0.5), shape);
        QVERIFY2(distance <= precision + 1,
                 qPrintable(QStringLiteral("%1,%2: %3").arg(corner.x()).arg(corner.y()).arg(distance)));
    }
}

// No pixel of the region's outline lies further than the precision from the
// polygon (on aliased shapes, whose region is exactly the ink).
void TestTrace::outlineWithinPrecision_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<double>("precision");

    const QImage circle = drawn({260, 255}, ellipsePath({130.3, 125.6}, 100, 100), {}, Finish::Aliased);
    const QImage coast = drawn({240, 230}, blobPath(), {}, Finish::Aliased);
    const QImage star = drawn({220, 220}, starPath({110.4, 112.3}, 100, 45), {}, Finish::Aliased);
    for (double precision : {0.0, 0.5, 1.0, 2.5, 8.0}) {
        QTest::addRow("circle, %g", precision) << circle << QPoint(130, 125) << precision;
        QTest::addRow("coast, %g", precision) << coast << QPoint(100, 100) << precision;
        QTest::addRow("star, %g", precision) << star << QPoint(110, 112) << precision;
    }
}

void TestTrace::outlineWithinPrecision()
{
    QFETCH(QImage, picture);
    QFETCH(QPoint, click);
    QFETCH(double, precision);

    OutlineTracer tracer(picture);
    const TracedOutline traced = tracer.traceAt(click, withPrecision(precision));
    QVERIFY2(traced.isArea(), qPrintable(traced.message));
    const QPolygonF polygon(traced.polygon);
    const QRgb ink = kInk.rgb();
    const auto isInk = [&picture, ink](int x, int y) { return picture.valid(x, y) && picture.pixel(x, y) == ink; };
    int outline = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (!isInk(x, y) || (isInk(x - 1, y) && isInk(x + 1, y) && isInk(x, y - 1) && isInk(x, y + 1)))
                continue;
            ++outline;
            const double distance = polygonDistance(QPointF(x, y), polygon);
            QVERIFY2(distance <= precision + 1e-9, qPrintable(QStringLiteral("%1,%2: %3").arg(x).arg(y).arg(distance)));
        }
    }
    QVERIFY(outline > 100);
}

// Exact regions give exact polygons, clockwise from their topmost corner
// (tst_browser shows that chromium follows such polygons over exactly their regions' pixels).
void TestTrace::exactPolygons_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<QPolygon>("expected");

    QTest::newRow("rectangle of pixels 10 to 20 and 5 to 15")
        << inkRect({40, 30}, QRect(QPoint(10, 5), QPoint(20, 15))) << QPoint(12, 9) << 32
        << points({10, 5, 20, 5, 20, 15, 10, 15});
    QTest::newRow("clicked on its corner pixel") << inkRect({40, 30}, QRect(QPoint(10, 5), QPoint(20, 15)))
                                                 << QPoint(20, 15) << 32 << points({10, 5, 20, 5, 20, 15, 10, 15});
    QTest::newRow("two pixels wide") << inkRect({40, 30}, QRect(QPoint(10, 5), QPoint(11, 15))) << QPoint(11, 6) << 32
                                     << points({10, 5, 11, 5, 11, 15, 10, 15});
    QTest::newRow("touching the top left edges") << inkRect({40, 30}, QRect(QPoint(0, 0), QPoint(9, 7))) << QPoint(3, 3)
                                                 << 32 << points({0, 0, 9, 0, 9, 7, 0, 7});
    QTest::newRow("touching the bottom right edges")
        << inkRect({40, 30}, QRect(QPoint(25, 12), QPoint(39, 29))) << QPoint(30, 20) << 32
        << points({25, 12, 39, 12, 39, 29, 25, 29});
    QTest::newRow("the paper around a rectangle touching three edges")
        << inkRect({40, 30}, QRect(QPoint(0, 10), QPoint(39, 29))) << QPoint(5, 5) << 32
        << points({0, 0, 39, 0, 39, 9, 0, 9});

    QImage frame = inkRect({60, 50}, QRect(QPoint(10, 10), QPoint(40, 35)));
    QPainter(&frame).fillRect(QRect(QPoint(15, 15), QPoint(30, 25)), kPaper);
    QTest::newRow("a hole is filled") << frame << QPoint(11, 11) << 32 << points({10, 10, 40, 10, 40, 35, 10, 35});

    QImage ell = paper({50, 50});
    QPainter(&ell).fillRect(QRect(QPoint(5, 5), QPoint(30, 12)), kInk);
    QPainter(&ell).fillRect(QRect(QPoint(5, 13), QPoint(12, 40)), kInk);
    QTest::newRow("L") << ell << QPoint(8, 30) << 32 << points({5, 5, 30, 5, 30, 12, 12, 12, 12, 40, 5, 40});

    QImage stairs = paper({40, 40});
    for (int y = 0; y <= 20; ++y)
        for (int x = 0; x <= y; ++x)
            stairs.setPixel(5 + x, 8 + y, kInk.rgb());
    QTest::newRow("triangle of stairs") << stairs << QPoint(6, 27) << 32 << points({5, 8, 25, 28, 5, 28});

    // A diagonal wall one pixel thick: the paper on either side touches only
    // across corners, and a region never grows across a corner.
    QImage diagonal = paper({30, 30});
    for (int i = 0; i < 30; ++i)
        diagonal.setPixel(i, i, kInk.rgb());
    QTest::newRow("a diagonal wall closes a room") << diagonal << QPoint(20, 5) << 32 << points({1, 0, 29, 0, 29, 28});

    QImage shades = inkRect({40, 30}, QRect(QPoint(10, 5), QPoint(20, 15)));
    QPainter(&shades).fillRect(QRect(QPoint(21, 5), QPoint(30, 15)),
                               QColor(kInk.red() + 20, kInk.green(), kInk.blue() - 20));
    QTest::newRow("a shade within the tolerance joins")
        << shades << QPoint(12, 9) << 20 << points({10, 5, 30, 5, 30, 15, 10, 15});
    QTest::newRow("a shade beyond the tolerance stays out")
        << shades << QPoint(12, 9) << 19 << points({10, 5, 20, 5, 20, 15, 10, 15});
    QTest::newRow("clicked on the shade, tolerance 0")
        << shades << QPoint(25, 9) << 0 << points({21, 5, 30, 5, 30, 15, 21, 15});
    QTest::newRow("a tolerance beyond 255 counts as 255 (the whole picture is one colour then)")
        << shades << QPoint(25, 9) << 1000 << QPolygon();
    // A speck of noise within the tolerance of both the ink and the shade
    // beside it: the colour around the click counts, so the shade stays out.
    QImage speck = shades;
    speck.setPixel(12, 9, qRgb(kInk.red() + 10, kInk.green(), kInk.blue() - 10));
    QTest::newRow("clicked on a speck of noise")
        << speck << QPoint(12, 9) << 19 << points({10, 5, 20, 5, 20, 15, 10, 15});

    // A smoothed edge: a column that the ink covers by more than half joins
    // (beyond the tolerance of the ink as it is), one covered by less stays out.
    for (const double share : {0.6, 0.4}) {
        QImage edge = inkRect({40, 30}, QRect(QPoint(10, 5), QPoint(20, 15)));
        for (int y = 5; y <= 15; ++y)
            edge.setPixel(21, y, covered(share));
        const int right = share > 0.5 ? 21 : 20;
        QTest::addRow("an edge column covered by %g", share)
            << edge << QPoint(12, 9) << 32 << points({10, 5, right, 5, right, 15, 10, 15});
    }
    // A faint wall (40 % ink) between two rooms whose colours differ by a
    // JPEG's noise: the wall is no edge of the room, it stays out.
    QImage rooms = paper({40, 30});
    QPainter(&rooms).fillRect(QRect(QPoint(21, 0), QPoint(39, 29)),
                              QColor(kPaper.red() + 3, kPaper.green() + 3, kPaper.blue() + 3));
    for (int y = 0; y < 30; ++y)
        rooms.setPixel(20, y, covered(0.4));
    QTest::newRow("a faint wall between rooms of nearly one colour")
        << rooms << QPoint(5, 5) << 32 << points({0, 0, 19, 0, 19, 29, 0, 29});
}

void TestTrace::exactPolygons()
{
    QFETCH(QImage, picture);
    QFETCH(QPoint, click);
    QFETCH(int, tolerance);
    QFETCH(QPolygon, expected);

    TraceSettings settings;
    settings.tolerance = tolerance;
    OutlineTracer tracer(picture);
    const TracedOutline traced = tracer.traceAt(click, settings);
    QCOMPARE(traced.polygon, expected);
    QCOMPARE(traced.isArea(), !expected.isEmpty());
}

// Every format of picture gives the same polygon; those of 8 bits a channel
// and indexed ones are read in place, the others converted once.
void TestTrace::pictureFormats_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<bool>("shared");

    const QImage base = inkRect({40, 30}, QRect(QPoint(10, 5), QPoint(20, 15)));
    const std::pair<QImage::Format, bool> formats[] = {
        {QImage::Format_RGB32, true},
        {QImage::Format_ARGB32, true},
        {QImage::Format_RGBX8888, true},
        {QImage::Format_RGBA8888, true},
        {QImage::Format_RGB888, true},
        {QImage::Format_BGR888, true},
        {QImage::Format_Grayscale8, true},
        {QImage::Format_Indexed8, true},
        {QImage::Format_ARGB32_Premultiplied, false},
        {QImage::Format_RGBA8888_Premultiplied, false},
        {QImage::Format_Grayscale16, false},
        {QImage::Format_RGBX64, false},
        {QImage::Format_RGBA64, false},
        {QImage::Format_RGBA64_Premultiplied, false},
        {QImage::Format_RGBA32FPx4, false},
        {QImage::Format_RGB16, false},
        {QImage::Format_RGB30, false},
        {QImage::Format_ARGB4444_Premultiplied, false},
        {QImage::Format_Mono, false},
        {QImage::Format_MonoLSB, false},
    };
    for (const auto& [format, shared] : formats) {
        const char* name = QMetaEnum::fromType<QImage::Format>().valueToKey(format);
        QTest::newRow(name) << base.convertToFormat(format, Qt::ThresholdDither) << shared;
    }

    // Transparency tells regions apart where the colours are equal.
    QImage glass(40, 30, QImage::Format_ARGB32);
    glass.fill(QColor(40, 70, 160, 0));
    QPainter painter(&glass);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(QPoint(10, 5), QPoint(20, 15)), QColor(40, 70, 160, 255));
    painter.end();
    QTest::newRow("ARGB32, only the alpha differs") << glass << true;
    QTest::newRow("Alpha8") << glass.convertToFormat(QImage::Format_Alpha8) << true;

    // An indexed picture is compared by colour, not by index.
    QImage indexed(40, 30, QImage::Format_Indexed8);
    indexed.setColorTable({kPaper.rgb(), kInk.rgb(), kInk.rgb()});
    indexed.fill(0);
    for (int y = 5; y <= 15; ++y)
        for (int x = 10; x <= 20; ++x)
            indexed.setPixel(x, y, x < 15 ? 1 : 2);
    QTest::newRow("Indexed8, one colour under two indices") << indexed << true;
}

void TestTrace::pictureFormats()
{
    QFETCH(QImage, picture);
    QFETCH(bool, shared);

    picture = picture.copy(); // held here alone, as the editor holds its picture
    const uchar* bits = picture.constBits();
    OutlineTracer tracer(picture);
    QCOMPARE(tracer.sharesPicture(), shared);
    QCOMPARE(picture.isDetached(), !shared); // shared: the tracer holds the caller's pixels
    QCOMPARE(picture.constBits(), bits);
    const TracedOutline traced = tracer.traceAt({12, 9}, {});
    QCOMPARE(traced.polygon, points({10, 5, 20, 5, 20, 15, 10, 15}));
    QCOMPARE(traced.pixelCount, 121);
    QCOMPARE(tracer.traceColour({12, 9}, {}).outlines.size(), 1);
}

// Where no area can be made, the reason in German, and no polygon.
void TestTrace::noArea_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<int>("minimumPixels");
    QTest::addColumn<QString>("message");
    QTest::addColumn<qint64>("pixelCount");

    const QString whole = QStringLiteral("Die Fläche bei x=%1, y=%2 nimmt das ganze Bild ein und ergibt kein Areal. "
                                         "Eine geringere Toleranz grenzt sie enger ab.");
    const QString small = QStringLiteral("Die Fläche bei x=%1, y=%2 ist zu klein für ein Areal (%3 Pixel, mindestens "
                                         "%4). Eine höhere Toleranz nimmt ähnliche Farben hinzu.");
    const QString narrow = QStringLiteral("Die Fläche bei x=%1, y=%2 ist zu schmal für ein Areal: ihr Umriss "
                                          "umschließt nichts. Eine höhere Toleranz nimmt ähnliche Farben hinzu.");
    const QString outside = QStringLiteral("Der Punkt x=%1, y=%2 liegt außerhalb des Bildes.");

    QTest::newRow("a picture of one colour") << paper({30, 20}) << QPoint(5, 5) << 9 << whole.arg(5).arg(5) << 600LL;
    QTest::newRow("a picture of one pixel") << paper({1, 1}) << QPoint(0, 0) << 9 << whole.arg(0).arg(0) << 1LL;
    QImage framed = inkRect({30, 20}, QRect(0, 0, 30, 20));
    QPainter(&framed).fillRect(QRect(2, 2, 26, 16), kPaper);
    QTest::newRow("a frame along the edges, its inside filled")
        << framed << QPoint(29, 19) << 9 << whole.arg(29).arg(19) << 600LL - 26 * 16;
    QTest::newRow("a one-pixel region") << inkRect({30, 20}, QRect(7, 7, 1, 1)) << QPoint(7, 7) << 9
                                        << small.arg(7).arg(7).arg(1).arg(9) << 1LL;
    QTest::newRow("one pixel below a raised minimum")
        << inkRect({30, 20}, QRect(3, 3, 4, 4)) << QPoint(4, 4) << 17 << small.arg(4).arg(4).arg(16).arg(17) << 16LL;
    QTest::newRow("a line one pixel thick")
        << inkRect({30, 20}, QRect(3, 9, 20, 1)) << QPoint(10, 9) << 9 << narrow.arg(10).arg(9) << 20LL;
    QTest::newRow("a minimum of 0 counts as 1: one pixel encloses nothing")
        << inkRect({30, 20}, QRect(7, 7, 1, 1)) << QPoint(7, 7) << 0 << narrow.arg(7).arg(7) << 1LL;
    QTest::newRow("left of the picture") << paper({30, 20}) << QPoint(-1, 3) << 9 << outside.arg(-1).arg(3) << 0LL;
    QTest::newRow("below the picture") << paper({30, 20}) << QPoint(4, 20) << 9 << outside.arg(4).arg(20) << 0LL;
    QTest::newRow("right of the picture") << paper({30, 20}) << QPoint(30, 0) << 9 << outside.arg(30).arg(0) << 0LL;
    QTest::newRow("no picture") << QImage() << QPoint(0, 0) << 9
                                << QStringLiteral("Es ist kein Bild geöffnet, dessen Flächen nachgezeichnet werden "
                                                  "könnten.")
                                << 0LL;
}

void TestTrace::noArea()
{
    QFETCH(QImage, picture);
    QFETCH(QPoint, click);
    QFETCH(int, minimumPixels);
    QFETCH(QString, message);
    QFETCH(qint64, pixelCount);

    TraceSettings settings;
    settings.minimumPixels = minimumPixels;
    OutlineTracer tracer(picture);
    for (const TracedOutline& traced : {tracer.traceAt(click, settings), tracer.previewAt(click, settings)}) {
        QVERIFY(!traced.isArea());
        QCOMPARE(traced.message, message);
        QCOMPARE(traced.polygon, QPolygon());
        QCOMPARE(traced.pixelCount, pixelCount);
    }
}

// Small odd pictures, every pixel clicked: an area or a message each time,
// never both, corners on the picture, every region of the colour holding the
// click's, and the preview's region holding the pointer (the click's own at
// tolerance 0, where all of a region is one colour).
void TestTrace::anyPicture_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<int>("tolerance");

    const auto noise = [](QSize size, int colours, quint32 seed) {
        QImage picture(size, QImage::Format_RGB32);
        QRandomGenerator random(seed);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                picture.setPixel(x, y, qRgb(255 * int(random.bounded(colours)) / (colours - 1), 128, 40));
        return picture;
    };
    QTest::newRow("noise of two colours") << noise({16, 16}, 2, 1) << 0;
    QTest::newRow("noise of five colours, tolerance 64") << noise({20, 12}, 5, 2) << 64;
    QTest::newRow("a row") << noise({40, 1}, 2, 3) << 0;
    QTest::newRow("a column") << noise({1, 40}, 2, 4) << 0;
    QTest::newRow("two by two") << noise({2, 2}, 2, 5) << 0;
    QImage checkers(12, 12, QImage::Format_RGB32);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            checkers.setPixel(x, y, (x + y) % 2 ? kInk.rgb() : kPaper.rgb());
    QTest::newRow("a checkerboard: no pixel has a neighbour of its colour") << checkers << 0;
    QImage gradient(30, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            gradient.setPixel(x, y, qRgb(x * 8, y * 12, 100));
    QTest::newRow("a gradient, tolerance 20") << gradient << 20;
}

void TestTrace::anyPicture()
{
    QFETCH(QImage, picture);
    QFETCH(int, tolerance);

    TraceSettings settings;
    settings.tolerance = tolerance;
    settings.minimumPixels = 3;
    const QRect whole = picture.rect();
    OutlineTracer tracer(picture), previewing(picture);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QPoint click(x, y);
            const TracedOutline traced = tracer.traceAt(click, settings);
            QCOMPARE(traced.isArea(), !traced.polygon.isEmpty());
            QVERIFY(traced.pixelCount >= 1);
            QVERIFY(whole.contains(traced.bounds) && traced.bounds.contains(click));
            if (traced.isArea()) {
                QVERIFY(traced.polygon.size() >= 3);
                for (const QPoint& corner : traced.polygon)
                    QVERIFY(whole.contains(corner));
            }
            // Above tolerance 0 the preview keeps a region grown from another of its pixels.
            const TracedOutline preview = previewing.previewAt(click, settings);
            QVERIFY(preview.bounds.contains(click));
            if (tolerance == 0)
                QCOMPARE(preview, traced);
            const TracedColour colour = tracer.traceColour(click, settings);
            QCOMPARE(colour.message.isEmpty(), !colour.outlines.isEmpty());
            QVERIFY(!traced.isArea() || colour.outlines.contains(traced));
        }
    }
}

// A picture of 100 million pixels (the largest the editor opens), of one grey
// with a dark square: read in place, the square traced, the rest refused.
void TestTrace::pictureAtTheSizeLimit()
{
    QImage picture(10000, 10000, QImage::Format_Grayscale8);
    QVERIFY(!picture.isNull());
    picture.fill(200);
    for (int y = 50; y < 150; ++y)
        std::memset(picture.scanLine(y) + 100, 20, 100);
    OutlineTracer tracer(picture);
    QVERIFY(tracer.sharesPicture());
    QCOMPARE(tracer.traceAt({150, 100}, {}).polygon, points({100, 50, 199, 50, 199, 149, 100, 149}));
    const TracedOutline rest = tracer.traceAt({5000, 5000}, {});
    QCOMPARE(rest.message, QStringLiteral("Die Fläche bei x=5000, y=5000 nimmt das ganze Bild ein und ergibt kein "
                                          "Areal. Eine geringere Toleranz grenzt sie enger ab."));
    QCOMPARE(rest.pixelCount, 100'000'000LL - 100 * 100);
}

// Where the memory runs out (here: the address space limited to a little
// more than is used for the time of the calls), a German message instead of a
// crash: for the map of the picture, or for its conversion.
void TestTrace::memoryRunsOut_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("the map") << int(QImage::Format_RGB32);
    QTest::newRow("the conversion") << int(QImage::Format_ARGB32_Premultiplied);
}

void TestTrace::memoryRunsOut()
{
    QFETCH(int, format);
    QImage picture(4000, 3000, QImage::Format(format));
    picture.fill(kPaper);
    const QString expected = QStringLiteral("Für das Nachzeichnen dieses Bildes reicht der Arbeitsspeicher nicht.");
    QString messages[3];
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    QVERIFY(pages > 0);
    rlimit before{};
    QCOMPARE(getrlimit(RLIMIT_AS, &before), 0);
    const rlimit tight{rlim_t(pages) * 4096 + 8 * 1024 * 1024, before.rlim_max};
    if (format != QImage::Format_RGB32)
        QTest::ignoreMessage(QtWarningMsg, "QImage: out of memory, returning null image");
    QCOMPARE(setrlimit(RLIMIT_AS, &tight), 0);
    {
        OutlineTracer tracer(picture);
        messages[0] = tracer.traceAt({5, 5}, {}).message;
        messages[1] = tracer.previewAt({5, 5}, {}).message;
        messages[2] = tracer.traceColour({5, 5}, {}).message;
    }
    QCOMPARE(setrlimit(RLIMIT_AS, &before), 0);
    for (const QString& message : messages)
        QCOMPARE(message, expected);
}

namespace {

enum class Call { Preview, Click, Colour };

// One step of a pointer's way: what is called where, how many regions have
// been grown after it, and whether the outline is the one of the step before.
struct Step {
    Call call;
    QPoint at;
    qint64 fillsAfter;
    bool sameAsBefore;
    int tolerance = 32;
    double precision = 1.0;
};

// Paper rooms of 40 pixels between ink walls of 4, 10 pixels of paper around:
// room (c, r) holds the pixels from 14 + 44 c to 53 + 44 c across.
QImage sixRooms()
{
    return plan(3, 2, 40, 4, 10);
}

QPolygon roomPolygon(int column, int row, int room = 40, int wall = 4, int margin = 10)
{
    const int x = margin + wall + column * (room + wall), y = margin + wall + row * (room + wall);
    return points({x, y, x + room - 1, y, x + room - 1, y + room - 1, x, y + room - 1});
}

} // namespace

Q_DECLARE_METATYPE(QVector<Step>)

// The preview grows a region only where the pointer leaves the one grown last.
void TestTrace::preview_data()
{
    QTest::addColumn<QVector<Step>>("steps");

    const QPoint room0(20, 20), room0b(50, 45), room0c(14, 14), room1(70, 30), outside(3, 3), outsideB(150, 105);
    QTest::newRow("moving inside a room") << QVector<Step>{
        {Call::Preview, room0, 1, false}, {Call::Preview, room0b, 1, true}, {Call::Preview, room0c, 1, true}};
    QTest::newRow("into the next room and back") << QVector<Step>{
        {Call::Preview, room0, 1, false}, {Call::Preview, room1, 2, false}, {Call::Preview, room0, 3, false}};
    QTest::newRow("over the paper around the plan, which makes no area")
        << QVector<Step>{{Call::Preview, outside, 1, false}, {Call::Preview, outsideB, 1, true}};
    QTest::newRow("a new tolerance grows anew, a new precision does not")
        << QVector<Step>{{Call::Preview, room0, 1, false},
                         {Call::Preview, room0b, 2, true, 10},
                         {Call::Preview, room0, 2, true, 10, 3.0}};
    QTest::newRow("a click grows anew, and the preview keeps its region") << QVector<Step>{
        {Call::Preview, room0, 1, false}, {Call::Click, room0b, 2, true}, {Call::Preview, room0c, 2, true}};
    QTest::newRow("outside the picture grows nothing and keeps the region")
        << QVector<Step>{{Call::Preview, room0, 1, false},
                         {Call::Preview, QPoint(-4, 20), 1, false},
                         {Call::Preview, QPoint(156, 20), 1, true},
                         {Call::Preview, room0b, 1, false}};
    // Six rooms and the paper around them are grown, then the preview's room again.
    QTest::newRow("every region of a colour forgets the region") << QVector<Step>{
        {Call::Preview, room0, 1, false}, {Call::Colour, room0, 8, true}, {Call::Preview, room0, 9, true}};
}

void TestTrace::preview()
{
    QFETCH(QVector<Step>, steps);

    OutlineTracer tracer(sixRooms());
    TracedOutline before;
    for (const Step& step : steps) {
        TraceSettings settings;
        settings.tolerance = step.tolerance;
        settings.precision = step.precision;
        TracedOutline now;
        switch (step.call) {
        case Call::Preview:
            now = tracer.previewAt(step.at, settings);
            break;
        case Call::Click:
            now = tracer.traceAt(step.at, settings);
            break;
        case Call::Colour:
            now = tracer.traceColour(step.at, settings).outlines.value(0);
            break;
        }
        QCOMPARE(tracer.fillCount(), step.fillsAfter);
        QCOMPARE(now.polygon == before.polygon && now.bounds == before.bounds, step.sameAsBefore);
        // What the preview shows is what a click there would take (each room is of one colour).
        if (step.call == Call::Preview && tracer.previewAt(step.at, settings).isArea()) {
            OutlineTracer fresh(sixRooms());
            QCOMPARE(now.polygon, fresh.traceAt(step.at, settings).polygon);
        }
        // A reused refusal names where the pointer is now.
        if (!now.isArea())
            QVERIFY2(now.message.contains(QStringLiteral("x=%1, y=%2").arg(step.at.x()).arg(step.at.y())),
                     qPrintable(now.message));
        before = now;
    }
}

// Every region of the clicked colour at once, in reading order; those that
// make no area are left out.
void TestTrace::everyRegionOfAColour_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QPoint>("click");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<int>("slack"); // how far a corner may lie from the room's
    QTest::addColumn<QVector<QPolygon>>("expected");
    QTest::addColumn<QString>("message");

    QVector<QPolygon> rooms;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            rooms << roomPolygon(column, row);
    QTest::newRow("six rooms, the paper around left out")
        << sixRooms() << QPoint(20, 20) << 32 << 0 << rooms << QString();
    // As in accuracy(): half the difference of ink and paper as the tolerance, and the default.
    QTest::newRow("six rooms through JPEG")
        << throughJpeg(sixRooms()) << QPoint(20, 20) << 96 << 1 << rooms << QString();
    QTest::newRow("six rooms through JPEG, default tolerance")
        << throughJpeg(sixRooms()) << QPoint(20, 20) << 32 << 1 << rooms << QString();
    // Walls moved by 0.3 of a pixel and smoothed: a room's first column and
    // row are covered by its walls 0.3 and belong to it, the column and row
    // after its last 0.7 and belong to the wall; the rooms keep their pixels.
    QTest::newRow("six smoothed rooms, default tolerance")
        << plan(3, 2, 40, 4, 10, {0.3, 0.3}) << QPoint(20, 20) << 32 << 0 << rooms << QString();
    QImage specks = sixRooms();
    QPainter(&specks).fillRect(QRect(11, 60, 2, 2), kPaper); // inside a wall
    QTest::newRow("a speck of paper in a wall is too small")
        << specks << QPoint(20, 20) << 32 << 0 << rooms << QString();
    QTest::newRow("the walls are one region, its rooms filled")
        << sixRooms() << QPoint(11, 11) << 32 << 0 << QVector<QPolygon>{points({10, 10, 145, 10, 145, 101, 10, 101})}
        << QString();

    const QImage edgeToEdge = plan(3, 2, 40, 4, 0);
    QVector<QPolygon> edgeRooms;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            edgeRooms << roomPolygon(column, row, 40, 4, 0);
    QTest::newRow("rooms from edge to edge") << edgeToEdge << QPoint(20, 20) << 32 << 0 << edgeRooms << QString();
    QTest::newRow("walls along the edges take the whole picture")
        << edgeToEdge << QPoint(1, 1) << 32 << 0 << QVector<QPolygon>()
        << QStringLiteral("Keine Fläche in der Farbe bei x=1, y=1 ergibt ein Areal: jede ist zu klein oder nimmt das "
                          "ganze Bild ein.");
    QTest::newRow("a picture of one colour")
        << paper({30, 20}) << QPoint(3, 4) << 32 << 0 << QVector<QPolygon>()
        << QStringLiteral("Keine Fläche in der Farbe bei x=3, y=4 ergibt ein Areal: jede ist zu klein oder nimmt das "
                          "ganze Bild ein.");
    QTest::newRow("outside the picture") << sixRooms() << QPoint(0, 112) << 32 << 0 << QVector<QPolygon>()
                                         << QStringLiteral("Der Punkt x=0, y=112 liegt außerhalb des Bildes.");
}

void TestTrace::everyRegionOfAColour()
{
    QFETCH(QImage, picture);
    QFETCH(QPoint, click);
    QFETCH(int, tolerance);
    QFETCH(int, slack);
    QFETCH(QVector<QPolygon>, expected);
    QFETCH(QString, message);

    TraceSettings settings;
    settings.tolerance = tolerance;
    OutlineTracer tracer(picture);
    const TracedColour found = tracer.traceColour(click, settings);
    QCOMPARE(found.message, message);
    QCOMPARE(found.outlines.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const QPolygon& polygon = found.outlines[i].polygon;
        QCOMPARE(polygon.size(), expected[i].size());
        for (qsizetype k = 0; k < polygon.size(); ++k) {
            const QPoint off = polygon[k] - expected[i][k];
            QVERIFY2(std::abs(off.x()) <= slack && std::abs(off.y()) <= slack,
                     qPrintable(QStringLiteral("region %1, corner %2").arg(i).arg(k)));
        }
        // Each is what a click into it takes (here on its first pixel of the clicked colour).
        const QRect bounds = found.outlines[i].bounds;
        QPoint inside = bounds.center();
        for (int y = bounds.bottom(); y >= bounds.top(); --y)
            for (int x = bounds.right(); x >= bounds.left(); --x)
                if (picture.pixel(x, y) == picture.pixel(click) && browserHits(polygon, {x, y}))
                    inside = QPoint(x, y);
        QCOMPARE(OutlineTracer(picture).traceAt(inside, settings).polygon, polygon);
    }
}

QTEST_MAIN(TestTrace)
#include "tst_trace.moc"
