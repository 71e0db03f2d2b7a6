#include "picture/EdgeRing.h"

#include <algorithm>
#include <cstdlib>

namespace korvane {

namespace {

constexpr int kRadius = 2; // the neighbourhood: 5 x 5 pixels
constexpr int kMostAround = (2 * kRadius + 1) * (2 * kRadius + 1);

const cv::Point kBeside[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};

// Colours gathered from a neighbourhood, value by value.
class Gathered {
public:
    void add(const Colour& colour)
    {
        for (std::size_t c = 0; c < colour.size(); ++c)
            m_values[c][m_count] = colour[c];
        ++m_count;
    }
    bool empty() const { return m_count == 0; }

    // The lower median of each value: one of the gathered values, so that a
    // neighbourhood of one colour gives exactly that colour.
    Colour median()
    {
        Colour out{};
        const int middle = (m_count - 1) / 2;
        for (std::size_t c = 0; c < out.size(); ++c) {
            std::nth_element(m_values[c].begin(), m_values[c].begin() + middle, m_values[c].begin() + m_count);
            out[c] = m_values[c][middle];
        }
        return out;
    }

private:
    std::array<std::array<int, kMostAround>, 4> m_values; // only the first m_count are read
    int m_count = 0;
};

bool isRegion(const cv::Mat& map, cv::Point p, uchar region)
{
    return p.x >= 0 && p.y >= 0 && p.x < map.cols && p.y < map.rows && map.at<uchar>(p.y, p.x) == region;
}

// Where the region lies around one pixel, out to twice the neighbourhood's reach.
class RegionAround {
public:
    RegionAround(const cv::Mat& map, cv::Point centre, uchar region)
    {
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                m_sums[y + 1][x + 1] = isRegion(map, centre + cv::Point(x - kReach, y - kReach), region) +
                                       m_sums[y][x + 1] + m_sums[y + 1][x] - m_sums[y][x];
    }

    // `offset` from the centre, each coordinate within the neighbourhood.
    bool inRegion(cv::Point offset) const { return count(offset, offset) > 0; }
    bool besideRegion(cv::Point offset) const
    {
        return std::any_of(std::begin(kBeside), std::end(kBeside),
                           [&](cv::Point step) { return inRegion(offset + step); });
    }
    // No pixel of the region within the neighbourhood's reach of it: surely on the far side of the edge.
    bool farFromRegion(cv::Point offset) const
    {
        return count(offset - cv::Point(kRadius, kRadius), offset + cv::Point(kRadius, kRadius)) == 0;
    }

private:
    static constexpr int kReach = 2 * kRadius, kSide = 2 * kReach + 1;

    int count(cv::Point from, cv::Point to) const
    {
        const int x0 = from.x + kReach, y0 = from.y + kReach, x1 = to.x + kReach + 1, y1 = to.y + kReach + 1;
        return m_sums[y1][x1] - m_sums[y0][x1] - m_sums[y1][x0] + m_sums[y0][x0];
    }

    std::array<std::array<int, kSide + 1>, kSide + 1> m_sums{};
};

// Whether `colour` lies nearer `inside` than `beyond` on the way from one to the other.
bool nearerInside(const Colour& colour, const Colour& inside, const Colour& beyond, int channels)
{
    double way = 0, along = 0;
    for (int c = 0; c < channels; ++c) {
        const double d = beyond[c] - inside[c];
        way += d * d;
        along += (colour[c] - inside[c]) * d;
    }
    return along < 0.5 * way;
}

// Whether the region more than half covers the pixel at `candidate` (see halfCoveredPixels).
bool halfCovered(cv::Point candidate, const cv::Mat& map, uchar region, const PixelColours& colours, int tolerance)
{
    const Colour colour = colours.at(candidate);
    const RegionAround around(map, candidate, region);
    Gathered inside, beyond;
    for (int dy = -kRadius; dy <= kRadius; ++dy) {
        for (int dx = -kRadius; dx <= kRadius; ++dx) {
            const cv::Point offset(dx, dy);
            if (!colours.onPicture(candidate + offset))
                continue;
            const Colour other = colours.at(candidate + offset);
            if (around.inRegion(offset)) {
                inside.add(other);
            } else if (!around.besideRegion(offset)) {
                if (around.farFromRegion(offset) && colourDifference(other, colour) <= tolerance)
                    return false; // of a neighbouring region of its own colour
                beyond.add(other);
            }
        }
    }
    if (inside.empty() || beyond.empty())
        return false;
    const Colour in = inside.median(), out = beyond.median();
    return colourDifference(in, out) > tolerance && nearerInside(colour, in, out, colours.channels());
}

} // namespace

PixelColours::PixelColours(const cv::Mat& pixels, const QVector<QRgb>* table, int ignoredByte)
    : m_pixels(pixels), m_table(table), m_ignored(ignoredByte)
{
}

int colourDifference(const Colour& a, const Colour& b)
{
    int most = 0;
    for (std::size_t c = 0; c < a.size(); ++c)
        most = std::max(most, std::abs(a[c] - b[c]));
    return most;
}

Colour neighbourhoodColour(const PixelColours& colours, cv::Point seed, int tolerance)
{
    const Colour clicked = colours.at(seed);
    Gathered near;
    for (int dy = -kRadius; dy <= kRadius; ++dy) {
        for (int dx = -kRadius; dx <= kRadius; ++dx) {
            const cv::Point p = seed + cv::Point(dx, dy);
            if (!colours.onPicture(p))
                continue;
            if (const Colour colour = colours.at(p); colourDifference(colour, clicked) <= tolerance)
                near.add(colour);
        }
    }
    return near.median();
}

std::vector<cv::Point> halfCoveredPixels(const std::vector<cv::Point>& candidates, const cv::Mat& map, uchar region,
                                         const PixelColours& colours, int tolerance)
{
    std::vector<cv::Point> taken;
    for (const cv::Point& candidate : candidates) {
        if (halfCovered(candidate, map, region, colours, tolerance))
            taken.push_back(candidate);
    }
    return taken;
}

std::vector<cv::Point> pixelsBeside(const std::vector<cv::Point>& points, const cv::Mat& map, uchar region)
{
    std::vector<cv::Point> beside;
    beside.reserve(points.size() * 2);
    for (const cv::Point& point : points) {
        for (const cv::Point step : kBeside) {
            const cv::Point p = point + step;
            if (p.x >= 0 && p.y >= 0 && p.x < map.cols && p.y < map.rows && map.at<uchar>(p.y, p.x) != region)
                beside.push_back(p);
        }
    }
    std::sort(beside.begin(), beside.end(),
              [](const cv::Point& a, const cv::Point& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    beside.erase(std::unique(beside.begin(), beside.end()), beside.end());
    return beside;
}

} // namespace korvane
