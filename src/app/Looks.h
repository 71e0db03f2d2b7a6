#pragma once

#include <QColor>

class QPalette;

// Korvane's own colours (the title screen, the drawn icons) on the desktop's
// palette: as specified on a light palette, made readable on a dark one.
namespace korvane::looks {

// The contrast of two colours as WCAG measures it, 1 to 21.
double contrast(const QColor& a, const QColor& b);
// A palette whose windows are dark (a dark desktop theme).
bool isDark(const QPalette& palette);
// `colour` made lighter or darker, keeping its hue, until it stands out from
// `background` by at least `ratio` (4.5 for text, 3 for graphics).
QColor readableOn(const QColor& colour, const QColor& background, double ratio);
// `colour` as it is on a light background; readable on a dark one.
QColor ownColour(const QColor& colour, const QColor& background, double ratio);

} // namespace korvane::looks
