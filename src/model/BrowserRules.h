#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// How a browser reads the values of an image map: the shape keyword, the
// coordinates, character references in attribute values and the map name a
// usemap points at. One place for the readers, the canvas, the map check and
// the writers, so that each sees an area where a browser sees it.
namespace korvane::browser {

// The shape attribute's states; a missing or unknown keyword is a rectangle.
enum class Shape : quint8 { Rect, Circle, Poly, Default };

// "rect", "rectangle", "circle", "circ", "poly", "polygon", "default" in any
// letter case of A to Z; anything else (also blanks around a keyword) is Rect.
Shape shapeOf(QStringView keyword);
// "rect", "circle", "poly", "default".
QString shapeName(Shape shape);

// One floating-point number value (leading white space skipped, a "+"
// taken, what follows the number ignored); nothing for an error.
std::optional<double> floatValue(QStringView text);
// A list of floating-point numbers: white space, commas and semicolons
// separate (a run of them once), garbage before a number is skipped, an item
// that is no number reads as 0. `allNumbers` (when given) is false when an
// item was not a plain number as written ("120px", "x", "1e").
QList<double> numberList(QStringView text, bool* allNumbers = nullptr);

// Reads a list of floating-point numbers one number at a time, without a
// list: numberList() is made of it.
class NumberReader {
public:
    explicit NumberReader(QStringView text);
    // The next number; false at the end.
    bool next(double& number);
    // Every item so far was a plain number as written.
    bool allNumbers() const { return m_plain; }

private:
    QStringView m_text;
    qsizetype m_at = 0;
    bool m_plain = true;
};
// Two lists of numbers compared number by number (a shorter list that the
// longer starts with comes first): <0, 0 or >0.
int compareNumberLists(QStringView a, QStringView b);

// The shape an area makes, as the image map processing takes its numbers.
struct AreaShape {
    Shape kind = Shape::Rect;
    // rect: left, top, right, bottom (ordered); circle: x, y, r; poly: x, y
    // pairs (the last number of an odd count dropped); default: none.
    QList<double> c;
    // No shape: too few numbers (rect 4, circle 3, poly 6) or a radius <= 0.
    bool empty = true;
};
AreaShape areaShape(QStringView keyword, QStringView coords);

// A character reference in an attribute value, as the tokenizer reads it.
struct Reference {
    qsizetype length = 0;  // from the "&" on, ";" included
    char32_t first = 0;    // the characters it stands for
    char32_t second = 0;   // 0 when one
    // Written as it is, an XML reader (the XHTML test page) takes it the same:
    // a ";" ends it, and it is a number (hexadecimal after a small "x") that
    // a browser keeps as it is, or a name XHTML 1.0 knows.
    bool xmlSafe = false;
};
// The reference that starts at text[at] (an "&"), or nothing when a browser
// reads that "&" as itself (no name or number follows, or a name without
// ";" is followed by "=" or a letter or digit).
std::optional<Reference> referenceAt(QStringView text, qsizetype at);
// The text a browser reads from an attribute value written as `value`.
QString decodeReferences(QStringView value);
// The characters of a reference.
QString charactersOf(const Reference& reference);

// The map name a usemap value (references decoded) points at: what follows
// its first "#"; nothing when it has none or nothing follows it.
std::optional<QString> hashName(QStringView usemap);

} // namespace korvane::browser
