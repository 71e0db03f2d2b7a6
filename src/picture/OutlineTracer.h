#pragma once

#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <QVector>

#include <memory>

namespace korvane {

// How a region is grown from the clicked pixel and how closely its polygon follows it.
struct TraceSettings {
    // The largest colour difference a pixel of the region may have from the
    // clicked colour, 0 to 255: the difference of two colours is the largest of
    // the differences of their red, green, blue and alpha values (0 to 255 each;
    // a grey picture has one value, an opaque picture no alpha). Pixels at the
    // region's edge that it more than half covers join it beyond the tolerance.
    int tolerance = 32;
    // The largest distance, in picture pixels, of any point of the region's
    // outline from the polygon (0: every corner of the outline is kept).
    double precision = 1.0;
    // Regions of fewer pixels make no area: a speck of noise, a click on a thin line.
    int minimumPixels = 9;

    bool operator==(const TraceSettings&) const = default;
};

// One region traced from a pixel: its outline as a polygon, or the reason why it makes no area.
//
// The polygon runs through the region's outermost pixels themselves, in whole
// picture pixels as area coordinates are written. A browser takes the point
// under the pointer as the top-left corner of the pixel there and follows an
// area whose outline passes through that point too (the rule this editor's
// rectangles keep: "10,10,20,20" is clicked over the pixels 10 to 20). So the
// browser follows the polygon over exactly the region's pixels: a rectangle of
// pixels 10 to 20 becomes the polygon 10,10,20,10,20,20,10,20. Where the
// region is one pixel wide (a tip, a line), the outline runs there and back
// over the same pixels, and a browser may miss them (chromium misses some).
struct TracedOutline {
    // Clockwise on the picture, from its topmost corner (the leftmost of
    // several); empty when no area can be made.
    QPolygon polygon;
    QRect bounds;          // the region's pixels; empty when no region was grown
    qint64 pixelCount = 0; // the region's pixels, its holes not counted
    QString message;       // why no area can be made (German); empty when the polygon is one

    bool isArea() const { return message.isEmpty(); }
    bool operator==(const TracedOutline&) const = default;
};

// Every region of one colour.
struct TracedColour {
    // The regions that make areas, in reading order of their first pixel.
    QVector<TracedOutline> outlines;
    QString message; // why none makes an area (German); empty when there is one
};

// Traces the outlines of same-coloured regions of one picture: a region grows
// from a pixel over its neighbours to the left, right, above and below
// (never across a corner, so a diagonal line of one pixel closes a room) whose
// colour differs from the clicked colour by at most the tolerance; its holes
// are filled, and its outline becomes a polygon with no more corners than the
// precision needs.
//
// The clicked colour is the median of the pixels around the clicked one that
// lie within the tolerance of it (5 x 5 pixels): JPEG's noise shifts single
// pixels, and a region grown from a shifted one ends elsewhere. On a drawn
// picture, where those pixels are of one colour, it is the clicked pixel's own.
//
// At the default tolerance a region ends short of a smoothed or compressed
// edge: a pixel the shape covers by 60 % has 40 % of the colour beyond, which
// lies further from the region's colour than 32 where the two differ by more
// than 80. So the pixels beside the grown region are looked at once more, in
// rings outwards: one joins when its colour lies nearer the region's colour
// around it than the colour beyond it (it is more than half covered), unless
// a pixel further beyond is of its colour too (then it belongs to a
// neighbouring region of a colour near this one's). Rings never take in more
// than a few pixels' depth, so neighbouring regions of similar colours stay
// apart as the tolerance keeps them; a drawn picture of pure colours has no
// pixel of mixed colours, and its regions stay exactly as grown.
//
// The picture is shared, never copied, when it is 8 bits a channel (RGB32,
// ARGB32, RGBX8888, RGBA8888, RGB888, BGR888, Grayscale8, Alpha8) or indexed
// (Indexed8: its colour table is compared, not each pixel). Other formats are
// converted once, here: premultiplied ones to straight alpha (their colours
// would otherwise depend on their transparency), 16-bit and floating-point ones
// to 8 bits a channel (the tolerance counts in 8-bit steps), 1-bit ones to
// indexed, and the other packed colours (RGB16, RGB30, ...) to 32 bits.
class OutlineTracer {
public:
    explicit OutlineTracer(const QImage& picture);
    ~OutlineTracer();
    OutlineTracer(const OutlineTracer&) = delete;
    OutlineTracer& operator=(const OutlineTracer&) = delete;

    // The region of `pixel`, grown anew.
    TracedOutline traceAt(QPoint pixel, const TraceSettings& settings);
    // What a click at `pixel` would take, for a preview that follows the
    // pointer: while the pointer stays inside the region traced last (by this or
    // by traceAt) with the same tolerance, that region's outline is given again
    // without growing it anew (a new precision or minimum is applied to it).
    // Above tolerance 0 that region was grown from the colour of another of its
    // pixels, so a click grown anew from the pointer may differ from it: a tool
    // that lets the click take what the preview shows calls this for the click too.
    TracedOutline previewAt(QPoint pixel, const TraceSettings& settings);
    // Every region of the colour a click at `pixel` grows from (within the
    // tolerance of it) in the whole picture, each with its edge as traceAt()
    // takes it; regions that make no area (too small, the whole picture) are left out.
    TracedColour traceColour(QPoint pixel, const TraceSettings& settings);

    // Whether the picture's own pixels are read (no converted copy was made).
    bool sharesPicture() const;
    // How often a region was grown: a preview that reuses one grows none.
    qint64 fillCount() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace korvane
