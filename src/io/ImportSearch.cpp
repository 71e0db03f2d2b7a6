#include "io/ImportSearch.h"

#include "model/AreaEntry.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <utility>

namespace korvane::import {

namespace {

const QChar kQuote = QLatin1Char('"');
const QChar kBlank = QLatin1Char(' ');

bool hasNoCase(QChar c)
{
    return c.toLower() == c && c.toUpper() == c && c.toCaseFolded() == c;
}

} // namespace

Needle::Needle(const QString& pattern)
    : m_pattern(pattern), m_matcher(pattern, Qt::CaseInsensitive),
      m_caselessLead(!pattern.isEmpty() && hasNoCase(pattern.front()))
{
    if (pattern.size() > 1) {
        const QChar second = pattern.at(1);
        // Characters whose case folding is not a plain upper/lower pair take the full comparison.
        m_second = second.toLower().toUpper() == second.toUpper() && second.toUpper().toLower() == second.toLower()
                       ? std::array<QChar, 2>{second.toLower(), second.toUpper()}
                       : std::array<QChar, 2>{};
        if (m_second[0].isNull())
            m_caselessLead = false;
    }
}

qsizetype Needle::in(QStringView text, qsizetype from) const
{
    if (from < 0)
        from = 0;
    if (from > text.size())
        return -1;
    if (m_pattern.isEmpty())
        return from <= text.size() ? from : -1;
    if (!m_caselessLead)
        return m_matcher.indexIn(text, from);
    const QStringView rest = QStringView(m_pattern).sliced(1);
    const QChar lead = m_pattern.front();
    const qsizetype last = text.size() - m_pattern.size();
    for (qsizetype i = text.indexOf(lead, from); i >= 0 && i <= last; i = text.indexOf(lead, i + 1)) {
        // Most hits of the lead character fail on the next one: test it before the full comparison.
        if (!rest.isEmpty() && text[i + 1] != m_second[0] && text[i + 1] != m_second[1])
            continue;
        if (text.sliced(i + 1, rest.size()).compare(rest, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

namespace {

QStringView blanksTrimmedView(QStringView text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first] == kBlank)
        ++first;
    while (end > first && text[end - 1] == kBlank)
        --end;
    return text.sliced(first, end - first);
}

} // namespace

QString trimBlanks(QStringView text)
{
    return blanksTrimmedView(text).toString();
}

namespace {

// Sets `to` to the value of an attribute, blanks trimmed, or to `missing`
// when the tag has none. A string of its own keeps its memory: filled area
// after area, the values cost no allocation each.
void setValue(QString& to, const html::Tag& tag, QLatin1StringView name, const QString& missing)
{
    const html::Attribute* a = tag.attribute(name);
    if (!a) {
        to = missing;
        return;
    }
    const QStringView value = blanksTrimmedView(a->value);
    if (to.isDetached() && to.capacity() >= value.size()) {
        to.resize(value.size());
        std::copy(value.begin(), value.end(), to.begin());
    } else {
        to = value.toString();
    }
}

// The fields' own attributes; a title the same as the alt text is what the code writes anyway.
bool hasField(QStringView name)
{
    return extra::isFieldName(name);
}

// What a browser or an assistive technology reads from an area beyond the
// fields. Anything else on an area tag is noise (often the remains of broken
// markup) and is not carried along.
bool isKeptAttribute(QStringView name)
{
    for (const char* known : {"title", "id", "class", "style", "role", "tabindex", "accesskey", "rel", "hreflang",
                              "download", "referrerpolicy", "ping", "type", "lang", "dir", "media", "nohref"}) {
        if (html::sameName(name, QLatin1StringView(known)))
            return true;
    }
    const auto starts = [&](const char* prefix) { return name.startsWith(QLatin1StringView(prefix), Qt::CaseInsensitive); };
    return (starts("aria-") || starts("data-") || (starts("on") && name.size() > 2)) && extra::isPlainName(name);
}

extra::Attributes keptAttributes(const html::Tag& area, const QString& alt)
{
    extra::Attributes kept;
    for (const html::Attribute& a : area.attributes) {
        if (hasField(a.name) || !isKeptAttribute(a.name))
            continue;
        const QString name = a.name.toString().toLower();
        if (name == QLatin1String("title") && trimBlanks(a.value) == alt)
            continue;
        // XHTML wants a value: a bare nohref is written as nohref="nohref".
        const QString value = a.value.isEmpty() && name == extra::kNoHref ? name : a.value.toString();
        kept.append({name, value});
    }
    if (!area.attribute(QLatin1StringView("href")) && !extra::has(kept, extra::kNoHref))
        kept.append({extra::kNoHref, extra::kNoHref});
    return kept;
}

// Fills the values of one area element into `v`.
void fillValues(ElementValues& v, const html::Tag& area)
{
    setValue(v.shape, area, QLatin1StringView("shape"), QStringLiteral("rect"));
    setValue(v.coords, area, QLatin1StringView("coords"), QString());
    setValue(v.attributes.alt, area, QLatin1StringView("alt"), QString());
    setValue(v.attributes.href, area, QLatin1StringView("href"), QString());
    setValue(v.attributes.target, area, QLatin1StringView("target"), entry::kAbsent);
    setValue(v.attributes.onmouseover, area, QLatin1StringView("onmouseover"), entry::kAbsent);
    setValue(v.attributes.onmouseout, area, QLatin1StringView("onmouseout"), entry::kAbsent);
    setValue(v.attributes.onclick, area, QLatin1StringView("onclick"), entry::kAbsent);
    v.kept = keptAttributes(area, v.attributes.alt);
}

ElementValues valuesOf(const html::Tag& area)
{
    ElementValues v;
    fillValues(v, area);
    return v;
}

} // namespace

ElementValues readElement(QStringView element)
{
    html::Tag tag;
    const qsizetype lt = element.indexOf(u'<');
    if (lt >= 0)
        html::readTag(element, lt, tag);
    return valuesOf(tag);
}

bool firstImageTag(QStringView text, html::Tag& img)
{
    html::TagReader reader(text);
    html::Tag tag;
    bool found = false;
    while (reader.next(tag)) {
        if (tag.isEndTag || !tag.is(QLatin1StringView("img")))
            continue;
        if (tag.attribute(QLatin1StringView("usemap"))) {
            img = std::move(tag);
            return true;
        }
        if (!found)
            img = tag;
        found = true;
    }
    return found;
}

QString mapNameOf(QStringView usemap)
{
    const qsizetype hash = usemap.indexOf(u'#');
    return trimBlanks(hash < 0 ? usemap : usemap.sliced(hash + 1));
}

QString usemapName(QStringView text)
{
    html::Tag img;
    if (!firstImageTag(text, img))
        return {};
    const html::Attribute* usemap = img.attribute(QLatin1StringView("usemap"));
    return usemap ? mapNameOf(usemap->value) : QString();
}

QString srcValue(QStringView text)
{
    html::Tag img;
    if (!firstImageTag(text, img))
        return {};
    const html::Attribute* src = img.attribute(QLatin1StringView("src"));
    return src ? src->value.toString() : QString();
}

int pixelDimension(const html::Tag& img, QLatin1StringView name)
{
    const html::Attribute* a = img.attribute(name);
    if (!a)
        return 0;
    const QStringView value = a->value.trimmed();
    qsizetype digits = 0;
    while (digits < value.size() && digits < 9 && value[digits] >= u'0' && value[digits] <= u'9')
        ++digits;
    if (digits == 0 || value.sliced(digits).startsWith(u'%'))
        return 0;
    return value.first(digits).toInt();
}

QSize shownSize(int width, int height, QSize picture)
{
    if (picture.isEmpty() || (width <= 0 && height <= 0))
        return picture;
    if (width > 0 && height > 0)
        return {width, height};
    if (width > 0)
        return {width, roundHalfEven(double(picture.height()) * width / picture.width())};
    return {roundHalfEven(double(picture.width()) * height / picture.height()), height};
}

PathStyle nativePathStyle()
{
#ifdef Q_OS_WIN
    return PathStyle::Windows;
#else
    return PathStyle::Unix;
#endif
}

namespace {

// "c:..." or "c|..." after an optional "file:///": a Windows drive path.
bool isDrivePath(QStringView path)
{
    if (path.startsWith(u"file:///"))
        path = path.sliced(8);
    return path.size() >= 2 && path[0].isLetter() && path[0].unicode() < 128 &&
           (path[1] == QLatin1Char(':') || path[1] == QLatin1Char('|'));
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
        return (c | 0x20) - 'a' + 10;
    return -1;
}

// Every "%" with two hex digits as the byte it stands for, read as UTF-8;
// any other "%" stays.
QString percentDecoded(const QString& path)
{
    if (!path.contains(QLatin1Char('%')))
        return path;
    const QByteArray in = path.toUtf8();
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const int high = in[i] == '%' && i + 2 < in.size() ? hexValue(in[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(in[i + 2]) : -1;
        if (low < 0) {
            out += in[i];
            continue;
        }
        out += char(high * 16 + low);
        i += 2;
    }
    return QString::fromUtf8(out);
}

} // namespace

QString imagePathFromSrc(const QString& rawValue, PathStyle style)
{
    QString path = html::decodeReferences(rawValue);
    path.remove(kQuote);
    path = trimBlanks(path);
    // The specified lower case stays for absolute paths; a relative one keeps
    // the page's spelling, so a picture that is not there is named as the page names it.
    const bool absolute = isDrivePath(path) || path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive) ||
                          path.startsWith(QLatin1Char('/')) || path.startsWith(QLatin1Char('\\'));
    if (absolute)
        path = path.toLower();
    if (style == PathStyle::Windows || isDrivePath(path)) {
        path.replace(QStringLiteral("file:///"), QString());
        path.replace(QLatin1Char('/'), QLatin1Char('\\'));
        path = percentDecoded(path);
        path.replace(QLatin1Char('|'), QLatin1Char(':'));
    } else {
        path.replace(QStringLiteral("file://"), QString());
        // A browser reads a "\\" of an address as "/"; an escaped one ("%5C")
        // is a character of a file name here.
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
        path = percentDecoded(path);
    }
    return absolute ? path.toLower() : path;
}

namespace {

QString loweredName(const html::Tag& tag)
{
    return tag.name.toString().toLower();
}

// Start tags that end foreign content: a browser takes them as HTML.
bool breaksOutOfForeign(const html::Tag& tag)
{
    static const QStringList kNames = {
        "b",  "big", "blockquote", "body", "br",  "center", "code", "dd",    "div",   "dl",     "dt",     "em",
        "embed", "h1", "h2", "h3", "h4", "h5", "h6", "head", "hr", "i", "img", "li", "listing", "menu", "meta",
        "nobr", "ol",  "p",  "pre",    "ruby", "s", "small", "span", "strong", "strike", "sub", "sup", "table",
        "tt", "u", "ul", "var"};
    if (tag.isEndTag)
        return tag.is(QLatin1StringView("br")) || tag.is(QLatin1StringView("p"));
    if (tag.is(QLatin1StringView("font")))
        return tag.attribute(QLatin1StringView("color")) || tag.attribute(QLatin1StringView("face")) ||
               tag.attribute(QLatin1StringView("size"));
    return tag.name.size() <= 10 && kNames.contains(loweredName(tag));
}

// Elements of SVG or MathML whose content is HTML again.
bool holdsHtml(const html::Tag& tag, bool math)
{
    static const QStringList kSvg = {"foreignobject", "desc", "title"};
    static const QStringList kMath = {"mi", "mo", "mn", "ms", "mtext"};
    const QString name = loweredName(tag);
    if (!math)
        return kSvg.contains(name);
    if (name == QLatin1String("annotation-xml")) {
        const html::Attribute* encoding = tag.attribute(QLatin1StringView("encoding"));
        const QString value = encoding ? encoding->value.toString().toLower() : QString();
        return value == QLatin1String("text/html") || value == QLatin1String("application/xhtml+xml");
    }
    return kMath.contains(name);
}

bool startsForeign(const html::Tag& tag)
{
    return !tag.isEndTag && (tag.is(QLatin1StringView("svg")) || tag.is(QLatin1StringView("math")));
}

} // namespace

bool HiddenContent::hides(const html::Tag& tag)
{
    return inForeign() ? hidesInForeign(tag) : hidesInHtml(tag);
}

bool HiddenContent::hidesInHtml(const html::Tag& tag)
{
    // Most tags are none of these: told apart by their first letter.
    const char16_t first = tag.name.isEmpty() ? u'\0' : char16_t(tag.name.front().unicode() | 0x20);
    if (first == u'n' && tag.is(QLatin1StringView("noscript"))) {
        m_noscript = !tag.isEndTag;
        return true;
    }
    if (m_noscript)
        return true;
    if (first == u't' && tag.is(QLatin1StringView("template"))) {
        if (!tag.isEndTag)
            ++m_templates;
        else if (m_templates > 0)
            --m_templates;
        return true;
    }
    if ((first == u's' || first == u'm') && startsForeign(tag)) {
        if (!tag.selfClosing)
            m_frames.push_back({tag.is(QLatin1StringView("svg")) ? Frame::Svg : Frame::Math, loweredName(tag)});
        return true;
    }
    if (!m_frames.empty() && tag.isEndTag && loweredName(tag) == m_frames.back().name) {
        m_frames.pop_back(); // the element that held HTML inside foreign content
        return true;
    }
    return m_templates > 0;
}

bool HiddenContent::hidesInForeign(const html::Tag& tag)
{
    if (breaksOutOfForeign(tag)) {
        leaveForeign();
        return hidesInHtml(tag);
    }
    const bool math = m_frames.back().kind == Frame::Math;
    if (tag.isEndTag) {
        // An end tag closes the svg or math element of its name, and what it holds.
        const QString name = loweredName(tag);
        for (auto frame = m_frames.rbegin(); frame != m_frames.rend() && frame->kind != Frame::Html; ++frame) {
            if (frame->name == name) {
                m_frames.erase(std::next(frame).base(), m_frames.end());
                break;
            }
        }
    } else if (!tag.selfClosing && startsForeign(tag)) {
        m_frames.push_back({tag.is(QLatin1StringView("svg")) ? Frame::Svg : Frame::Math, loweredName(tag)});
    } else if (!tag.selfClosing && holdsHtml(tag, math)) {
        m_frames.push_back({Frame::Html, loweredName(tag)});
    }
    return true;
}

// Back to the HTML around the foreign content (or the HTML inside it).
void HiddenContent::leaveForeign()
{
    while (inForeign())
        m_frames.pop_back();
}

namespace {

// A default area without a link is the one the code writes itself.
bool isLinklessDefault(const ElementValues& v)
{
    // A-Z alone: no other character lowers to a letter of the name. No copy: a million areas pass here.
    return html::sameName(v.shape, QLatin1StringView("default")) && extra::has(v.kept, extra::kNoHref);
}

} // namespace

namespace {

// The name is `lower` (lower-case letters) with A-Z in any case: for a
// letter, the 0x20 bit lowers A-Z and turns no other character into it.
template <qsizetype N> bool isNamed(QStringView name, const char (&lower)[N])
{
    if (name.size() != N - 1)
        return false;
    for (qsizetype i = 0; i < N - 1; ++i) {
        if ((name[i].unicode() | 0x20) != lower[i])
            return false;
    }
    return true;
}

// The field of a line an attribute fills, or -1.
int fieldOf(QStringView name)
{
    switch (name.size()) {
    case 3:
        return isNamed(name, "alt") ? entry::Alt : -1;
    case 4:
        return isNamed(name, "href") ? entry::Href : -1;
    case 5:
        return isNamed(name, "shape") ? entry::Shape : -1;
    case 6:
        return isNamed(name, "coords") ? entry::Coords : isNamed(name, "target") ? entry::Target : -1;
    case 7:
        return isNamed(name, "onclick") ? entry::OnClick : -1;
    case 10:
        return isNamed(name, "onmouseout") ? entry::OnMouseOut : -1;
    case 11:
        return isNamed(name, "onmouseover") ? entry::OnMouseOver : -1;
    default:
        return -1;
    }
}

// A value that goes into a line as it is and one byte a character. No early
// way out: the values are short, and the loop stays a plain one.
bool isPlainValue(QStringView value)
{
    char16_t high = 0;
    bool bar = false;
    for (const QChar c : value) {
        high |= c.unicode() & 0xff00;
        bar |= c == u'|';
    }
    return !high && !bar;
}

// The common area tag, read in one pass over its attributes and written
// straight into the line store: the fields' attributes only (besides those
// dropped anyway), an href, every value Latin-1 without a "|". It then has
// no kept attributes and is no linkless default. False for any other tag,
// which is left to the general reading.
// A value that begins with `head`, kept apart, and goes on with `tail`:
// blanks trimmed at the ends of both together.
std::pair<QLatin1StringView, QStringView> blanksTrimmed(QLatin1StringView head, QStringView tail)
{
    while (!head.isEmpty() && head.front() == kBlank)
        head = head.sliced(1);
    if (head.isEmpty())
        tail = blanksTrimmedView(tail);
    while (!tail.isEmpty() && tail.back() == kBlank)
        tail.chop(1);
    while (tail.isEmpty() && !head.isEmpty() && head.back() == kBlank)
        head.chop(1);
    return {head, tail};
}

bool addPlainArea(AreaScan& scan, const html::Tag& area, AreaDialect dialect, const TakenValue& taken)
{
    // What a browser reads when an attribute is missing.
    static constexpr entry::FieldViews kMissing = {u"rect", {}, {}, {}, u"*", u"*", u"*", u"*"};
    entry::FieldViews fields = kMissing;
    bool hasHref = false;
    const html::Attribute* title = nullptr;
    QLatin1StringView head;
    int headField = -1;
    for (const html::Attribute& a : area.attributes) {
        if (const int field = fieldOf(a.name); field >= 0) {
            if (&a == taken.attribute) {
                std::tie(head, fields[field]) = blanksTrimmed(taken.latin1, a.value);
                headField = field;
            } else {
                fields[field] = blanksTrimmedView(a.value);
            }
            hasHref = hasHref || field == entry::Href;
        } else if (isNamed(a.name, "title")) {
            title = &a;
        } else if (isKeptAttribute(a.name)) {
            return false;
        }
    }
    if (!hasHref)
        return false;
    // A long value kept apart goes into the line as it is, but no comparison
    // or other word is made of it: the shape, a title, a wide one.
    if (taken.attribute && (headField < 0 || headField == entry::Shape || !taken.wide.isEmpty() ||
                            (title && headField == entry::Alt) || head.contains(QLatin1Char('|'))))
        return false;
    if (title && blanksTrimmedView(title->value) != fields[entry::Alt])
        return false; // a title of its own is kept
    if (dialect == AreaDialect::HtmlPage && html::sameName(fields[entry::Shape], QLatin1StringView("polygon")))
        fields[entry::Shape] = u"poly";
    if (!std::all_of(fields.begin(), fields.end(), isPlainValue))
        return false;
    const QLatin1StringView prefix(dialect == AreaDialect::MapFile ? "  " : " ");
    const qsizetype length = entry::lineLength(prefix, fields) + head.size();
    entry::writeLatin1Line(scan.lines.appendLatin1(length), prefix, fields, headField, head);
    return true;
}

// The tag read again from its whole text, the value kept apart put back: for
// the general reading, which makes every value as a string anyway.
html::Tag wholeTag(const html::Tag& area, const TakenValue& taken, QString& text)
{
    const QStringView tag(area.name.data() - 1, area.end - area.start); // from its "<"
    const qsizetype at = taken.attribute->value.data() - tag.data();
    text.reserve(tag.size() + taken.latin1.size() + taken.wide.size());
    text.append(tag.first(at)).append(taken.latin1).append(taken.wide).append(tag.sliced(at));
    html::Tag whole;
    html::readTag(text, 0, whole);
    return whole;
}

// The values of a line written by addPlainArea(), as the general reading
// leaves them.
ElementValues valuesOfPlainLine(const QString& line)
{
    const QStringList f = entry::split(line);
    ElementValues v;
    // The shape has no blanks at either end; the prefix and padding are blanks.
    v.shape = trimBlanks(f[entry::Shape]);
    v.coords = f[entry::Coords];
    v.attributes = {f[entry::Href],        f[entry::Alt],        f[entry::Target],
                    f[entry::OnMouseOver], f[entry::OnMouseOut], f[entry::OnClick]};
    return v;
}

} // namespace

AreaScan scanAreas(QStringView text, AreaDialect dialect, const Progress& progress, AreaReading reading)
{
    ProgressTicks ticks(progress, text.size());
    AreaScan scan;
    html::TagReader reader(text);
    html::Tag tag;
    HiddenContent hidden;
    while (reader.next(tag) && ticks.at(tag.start)) {
        if (dialect == AreaDialect::HtmlPage && hidden.hides(tag))
            continue;
        if (tag.isEndTag || !tag.is(QLatin1StringView("area")))
            continue;
        if (dialect == AreaDialect::MapFile && tag.start == 0)
            continue; // a .map file is searched from its second character
        addArea(scan, tag, dialect, tag.start, reading);
    }
    return scan;
}

void addArea(AreaScan& scan, const html::Tag& area, AreaDialect dialect, qsizetype start, AreaReading reading,
             const TakenValue& taken)
{
    scan.anyRead = true;
    if (reading == AreaReading::Quick && addPlainArea(scan, area, dialect, taken)) {
        // Only the last element's values are kept: they are taken from its line when asked for.
        scan.lastLine = scan.lines.size() - 1;
        if (dialect == AreaDialect::HtmlPage)
            scan.starts.append(start);
        return;
    }
    if (taken.attribute) {
        QString text;
        addArea(scan, wholeTag(area, taken, text), dialect, start, AreaReading::General);
        return;
    }
    scan.lastLine = -1;
    // The last element's values are kept; filled in place, their strings serve the next one.
    ElementValues& v = scan.last;
    fillValues(v, area);
    if (dialect == AreaDialect::HtmlPage && html::sameName(v.shape, QLatin1StringView("polygon")))
        v.shape = QStringLiteral("poly");
    LinkAttributes& a = v.attributes;
    for (QString* value : {&v.shape, &v.coords, &a.href, &a.alt, &a.target, &a.onmouseover, &a.onmouseout, &a.onclick})
        *value = entry::escapeBar(*value);
    if (!isLinklessDefault(v)) {
        const QString prefix = dialect == AreaDialect::MapFile ? QStringLiteral("  ") : QStringLiteral(" ");
        const QString line = entry::makeLine(prefix, v.shape, v.coords, a);
        scan.lines.append(v.kept.isEmpty() ? line : extra::withAttributes(line, v.kept));
        if (dialect == AreaDialect::HtmlPage)
            scan.starts.append(start);
    }
}

qint64 OpenValue::take(QString& text, qsizetype tagStart)
{
    // Once a value is kept apart, whatever came of it since is taken too.
    if ((m_at < 0 && text.size() - tagStart < m_from) || text.size() < tagStart + 2 ||
        text[tagStart] != QLatin1Char('<'))
        return 0;
    html::Tag tag;
    if (html::readTag(text, tagStart, tag) || tag.isEndTag || !tag.is(QLatin1StringView("area")) ||
        tag.attributes.empty())
        return 0;
    // The value being read is the last attribute's, up to the end of the text
    // (a repeated name is dropped, and its value with it: then nothing is).
    const QStringView value = tag.attributes.back().value;
    const qsizetype from = value.data() - text.constData();
    if (value.isEmpty() || from + value.size() != text.size() || (m_at >= 0 && from != m_at))
        return 0;
    // The last character stays: the tag is read on in the state it left. A
    // value without quotes must not then begin with one, or it would be read
    // as a quoted value: the quotes at its end stay with that character.
    qsizetype kept = value.size() - 1;
    const QChar before = from > 0 ? text[from - 1] : QChar();
    if (before != QLatin1Char('"') && before != QLatin1Char('\'')) {
        while (kept > 0 && (value[kept] == QLatin1Char('"') || value[kept] == QLatin1Char('\'')))
            --kept;
    }
    const QStringView part = value.first(kept);
    if (m_at < 0 && part.size() < m_from)
        return 0;
    const bool latin1 =
        m_wide.isEmpty() && std::all_of(part.begin(), part.end(), [](QChar c) { return c.unicode() < 256; });
    if (latin1) {
        m_latin1 += part.toLatin1();
    } else {
        if (m_wide.isEmpty())
            m_wide = QString::fromLatin1(m_latin1);
        m_latin1.clear();
        m_wide += part;
    }
    const qint64 lineEnds = part.count(u'\n');
    text.remove(from, part.size());
    m_at = from;
    return lineEnds;
}

TakenValue OpenValue::takenBy(const html::Tag& tag, QStringView text) const
{
    if (m_at < 0 || tag.start >= m_at || tag.end < m_at)
        return {};
    for (const html::Attribute& a : tag.attributes) {
        if (a.value.data() == text.data() + m_at)
            return {&a, QLatin1StringView(m_latin1), QStringView(m_wide)};
    }
    return {};
}

void OpenValue::clear()
{
    m_at = -1;
    m_latin1.clear();
    m_wide.clear();
}

ElementValues lastValues(const AreaScan& scan)
{
    return scan.lastLine < 0 ? scan.last : valuesOfPlainLine(scan.lines.at(scan.lastLine));
}

LinkAttributes lastHandlers(const AreaScan& scan)
{
    if (scan.lastLine < 0)
        return {{},
                {},
                {},
                scan.last.attributes.onmouseover,
                scan.last.attributes.onmouseout,
                scan.last.attributes.onclick};
    // A line read the quick way has its eight fields and is kept as Latin-1: read in place.
    QString room;
    return scan.lines.withLine(scan.lastLine, room, [](auto line) {
        std::array<QString, entry::FieldCount> fields;
        qsizetype start = 0;
        for (int i = 0; i < entry::FieldCount; ++i) {
            const qsizetype bar = line.indexOf(QLatin1Char('|'), start);
            const qsizetype end = bar < 0 ? line.size() : bar;
            if (i >= entry::OnMouseOver)
                fields[std::size_t(i)] = line.sliced(start, end - start).toString();
            start = std::min(end + 1, line.size());
        }
        return LinkAttributes{
            {}, {}, {}, fields[entry::OnMouseOver], fields[entry::OnMouseOut], fields[entry::OnClick]};
    });
}

} // namespace korvane::import
