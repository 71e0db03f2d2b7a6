#pragma once

#include <QSize>
#include <QString>

#include <array>
#include <optional>

namespace korvane::zoom {

// The canvas's zoom steps in percent. 33 and 67 % are a third and two thirds,
// so that three picture pixels make one or two screen pixels exactly.
inline constexpr std::array<int, 11> kSteps = {25, 33, 50, 67, 100, 150, 200, 300, 400, 600, 800};

double factorOf(int percent);
// The next step up or down; the ends stay where they are.
int stepIn(int percent);
int stepOut(int percent);
// "200 %"
QString labelText(int percent);

// The step whose factor this is exactly, else 0 (a zoom between the steps).
int stepOf(double factor);
// The first step above or below any zoom factor; none past either end.
std::optional<int> stepAbove(double factor);
std::optional<int> stepBelow(double factor);
// The zoom of a fitted picture shows in the label too: a step as "200 %",
// any other as near as two digits tell it ("12 %", "0,38 %").
QString labelTextOf(double factor);

// The largest zoom at which the whole picture fits into the view (the zoomed
// size rounded up, as the canvas takes it), at most the largest step. Any
// picture fits: one of 100 million pixels in a row too, far below the
// smallest step. An empty picture or view keeps 100 %.
double fitFactor(QSize picture, QSize view);

} // namespace korvane::zoom
