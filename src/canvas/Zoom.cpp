#include "canvas/Zoom.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

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

int stepOf(double factor)
{
    for (int step : kSteps)
        if (factorOf(step) == factor)
            return step;
    return 0;
}

std::optional<int> stepAbove(double factor)
{
    for (int step : kSteps)
        if (factorOf(step) > factor)
            return step;
    return std::nullopt;
}

std::optional<int> stepBelow(double factor)
{
    for (auto step = kSteps.rbegin(); step != kSteps.rend(); ++step)
        if (factorOf(*step) < factor)
            return *step;
    return std::nullopt;
}

QString labelTextOf(double factor)
{
    if (const int step = stepOf(factor))
        return labelText(step);
    const double percent = factor * 100;
    if (percent >= 10)
        return labelText(int(std::lround(percent)));
    return QStringLiteral("%1 %").arg(QLocale(QLocale::German).toString(percent, 'g', 2));
}

double fitFactor(QSize picture, QSize view)
{
    if (picture.isEmpty() || view.isEmpty())
        return 1.0;
    double factor = std::min(
        {double(view.width()) / picture.width(), double(view.height()) / picture.height(), factorOf(kSteps.back())});
    // The quotient may come out a hair too big for the canvas's rounding up.
    const auto fits = [&](double f) {
        return std::ceil(picture.width() * f) <= view.width() && std::ceil(picture.height() * f) <= view.height();
    };
    while (!fits(factor))
        factor = std::nextafter(factor, 0.0);
    return factor;
}

} // namespace korvane::zoom
