#include "io/PageText.h"

#include "io/MapFileWriter.h"

#include <QList>

#include <array>

namespace korvane {

namespace {

constexpr char16_t kParagraphBreak = 0x2029;
const QByteArray kUtf8Mark("\xEF\xBB\xBF");

// Characters that render with no width and hardly ever occur in web pages;
// a page that holds one of them simply gets the next.
constexpr std::array<char16_t, 12> kMarkerCandidates = {0x2063, 0x2062, 0x2061, 0x2064, 0x2060, 0x200B,
                                                        0x200C, 0x200D, 0x206A, 0x206B, 0x206C, 0x206D};

QString nativeLineEnd()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

// The characters QTextDocument turns into a paragraph break besides "\r" and "\n".
bool isOtherBreak(QChar c)
{
    const char16_t u = c.unicode();
    return u == kParagraphBreak || u == 0xFDD0 || u == 0xFDD1;
}

// Length of the line end starting at i (0 when none).
qsizetype lineEndAt(const QString& text, qsizetype i)
{
    const QChar c = text[i];
    if (c == QLatin1Char('\r'))
        return i + 1 < text.size() && text[i + 1] == QLatin1Char('\n') ? 2 : 1;
    return c == QLatin1Char('\n') || isOtherBreak(c) ? 1 : 0;
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
    if (detectEncoding(bytes) == TextEncoding::Utf8)
        return TextEncoding::Utf8;
    if (!isValidUtf8(bytes))
        return TextEncoding::Windows1252;
    return declaresUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

QString PageText::load(const QByteArray& bytes)
{
    m_encoding = pageEncoding(bytes);
    m_byteOrderMark = m_encoding == TextEncoding::Utf8 && bytes.startsWith(kUtf8Mark);
    const QString text = decodeText(m_byteOrderMark ? bytes.mid(kUtf8Mark.size()) : bytes, m_encoding);

    QHash<QString, int> counts;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (const qsizetype n = lineEndAt(text, i)) {
            ++counts[text.mid(i, n)];
            i += n - 1;
        }
    }
    m_usualLineEnd = counts.isEmpty() ? nativeLineEnd() : mostFrequent(counts);

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

    QString shown;
    shown.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = lineEndAt(text, i);
        if (n == 0) {
            shown += text[i];
            continue;
        }
        const QString end = text.mid(i, n);
        if (end != m_usualLineEnd && markerFor.contains(end))
            shown += markerFor.value(end);
        shown += QLatin1Char('\n');
        i += n - 1;
    }
    return shown;
}

QString PageText::pageText(const QString& rawText) const
{
    if (m_markers.isEmpty())
        return QString(rawText).replace(QChar(kParagraphBreak), m_usualLineEnd);
    QString text;
    text.reserve(rawText.size() + rawText.size() / 32);
    QChar pending; // a marker waiting for its break
    for (const QChar c : rawText) {
        if (isMarker(c)) {
            pending = c;
        } else if (c.unicode() == kParagraphBreak) {
            text += pending.isNull() ? m_usualLineEnd : m_markers.value(pending);
            pending = QChar();
        } else {
            // A marker no longer in front of a break belonged to a line end the
            // user removed.
            pending = QChar();
            text += c;
        }
    }
    return text;
}

qsizetype PageText::pageLength(const QString& rawText) const
{
    qsizetype length = 0;
    QChar pending;
    for (const QChar c : rawText) {
        if (isMarker(c)) {
            pending = c;
            continue;
        }
        if (c.unicode() == kParagraphBreak)
            length += pending.isNull() ? m_usualLineEnd.size() : m_markers.value(pending).size();
        else
            ++length;
        pending = QChar();
    }
    return length;
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
    const QByteArray body = m_encoding == TextEncoding::Utf8 ? text.toUtf8() : toWindows1252Html(text);
    return m_byteOrderMark ? kUtf8Mark + body : body;
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
