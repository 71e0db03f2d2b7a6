#pragma once

#include "model/PageFaults.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <iterator>

class QDebug;

namespace korvane {

// The area lines in one buffer, read like a QStringList: a line whose
// characters are all Latin-1 (nearly every line) takes one byte a character,
// any other line its UTF-16 code units, so every line comes back exactly as
// it was put in. A million lines cost a few allocations instead of a million
// and half the memory; the QStrings are made when a line is asked for. Copies
// are implicitly shared.
class AreaLines {
public:
    AreaLines() = default;
    AreaLines(const QStringList& lines); // NOLINT(google-explicit-constructor): a list of lines is lines
    AreaLines(std::initializer_list<QString> lines);
    AreaLines(const AreaLines&) = default;
    AreaLines(AreaLines&&) noexcept = default;
    AreaLines& operator=(const AreaLines&) = default;
    AreaLines& operator=(AreaLines&&) noexcept = default;
    ~AreaLines() { m_textAhead.stop(); } // before the buffer goes

    qsizetype size() const { return m_spans.size(); }
    qsizetype count() const { return size(); }
    bool isEmpty() const { return m_spans.isEmpty(); }
    QString at(qsizetype i) const;
    QString operator[](qsizetype i) const { return at(i); }
    QString front() const { return at(0); }
    QString back() const { return at(size() - 1); }
    // The line into `into`, whose room serves again: no allocation a line
    // when every line of a million is read in turn.
    void read(qsizetype i, QString& into) const;
    // Calls `f` with the line as a QLatin1StringView when it is kept as one,
    // else as a QStringView of it read into `room`: a Latin-1 line is not
    // converted at all.
    template <class F>
    decltype(auto) withLine(qsizetype i, QString& room, F&& f) const
    {
        const Span& span = m_spans.at(i);
        if (span.length >= 0)
            return f(QLatin1StringView(m_text.constData() + span.start, span.length));
        read(i, room);
        return f(QStringView(room));
    }
    // The line's length in UTF-16 code units, without making it.
    qsizetype lineSize(qsizetype i) const;
    // The line's first `n` code units (all of a shorter one), without making
    // the rest of it.
    QString left(qsizetype i, qsizetype n) const;
    bool contains(QStringView line) const;
    // The line holds a CR, an LF or a paragraph separator; the line is not made.
    bool hasLineEnd(qsizetype i) const;

    void append(QStringView line);
    void append(const AreaLines& lines);
    // Adds a line of `characters` Latin-1 characters and gives where its
    // bytes go, one a character; the caller writes every one of them. A
    // reader that knows its line is Latin-1 writes it in place this way
    // instead of making it as a QString first.
    char* appendLatin1(qsizetype characters);
    AreaLines& operator<<(QStringView line)
    {
        append(line);
        return *this;
    }
    void insert(qsizetype i, QStringView line);
    void replace(qsizetype i, QStringView line);
    void removeAt(qsizetype i);
    void clear();
    // Room for this many more lines of about `characters` characters in all.
    void reserve(qsizetype lines, qsizetype characters);
    // Gives back the room that growing left unused.
    void squeeze();

    QStringList toStringList() const;
    // A hash of the lines (not of how the buffer holds them): equal lines
    // give equal hashes under the same seed.
    size_t hash(size_t seed) const;

    friend bool operator==(const AreaLines& a, const AreaLines& b);
    friend bool operator!=(const AreaLines& a, const AreaLines& b) { return !(a == b); }

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = QString;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = QString;

        const_iterator() = default;
        const_iterator(const AreaLines* lines, qsizetype i) : m_lines(lines), m_i(i) {}
        QString operator*() const { return m_lines->at(m_i); }
        const_iterator& operator++()
        {
            ++m_i;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++m_i;
            return before;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.m_i == b.m_i; }
        friend bool operator!=(const const_iterator& a, const const_iterator& b) { return a.m_i != b.m_i; }

    private:
        const AreaLines* m_lines = nullptr;
        qsizetype m_i = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    // Where a line's bytes lie; `length` counts characters, negative for a
    // line kept as UTF-16 code units.
    struct Span {
        qint64 start = 0;
        qint64 length = 0;
        qsizetype bytes() const { return length < 0 ? -2 * length : length; }
        friend bool operator==(const Span& a, const Span& b) { return a.start == b.start && a.length == b.length; }
    };
    Span store(QStringView line);
    QByteArrayView bytesOf(const Span& span) const { return {m_text.constData() + span.start, span.bytes()}; }
    void copyLine(const AreaLines& from, const Span& span);
    void dropped(const Span& span);

    char* grownBy(qsizetype bytes);
    // The buffer for a change other than adding a line at its end.
    QByteArray& textToChange()
    {
        m_textAhead.stop();
        return m_text;
    }

    // Before the buffer: stopped before it is replaced.
    PagesAhead m_textAhead;
    // Lines are added at the end; replaced and removed ones leave their bytes
    // unused until they make up half of the buffer.
    QByteArray m_text;
    QList<Span> m_spans;
    qsizetype m_unused = 0;
};

QDebug operator<<(QDebug debug, const AreaLines& lines);

} // namespace korvane
