#include "model/AreaEntry.h"

#include "model/BrowserRules.h"
#include "model/Latin1.h"

#include <algorithm>
#include <optional>

namespace korvane::entry {

QStringList split(const QString& line)
{
    return line.split(QLatin1Char('|'));
}

QString join(const QStringList& fields)
{
    return fields.join(QLatin1Char('|'));
}

QString field(const QStringList& fields, int i)
{
    return i >= 0 && i < fields.size() ? fields.at(i) : QString();
}

QString shapeOf(const QString& line)
{
    const qsizetype bar = line.indexOf(QLatin1Char('|'));
    return (bar < 0 ? line : line.left(bar)).trimmed();
}

// Only the field itself is copied: the line may hold a value of megabytes,
// and every redraw asks for the coordinates.
QString coordsOf(const QString& line)
{
    const qsizetype start = line.indexOf(QLatin1Char('|'));
    if (start < 0)
        return {};
    const qsizetype end = line.indexOf(QLatin1Char('|'), start + 1);
    return line.mid(start + 1, end < 0 ? -1 : end - start - 1);
}

QList<double> coordinateValues(const QString& coordsText, bool* ok)
{
    return browser::numberList(coordsText, ok);
}

QString shapeName(const QString& line)
{
    return browser::shapeName(browser::shapeOf(shapeOf(line)));
}

QString coordinateText(const QList<int>& values)
{
    QString text;
    text.reserve(values.size() * 5);
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(',');
        text += QString::number(values[i]);
    }
    return text;
}

QString makeLine(const QString& prefix, const QString& shape, const QString& coords, const LinkAttributes& a)
{
    // Written into one string of the right size: a value may be megabytes
    // long, and an import makes a million lines.
    const QString* const values[] = {&a.href, &a.alt, &a.target, &a.onmouseover, &a.onmouseout, &a.onclick};
    qsizetype size = prefix.size() + shape.size() + kShapePadding.size() + coords.size();
    for (const QString* value : values)
        size += 1 + value->size();
    QString line;
    line.reserve(size);
    line += prefix;
    line += shape;
    line += kShapePadding;
    line += coords;
    for (const QString* value : values) {
        line += QLatin1Char('|');
        line += *value;
    }
    return line;
}

qsizetype lineLength(QLatin1StringView prefix, const FieldViews& fields)
{
    // The padding brings the separator after the shape.
    qsizetype size = prefix.size() + kShapePadding.size() + fields.size() - 2;
    for (const QStringView field : fields)
        size += field.size();
    return size;
}

namespace {

char* putLatin1(char* out, QStringView text)
{
    narrowLatin1(text.utf16(), out, text.size());
    return out + text.size();
}

} // namespace

void writeLatin1Line(char* out, QLatin1StringView prefix, const FieldViews& fields, int headField,
                     QLatin1StringView head)
{
    const auto put = [&](int i) {
        if (i == headField)
            out = std::copy(head.data(), head.data() + head.size(), out);
        out = putLatin1(out, fields[i]);
    };
    out = std::copy(prefix.data(), prefix.data() + prefix.size(), out);
    out = putLatin1(out, fields[Shape]);
    out = putLatin1(out, kShapePadding);
    put(Coords);
    for (int i = Href; i < FieldCount; ++i) {
        *out++ = '|';
        put(i);
    }
}

LinkAttributes attributesOf(const QString& line)
{
    const QStringList f = split(line);
    return {field(f, Href),        field(f, Alt),        field(f, Target),
            field(f, OnMouseOver), field(f, OnMouseOut), field(f, OnClick)};
}

static QString withFields(const QString& line, int first, const QStringList& values)
{
    QStringList f = split(line);
    while (f.size() < first + values.size())
        f.append(QString());
    for (qsizetype i = 0; i < values.size(); ++i)
        f[first + i] = values[i];
    return join(f);
}

QString withAttributes(const QString& line, const LinkAttributes& a)
{
    return withFields(line, Href, {a.href, a.alt, a.target, a.onmouseover, a.onmouseout, a.onclick});
}

QString withCoords(const QString& line, const QString& coords)
{
    return withFields(line, Coords, {coords});
}

QString scaledLine(const QString& line, double sx, double sy)
{
    const browser::Shape shape = browser::shapeOf(shapeOf(line));
    if (shape == browser::Shape::Default)
        return line;
    const bool circle = shape == browser::Shape::Circle;
    const QList<double> values = coordinateValues(coordsOf(line));
    QList<int> scaled;
    scaled.reserve(values.size());
    for (qsizetype i = 0; i < values.size(); ++i) {
        const double factor = circle && i == 2 ? std::min(sx, sy) : i % 2 == 0 ? sx : sy;
        scaled.append(roundHalfEven(values[i] * factor));
    }
    return withCoords(line, coordinateText(scaled));
}

QString escapeBar(const QString& value)
{
    if (!value.contains(QLatin1Char('|')))
        return value; // most values: shared, not copied
    QString v = value;
    return v.replace(QLatin1Char('|'), QStringLiteral("&#124;"));
}

} // namespace korvane::entry

namespace korvane {

QString blanksTrimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.sliced(begin, end - begin).toString();
}

} // namespace korvane
