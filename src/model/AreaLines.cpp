#include "model/AreaLines.h"

#include "model/Latin1.h"
#include "model/PageFaults.h"

#include <QDebug>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace korvane {

namespace {

// Below this, unused bytes are not worth a rewrite of the buffer.
constexpr qsizetype kUnusedLimit = 64 * 1024;

} // namespace

AreaLines::AreaLines(const QStringList& lines)
{
    qsizetype characters = 0;
    for (const QString& line : lines)
        characters += line.size();
    reserve(lines.size(), characters);
    for (const QString& line : lines)
        append(line);
}

AreaLines::AreaLines(std::initializer_list<QString> lines)
{
    for (const QString& line : lines)
        append(line);
}

QString AreaLines::at(qsizetype i) const
{
    const Span& span = m_spans.at(i);
    const char* bytes = m_text.constData() + span.start;
    if (span.length >= 0)
        return QString::fromLatin1(bytes, span.length);
    // Wide lines start at an even offset of the buffer: the units are aligned.
    return QString(reinterpret_cast<const QChar*>(bytes), -span.length);
}

QString AreaLines::left(qsizetype i, qsizetype n) const
{
    const Span& span = m_spans.at(i);
    const char* bytes = m_text.constData() + span.start;
    if (span.length >= 0)
        return QString::fromLatin1(bytes, std::min<qsizetype>(span.length, n));
    return QString(reinterpret_cast<const QChar*>(bytes), std::min<qsizetype>(-span.length, n));
}

void AreaLines::read(qsizetype i, QString& into) const
{
    const Span& span = m_spans.at(i);
    const char* bytes = m_text.constData() + span.start;
    if (span.length >= 0) {
        into = QLatin1StringView(bytes, span.length); // keeps the string's room
        return;
    }
    into.resize(-span.length);
    std::memcpy(into.data(), bytes, size_t(span.bytes()));
}

bool AreaLines::hasLineEnd(qsizetype i) const
{
    const Span& span = m_spans.at(i);
    const char* bytes = m_text.constData() + span.start;
    if (span.length >= 0) // no paragraph separator among Latin-1 characters
        return std::memchr(bytes, '\n', size_t(span.length)) || std::memchr(bytes, '\r', size_t(span.length));
    const QStringView units(reinterpret_cast<const QChar*>(bytes), -span.length);
    return std::any_of(units.begin(), units.end(), [](QChar c) {
        return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(QChar::ParagraphSeparator);
    });
}

qsizetype AreaLines::lineSize(qsizetype i) const
{
    const qint64 length = m_spans.at(i).length;
    return length < 0 ? -length : length;
}

// The buffer longer by `bytes`; gives where they go.
char* AreaLines::grownBy(qsizetype bytes)
{
    const qsizetype from = m_text.size();
    const qsizetype room = from + m_text.data_ptr().freeSpaceAtEnd();
    // Growing in place writes the terminating zero at the new end: its page is made ready first.
    if (m_text.isDetached() && from + bytes < room)
        m_textAhead.before(const_cast<char*>(m_text.constData()), size_t(from + bytes + 1), size_t(room));
    else
        m_textAhead.stop(); // the buffer is about to move
    m_text.resize(from + bytes);
    return m_text.data() + from;
}

AreaLines::Span AreaLines::store(QStringView line)
{
    const bool latin1 = QtPrivate::isLatin1(line);
    if (!latin1 && m_text.size() % 2 != 0)
        *grownBy(1) = '\0';
    Span span{m_text.size(), latin1 ? line.size() : -line.size()};
    char* out = grownBy(span.bytes());
    if (latin1)
        narrowLatin1(line.utf16(), out, line.size());
    else if (!line.isEmpty()) {
        std::memcpy(out, line.utf16(), size_t(span.bytes()));
    }
    return span;
}

bool AreaLines::contains(QStringView line) const
{
    // Compared in the stored form: a line of another form cannot be equal.
    const bool narrow = QtPrivate::isLatin1(line);
    const qint64 length = narrow ? line.size() : -line.size();
    for (const Span& span : m_spans) {
        if (span.length != length)
            continue;
        const char* bytes = m_text.constData() + span.start;
        if (!narrow) {
            if (std::memcmp(bytes, line.utf16(), size_t(span.bytes())) == 0)
                return true;
            continue;
        }
        if (std::equal(line.begin(), line.end(), bytes, [](QChar c, char b) { return c.unicode() == uchar(b); }))
            return true;
    }
    return false;
}

void AreaLines::append(QStringView line)
{
    m_spans.append(store(line));
}

char* AreaLines::appendLatin1(qsizetype characters)
{
    const Span span{m_text.size(), characters};
    char* out = grownBy(characters);
    m_spans.append(span);
    return out;
}

void AreaLines::append(const AreaLines& lines)
{
    if (isEmpty()) {
        *this = lines; // shared: a million lines are not copied
        return;
    }
    reserve(lines.size(), lines.m_text.size());
    for (const Span& span : lines.m_spans)
        copyLine(lines, span);
}

void AreaLines::copyLine(const AreaLines& from, const Span& span)
{
    QByteArray& text = textToChange();
    if (span.length < 0 && text.size() % 2 != 0)
        text.append('\0');
    m_spans.append({text.size(), span.length});
    text.append(from.bytesOf(span));
}

void AreaLines::insert(qsizetype i, QStringView line)
{
    const Span span = store(line);
    m_spans.insert(i, span);
}

void AreaLines::replace(qsizetype i, QStringView line)
{
    const Span old = m_spans.at(i);
    m_spans[i] = store(line);
    dropped(old);
}

void AreaLines::removeAt(qsizetype i)
{
    const Span old = m_spans.at(i);
    m_spans.removeAt(i);
    dropped(old);
}

void AreaLines::clear()
{
    textToChange().clear();
    m_spans.clear();
    m_unused = 0;
}

void AreaLines::reserve(qsizetype lines, qsizetype characters)
{
    m_spans.reserve(m_spans.size() + lines);
    textToChange().reserve(m_text.size() + characters);
}

void AreaLines::squeeze()
{
    m_spans.squeeze();
    textToChange().squeeze();
}

// A line's bytes are no longer used; when such bytes make up half of the
// buffer, the lines are written anew in list order.
void AreaLines::dropped(const Span& span)
{
    m_unused += span.bytes();
    if (m_unused < kUnusedLimit || m_unused * 2 < m_text.size())
        return;
    AreaLines packed;
    packed.reserve(size(), m_text.size() - m_unused + size());
    for (const Span& span : std::as_const(m_spans))
        packed.copyLine(*this, span);
    *this = std::move(packed);
}

QStringList AreaLines::toStringList() const
{
    QStringList lines;
    lines.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        lines.append(at(i));
    return lines;
}

bool operator==(const AreaLines& a, const AreaLines& b)
{
    if (a.size() != b.size())
        return false;
    if (a.m_text.constData() == b.m_text.constData() && a.m_spans.constData() == b.m_spans.constData())
        return true; // shared
    // Each line has one form (Latin-1 when it can be): equal lines have equal bytes.
    for (qsizetype i = 0; i < a.size(); ++i) {
        const AreaLines::Span& x = a.m_spans.at(i);
        const AreaLines::Span& y = b.m_spans.at(i);
        if (x.length != y.length ||
            std::memcmp(a.m_text.constData() + x.start, b.m_text.constData() + y.start, size_t(x.bytes())) != 0)
            return false;
    }
    return true;
}

QDebug operator<<(QDebug debug, const AreaLines& lines)
{
    return debug << lines.toStringList();
}

size_t AreaLines::hash(size_t seed) const
{
    size_t h = qHash(m_spans.size(), seed);
    for (const Span& span : m_spans)
        h = qHashMulti(h, span.length < 0, qHash(bytesOf(span), seed));
    return h;
}

} // namespace korvane
