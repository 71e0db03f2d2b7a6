#include "model/MapCode.h"

#include "model/AreaEntry.h"
#include "model/BrowserRules.h"
#include "model/ExtraAttributes.h"
#include "model/Paths.h"

#include <QDir>

#include <algorithm>
#include <array>
#include <functional>
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

// A relative path as the path of an address: blanks and what a browser
// would read otherwise escaped. On this system a "\\" is a character of a file
// name, which an address must escape (a browser reads a bare one as "/").
QString relativeAddress(QStringView path)
{
    QString address = urlSafe(path);
    address.replace(QLatin1Char(' '), QStringLiteral("%20"));
    if (QDir::separator() == u'/')
        address.replace(QLatin1Char('\\'), QStringLiteral("%5C"));
    else
        address.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return address;
}

// A path relative to where the page lies: a picture the page named that is
// not on this computer.
bool isRelativeWithFolder(const QString& path)
{
    return !isDrivePath(path) && !QDir::isAbsolutePath(path) && !path.startsWith(QLatin1Char('\\')) &&
           lastSeparator(path) >= 0;
}

// The specified address: the folder's blanks as "%20" behind "file:///", the
// file name as it is; or, `wholeName`, the file name's blanks escaped too.
// A relative path (a picture not found) stays relative, escaped whole.
QString imageSource(const QString& imagePath, bool wholeName = false)
{
    if (isRelativeWithFolder(imagePath))
        return relativeAddress(imagePath);
    QString folder = urlSafe(folderOf(imagePath));
    if (!folder.isEmpty()) {
        folder.replace(QLatin1Char('\\'), QLatin1Char('/')).replace(QLatin1Char(' '), QStringLiteral("%20"));
        // An absolute Unix path brings its own leading slash.
        folder.prepend(folder.startsWith(QLatin1Char('/')) ? QStringLiteral("file://") : QStringLiteral("file:///"));
    }
    QString name = urlSafe(fileNameOf(imagePath));
    if (wholeName)
        name.replace(QLatin1Char(' '), QStringLiteral("%20"));
    return folder + name;
}

enum class References { Keep, Escape };

// The characters of a reference as numbers, which every reader takes alike.
template <typename Out> void appendNumeric(Out& out, const browser::Reference& reference)
{
    for (const char32_t c : {reference.first, reference.second}) {
        if (c != 0)
            out += QString(QStringLiteral("&#") + QString::number(quint32(c)) + QLatin1Char(';'));
    }
}

bool isReferenceCharacter(QChar c)
{
    return c == u'#' || (c.unicode() < 128 && c.isLetterOrNumber());
}

// The reference that starts at value[at]. A Latin-1 value (a line read in
// place, its link perhaps hundreds of MB) is read through a copy of the
// reference alone: its letters, digits and "#", and the one character the
// reading looks at beyond them.
template <typename View> std::optional<browser::Reference> referenceIn(View value, qsizetype at)
{
    if constexpr (std::is_same_v<View, QLatin1StringView>) {
        qsizetype end = at + 1;
        while (end < value.size() && isReferenceCharacter(value[end]))
            ++end;
        const QString reference = value.sliced(at, std::min(end + 1, value.size()) - at).toString();
        return browser::referenceAt(reference, 0);
    } else {
        return browser::referenceAt(QStringView(value), at);
    }
}

template <typename View> browser::Shape shapeIn(View keyword)
{
    if constexpr (std::is_same_v<View, QLatin1StringView>)
        return browser::shapeOf(keyword.size() > 16 ? QString() : keyword.toString());
    else
        return browser::shapeOf(QStringView(keyword));
}

// Appends a value so that a browser reads it as it is meant: a double quote
// would end the attribute early, a lone "&" and a "<" break the page as XML.
// References in link values mean what a browser reads from them: one that
// an XML reader takes the same ("&auml;", "&#228;") stays as written, one it
// does not ("&COPY", "&hellip", "&#128;") is written as the characters' numbers,
// and an "&" that starts none is escaped. A file path holds none, so there
// every "&" is escaped. Plain characters go in as runs: a million areas pass here.
template <typename Out, typename View> void appendValue(Out& out, View value, References references = References::Keep)
{
    static_assert(!std::is_same_v<View, QString>, "runs are appended as views, not as copies");
    qsizetype run = 0; // the first character not appended yet
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        QStringView escaped;
        std::optional<browser::Reference> reference;
        if (c == kQuote) {
            escaped = u"&quot;";
        } else if (c == QLatin1Char('<')) {
            escaped = u"&lt;";
        } else if (c == QLatin1Char('&')) {
            if (references == References::Keep)
                reference = referenceIn(value, i);
            if (reference && reference->xmlSafe) {
                i += reference->length - 1;
                continue;
            }
            if (!reference)
                escaped = u"&amp;";
        } else {
            continue;
        }
        out += value.sliced(run, i - run);
        if (reference) {
            appendNumeric(out, *reference);
            i += reference->length - 1;
        } else {
            out += escaped;
        }
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

// `Out` takes the text (a QString, or a ShownPart); `View` is a line kept
// as UTF-16 or as Latin-1, which is read in place.
template <typename Out, typename View> void appendAreaElement(Out& out, View line)
{
    using namespace entry;
    const auto f = entry::fieldsOf(line);
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
    // A default area is the whole picture: coordinates are not valid on it.
    if (shapeIn(f[Shape].trimmed()) != browser::Shape::Default) {
        out += QStringView(u"\" coords=\"");
        appendValue(out, f[Coords]);
    }
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
    // An empty target is the same as none to a browser, and not a valid one.
    if (f[Target] != kAbsent && !f[Target].isEmpty())
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

namespace {

// Hands what appendValue() appends on to `write`, runs of a Latin-1 value a
// piece at a time, so that no part is ever a copy of a huge value.
class ValueWriter {
public:
    explicit ValueWriter(const std::function<void(QStringView)>& write) : m_write(write) {}
    ValueWriter& operator+=(QStringView part)
    {
        for (qsizetype at = 0; at < part.size(); at += kPiece)
            m_write(part.sliced(at, std::min(kPiece, part.size() - at)));
        return *this;
    }
    ValueWriter& operator+=(QLatin1StringView part)
    {
        for (qsizetype at = 0; at < part.size(); at += kPiece) {
            m_piece = part.sliced(at, std::min(kPiece, part.size() - at));
            m_write(m_piece);
        }
        return *this;
    }

private:
    static constexpr qsizetype kPiece = 64 * 1024;
    const std::function<void(QStringView)>& m_write;
    QString m_piece;
};

} // namespace

void writeAttributeValue(QStringView value, const std::function<void(QStringView)>& write)
{
    ValueWriter out(write);
    appendValue(out, value);
}

void writeAttributeValue(QLatin1StringView value, const std::function<void(QStringView)>& write)
{
    ValueWriter out(write);
    appendValue(out, value);
}

QString attributeValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    appendValue(out, QStringView(value));
    return out;
}

QString imageSourceValue(const QString& imagePath)
{
    QString source;
    appendValue(source, QStringView(imageSource(imagePath)), References::Escape);
    return source;
}

QString pageImageSourceValue(const QString& imagePath)
{
    QString source;
    appendValue(source, QStringView(imageSource(imagePath, true)), References::Escape);
    return source;
}

QString relativeImageSourceValue(const QString& imagePath, const QString& pageFolder)
{
    if (isDrivePath(imagePath))
        return imageSourceValue(imagePath);
    QString relative = imagePath;
    if (QDir::isAbsolutePath(imagePath) && !pageFolder.isEmpty())
        relative = relativePath(imagePath, pageFolder);
    QString source;
    appendValue(source, QStringView(relativeAddress(relative)), References::Escape);
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
