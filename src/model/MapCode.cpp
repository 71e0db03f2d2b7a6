#include "model/MapCode.h"

#include "model/AreaEntry.h"
#include "model/Paths.h"

#include <array>

namespace korvane {

namespace {

const QString kAllowed = QStringLiteral("1234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_:.,");
const QChar kQuote = QLatin1Char('"');

QString derivedMapName(const QString& imagePath)
{
    QString name = baseNameOf(imagePath).toLower();
    name.replace(QLatin1Char(' '), QLatin1Char('_'))
        .replace(QStringLiteral("ä"), QStringLiteral("ae"))
        .replace(QStringLiteral("ö"), QStringLiteral("oe"))
        .replace(QStringLiteral("ü"), QStringLiteral("ue"))
        .replace(QStringLiteral("ß"), QStringLiteral("ss"));
    if (!name.isEmpty() && name.at(0).isDigit() && name.at(0).unicode() < 128)
        name.prepend(QLatin1Char('m'));
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!kAllowed.contains(name.at(i)))
            name.replace(name.at(i), QLatin1Char('_'));
    }
    return name;
}

QString imageSource(const QString& imagePath)
{
    QString folder = folderOf(imagePath);
    if (!folder.isEmpty()) {
        folder.replace(QLatin1Char('\\'), QLatin1Char('/')).replace(QLatin1Char(' '), QStringLiteral("%20"));
        // An absolute Unix path brings its own leading slash.
        folder.prepend(folder.startsWith(QLatin1Char('/')) ? QStringLiteral("file://") : QStringLiteral("file:///"));
    }
    return folder + fileNameOf(imagePath);
}

// Appends a value with every double quote written as "&quot;".
void appendValue(QString& out, QStringView value)
{
    for (QChar c : value) {
        if (c == kQuote)
            out += QLatin1String("&quot;");
        else
            out += c;
    }
}

void appendAttribute(QString& out, QLatin1String name, QStringView value)
{
    out += name;
    out += QLatin1String("=\"");
    appendValue(out, value);
    out += kQuote;
}

// The fields of one line as views, without allocating a list per line.
std::array<QStringView, 8> fieldViews(QStringView line)
{
    std::array<QStringView, 8> fields;
    qsizetype start = 0;
    for (std::size_t i = 0; i < fields.size() && start <= line.size(); ++i) {
        qsizetype bar = line.indexOf(QLatin1Char('|'), start);
        if (bar < 0)
            bar = line.size();
        fields[i] = line.mid(start, bar - start);
        start = bar + 1;
    }
    return fields;
}

void appendAreaElement(QString& out, QStringView line)
{
    using namespace entry;
    const auto f = fieldViews(line);
    out += QLatin1String("<area shape=\"");
    appendValue(out, f[Shape].trimmed());
    out += QLatin1String("\" alt=\"");
    appendValue(out, f[Alt]);
    out += QLatin1String("\" coords=\"");
    appendValue(out, f[Coords]);
    out += QLatin1String("\" href=\"");
    appendValue(out, f[Href]);
    out += QLatin1String("\" title=\"");
    appendValue(out, f[Alt]);
    out += QLatin1String("\" ");
    if (f[Target] != kAbsent)
        appendAttribute(out, QLatin1String("target"), f[Target]);
    out += QLatin1Char(' ');
    const std::pair<Field, QLatin1String> handlers[] = {{OnMouseOver, QLatin1String("onMouseOver")},
                                                        {OnMouseOut, QLatin1String("onMouseOut")},
                                                        {OnClick, QLatin1String("onClick")}};
    for (const auto& [index, name] : handlers) {
        if (f[index] != kAbsent) {
            appendAttribute(out, name, f[index]);
            out += QLatin1Char(' ');
        }
    }
    out += QLatin1String("/>\r\n");
}

} // namespace

QString attributeValue(const QString& value)
{
    if (!value.contains(kQuote))
        return value;
    QString v = value;
    return v.replace(kQuote, QStringLiteral("&quot;"));
}

QString mapNameFor(const QString& imagePath, const QString& mapName)
{
    return mapName.isEmpty() ? derivedMapName(imagePath) : mapName;
}

QString img_zeile_ermitteln(const QString& imagePath, const QString& mapName, QSize canvasSize)
{
    return QStringLiteral("<img src=\"") + attributeValue(imageSource(imagePath)) + QStringLiteral("\" width=\"") +
           QString::number(canvasSize.width()) + QStringLiteral("\" height=\"") + QString::number(canvasSize.height()) +
           QStringLiteral("\" alt=\"\" usemap=\"#") + attributeValue(mapNameFor(imagePath, mapName)) + kQuote +
           QStringLiteral(" style=\"border-style:none\" />") + kCrLf;
}

QString areaElement(const QString& line)
{
    QString out;
    appendAreaElement(out, line);
    return out;
}

QString map_daten(const QStringList& lines, const QString& imagePath, const QString& mapName, QSize canvasSize)
{
    if (lines.isEmpty())
        return {};
    const QString name = attributeValue(mapNameFor(imagePath, mapName));
    QString text;
    text.reserve(64 + lines.size() * 160);
    text += QStringLiteral("<!-- HTML-Code fuer den Image-Tag   -->") + kCrLf;
    text += img_zeile_ermitteln(imagePath, mapName, canvasSize);
    text += QStringLiteral("<!-- HTML-Code der eigentlichen ImageMap   -->") + kCrLf;
    text += QStringLiteral("<map id=\"") + name + QStringLiteral("\" name=\"") + name + QStringLiteral("\">") + kCrLf;
    for (const QString& line : lines)
        appendAreaElement(text, line);
    text += QStringLiteral("<area shape=\"default\" nohref=\"nohref\" alt=\"\" />") + kCrLf;
    text += QStringLiteral("</map>") + kCrLf;
    return text;
}

} // namespace korvane
