#pragma once

#include <opencv2/core/types.hpp>

#include <functional>
#include <vector>

namespace korvane {

// Moves the corners of a polygon simplified from a closed chain of outline
// pixels by up to one pixel each, where a browser then follows more of the
// region's outermost pixels and fewer of the pixels around it.
//
// A simplified polygon runs through outermost pixels, and along a slanted edge
// about half of the others lie a little outside its straight line: a browser
// misses them (up to half a pixel along the edge: 2 to 3 % of the pixels of a
// triangle with sides of 150 pixels). A corner moved a pixel outwards often
// takes them in again.
// Every pixel of the chain stays within the precision of the polygon; the
// corners stay on the picture.
//
// `corners` are points of `chain` in its order (as simplification leaves
// them); `inRegion` tells whether a pixel of the picture belongs to the region.
std::vector<cv::Point> fittedCorners(const std::vector<cv::Point>& chain, const std::vector<cv::Point>& corners,
                                     double precision, const std::function<bool(cv::Point)>& inRegion,
                                     cv::Size picture);

} // namespace korvane
