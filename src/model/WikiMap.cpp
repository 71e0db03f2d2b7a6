#include "model/WikiMap.h"

#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "model/ExtraAttributes.h"

#include <QCoreApplication>
#include <QUrl>

#include <cmath>

namespace korvane::wiki {

namespace {

const QString kNewline = QStringLiteral("\n");

// Characters that would end or nest a link of the syntax, written as the
// references the wiki reads back as them. The reader turns them back, so
// a value goes round unchanged.
constexpr std::pair<char16_t, const char*> kTextEscapes[] = {{u'[', "&#91;"},  {u']', "&#93;"}, {u'{', "&#123;"},
                                                            {u'}', "&#125;"}, {u'<', "&lt;"},  {u'>', "&gt;"}};

QString escapedText(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        // A line break would end the line of the block.
        const char* escape = c == u'|' ? "&#124;" : c == u'\n' ? "&#10;" : c == u'\r' ? "&#13;" : nullptr;
        for (const auto& [raw, written] : kTextEscapes)
            escape = c == raw ? written : escape;
        if (escape)
            out += QLatin1StringView(escape);
        else
            out += c;
    }
    return out;
}

QString unescapedText(QString value)
{
    for (const auto& [raw, written] : kTextEscapes)
        value.replace(QLatin1StringView(written), QString(QChar(raw)), Qt::CaseInsensitive);
    return value;
}

// An address with a scheme the wiki takes as an external link. A page of
// the wiki may hold a colon too ("Hilfe:Inhalt"), so only a scheme that is
// followed by "//", or one of those used without it, counts.
bool isExternal(QStringView address)
{
    if (address.startsWith(u"//"))
        return true;
    qsizetype i = 0;
    while (i < address.size() && (address[i].isLetterOrNumber() || address[i] == u'+' || address[i] == u'.' ||
                                  address[i] == u'-') && address[i].unicode() < 128)
        ++i;
    if (i == 0 || !address[0].isLetter() || i >= address.size() || address[i] != u':')
        return false;
    if (address.sliced(i).startsWith(u"://"))
        return true;
    const QStringView scheme = address.first(i);
    for (const char* bare : {"mailto", "news", "tel", "sms", "geo", "xmpp", "magnet", "urn", "bitcoin"}) {
        if (scheme.compare(QLatin1StringView(bare), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// An external address as the syntax takes it: a blank would end it, and the
// characters of the link syntax are written as their percent escapes (the
// same address to a browser).
QString externalAddress(const QString& address)
{
    QString out;
    for (const QChar c : address) {
        if (QStringView(u" \"<>[]{}|").contains(c) || c.unicode() < 32 || c.unicode() == 127)
            out += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

// Characters no page name of a wiki can hold.
bool isPageName(const QString& name)
{
    const QString read = QUrl::fromPercentEncoding(name.toUtf8());
    if (read.trimmed().isEmpty())
        return false;
    for (const QChar c : read) {
        if (QStringView(u"[]{}|<>").contains(c) || c.unicode() < 32 || c.unicode() == 127)
            return false;
    }
    return true;
}

// The link of an area in the syntax; nothing when it has none the wiki knows.
std::optional<QString> wikiLink(const LinkAttributes& a)
{
    const QString address = browser::decodeReferences(a.href);
    const QString text = escapedText(a.alt);
    if (isExternal(address))
        return QLatin1Char('[') + externalAddress(address) + (text.isEmpty() ? QString() : QLatin1Char(' ') + text) +
               QLatin1Char(']');
    if (!isPageName(address))
        return std::nullopt;
    return QStringLiteral("[[") + a.href + (text.isEmpty() ? QString() : QLatin1Char('|') + text) + QStringLiteral("]]");
}

QString number(double v)
{
    if (v == std::floor(v) && std::abs(v) < 1e15)
        return QString::number(qint64(v));
    return QString::number(v, 'g', 12);
}

// "rect 10 20 110 80": the shape as a browser reads it; nothing for one a browser cannot click.
std::optional<QString> shapeWords(const QString& line)
{
    const browser::AreaShape shape = browser::areaShape(entry::shapeOf(line), entry::coordsOf(line));
    if (shape.kind == browser::Shape::Default)
        return QStringLiteral("default");
    if (shape.empty)
        return std::nullopt;
    QString out = browser::shapeName(shape.kind);
    for (const double v : shape.c)
        out += QLatin1Char(' ') + number(v);
    return out;
}

// Whether the area holds what the syntax has no place for.
bool holdsMore(const QString& line)
{
    const LinkAttributes a = entry::attributesOf(line);
    for (const QString* value : {&a.target, &a.onmouseover, &a.onmouseout, &a.onclick}) {
        if (*value != entry::kAbsent && !value->isEmpty())
            return true;
    }
    for (const extra::Attribute& kept : extra::of(line)) {
        if (kept.name != extra::kNoHref)
            return true;
    }
    return false;
}

QString areaList(const QList<int>& numbers)
{
    QStringList names;
    for (const int n : numbers)
        names << QString::number(n);
    return names.join(QStringLiteral(", "));
}

} // namespace

WikiText wikiImagemap(const AreaLines& lines, const QString& pictureFileName, int width, const QString& caption)
{
    WikiText out;
    QString head = QStringLiteral("File:") + escapedText(pictureFileName);
    if (width > 0)
        head += QStringLiteral("|%1px").arg(width);
    if (!caption.trimmed().isEmpty())
        head += QLatin1Char('|') + escapedText(caption);
    out.text = QStringLiteral("<imagemap>") + kNewline + head + kNewline;
    QList<int> unwritten;
    bool more = false;
    bool defaultWritten = false;
    QString line;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        lines.read(i, line);
        const std::optional<QString> shape = shapeWords(line);
        const std::optional<QString> link =
            extra::isNoLink(line) ? std::nullopt : wikiLink(entry::attributesOf(line));
        const bool isDefault = shape == QStringLiteral("default");
        more = more || holdsMore(line);
        // The wiki refuses the whole map for one line it cannot read: such an
        // area stays in the text as a comment, for the author to see.
        if (!shape || !link || (isDefault && defaultWritten)) {
            unwritten << int(i + 1);
            QString comment = entry::shapeOf(line) + QLatin1Char(' ') + entry::coordsOf(line) + QLatin1Char(' ') +
                              entry::attributesOf(line).href;
            comment.replace(u'\n', u' ').replace(u'\r', u' ');
            out.text += QStringLiteral("# ") + comment + kNewline;
            continue;
        }
        defaultWritten = defaultWritten || isDefault;
        out.text += *shape + QLatin1Char(' ') + *link + kNewline;
    }
    // The wiki's own link to the picture's page is no part of the map.
    out.text += QStringLiteral("desc none") + kNewline + QStringLiteral("</imagemap>") + kNewline;
    if (!unwritten.isEmpty())
        out.left << QCoreApplication::translate("korvane::WikiMap",
                                                "Die Areale in Zeile %1 der Arealliste haben keinen Verweis, den "
                                                "MediaWiki kennt, keine Form oder sind ein zweites Standardareal; sie "
                                                "stehen nur als Kommentar im Text.")
                        .arg(areaList(unwritten));
    if (more)
        out.left << QCoreApplication::translate("korvane::WikiMap",
                                                "Target, JavaScript-Handler und weitere Attribute der Areale kennt "
                                                "MediaWiki nicht; sie fehlen im Text.");
    return out;
}

namespace {

struct Block {
    qsizetype from = 0; // the first character inside
    qsizetype to = 0;   // just after the last
    bool escaped = false;
};

std::optional<Block> findBlock(QStringView text)
{
    for (const bool escaped : {false, true}) {
        const QStringView open = escaped ? QStringView(u"&lt;imagemap&gt;") : QStringView(u"<imagemap>");
        const QStringView close = escaped ? QStringView(u"&lt;/imagemap&gt;") : QStringView(u"</imagemap>");
        const qsizetype start = text.indexOf(open, 0, Qt::CaseInsensitive);
        if (start < 0)
            continue;
        const qsizetype from = start + open.size();
        const qsizetype end = text.indexOf(close, from, Qt::CaseInsensitive);
        return Block{from, end < 0 ? text.size() : end, escaped};
    }
    return std::nullopt;
}

bool isPictureOption(QStringView option)
{
    for (const char* word : {"thumb", "thumbnail", "frame", "framed", "frameless", "border", "left", "right", "center",
                             "centre", "none", "baseline", "middle", "sub", "super", "text-top", "text-bottom", "top",
                             "bottom", "upright"}) {
        if (option.compare(QLatin1StringView(word), Qt::CaseInsensitive) == 0)
            return true;
    }
    return option.contains(u'=') || option.startsWith(u"upright", Qt::CaseInsensitive);
}

// "400px", "400x300px", "x300px": the width; -1 when it is no size.
int widthOption(QStringView option)
{
    if (!option.endsWith(u"px", Qt::CaseInsensitive))
        return -1;
    const QStringView size = option.chopped(2);
    const qsizetype x = size.indexOf(u'x');
    bool ok = false;
    const int width = (x < 0 ? size : size.first(x)).toInt(&ok);
    if (x >= 0 && (size.first(x).isEmpty() || ok)) {
        bool heightOk = false;
        (void)size.sliced(x + 1).toInt(&heightOk);
        return heightOk ? (ok ? width : 0) : -1;
    }
    return ok && width >= 0 ? width : -1;
}

void readPictureLine(QStringView line, WikiMap& map)
{
    const QList<QStringView> parts = line.split(u'|');
    const QStringView file = parts.front().trimmed();
    const qsizetype colon = file.indexOf(u':');
    map.picture = file.sliced(colon + 1).trimmed().toString();
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QStringView option = parts[i].trimmed();
        if (const int width = widthOption(option); width >= 0)
            map.width = width;
        else if (!option.isEmpty() && !isPictureOption(option))
            map.caption = option.toString();
    }
}

struct Link {
    QString href;
    QString alt;
};

// "[[Seite|Text]]" or "[https://... Text]"; a link trail after "]]" is the wiki's.
std::optional<Link> readLink(QStringView text)
{
    if (text.startsWith(u"[[")) {
        const qsizetype end = text.lastIndexOf(u"]]");
        if (end < 2)
            return std::nullopt;
        const QStringView inside = text.sliced(2, end - 2);
        const qsizetype bar = inside.indexOf(u'|');
        return Link{inside.first(bar < 0 ? inside.size() : bar).trimmed().toString(),
                    bar < 0 ? QString() : unescapedText(inside.sliced(bar + 1).trimmed().toString())};
    }
    const qsizetype end = text.lastIndexOf(u']');
    if (!text.startsWith(u'[') || end < 1)
        return std::nullopt;
    const QStringView inside = text.sliced(1, end - 1).trimmed();
    qsizetype blank = 0;
    while (blank < inside.size() && !inside[blank].isSpace())
        ++blank;
    return Link{inside.first(blank).toString(), unescapedText(inside.sliced(blank).trimmed().toString())};
}

// An area of a shape line; nothing for a line the wiki would not take.
std::optional<QString> readShapeLine(QStringView line)
{
    qsizetype at = 0;
    while (at < line.size() && !line[at].isSpace() && line[at] != u'[')
        ++at;
    const QString shape = line.first(at).toString().toLower();
    if (shape != QLatin1String("rect") && shape != QLatin1String("circle") && shape != QLatin1String("poly") &&
        shape != QLatin1String("default"))
        return std::nullopt;
    const qsizetype bracket = line.indexOf(u'[', at);
    if (bracket < 0)
        return std::nullopt;
    QStringList numbers;
    for (const QStringView word : line.sliced(at, bracket - at).split(u' ', Qt::SkipEmptyParts)) {
        const QStringView number = word.trimmed();
        bool ok = false;
        (void)number.toDouble(&ok);
        if (!ok)
            return std::nullopt;
        numbers << number.toString();
    }
    const std::optional<Link> link = readLink(line.sliced(bracket).trimmed());
    if (!link || link->href.isEmpty())
        return std::nullopt;
    LinkAttributes a;
    a.href = entry::escapeBar(link->href);
    a.alt = entry::escapeBar(link->alt);
    return entry::makeLine(QStringLiteral(" "), shape, numbers.join(QLatin1Char(',')), a);
}

} // namespace

std::optional<WikiMap> readImagemap(QStringView text)
{
    const std::optional<Block> block = findBlock(text);
    if (!block)
        return std::nullopt;
    WikiMap map;
    bool first = true;
    qsizetype start = block->from;
    while (start < block->to) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0 || end > block->to)
            end = block->to;
        const QStringView raw = text.sliced(start, end - start);
        const QString line =
            (block->escaped ? browser::decodeReferences(raw) : raw.toString()).replace(u'\t', u' ').trimmed();
        const qsizetype lineStart = start;
        start = end + 1;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (first) {
            first = false;
            readPictureLine(line, map);
        } else if (const std::optional<QString> area = readShapeLine(line)) {
            map.lines.append(*area);
            map.starts.append(lineStart);
        }
    }
    if (first)
        return std::nullopt; // not even a picture: no map
    return map;
}

} // namespace korvane::wiki
