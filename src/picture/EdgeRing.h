#pragma once

#include <QRgb>
#include <QVector>

#include <opencv2/core/mat.hpp>

#include <array>
#include <vector>

namespace korvane {

// A pixel's colour as the tracer compares it: up to four values of 0 to 255;
// a value the tracer does not compare (the unused byte of an opaque format) is 0.
using Colour = std::array<int, 4>;

// Reads the colours of a picture's pixels: its own bytes, or for an indexed
// picture the red, green, blue and alpha of its colour table.
class PixelColours {
public:
    // `pixels` is a header over the picture's rows; `table` the colour table of
    // an indexed picture (else null); `ignoredByte` the byte not compared (-1: none).
    PixelColours(const cv::Mat& pixels, const QVector<QRgb>* table, int ignoredByte);

    Colour at(cv::Point p) const
    {
        const uchar* pixel = m_pixels.ptr<uchar>(p.y) + p.x * m_pixels.channels();
        if (m_table) {
            const QRgb rgb = *pixel < m_table->size() ? (*m_table)[*pixel] : QRgb(0);
            return {qRed(rgb), qGreen(rgb), qBlue(rgb), qAlpha(rgb)};
        }
        Colour colour{};
        for (int c = 0; c < m_pixels.channels(); ++c)
            colour[std::size_t(c)] = c == m_ignored ? 0 : pixel[c];
        return colour;
    }
    bool onPicture(cv::Point p) const { return p.x >= 0 && p.y >= 0 && p.x < m_pixels.cols && p.y < m_pixels.rows; }
    int channels() const { return m_table ? 4 : m_pixels.channels(); }

private:
    const cv::Mat& m_pixels;
    const QVector<QRgb>* m_table;
    int m_ignored;
};

// The largest difference of two colours in any of their values.
int colourDifference(const Colour& a, const Colour& b);

// The colour a region grows from: a JPEG's noise shifts single pixels, so the
// clicked pixel stands for its neighbourhood. It is the median, value by
// value, of the pixels of the 5 x 5 around `seed` that lie within the
// tolerance of the seed's colour: where they are all of one colour (a drawn
// picture), that colour, the seed's own; the seed always lies within the
// tolerance of it.
Colour neighbourhoodColour(const PixelColours& colours, cv::Point seed, int tolerance);

// The pixels just outside a grown region that it more than half covers.
//
// Each pixel beside the region (`candidates`) is compared with the colour
// inside (the median of the region's pixels in the 5 x 5 around it) and the
// colour beyond (the median of the pixels there neither in the region nor
// beside it). It is taken when, on the way from the inside colour to the
// beyond, it lies in the first half: a mixture of mostly inside (the
// difference across that way is JPEG's colour noise, which is large beside a
// strong edge). It is not taken
// - where inside and beyond differ by no more than the tolerance: no edge of
//   the region, but a line between two parts of one colour;
// - where a pixel beyond, three or more pixels from the region, lies within the
//   tolerance of it: it belongs to a neighbouring region of its own colour
//   (a shade of the region's beyond the tolerance, met at a corner), not to
//   the edge's mixtures.
// A drawn picture of pure colours has no mixtures: its regions stay as grown.
//
// `map` marks the region's pixels with `region`; each candidate's decision
// depends on the region alone, never on the order of candidates.
std::vector<cv::Point> halfCoveredPixels(const std::vector<cv::Point>& candidates, const cv::Mat& map, uchar region,
                                         const PixelColours& colours, int tolerance);

// The pixels beside the points (left, right, above, below) on the picture and
// not marked `region` in `map`, each once.
std::vector<cv::Point> pixelsBeside(const std::vector<cv::Point>& points, const cv::Mat& map, uchar region);

} // namespace korvane
