#include "model/ResponsiveCode.h"

#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "model/Codec.h"
#include "model/LinkGroups.h"
#include "model/MapCheck.h"
#include "model/MapCode.h"

#include <QRectF>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace korvane {

namespace {

const QChar kQuote = QLatin1Char('"');

// One area's geometry as a browser reads the classic map (see
// model/BrowserRules.h): an unknown or missing shape is a rectangle, a
// rectangle's corners may come in any order, a default area is the whole
// picture under every other area.
struct Geometry {
    browser::Shape kind = browser::Shape::Rect;
    QList<double> values; // rect left, top, right, bottom; circle cx, cy, r; polygon x, y pairs
    QRectF box;           // the extent, to tell whether it leaves the picture
    bool usable = false;  // a shape a browser clicks
};

Geometry geometryOf(const QString& keyword, const QString& coords, QSize size)
{
    const browser::AreaShape shape = browser::areaShape(keyword, coords);
    Geometry g{shape.kind, shape.c, {}, !shape.empty};
    const QList<double>& v = g.values;
    if (g.kind == browser::Shape::Default) {
        g.values = {0, 0, double(size.width()), double(size.height())};
        g.box = QRectF(QPointF(0, 0), size);
    } else if (!g.usable) {
        return g;
    } else if (g.kind == browser::Shape::Rect) {
        g.box = QRectF(QPointF(v[0], v[1]), QPointF(v[2], v[3]));
    } else if (g.kind == browser::Shape::Circle) {
        g.box = QRectF(v[0] - v[2], v[1] - v[2], v[2] * 2, v[2] * 2);
    } else {
        double left = v[0], right = left, top = v[1], bottom = top;
        for (qsizetype i = 0; i + 1 < v.size(); i += 2) {
            left = std::min(left, v[i]);
            right = std::max(right, v[i]);
            top = std::min(top, v[i + 1]);
            bottom = std::max(bottom, v[i + 1]);
        }
        g.box = QRectF(QPointF(left, top), QPointF(right, bottom));
    }
    return g;
}

QString number(double v)
{
    if (v == std::floor(v) && std::abs(v) < 1e15)
        return QString::number(qint64(v));
    return QString::number(v, 'g', 12);
}

bool insidePicture(const QRectF& box, QSize size)
{
    return box.left() >= 0 && box.top() >= 0 && box.right() <= size.width() && box.bottom() <= size.height();
}

QString shapeElement(const Geometry& g)
{
    const QList<double>& v = g.values;
    if (g.kind == browser::Shape::Rect || g.kind == browser::Shape::Default)
        return QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" />")
            .arg(number(v[0]), number(v[1]), number(v[2] - v[0]), number(v[3] - v[1]));
    if (g.kind == browser::Shape::Circle)
        return QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" />").arg(number(v[0]), number(v[1]), number(v[2]));
    QStringList points;
    for (qsizetype i = 0; i + 1 < v.size(); i += 2)
        points << number(v[i]) + QLatin1Char(',') + number(v[i + 1]);
    return QStringLiteral("<polygon points=\"") + points.join(QLatin1Char(' ')) + QStringLiteral("\" />");
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

// Text as element content: what a browser reads from the value, escaped.
QString textContent(const QString& value)
{
    QString text = browser::decodeReferences(value);
    return text.replace(QLatin1Char('&'), QStringLiteral("&amp;"))
        .replace(QLatin1Char('<'), QStringLiteral("&lt;"))
        .replace(QLatin1Char('>'), QStringLiteral("&gt;"));
}

void appendAttribute(QString& out, QStringView name, const QString& value)
{
    out += QLatin1Char(' ');
    out += name;
    out += QStringLiteral("=\"") + attributeValue(value) + kQuote;
}

// Calls `f` with the fields of line `i` as views: a line kept one byte a
// character is read in place, never made whole (its link may be hundreds of MB).
template <typename F> decltype(auto) withFields(const AreaLines& lines, qsizetype i, QString& room, F f)
{
    return lines.withLine(i, room, [&](auto line) { return f(entry::fieldsOf(line)); });
}

template <typename Fields> Geometry geometryIn(const Fields& f, QSize size)
{
    return geometryOf(f[entry::Shape].trimmed().toString(), f[entry::Coords].toString(), size);
}

template <typename Fields> extra::Attributes keptIn(const Fields& f)
{
    return f[extra::kField].isEmpty() ? extra::Attributes() : extra::parse(f[extra::kField].toString());
}

// The code as it is made, handed on half a megabyte at a time: the page of
// a million areas, or of one link of hundreds of MB, is never held whole.
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
    // A value as the classic code writes it into an attribute.
    template <typename View> void value(View text) { writeAttributeValue(text, m_take); }
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
    const std::function<void(QStringView)> m_take = [this](QStringView part) { *this << part; };
    QString m_buffer;
    bool m_ok = true;
};

// The layers of the SVG: the pointer's and the keyboard's (see the header).
enum class Layer { Pointer, Keyboard };

// Attributes that name or place a link for assistive technology and the
// keyboard: they go with the keyboard's link alone (the pointer's is hidden,
// and an id is one element's).
bool isKeyboardAttribute(QStringView name)
{
    return name == u"id" || name == u"accesskey" || name == u"tabindex" || name == u"role" ||
           name.startsWith(u"aria-");
}

// How one layer holds an area's link.
struct LinkLayer {
    Layer layer;
    bool keepsId = false; // the pointer's link takes the id when the area has no keyboard link
};

// The opening tag of an area's link and its title: the alternative text
// names it (a title when the alternative text is empty), and its target,
// handlers and the attributes the page gave it go with it. The handler
// names are in lower case, which an XHTML page needs. The link is written
// from its line's field, a part at a time.
template <typename Fields> void writeLinkStart(CodeWriter& out, const Fields& f, LinkLayer link)
{
    using namespace entry;
    const auto attribute = [&out](QStringView name, auto value) {
        out << u" " << name << u"=\"";
        out.value(value);
        out << u"\"";
    };
    const extra::Attributes kept = keptIn(f);
    const QString title = extra::valueOf(kept, u"title");
    const QString alt = f[Alt].toString();
    // An area the page gave no link takes the pointer as in the classic map,
    // but leads nowhere: an "a" without href, which is no link and no Tab stop.
    const bool noLink = f[Href].isEmpty() && extra::has(kept, extra::kNoHref);
    out << u"<a";
    if (!noLink)
        attribute(u"href", f[Href]);
    if (link.layer == Layer::Pointer) {
        if (!noLink)
            out << u" tabindex=\"-1\""; // the keyboard's link takes Tab
    } else if (!extra::has(kept, u"aria-label")) {
        const QString& name = alt.trimmed().isEmpty() ? title : alt;
        if (!name.trimmed().isEmpty())
            attribute(u"aria-label", QStringView(name));
    }
    // An empty target is the same as none, and not a valid one.
    if (f[Target].compare(kAbsent) != 0 && !f[Target].isEmpty())
        attribute(u"target", f[Target]);
    const std::pair<QStringView, Field> handlers[] = {
        {u"onmouseover", OnMouseOver}, {u"onmouseout", OnMouseOut}, {u"onclick", OnClick}};
    for (const auto& [name, field] : handlers) {
        if (f[field].compare(kAbsent) != 0)
            attribute(name, f[field]);
    }
    for (const extra::Attribute& k : kept) {
        if (k.name == QLatin1String("title") || k.name == extra::kNoHref || k.name == QLatin1String("media"))
            continue;
        const bool keyboard = isKeyboardAttribute(k.name);
        if (link.layer == Layer::Keyboard || !keyboard || (link.keepsId && k.name == QLatin1String("id")))
            attribute(k.name, QStringView(k.value));
    }
    out << u">";
    const QString& tip = title.isNull() ? alt : title;
    if (!tip.trimmed().isEmpty())
        out << u"<title>" << textContent(tip) << u"</title>";
}

// The opening tag of the link of line `i` and its title.
void writeLinkStartOf(CodeWriter& out, const AreaLines& lines, qsizetype i, LinkLayer link)
{
    QString room;
    withFields(lines, i, room, [&](const auto& f) { writeLinkStart(out, f, link); });
}

// The shape of line `i`, read again from its line.
void writeShape(CodeWriter& out, const AreaLines& lines, qsizetype i, QSize size)
{
    QString room;
    withFields(lines, i, room, [&](const auto& f) { out << shapeElement(geometryIn(f, size)); });
}

// No fill is seen, yet the whole inside of the pointer's shapes takes the
// pointer. The picture fills the width it is given; a page's own rules for
// its size win (`:where` weighs nothing). The highlight shows where the
// browser's own focus ring would not follow the shape.
QString styleBlock(const Highlight& highlight, const QList<int>& splitLeaders)
{
    QList<int> split; // the groups' classes count from 1, as the list's lines do
    for (const int leader : splitLeaders)
        split << leader + 1;
    return QStringLiteral(
               "<style>:where(.korvane-map) img{width:100000px;max-width:100%;height:auto}"
               ".korvane-map svg a *{fill:transparent}.korvane-map polygon{fill-rule:evenodd}"
               ".korvane-flaechen *{pointer-events:fill}.korvane-map a:focus-visible{outline:none}") +
           highlightRules(highlight, split) + QStringLiteral("</style>");
}

// The img with the picture's own size (its proportions before it is
// loaded) and the attributes the page gave it.
QString pictureElement(const ResponsiveMap& map)
{
    QString out = QStringLiteral("<img src=\"") + map.imageSource + kQuote;
    appendAttribute(out, u"width", QString::number(map.size.width()));
    appendAttribute(out, u"height", QString::number(map.size.height()));
    appendAttribute(out, u"alt", extra::valueOf(map.picture, u"alt"));
    for (const extra::Attribute& a : map.picture) {
        if (a.name != QLatin1String("alt") && isKeptPictureAttribute(a.name))
            appendAttribute(out, a.name, a.value);
    }
    return out + QStringLiteral(" style=\"display:block;object-fit:") + fitModeName(map.fit) + QStringLiteral("\" />");
}

// What the layers need to know of an area before they are written; its
// shape is read again from its line as it is written, so that a map of
// millions of areas is not held twice.
struct Outline {
    bool usable = false;
    bool isDefault = false;
    bool keyboard = false; // in the keyboard's layer
};

// Areas gathered by a number of each (-1: none), in list order within one
// number: a few bytes an area rather than a list each.
struct Gathered {
    std::vector<int> from; // per number and one more: where its areas start in `areas`
    std::vector<int> areas;

    explicit Gathered(const std::vector<int>& numberOf)
        : from(numberOf.size() + 1, 0)
    {
        for (const int number : numberOf) {
            if (number >= 0)
                ++from[std::size_t(number) + 1];
        }
        for (std::size_t i = 1; i < from.size(); ++i)
            from[i] += from[i - 1];
        areas.resize(std::size_t(from.back()));
        std::vector<int> next(from.begin(), from.end() - 1);
        for (std::size_t i = 0; i < numberOf.size(); ++i) {
            if (numberOf[i] >= 0)
                areas[std::size_t(next[std::size_t(numberOf[i])]++)] = int(i);
        }
    }
    bool isEmpty(std::size_t number) const { return from[number] == from[number + 1]; }
    auto begin(std::size_t number) const { return areas.begin() + from[number]; }
    auto end(std::size_t number) const { return areas.begin() + from[number + 1]; }
};

// What the two layers are made of: what each area is, and which areas are one link.
struct Layers {
    std::vector<Outline> shapes;
    groups::LinkGroups groups;
};

// A link of the pointer's layer: the area at `place` and the parts of its
// group that share its place, last first as the layer paints them. The parts
// of a group the layer holds in several links carry its class, so that they
// light up together.
void writePointerLink(CodeWriter& out, const ResponsiveMap& map, const Layers& layers, std::size_t place,
                      const Gathered& atPlace)
{
    const groups::LinkGroups& g = layers.groups;
    writeLinkStartOf(out, map.lines, qsizetype(place), {Layer::Pointer, !layers.shapes[place].keyboard});
    const int leader = g.leader[place];
    const bool split = g.split.contains(leader);
    if (split)
        out << QStringLiteral("<g class=\"korvane-g%1\">").arg(leader + 1);
    for (auto it = atPlace.end(place); it != atPlace.begin(place);)
        writeShape(out, map.lines, qsizetype(*--it), map.size);
    if (split)
        out << u"</g>";
    out << u"</a>" << kCrLf;
}

// The pointer's layer: every usable area, the default areas at the bottom,
// the others in reverse list order, so that the first in the list is on top.
void writePointerLayer(CodeWriter& out, const ResponsiveMap& map, const Layers& layers, const QString& clip)
{
    const std::vector<Outline>& shapes = layers.shapes;
    // The parts that share each place, in list order.
    const Gathered atPlace(layers.groups.place);
    out << QStringLiteral("<g class=\"korvane-flaechen\" aria-hidden=\"true\"") << clip << u">" << kCrLf;
    for (const bool defaults : {true, false}) {
        for (std::size_t i = shapes.size(); i-- > 0;) {
            if (shapes[i].usable && shapes[i].isDefault == defaults && !atPlace.isEmpty(i))
                writePointerLink(out, map, layers, i, atPlace);
        }
    }
    out << u"</g>" << kCrLf;
}

// The keyboard's layer: the links in list order, each group once at its
// first part with all its parts, without those nobody can reach with the
// pointer either (covered wholly by earlier areas) and the areas without a
// link.
void writeKeyboardLayer(CodeWriter& out, const ResponsiveMap& map, const Layers& layers, const QString& clip)
{
    const std::vector<Outline>& shapes = layers.shapes;
    std::vector<int> leaderOf(shapes.size(), -1);
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (shapes[i].keyboard)
            leaderOf[i] = layers.groups.leader[i];
    }
    const Gathered parts(leaderOf);
    out << QStringLiteral("<g class=\"korvane-verweise\"") << clip << u">" << kCrLf;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (parts.isEmpty(i))
            continue;
        writeLinkStartOf(out, map.lines, qsizetype(i), {Layer::Keyboard});
        for (auto part = parts.begin(i); part != parts.end(i); ++part)
            writeShape(out, map.lines, qsizetype(*part), map.size);
        out << u"</a>" << kCrLf;
    }
    out << u"</g>" << kCrLf;
}

void writeCode(CodeWriter& out, const ResponsiveMap& map)
{
    Layers layers;
    std::vector<Outline>& shapes = layers.shapes;
    shapes.resize(std::size_t(map.lines.size()));
    std::vector<QRectF> boxes(shapes.size());
    bool clipToPicture = false;
    QString room;
    for (qsizetype i = 0; i < map.lines.size(); ++i) {
        withFields(map.lines, i, room, [&](const auto& f) {
            const Geometry g = geometryIn(f, map.size);
            const bool link = !f[entry::Href].isEmpty() || !extra::has(keptIn(f), extra::kNoHref);
            shapes[std::size_t(i)] = {g.usable, g.kind == browser::Shape::Default, g.usable && link};
            boxes[std::size_t(i)] = g.box;
            clipToPicture = clipToPicture || (g.usable && !insidePicture(g.box, map.size));
        });
    }
    const std::vector<bool> covered = check::coveredAreas(map.lines, map.size);
    std::vector<bool> drawn(shapes.size());
    std::vector<bool> joins(shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        shapes[i].keyboard = shapes[i].keyboard && !covered[i];
        drawn[i] = shapes[i].usable && !shapes[i].isDefault;
        joins[i] = drawn[i] && shapes[i].keyboard;
    }
    layers.groups = groups::linkGroups(map.lines, boxes, drawn, joins);
    const QString prefix = idPrefix(map.mapName) + QLatin1Char('-');
    const QString w = QString::number(map.size.width());
    const QString h = QString::number(map.size.height());
    // Shapes beyond the picture are cut at its edges (in a box of another
    // shape, "contain" leaves room beside the picture).
    const QString clip = clipToPicture ? QStringLiteral(" clip-path=\"url(#%1bild)\"").arg(prefix) : QString();

    out << QStringLiteral("<!-- Responsiver HTML-Code der ImageMap (ohne Script) -->") << kCrLf;
    out << QStringLiteral("<div class=\"korvane-map\">") << kCrLf;
    // The box that holds the picture shrinks to it, whatever the layout around
    // does to the wrapper (a flex row or grid cell stretching it, say): the
    // SVG, sized to this box, always lies exactly over the picture.
    out << QStringLiteral("<span style=\"position:relative;display:inline-block;vertical-align:top;max-width:100%\">")
        << kCrLf;
    out << pictureElement(map) << kCrLf;
    out << QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ") << w << u" " << h
        << QStringLiteral("\" preserveAspectRatio=\"") << preserveAspectRatio(map.fit)
        << QStringLiteral("\" style=\"position:absolute;left:0;top:0;width:100%;height:100%;pointer-events:none\">")
        << kCrLf;
    out << styleBlock(map.highlight, layers.groups.split) << kCrLf;
    if (clipToPicture)
        out << QStringLiteral("<defs><clipPath id=\"%1bild\"><rect width=\"%2\" height=\"%3\" /></clipPath></defs>")
                   .arg(prefix, w, h)
            << kCrLf;
    writePointerLayer(out, map, layers, clip);
    writeKeyboardLayer(out, map, layers, clip);
    out << u"</svg>" << kCrLf << u"</span>" << kCrLf << u"</div>" << kCrLf;
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

// The text of a writer's parts, whole.
template <typename Write> QString written(Write write, const ResponsiveMap& map)
{
    QString text;
    const std::function<bool(QStringView)> take = [&text](QStringView part) {
        text += part;
        return true;
    };
    CodeWriter out(take);
    write(out, map);
    out.finish();
    return text;
}

} // namespace

bool isKeptPictureAttribute(QStringView name)
{
    for (const char* kept : {"alt", "title", "srcset", "sizes", "loading", "decoding", "fetchpriority", "class", "id",
                             "lang", "dir"}) {
        if (name == QLatin1String(kept))
            return true;
    }
    return name.startsWith(u"data-") && extra::isPlainName(name);
}

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
    return {lines, relativeImageSourceValue(imagePath, pageFolder), mapNameFor(imagePath, mapName), size, fit, {}, {}};
}

QString responsiveCode(const ResponsiveMap& map)
{
    return written(writeCode, map);
}

QString responsivePage(const ResponsiveMap& map)
{
    return written(writePage, map);
}

bool writeResponsivePage(const ResponsiveMap& map, const std::function<bool(QStringView)>& write)
{
    CodeWriter out(write);
    writePage(out, map);
    return out.finish();
}

} // namespace korvane
