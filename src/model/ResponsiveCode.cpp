#include "model/ResponsiveCode.h"

#include "model/AreaEntry.h"
#include "model/ExtraAttributes.h"
#include "model/Codec.h"
#include "model/MapCode.h"

#include <QRectF>

#include <cmath>
#include <vector>

namespace korvane {

namespace {

const QChar kQuote = QLatin1Char('"');

// One area's geometry as a browser reads the classic map: an unknown or
// missing shape is a rectangle, a rectangle's corners may come in any order.
struct Geometry {
    enum Kind { Rect, Circle, Polygon, Default } kind = Rect;
    QList<double> values; // rect x, y, width, height; circle cx, cy, r; polygon x, y pairs
    QRectF box;           // bounding box, for the overlap test
    bool usable = false;  // enough numbers for the shape
    bool isDefault = false; // the rest of the picture: written as a rectangle over all of it
};

Geometry::Kind kindOf(const QString& keyword)
{
    const QString k = keyword.toLower();
    if (k == QLatin1String("circle") || k == QLatin1String("circ"))
        return Geometry::Circle;
    if (k == QLatin1String("poly") || k == QLatin1String("polygon"))
        return Geometry::Polygon;
    if (k == QLatin1String("default"))
        return Geometry::Default;
    return Geometry::Rect;
}

QRectF boxOf(const Geometry& g)
{
    const QList<double>& v = g.values;
    if (g.kind == Geometry::Rect)
        return QRectF(v[0], v[1], v[2], v[3]);
    if (g.kind == Geometry::Circle)
        return QRectF(v[0] - v[2], v[1] - v[2], v[2] * 2, v[2] * 2);
    double left = v[0], right = left, top = v[1], bottom = top;
    for (qsizetype i = 0; i + 1 < v.size(); i += 2) {
        left = std::min(left, v[i]);
        right = std::max(right, v[i]);
        top = std::min(top, v[i + 1]);
        bottom = std::max(bottom, v[i + 1]);
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

// The default area is the whole picture, under every other area.
Geometry geometryOf(const QString& line, QSize size)
{
    Geometry g;
    g.kind = kindOf(entry::shapeOf(line));
    const QList<double> v = g.kind == Geometry::Default
                                ? QList<double>{0, 0, double(size.width()), double(size.height())}
                                : entry::coordinateValues(entry::coordsOf(line));
    g.isDefault = g.kind == Geometry::Default;
    if (g.isDefault)
        g.kind = Geometry::Rect;
    if (g.kind == Geometry::Rect) {
        g.usable = v.size() >= 4;
        if (g.usable)
            g.values = {std::min(v[0], v[2]), std::min(v[1], v[3]), std::abs(v[2] - v[0]), std::abs(v[3] - v[1])};
    } else if (g.kind == Geometry::Circle) {
        g.usable = v.size() >= 3 && v[2] >= 0;
        g.values = v.mid(0, 3);
    } else {
        g.usable = v.size() >= 6;
        g.values = v.mid(0, v.size() / 2 * 2);
    }
    if (g.usable)
        g.box = boxOf(g);
    return g;
}

QString number(double v)
{
    if (v == std::floor(v) && std::abs(v) < 1e15)
        return QString::number(qint64(v));
    return QString::number(v, 'g', 12);
}

// Touching boxes count: a shared edge may still share points.
bool boxesMeet(const QRectF& a, const QRectF& b)
{
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() && b.top() <= a.bottom();
}

bool insidePicture(const QRectF& box, QSize size)
{
    return box.left() >= 0 && box.top() >= 0 && box.right() <= size.width() && box.bottom() <= size.height();
}

QString shapeElement(const Geometry& g)
{
    const QList<double>& v = g.values;
    if (g.kind == Geometry::Rect)
        return QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" />")
            .arg(number(v[0]), number(v[1]), number(v[2]), number(v[3]));
    if (g.kind == Geometry::Circle)
        return QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" />").arg(number(v[0]), number(v[1]), number(v[2]));
    QStringList points;
    for (qsizetype i = 0; i + 1 < v.size(); i += 2)
        points << number(v[i]) + QLatin1Char(',') + number(v[i + 1]);
    return QStringLiteral("<polygon points=\"") + points.join(QLatin1Char(' ')) + QStringLiteral("\" />");
}

// The outline as path data, for the clip paths that cut it out of later areas.
QString pathData(const Geometry& g)
{
    const QList<double>& v = g.values;
    if (g.kind == Geometry::Rect)
        return QStringLiteral("M%1,%2H%3V%4H%1Z").arg(number(v[0]), number(v[1]), number(v[0] + v[2]), number(v[1] + v[3]));
    if (g.kind == Geometry::Circle)
        return QStringLiteral("M%1,%2a%3,%3 0 1,0 %4,0a%3,%3 0 1,0 -%4,0Z")
            .arg(number(v[0] - v[2]), number(v[1]), number(v[2]), number(v[2] * 2));
    QString d = QStringLiteral("M") + number(v[0]) + QLatin1Char(',') + number(v[1]);
    for (qsizetype i = 2; i + 1 < v.size(); i += 2)
        d += QLatin1Char('L') + number(v[i]) + QLatin1Char(',') + number(v[i + 1]);
    return d + QLatin1Char('Z');
}

// Ids of the clip paths: the map name with only characters a url() reference takes as they are.
QString idPrefix(const QString& mapName)
{
    QString prefix = QStringLiteral("korvane-");
    for (const QChar c : mapName)
        prefix += c.isLetterOrNumber() && c.unicode() < 128 ? c : QLatin1Char('_');
    return prefix;
}

QString preserveAspectRatio(FitMode fit)
{
    switch (fit) {
    case FitMode::Contain:
        return QStringLiteral("xMidYMid meet");
    case FitMode::Cover:
        return QStringLiteral("xMidYMid slice");
    case FitMode::Fill:
        break;
    }
    return QStringLiteral("none");
}

void appendOptional(QString& out, QLatin1String name, const QString& value)
{
    if (value == entry::kAbsent)
        return;
    out += QLatin1Char(' ') + name + QStringLiteral("=\"") + attributeValue(value) + kQuote;
}

// The opening tag of an area's link: the alt text names it, and its target
// and handlers go with it. The handler names are in lower case, which an
// XHTML page needs.
QString linkStart(const QString& line)
{
    const LinkAttributes a = entry::attributesOf(line);
    // An area the page gave no link takes the pointer as in the classic map,
    // but leads nowhere: an "a" without href, which is no link and no Tab stop.
    const bool noLink = extra::isNoLink(line);
    QString out = noLink ? QStringLiteral("<a") : QStringLiteral("<a href=\"") + attributeValue(a.href) + kQuote;
    if (!a.alt.isEmpty() && !noLink)
        out += QStringLiteral(" aria-label=\"") + attributeValue(a.alt) + kQuote;
    appendOptional(out, QLatin1String("target"), a.target);
    appendOptional(out, QLatin1String("onmouseover"), a.onmouseover);
    appendOptional(out, QLatin1String("onmouseout"), a.onmouseout);
    appendOptional(out, QLatin1String("onclick"), a.onclick);
    out += QLatin1Char('>');
    if (!a.alt.isEmpty())
        out += QStringLiteral("<title>") + attributeValue(a.alt) + QStringLiteral("</title>");
    return out;
}

// Shapes the SVG paints later lie on top and take the pointer, while the
// classic map gives a point to the first area that holds it. So each area
// is cut (by clip paths) out of every later one it may overlap; the links
// keep the list order, which is also the order Tab follows. A default area
// is the rest of the picture, so it cuts nothing out of the others.
struct Cuts {
    std::vector<std::vector<int>> earlier; // per area: the earlier areas cut out of it
    std::vector<bool> cutter;              // per area: cut out of a later one
};

Cuts cutsOf(const std::vector<Geometry>& shapes)
{
    Cuts cuts{std::vector<std::vector<int>>(shapes.size()), std::vector<bool>(shapes.size(), false)};
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        for (std::size_t j = 0; j < i && shapes[i].usable; ++j) {
            if (!shapes[j].usable || shapes[j].isDefault || !boxesMeet(shapes[i].box, shapes[j].box))
                continue;
            cuts.earlier[i].push_back(int(j));
            cuts.cutter[j] = true;
        }
    }
    return cuts;
}

QString clipDefinitions(const std::vector<Geometry>& shapes, const Cuts& cuts, const QString& prefix, QSize size,
                        bool clipToPicture)
{
    QString defs;
    const QString picture = QStringLiteral("M0,0H%1V%2H0Z").arg(size.width()).arg(size.height());
    for (std::size_t j = 0; j < shapes.size(); ++j) {
        if (cuts.cutter[j])
            defs += QStringLiteral("<clipPath id=\"%1ohne-%2\"><path clip-rule=\"evenodd\" d=\"%3%4\" /></clipPath>")
                        .arg(prefix)
                        .arg(j + 1)
                        .arg(picture, pathData(shapes[j])) +
                    kCrLf;
    }
    if (clipToPicture)
        defs += QStringLiteral("<clipPath id=\"%1bild\"><rect width=\"%2\" height=\"%3\" /></clipPath>")
                    .arg(prefix)
                    .arg(size.width())
                    .arg(size.height()) +
                kCrLf;
    return defs.isEmpty() ? defs : QStringLiteral("<defs>") + kCrLf + defs + QStringLiteral("</defs>") + kCrLf;
}

QString areaLink(const QString& line, const Geometry& shape, const std::vector<int>& earlier, const QString& prefix)
{
    QString out = linkStart(line);
    for (const int j : earlier)
        out += QStringLiteral("<g clip-path=\"url(#%1ohne-%2)\">").arg(prefix).arg(j + 1);
    out += shapeElement(shape);
    for (std::size_t k = 0; k < earlier.size(); ++k)
        out += QStringLiteral("</g>");
    return out + QStringLiteral("</a>") + kCrLf;
}

// No fill is seen, yet the whole inside takes the pointer; a focused area
// shows its outline, however far the picture is scaled.
const QString kStyle = QStringLiteral(
    "<style>.korvane-map a *{fill:transparent;pointer-events:fill}.korvane-map polygon{fill-rule:evenodd}"
    ".korvane-map a:focus{outline:none}.korvane-map a:focus *{fill:rgba(0,90,200,0.25);stroke:#005ac8;"
    "stroke-width:3px;vector-effect:non-scaling-stroke}</style>");

} // namespace

QString fitModeName(FitMode mode)
{
    switch (mode) {
    case FitMode::Contain:
        return QStringLiteral("contain");
    case FitMode::Cover:
        return QStringLiteral("cover");
    case FitMode::Fill:
        break;
    }
    return QStringLiteral("fill");
}

std::optional<FitMode> fitModeNamed(QStringView name)
{
    for (const FitMode mode : {FitMode::Fill, FitMode::Contain, FitMode::Cover}) {
        if (name.compare(fitModeName(mode), Qt::CaseInsensitive) == 0)
            return mode;
    }
    return std::nullopt;
}

ResponsiveMap responsiveMapFor(const AreaLines& lines, const QString& imagePath, const QString& mapName, QSize size,
                               FitMode fit, const QString& pageFolder)
{
    return {lines, relativeImageSourceValue(imagePath, pageFolder), mapNameFor(imagePath, mapName), size, fit};
}

QString responsiveCode(const ResponsiveMap& map)
{
    std::vector<Geometry> shapes;
    shapes.reserve(map.lines.size());
    bool clipToPicture = false;
    for (const QString& line : map.lines) {
        shapes.push_back(geometryOf(line, map.size));
        clipToPicture = clipToPicture || (shapes.back().usable && !insidePicture(shapes.back().box, map.size));
    }
    const Cuts cuts = cutsOf(shapes);
    const QString prefix = idPrefix(map.mapName) + QLatin1Char('-');
    const QString w = QString::number(map.size.width());
    const QString h = QString::number(map.size.height());

    QString out = QStringLiteral("<!-- Responsiver HTML-Code der ImageMap (ohne Script) -->") + kCrLf;
    out += QStringLiteral("<div class=\"korvane-map\" style=\"position:relative\">") + kCrLf;
    out += QStringLiteral("<img src=\"") + map.imageSource + QStringLiteral("\" width=\"") + w +
           QStringLiteral("\" height=\"") + h +
           QStringLiteral("\" alt=\"\" style=\"display:block;width:100%;height:auto;object-fit:") +
           fitModeName(map.fit) + QStringLiteral("\" />") + kCrLf;
    out += QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ") + w + QLatin1Char(' ') + h +
           QStringLiteral("\" preserveAspectRatio=\"") + preserveAspectRatio(map.fit) +
           QStringLiteral("\" style=\"position:absolute;left:0;top:0;width:100%;height:100%;pointer-events:none\">") +
           kCrLf;
    out += kStyle + kCrLf;
    out += clipDefinitions(shapes, cuts, prefix, map.size, clipToPicture);
    if (clipToPicture)
        out += QStringLiteral("<g clip-path=\"url(#%1bild)\">").arg(prefix) + kCrLf;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (shapes[i].usable)
            out += areaLink(map.lines[int(i)], shapes[i], cuts.earlier[i], prefix);
    }
    if (clipToPicture)
        out += QStringLiteral("</g>") + kCrLf;
    out += QStringLiteral("</svg>") + kCrLf + QStringLiteral("</div>") + kCrLf;
    return out;
}

QString responsivePage(const ResponsiveMap& map)
{
    return QStringLiteral("<!DOCTYPE html>") + kCrLf + QStringLiteral("<html lang=\"de\">") + kCrLf +
           QStringLiteral("<head>") + kCrLf + QStringLiteral("<meta charset=\"utf-8\" />") + kCrLf +
           QStringLiteral("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />") + kCrLf +
           QStringLiteral("<title>Imagemap</title>") + kCrLf + QStringLiteral("</head>") + kCrLf +
           QStringLiteral("<body>") + kCrLf + responsiveCode(map) + QStringLiteral("</body>") + kCrLf +
           QStringLiteral("</html>") + kCrLf;
}

} // namespace korvane
