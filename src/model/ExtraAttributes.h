#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// Attributes of an imported area that the eight fields have no place for
// (aria-label, id, class, data-*, a title other than the alt text, ...).
// They ride in field 8 of the line, after the fields every reader knows, as
// name="value" pairs separated by blanks: the specified fields and every
// line without such attributes stay exactly as they are, and the steps that
// copy, undo or rewrite a line carry them along untouched.
namespace korvane::extra {

struct Attribute {
    QString name;  // lower case
    QString value; // as it goes into the code: quotes and a lone "&" escaped
    bool operator==(const Attribute&) const = default;
};
using Attributes = QList<Attribute>;

// The field that holds them.
inline constexpr int kField = 8;
// Stands for "no link" on an area whose href field is empty: the page gave it
// no href (or nohref), and it must not come back as a link to the page itself.
inline const QString kNoHref = QStringLiteral("nohref");

// The text of field 8: name="value" pairs, values as attribute values, a "|"
// as "&#124;".
QString fieldText(const Attributes& attributes);
// The pairs of a field 8 text; anything that is not a pair, an attribute the
// line has a field of its own for and any repeat of a name are left out.
Attributes parse(QStringView text);
// The pairs of a whole line (none for a line of eight fields).
Attributes of(const QString& line);
// The line with field 8 replaced; an empty list takes the field away.
QString withAttributes(const QString& line, const Attributes& attributes);

// The value of `name`, or a null text.
QString valueOf(const Attributes& attributes, QStringView name);
bool has(const Attributes& attributes, QStringView name);
// One of the attributes the eight fields hold (shape, coords, href, alt,
// target and the three handlers), in any case.
bool isFieldName(QStringView name);
// A name a page may hand over as it is: an XML name, so the test page stays well-formed.
bool isPlainName(QStringView name);

// The line is no link: href empty and marked so.
bool isNoLink(const QString& line);

} // namespace korvane::extra
