#include "model/ExtraAttributes.h"

#include "model/AreaEntry.h"
#include "model/MapCode.h"

#include <QSet>

#include <algorithm>

namespace korvane::extra {

namespace {

bool isNameStart(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':';
}

bool isNameChar(QChar c)
{
    return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
}

} // namespace

// As a browser reads attribute names: A to Z in either case, nothing else folded.
bool isFieldName(QStringView name)
{
    const auto lower = [](QChar c) { return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c; };
    for (const char* own : {"shape", "coords", "href", "alt", "target", "onmouseover", "onmouseout", "onclick"}) {
        const QLatin1StringView field(own);
        if (name.size() == field.size() &&
            std::equal(name.begin(), name.end(), field.begin(), [&](QChar a, char b) { return lower(a) == QChar(b); }))
            return true;
    }
    return false;
}

bool isPlainName(QStringView name)
{
    if (name.isEmpty() || !isNameStart(name.front()))
        return false;
    return std::all_of(name.begin(), name.end(), isNameChar);
}

QString fieldText(const Attributes& attributes)
{
    QStringList pairs;
    for (const Attribute& a : attributes)
        pairs << a.name + QStringLiteral("=\"") + attributeValue(a.value) + QLatin1Char('"');
    return entry::escapeBar(pairs.join(QLatin1Char(' ')));
}

// Whatever wrote the field (a page, another program's clipboard, a recovery
// file), an attribute the line has a field for, or one named twice, would be
// written twice into the area tag: only the first of a name is read, and
// none of the fields' own.
Attributes parse(QStringView text)
{
    Attributes attributes;
    QSet<QString> names;
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == u' ')
            ++i;
        const qsizetype equals = text.indexOf(u'=', i);
        if (equals < 0 || equals + 1 >= text.size() || text[equals + 1] != u'"')
            break;
        const qsizetype close = text.indexOf(u'"', equals + 2);
        if (close < 0)
            break;
        const QStringView name = text.sliced(i, equals - i);
        if (isPlainName(name) && !isFieldName(name)) {
            const QString lower = name.toString().toLower();
            if (!names.contains(lower)) {
                names.insert(lower);
                attributes.append({lower, text.sliced(equals + 2, close - equals - 2).toString()});
            }
        }
        i = close + 1;
    }
    return attributes;
}

Attributes of(const QString& line)
{
    qsizetype start = 0;
    for (int i = 0; i < kField; ++i) {
        start = line.indexOf(QLatin1Char('|'), start);
        if (start < 0)
            return {};
        ++start;
    }
    const qsizetype end = line.indexOf(QLatin1Char('|'), start);
    return parse(QStringView(line).sliced(start, (end < 0 ? line.size() : end) - start));
}

QString withAttributes(const QString& line, const Attributes& attributes)
{
    QStringList fields = entry::split(line);
    while (fields.size() < kField)
        fields.append(QString());
    if (attributes.isEmpty()) {
        fields = fields.mid(0, kField);
    } else {
        if (fields.size() == kField)
            fields.append(QString());
        fields[kField] = fieldText(attributes);
    }
    return entry::join(fields);
}

QString valueOf(const Attributes& attributes, QStringView name)
{
    for (const Attribute& a : attributes) {
        if (a.name == name)
            return a.value;
    }
    return {};
}

bool has(const Attributes& attributes, QStringView name)
{
    return std::any_of(attributes.begin(), attributes.end(), [&](const Attribute& a) { return a.name == name; });
}

bool isNoLink(const QString& line)
{
    return entry::field(entry::split(line), entry::Href).isEmpty() && has(of(line), kNoHref);
}

} // namespace korvane::extra
