#include "model/MapCheck.h"

#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "model/ExtraAttributes.h"
#include "model/MapCode.h"
#include "model/Paths.h"

#include <QCoreApplication>
#include <QHash>
#include <QRectF>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>

namespace korvane::check {

QString severityName(Severity severity)
{
    return severity == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

namespace {

enum class Kind { Rect, Circle, Poly };

// An area's geometry as a browser reads it, in picture pixels.
struct Geometry {
    Kind kind = Kind::Rect;
    QList<double> c; // rect: left, top, right, bottom (ordered); circle: x, y, r; poly: x, y pairs
    QRectF box;
};

// What the check keeps of an area while it looks at all of them: the shape's
// numbers lie in one shared pool, and the texts are read from the line again
// when they are needed, so a map of millions of areas costs a few dozen bytes
// an area.
struct Area {
    qsizetype from = 0; // its numbers in the pool
    qsizetype count = 0;
    Kind kind = Kind::Rect;
    bool shaped = false; // a rect, circle or poly that can be clicked
    bool degenerate = false;
    bool link = true;
};

// A shape as rowSpans() reads it: its numbers in the pool.
struct ShapeView {
    Kind kind = Kind::Rect;
    const double* c = nullptr;
    qsizetype size = 0;
};

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

double polygonArea(const QList<double>& c)
{
    double twice = 0;
    const qsizetype n = c.size() / 2;
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype j = (i + 1) % n;
        twice += c[2 * i] * c[2 * j + 1] - c[2 * j] * c[2 * i + 1];
    }
    return std::abs(twice) / 2;
}

constexpr double kFar = 4e8;

// The geometry of an area as a browser reads it (`shape` the keyword as
// written), or why it cannot be clicked. A default area gives neither.
std::optional<Geometry> readGeometry(const QString& shape, const QString& coords, QString* degenerate)
{
    const browser::AreaShape read = browser::areaShape(shape, coords);
    if (read.kind == browser::Shape::Default)
        return std::nullopt;
    QList<double> c = read.c;
    const QString text = quoted(coords);
    // Coordinates far beyond any picture mean the same as a little beyond it;
    // kept within reach of int, the pixel arithmetic stays exact.
    for (double& v : c)
        v = std::clamp(v, -kFar, kFar);
    Geometry g;
    if (read.kind == browser::Shape::Rect) {
        if (c.size() < 4) {
            *degenerate = QCoreApplication::translate("korvane::MapCheck", "Ein Rechteck braucht vier Koordinaten, es hat %1.").arg(text);
            return std::nullopt;
        }
        g = {Kind::Rect, c, QRectF(QPointF(c[0], c[1]), QPointF(c[2], c[3]))};
        if (g.box.width() <= 0 || g.box.height() <= 0)
            *degenerate = QCoreApplication::translate("korvane::MapCheck", "Das Rechteck %1 hat keine Breite oder keine Höhe.").arg(text);
    } else if (read.kind == browser::Shape::Circle) {
        if (c.size() < 3) {
            *degenerate = QCoreApplication::translate("korvane::MapCheck", "Ein Kreis braucht drei Koordinaten, er hat %1.").arg(text);
            return std::nullopt;
        }
        g = {Kind::Circle, c, QRectF(c[0] - c[2], c[1] - c[2], 2 * c[2], 2 * c[2])};
        if (c[2] <= 0)
            *degenerate = QCoreApplication::translate("korvane::MapCheck", "Der Kreis %1 hat keinen Radius.").arg(text);
    } else {
        if (c.size() < 6) {
            *degenerate = QCoreApplication::translate("korvane::MapCheck", "Das Polygon %1 hat weniger als drei Punkte.").arg(text);
            return std::nullopt;
        }
        g = {Kind::Poly, c, {}};
        double left = c[0], right = c[0], top = c[1], bottom = c[1];
        for (qsizetype i = 0; i < c.size(); i += 2) {
            left = std::min(left, c[i]);
            right = std::max(right, c[i]);
            top = std::min(top, c[i + 1]);
            bottom = std::max(bottom, c[i + 1]);
        }
        g.box = QRectF(QPointF(left, top), QPointF(right, bottom));
        if (polygonArea(c) <= 0)
            *degenerate = QCoreApplication::translate("korvane::MapCheck", "Das Polygon %1 umschließt keine Fläche.").arg(text);
    }
    if (!degenerate->isEmpty())
        return std::nullopt;
    return g;
}

// The box of a shape as readGeometry() made it.
QRectF boxOf(const ShapeView& g)
{
    const double* c = g.c;
    if (g.kind == Kind::Rect)
        return QRectF(QPointF(c[0], c[1]), QPointF(c[2], c[3]));
    if (g.kind == Kind::Circle)
        return QRectF(c[0] - c[2], c[1] - c[2], 2 * c[2], 2 * c[2]);
    double left = c[0], right = c[0], top = c[1], bottom = c[1];
    for (qsizetype i = 0; i < g.size; i += 2) {
        left = std::min(left, c[i]);
        right = std::max(right, c[i]);
        top = std::min(top, c[i + 1]);
        bottom = std::max(bottom, c[i + 1]);
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

// The pixels of one row of the grid that an area holds, as inclusive spans:
// a pixel belongs to the area when its centre does, as a click there would.
struct RowScratch {
    std::vector<std::pair<int, int>> spans;
    std::vector<double> crossings;
};

void rowSpans(const ShapeView& g, double y, RowScratch& scratch)
{
    auto& spans = scratch.spans;
    spans.clear();
    auto add = [&](double from, double to) { // centres in [from, to)
        const int first = int(std::ceil(from - 0.5));
        const int last = int(std::ceil(to - 0.5)) - 1;
        if (first <= last)
            spans.emplace_back(first, last);
    };
    if (g.kind == Kind::Rect) {
        if (y >= g.c[1] && y < g.c[3])
            add(g.c[0], g.c[2]);
    } else if (g.kind == Kind::Circle) {
        const double dy = y - g.c[1];
        const double r2 = g.c[2] * g.c[2];
        if (dy * dy <= r2) {
            const double dx = std::sqrt(r2 - dy * dy);
            const int first = int(std::ceil(g.c[0] - dx - 0.5));
            const int last = int(std::floor(g.c[0] + dx - 0.5));
            if (first <= last)
                spans.emplace_back(first, last);
        }
    } else {
        // Even-odd rule: where the row crosses the edges, in and out by turns.
        auto& crossings = scratch.crossings;
        crossings.clear();
        const qsizetype n = g.size / 2;
        for (qsizetype i = 0; i < n; ++i) {
            const qsizetype j = (i + 1) % n;
            const double yi = g.c[2 * i + 1], yj = g.c[2 * j + 1];
            if ((yi <= y) != (yj <= y))
                crossings.push_back(g.c[2 * i] + (y - yi) * (g.c[2 * j] - g.c[2 * i]) / (yj - yi));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2)
            add(crossings[k], crossings[k + 1]);
    }
}

// One row of the grid: which pixels earlier areas have taken, as sorted
// spans that do not touch one another. An area reaches a pixel when its
// span is not wholly inside one of them.
class RowOwners {
public:
    explicit RowOwners(int width) : m_width(width) {}
    void startRow() { m_taken.clear(); }
    // Every pixel of the row is taken: nothing later can reach one.
    bool full() const { return m_taken.size() == 1 && m_taken[0].first <= 0 && m_taken[0].second >= m_width - 1; }
    // Takes [first, last]; true when a pixel of it was free.
    bool take(int first, int last)
    {
        auto it = std::lower_bound(m_taken.begin(), m_taken.end(), first,
                                   [](const std::pair<int, int>& span, int x) { return span.second < x - 1; });
        if (it != m_taken.end() && it->first <= first && it->second >= last)
            return false;
        int from = first;
        int to = last;
        auto end = it;
        for (; end != m_taken.end() && end->first <= last + 1; ++end) {
            from = std::min(from, end->first);
            to = std::max(to, end->second);
        }
        it = m_taken.erase(it, end);
        m_taken.insert(it, {from, to});
        return true;
    }

private:
    int m_width;
    std::vector<std::pair<int, int>> m_taken;
};

enum class Reach : char { NoPixel, Covered, Reached };

// Whether each area holds a pixel of `grid` that no earlier area holds.
std::vector<Reach> reachable(const std::vector<Area>& areas, const std::vector<double>& pool, QSize grid)
{
    const auto shape = [&](std::size_t i) {
        return ShapeView{areas[i].kind, pool.data() + areas[i].from, areas[i].count};
    };
    std::vector<Reach> reached(areas.size(), Reach::NoPixel);
    // Areas by the row they start in; rows no area touches are skipped, so a
    // tall grid with few areas costs nothing per empty row.
    std::vector<int> byTop;
    std::vector<std::pair<int, int>> rows(areas.size(), {0, -1});
    for (std::size_t i = 0; i < areas.size(); ++i) {
        if (!areas[i].shaped)
            continue;
        const QRectF box = boxOf(shape(i));
        const int top = std::max(0, int(std::floor(box.top())));
        const int bottom = std::min(grid.height() - 1, int(std::ceil(box.bottom())));
        if (top <= bottom && box.right() > 0 && box.left() < grid.width()) {
            rows[i] = {top, bottom};
            byTop.push_back(int(i));
        }
    }
    std::stable_sort(byTop.begin(), byTop.end(), [&](int a, int b) { return rows[a].first < rows[b].first; });
    RowOwners owners(grid.width());
    std::vector<int> active; // by position in the list: the first area wins
    RowScratch scratch;
    std::size_t next = 0;
    for (int y = 0; y < grid.height(); ++y) {
        std::erase_if(active, [&](int i) { return rows[i].second < y; });
        if (active.empty()) {
            if (next == byTop.size())
                break;
            y = std::max(y, rows[byTop[next]].first);
        }
        for (; next < byTop.size() && rows[byTop[next]].first == y; ++next)
            active.insert(std::lower_bound(active.begin(), active.end(), byTop[next]), byTop[next]);
        owners.startRow();
        for (int i : active) {
            // Once the row is taken whole, only an area not seen yet needs its spans: it is covered here.
            const bool full = owners.full();
            if (full && reached[i] != Reach::NoPixel)
                continue;
            rowSpans(shape(std::size_t(i)), y + 0.5, scratch);
            for (const auto& [first, last] : scratch.spans) {
                const int from = std::max(first, 0);
                const int to = std::min(last, grid.width() - 1);
                if (from > to)
                    continue;
                if (!full && owners.take(from, to))
                    reached[i] = Reach::Reached;
                else if (reached[i] == Reach::NoPixel)
                    reached[i] = Reach::Covered;
            }
        }
    }
    return reached;
}

// Is any part of the area outside the picture, or all of it?
void checkOutside(const QRectF& box, int index, QSize picture, const FindingSink& out, int line)
{
    const QRectF frame(QPointF(0, 0), picture);
    if (!box.intersects(frame))
        out({QStringLiteral("outside-picture"), Severity::Warning, index, line,
             QCoreApplication::translate("korvane::MapCheck", "Das Areal liegt ganz außerhalb des Bildes (%1 × %2 Pixel).")
                 .arg(picture.width())
                 .arg(picture.height())});
    else if (!frame.contains(box))
        out({QStringLiteral("outside-picture"), Severity::Warning, index, line,
             QCoreApplication::translate("korvane::MapCheck", "Das Areal ragt über den Rand des Bildes (%1 × %2 Pixel) hinaus.")
                 .arg(picture.width())
                 .arg(picture.height())});
}

const QStringList kPictureExtensions{QStringLiteral(".png"),  QStringLiteral(".jpg"),  QStringLiteral(".jpeg"),
                                     QStringLiteral(".gif"),  QStringLiteral(".bmp"),  QStringLiteral(".svg"),
                                     QStringLiteral(".webp"), QStringLiteral(".tif"),  QStringLiteral(".tiff"),
                                     QStringLiteral(".ico"),  QStringLiteral(".avif")};

bool looksLikeFileName(const QString& alt, const QString& pictureFileName)
{
    if (!pictureFileName.isEmpty() && alt.compare(pictureFileName, Qt::CaseInsensitive) == 0)
        return true;
    return !alt.contains(QLatin1Char(' ')) && std::any_of(kPictureExtensions.begin(), kPictureExtensions.end(),
                                                         [&](const QString& e) {
                                                             return alt.size() > e.size() &&
                                                                    alt.endsWith(e, Qt::CaseInsensitive);
                                                         });
}

// The link's own text: the whole address, or the file name it ends in with
// its extension ("kontakt.html"), as a browser reads both. A name the address
// gives as a folder or without an extension ("Impressum" for "/impressum/")
// names the page well.
bool endsInName(const QString& text, const QString& path);

bool isTheLink(const QString& alt, const QString& href)
{
    const QString text = browser::decodeReferences(alt).trimmed();
    const QString address = browser::decodeReferences(href).trimmed();
    if (text.compare(address, Qt::CaseInsensitive) == 0)
        return true;
    return endsInName(text, QUrl(address).path());
}

bool endsInName(const QString& text, const QString& path)
{
    const QString name = fileNameOf(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 && dot + 1 < name.size() && text.compare(name, Qt::CaseInsensitive) == 0;
}

// Beyond a million characters an address (an imported link of hundreds of
// MB, a view into its line) is not copied whole to be compared with a short
// alternative text: only its end, before its query and fragment, is read
// for the file name.
constexpr qsizetype kLongAddress = 1024 * 1024;
constexpr qsizetype kAddressEnd = 64 * 1024;

template <typename View> bool isTheLink(const QString& alt, View href)
{
    if (href.size() <= kLongAddress || href.size() <= 8 * alt.size())
        return isTheLink(alt, href.toString());
    qsizetype end = href.size();
    for (const char mark : {'?', '#'}) {
        const qsizetype at = href.indexOf(QLatin1Char(mark));
        end = at < 0 ? end : std::min(end, at);
    }
    const qsizetype from = std::max<qsizetype>(0, end - kAddressEnd);
    const QString tail = browser::decodeReferences(href.sliced(from, end - from).toString());
    return endsInName(browser::decodeReferences(alt).trimmed(), QUrl(QLatin1Char('/') + tail.trimmed()).path());
}

// What the check keeps of a line while it reads it: its shape keyword as
// written, coordinates and alternative text, and whether it is a link.
template <typename Fields>
QString shapeIn(const Fields& f)
{
    return f[entry::Shape].trimmed().toString();
}

template <typename Fields>
QString altIn(const Fields& f)
{
    return f[entry::Alt].trimmed().toString();
}

template <typename Fields>
bool isLinkIn(const Fields& f)
{
    return !f[entry::Href].isEmpty() || !extra::has(extra::parse(f[extra::kField].toString()), extra::kNoHref);
}

// Calls `f` with the fields of line `i` as views: a line kept one byte a
// character is read in place, never made whole.
template <typename F>
decltype(auto) fieldsOfLine(const AreaLines& lines, qsizetype i, QString& room, F f)
{
    return lines.withLine(i, room, [&](auto line) { return f(entry::fieldsOf(line)); });
}

// Integers separated by commas, nothing else: "-?[0-9]+" each, a radius without its minus.
std::optional<QList<qint64>> integerList(QStringView text, bool lastUnsigned, QString* why)
{
    QList<qint64> values;
    const QList<QStringView> items = text.split(u',');
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QStringView item = items[i];
        const bool minus = item.startsWith(u'-') && !(lastUnsigned && i == 2);
        const QStringView digits = minus ? item.sliced(1) : item;
        bool plain = !digits.isEmpty();
        for (const QChar c : digits)
            plain = plain && c >= u'0' && c <= u'9';
        const bool separated = item.contains(u' ') || item.contains(u';') || item.contains(u'\t');
        if (!plain && separated && !item.trimmed().isEmpty()) {
            *why = QCoreApplication::translate("korvane::MapCheck",
                                               "die Zahlen werden nur durch Kommas getrennt, ohne Leerzeichen");
            return std::nullopt;
        }
        if (!plain) {
            *why = QCoreApplication::translate("korvane::MapCheck", "\"%1\" ist keine ganze Zahl").arg(item.toString());
            return std::nullopt;
        }
        values << (minus ? -1 : 1) * digits.left(15).toLongLong();
    }
    return values;
}

class Checker {
public:
    // A page may show a picture at any size (width="999999999"): the grid of
    // pixels stays within what a picture can have.
    Checker(const AreaLines& lines, const MapFacts& facts, const FindingSink& sink)
        : m_lines(lines), m_facts(facts), m_grid(facts.picture.boundedTo(QSize(kGridLimit, kGridLimit))), m_out(sink)
    {
        m_areas.reserve(lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            m_areas.push_back(fieldsOfLine(lines, i, m_room, [this](const auto& f) { return read(f); }));
    }

    std::vector<bool> covered()
    {
        const std::vector<Reach> reached = m_grid.isEmpty() ? std::vector<Reach>() : reachable(m_areas, m_pool, m_grid);
        std::vector<bool> out(m_areas.size(), false);
        for (std::size_t i = 0; i < reached.size(); ++i)
            out[i] = reached[i] == Reach::Covered;
        return out;
    }

    void run()
    {
        const std::vector<Reach> reached = m_grid.isEmpty() ? std::vector<Reach>() : reachable(m_areas, m_pool, m_grid);
        for (std::size_t i = 0; i < m_areas.size(); ++i) {
            fieldsOfLine(m_lines, qsizetype(i), m_room, [&](const auto& f) {
                if (m_areas[i].link)
                    checkText(int(i), altIn(f), f[entry::Href]);
                else
                    checkNoLink(int(i), f);
                checkShape(int(i), f, reached);
            });
        }
    }

private:
    int lineOf(int index) const { return index < m_facts.lines.size() ? m_facts.lines[index] : index + 1; }

    void add(int index, const char* rule, Severity severity, const QString& message)
    {
        m_out({QString::fromLatin1(rule), severity, index, lineOf(index), message});
    }

    ShapeView shapeOf(const Area& area) const { return {area.kind, m_pool.data() + area.from, area.count}; }

    template <typename F>
    decltype(auto) withFields(qsizetype i, QString& room, F f) const
    {
        return fieldsOfLine(m_lines, i, room, f);
    }

    template <typename Fields>
    Area read(const Fields& f)
    {
        Area area;
        area.link = isLinkIn(f);
        QString degenerate;
        const std::optional<Geometry> geometry = readGeometry(shapeIn(f), f[entry::Coords].toString(), &degenerate);
        area.degenerate = !degenerate.isEmpty();
        if (!geometry)
            return area;
        area.shaped = true;
        area.kind = geometry->kind;
        area.from = qsizetype(m_pool.size());
        area.count = geometry->c.size();
        m_pool.insert(m_pool.end(), geometry->c.begin(), geometry->c.end());
        if (m_facts.picture.isEmpty()) {
            // Without the picture, the grid covers the areas (a click lands at 0 or more), as far
            // as the largest picture Korvane opens reaches.
            const QRectF& box = geometry->box;
            m_grid = m_grid.expandedTo(QSize(std::clamp(int(std::ceil(box.right())), 0, kUnknownPictureLimit),
                                             std::clamp(int(std::ceil(box.bottom())), 0, kUnknownPictureLimit)));
        }
        return area;
    }

    // The earlier area with the same alternative text, looked for by a hash
    // of the text: the texts themselves are not kept, only compared again
    // from the lines when the hashes meet.
    int firstWithAlt(int index, const QString& key)
    {
        const std::size_t hash = qHash(key);
        const auto [from, to] = m_altHashes.equal_range(hash);
        for (auto it = from; it != to; ++it) {
            if (withFields(it->second, m_earlier, [&](const auto& f) { return altIn(f).simplified().toCaseFolded() == key; }))
                return it->second;
        }
        m_altHashes.emplace(hash, index);
        return -1;
    }

    // What only a link may carry, on an area without one (the Nu HTML
    // checker's error). An empty alternative text is what the code writes
    // for such an area, XHTML 1.0 asking for one on every area.
    template <typename Fields>
    void checkNoLink(int index, const Fields& f)
    {
        if (m_facts.fromTags)
            return;
        QStringList given;
        if (!altIn(f).isEmpty())
            given << QStringLiteral("alt");
        if (f[entry::Target].compare(entry::kAbsent) != 0 && !f[entry::Target].isEmpty())
            given << QStringLiteral("target");
        for (const extra::Attribute& kept : extra::parse(f[extra::kField].toString())) {
            if (kept.name == QLatin1String("rel") || kept.name == QLatin1String("download") ||
                kept.name == QLatin1String("hreflang") || kept.name == QLatin1String("type") ||
                kept.name == QLatin1String("ping"))
                given << kept.name;
        }
        if (!given.isEmpty())
            add(index, "area-href-missing", Severity::Error, linkOnlyAttributesMessage(given));
        if (browser::shapeOf(shapeIn(f)) == browser::Shape::Default)
            add(index, "default-without-href", Severity::Warning, defaultWithoutLinkMessage());
    }

    template <typename View>
    void checkText(int index, const QString& alt, View href)
    {
        if (alt.isEmpty()) {
            add(index, "area-alt", Severity::Error,
                QCoreApplication::translate("korvane::MapCheck", "Das Areal hat einen Verweis, aber keinen Alternativtext."));
            return;
        }
        if (isTheLink(alt, href))
            add(index, "alt-is-link", Severity::Warning,
                QCoreApplication::translate("korvane::MapCheck", "Der Alternativtext %1 ist der Verweis selbst; er sollte sagen, "
                                                                "wohin der Verweis führt.")
                    .arg(quoted(alt)));
        else if (looksLikeFileName(alt, m_facts.pictureFileName))
            add(index, "alt-is-filename", Severity::Warning,
                QCoreApplication::translate("korvane::MapCheck", "Der Alternativtext %1 ist ein Dateiname; er sollte sagen, wohin "
                                                                "der Verweis führt.")
                    .arg(quoted(alt)));
        const int first = firstWithAlt(index, alt.simplified().toCaseFolded());
        if (first < 0)
            return;
        const bool sameLink = withFields(first, m_earlier, [&](const auto& f) {
            return f[entry::Href].trimmed().compare(href.trimmed()) == 0;
        });
        if (!sameLink)
            add(index, "duplicate-alt", Severity::Warning,
                QCoreApplication::translate("korvane::MapCheck", "Der Alternativtext %1 steht auch in Zeile %2, deren Verweis "
                                                                "woanders hinführt.")
                    .arg(quoted(alt), QString::number(lineOf(first))));
    }

    template <typename Fields>
    void checkShape(int index, const Fields& f, const std::vector<Reach>& reached)
    {
        const Area& area = m_areas[std::size_t(index)];
        if (area.degenerate) {
            // Why, read again: only a map's broken areas need the words.
            QString degenerate;
            readGeometry(shapeIn(f), f[entry::Coords].toString(), &degenerate);
            add(index, "degenerate-shape", Severity::Error,
                degenerate + QLatin1Char(' ') +
                    QCoreApplication::translate("korvane::MapCheck", "Es kann nie angeklickt werden."));
        } else if (!m_facts.fromTags) { // a page's tags are read as written (see io/PageRules.h)
            checkSyntax(index, f);
        }
        if (!area.shaped)
            return;
        if (!reached.empty() && reached[std::size_t(index)] == Reach::Covered)
            add(index, "unreachable-area", Severity::Error,
                QCoreApplication::translate("korvane::MapCheck", "Frühere Areale verdecken das Areal ganz; ein Browser nimmt "
                                                                "dort immer das erste, so kann es nie angeklickt werden."));
        const QRectF box = boxOf(shapeOf(area));
        if (!m_facts.picture.isEmpty())
            checkOutside(box, index, m_facts.picture, m_out, lineOf(index));
        checkSize(index, box);
    }

    // A shape a browser clicks, written as a validator would not have it.
    template <typename Fields>
    void checkSyntax(int index, const Fields& f)
    {
        const QString shape = shapeIn(f);
        const QString coords = f[entry::Coords].toString();
        const bool isDefault = browser::shapeOf(shape) == browser::Shape::Default;
        if (const std::optional<SyntaxProblem> p = areaSyntax(shape, isDefault && coords.isEmpty() ? QString() : coords))
            add(index, qPrintable(p->rule), Severity::Error, p->message);
    }

    void checkSize(int index, const QRectF& box)
    {
        const int ownWidth = m_facts.picture.width();
        const int shown = m_facts.displayWidth > 0 ? m_facts.displayWidth : ownWidth;
        const double scale = ownWidth > 0 && shown > 0 ? double(shown) / ownWidth : 1.0;
        const double w = box.width() * scale;
        const double h = box.height() * scale;
        if (w >= kMinimumTarget && h >= kMinimumTarget)
            return;
        const QString text =
            ownWidth > 0 ? QCoreApplication::translate("korvane::MapCheck", "Das Areal ist bei einer Anzeigebreite von %4 Pixeln nur %1 × "
                                                             "%2 Pixel groß, kleiner als %3 × %3.")
                               .arg(int(std::floor(w)))
                               .arg(int(std::floor(h)))
                               .arg(kMinimumTarget)
                               .arg(shown)
                         : QCoreApplication::translate("korvane::MapCheck", "Das Areal ist nur %1 × %2 Pixel groß, kleiner als %3 × %3.")
                               .arg(int(std::floor(w)))
                               .arg(int(std::floor(h)))
                               .arg(kMinimumTarget);
        add(index, "small-target", Severity::Warning, text);
    }

    // Coordinates beyond this are no pixels a picture has (the limit of pictures is 100 megapixels).
    static constexpr int kGridLimit = 100'000;
    // A picture of 10,000 x 10,000 pixels is the largest that opens; an area
    // far beyond every picture (coordinates of 4e8, say) costs no more rows.
    static constexpr int kUnknownPictureLimit = 10'000;

    const AreaLines& m_lines;
    const MapFacts& m_facts;
    std::vector<Area> m_areas;
    std::vector<double> m_pool;
    std::unordered_multimap<std::size_t, int> m_altHashes;
    QString m_room;    // the line being checked, when it is not kept as Latin-1
    QString m_earlier; // an earlier line compared with it
    QSize m_grid;
    const FindingSink& m_out;
};

} // namespace

std::optional<SyntaxProblem> areaSyntax(QStringView shape, QStringView coords)
{
    const auto problem = [&](const QString& why) {
        return SyntaxProblem{
            QStringLiteral("invalid-coords"),
            QCoreApplication::translate("korvane::MapCheck", "Die Koordinaten \"%1\" sind kein gültiges HTML: %2.")
                .arg(coords.toString(), why)};
    };
    const QString keyword = shape.isNull() ? QStringLiteral("rect") : shape.toString().toLower();
    if (keyword != QLatin1String("rect") && keyword != QLatin1String("circle") && keyword != QLatin1String("poly") &&
        keyword != QLatin1String("default"))
        return SyntaxProblem{QStringLiteral("invalid-shape"),
                             QCoreApplication::translate("korvane::MapCheck",
                                                         "Die Form \"%1\" ist kein gültiges HTML; gültig sind rect, "
                                                         "circle, poly und default.")
                                 .arg(shape.toString())};
    if (keyword == QLatin1String("default"))
        return coords.isNull() ? std::nullopt
                               : std::optional(SyntaxProblem{
                                     QStringLiteral("invalid-coords"),
                                     QCoreApplication::translate("korvane::MapCheck",
                                                                 "Ein Standardareal hat keine Koordinaten; das "
                                                                 "Attribut coords ist dort nicht erlaubt.")});
    if (coords.isNull())
        return SyntaxProblem{QStringLiteral("invalid-coords"),
                             QCoreApplication::translate("korvane::MapCheck", "Dem Areal fehlen die Koordinaten.")};
    QString why;
    const std::optional<QList<qint64>> v = integerList(coords, keyword == QLatin1String("circle"), &why);
    if (!v)
        return problem(why);
    if (keyword == QLatin1String("rect")) {
        if (v->size() != 4)
            return problem(QCoreApplication::translate(
                "korvane::MapCheck", "ein Rechteck braucht vier durch Kommas getrennte ganze Zahlen"));
        if ((*v)[0] >= (*v)[2] || (*v)[1] >= (*v)[3])
            return problem(QCoreApplication::translate("korvane::MapCheck",
                                                       "die linke obere Ecke muss vor der rechten unteren stehen"));
    } else if (keyword == QLatin1String("circle")) {
        if (v->size() != 3)
            return problem(QCoreApplication::translate("korvane::MapCheck",
                                                       "ein Kreis braucht drei durch Kommas getrennte ganze Zahlen"));
    } else if (v->size() < 6 || v->size() % 2 != 0) {
        return problem(QCoreApplication::translate("korvane::MapCheck",
                                                   "ein Polygon braucht eine gerade Zahl, mindestens sechs, "
                                                   "durch Kommas getrennte ganze Zahlen"));
    }
    return std::nullopt;
}

QString linkOnlyAttributesMessage(const QStringList& given)
{
    return (given.size() == 1 ? QCoreApplication::translate("korvane::MapCheck",
                                                            "Das Areal hat keinen Verweis (href), aber das Attribut "
                                                            "%1; ohne Verweis sind sie nicht erlaubt.")
                              : QCoreApplication::translate("korvane::MapCheck",
                                                            "Das Areal hat keinen Verweis (href), aber die Attribute "
                                                            "%1; ohne Verweis sind sie nicht erlaubt."))
        .arg(given.join(QStringLiteral(", ")));
}

QString defaultWithoutLinkMessage()
{
    return QCoreApplication::translate(
        "korvane::MapCheck", "Das Standardareal hat keinen Verweis; es führt nirgendwohin und kann entfallen.");
}

Findings checkAreas(const AreaLines& areaLines, const MapFacts& facts)
{
    Findings found;
    checkAreas(areaLines, facts, [&found](const Finding& finding) { found.push_back(finding); });
    return found;
}

void checkAreas(const AreaLines& areaLines, const MapFacts& facts, const FindingSink& sink)
{
    Checker(areaLines, facts, sink).run();
}

std::vector<bool> coveredAreas(const AreaLines& areaLines, QSize picture)
{
    MapFacts facts;
    facts.picture = picture;
    const FindingSink none = [](const Finding&) {};
    return Checker(areaLines, facts, none).covered();
}

} // namespace korvane::check
