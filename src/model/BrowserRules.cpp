#include "model/BrowserRules.h"

#include "model/Codec.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

namespace korvane::browser {

namespace {

bool isAsciiSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool isAsciiAlnum(char16_t c)
{
    return isDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isHexDigit(char16_t c)
{
    return isDigit(c) || ((c | 0x20) >= u'a' && (c | 0x20) <= u'f');
}

// The name in any letter case of A to Z.
bool isKeyword(QStringView text, const char* lower)
{
    const qsizetype size = qsizetype(std::strlen(lower));
    if (text.size() != size)
        return false;
    for (qsizetype i = 0; i < size; ++i) {
        char16_t c = text[i].unicode();
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c + 32);
        if (c != char16_t(lower[i]))
            return false;
    }
    return true;
}

// The digits from `i` on, appended; `i` ends after them.
void takeDigits(QStringView text, qsizetype& i, std::string& out)
{
    for (; i < text.size() && isDigit(text[i].unicode()); ++i)
        out += char(text[i].unicode());
}

bool isSeparator(char16_t c)
{
    return isAsciiSpace(c) || c == u',' || c == u';';
}

// A valid floating-point number as HTML writes one: "-", digits, a
// fraction, an exponent.
bool isPlainNumber(QStringView t)
{
    qsizetype i = t.startsWith(u'-') ? 1 : 0;
    const qsizetype digits = i;
    while (i < t.size() && isDigit(t[i].unicode()))
        ++i;
    if (i == digits)
        return false;
    if (i < t.size() && t[i] == u'.') {
        const qsizetype fraction = ++i;
        while (i < t.size() && isDigit(t[i].unicode()))
            ++i;
        if (i == fraction)
            return false;
    }
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        if (++i < t.size() && (t[i] == u'-' || t[i] == u'+'))
            ++i;
        const qsizetype exponent = i;
        while (i < t.size() && isDigit(t[i].unicode()))
            ++i;
        if (i == exponent)
            return false;
    }
    return i == t.size();
}

struct NamedReference {
    const char* name; // without "&", ";" included where the name has one
    char32_t first;
    char32_t second;
    bool xhtml;
};

constexpr NamedReference kNamedReferences[] = {
#include "model/NamedReferences.inc"
};

// The longest name of the table, ";" included.
constexpr qsizetype kLongestName = [] {
    qsizetype longest = 0;
    for (const NamedReference& r : kNamedReferences) {
        qsizetype n = 0;
        while (r.name[n] != '\0')
            ++n;
        longest = std::max(longest, n);
    }
    return longest;
}();

// The table's entry of exactly that name.
const NamedReference* namedReference(QStringView name)
{
    std::array<char, kLongestName> key{};
    if (name.size() > kLongestName)
        return nullptr;
    for (qsizetype i = 0; i < name.size(); ++i)
        key[std::size_t(i)] = char(name[i].unicode());
    const std::string_view wanted(key.data(), std::size_t(name.size()));
    const auto* end = std::end(kNamedReferences);
    const auto* found = std::lower_bound(std::begin(kNamedReferences), end, wanted,
                                         [](const NamedReference& r, std::string_view w) { return std::string_view(r.name) < w; });
    return found != end && std::string_view(found->name) == wanted ? found : nullptr;
}

// What a browser makes of the number of "&#...;".
char32_t numericCharacter(char32_t value)
{
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0xFFFD;
    if (value >= 0x80 && value <= 0x9F)
        return fromWindows1252(QByteArray(1, char(value))).at(0).unicode();
    return value;
}

std::optional<Reference> numericReferenceAt(QStringView text, qsizetype at)
{
    qsizetype i = at + 2;
    const bool hex = i < text.size() && (text[i] == u'x' || text[i] == u'X');
    if (hex)
        ++i;
    const qsizetype digits = i;
    char32_t value = 0;
    for (; i < text.size() && (hex ? isHexDigit(text[i].unicode()) : isDigit(text[i].unicode())); ++i) {
        const char16_t c = text[i].unicode();
        const char32_t digit = isDigit(c) ? c - u'0' : (c | 0x20) - u'a' + 10;
        value = std::min<char32_t>(value * (hex ? 16 : 10) + digit, 0x110000); // beyond Unicode stays beyond
    }
    if (i == digits)
        return std::nullopt;
    const bool semicolon = i < text.size() && text[i] == u';';
    if (semicolon)
        ++i;
    const char32_t c = numericCharacter(value);
    // XML knows a hexadecimal number by a small "x" only. A character XML cannot
    // hold at all stays as written: no writing would serve it better.
    const bool xmlHex = !hex || text[at + 2] == u'x';
    return Reference{i - at, c, 0, semicolon && xmlHex && c == value};
}

std::optional<Reference> namedReferenceAt(QStringView text, qsizetype at)
{
    const qsizetype from = at + 1;
    qsizetype run = from;
    while (run < text.size() && run - from < kLongestName && isAsciiAlnum(text[run].unicode()))
        ++run;
    if (run < text.size() && text[run] == u';') {
        if (const NamedReference* r = namedReference(text.sliced(from, run + 1 - from)))
            return Reference{run + 1 - at, r->first, r->second, r->xhtml};
    }
    // The longest name without ";" that the letters start with; in an
    // attribute value, one followed by "=" or a letter or digit stays text.
    for (qsizetype end = run; end > from; --end) {
        const NamedReference* r = namedReference(text.sliced(from, end - from));
        if (!r)
            continue;
        if (end < text.size() && (text[end] == u'=' || isAsciiAlnum(text[end].unicode())))
            return std::nullopt;
        return Reference{end - at, r->first, r->second, false};
    }
    return std::nullopt;
}

void appendCharacter(QString& out, char32_t c)
{
    if (c == 0)
        return;
    if (QChar::requiresSurrogates(c)) {
        out += QChar(QChar::highSurrogate(c));
        out += QChar(QChar::lowSurrogate(c));
    } else {
        out += QChar(char16_t(c));
    }
}

} // namespace

Shape shapeOf(QStringView keyword)
{
    if (isKeyword(keyword, "circle") || isKeyword(keyword, "circ"))
        return Shape::Circle;
    if (isKeyword(keyword, "poly") || isKeyword(keyword, "polygon"))
        return Shape::Poly;
    if (isKeyword(keyword, "default"))
        return Shape::Default;
    return Shape::Rect;
}

QString shapeName(Shape shape)
{
    switch (shape) {
    case Shape::Circle:
        return QStringLiteral("circle");
    case Shape::Poly:
        return QStringLiteral("poly");
    case Shape::Default:
        return QStringLiteral("default");
    case Shape::Rect:
        break;
    }
    return QStringLiteral("rect");
}

std::optional<double> floatValue(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isAsciiSpace(text[i].unicode()))
        ++i;
    if (i == n)
        return std::nullopt;
    const bool negative = text[i] == u'-';
    if (negative || text[i] == u'+') {
        if (++i == n)
            return std::nullopt;
    }
    // The usual coordinate: up to 15 digits, exact in a double.
    qsizetype digitsEnd = i;
    while (digitsEnd < n && digitsEnd - i < 16 && isDigit(text[digitsEnd].unicode()))
        ++digitsEnd;
    const bool plain = digitsEnd < n ? text[digitsEnd] != u'.' && text[digitsEnd] != u'e' && text[digitsEnd] != u'E'
                                     : true;
    if (digitsEnd > i && digitsEnd - i <= 15 && plain) {
        qint64 whole = 0;
        for (qsizetype k = i; k < digitsEnd; ++k)
            whole = whole * 10 + (text[k].unicode() - u'0');
        return whole == 0 ? 0.0 : double(negative ? -whole : whole);
    }
    // The number rewritten plainly, read by the C++ library, which rounds
    // to the nearest double as HTML asks.
    std::string number;
    if (text[i] == u'.' && i + 1 < n && isDigit(text[i + 1].unicode())) {
        number = "0";
    } else if (!isDigit(text[i].unicode())) {
        return std::nullopt;
    }
    takeDigits(text, i, number);
    bool exponentMayFollow = true;
    if (i < n && text[i] == u'.') {
        if (i + 1 < n && isDigit(text[i + 1].unicode())) {
            number += '.';
            ++i;
            takeDigits(text, i, number);
        } else {
            exponentMayFollow = false; // "1.e5" is 1
        }
    }
    bool negativeExponent = false;
    if (exponentMayFollow && i + 1 < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        negativeExponent = text[j] == u'-';
        if (negativeExponent || text[j] == u'+')
            ++j;
        if (j < n && isDigit(text[j].unicode())) {
            number += negativeExponent ? "e-" : "e";
            takeDigits(text, j, number);
        }
    }
    double value = 0;
    if (std::from_chars(number.data(), number.data() + number.size(), value).ec == std::errc::result_out_of_range) {
        if (!negativeExponent)
            return std::nullopt; // beyond the largest double
        value = 0;
    }
    if (value == 0)
        return 0.0; // never -0
    return negative ? -value : value;
}

NumberReader::NumberReader(QStringView text) : m_text(text)
{
    while (m_at < m_text.size() && isSeparator(m_text[m_at].unicode()))
        ++m_at;
}

bool NumberReader::next(double& number)
{
    const qsizetype n = m_text.size();
    qsizetype i = m_at;
    if (i >= n)
        return false;
    const qsizetype garbage = i;
    while (i < n && !isSeparator(m_text[i].unicode()) && !isDigit(m_text[i].unicode()) && m_text[i] != u'.' &&
           m_text[i] != u'-')
        ++i;
    const qsizetype start = i;
    while (i < n && !isSeparator(m_text[i].unicode()))
        ++i;
    const QStringView item = m_text.sliced(start, i - start);
    const std::optional<double> value = floatValue(item);
    m_plain = m_plain && start == garbage && value && isPlainNumber(item);
    number = value.value_or(0.0);
    while (i < n && isSeparator(m_text[i].unicode()))
        ++i;
    m_at = i;
    return true;
}

QList<double> numberList(QStringView text, bool* allNumbers)
{
    QList<double> numbers;
    NumberReader reader(text);
    for (double number = 0; reader.next(number);)
        numbers.append(number);
    if (allNumbers)
        *allNumbers = reader.allNumbers();
    return numbers;
}

int compareNumberLists(QStringView a, QStringView b)
{
    NumberReader left(a);
    NumberReader right(b);
    for (;;) {
        double x = 0;
        double y = 0;
        const bool moreLeft = left.next(x);
        const bool moreRight = right.next(y);
        if (!moreLeft || !moreRight)
            return int(moreLeft) - int(moreRight);
        if (x != y)
            return x < y ? -1 : 1;
    }
}

AreaShape areaShape(QStringView keyword, QStringView coords)
{
    AreaShape shape;
    shape.kind = shapeOf(keyword);
    if (shape.kind == Shape::Default) {
        shape.empty = false;
        return shape;
    }
    QList<double>& c = shape.c;
    c = numberList(coords);
    switch (shape.kind) {
    case Shape::Rect:
        if (c.size() < 4)
            return shape;
        c.resize(4);
        if (c[0] > c[2])
            std::swap(c[0], c[2]);
        if (c[1] > c[3])
            std::swap(c[1], c[3]);
        shape.empty = false;
        break;
    case Shape::Circle:
        if (c.size() < 3)
            return shape;
        c.resize(3);
        shape.empty = c[2] <= 0;
        break;
    case Shape::Poly:
        if (c.size() < 6)
            return shape;
        c.resize(c.size() / 2 * 2);
        shape.empty = false;
        break;
    case Shape::Default:
        break;
    }
    return shape;
}

std::optional<Reference> referenceAt(QStringView text, qsizetype at)
{
    if (at + 1 >= text.size())
        return std::nullopt;
    return text[at + 1] == u'#' ? numericReferenceAt(text, at) : namedReferenceAt(text, at);
}

QString charactersOf(const Reference& reference)
{
    QString out;
    appendCharacter(out, reference.first);
    appendCharacter(out, reference.second);
    return out;
}

QString decodeReferences(QStringView value)
{
    qsizetype amp = value.indexOf(u'&');
    if (amp < 0)
        return value.toString();
    QString out;
    out.reserve(value.size());
    qsizetype done = 0;
    for (; amp >= 0; amp = value.indexOf(u'&', amp)) {
        const std::optional<Reference> reference = referenceAt(value, amp);
        if (!reference) {
            ++amp;
            continue;
        }
        out += value.sliced(done, amp - done);
        appendCharacter(out, reference->first);
        appendCharacter(out, reference->second);
        amp += reference->length;
        done = amp;
    }
    out += value.sliced(done);
    return out;
}

std::optional<QString> hashName(QStringView usemap)
{
    const qsizetype hash = usemap.indexOf(u'#');
    if (hash < 0 || hash + 1 == usemap.size())
        return std::nullopt;
    return usemap.sliced(hash + 1).toString();
}

} // namespace korvane::browser
