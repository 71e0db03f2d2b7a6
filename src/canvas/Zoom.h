#pragma once

#include <QString>

#include <array>

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

} // namespace korvane::zoom
