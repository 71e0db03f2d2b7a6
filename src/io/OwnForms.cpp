#include "io/OwnForms.h"

#include "io/HtmlTags.h"
#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "model/ExtraAttributes.h"
#include "model/JsonMap.h"
#include "model/WikiMap.h"

#include <QHash>

#include <cmath>

namespace korvane::import {

namespace {

bool hasClass(const html::Tag& tag, QLatin1StringView name)
{
    const html::Attribute* classes = tag.attribute(QLatin1StringView("class"));
    if (!classes)
        return false;
    for (const QStringView word : classes->value.split(u' ', Qt::SkipEmptyParts)) {
        if (word == name)
            return true;
    }
    return false;
}

QString number(double v)
{
    if (v == std::floor(v) && std::abs(v) < 1e15)
        return QString::number(qint64(v));
    return QString::number(v, 'g', 12);
}

double numberOf(const html::Tag& tag, const char* name)
{
    const html::Attribute* a = tag.attribute(QLatin1StringView(name));
    return a ? browser::floatValue(a->value).value_or(0) : 0;
}

// A shape element of the SVG as the shape and coordinates of an area line.
std::optional<std::pair<QString, QString>> shapeOf(const html::Tag& tag)
{
    if (tag.is(QLatin1StringView("rect"))) {
        const double x = numberOf(tag, "x"), y = numberOf(tag, "y");
        return std::pair{QStringLiteral("rect"), number(x) + u',' + number(y) + u',' +
                                                     number(x + numberOf(tag, "width")) + u',' +
                                                     number(y + numberOf(tag, "height"))};
    }
    if (tag.is(QLatin1StringView("circle")))
        return std::pair{QStringLiteral("circle"), number(numberOf(tag, "cx")) + u',' + number(numberOf(tag, "cy")) +
                                                       u',' + number(numberOf(tag, "r"))};
    if (tag.is(QLatin1StringView("polygon"))) {
        const html::Attribute* points = tag.attribute(QLatin1StringView("points"));
        QStringList coords;
        for (const double v : browser::numberList(points ? points->value : QStringView()))
            coords << number(v);
        return std::pair{QStringLiteral("poly"), coords.join(u',')};
    }
    return std::nullopt;
}

bool isKeyboardAttribute(QStringView name)
{
    return name == u"id" || name == u"accesskey" || name == u"tabindex" || name == u"role" ||
           name.startsWith(u"aria-");
}

// One link of a layer: its start tag's attributes, its title, its shapes.
struct SvgLink {
    std::vector<std::pair<QString, QString>> attributes; // lower-case names, values as written
    QString title;                                       // the text as written
    bool hasTitle = false;
    struct Part {
        QString shape;
        QString coords;
        QString written; // the element as written: the two layers' parts are matched by it
        qsizetype start = 0;
    };
    std::vector<Part> parts;

    const QString* value(QStringView name) const
    {
        for (const auto& [n, v] : attributes) {
            if (n == name)
                return &v;
        }
        return nullptr;
    }
};

struct Layers {
    std::vector<SvgLink> pointer;
    std::vector<SvgLink> keyboard;
    QString src;
    QSize size;
};

// Reads the first responsive map's layers; false when the page holds none.
bool readLayers(QStringView page, Layers& layers)
{
    html::TagReader reader(page);
    html::Tag tag;
    enum class In { Page, Map, Pointer, Keyboard } in = In::Page;
    SvgLink* link = nullptr;
    int innerGroups = 0; // groups inside a layer (a split group's parts)
    qsizetype titleFrom = -1;
    while (reader.next(tag)) {
        if (titleFrom >= 0) {
            link->title = page.sliced(titleFrom, tag.start - titleFrom).toString();
            titleFrom = -1;
        }
        if (in == In::Page) {
            if (!tag.isEndTag && tag.is(QLatin1StringView("div")) && hasClass(tag, QLatin1StringView("korvane-map")))
                in = In::Map;
            continue;
        }
        if (tag.is(QLatin1StringView("svg")) && tag.isEndTag)
            return true;
        if (in == In::Map) {
            if (!tag.isEndTag && tag.is(QLatin1StringView("img")) && layers.src.isNull()) {
                const html::Attribute* src = tag.attribute(QLatin1StringView("src"));
                layers.src = src ? src->value.toString() : QStringLiteral("");
            } else if (!tag.isEndTag && tag.is(QLatin1StringView("svg"))) {
                const html::Attribute* box = tag.attribute(QLatin1StringView("viewbox"));
                const QList<double> v = browser::numberList(box ? box->value : QStringView());
                if (v.size() == 4)
                    layers.size = QSize(int(v[2]), int(v[3]));
            } else if (!tag.isEndTag && tag.is(QLatin1StringView("g"))) {
                in = hasClass(tag, QLatin1StringView("korvane-flaechen")) ? In::Pointer
                     : hasClass(tag, QLatin1StringView("korvane-verweise")) ? In::Keyboard
                                                                            : In::Map;
                innerGroups = 0;
            } else if (tag.is(QLatin1StringView("div")) && tag.isEndTag) {
                return false; // a wrapper without the SVG
            }
            continue;
        }
        std::vector<SvgLink>& layer = in == In::Pointer ? layers.pointer : layers.keyboard;
        if (tag.is(QLatin1StringView("g"))) {
            if (!tag.isEndTag && !tag.selfClosing)
                ++innerGroups;
            else if (tag.isEndTag && innerGroups-- == 0)
                in = In::Map;
        } else if (tag.is(QLatin1StringView("a"))) {
            if (tag.isEndTag) {
                link = nullptr;
                continue;
            }
            layer.emplace_back();
            link = &layer.back();
            for (const html::Attribute& a : tag.attributes)
                link->attributes.emplace_back(a.name.toString().toLower(), a.value.toString());
        } else if (link && !tag.isEndTag && tag.is(QLatin1StringView("title"))) {
            link->hasTitle = true;
            titleFrom = tag.end;
        } else if (link && !tag.isEndTag) {
            if (const auto shape = shapeOf(tag))
                link->parts.push_back({shape->first, shape->second, page.sliced(tag.start, tag.end - tag.start).toString(),
                                       tag.start});
        }
    }
    return !layers.pointer.empty();
}

// A title's text as an attribute value: the text content escapes "&", "<"
// and ">" already, a quote is escaped here.
QString titleValue(const QString& text)
{
    return QString(text).replace(u'"', QStringLiteral("&quot;"));
}

QString area(const SvgLink& pointer, const SvgLink::Part& part, const SvgLink* keyboard, bool isDefault)
{
    LinkAttributes a;
    extra::Attributes kept;
    const QString* href = pointer.value(u"href");
    a.href = href ? entry::escapeBar(*href) : QString();
    for (const auto& [name, value] : pointer.attributes) {
        const QString v = entry::escapeBar(value);
        if (name == u"href" || name == u"tabindex" || (keyboard && isKeyboardAttribute(name)))
            continue;
        if (name == u"target")
            a.target = v;
        else if (name == u"onmouseover")
            a.onmouseover = v;
        else if (name == u"onmouseout")
            a.onmouseout = v;
        else if (name == u"onclick")
            a.onclick = v;
        else if (extra::isPlainName(name))
            kept.append({name, v});
    }
    if (keyboard) {
        for (const auto& [name, value] : keyboard->attributes) {
            if (isKeyboardAttribute(name) && name != u"aria-label" && extra::isPlainName(name))
                kept.append({name, entry::escapeBar(value)});
        }
    }
    // The keyboard's link is named by the alternative text (by the title when that is empty); the
    // pointer's title is the area's title, else its alternative text.
    const QString* label = keyboard ? keyboard->value(u"aria-label") : nullptr;
    const QString tip = entry::escapeBar(pointer.title);
    a.alt = label ? entry::escapeBar(*label) : tip;
    if (pointer.hasTitle &&
        browser::decodeReferences(tip).trimmed() != browser::decodeReferences(a.alt).trimmed())
        kept.prepend({QStringLiteral("title"), titleValue(tip)});
    if (!href)
        kept.append({extra::kNoHref, extra::kNoHref});
    const QString line = entry::makeLine(QStringLiteral(" "), isDefault ? QStringLiteral("default") : part.shape,
                                         isDefault ? QString() : part.coords, a);
    return kept.isEmpty() ? line : extra::withAttributes(line, kept);
}

bool wholePicture(const SvgLink::Part& part, QSize size)
{
    return part.shape == QLatin1String("rect") &&
           part.coords == QStringLiteral("0,0,%1,%2").arg(size.width()).arg(size.height());
}

} // namespace

std::optional<OwnMap> readResponsiveMap(QStringView page, PathStyle style)
{
    Layers layers;
    if (!readLayers(page, layers))
        return std::nullopt;
    // The keyboard's link of each part, found by the part as written, its link and its title; of
    // areas alike in all three the first takes the first (a later one is covered by it and has none).
    const auto key = [](const SvgLink& link, const SvgLink::Part& part) {
        const QString* href = link.value(u"href");
        return (href ? *href : QString()) + u'\n' + link.title + u'\n' + part.written;
    };
    QHash<QString, QList<const SvgLink*>> keyboardOf;
    for (const SvgLink& link : layers.keyboard) {
        for (const SvgLink::Part& part : link.parts)
            keyboardOf[key(link, part)].append(&link);
    }
    // The default areas lie at the bottom of the pointer's layer: the picture's rectangle, before any other.
    std::size_t defaults = 0;
    while (defaults < layers.pointer.size() && layers.pointer[defaults].parts.size() == 1 &&
           wholePicture(layers.pointer[defaults].parts.front(), layers.size))
        ++defaults;
    OwnMap map;
    map.form = OwnForm::Responsive;
    map.size = layers.size;
    map.imagePath = imagePathFromSrc(layers.src, style);
    for (std::size_t l = layers.pointer.size(); l-- > 0;) {
        const SvgLink& link = layers.pointer[l];
        for (auto part = link.parts.rbegin(); part != link.parts.rend(); ++part) {
            QList<const SvgLink*>& candidates = keyboardOf[key(link, *part)];
            const SvgLink* keyboard = candidates.isEmpty() ? nullptr : candidates.takeFirst();
            map.lines.append(area(link, *part, keyboard, l < defaults));
            map.starts.append(part->start);
        }
    }
    return map;
}

std::optional<OwnMap> readOwnForm(QStringView text, QString* problem, PathStyle style)
{
    if (const std::optional<json::JsonMap> json = json::readMapJson(text, problem))
        return OwnMap{OwnForm::Json, json->lines, json->starts, imagePathFromSrc(json->picture, style), json->mapName,
                      json->size};
    if (problem && !problem->isEmpty())
        return std::nullopt;
    if (std::optional<OwnMap> responsive = readResponsiveMap(text, style))
        return responsive;
    if (const std::optional<wiki::WikiMap> block = wiki::readImagemap(text))
        return OwnMap{OwnForm::MediaWiki, block->lines, block->starts, block->picture, QString(), QSize()};
    return std::nullopt;
}

} // namespace korvane::import
