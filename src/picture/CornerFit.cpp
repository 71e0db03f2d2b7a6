#include "picture/CornerFit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace korvane {

namespace {

constexpr double kOn = 1e-9; // closer to a line than this is on it (a browser counts its outline in)
constexpr int kRounds = 2;

const cv::Point kNeighbours[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
const cv::Point kMoves[] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};

double segmentDistance(cv::Point2d p, cv::Point2d a, cv::Point2d b)
{
    const cv::Point2d ab = b - a;
    const double length2 = ab.dot(ab);
    const double t = length2 > 0 ? std::clamp((p - a).dot(ab) / length2, 0.0, 1.0) : 0.0;
    return cv::norm(p - (a + t * ab));
}

class Fit {
public:
    Fit(const std::vector<cv::Point>& chain, double precision, const std::function<bool(cv::Point)>& inRegion,
        cv::Size picture, bool clockwise)
        : m_chain(chain), m_precision(precision), m_inRegion(inRegion), m_picture(picture),
          m_outwards(clockwise ? 1.0 : -1.0)
    {
    }

    // How well the side from `a` to `b` serves the chain's pixels `from` to
    // `to`: each of them it takes in counts one up, each pixel of the
    // neighbourhood outside the region it takes in one down. None when a pixel
    // of the chain lies further than the precision from it.
    std::optional<std::int64_t> score(cv::Point a, cv::Point b, std::size_t from, std::size_t to) const
    {
        if (a == b)
            return std::nullopt;
        const cv::Point2d pa(a), pb(b), side = pb - pa;
        const double length = cv::norm(side);
        const cv::Point2d normal = m_outwards * cv::Point2d(side.y, -side.x) / length;
        std::int64_t score = 0;
        for (std::size_t k = from;; k = (k + 1) % m_chain.size()) {
            const cv::Point p = m_chain[k];
            if (segmentDistance(p, pa, pb) > m_precision + kOn)
                return std::nullopt;
            score += (cv::Point2d(p) - pa).dot(normal) <= kOn;
            for (const cv::Point step : kNeighbours) {
                const cv::Point q = p + step;
                if (takesIn(q, pa, side, normal) && !m_inRegion(q))
                    --score;
            }
            if (k == to)
                break;
        }
        return score;
    }

    bool onPicture(cv::Point p) const
    {
        return p.x >= 0 && p.y >= 0 && p.x < m_picture.width && p.y < m_picture.height;
    }

private:
    // Whether the side takes in a pixel beside it (the pixels beyond its ends belong to the next sides).
    bool takesIn(cv::Point q, cv::Point2d a, cv::Point2d side, cv::Point2d normal) const
    {
        if (!onPicture(q))
            return false;
        const cv::Point2d aq = cv::Point2d(q) - a;
        const double along = aq.dot(side) / side.dot(side);
        return along >= 0 && along <= 1 && aq.dot(normal) <= kOn;
    }

    const std::vector<cv::Point>& m_chain;
    double m_precision;
    const std::function<bool(cv::Point)>& m_inRegion;
    cv::Size m_picture;
    double m_outwards;
};

// The place of each corner in the chain, in order; empty when they are not
// found there in the chain's order, once round.
std::vector<std::size_t> placesOf(const std::vector<cv::Point>& chain, const std::vector<cv::Point>& corners)
{
    const std::size_t n = chain.size();
    std::vector<std::size_t> places;
    std::size_t k = std::find(chain.begin(), chain.end(), corners.front()) - chain.begin(), walked = 0;
    for (const cv::Point& corner : corners) {
        while (k < n && chain[k] != corner && walked < n) {
            k = (k + 1) % n;
            ++walked;
        }
        if (k >= n || chain[k] != corner)
            return {};
        places.push_back(k);
    }
    walked += (places.front() + n - places.back()) % n; // back to the first
    return walked == n ? places : std::vector<std::size_t>{};
}

bool clockwise(const std::vector<cv::Point>& points)
{
    std::int64_t sum = 0;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++)
        sum += std::int64_t(points[j].x) * points[i].y - std::int64_t(points[i].x) * points[j].y;
    return sum >= 0;
}

} // namespace

std::vector<cv::Point> fittedCorners(const std::vector<cv::Point>& chain, const std::vector<cv::Point>& corners,
                                     double precision, const std::function<bool(cv::Point)>& inRegion, cv::Size picture)
{
    const std::size_t n = corners.size();
    if (n < 3 || chain.size() < 3)
        return corners;
    const std::vector<std::size_t> places = placesOf(chain, corners);
    if (places.size() != n)
        return corners;
    const Fit fit(chain, precision, inRegion, picture, clockwise(chain));
    std::vector<cv::Point> fitted = corners;
    for (int round = 0; round < kRounds; ++round) {
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t before = (i + n - 1) % n, after = (i + 1) % n;
            const auto total = [&](cv::Point corner) -> std::optional<std::int64_t> {
                const auto in = fit.score(fitted[before], corner, places[before], places[i]);
                const auto out = fit.score(corner, fitted[after], places[i], places[after]);
                if (!in || !out)
                    return std::nullopt;
                return *in + *out;
            };
            const cv::Point here = fitted[i];
            std::optional<std::int64_t> best = total(here);
            for (const cv::Point move : kMoves) {
                const cv::Point candidate = here + move;
                if (!fit.onPicture(candidate))
                    continue;
                if (const auto score = total(candidate); score && (!best || *score > *best)) {
                    best = score;
                    fitted[i] = candidate;
                }
            }
        }
    }
    return fitted;
}

} // namespace korvane
