#include "model/JsonMap.h"

#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "model/ExtraAttributes.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace korvane::json {

namespace {

// A JSON string: quotes, backslashes and control characters escaped, the rest as it is.
QString quoted(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += QLatin1Char('\\') + c;
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

QString number(double v)
{
    if (v == std::floor(v) && std::abs(v) < 1e15)
        return QString::number(qint64(v));
    return QString::number(v, 'g', 15);
}

QString numbers(const QList<double>& values)
{
    QStringList out;
    for (const double v : values)
        out << number(v);
    return QLatin1Char('[') + out.join(QStringLiteral(", ")) + QLatin1Char(']');
}

// x and a circle's radius in percent of the width, y of the height, to a ten-thousandth.
QList<double> percentOf(const browser::AreaShape& shape, QSize size)
{
    QList<double> out;
    for (qsizetype i = 0; i < shape.c.size(); ++i) {
        const bool y = shape.kind != browser::Shape::Circle ? i % 2 == 1 : i == 1;
        const double whole = y ? size.height() : size.width();
        out << std::round(shape.c[i] / whole * 100 * 10000) / 10000;
    }
    return out;
}

QString member(const char* name, const QString& value)
{
    return QStringLiteral(", \"") + QLatin1StringView(name) + QStringLiteral("\": ") + value;
}

// One area as one line of JSON; nothing for a shape a browser does not click.
std::optional<QString> areaObject(const QString& line, QSize size)
{
    const browser::AreaShape shape = browser::areaShape(entry::shapeOf(line), entry::coordsOf(line));
    if (shape.empty && shape.kind != browser::Shape::Default)
        return std::nullopt;
    const LinkAttributes a = entry::attributesOf(line);
    const auto text = [](const QString& value) { return quoted(browser::decodeReferences(value)); };
    QString out = QStringLiteral("{\"shape\": ") + quoted(browser::shapeName(shape.kind));
    out += member("coords", numbers(shape.c));
    if (!size.isEmpty())
        out += member("percent", numbers(percentOf(shape, size)));
    out += member("href", extra::isNoLink(line) ? QStringLiteral("null") : text(a.href));
    out += member("alt", text(a.alt));
    if (a.target != entry::kAbsent && !a.target.isEmpty())
        out += member("target", text(a.target));
    const std::pair<const char*, const QString*> handlers[] = {
        {"onmouseover", &a.onmouseover}, {"onmouseout", &a.onmouseout}, {"onclick", &a.onclick}};
    for (const auto& [name, value] : handlers) {
        if (*value != entry::kAbsent)
            out += member(name, text(*value));
    }
    QStringList kept;
    for (const extra::Attribute& k : extra::of(line)) {
        if (k.name != extra::kNoHref)
            kept << quoted(k.name) + QStringLiteral(": ") + text(k.value);
    }
    if (!kept.isEmpty())
        out += member("attributes", QLatin1Char('{') + kept.join(QStringLiteral(", ")) + QLatin1Char('}'));
    return out + QLatin1Char('}');
}

} // namespace

JsonText mapJson(const AreaLines& lines, const QString& pictureFileName, QSize pictureSize, const QString& mapName)
{
    // Written by hand rather than through QJsonDocument: its members come in
    // alphabetical order, and "format" should be the first thing a reader meets.
    QString out = QStringLiteral("{\n  \"format\": ") + quoted(kFormat) + QStringLiteral(",\n  \"version\": ") +
                  QString::number(kVersion) + QStringLiteral(",\n  \"name\": ") + quoted(mapName) +
                  QStringLiteral(",\n  \"picture\": {\"file\": ") + quoted(pictureFileName) +
                  QStringLiteral(", \"width\": %1, \"height\": %2},\n  \"areas\": [")
                      .arg(std::max(pictureSize.width(), 0))
                      .arg(std::max(pictureSize.height(), 0));
    QStringList left;
    QString line;
    bool first = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        lines.read(i, line);
        const std::optional<QString> area = areaObject(line, pictureSize);
        if (!area) {
            left << QString::number(i + 1);
            continue;
        }
        out += (first ? QStringLiteral("\n    ") : QStringLiteral(",\n    ")) + *area;
        first = false;
    }
    out += first ? QStringLiteral("]\n}\n") : QStringLiteral("\n  ]\n}\n");
    JsonText json{out.toUtf8(), {}};
    if (!left.isEmpty())
        json.left << QCoreApplication::translate("korvane::JsonMap",
                                                 "Die Areale in Zeile %1 der Arealliste haben keine Form, die ein "
                                                 "Browser anklickt; sie fehlen im JSON.")
                         .arg(left.join(QStringLiteral(", ")));
    return json;
}

namespace {

// Text as a value of a line: an "&" a browser would take as the start of a
// reference is written "&amp;", a "|" "&#124;", so that the line reads as
// the text again.
QString lineValue(const QString& text, bool quotes)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'&' && browser::referenceAt(text, i))
            out += QStringLiteral("&amp;");
        else if (c == u'|')
            out += QStringLiteral("&#124;");
        else if (c == u'"' && quotes)
            out += QStringLiteral("&quot;");
        else
            out += c;
    }
    return out;
}

// Where the objects of the "areas" array start, in order.
QList<qsizetype> areaStarts(QStringView text)
{
    QList<qsizetype> starts;
    QString stack;
    QString lastKey;
    QString areasAt; // the stack at which the areas array was opened
    bool inString = false;
    qsizetype stringStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inString) {
            if (c == u'\\')
                ++i;
            else if (c == u'"') {
                inString = false;
                if (stack == QLatin1String("{"))
                    lastKey = text.sliced(stringStart, i - stringStart).toString();
            }
            continue;
        }
        if (c == u'"') {
            inString = true;
            stringStart = i + 1;
        } else if (c == u'[' || c == u'{') {
            if (c == u'[' && stack == QLatin1String("{") && lastKey == QLatin1String("areas"))
                areasAt = stack + c;
            else if (c == u'{' && !areasAt.isEmpty() && stack == areasAt)
                starts << i;
            stack += c;
        } else if (c == u']' || c == u'}') {
            stack.chop(1);
        }
    }
    return starts;
}

std::optional<QString> areaLine(const QJsonObject& area)
{
    const QString shape = area.value(QLatin1String("shape")).toString();
    if (shape != QLatin1String("rect") && shape != QLatin1String("circle") && shape != QLatin1String("poly") &&
        shape != QLatin1String("default"))
        return std::nullopt;
    QStringList coords;
    for (const QJsonValue v : area.value(QLatin1String("coords")).toArray()) {
        if (!v.isDouble())
            return std::nullopt;
        coords << number(v.toDouble());
    }
    LinkAttributes a;
    const QJsonValue href = area.value(QLatin1String("href"));
    a.href = lineValue(href.toString(), false);
    a.alt = lineValue(area.value(QLatin1String("alt")).toString(), false);
    for (const auto& [name, value] : {std::pair{"target", &a.target}, std::pair{"onmouseover", &a.onmouseover},
                                      std::pair{"onmouseout", &a.onmouseout}, std::pair{"onclick", &a.onclick}}) {
        if (area.value(QLatin1String(name)).isString())
            *value = lineValue(area.value(QLatin1String(name)).toString(), false);
    }
    extra::Attributes kept;
    const QJsonObject attributes = area.value(QLatin1String("attributes")).toObject();
    for (auto it = attributes.begin(); it != attributes.end(); ++it) {
        const QString name = it.key().toLower();
        if (extra::isPlainName(name) && it.value().isString() && name != extra::kNoHref)
            kept.append({name, lineValue(it.value().toString(), true)});
    }
    if (href.isNull())
        kept.append({extra::kNoHref, extra::kNoHref});
    const QString line = entry::makeLine(QStringLiteral(" "), shape, coords.join(QLatin1Char(',')), a);
    return kept.isEmpty() ? line : extra::withAttributes(line, kept);
}

} // namespace

std::optional<JsonMap> readMapJson(QStringView text, QString* problem)
{
    const QStringView start = text.trimmed();
    if (!start.startsWith(u'{') || !start.first(std::min<qsizetype>(start.size(), 4096)).contains(kFormat))
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    const QJsonObject root = document.object();
    const auto fail = [problem](const QString& why) -> std::optional<JsonMap> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (error.error != QJsonParseError::NoError)
        return fail(QCoreApplication::translate("korvane::JsonMap", "Der JSON-Text ist fehlerhaft: %1.")
                        .arg(error.errorString()));
    if (root.value(QLatin1String("format")).toString() != kFormat)
        return std::nullopt;
    if (root.value(QLatin1String("version")).toInt() > kVersion)
        return fail(QCoreApplication::translate("korvane::JsonMap",
                                                "Die ImageMap stammt von einem neueren Korvane (Version %1 des "
                                                "JSON-Formats).")
                        .arg(root.value(QLatin1String("version")).toInt()));
    JsonMap map;
    const QJsonObject picture = root.value(QLatin1String("picture")).toObject();
    map.picture = picture.value(QLatin1String("file")).toString();
    map.size = QSize(picture.value(QLatin1String("width")).toInt(), picture.value(QLatin1String("height")).toInt());
    map.mapName = root.value(QLatin1String("name")).toString();
    const QList<qsizetype> starts = areaStarts(text);
    const QJsonArray areas = root.value(QLatin1String("areas")).toArray();
    for (qsizetype i = 0; i < areas.size(); ++i) {
        if (const std::optional<QString> line = areaLine(areas[i].toObject())) {
            map.lines.append(*line);
            map.starts.append(starts.value(i, 0));
        }
    }
    return map;
}

} // namespace korvane::json
