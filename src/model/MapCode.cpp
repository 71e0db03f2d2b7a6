#include "model/MapCode.h"

#include "model/AreaEntry.h"
#include "model/Paths.h"

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

QString quoted(const QString& name, const QString& value)
{
    return name + QLatin1Char('=') + kQuote + attributeValue(value) + kQuote;
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
           QString::number(canvasSize.width()) + QStringLiteral("\" height=\"") +
           QString::number(canvasSize.height()) + QStringLiteral("\" alt=\"\" usemap=\"#") +
           attributeValue(mapNameFor(imagePath, mapName)) + kQuote +
           QStringLiteral(" style=\"border-style:none\" />") + kCrLf;
}

QString areaElement(const QString& line)
{
    using namespace entry;
    const QStringList f = split(line);
    const QString target = field(f, Target);
    QString events;
    const std::pair<Field, const char*> handlers[] = {
        {OnMouseOver, "onMouseOver"}, {OnMouseOut, "onMouseOut"}, {OnClick, "onClick"}};
    for (const auto& [index, name] : handlers) {
        const QString value = field(f, index);
        if (value != kAbsent)
            events += quoted(QLatin1String(name), value) + QLatin1Char(' ');
    }
    const QString alt = attributeValue(field(f, Alt));
    return QStringLiteral("<area shape=\"") + attributeValue(field(f, Shape).trimmed()) +
           QStringLiteral("\" alt=\"") + alt + kQuote + QStringLiteral(" coords=\"") +
           attributeValue(field(f, Coords)) + QStringLiteral("\" href=\"") + attributeValue(field(f, Href)) +
           QStringLiteral("\" title=\"") + alt + kQuote + QLatin1Char(' ') +
           (target != kAbsent ? quoted(QStringLiteral("target"), target) : QString()) + QLatin1Char(' ') + events +
           QStringLiteral("/>") + kCrLf;
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
        text += areaElement(line);
    text += QStringLiteral("<area shape=\"default\" nohref=\"nohref\" alt=\"\" />") + kCrLf;
    text += QStringLiteral("</map>") + kCrLf;
    return text;
}

} // namespace korvane
