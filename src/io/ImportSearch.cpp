#include "io/ImportSearch.h"

#include "model/AreaEntry.h"
#include "model/Codec.h"

#include <QFile>

namespace korvane::import {

namespace {

const QChar kQuote = QLatin1Char('"');
const QChar kBlank = QLatin1Char(' ');

bool hasNoCase(QChar c)
{
    return c.toLower() == c && c.toUpper() == c && c.toCaseFolded() == c;
}

// The value from `start` up to `end` (clamped), quotes removed, blanks trimmed.
QString cleanValue(QStringView text, qsizetype start, qsizetype end)
{
    start = std::min(start, text.size());
    end = std::clamp(end, start, text.size());
    QString value = text.sliced(start, end - start).toString();
    value.remove(kQuote);
    return trimBlanks(value);
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

qsizetype find(QStringView text, QStringView pattern, qsizetype from)
{
    if (from < 0)
        from = 0;
    if (from > text.size())
        return -1;
    return text.indexOf(pattern, from, Qt::CaseInsensitive);
}

bool containsText(QStringView text, QStringView pattern)
{
    return find(text, pattern) >= 0;
}

QString trimBlanks(QStringView text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first] == kBlank)
        ++first;
    while (end > first && text[end - 1] == kBlank)
        --end;
    return text.sliced(first, end - first).toString();
}

QString ruleA(QStringView element, QStringView key)
{
    const qsizetype at = find(element, key);
    if (at < 0)
        return {};
    const qsizetype start = at + key.size() + 1; // after "=" and the opening quote
    qsizetype end = find(element, u"\" ", start);
    if (end < 0)
        end = start <= element.size() ? element.indexOf(kQuote, start) : -1;
    // A value whose closing quote is missing runs to the end of the element.
    return cleanValue(element, start, end < 0 ? element.size() : end);
}

QString ruleB(QStringView element, QStringView key)
{
    const qsizetype at = find(element, key);
    if (at < 0)
        return entry::kAbsent;
    const qsizetype start = at + key.size(); // the opening quote
    const qsizetype end = start + 1 <= element.size() ? element.indexOf(kQuote, start + 1) : -1;
    return cleanValue(element, start, end < 0 ? element.size() : end);
}

ElementValues readElement(QStringView element)
{
    ElementValues v;
    v.shape = ruleA(element, u"shape=");
    v.coords = ruleA(element, u"coords=");
    v.attributes.alt = ruleA(element, u"alt=");
    v.attributes.href = ruleA(element, u"href=");
    v.attributes.target = ruleB(element, u"target=");
    v.attributes.onmouseover = ruleB(element, u"onmouseover=");
    v.attributes.onmouseout = ruleB(element, u"onmouseout=");
    v.attributes.onclick = ruleB(element, u"onclick=");
    return v;
}

bool hasUsemap(QStringView text)
{
    return find(text, u"usemap=") >= 0;
}

QString usemapName(QStringView text)
{
    const qsizetype at = find(text, u"usemap=");
    if (at < 0)
        return {};
    const qsizetype start = std::min(at + 8, text.size()); // after the key and its opening quote
    qsizetype end = text.indexOf(kBlank, start);
    if (end < 0)
        end = text.indexOf(kQuote, start);
    if (end < 0)
        end = text.size();
    QString name = text.sliced(start, end - start).toString();
    name.remove(QLatin1Char('#'));
    name.remove(kQuote);
    return name;
}

QString srcValue(QStringView text)
{
    const qsizetype at = find(text, u"src=");
    if (at < 0)
        return {};
    const qsizetype start = std::min(at + 5, text.size());
    const qsizetype end = text.indexOf(kQuote, start);
    return text.sliced(start, (end < 0 ? text.size() : end) - start).toString();
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

} // namespace

QString imagePathFromSrc(const QString& rawValue, PathStyle style)
{
    QString path = rawValue;
    path.remove(kQuote);
    path = trimBlanks(path).toLower();
    if (style == PathStyle::Windows || isDrivePath(path)) {
        path.replace(QStringLiteral("file:///"), QString());
        path.replace(QLatin1Char('/'), QLatin1Char('\\'));
        path.replace(QStringLiteral("%20"), QStringLiteral(" "));
        path.replace(QLatin1Char('|'), QLatin1Char(':'));
    } else {
        path.replace(QStringLiteral("file://"), QString());
        path.replace(QStringLiteral("%20"), QStringLiteral(" "));
    }
    return path;
}

AreaScan scanAreas(QStringView text, AreaDialect dialect)
{
    static const Needle areaStart(QStringLiteral("<area shape="));
    static const Needle elementEnd(QStringLiteral("/>"));
    const QString prefix = dialect == AreaDialect::MapFile ? QStringLiteral("  ") : QStringLiteral(" ");
    AreaScan scan;
    // Elements ended by ">" all share the next "/>" (often none at all): remember
    // where it is, so that the text is not searched to its end once per element.
    qsizetype nextClose = -2; // -2: not searched yet; -1: there is none
    auto closeAtOrAfter = [&](qsizetype from) {
        if (nextClose == -2 || (nextClose >= 0 && nextClose < from))
            nextClose = elementEnd.in(text, from);
        return nextClose;
    };
    // The first search starts at the second character, later ones after the "/>" just used.
    qsizetype end = -1;
    for (;;) {
        const qsizetype start = areaStart.in(text, end + 2);
        if (start < 0)
            break;
        end = closeAtOrAfter(start);
        if (end < 0)
            end = text.indexOf(QLatin1Char('>'), start);
        if (end < 0)
            break; // cut off by the end of the file: no element, and nothing after it
        ElementValues v = readElement(text.sliced(start, end - start));
        if (dialect == AreaDialect::HtmlPage && v.shape.toLower() == QLatin1String("polygon"))
            v.shape = QStringLiteral("poly");
        LinkAttributes& a = v.attributes;
        for (QString* value :
             {&v.shape, &v.coords, &a.href, &a.alt, &a.target, &a.onmouseover, &a.onmouseout, &a.onclick})
            *value = entry::escapeBar(*value);
        scan.anyRead = true;
        if (v.shape.toLower() != QLatin1String("default"))
            scan.lines.append(entry::makeLine(prefix, v.shape, v.coords, a));
        scan.last = std::move(v);
    }
    return scan;
}

QString readImportFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return decodeText(bytes, detectEncoding(bytes));
}

} // namespace korvane::import
