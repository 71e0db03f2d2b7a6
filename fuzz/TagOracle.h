#pragma once

// A second reader for the fuzz targets: every img, map and area tag that the
// tag reader finds is read again, alone, by the gumbo HTML5 parser, which
// must see one tag of exactly that length with the same attributes (names
// without regard to letter case, values as written, and their references as
// our own reading decodes them). A difference aborts.
#include "io/HtmlTags.h"

#include <gumbo.h>

#include <QByteArray>
#include <QList>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace korvane::fuzz {

// The characters gumbo's input decoder replaces by U+FFFD (controls and
// non-characters); a browser keeps them.
inline bool replacedByGumbo(char32_t c)
{
    return c == 0 || (c >= 0x1 && c <= 0x8) || c == 0xB || (c >= 0xE && c <= 0x1F) || (c >= 0x7F && c <= 0x9F) ||
           (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFF) == 0xFFFE || (c & 0xFFFF) == 0xFFFF;
}

// A name as gumbo keeps it: A to Z in lower case.
inline QString normalizedName(QStringView name)
{
    QString text = QString::fromUtf8(name.toUtf8());
    for (QChar& c : text) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    }
    return text;
}

// The first attribute's value of a tag, as gumbo decodes it.
inline QString decodedFirstValue(const QByteArray& tagText)
{
    GumboOutput* out = gumbo_parse_with_options(&kGumboDefaultOptions, tagText.constData(), size_t(tagText.size()));
    const GumboVector& top = out->root->v.element.children;
    const GumboVector& body = static_cast<GumboNode*>(top.data[1])->v.element.children;
    const GumboElement& element = static_cast<GumboNode*>(body.data[0])->v.element;
    const QString value = QString::fromUtf8(static_cast<const GumboAttribute*>(element.attributes.data[0])->value);
    gumbo_destroy_output(&kGumboDefaultOptions, out);
    return value;
}

// Our value as written, read by gumbo alone in a double-quoted attribute.
// (Gumbo's own record of a value as written goes wrong when an unquoted value
// starts with a reference, so decoded values are compared.)
inline QString decodedByGumbo(QStringView value)
{
    QString quoted = value.toString();
    quoted.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    return decodedFirstValue("<img a=\"" + quoted.toUtf8() + "\">");
}

// A value gumbo would hand back as written: no reference, no CR (which its
// input stream turns into LF), no U+FEFF (which it drops), nothing it
// replaces and no surrogate.
// Most values are such, and a second gumbo parse for each of them made the
// targets run at 200 inputs a second.
inline bool readsAsWritten(QStringView value)
{
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (u == u'&' || u == u'\r' || u == 0xFEFF || c.isSurrogate() || replacedByGumbo(u))
            return false;
    }
    return true;
}

inline QString expectedValue(QStringView value)
{
    return readsAsWritten(value) ? value.toString() : decodedByGumbo(value);
}

inline QString codePoints(const QString& text)
{
    QString out;
    for (const char32_t c : text.toUcs4())
        out += QString::number(uint(c), 16) + QLatin1Char(' ');
    return out;
}

// Names the tag both readers disagree on, then stops.
[[noreturn]] inline void disagree(const QByteArray& tagText, const char* what)
{
    std::fprintf(stderr, "gumbo reads this tag otherwise (%s): %s\n", what,
                 tagText.toPercentEncoding(" <>=\"'/!#&;:,.()").constData());
    std::abort();
}

// Gumbo 0.10 changes names with such characters (and loses a NUL that
// starts one), so that two names may clash where a browser sees two: tags
// with them are not compared.
inline bool namesGumboChanges(const html::Tag& tag)
{
    return std::any_of(tag.attributes.begin(), tag.attributes.end(), [](const html::Attribute& a) {
        const QList<uint> chars = a.name.toUcs4();
        return std::any_of(chars.begin(), chars.end(), [](uint c) { return replacedByGumbo(c); });
    });
}

inline void checkTagAgainstGumbo(const html::Tag& tag, QStringView text)
{
    if (namesGumboChanges(tag))
        return;
    // Both readers see the same characters: lone surrogates become U+FFFD once.
    const QByteArray utf8 = text.sliced(tag.start, tag.end - tag.start).toUtf8();
    GumboOutput* out = gumbo_parse_with_options(&kGumboDefaultOptions, utf8.constData(), size_t(utf8.size()));
    const GumboVector& top = out->root->v.element.children;
    const GumboVector& body = static_cast<GumboNode*>(top.data[1])->v.element.children;
    if (body.length == 0)
        disagree(utf8, "no element");
    const GumboElement& element = static_cast<GumboNode*>(body.data[0])->v.element;
    if (element.original_tag.length != size_t(utf8.size()))
        disagree(utf8, "length");
    if (element.attributes.length != tag.attributes.size())
        disagree(utf8, "attribute count");
    for (unsigned i = 0; i < element.attributes.length; ++i) {
        const auto* a = static_cast<const GumboAttribute*>(element.attributes.data[i]);
        const html::Attribute& ours = tag.attributes[i];
        const QString gumboName = QString::fromUtf8(a->name);
        const QString gumboValue = QString::fromUtf8(a->value);
        // Our own reading of references (the names and numbers a browser decodes) gives gumbo's value.
        if (readsAsWritten(ours.value.toString().remove(QLatin1Char('&'))) &&
            html::decodeReferences(ours.value) != gumboValue)
            disagree(utf8, ("references " + codePoints(gumboValue) + "/ " +
                            codePoints(html::decodeReferences(ours.value)))
                               .toUtf8()
                               .constData());
        if (gumboName != normalizedName(ours.name) || gumboValue != expectedValue(ours.value))
            disagree(utf8, ("name " + codePoints(gumboName) + "/ " + codePoints(normalizedName(ours.name)) + "value " +
                            codePoints(gumboValue) + "/ " + codePoints(decodedByGumbo(ours.value)))
                               .toUtf8()
                               .constData());
    }
    gumbo_destroy_output(&kGumboDefaultOptions, out);
}

inline void checkTagsAgainstGumbo(QStringView text)
{
    html::TagReader reader(text);
    html::Tag tag;
    while (reader.next(tag)) {
        if (!tag.isEndTag &&
            (tag.is(QLatin1StringView("img")) || tag.is(QLatin1StringView("map")) || tag.is(QLatin1StringView("area"))))
            checkTagAgainstGumbo(tag, text);
    }
}

} // namespace korvane::fuzz
