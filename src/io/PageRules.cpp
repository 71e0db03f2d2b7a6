#include "io/PageRules.h"

#include "io/HtmlTags.h"
#include "model/BrowserRules.h"

#include <QCoreApplication>

namespace korvane::check {

namespace {

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The closing area Korvane's classic code ends every map with:
// <area shape="default" nohref="nohref" alt="" />. XHTML 1.0, the test
// page's language, asks for the alt text on every area; the code is
// specified so, and pages made with it rely on it.
bool isClosingArea(const html::Tag& area)
{
    const html::Attribute* shape = area.attribute(QLatin1StringView("shape"));
    const html::Attribute* alt = area.attribute(QLatin1StringView("alt"));
    return area.attributes.size() == 3 && shape && browser::shapeOf(shape->value) == browser::Shape::Default &&
           area.attribute(QLatin1StringView("nohref")) && alt && alt->value.isEmpty();
}

QStringView valueOf(const html::Tag& tag, const char* name)
{
    const html::Attribute* a = tag.attribute(QLatin1StringView(name));
    return a ? (a->value.isNull() ? QStringView(u"") : a->value) : QStringView();
}

// Shape and coordinates as written; a shape a browser cannot click is the
// area lines' rule (degenerate-shape), one finding for it is enough.
void checkSyntax(const html::Tag& area, int line, Findings& out)
{
    const QStringView shape = valueOf(area, "shape");
    const QStringView coords = valueOf(area, "coords");
    const browser::AreaShape read = browser::areaShape(shape.isNull() ? QStringView(u"rect") : shape, coords);
    if (read.empty && read.kind != browser::Shape::Default)
        return;
    if (const std::optional<SyntaxProblem> p = areaSyntax(shape, coords))
        out.push_back({p->rule, Severity::Error, -1, line, p->message});
    const html::Attribute* target = area.attribute(QLatin1StringView("target"));
    if (target && target->value.isEmpty())
        out.push_back(
            {QStringLiteral("invalid-target"), Severity::Error, -1, line,
             QCoreApplication::translate("korvane::PageRules", "Ein leeres target ist kein gültiges HTML; ohne target "
                                                               "öffnet sich der Verweis im selben Fenster.")});
}

} // namespace

void areaTagRules(const html::Tag& area, int line, Findings& out)
{
    checkSyntax(area, line, out);
    if (area.attribute(QLatin1StringView("href")) || isClosingArea(area))
        return;
    QStringList given;
    for (const html::Attribute& a : area.attributes) {
        const QString name = a.name.toString().toLower();
        if (isLinkOnlyAttribute(name) && !given.contains(name))
            given << name;
    }
    if (!given.isEmpty())
        out.push_back(
            {QStringLiteral("area-href-missing"), Severity::Error, -1, line, linkOnlyAttributesMessage(given)});
    const html::Attribute* shape = area.attribute(QLatin1StringView("shape"));
    if (shape && browser::shapeOf(shape->value) == browser::Shape::Default)
        out.push_back(
            {QStringLiteral("default-without-href"), Severity::Warning, -1, line, defaultWithoutLinkMessage()});
}

namespace {

// The area tags of one map, those a browser reads as HTML.
void checkAreas(QStringView text, const import::MapElement& map, const std::function<int(qsizetype)>& lineAt,
                Findings& out)
{
    html::TagReader reader(text.sliced(map.start, map.end - map.start));
    html::Tag tag;
    import::HiddenContent hidden;
    while (reader.next(tag)) {
        if (!hidden.hides(tag) && !tag.isEndTag && tag.is(QLatin1StringView("area")))
            areaTagRules(tag, lineAt(map.start + tag.start), out);
    }
}

} // namespace

void mapNameRules(const import::MapElement& map, int line, Findings& out)
{
    if (map.name.isNull() || map.name.isEmpty() || map.name.contains(u' ') || map.name.contains(u'\t') ||
        map.name.contains(u'\n') || map.name.contains(u'\r') || map.name.contains(u'\f')) {
        out.push_back(
            {QStringLiteral("map-name-invalid"), Severity::Error, -1, line,
             map.name.isNull() ? QCoreApplication::translate("korvane::PageRules", "Die Map hat keinen Namen (name).")
             : map.name.isEmpty()
                 ? QCoreApplication::translate("korvane::PageRules", "Der Name der Map ist leer.")
                 : QCoreApplication::translate("korvane::PageRules", "Der Name der Map \"%1\" enthält Leerraum.")
                       .arg(map.name.toString())});
        return;
    }
    if (map.id.isNull())
        return;
    const QString name = browser::decodeReferences(map.name);
    const QString id = browser::decodeReferences(map.id);
    if (name != id)
        out.push_back({QStringLiteral("map-id-mismatch"), Severity::Error, -1, line,
                       QCoreApplication::translate("korvane::PageRules",
                                                   "Die Map heißt %1, ihre id ist aber %2; beide müssen gleich sein.")
                           .arg(quoted(name), quoted(id))});
}

bool isLinkOnlyAttribute(QStringView name)
{
    for (const char* only : {"alt", "target", "rel", "download", "hreflang", "type", "ping"}) {
        if (name == QLatin1StringView(only))
            return true;
    }
    return false;
}

void usedTwiceRules(const import::PageMaps& read, const std::function<int(qsizetype)>& candidateLine, Findings& out)
{
    // Keyboard users reach a map's areas once, where the map stands: a second picture gets none.
    std::vector<int> firstUser(read.maps.size(), -1);
    for (qsizetype c = 0; c < read.candidates.size(); ++c) {
        const int m = import::browserMap(read, c);
        if (m < 0)
            continue;
        int& first = firstUser[std::size_t(m)];
        if (first < 0) {
            first = int(c);
            continue;
        }
        const import::MapElement& map = read.maps[std::size_t(m)];
        out.push_back({QStringLiteral("map-used-twice"), Severity::Warning, -1, candidateLine(c),
                       QCoreApplication::translate("korvane::PageRules",
                                                   "Die Map %1 gehört schon zur Grafik in Zeile %2; mit der Tastatur "
                                                   "erreicht man ihre Areale nur einmal, dort, wo die Map steht.")
                           .arg(quoted(browser::decodeReferences(map.name.isNull() ? map.id : map.name)),
                                QString::number(candidateLine(first)))});
    }
}

Findings pageRules(QStringView text, const import::PageMaps& read, const std::function<int(qsizetype)>& lineAt)
{
    Findings out;
    for (const import::MapElement& map : read.maps) {
        mapNameRules(map, lineAt(map.start), out);
        checkAreas(text, map, lineAt, out);
    }
    usedTwiceRules(read, [&](qsizetype c) { return lineAt(read.candidateStarts[std::size_t(c)]); }, out);
    return out;
}

} // namespace korvane::check
