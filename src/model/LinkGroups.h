#pragma once

#include "model/AreaLines.h"

#include <QList>
#include <QRectF>

#include <vector>

// Areas that are one link in the responsive form: a country with its
// islands, a room in two parts. Areas with the same link, alternative text,
// target, handlers and kept attributes become one link with several shapes:
// one Tab stop, one name, one highlight for all parts. The classic map keeps
// one area per shape.
namespace korvane::groups {

struct LinkGroups {
    // Per area: the first area of its group (itself when it is alone).
    std::vector<int> leader;
    // Per area: the area whose place in the pointer's layer it shares. The
    // pointer's layer paints the areas last first, so that the first wins
    // where they overlap; a part can join an earlier part's link only when no
    // area between the two meets it, or it would rise above that area.
    std::vector<int> place;
    // The leaders of groups the pointer's layer holds in several links.
    QList<int> split;
};

// `boxes`: each area's extent; `drawn`: whether the pointer's layer paints
// the area in list order (a usable shape, not a default area: those lie under
// all others); `joins`: whether the area may join a group (drawn, with a link,
// not covered wholly by earlier areas).
LinkGroups linkGroups(const AreaLines& lines, const std::vector<QRectF>& boxes, const std::vector<bool>& drawn,
                      const std::vector<bool>& joins);

// What areas of one group share: the line from its link on (fields 2 to 8).
QStringView groupKey(QStringView line);

} // namespace korvane::groups
