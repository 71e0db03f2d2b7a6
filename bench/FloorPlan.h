#pragma once

// The 4000 x 3000 floor plan of 200 rooms (20 x 10, dark walls of 6 pixels,
// light rooms, paper around) that the tracing benchmarks click on.
#include <QImage>
#include <QPainter>
#include <QPoint>

namespace korvane::bench::floorplan {

constexpr int kColumns = 20, kRows = 10, kWall = 6, kMargin = 60;
constexpr int kRoomWidth = (4000 - 2 * kMargin - kWall) / kColumns - kWall;
constexpr int kRoomHeight = (3000 - 2 * kMargin - kWall) / kRows - kWall;

inline QPoint roomCentre(int room)
{
    const int column = room % kColumns, row = room / kColumns;
    return {kMargin + kWall + column * (kRoomWidth + kWall) + kRoomWidth / 2,
            kMargin + kWall + row * (kRoomHeight + kWall) + kRoomHeight / 2};
}

inline QImage plainPlan()
{
    QImage picture(4000, 3000, QImage::Format_RGB32);
    picture.fill(QColor(250, 248, 240));
    QPainter painter(&picture);
    const QColor wall(45, 45, 50);
    for (int c = 0; c <= kColumns; ++c)
        painter.fillRect(kMargin + c * (kRoomWidth + kWall), kMargin, kWall, kRows * (kRoomHeight + kWall) + kWall,
                         wall);
    for (int r = 0; r <= kRows; ++r)
        painter.fillRect(kMargin, kMargin + r * (kRoomHeight + kWall), kColumns * (kRoomWidth + kWall) + kWall, kWall,
                         wall);
    return picture;
}

} // namespace korvane::bench::floorplan
