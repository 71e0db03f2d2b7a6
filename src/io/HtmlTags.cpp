#include "io/HtmlTags.h"

#include "model/BrowserRules.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <cstdint>

namespace korvane::html {

namespace {

bool isSpace(char16_t c)
{
    // Blank, LF, tab, CR and form feed, one bit each.
    constexpr quint64 kSpaces = 1ULL << ' ' | 1ULL << '\n' | 1ULL << '\t' | 1ULL << '\r' | 1ULL << '\f';
    return c <= u' ' && (kSpaces >> c & 1);
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

// The states of a tag after its name, as the HTML5 tokenizer names them.
enum class State {
    BeforeName,
    Name,
    AfterName,
    BeforeValue,
    DoubleQuoted,
    SingleQuoted,
    Unquoted,
    AfterQuoted,
    SelfClosing
};

// Elements whose content is text up to their end tag. noscript is left out:
// its maps are what a browser without scripts shows.
constexpr std::array<QLatin1StringView, 8> kRawTextElements = {
    QLatin1StringView("script"),  QLatin1StringView("style"),   QLatin1StringView("textarea"),
    QLatin1StringView("title"),   QLatin1StringView("xmp"),     QLatin1StringView("iframe"),
    QLatin1StringView("noembed"), QLatin1StringView("noframes")};

// The first letters of those names and of plaintext, one bit each.
constexpr std::uint32_t kRawTextLetters = [] {
    std::uint32_t letters = 1u << ('p' - 'a');
    for (const QLatin1StringView name : kRawTextElements)
        letters |= 1u << (name.data()[0] - 'a');
    return letters;
}();

// Whether a tag of that name may be one whose content is text: most tags
// are told apart by their first letter.
bool mayHoldRawText(QStringView name)
{
    const char16_t first = name.isEmpty() ? u'\0' : asciiLower(name.front().unicode());
    return first >= u'a' && first <= u'z' && (kRawTextLetters >> (first - u'a') & 1u);
}

QString asciiLowered(QStringView name)
{
    QString lower = name.toString();
    for (QChar& c : lower)
        c = QChar(asciiLower(c.unicode()));
    return lower;
}

// Collects the attributes of one tag; a repeated name is dropped. Few tags
// have more than a handful of attributes; for those that do, the names seen
// are kept in a set, so that a hostile tag with a million names stays quick.
class AttributeSink {
public:
    explicit AttributeSink(QStringView text, Tag& tag) : m_text(text), m_tag(tag) {}
    void add(qsizetype nameStart, qsizetype nameEnd, qsizetype valueStart, qsizetype valueEnd)
    {
        const QStringView name = m_text.sliced(nameStart, nameEnd - nameStart);
        if (seen(name))
            return;
        m_tag.attributes.push_back({name, m_text.sliced(valueStart, valueEnd - valueStart)});
    }

private:
    static constexpr std::size_t kScanLimit = 16;

    bool seen(QStringView name)
    {
        if (m_tag.attributes.size() < kScanLimit) {
            return std::any_of(m_tag.attributes.begin(), m_tag.attributes.end(), [&](const Attribute& a) {
                return a.name.size() == name.size() && sameNameAs(a.name, name);
            });
        }
        return seenAmongMany(name);
    }

    // Kept apart, so that the common case stays small enough to be inlined.
    Q_NEVER_INLINE bool seenAmongMany(QStringView name)
    {
        if (m_names.isEmpty()) {
            for (const Attribute& a : m_tag.attributes)
                m_names.insert(asciiLowered(a.name));
        }
        const QString lower = asciiLowered(name);
        if (m_names.contains(lower))
            return true;
        m_names.insert(lower);
        return false;
    }

    static bool sameNameAs(QStringView a, QStringView b)
    {
        for (qsizetype i = 0; i < a.size(); ++i) {
            if (asciiLower(a[i].unicode()) != asciiLower(b[i].unicode()))
                return false;
        }
        return true;
    }

    QStringView m_text;
    Tag& m_tag;
    QSet<QString> m_names;
};

// The first `c` at or after `from`, or -1. Most attribute values are short:
// a plain loop over their first characters is quicker than a call of the
// vectorised search, which takes the rest.
qsizetype indexOfNear(QStringView text, char16_t c, qsizetype from)
{
    constexpr qsizetype kNear = 24;
    const char16_t* s = text.utf16();
    const qsizetype near = std::min(text.size(), from + kNear);
    for (qsizetype i = from; i < near; ++i) {
        if (s[i] == c)
            return i;
    }
    return near < text.size() ? text.indexOf(QChar(c), near) : -1;
}

// The first ">" at or after `from`, plus one; -1 when there is none.
qsizetype afterNextGreater(QStringView text, qsizetype from)
{
    const qsizetype gt = from < text.size() ? text.indexOf(u'>', from) : -1;
    return gt < 0 ? -1 : gt + 1;
}

// A comment whose "<!--" ends just before `from` ends at the first "-->" or
// "--!>", except that "<!-->" and "<!--->" end at once; -1 when it never ends.
qsizetype afterComment(QStringView text, qsizetype from)
{
    const qsizetype size = text.size();
    if (from < size && text[from] == u'>')
        return from + 1;
    if (from + 1 < size && text[from] == u'-' && text[from + 1] == u'>')
        return from + 2;
    for (qsizetype i = text.indexOf(u"--", from); i >= 0; i = text.indexOf(u"--", i + 1)) {
        if (i + 2 < size && text[i + 2] == u'>')
            return i + 3;
        if (i + 3 < size && text[i + 2] == u'!' && text[i + 3] == u'>')
            return i + 4;
    }
    return -1;
}

} // namespace

bool sameName(QStringView name, QLatin1StringView lowerName)
{
    if (name.size() != lowerName.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (asciiLower(name[i].unicode()) != char16_t(lowerName[i].unicode()))
            return false;
    }
    return true;
}

bool Tag::is(QLatin1StringView lowerName) const
{
    return sameName(name, lowerName);
}

const Attribute* Tag::attribute(QLatin1StringView lowerName) const
{
    const auto it = std::find_if(attributes.begin(), attributes.end(),
                                 [&](const Attribute& a) { return sameName(a.name, lowerName); });
    return it == attributes.end() ? nullptr : &*it;
}

bool readTag(QStringView text, qsizetype at, Tag& tag)
{
    const char16_t* s = text.utf16();
    const qsizetype size = text.size();
    tag.attributes.clear();
    tag.selfClosing = false;
    tag.start = at;
    qsizetype i = at + 1;
    tag.isEndTag = i < size && s[i] == u'/';
    if (tag.isEndTag)
        ++i;
    const qsizetype nameStart = i;
    while (i < size && !isSpace(s[i]) && s[i] != u'/' && s[i] != u'>')
        ++i;
    tag.name = text.sliced(nameStart, i - nameStart);

    AttributeSink sink(text, tag);
    State state = State::BeforeName;
    qsizetype attrStart = 0;
    qsizetype attrEnd = 0;
    qsizetype valueStart = 0;
    for (; i < size; ++i) {
        const char16_t c = s[i];
        switch (state) {
        case State::BeforeName:
            if (isSpace(c))
                break;
            if (c == u'/') {
                state = State::SelfClosing;
            } else if (c == u'>') {
                tag.end = i + 1;
                return true;
            } else {
                // Any other character starts a name, even "=" or a quote.
                attrStart = i;
                state = State::Name;
            }
            break;
        case State::Name: {
            // The rest of the name in one tight loop.
            while (i < size && !isSpace(s[i]) && s[i] != u'/' && s[i] != u'>' && s[i] != u'=')
                ++i;
            if (i == size)
                break; // cut off within the name
            const char16_t end = s[i];
            attrEnd = i;
            state = end == u'=' ? State::BeforeValue : State::AfterName;
            if (end != u'=' && !isSpace(end))
                --i; // the after-name state decides
            break;
        }
        case State::AfterName:
            if (isSpace(c))
                break;
            if (c == u'=') {
                state = State::BeforeValue;
                break;
            }
            // An attribute without a value; the before-name state goes on from here.
            sink.add(attrStart, attrEnd, attrEnd, attrEnd);
            state = State::BeforeName;
            --i;
            break;
        case State::BeforeValue:
            if (isSpace(c))
                break;
            if (c == u'>') {
                sink.add(attrStart, attrEnd, i, i);
                tag.end = i + 1;
                return true;
            }
            state = c == u'"' ? State::DoubleQuoted : c == u'\'' ? State::SingleQuoted : State::Unquoted;
            valueStart = state == State::Unquoted ? i : i + 1;
            break;
        case State::DoubleQuoted:
        case State::SingleQuoted: {
            const qsizetype close = indexOfNear(text, state == State::DoubleQuoted ? u'"' : u'\'', i);
            if (close < 0) {
                i = size - 1; // the value runs to the end of the text
                break;
            }
            sink.add(attrStart, attrEnd, valueStart, close);
            i = close;
            state = State::AfterQuoted;
            break;
        }
        case State::Unquoted: {
            while (i < size && !isSpace(s[i]) && s[i] != u'>')
                ++i;
            if (i == size)
                break; // the value runs to the end of the text
            sink.add(attrStart, attrEnd, valueStart, i);
            state = State::BeforeName;
            if (s[i] == u'>')
                --i;
            break;
        }
        case State::AfterQuoted:
        case State::SelfClosing:
            if (c == u'>') {
                tag.selfClosing = state == State::SelfClosing;
                tag.end = i + 1;
                return true;
            }
            if (state == State::AfterQuoted && c == u'/') {
                state = State::SelfClosing;
                break;
            }
            // No blank before the next attribute: it starts here all the same.
            state = State::BeforeName;
            --i;
            break;
        }
    }
    // Cut off by the end of the text: keep the attribute that was being read.
    switch (state) {
    case State::Name:
        sink.add(attrStart, size, size, size);
        break;
    case State::AfterName:
        sink.add(attrStart, attrEnd, attrEnd, attrEnd);
        break;
    case State::BeforeValue:
        sink.add(attrStart, attrEnd, size, size);
        break;
    case State::DoubleQuoted:
    case State::SingleQuoted:
    case State::Unquoted:
        sink.add(attrStart, attrEnd, valueStart, size);
        break;
    default:
        break;
    }
    tag.end = size;
    return false;
}

bool TagReader::next(Tag& tag)
{
    const qsizetype size = m_text.size();
    while (m_pos < size) {
        const qsizetype lt = m_text.indexOf(u'<', m_pos);
        if (lt < 0)
            break;
        // What follows a "<" is told by at most its next three characters.
        if (m_more && lt + 4 > size)
            return needMore(lt);
        if (lt + 1 >= size)
            break;
        const char16_t c = m_text[lt + 1].unicode();
        const bool endTag = c == u'/' && lt + 2 < size && isAsciiLetter(m_text[lt + 2].unicode());
        if (isAsciiLetter(c) || endTag) {
            if (!readTag(m_text, lt, tag))
                return m_more ? needMore(lt) : needMore(-1);
            if (tag.isEndTag) {
                m_pos = tag.end;
                return true;
            }
            const qsizetype after = afterRawText(tag);
            if (after < 0)
                return needMore(lt); // read again with the element's text whole
            m_pos = after;
            return true;
        }
        m_pos = afterMarkup(lt);
        if (m_pos < 0)
            return needMore(lt);
    }
    m_pos = size;
    m_resume = m_hidesRest ? -1 : size;
    return false;
}

// Nothing more is read from this text; `at` (-1: nowhere) is where the
// reading goes on.
bool TagReader::needMore(qsizetype at)
{
    m_pos = m_text.size();
    m_resume = at;
    return false;
}

// The end of what is open is at most this long and may begin just before
// `to`; the filler holds no "-", "!", ">" or "<" to be mistaken for a part of it.
void TagReader::setGap(qsizetype from, qsizetype to)
{
    if (to - from > kGapFiller.size())
        m_gap = {from, to - from};
}

// Where reading goes on after a "<" that starts no tag; -1 when the text
// ends first and more of it comes. A comment that is never closed hides the
// rest of the page, as it does in a browser. A declaration that is never
// closed hides nothing: no ">" follows it, so no tag could. Once its end is
// known to be missing from some place on, later ones are not searched
// again, so many of them stay quick.
qsizetype TagReader::afterMarkup(qsizetype lt)
{
    const QStringView rest = m_text.sliced(lt);
    if (rest.startsWith(u"<!--")) {
        const qsizetype after = afterComment(m_text, lt + 4);
        if (after < 0 && m_more) {
            setGap(lt + 4, m_text.size() - 3); // "--!" waiting for its ">"
            return -1;
        }
        m_hidesRest = after < 0;
        return after < 0 ? m_text.size() : after;
    }
    // A declaration, a processing instruction and an end tag without a name
    // are skipped up to their ">"; "</>" is dropped whole.
    const bool declaration =
        rest.startsWith(u"<!") || rest.startsWith(u"<?") || (rest.startsWith(u"</") && rest.size() > 2);
    if (!declaration)
        return lt + 1; // a "<" that starts nothing is text
    const qsizetype from = lt + 2;
    if (m_noGreaterFrom >= 0 && from >= m_noGreaterFrom)
        return from;
    const qsizetype after = afterNextGreater(m_text, from);
    if (after >= 0)
        return after;
    if (m_more) {
        // Any ">" ends it; the character after "</" stays, as it tells an
        // end tag from this.
        setGap(from + 1, m_text.size());
        return -1;
    }
    m_noGreaterFrom = from;
    return from;
}

// After a start tag: past the element's text when it holds no markup; -1
// when its end tag is not in the text and more of it comes.
qsizetype TagReader::afterRawText(const Tag& tag)
{
    if (!mayHoldRawText(tag.name))
        return tag.end;
    if (tag.is(QLatin1StringView("plaintext"))) {
        m_hidesRest = true;
        return m_text.size();
    }
    const auto raw = std::find_if(kRawTextElements.begin(), kRawTextElements.end(),
                                  [&](QLatin1StringView name) { return tag.is(name); });
    if (raw == kRawTextElements.end())
        return tag.end;
    const qsizetype size = m_text.size();
    for (qsizetype i = m_text.indexOf(u"</", tag.end); i >= 0; i = m_text.indexOf(u"</", i + 2)) {
        const qsizetype after = i + 2 + raw->size();
        if (after > size)
            break;
        if (!sameName(m_text.sliced(i + 2, raw->size()), *raw))
            continue;
        if (after == size && m_more)
            break; // the character after the name decides
        if (after == size || isSpace(m_text[after].unicode()) || m_text[after] == u'/' || m_text[after] == u'>')
            return i;
    }
    if (!m_more)
        return size;
    setGap(tag.end, size - 2 - raw->size()); // "</name" waiting for what follows it
    return -1;
}

QString decodeReferences(QStringView value)
{
    return browser::decodeReferences(value);
}

} // namespace korvane::html
