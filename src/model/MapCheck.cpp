#include "model/MapCheck.h"

#include "model/AreaEntry.h"
#include "model/ExtraAttributes.h"
#include "model/MapCode.h"
#include "model/Paths.h"

#include <QHash>
#include <QRectF>

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

// The geometry of a rect, circle or poly line, or why it cannot be clicked.
// Other shapes (default, unknown words) give neither.
std::optional<Geometry> readGeometry(const QString& line, QString* degenerate)
{
    const QString shape = entry::shapeOf(line).toLower();
    const bool rect = shape == QLatin1String("rect");
    const bool circle = shape == QLatin1String("circle");
    if (!rect && !circle && shape != QLatin1String("poly"))
        return std::nullopt;
    bool ok = false;
    const QString coords = entry::coordsOf(line);
    QList<double> c = entry::coordinateValues(coords, &ok);
    const QString text = quoted(coords);
    if (!ok) {
        *degenerate = QStringLiteral("Die Koordinaten ") + text + QStringLiteral(" sind nicht alle Zahlen.");
        return std::nullopt;
    }
    // Coordinates far beyond any picture mean the same as a little beyond it;
    // kept within reach of int, the pixel arithmetic stays exact.
    for (double& v : c)
        v = std::clamp(v, -kFar, kFar);
    Geometry g;
    if (rect) {
        if (c.size() < 4) {
            *degenerate = QStringLiteral("Ein Rechteck braucht vier Koordinaten, es hat ") + text + QLatin1Char('.');
            return std::nullopt;
        }
        g = {Kind::Rect, {std::min(c[0], c[2]), std::min(c[1], c[3]), std::max(c[0], c[2]), std::max(c[1], c[3])}, {}};
        g.box = QRectF(QPointF(g.c[0], g.c[1]), QPointF(g.c[2], g.c[3]));
        if (g.box.width() <= 0 || g.box.height() <= 0)
            *degenerate = QStringLiteral("Das Rechteck ") + text + QStringLiteral(" hat keine Breite oder keine Höhe.");
    } else if (circle) {
        if (c.size() < 3) {
            *degenerate = QStringLiteral("Ein Kreis braucht drei Koordinaten, er hat ") + text + QLatin1Char('.');
            return std::nullopt;
        }
        g = {Kind::Circle, c.mid(0, 3), QRectF(c[0] - c[2], c[1] - c[2], 2 * c[2], 2 * c[2])};
        if (c[2] <= 0)
            *degenerate = QStringLiteral("Der Kreis ") + text + QStringLiteral(" hat keinen Radius.");
    } else {
        c.resize(c.size() / 2 * 2);
        if (c.size() < 6) {
            *degenerate = QStringLiteral("Das Polygon ") + text + QStringLiteral(" hat weniger als drei Punkte.");
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
            *degenerate = QStringLiteral("Das Polygon ") + text + QStringLiteral(" umschließt keine Fläche.");
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
    const QString size = QStringLiteral(" (%1 × %2 Pixel)").arg(picture.width()).arg(picture.height());
    if (!box.intersects(frame))
        out({QStringLiteral("outside-picture"), Severity::Warning, index, line,
             QStringLiteral("Das Areal liegt ganz außerhalb des Bildes") + size + QLatin1Char('.')});
    else if (!frame.contains(box))
        out({QStringLiteral("outside-picture"), Severity::Warning, index, line,
             QStringLiteral("Das Areal ragt über den Rand des Bildes") + size + QStringLiteral(" hinaus.")});
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

// The link's own text: the whole href, or its file name (without query and fragment).
bool isTheLink(const QString& alt, const QString& href)
{
    if (alt.compare(href.trimmed(), Qt::CaseInsensitive) == 0)
        return true;
    QString path = href.trimmed().section(QLatin1Char('#'), 0, 0).section(QLatin1Char('?'), 0, 0);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QString name = fileNameOf(path);
    return !name.isEmpty() && alt.compare(name, Qt::CaseInsensitive) == 0;
}

// The texts of an area that the rules read, taken from its line.
struct AreaTexts {
    QString href;
    QString alt;
};

AreaTexts textsOf(const QString& line)
{
    const QStringList f = entry::split(line);
    return {entry::field(f, entry::Href), entry::field(f, entry::Alt).trimmed()};
}

class Checker {
public:
    Checker(const AreaLines& lines, const MapFacts& facts, const FindingSink& sink)
        : m_lines(lines), m_facts(facts), m_grid(facts.picture), m_out(sink)
    {
        m_areas.reserve(lines.size());
        QString line;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            lines.read(i, line);
            m_areas.push_back(read(line));
        }
    }

    void run()
    {
        const std::vector<Reach> reached = m_grid.isEmpty() ? std::vector<Reach>() : reachable(m_areas, m_pool, m_grid);
        QString line;
        for (std::size_t i = 0; i < m_areas.size(); ++i) {
            m_lines.read(qsizetype(i), line);
            const Area& area = m_areas[i];
            if (area.link)
                checkText(int(i), textsOf(line));
            checkShape(int(i), line, reached);
        }
    }

private:
    int lineOf(int index) const { return index < m_facts.lines.size() ? m_facts.lines[index] : index + 1; }

    void add(int index, const char* rule, Severity severity, const QString& message)
    {
        m_out({QString::fromLatin1(rule), severity, index, lineOf(index), message});
    }

    ShapeView shapeOf(const Area& area) const { return {area.kind, m_pool.data() + area.from, area.count}; }

    Area read(const QString& line)
    {
        Area area;
        area.link = !extra::isNoLink(line);
        QString degenerate;
        const std::optional<Geometry> geometry = readGeometry(line, &degenerate);
        area.degenerate = !degenerate.isEmpty();
        if (!geometry)
            return area;
        area.shaped = true;
        area.kind = geometry->kind;
        area.from = qsizetype(m_pool.size());
        area.count = geometry->c.size();
        m_pool.insert(m_pool.end(), geometry->c.begin(), geometry->c.end());
        if (m_facts.picture.isEmpty()) {
            // Without the picture, the grid covers the areas (a click lands at 0 or more).
            const QRectF& box = geometry->box;
            m_grid = m_grid.expandedTo(QSize(std::clamp(int(std::ceil(box.right())), 0, kGridLimit),
                                             std::clamp(int(std::ceil(box.bottom())), 0, kGridLimit)));
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
        QString line;
        for (auto it = from; it != to; ++it) {
            m_lines.read(it->second, line);
            if (textsOf(line).alt.simplified().toCaseFolded() == key)
                return it->second;
        }
        m_altHashes.emplace(hash, index);
        return -1;
    }

    void checkText(int index, const AreaTexts& area)
    {
        if (area.alt.isEmpty()) {
            add(index, "area-alt", Severity::Error,
                QStringLiteral("Das Areal hat einen Verweis, aber keinen Alternativtext."));
            return;
        }
        if (isTheLink(area.alt, area.href))
            add(index, "alt-is-link", Severity::Warning,
                QStringLiteral("Der Alternativtext ") + quoted(area.alt) +
                    QStringLiteral(" ist der Verweis selbst; er sollte sagen, wohin der Verweis führt."));
        else if (looksLikeFileName(area.alt, m_facts.pictureFileName))
            add(index, "alt-is-filename", Severity::Warning,
                QStringLiteral("Der Alternativtext ") + quoted(area.alt) +
                    QStringLiteral(" ist ein Dateiname; er sollte sagen, wohin der Verweis führt."));
        const int first = firstWithAlt(index, area.alt.simplified().toCaseFolded());
        if (first < 0)
            return;
        QString line;
        m_lines.read(first, line);
        if (textsOf(line).href.trimmed() != area.href.trimmed())
            add(index, "duplicate-alt", Severity::Warning,
                QStringLiteral("Der Alternativtext ") + quoted(area.alt) + QStringLiteral(" steht auch in Zeile ") +
                    QString::number(lineOf(first)) + QStringLiteral(", deren Verweis woanders hinführt."));
    }

    void checkShape(int index, const QString& line, const std::vector<Reach>& reached)
    {
        const Area& area = m_areas[std::size_t(index)];
        if (area.degenerate) {
            // Why, read again: only a map's broken areas need the words.
            QString degenerate;
            readGeometry(line, &degenerate);
            add(index, "degenerate-shape", Severity::Error,
                degenerate + QStringLiteral(" Es kann nie angeklickt werden."));
        }
        if (!area.shaped)
            return;
        if (!reached.empty() && reached[std::size_t(index)] == Reach::Covered)
            add(index, "unreachable-area", Severity::Error,
                QStringLiteral("Frühere Areale verdecken das Areal ganz; ein Browser nimmt dort immer das "
                               "erste, so kann es nie angeklickt werden."));
        const QRectF box = boxOf(shapeOf(area));
        if (!m_facts.picture.isEmpty())
            checkOutside(box, index, m_facts.picture, m_out, lineOf(index));
        checkSize(index, box);
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
        const QString at = ownWidth > 0 ? QStringLiteral(" bei einer Anzeigebreite von %1 Pixeln").arg(shown)
                                        : QString();
        add(index, "small-target", Severity::Warning,
            QStringLiteral("Das Areal ist") + at +
                QStringLiteral(" nur %1 × %2 Pixel groß, kleiner als %3 × %3.")
                    .arg(int(std::floor(w)))
                    .arg(int(std::floor(h)))
                    .arg(kMinimumTarget));
    }

    // Coordinates beyond this are no pixels a picture has (the limit of pictures is 100 megapixels).
    static constexpr int kGridLimit = 100'000;

    const AreaLines& m_lines;
    const MapFacts& m_facts;
    std::vector<Area> m_areas;
    std::vector<double> m_pool;
    std::unordered_multimap<std::size_t, int> m_altHashes;
    QSize m_grid;
    const FindingSink& m_out;
};

} // namespace

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

} // namespace korvane::check
