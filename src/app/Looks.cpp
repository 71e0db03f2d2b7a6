#include "app/Looks.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

namespace korvane::looks {

namespace {

double channel(double value)
{
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c)
{
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

} // namespace

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isDark(const QPalette& palette)
{
    return luminance(palette.color(QPalette::Window)) < luminance(palette.color(QPalette::WindowText));
}

QColor readableOn(const QColor& colour, const QColor& background, double ratio)
{
    if (contrast(colour, background) >= ratio)
        return colour;
    // Towards white on a dark background, towards black on a light one, in
    // small steps of lightness, so the colour keeps as much of itself as it can.
    const bool lighten = luminance(background) < 0.18;
    const QColor hsl = colour.toHsl();
    for (int step = 1; step <= 100; ++step) {
        const double l = lighten ? hsl.lightnessF() + (1 - hsl.lightnessF()) * step / 100.0
                                 : hsl.lightnessF() * (1 - step / 100.0);
        const QColor tried = QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), l);
        if (contrast(tried, background) >= ratio)
            return tried.toRgb();
    }
    return lighten ? QColor(Qt::white) : QColor(Qt::black);
}

QColor ownColour(const QColor& colour, const QColor& background, double ratio)
{
    return luminance(background) < 0.18 ? readableOn(colour, background, ratio) : colour;
}

} // namespace korvane::looks
