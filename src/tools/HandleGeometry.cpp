#include "tools/HandleGeometry.h"

#include "model/AreaEntry.h"

#include <algorithm>

namespace korvane::handles {

std::optional<int> Coords::at(int i) const
{
    if (i < 0 || i >= values.size())
        return std::nullopt;
    return roundHalfEven(std::clamp(values[i], -10'000'000.0, 10'000'000.0));
}

Coords coordsOfLine(const QString& line)
{
    const QString text = entry::coordsOf(line);
    if (text.trimmed().isEmpty())
        return {};
    return {entry::coordinateValues(text)};
}

namespace {

Layout rectLayout(const Coords& c)
{
    constexpr int w = kSize, h = kSize;
    Layout layout{Shape::Rect, QList<std::optional<QPoint>>(5), {w / 2, w, 0, 0, 0}, true};
    if (c.at(1))
        layout.places[1] = QPoint(*c.at(0) - w, *c.at(1) - h);
    if (c.at(3)) {
        const int x1 = *c.at(0), y1 = *c.at(1), x2 = *c.at(2), y2 = *c.at(3);
        layout.places[4] = QPoint(x2, y2);
        layout.places[0] = QPoint((x1 + (x2 - x1) / 2) - w / 2, (y1 + (y2 - y1) / 2) - h / 2);
    }
    return layout;
}

Layout circleLayout(const Coords& c)
{
    constexpr int w = kSize, h = kSize;
    Layout layout{Shape::Circle, QList<std::optional<QPoint>>(3), {0, w / 2, w / 2}, false};
    if (c.at(1))
        layout.places[1] = QPoint(*c.at(0) - w / 2, *c.at(1) - h / 2);
    if (c.at(2))
        layout.places[2] = QPoint((*c.at(0) + *c.at(2)) - w / 2, *c.at(1) - h / 2);
    return layout;
}

// The anchor's corner at the middle of the points' box (not centred on it).
Layout polyLayout(const Coords& c)
{
    const int n = static_cast<int>(c.values.size()) / 2;
    Layout layout{Shape::Poly, {}, QList<int>(n + 1, 0), true};
    layout.places.reserve(n + 1);
    layout.places << std::nullopt;
    int minX = 100000, minY = 100000, maxX = -100000, maxY = -100000;
    for (int j = 0; j < n; ++j) {
        const QPoint place(*c.at(2 * j), *c.at(2 * j + 1));
        layout.places << place;
        minX = std::min(minX, place.x());
        maxX = std::max(maxX, place.x());
        minY = std::min(minY, place.y());
        maxY = std::max(maxY, place.y());
    }
    // Without points the box is inverted and the middle comes out at (0, 0).
    layout.places[0] = QPoint(minX + (maxX - minX) / 2, minY + (maxY - minY) / 2);
    return layout;
}

void dragCircle(QList<QPoint>& places, int index, QPoint target, QSize picture)
{
    if (places.size() < 3)
        return;
    if (index == 1) { // the radius point keeps its distance
        const int d = places[2].x() - places[1].x();
        places[1] = keptOnPicture(target, picture);
        places[2] = QPoint(places[1].x() + d, places[1].y());
    } else if (index == 2) {
        places[2].setX(target.x());
    }
}

void dragRect(QList<QPoint>& places, int index, QPoint target, QSize picture)
{
    if (places.size() < 5)
        return;
    if (index == 1 || index == 4) {
        places[index] = keptOnPicture(target, picture);
        const QPoint p1 = places[1], p4 = places[4];
        places[0] = QPoint(p4.x() - (p4.x() - p1.x()) / 2 - kSize / 2, p4.y() - (p4.y() - p1.y()) / 2 - kSize / 2);
    } else if (index == 0) { // the corners keep their offsets, not kept on the picture
        const QPoint before = places[0];
        const QPoint d1 = before - places[1], d4 = places[4] - before;
        places[0] = keptOnPicture(target, picture);
        places[1] = places[0] - d1;
        places[4] = places[0] + d4;
    }
}

// The anchor carries every point along by its own move.
void dragPoly(QList<QPoint>& places, int index, QPoint target, QSize picture)
{
    if (index < 0 || index >= places.size())
        return;
    if (index >= 1) {
        places[index] = keptOnPicture(target, picture);
        return;
    }
    const QPoint before = places[0];
    places[0] = keptOnPicture(target, picture);
    const QPoint by = places[0] - before;
    if (by.isNull())
        return;
    for (qsizetype j = 1; j < places.size(); ++j)
        places[j] += by;
}

} // namespace

Shape shapeOf(const QString& line)
{
    const QString shape = entry::shapeName(line);
    if (shape == QLatin1String("rect"))
        return Shape::Rect;
    if (shape == QLatin1String("circle"))
        return Shape::Circle;
    if (shape == QLatin1String("poly"))
        return Shape::Poly;
    return Shape::Other;
}

Layout layoutOf(const QString& line)
{
    switch (shapeOf(line)) {
    case Shape::Rect:
        return rectLayout(coordsOfLine(line));
    case Shape::Circle:
        return circleLayout(coordsOfLine(line));
    case Shape::Poly:
        return polyLayout(coordsOfLine(line));
    case Shape::Other:
        break;
    }
    return Layout{Shape::Other, {std::nullopt}, {0}, false};
}

std::optional<QList<int>> coordinatesOf(Shape shape, const QList<QPoint>& places)
{
    QList<int> values;
    if (shape == Shape::Poly) {
        values.reserve(2 * (places.size() - 1));
        for (qsizetype j = 1; j < places.size(); ++j)
            values << places[j].x() << places[j].y();
    } else if (shape == Shape::Rect && places.size() >= 5) {
        int l1 = places[1].x(), t1 = places[1].y();
        int l4 = places[4].x(), t4 = places[4].y();
        if (l1 > l4)
            SWAP(l1, l4);
        if (t1 > t4)
            SWAP(t1, t4);
        values << l1 + kSize << t1 + kSize << l4 << t4;
    } else if (shape == Shape::Circle && places.size() >= 3) {
        const int l1 = places[1].x(), t1 = places[1].y();
        const int r = places[2].x() - l1;
        values << l1 + kSize / 2 << t1 + kSize / 2 << (r > 0 ? r : 1);
    } else {
        return std::nullopt;
    }
    return values;
}

QPoint keptOnPicture(QPoint target, QSize picture)
{
    int left = target.x();
    int top = target.y();
    if (left <= 0)
        left = 0;
    if (top <= 0)
        top = 0;
    if (top >= picture.height())
        top = picture.height() - kSize;
    if (left >= picture.width())
        left = picture.width() - kSize;
    return QPoint(left, top);
}

bool carriesWholeArea(Shape shape, int index)
{
    return index == 0 || (index == 1 && shape == Shape::Circle);
}

void drag(Shape shape, QList<QPoint>& places, int index, QPoint target, QSize picture)
{
    switch (shape) {
    case Shape::Circle:
        dragCircle(places, index, target, picture);
        break;
    case Shape::Rect:
        dragRect(places, index, target, picture);
        break;
    case Shape::Poly:
        dragPoly(places, index, target, picture);
        break;
    case Shape::Other:
        break;
    }
}

} // namespace korvane::handles
