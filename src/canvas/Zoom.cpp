#include "canvas/Zoom.h"

#include <algorithm>

namespace korvane::zoom {

double factorOf(int percent)
{
    if (percent == 33)
        return 1.0 / 3.0;
    if (percent == 67)
        return 2.0 / 3.0;
    return percent / 100.0;
}

int stepIn(int percent)
{
    const auto next = std::upper_bound(kSteps.begin(), kSteps.end(), percent);
    return next == kSteps.end() ? kSteps.back() : *next;
}

int stepOut(int percent)
{
    const auto here = std::lower_bound(kSteps.begin(), kSteps.end(), percent);
    return here == kSteps.begin() ? kSteps.front() : *(here - 1);
}

QString labelText(int percent)
{
    return QStringLiteral("%1 %").arg(percent);
}

} // namespace korvane::zoom
