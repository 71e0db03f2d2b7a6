#pragma once

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>

namespace korvane::handles {

// The handles of the area being edited as plain places: index 0 is the
// anchor, the others follow the shape (a rectangle's corners are 1 and 4, a
// circle's centre 1 and its radius point 2, a polygon's points 1 to n). A
// place is a handle's top-left corner in picture pixels.
inline constexpr int kSize = 5; // w and h of every handle

enum class Shape { Other, Rect, Circle, Poly };

// Field 0 trimmed, compared exactly: only these keywords get handles.
Shape shapeOf(const QString& line);

struct Layout {
    Shape shape = Shape::Other;
    // Handles 0 to n; nullopt where the line gives no place (too few
    // coordinates): such a handle stays where it was.
    QList<std::optional<QPoint>> places;
    // How far each handle's corner lies before the point it marks (5 for a
    // rectangle's first corner, 2 for a centred handle, 0 for the rest).
    QList<int> aligns;
    bool anchorShown = false;
};

// The coordinates of a line as whole numbers, rounded as the handles place
// them; a missing one is nullopt.
struct Coords {
    QList<double> values;
    std::optional<int> at(int i) const;
};
Coords coordsOfLine(const QString& line);

// Where the handles of `line` go when it is chosen for editing.
Layout layoutOf(const QString& line);

// The coordinates the handles stand for (the inverse of layoutOf): a
// rectangle's corners ordered, a circle's radius at least 1. nullopt when
// the shape has no handles or too few of them.
std::optional<QList<int>> coordinatesOf(Shape shape, const QList<QPoint>& places);

// A dragged handle kept on the picture: an edge reached puts it back (a
// handle at the far edge lies one handle's size inside).
QPoint keptOnPicture(QPoint target, QSize picture);

// Whether dragging handle `index` carries the whole area along.
bool carriesWholeArea(Shape shape, int index);

// Handle `index` dragged to `target` (its new top-left corner): the handles
// that follow it move too. Handles the shape has not are left alone.
void drag(Shape shape, QList<QPoint>& places, int index, QPoint target, QSize picture);

} // namespace korvane::handles
