#include "model/ResponsiveCode.h"

#include "model/AreaEntry.h"
#include "model/ExtraAttributes.h"
#include "model/Codec.h"
#include "model/MapCode.h"

#include <QRect>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <functional>
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
    std::vector<qsizetype> from; // per area and one more: where its earlier areas start in `earlier`
    std::vector<int> earlier;    // the earlier areas cut out of each, ascending
    std::vector<bool> cutter;    // per area: cut out of a later one
};

// What the cuts need of an area; its shape is read again from its line when
// it is written, so a map of millions of areas is not held twice.
struct Outline {
    QRectF box;
    bool usable = false;
    bool isDefault = false;
};

// The areas that may cut others, by the cells of a grid over the picture
// their boxes touch; a box over many cells is looked at for every area, so
// that it costs no more room than a small one.
class CutterGrid {
public:
    CutterGrid(QRectF over, qsizetype areas)
    {
        const int side = int(std::clamp(std::sqrt(double(areas)), 1.0, 1024.0));
        m_columns = m_rows = side;
        m_origin = over.topLeft();
        m_cell = QSizeF(std::max(over.width() / side, 1e-9), std::max(over.height() / side, 1e-9));
        m_cells.resize(std::size_t(side) * std::size_t(side));
    }

    void add(int area, const QRectF& box)
    {
        const QRect cells = cellsOf(box);
        if (cells.isEmpty())
            return;
        if (qint64(cells.width()) * cells.height() > kSpread) {
            m_spread.push_back(area);
            return;
        }
        for (int y = cells.top(); y <= cells.bottom(); ++y) {
            for (int x = cells.left(); x <= cells.right(); ++x)
                m_cells[std::size_t(y) * std::size_t(m_columns) + std::size_t(x)].push_back(area);
        }
    }

    // Every area added whose cells the box touches, some more than once;
    // every earlier area at all when the box spreads over many cells.
    template <typename Visit> void near(const QRectF& box, int added, Visit visit) const
    {
        for (const int area : m_spread)
            visit(area);
        const QRect cells = cellsOf(box);
        if (cells.isEmpty())
            return;
        if (qint64(cells.width()) * cells.height() > kSpread) {
            for (int area = 0; area < added; ++area)
                visit(area);
            return;
        }
        for (int y = cells.top(); y <= cells.bottom(); ++y) {
            for (int x = cells.left(); x <= cells.right(); ++x) {
                for (const int area : m_cells[std::size_t(y) * std::size_t(m_columns) + std::size_t(x)])
                    visit(area);
            }
        }
    }

private:
    static constexpr qint64 kSpread = 64;

    // Places beyond the grid fall into its border cells; a box with a number
    // that is no number meets nothing.
    QRect cellsOf(const QRectF& box) const
    {
        const auto column = [this](double x) {
            return int(std::clamp(std::floor((x - m_origin.x()) / m_cell.width()), 0.0, double(m_columns - 1)));
        };
        const auto row = [this](double y) {
            return int(std::clamp(std::floor((y - m_origin.y()) / m_cell.height()), 0.0, double(m_rows - 1)));
        };
        if (std::isnan(box.left()) || std::isnan(box.right()) || std::isnan(box.top()) || std::isnan(box.bottom()))
            return {};
        return QRect(QPoint(column(box.left()), row(box.top())), QPoint(column(box.right()), row(box.bottom())));
    }

    QPointF m_origin;
    QSizeF m_cell;
    int m_columns = 1;
    int m_rows = 1;
    std::vector<std::vector<int>> m_cells;
    std::vector<int> m_spread;
};

// The earlier areas each area's box meets, found through the grid rather
// than by trying every pair: a map of a million small areas takes seconds.
Cuts cutsOf(const std::vector<Outline>& shapes, QSize size)
{
    QRectF over(QPointF(0, 0), size);
    if (over.isEmpty()) {
        for (const Outline& shape : shapes)
            over = shape.usable ? over.united(shape.box) : over;
    }
    CutterGrid grid(over, qsizetype(shapes.size()));
    Cuts cuts{{0}, {}, std::vector<bool>(shapes.size(), false)};
    cuts.from.reserve(shapes.size() + 1);
    std::vector<int> seen(shapes.size(), -1);
    std::vector<int> found;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        found.clear();
        if (shapes[i].usable) {
            grid.near(shapes[i].box, int(i), [&](int j) {
                const Outline& earlier = shapes[std::size_t(j)];
                if (seen[std::size_t(j)] == int(i) || !earlier.usable || earlier.isDefault ||
                    !boxesMeet(shapes[i].box, earlier.box))
                    return;
                seen[std::size_t(j)] = int(i);
                found.push_back(j);
            });
            std::sort(found.begin(), found.end());
            for (const int j : found)
                cuts.cutter[std::size_t(j)] = true;
            if (!shapes[i].isDefault)
                grid.add(int(i), shapes[i].box);
        }
        cuts.earlier.insert(cuts.earlier.end(), found.begin(), found.end());
        cuts.from.push_back(qsizetype(cuts.earlier.size()));
    }
    return cuts;
}

// The code as it is made, handed on a megabyte at a time: a page of a
// million areas is never held whole.
class CodeWriter {
public:
    explicit CodeWriter(const std::function<bool(QStringView)>& write) : m_write(write) {}
    CodeWriter& operator<<(QStringView text)
    {
        m_buffer += text;
        if (m_buffer.size() >= kFlushAt)
            flush();
        return *this;
    }
    bool finish()
    {
        flush();
        return m_ok;
    }

private:
    static constexpr qsizetype kFlushAt = 512 * 1024;
    void flush()
    {
        m_ok = m_ok && m_write(m_buffer);
        m_buffer.clear();
    }
    const std::function<bool(QStringView)>& m_write;
    QString m_buffer;
    bool m_ok = true;
};

void writeClipDefinitions(CodeWriter& out, const AreaLines& lines, const Cuts& cuts, const QString& prefix, QSize size,
                          bool clipToPicture)
{
    const QString picture = QStringLiteral("M0,0H%1V%2H0Z").arg(size.width()).arg(size.height());
    bool opened = false;
    const auto open = [&] {
        if (!opened)
            out << QStringLiteral("<defs>") << kCrLf;
        opened = true;
    };
    QString line;
    for (std::size_t j = 0; j < cuts.cutter.size(); ++j) {
        if (!cuts.cutter[j])
            continue;
        open();
        lines.read(qsizetype(j), line);
        out << QStringLiteral("<clipPath id=\"%1ohne-%2\"><path clip-rule=\"evenodd\" d=\"%3%4\" /></clipPath>")
                   .arg(prefix)
                   .arg(j + 1)
                   .arg(picture, pathData(geometryOf(line, size)))
            << kCrLf;
    }
    if (clipToPicture) {
        open();
        out << QStringLiteral("<clipPath id=\"%1bild\"><rect width=\"%2\" height=\"%3\" /></clipPath>")
                   .arg(prefix)
                   .arg(size.width())
                   .arg(size.height())
            << kCrLf;
    }
    if (opened)
        out << QStringLiteral("</defs>") << kCrLf;
}

void writeAreaLink(CodeWriter& out, const QString& line, const Geometry& shape, const Cuts& cuts, std::size_t area,
                   const QString& prefix)
{
    out << linkStart(line);
    const qsizetype from = cuts.from[area];
    const qsizetype to = cuts.from[area + 1];
    for (qsizetype k = from; k < to; ++k)
        out << QStringLiteral("<g clip-path=\"url(#%1ohne-%2)\">").arg(prefix).arg(cuts.earlier[std::size_t(k)] + 1);
    out << shapeElement(shape);
    for (qsizetype k = from; k < to; ++k)
        out << QStringLiteral("</g>");
    out << QStringLiteral("</a>") << kCrLf;
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

namespace {

void writeCode(CodeWriter& out, const ResponsiveMap& map)
{
    std::vector<Outline> shapes;
    shapes.reserve(std::size_t(map.lines.size()));
    bool clipToPicture = false;
    QString line;
    for (qsizetype i = 0; i < map.lines.size(); ++i) {
        map.lines.read(i, line);
        const Geometry g = geometryOf(line, map.size);
        shapes.push_back({g.box, g.usable, g.isDefault});
        clipToPicture = clipToPicture || (g.usable && !insidePicture(g.box, map.size));
    }
    const Cuts cuts = cutsOf(shapes, map.size);
    shapes = {};
    const QString prefix = idPrefix(map.mapName) + QLatin1Char('-');
    const QString w = QString::number(map.size.width());
    const QString h = QString::number(map.size.height());

    out << QStringLiteral("<!-- Responsiver HTML-Code der ImageMap (ohne Script) -->") << kCrLf;
    out << QStringLiteral("<div class=\"korvane-map\" style=\"position:relative\">") << kCrLf;
    out << QStringLiteral("<img src=\"") << map.imageSource << QStringLiteral("\" width=\"") << w
        << QStringLiteral("\" height=\"") << h
        << QStringLiteral("\" alt=\"\" style=\"display:block;width:100%;height:auto;object-fit:")
        << fitModeName(map.fit) << QStringLiteral("\" />") << kCrLf;
    out << QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ") << w << QStringLiteral(" ") << h
        << QStringLiteral("\" preserveAspectRatio=\"") << preserveAspectRatio(map.fit)
        << QStringLiteral("\" style=\"position:absolute;left:0;top:0;width:100%;height:100%;pointer-events:none\">")
        << kCrLf;
    out << kStyle << kCrLf;
    writeClipDefinitions(out, map.lines, cuts, prefix, map.size, clipToPicture);
    if (clipToPicture)
        out << QStringLiteral("<g clip-path=\"url(#%1bild)\">").arg(prefix) << kCrLf;
    for (qsizetype i = 0; i < map.lines.size(); ++i) {
        map.lines.read(i, line);
        const Geometry shape = geometryOf(line, map.size);
        if (shape.usable)
            writeAreaLink(out, line, shape, cuts, std::size_t(i), prefix);
    }
    if (clipToPicture)
        out << QStringLiteral("</g>") << kCrLf;
    out << QStringLiteral("</svg>") << kCrLf << QStringLiteral("</div>") << kCrLf;
}

void writePage(CodeWriter& out, const ResponsiveMap& map)
{
    out << QStringLiteral("<!DOCTYPE html>") << kCrLf << QStringLiteral("<html lang=\"de\">") << kCrLf
        << QStringLiteral("<head>") << kCrLf << QStringLiteral("<meta charset=\"utf-8\" />") << kCrLf
        << QStringLiteral("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />") << kCrLf
        << QStringLiteral("<title>Imagemap</title>") << kCrLf << QStringLiteral("</head>") << kCrLf
        << QStringLiteral("<body>") << kCrLf;
    writeCode(out, map);
    out << QStringLiteral("</body>") << kCrLf << QStringLiteral("</html>") << kCrLf;
}

// All of it as one text.
template <typename Write> QString wholeText(const ResponsiveMap& map, Write write)
{
    QString text;
    const std::function<bool(QStringView)> append = [&text](QStringView part) {
        text += part;
        return true;
    };
    CodeWriter out(append);
    write(out, map);
    out.finish();
    return text;
}

} // namespace

QString responsiveCode(const ResponsiveMap& map)
{
    return wholeText(map, writeCode);
}

QString responsivePage(const ResponsiveMap& map)
{
    return wholeText(map, writePage);
}

bool writeResponsivePage(const ResponsiveMap& map, const std::function<bool(QStringView)>& write)
{
    CodeWriter out(write);
    writePage(out, map);
    return out.finish();
}

} // namespace korvane
