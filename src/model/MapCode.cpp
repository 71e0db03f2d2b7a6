#include "model/MapCode.h"

#include "model/AreaEntry.h"
#include "model/ExtraAttributes.h"
#include "model/Paths.h"

#include <QDir>

#include <algorithm>
#include <array>
#include <type_traits>

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

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// A browser would read "#" as the start of a fragment, "?" as a query and
// "%41" as an escape: they are written as escapes themselves.
QString urlSafe(QStringView path)
{
    QString out;
    out.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path[i];
        if (c == QLatin1Char('#'))
            out += QLatin1String("%23");
        else if (c == QLatin1Char('?'))
            out += QLatin1String("%3F");
        else if (c == QLatin1Char('%') && i + 2 < path.size() && isHexDigit(path[i + 1]) && isHexDigit(path[i + 2]))
            out += QLatin1String("%25");
        else
            out += c;
    }
    return out;
}

QString imageSource(const QString& imagePath)
{
    QString folder = urlSafe(folderOf(imagePath));
    if (!folder.isEmpty()) {
        folder.replace(QLatin1Char('\\'), QLatin1Char('/')).replace(QLatin1Char(' '), QStringLiteral("%20"));
        // An absolute Unix path brings its own leading slash.
        folder.prepend(folder.startsWith(QLatin1Char('/')) ? QStringLiteral("file://") : QStringLiteral("file:///"));
    }
    return folder + urlSafe(fileNameOf(imagePath));
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isAsciiAlnum(QChar c)
{
    return isAsciiDigit(c) || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// Whether the "&" at `at` starts a character reference: "&name;", "&#123;" or "&#x1F;".
template <typename View> bool startsReference(View text, qsizetype at)
{
    const View rest = text.sliced(at + 1);
    // At least one allowed character from `from` on, then ";".
    auto runThenSemicolon = [&](qsizetype from, bool (*allowed)(QChar)) {
        qsizetype i = from;
        while (i < rest.size() && allowed(rest[i]))
            ++i;
        return i > from && i < rest.size() && rest[i] == QLatin1Char(';');
    };
    if (rest.startsWith(u"#x") || rest.startsWith(u"#X"))
        return runThenSemicolon(2, isHexDigit);
    if (rest.startsWith(u'#'))
        return runThenSemicolon(1, isAsciiDigit);
    return !rest.isEmpty() && !isAsciiDigit(rest[0]) && runThenSemicolon(0, isAsciiAlnum);
}

enum class References { Keep, Escape };

// Appends a value so that a browser reads it as it is meant: a double quote
// would end the attribute early, a lone "&" and a "<" break the page as XML.
// References in link values stay, so values imported with them keep their
// meaning; a file path holds none, so there every "&" is escaped.
// Plain characters go in as runs: a million areas pass here.
template <typename Out, typename View> void appendValue(Out& out, View value, References references = References::Keep)
{
    qsizetype run = 0; // the first character not appended yet
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        QStringView escaped;
        if (c == kQuote)
            escaped = u"&quot;";
        else if (c == QLatin1Char('&') && (references == References::Escape || !startsReference(value, i)))
            escaped = u"&amp;";
        else if (c == QLatin1Char('<'))
            escaped = u"&lt;";
        else
            continue;
        out += value.sliced(run, i - run);
        out += escaped;
        run = i + 1;
    }
    out += value.sliced(run);
}

template <typename Out, typename View> void appendAttribute(Out& out, QLatin1String name, View value)
{
    out += name;
    out += QLatin1String("=\"");
    appendValue(out, value);
    out += kQuote;
}

// The fields of one line as views, without allocating a list per line;
// field 8 holds the attributes an import kept (empty for most lines).
template <typename View> std::array<View, 9> fieldViews(View line)
{
    std::array<View, 9> fields;
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

// `Out` takes the text (a QString, or a ShownPart); `View` is a line kept
// as UTF-16 or as Latin-1, which is read in place.
template <typename Out, typename View> void appendAreaElement(Out& out, View line)
{
    using namespace entry;
    const auto f = fieldViews(line);
    extra::Attributes kept;
    if (!f[extra::kField].isEmpty()) {
        if constexpr (std::is_same_v<View, QStringView>)
            kept = extra::parse(f[extra::kField]);
        else
            kept = extra::parse(f[extra::kField].toString());
    }
    const bool noLink = f[Href].isEmpty() && extra::has(kept, extra::kNoHref);
    const QString title = extra::valueOf(kept, u"title");
    out += QStringView(u"<area shape=\"");
    appendValue(out, f[Shape].trimmed());
    out += QStringView(u"\" alt=\"");
    appendValue(out, f[Alt]);
    out += QStringView(u"\" coords=\"");
    appendValue(out, f[Coords]);
    if (!noLink) {
        out += QStringView(u"\" href=\"");
        appendValue(out, f[Href]);
    }
    out += QStringView(u"\" title=\"");
    if (title.isNull())
        appendValue(out, f[Alt]);
    else
        appendValue(out, QStringView(title));
    out += QStringView(u"\" ");
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
    for (const extra::Attribute& a : kept) {
        if (a.name == QLatin1String("title"))
            continue;
        out += QStringView(a.name);
        out += QLatin1String("=\"");
        appendValue(out, QStringView(a.value));
        out += QLatin1String("\" ");
    }
    out += QStringView(u"/>\r\n");
}

} // namespace

bool isDefaultArea(QStringView line)
{
    const qsizetype bar = line.indexOf(QLatin1Char('|'));
    return (bar < 0 ? line : line.first(bar)).trimmed().compare(QLatin1String("default"), Qt::CaseInsensitive) == 0;
}

QString attributeValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    appendValue(out, value);
    return out;
}

QString imageSourceValue(const QString& imagePath)
{
    QString source;
    appendValue(source, imageSource(imagePath), References::Escape);
    return source;
}

QString relativeImageSourceValue(const QString& imagePath, const QString& pageFolder)
{
    if (isDrivePath(imagePath))
        return imageSourceValue(imagePath);
    QString relative = imagePath;
    if (QDir::isAbsolutePath(imagePath) && !pageFolder.isEmpty())
        relative = QDir(pageFolder).relativeFilePath(imagePath);
    relative = urlSafe(relative);
    relative.replace(QLatin1Char('\\'), QLatin1Char('/')).replace(QLatin1Char(' '), QStringLiteral("%20"));
    QString source;
    appendValue(source, relative, References::Escape);
    return source;
}

QString withImageSource(const QString& code, const QString& imagePath, const QString& source)
{
    const QString written = QStringLiteral("<img src=\"") + imageSourceValue(imagePath) + kQuote;
    return QString(code).replace(written, QStringLiteral("<img src=\"") + source + kQuote);
}

QString withPageRelativeSource(const QString& code, const QString& imagePath, const QString& pageFolder)
{
    return withImageSource(code, imagePath, relativeImageSourceValue(imagePath, pageFolder));
}

QString mapNameFor(const QString& imagePath, const QString& mapName)
{
    return mapName.isEmpty() ? derivedMapName(imagePath) : mapName;
}

QString img_zeile_ermitteln(const QString& imagePath, const QString& mapName, QSize canvasSize)
{
    return QStringLiteral("<img src=\"") + imageSourceValue(imagePath) + QStringLiteral("\" width=\"") +
           QString::number(canvasSize.width()) + QStringLiteral("\" height=\"") + QString::number(canvasSize.height()) +
           QStringLiteral("\" alt=\"\" usemap=\"#") + attributeValue(mapNameFor(imagePath, mapName)) + kQuote +
           QStringLiteral(" style=\"border-style:none\" />") + kCrLf;
}

QString areaElement(const QString& line)
{
    QString out;
    appendAreaElement(out, QStringView(line));
    return out;
}

QString map_daten(const AreaLines& lines, const QString& imagePath, const QString& mapName, QSize canvasSize)
{
    return MapCodeSource(lines, imagePath, mapName, canvasSize).text();
}

MapCodeSource::MapCodeSource(const AreaLines& lines, const QString& imagePath, const QString& mapName, QSize canvasSize)
    : m_lines(lines), m_imagePath(imagePath), m_mapName(mapName), m_canvasSize(canvasSize)
{
}

QString MapCodeSource::text() const
{
    if (m_lines.isEmpty())
        return {};
    QString text;
    text.reserve(64 + m_lines.size() * 160);
    text += head();
    QString line;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        m_lines.read(i, line);
        appendAreaElement(text, QStringView(line));
    }
    text += tail();
    return text;
}

namespace {
constexpr size_t kFirstSeed = 0x9e3779b9;
constexpr size_t kSecondSeed = 0x2545f491;
} // namespace

QByteArray codeFingerprint(QStringView code)
{
    // A cryptographic hash would take seconds for the code of a million areas.
    if (code.isEmpty())
        return {};
    return QByteArray::number(code.size()) + ':' + QByteArray::number(quint64(qHash(code, kFirstSeed))) + ':' +
           QByteArray::number(quint64(qHash(code, kSecondSeed)));
}

QByteArray MapCodeSource::fingerprint() const
{
    if (m_lines.isEmpty())
        return {};
    // Marked apart from a fingerprint of code text, whose first part is a number.
    return "lines:" + QByteArray::number(quint64(m_lines.hash(kFirstSeed))) + ':' +
           QByteArray::number(quint64(m_lines.hash(kSecondSeed))) + ':' + QByteArray::number(m_canvasSize.width()) +
           'x' + QByteArray::number(m_canvasSize.height()) + ':' + m_imagePath.toUtf8() + '\0' + m_mapName.toUtf8();
}

QString MapCodeSource::head() const
{
    if (m_lines.isEmpty())
        return {};
    const QString name = attributeValue(mapNameFor(m_imagePath, m_mapName));
    return QStringLiteral("<!-- HTML-Code fuer den Image-Tag   -->") + kCrLf +
           img_zeile_ermitteln(m_imagePath, m_mapName, m_canvasSize) +
           QStringLiteral("<!-- HTML-Code der eigentlichen ImageMap   -->") + kCrLf + QStringLiteral("<map id=\"") +
           name + QStringLiteral("\" name=\"") + name + QStringLiteral("\">") + kCrLf;
}

void MapCodeSource::appendElement(QString& out, qsizetype i) const
{
    appendAreaElement(out, QStringView(m_lines.at(i)));
}

ShownPart MapCodeSource::shownElement(qsizetype i, qsizetype keep) const
{
    ShownPart shown(keep);
    QString room;
    m_lines.withLine(i, room, [&shown](auto line) { appendAreaElement(shown, line); });
    return shown;
}

QString MapCodeSource::tail() const
{
    if (m_lines.isEmpty())
        return {};
    // An imported default area with its link is the map's default area.
    bool ownDefault = false;
    QString room;
    for (qsizetype i = 0; i < m_lines.size() && !ownDefault; ++i) {
        // Only the shape is looked at: a line kept as Latin-1 is read in place.
        ownDefault = m_lines.withLine(i, room, [](auto line) {
            const qsizetype bar = line.indexOf(QLatin1Char('|'));
            return (bar < 0 ? line : line.first(bar))
                       .trimmed()
                       .compare(QLatin1String("default"), Qt::CaseInsensitive) == 0;
        });
    }
    QString tail;
    if (!ownDefault)
        tail += QStringLiteral("<area shape=\"default\" nohref=\"nohref\" alt=\"\" />") + kCrLf;
    return tail + QStringLiteral("</map>") + kCrLf;
}

} // namespace korvane
