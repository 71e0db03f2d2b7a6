#include "picture/OutlineTracer.h"
#include "picture/CornerFit.h"
#include "picture/EdgeRing.h"

#include <QCoreApplication>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>

namespace korvane {

namespace {

// The values of the one-byte map of the picture that the regions grow on.
constexpr uchar kFar = 0;      // differs from the clicked colour by more than the tolerance
constexpr uchar kNear = 255;   // within the tolerance, not yet part of a region
constexpr uchar kRegion = 128; // the region grown last
constexpr uchar kFinished = 1; // a region already traced (all regions of a colour)
constexpr int kFourNeighbours = 4;
// How many rings of half-covered pixels a region takes in beyond what it grew
// over, each beside the one before: the first holds a smoothed edge's mixed
// pixels, the next the corner pixels that touch the region only across a
// corner; JPEG's colour noise keeps out a few pixels behind one another,
// most beside a corner (on the pictures measured, no sixth ring took a pixel).
constexpr int kEdgeRings = 5;

// The format the picture is read in: its own where its bytes can be compared as they are.
QImage::Format readableFormat(const QImage& picture)
{
    switch (picture.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8:
    case QImage::Format_Indexed8:
        return picture.format();
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return QImage::Format_Indexed8;
    case QImage::Format_ARGB32_Premultiplied:
        return QImage::Format_ARGB32;
    case QImage::Format_Grayscale16:
        return QImage::Format_Grayscale8;
    case QImage::Format_RGBX64:
    case QImage::Format_RGBX16FPx4:
    case QImage::Format_RGBX32FPx4:
        return QImage::Format_RGBX8888;
    case QImage::Format_RGBA8888_Premultiplied:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
    case QImage::Format_RGBA16FPx4:
    case QImage::Format_RGBA16FPx4_Premultiplied:
    case QImage::Format_RGBA32FPx4:
    case QImage::Format_RGBA32FPx4_Premultiplied:
        return QImage::Format_RGBA8888;
    default:
        return picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    }
}

int channelsOf(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        return 3;
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8:
    case QImage::Format_Indexed8:
        return 1;
    default:
        return 4;
    }
}

// The byte of a 32-bit pixel that holds its alpha (or the unused byte of an opaque format).
int alphaByte(QImage::Format format)
{
    if (format == QImage::Format_RGBX8888 || format == QImage::Format_RGBA8888)
        return 3;                                   // R, G, B, A in memory
    return Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 3 : 0; // 0xAARRGGBB as one word
}

// A header over the picture's own rows; nothing is copied.
cv::Mat headerOver(const QImage& picture)
{
    const int type = CV_8UC(channelsOf(picture.format()));
    // constBits(): bits() would detach a picture shared with the caller, that is copy it.
    return cv::Mat(picture.height(), picture.width(), type, const_cast<uchar*>(picture.constBits()),
                   std::size_t(picture.bytesPerLine()));
}

QString at(QPoint pixel)
{
    return QStringLiteral("x=%1, y=%2").arg(pixel.x()).arg(pixel.y());
}

QString tooSmallMessage(QPoint pixel, qint64 count, int minimum)
{
    return QCoreApplication::translate("korvane::OutlineTracer",
                                       "Die Fläche bei %1 ist zu klein für ein Areal (%2 Pixel, mindestens %3). "
                                       "Eine höhere Toleranz nimmt ähnliche Farben hinzu.")
        .arg(at(pixel))
        .arg(count)
        .arg(minimum);
}

QString tooNarrowMessage(QPoint pixel)
{
    return QCoreApplication::translate("korvane::OutlineTracer",
                                       "Die Fläche bei %1 ist zu schmal für ein Areal: ihr Umriss umschließt nichts. "
                                       "Eine höhere Toleranz nimmt ähnliche Farben hinzu.")
        .arg(at(pixel));
}

QString wholePictureMessage(QPoint pixel)
{
    return QCoreApplication::translate("korvane::OutlineTracer",
                                       "Die Fläche bei %1 nimmt das ganze Bild ein und ergibt kein Areal. "
                                       "Eine geringere Toleranz grenzt sie enger ab.")
        .arg(at(pixel));
}

QString noColourAreaMessage(QPoint pixel)
{
    return QCoreApplication::translate("korvane::OutlineTracer",
                                       "Keine Fläche in der Farbe bei %1 ergibt ein Areal: jede ist zu klein "
                                       "oder nimmt das ganze Bild ein.")
        .arg(at(pixel));
}

QString noPictureText()
{
    return QCoreApplication::translate("korvane::OutlineTracer",
                                       "Es ist kein Bild geöffnet, dessen Flächen nachgezeichnet werden könnten.");
}

QString noMemoryText()
{
    return QCoreApplication::translate("korvane::OutlineTracer",
                                       "Für das Nachzeichnen dieses Bildes reicht der Arbeitsspeicher nicht.");
}

QString outsideText(QPoint pixel)
{
    return QCoreApplication::translate("korvane::OutlineTracer", "Der Punkt %1 liegt außerhalb des Bildes.")
        .arg(at(pixel));
}

QString failedText()
{
    return QCoreApplication::translate("korvane::OutlineTracer",
                                       "Der Umriss dieser Fläche konnte nicht nachgezeichnet werden.");
}

// Settings as the tracer can use them, whatever the caller passed.
TraceSettings usable(TraceSettings settings)
{
    settings.tolerance = std::clamp(settings.tolerance, 0, 255);
    if (!std::isfinite(settings.precision))
        settings.precision = TraceSettings().precision;
    settings.precision = std::clamp(settings.precision, 0.0, 1e6);
    settings.minimumPixels = std::max(settings.minimumPixels, 1);
    return settings;
}

// Twice the area, positive when the points run clockwise on the picture (y grows downwards).
qint64 twiceSignedArea(const std::vector<cv::Point>& points)
{
    qint64 sum = 0;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++)
        sum += qint64(points[j].x) * points[i].y - qint64(points[i].x) * points[j].y;
    return sum;
}

// Clockwise from the topmost corner (the leftmost of several), so that equal
// regions always give equal coordinates.
QPolygon normalised(std::vector<cv::Point> points)
{
    if (twiceSignedArea(points) < 0)
        std::reverse(points.begin(), points.end());
    const auto first = std::min_element(points.begin(), points.end(), [](const cv::Point& a, const cv::Point& b) {
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    std::rotate(points.begin(), first, points.end());
    QPolygon polygon;
    polygon.reserve(qsizetype(points.size()));
    for (const cv::Point& p : points)
        polygon << QPoint(p.x, p.y);
    return polygon;
}

bool rowIs(const cv::Mat& map, int y, uchar value)
{
    const uchar* row = map.ptr<uchar>(y);
    return std::all_of(row, row + map.cols, [value](uchar v) { return v == value; });
}

bool columnIs(const cv::Mat& map, int x, uchar value)
{
    for (int y = 0; y < map.rows; ++y) {
        if (map.at<uchar>(y, x) != value)
            return false;
    }
    return true;
}

// A region's holes are filled before its outline is taken, so it takes the
// whole picture exactly when it holds every pixel of the picture's edge.
bool coversPicture(const cv::Mat& map, const cv::Rect& bounds)
{
    if (bounds != cv::Rect(0, 0, map.cols, map.rows))
        return false;
    return rowIs(map, 0, kRegion) && rowIs(map, map.rows - 1, kRegion) && columnIs(map, 0, kRegion) &&
           columnIs(map, map.cols - 1, kRegion);
}

bool isAxisStep(cv::Point step)
{
    return std::abs(step.x) + std::abs(step.y) == 1;
}

// The chain of outermost pixels cuts an inner right angle across its corner
// pixel (a run along a row, one step across the corner, a run along a
// column). There the corner pixel is put in, so that an L-shaped room keeps
// its corner instead of a slanted cut; the browser follows the same pixels either way.
std::vector<cv::Point> withInnerCorners(const std::vector<cv::Point>& chain, const cv::Mat& map)
{
    const std::size_t n = chain.size();
    if (n < 4)
        return chain;
    std::vector<cv::Point> out;
    out.reserve(n + n / 8);
    for (std::size_t i = 0; i < n; ++i) {
        const cv::Point before = chain[(i + n - 1) % n], a = chain[i], b = chain[(i + 1) % n],
                        after = chain[(i + 2) % n];
        out.push_back(a);
        const cv::Point in = a - before, on = after - b;
        if (a.x == b.x || a.y == b.y || !isAxisStep(in) || !isAxisStep(on) || in.dot(on) != 0)
            continue;
        if (const cv::Point corner = a + in; corner == b - on && map.at<uchar>(corner.y, corner.x) == kRegion)
            out.push_back(corner);
    }
    return out;
}

// The chain of outermost pixels of the region in `bounds`, holes ignored.
// One region (four-neighbour connected) has one.
std::vector<cv::Point> outermostPixels(const cv::Mat& map, const cv::Rect& bounds)
{
    cv::Mat region;
    cv::inRange(map(bounds), cv::Scalar(kRegion), cv::Scalar(kRegion), region);
    std::vector<std::vector<cv::Point>> outlines;
    cv::findContours(region, outlines, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE, bounds.tl());
    if (outlines.empty())
        return {};
    const auto longest = std::max_element(outlines.begin(), outlines.end(),
                                          [](const auto& a, const auto& b) { return a.size() < b.size(); });
    return std::move(*longest);
}

// The outer outline of the region in `bounds`, its inner right angles kept.
std::vector<cv::Point> outerOutline(const cv::Mat& map, const cv::Rect& bounds)
{
    return withInnerCorners(outermostPixels(map, bounds), map);
}

// The fewest corners within the precision; where so few enclose nothing (a
// region one or two pixels wide at precision 1), the precision is halved until
// they do, down to every corner of the outline.
std::vector<cv::Point> simplified(const std::vector<cv::Point>& outline, double precision)
{
    std::vector<cv::Point> corners;
    for (double epsilon = precision;; epsilon = epsilon > 0.25 ? epsilon / 2 : 0.0) {
        cv::approxPolyDP(outline, corners, epsilon, true);
        if ((corners.size() >= 3 && twiceSignedArea(corners) != 0) || epsilon == 0.0)
            return corners;
    }
}

// What is known of one grown region, enough to make its outline for any precision.
struct Region {
    cv::Rect bounds;
    qint64 pixels = 0;
    bool wholePicture = false;
    std::vector<cv::Point> outline; // taken once it is needed
    std::vector<cv::Point> corners; // of the polygon for `precision`, once made
    double precision = -1;
};

} // namespace

struct OutlineTracer::Private {
    QImage picture; // the caller's (shared) or the converted copy
    bool shared = false;
    bool noMemory = false; // the conversion found no room
    cv::Mat pixels;        // a header over the picture's rows
    int alpha = -1;        // the byte compared as alpha in 32-bit pixels; -1 when opaque
    QVector<QRgb> table;   // of an indexed picture
    std::unique_ptr<PixelColours> colours;
    cv::Mat map;           // kFar, kNear, kRegion, kFinished for each pixel
    bool haveLast = false; // whether `map` still marks the region traced last as kRegion
    int lastTolerance = 0;
    Region last;
    qint64 fills = 0;

    explicit Private(const QImage& source)
    {
        const QImage::Format format = readableFormat(source);
        shared = format == source.format();
        picture = shared ? source : source.convertToFormat(format);
        noMemory = picture.isNull() && !source.isNull();
        if (picture.isNull())
            return;
        pixels = headerOver(picture);
        if (picture.hasAlphaChannel() && channelsOf(format) == 4)
            alpha = alphaByte(format);
        const bool indexed = format == QImage::Format_Indexed8;
        if (indexed)
            table = picture.colorTable();
        const int unused = channelsOf(format) == 4 && alpha < 0 ? alphaByte(format) : -1;
        colours = std::make_unique<PixelColours>(pixels, indexed ? &table : nullptr, unused);
    }

    bool contains(QPoint p) const
    {
        return !pixels.empty() && p.x() >= 0 && p.y() >= 0 && p.x() < pixels.cols && p.y() < pixels.rows;
    }

    // Marks every pixel within the tolerance of the colour around `seed` as kNear, the others as kFar.
    void markNear(QPoint seed, int tolerance)
    {
        haveLast = false;
        const Colour colour = neighbourhoodColour(*colours, cv::Point(seed.x(), seed.y()), tolerance);
        if (picture.format() == QImage::Format_Indexed8)
            return markNearIndexed(colour, tolerance);
        const int channels = pixels.channels();
        cv::Scalar low, high;
        for (int c = 0; c < channels; ++c) {
            const bool compared = channels != 4 || alpha == c || c != alphaByte(picture.format());
            low[c] = compared ? std::max(colour[c] - tolerance, 0) : 0;
            high[c] = compared ? std::min(colour[c] + tolerance, 255) : 255;
        }
        cv::inRange(pixels, low, high, map);
    }

    // An indexed picture compares its colour table once; each pixel then looks its index up.
    void markNearIndexed(const Colour& colour, int tolerance)
    {
        cv::Mat lookup(1, 256, CV_8U);
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < table.size() ? table[i] : QRgb(0);
            const Colour entry{qRed(c), qGreen(c), qBlue(c), qAlpha(c)};
            lookup.at<uchar>(i) = colourDifference(entry, colour) <= tolerance ? kNear : kFar;
        }
        cv::LUT(pixels, lookup, map);
    }

    // Grows the region of kNear pixels around `seed` into kRegion, and takes
    // in the pixels at its edge that it more than half covers.
    Region grow(QPoint seed, int tolerance)
    {
        Region region;
        ++fills;
        region.pixels = cv::floodFill(map, cv::Point(seed.x(), seed.y()), cv::Scalar(kRegion), &region.bounds,
                                      cv::Scalar(0), cv::Scalar(0), kFourNeighbours);
        region.wholePicture = coversPicture(map, region.bounds);
        if (!region.wholePicture)
            takeInEdge(region, tolerance);
        return region;
    }

    // Only the outer outline makes the polygon, so only the pixels beside it
    // are looked at; each ring is decided on the region before it.
    void takeInEdge(Region& region, int tolerance)
    {
        const std::vector<cv::Point> outermost = outermostPixels(map, region.bounds);
        std::vector<cv::Point> beside = pixelsBeside(outermost, map, kRegion);
        bool grew = false;
        for (int ring = 0; ring < kEdgeRings && !beside.empty(); ++ring) {
            const std::vector<cv::Point> taken = halfCoveredPixels(beside, map, kRegion, *colours, tolerance);
            for (const cv::Point& p : taken) {
                map.at<uchar>(p.y, p.x) = kRegion;
                region.bounds |= cv::Rect(p, cv::Size(1, 1));
            }
            region.pixels += qint64(taken.size());
            grew = grew || !taken.empty();
            beside = pixelsBeside(taken, map, kRegion);
        }
        if (grew)
            region.wholePicture = coversPicture(map, region.bounds);
        else if (!outermost.empty())
            region.outline = withInnerCorners(outermost, map);
    }

    // The region as an area, or why it makes none; takes its outline when needed.
    TracedOutline outlineOf(Region& region, QPoint pixel, const TraceSettings& settings) const
    {
        TracedOutline out;
        out.bounds = QRect(region.bounds.x, region.bounds.y, region.bounds.width, region.bounds.height);
        out.pixelCount = region.pixels;
        if (region.wholePicture) {
            out.message = wholePictureMessage(pixel);
            return out;
        }
        if (region.pixels < settings.minimumPixels) {
            out.message = tooSmallMessage(pixel, region.pixels, settings.minimumPixels);
            return out;
        }
        const std::vector<cv::Point>& corners = cornersOf(region, settings.precision);
        if (corners.size() < 3 || twiceSignedArea(corners) == 0) {
            out.message = tooNarrowMessage(pixel);
            return out;
        }
        out.polygon = normalised(corners);
        return out;
    }

    // The polygon's corners for the precision, made once for each precision asked for in turn.
    const std::vector<cv::Point>& cornersOf(Region& region, double precision) const
    {
        if (region.precision == precision)
            return region.corners;
        if (region.outline.empty())
            region.outline = outerOutline(map, region.bounds);
        region.corners.clear();
        region.precision = precision;
        if (region.outline.empty())
            return region.corners;
        region.corners = simplified(region.outline, precision);
        std::vector<cv::Point> fitted = fittedCorners(
            region.outline, region.corners, precision,
            [this](cv::Point p) { return map.at<uchar>(p.y, p.x) == kRegion; }, map.size());
        if (twiceSignedArea(fitted) != 0)
            region.corners = std::move(fitted);
        return region.corners;
    }
};

namespace {

// Runs one piece of tracing; a picture too big for the memory left, or any
// other failure of the image library, becomes a message instead of a crash.
template <typename Result, typename Work> Result guarded(Work work)
{
    Result failed;
    try {
        return work();
    } catch (const std::bad_alloc&) {
        failed.message = noMemoryText();
    } catch (const cv::Exception& e) {
        failed.message = e.code == cv::Error::StsNoMem ? noMemoryText() : failedText();
    }
    return failed;
}

} // namespace

OutlineTracer::OutlineTracer(const QImage& picture) : d(std::make_unique<Private>(picture)) {}

OutlineTracer::~OutlineTracer() = default;

TracedOutline OutlineTracer::traceAt(QPoint pixel, const TraceSettings& requested)
{
    const TraceSettings settings = usable(requested);
    if (d->pixels.empty())
        return {{}, {}, 0, d->noMemory ? noMemoryText() : noPictureText()};
    if (!d->contains(pixel))
        return {{}, {}, 0, outsideText(pixel)};
    return guarded<TracedOutline>([&] {
        d->markNear(pixel, settings.tolerance);
        d->last = d->grow(pixel, settings.tolerance);
        d->lastTolerance = settings.tolerance;
        d->haveLast = true;
        return d->outlineOf(d->last, pixel, settings);
    });
}

TracedOutline OutlineTracer::previewAt(QPoint pixel, const TraceSettings& requested)
{
    const TraceSettings settings = usable(requested);
    const bool reuse = d->haveLast && settings.tolerance == d->lastTolerance && d->contains(pixel) &&
                       d->map.at<uchar>(pixel.y(), pixel.x()) == kRegion;
    if (!reuse)
        return traceAt(pixel, settings);
    return guarded<TracedOutline>([&] { return d->outlineOf(d->last, pixel, settings); });
}

TracedColour OutlineTracer::traceColour(QPoint pixel, const TraceSettings& requested)
{
    const TraceSettings settings = usable(requested);
    if (d->pixels.empty())
        return {{}, d->noMemory ? noMemoryText() : noPictureText()};
    if (!d->contains(pixel))
        return {{}, outsideText(pixel)};
    return guarded<TracedColour>([&] {
        TracedColour found;
        d->markNear(pixel, settings.tolerance);
        cv::Mat& map = d->map;
        for (int y = 0; y < map.rows; ++y) {
            const uchar* row = map.ptr<uchar>(y);
            for (int x = 0; x < map.cols; ++x) {
                const void* next = std::memchr(row + x, kNear, std::size_t(map.cols - x));
                if (!next)
                    break;
                x = int(static_cast<const uchar*>(next) - row);
                Region region = d->grow(QPoint(x, y), settings.tolerance);
                const TracedOutline outline = d->outlineOf(region, QPoint(x, y), settings);
                if (outline.isArea())
                    found.outlines << outline;
                // Marked as traced, so that it is neither grown again nor mistaken for the next region.
                cv::floodFill(map, cv::Point(x, y), cv::Scalar(kFinished), nullptr, cv::Scalar(0), cv::Scalar(0),
                              kFourNeighbours);
            }
        }
        if (found.outlines.isEmpty())
            found.message = noColourAreaMessage(pixel);
        return found;
    });
}

bool OutlineTracer::sharesPicture() const
{
    return d->shared;
}

qint64 OutlineTracer::fillCount() const
{
    return d->fills;
}

} // namespace korvane
