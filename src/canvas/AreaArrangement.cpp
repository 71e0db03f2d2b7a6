#include "canvas/AreaArrangement.h"

#include "canvas/AreaGeometry.h"
#include "model/AreaEntry.h"

#include <QCoreApplication>

#include <algorithm>
#include <numeric>
#include <optional>

namespace korvane {

namespace {

// The coordinates a browser reads, as whole numbers within the pixel range
// (so that moving them cannot overflow); nothing when there are none.
std::optional<QList<int>> wholeCoords(const QString& line)
{
    const QList<double> values = entry::coordinateValues(entry::coordsOf(line));
    if (values.isEmpty())
        return std::nullopt;
    QList<int> whole;
    whole.reserve(values.size());
    for (double v : values)
        whole << roundHalfEven(std::clamp(v, -double(kFarthestPixel), double(kFarthestPixel)));
    return whole;
}

// The extent the arranging works on: corner to corner, without the line width.
QRect extentOf(const QString& line)
{
    const AreaGeometry shape = parseArea(line);
    if (!shape.drawable())
        return {};
    if (shape.kind == AreaGeometry::Kind::Circle)
        return QRect(QPoint(shape.centre.x() - shape.radius, shape.centre.y() - shape.radius),
                     QPoint(shape.centre.x() + shape.radius, shape.centre.y() + shape.radius));
    return shape.bounds;
}

int scaled(int value, int origin, int from, int to)
{
    return from == 0 ? origin : origin + roundHalfEven(double(value - origin) * to / from);
}

// The line with its extent's width (or height) made `size`, its left (top) edge kept.
QString resizedLine(const QString& line, int size, bool horizontal)
{
    const AreaGeometry shape = parseArea(line);
    std::optional<QList<int>> c = wholeCoords(line);
    if (!c || !shape.drawable())
        return line;
    const QRect e = extentOf(line);
    const int origin = horizontal ? e.left() : e.top();
    const int from = horizontal ? e.right() - e.left() : e.bottom() - e.top();
    const int first = horizontal ? 0 : 1;
    if (shape.kind == AreaGeometry::Kind::Circle) {
        // A circle stays round: its edge at the kept side, its radius half the size.
        const int r = std::max(size / 2, 1);
        (*c)[2] = r;
        (*c)[first] = origin + r;
    } else if (shape.kind == AreaGeometry::Kind::Rect) {
        const int low = std::min((*c)[first], (*c)[first + 2]);
        (*c)[first] = low;
        (*c)[first + 2] = low + size;
    } else {
        for (qsizetype i = first; i < c->size(); i += 2)
            (*c)[i] = scaled((*c)[i], origin, from, size);
    }
    return entry::withCoords(line, entry::coordinateText(*c));
}

QStringList distributed(const QStringList& lines, bool horizontal)
{
    QList<int> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    QList<int> centres;
    for (const QString& line : lines) {
        const QRect e = extentOf(line);
        centres << (horizontal ? e.left() + e.right() : e.top() + e.bottom()); // twice the centre
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return centres[a] < centres[b]; });
    QStringList result = lines;
    const qsizetype n = order.size();
    if (n < 3)
        return result;
    const double first = centres[order.first()], last = centres[order.last()];
    for (qsizetype k = 1; k + 1 < n; ++k) {
        const int i = order[k];
        const int shift = roundHalfEven((first + (last - first) * k / (n - 1) - centres[i]) / 2);
        result[i] = movedLine(lines[i], horizontal ? shift : 0, horizontal ? 0 : shift);
    }
    return result;
}

} // namespace

QString movedLine(const QString& line, int dx, int dy)
{
    const AreaGeometry shape = parseArea(line);
    std::optional<QList<int>> c = wholeCoords(line);
    if (!c || !shape.drawable() || (dx == 0 && dy == 0))
        return line;
    const qsizetype moving = shape.kind == AreaGeometry::Kind::Circle ? 2
                             : shape.kind == AreaGeometry::Kind::Rect ? 4
                                                                      : 2 * shape.points.size();
    for (qsizetype i = 0; i < std::min(moving, c->size()); ++i)
        (*c)[i] += i % 2 == 0 ? dx : dy;
    return entry::withCoords(line, entry::coordinateText(*c));
}

QString fittedLine(const QString& line, QSize picture)
{
    const AreaGeometry shape = parseArea(line);
    std::optional<QList<int>> c = wholeCoords(line);
    if (!c || !shape.drawable())
        return line;
    const QList<int> before = *c;
    const int size[2] = {picture.width(), picture.height()};
    if (shape.kind == AreaGeometry::Kind::Circle) {
        const int radius = std::min(shape.radius, std::min(size[0], size[1]) / 2);
        (*c)[2] = (*c)[2] < 0 ? -radius : radius;
        for (int i = 0; i < 2; ++i)
            (*c)[i] = std::clamp((*c)[i], radius, size[i] - radius);
    } else {
        const qsizetype points = shape.kind == AreaGeometry::Kind::Rect ? 4 : 2 * shape.points.size();
        for (qsizetype i = 0; i < std::min(points, c->size()); ++i)
            (*c)[i] = std::clamp((*c)[i], 0, size[i % 2]);
    }
    return *c == before ? line : entry::withCoords(line, entry::coordinateText(*c));
}

QList<int> areasInside(const QVector<AreaGeometry>& shapes, const QRectF& band)
{
    QList<int> rows;
    for (qsizetype i = 0; i < shapes.size(); ++i) {
        const QRect e = shapes[i].bounds;
        if (shapes[i].drawable() && e.left() >= band.left() && e.right() <= band.right() && e.top() >= band.top() &&
            e.bottom() <= band.bottom())
            rows << int(i);
    }
    return rows;
}

QString alignmentText(Alignment how)
{
    static const char* const texts[kAlignmentCount] = {
        QT_TRANSLATE_NOOP("korvane::AreaArrangement", "Links"),
        QT_TRANSLATE_NOOP("korvane::AreaArrangement", "Rechts"),
        QT_TRANSLATE_NOOP("korvane::AreaArrangement", "Oben"),
        QT_TRANSLATE_NOOP("korvane::AreaArrangement", "Unten"),
        QT_TRANSLATE_NOOP("korvane::AreaArrangement", "Horizontal zentriert"),
        QT_TRANSLATE_NOOP("korvane::AreaArrangement", "Vertikal zentriert"),
        QT_TRANSLATE_NOOP("korvane::AreaArrangement", "Gleiche Breite"),
        QT_TRANSLATE_NOOP("korvane::AreaArrangement", "Gleiche Höhe"),
        QT_TRANSLATE_NOOP("korvane::AreaArrangement", "Horizontal verteilen"),
        QT_TRANSLATE_NOOP("korvane::AreaArrangement", "Vertikal verteilen")};
    return QCoreApplication::translate("korvane::AreaArrangement", texts[int(how)]);
}

QStringList arranged(const QStringList& lines, Alignment how, int reference)
{
    if (how == Alignment::DistributeHorizontally || how == Alignment::DistributeVertically)
        return distributed(lines, how == Alignment::DistributeHorizontally);
    QStringList result = lines;
    if (reference < 0 || reference >= lines.size() || !parseArea(lines[reference]).drawable())
        return result;
    const QRect r = extentOf(lines[reference]);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == reference || !parseArea(lines[i]).drawable())
            continue;
        const QRect e = extentOf(lines[i]);
        switch (how) {
        case Alignment::Left:
            result[i] = movedLine(lines[i], r.left() - e.left(), 0);
            break;
        case Alignment::Right:
            result[i] = movedLine(lines[i], r.right() - e.right(), 0);
            break;
        case Alignment::Top:
            result[i] = movedLine(lines[i], 0, r.top() - e.top());
            break;
        case Alignment::Bottom:
            result[i] = movedLine(lines[i], 0, r.bottom() - e.bottom());
            break;
        case Alignment::CentreHorizontally:
            result[i] = movedLine(lines[i], (r.left() + r.right() - e.left() - e.right()) / 2, 0);
            break;
        case Alignment::CentreVertically:
            result[i] = movedLine(lines[i], 0, (r.top() + r.bottom() - e.top() - e.bottom()) / 2);
            break;
        case Alignment::SameWidth:
            result[i] = resizedLine(lines[i], r.right() - r.left(), true);
            break;
        case Alignment::SameHeight:
            result[i] = resizedLine(lines[i], r.bottom() - r.top(), false);
            break;
        default:
            break;
        }
    }
    return result;
}

} // namespace korvane
