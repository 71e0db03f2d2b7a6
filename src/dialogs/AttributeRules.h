#pragma once

#include <QString>

// The value rules both attribute dialogs apply when the user accepts.
namespace korvane::attributes {

// A link target as the link dialog stores it: every "href=" (any letter case)
// and then every double quote removed; blanks stay.
QString cleanedHref(const QString& typed);

// Target and event handlers: the untrimmed text when it holds more than
// blanks, else "*" (absent).
QString optionalValue(const QString& typed);

// Whether a typed key text is the double quote the handler boxes turn into
// an apostrophe (a double quote would end the HTML attribute early).
inline bool isDoubleQuote(const QString& keyText)
{
    return keyText == QLatin1String("\"");
}

} // namespace korvane::attributes
