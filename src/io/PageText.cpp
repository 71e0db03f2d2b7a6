#include "io/PageText.h"

#include "io/MapFileWriter.h"

#include <QList>

#include <algorithm>
#include <array>

namespace korvane {

namespace {

constexpr char16_t kParagraphBreak = 0x2029;
const QByteArray kUtf8Mark("\xEF\xBB\xBF");

// Characters that render with no width and hardly ever occur in web pages;
// a page that holds one of them simply gets the next.
constexpr std::array<char16_t, 12> kMarkerCandidates = {0x2063, 0x2062, 0x2061, 0x2064, 0x2060, 0x200B,
                                                        0x200C, 0x200D, 0x206A, 0x206B, 0x206C, 0x206D};

// The line ends QTextDocument turns into a paragraph break, by kind.
const std::array<QString, 6> kLineEnds = {QStringLiteral("\r\n"), QStringLiteral("\n"),
                                          QStringLiteral("\r"),   QString(QChar(kParagraphBreak)),
                                          QString(QChar(0xFDD0)), QString(QChar(0xFDD1))};
constexpr int kCrLfKind = 0; // index of "\r\n" in kLineEnds
using LineEndCounts = std::array<qsizetype, 6>;

// The kind of line end starting at i, or -1. Most characters leave at the
// first comparison.
inline int lineEndKind(const char16_t* chars, qsizetype size, qsizetype i)
{
    const char16_t c = chars[i];
    if (c > u'\r' && c < kParagraphBreak)
        return -1;
    switch (c) {
    case u'\r':
        return i + 1 < size && chars[i + 1] == u'\n' ? kCrLfKind : 2;
    case u'\n':
        return 1;
    case kParagraphBreak:
        return 3;
    case 0xFDD0:
        return 4;
    case 0xFDD1:
        return 5;
    default:
        return -1;
    }
}

LineEndCounts countLineEnds(const char16_t* chars, qsizetype size)
{
    LineEndCounts counts = {};
    for (qsizetype i = 0; i < size; ++i) {
        const int kind = lineEndKind(chars, size, i);
        if (kind < 0)
            continue;
        ++counts[kind];
        if (kind == kCrLfKind)
            ++i;
    }
    return counts;
}

// The same answer as isValidUtf8() on the whole, but a page that is not UTF-8
// usually shows it in its first piece. Pieces end in front of an ASCII byte,
// which never splits a UTF-8 sequence.
bool isValidUtf8InPieces(const QByteArray& bytes)
{
    constexpr qsizetype kPiece = 64 * 1024;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = std::min(start + kPiece, bytes.size());
        while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) >= 0x80)
            ++end;
        if (!isValidUtf8(QByteArray::fromRawData(bytes.constData() + start, end - start)))
            return false;
        start = end;
    }
    return true;
}

QString mostFrequent(const QHash<QString, int>& counts)
{
    // Ties go to the more common style.
    const QStringList preferred = {QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r")};
    QString best;
    int bestCount = 0;
    for (const QString& end : preferred) {
        if (counts.value(end) > bestCount) {
            best = end;
            bestCount = counts.value(end);
        }
    }
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    return best;
}

// The charset a page names for itself (a meta "charset" or the XML
// declaration's "encoding"), lower-cased; empty when it names none.
QByteArray declaredCharset(const QByteArray& bytes)
{
    const QByteArray lower = bytes.left(64 * 1024).toLower();
    for (const QByteArray& key : {QByteArray("charset"), QByteArray("encoding")}) {
        qsizetype at = lower.indexOf(key);
        if (at < 0)
            continue;
        at += key.size();
        while (at < lower.size() && QByteArray(" \t\r\n=\"'").contains(lower[at]))
            ++at;
        return lower.mid(at, 12);
    }
    return {};
}

// Plain ASCII reads the same either way; what matters is how the page will be
// read once code with umlauts is in it. Only a page that says it is UTF-8
// (an XML document that names no encoding is UTF-8 by definition) gets it.
bool declaresUtf8(const QByteArray& bytes)
{
    const QByteArray charset = declaredCharset(bytes);
    if (charset.startsWith("utf-8") || charset.startsWith("utf8"))
        return true;
    return charset.isEmpty() && bytes.left(256).trimmed().startsWith("<?xml");
}

} // namespace

TextEncoding pageEncoding(const QByteArray& bytes)
{
    if (const TextEncoding marked = utf16ByMark(bytes); marked != TextEncoding::Utf8)
        return marked;
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii)
        return isValidUtf8InPieces(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    return declaresUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

QString PageText::load(const QByteArray& bytes)
{
    m_encoding = pageEncoding(bytes);
    // A UTF-16 page always has its mark (it was recognised by it); decoding drops it.
    m_byteOrderMark =
        m_encoding == TextEncoding::Utf8 ? bytes.startsWith(kUtf8Mark) : m_encoding != TextEncoding::Windows1252;
    const bool utf8Mark = m_byteOrderMark && m_encoding == TextEncoding::Utf8;
    const QString text = decodeText(utf8Mark ? bytes.mid(kUtf8Mark.size()) : bytes, m_encoding);
    const char16_t* chars = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();

    const LineEndCounts ends = countLineEnds(chars, size);
    QHash<QString, int> counts;
    for (std::size_t kind = 0; kind < kLineEnds.size(); ++kind) {
        if (ends[kind] > 0)
            counts.insert(kLineEnds[kind], int(ends[kind]));
    }
    // A page without any line end has no style to keep: lines added to it
    // (the pasted code) keep the CR LF they come with.
    m_usualLineEnd = counts.isEmpty() ? kCrLf : mostFrequent(counts);

    m_markers.clear();
    QHash<QString, QChar> markerFor;
    std::size_t candidate = 0;
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        if (it.key() == m_usualLineEnd)
            continue;
        while (candidate < kMarkerCandidates.size() && text.contains(QChar(kMarkerCandidates[candidate])))
            ++candidate;
        // Twelve candidates for at most five other line ends: one is always free
        // unless the page holds nearly all of them; then the usual end is taken.
        if (candidate == kMarkerCandidates.size())
            break;
        const QChar marker(kMarkerCandidates[candidate++]);
        m_markers.insert(marker, it.key());
        markerFor.insert(it.key(), marker);
    }

    // The marker in front of each kind of line end (0: none).
    std::array<char16_t, kLineEnds.size()> markerOf = {};
    qsizetype markerCount = 0;
    for (std::size_t kind = 0; kind < kLineEnds.size(); ++kind) {
        if (kLineEnds[kind] != m_usualLineEnd && markerFor.contains(kLineEnds[kind])) {
            markerOf[kind] = markerFor.value(kLineEnds[kind]).unicode();
            markerCount += ends[kind];
        }
    }

    // Written straight into place: a page can hold millions of characters.
    QString shown(size - ends[kCrLfKind] + markerCount, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(shown.data());
    for (qsizetype i = 0; i < size; ++i) {
        const int kind = lineEndKind(chars, size, i);
        if (kind < 0) {
            *out++ = chars[i];
            continue;
        }
        if (markerOf[kind])
            *out++ = markerOf[kind];
        *out++ = u'\n';
        if (kind == kCrLfKind)
            ++i;
    }
    return shown;
}

QString PageText::pageText(const QString& rawText) const
{
    if (m_markers.isEmpty())
        return QString(rawText).replace(QChar(kParagraphBreak), m_usualLineEnd);
    // No line end is longer than two characters.
    QString text(rawText.size() * 2, Qt::Uninitialized);
    QChar* out = text.data();
    QChar pending; // a marker waiting for its break
    for (const QChar c : rawText) {
        if (isMarker(c)) {
            pending = c;
            continue;
        }
        if (c.unicode() == kParagraphBreak) {
            const QString& end = pending.isNull() ? m_usualLineEnd : *m_markers.constFind(pending);
            for (const QChar e : end)
                *out++ = e;
        } else {
            // A marker no longer in front of a break belonged to a line end the
            // user removed.
            *out++ = c;
        }
        pending = QChar();
    }
    text.truncate(out - text.constData());
    return text;
}

qsizetype PageText::pageLength(const QString& rawText) const
{
    qsizetype length = 0;
    for (const qsizetype block : blockLengths(rawText, QChar(kParagraphBreak)))
        length += block;
    return length;
}

qsizetype PageText::blockLength(QStringView blockText, bool hasBreak) const
{
    qsizetype length = blockText.size();
    for (const QChar c : blockText) {
        if (isMarker(c))
            --length;
    }
    if (!hasBreak)
        return length;
    // Only a marker right in front of the break stands for its line end.
    const QChar last = blockText.isEmpty() ? QChar() : blockText.back();
    return length + (isMarker(last) ? m_markers.value(last).size() : m_usualLineEnd.size());
}

std::vector<qsizetype> PageText::blockLengths(QStringView text, QChar separator) const
{
    std::vector<qsizetype> lengths;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(separator, start);
        if (end < 0)
            break;
        lengths.push_back(blockLength(text.mid(start, end - start), true));
        start = end + 1;
    }
    lengths.push_back(blockLength(text.mid(start), false));
    return lengths;
}

// Every character passes here on saving and counting: the range test keeps
// the look-up off the common path.
bool PageText::isMarker(QChar c) const
{
    const char16_t u = c.unicode();
    return u >= 0x200B && u <= 0x206D && m_markers.contains(c);
}

QByteArray PageText::save(const QString& rawText) const
{
    const QString text = pageText(rawText);
    if (m_encoding == TextEncoding::Windows1252)
        return toWindows1252Html(text);
    const QByteArray mark = m_encoding == TextEncoding::Utf8 ? kUtf8Mark : korvane::byteOrderMark(m_encoding);
    return (m_byteOrderMark ? mark : QByteArray()) + encodeText(text, m_encoding);
}

QString PageText::withoutMarkers(const QString& rawText) const
{
    if (m_markers.isEmpty())
        return rawText;
    QString text = rawText;
    for (auto it = m_markers.begin(); it != m_markers.end(); ++it)
        text.remove(it.key());
    return text;
}

qsizetype PageText::pageLength(qsizetype charactersWithBreaks, qsizetype breaks) const
{
    return charactersWithBreaks + breaks * (m_usualLineEnd.size() - 1);
}

} // namespace korvane
