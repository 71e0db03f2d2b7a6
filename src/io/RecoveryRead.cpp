#include "io/RecoveryRead.h"

#include <QIODevice>
#include <QStringDecoder>

#include <algorithm>

namespace korvane::recovery {

namespace {

// Undoes escaped() for a value that comes in pieces: a backslash at the end
// of one piece escapes the first character of the next.
class Unescaper {
public:
    // Appends the piece's bytes to `out`; false at an escape that means nothing.
    bool add(QByteArrayView piece, QByteArray& out)
    {
        qsizetype at = 0;
        while (at < piece.size()) {
            if (m_escape) {
                m_escape = false;
                const char c = piece[at++];
                if (c == '\\')
                    out += '\\';
                else if (c == 'n')
                    out += '\n';
                else if (c == 'r')
                    out += '\r';
                else
                    return false;
                continue;
            }
            // The characters up to the next backslash in one go.
            const qsizetype slash = piece.indexOf('\\', at);
            out.append(piece.sliced(at, (slash < 0 ? piece.size() : slash) - at));
            if (slash < 0)
                break;
            m_escape = true;
            at = slash + 1;
        }
        return true;
    }
    // The value ended where it should, not inside an escape.
    bool complete() const { return !m_escape; }

private:
    bool m_escape = false;
};

bool unescape(QByteArrayView text, QString* value)
{
    if (!text.contains('\\')) {
        *value = QString::fromUtf8(text);
        return true;
    }
    QByteArray out;
    out.reserve(text.size());
    Unescaper unescaper;
    if (!unescaper.add(text, out) || !unescaper.complete())
        return false;
    *value = QString::fromUtf8(out);
    return true;
}

// Reads a device line by line, a piece at a time: a line that fits in a piece
// comes whole; a longer one (a link of megabytes, the export window's page) is
// handed on in pieces, so neither the file nor a line of it is held beside
// what is made of it. Never reads past `limit` bytes.
class LineInput {
public:
    enum class Got { Line, Long, End };

    LineInput(QIODevice& device, qint64 limit, qsizetype piece) : m_device(device), m_limit(limit), m_piece(piece) {}

    // Line: the next line without its line feed, valid until the next call.
    // Long: a line longer than a piece starts here; read it with pieces().
    // End: no line feed follows (the file ends, or was cut short).
    Got next(QByteArrayView* line)
    {
        for (;;) {
            const qsizetype end = m_buffer.indexOf('\n', m_scanned);
            if (end >= 0) {
                *line = QByteArrayView(m_buffer).sliced(m_at, end - m_at);
                m_at = end + 1;
                m_scanned = m_at;
                return Got::Line;
            }
            m_scanned = m_buffer.size();
            if (m_buffer.size() - m_at >= m_piece) {
                m_longStart = m_offset + m_at;
                return Got::Long;
            }
            if (!fill())
                return Got::End;
        }
    }

    // The long line from where it stands to its line feed, to `take` piece by
    // piece (take returns false to stop); false when the file ends first.
    template <typename Take> bool pieces(Take take)
    {
        for (;;) {
            const qsizetype end = m_buffer.indexOf('\n', m_at);
            if (end >= 0) {
                const bool taken = take(QByteArrayView(m_buffer).sliced(m_at, end - m_at));
                m_at = end + 1;
                m_scanned = m_at;
                return taken;
            }
            if (!take(QByteArrayView(m_buffer).sliced(m_at)))
                return false;
            m_at = m_buffer.size();
            if (!fill())
                return false;
        }
    }

    // Back to the start of the long line, to read it once more.
    bool rewind()
    {
        if (!m_device.seek(m_longStart))
            return false;
        m_buffer.clear();
        m_offset = m_longStart;
        m_at = m_scanned = 0;
        return true;
    }

    // What is left of the buffer from the next line on: the start of a long
    // line, or all that follows when the file ends without a line feed.
    QByteArrayView rest() const { return QByteArrayView(m_buffer).sliced(m_at); }
    bool atEnd() { return m_at == m_buffer.size() && !fill(); }
    bool overLimit() const { return m_overLimit; }

private:
    // The bytes not yet read on, and the next piece behind them.
    bool fill()
    {
        if (m_at > 0) {
            m_buffer.remove(0, m_at);
            m_offset += m_at;
            m_scanned -= m_at;
            m_at = 0;
        }
        const qint64 read = m_offset + m_buffer.size();
        const qint64 wanted = std::min<qint64>(m_piece, m_limit + 1 - read);
        if (wanted <= 0) {
            m_overLimit = true;
            return false;
        }
        const qsizetype had = m_buffer.size();
        m_buffer.resize(had + qsizetype(wanted));
        const qint64 got = m_device.read(m_buffer.data() + had, wanted);
        m_buffer.resize(had + std::max<qsizetype>(0, qsizetype(got)));
        if (read + std::max<qint64>(0, got) > m_limit) {
            m_overLimit = true;
            m_buffer.resize(qsizetype(m_limit - m_offset));
            return false;
        }
        return got > 0;
    }

    QIODevice& m_device;
    qint64 m_limit;
    qsizetype m_piece;
    QByteArray m_buffer;
    qint64 m_offset = 0;     // where the buffer's first byte lies in the file
    qsizetype m_at = 0;      // the next line's start in the buffer
    qsizetype m_scanned = 0; // searched for a line feed up to here
    qint64 m_longStart = 0;
    bool m_overLimit = false;
};

bool number(QByteArrayView text, qint64* value)
{
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok;
}

// UTF-8 a piece at a time, read as QString::fromUtf8() reads a whole line: a
// byte order mark first is dropped, and each byte of a sequence cut off at
// the end becomes a replacement character.
class PieceDecoder : public QStringDecoder {
public:
    PieceDecoder() : QStringDecoder(QStringDecoder::Utf8) {}
    QString end() const { return QString(state.remainingChars, QChar::ReplacementCharacter); }
};

// The characters of a long escaped line, after its first `skip` bytes (a
// key), as the decoder gives them, piece by piece, to `take` (which returns
// false to stop). Truncated when the file ends before the line does;
// Unreadable at a bad escape or when `take` stops.
template <typename Take> Problem decodeLong(LineInput& input, qsizetype skip, Take take)
{
    PieceDecoder decoder;
    Unescaper unescaper;
    QByteArray bytes;
    bool bad = false;
    const bool whole = input.pieces([&](QByteArrayView piece) {
        const qsizetype skipped = std::min(skip, piece.size());
        skip -= skipped;
        bytes.clear();
        bad = !unescaper.add(piece.sliced(skipped), bytes) || !take(QString(decoder.decode(bytes)));
        return !bad;
    });
    if (!whole)
        return bad ? Problem::Unreadable : Problem::Truncated;
    return unescaper.complete() && take(decoder.end()) ? Problem::None : Problem::Unreadable;
}

bool hasKey(QByteArrayView line, QByteArrayView key)
{
    return line.startsWith(key) && line.size() > key.size() && line[key.size()] == ' ';
}

class Parser {
public:
    Parser(QIODevice& device, qint64 limit, qsizetype piece) : m_input(device, limit, piece) {}

    ReadResult run()
    {
        ReadResult result;
        result.problem = header();
        if (result.problem == Problem::None)
            result.problem = body(result.snapshot);
        if (m_input.overLimit())
            result.problem = Problem::TooBig;
        if (result.problem != Problem::None)
            result.snapshot = Snapshot();
        return result;
    }

private:
    // The next line: whole, or the start of a long one, which stays to be read.
    struct Next {
        LineInput::Got got = LineInput::Got::End;
        QByteArrayView line;
    };
    Next next()
    {
        Next n;
        n.got = m_input.next(&n.line);
        if (n.got == LineInput::Got::Long)
            n.line = m_input.rest();
        return n;
    }

    Problem header()
    {
        const Next first = next();
        if (first.got == LineInput::Got::Long)
            return Problem::Unreadable;
        // A first line cut short is still the start of one.
        if (first.got == LineInput::Got::End) {
            const QByteArrayView all = m_input.rest();
            return kMagic.startsWith(all) || all.startsWith(kMagic) ? Problem::Truncated : Problem::Unreadable;
        }
        qint64 version = 0;
        if (!first.line.startsWith(kMagic) || !number(first.line.sliced(kMagic.size()), &version) || version < 1)
            return Problem::Unreadable;
        m_version = version;
        return version > kFormatVersion ? Problem::NewerVersion : Problem::None;
    }

    // "key value" read as text; a long one (a map name of megabytes, the
    // code box's text) is decoded as it is read.
    Problem text(const Next& n, QByteArrayView key, QString* value)
    {
        if (n.got == LineInput::Got::End)
            return Problem::Truncated;
        if (!hasKey(n.line, key))
            return Problem::Unreadable;
        if (n.got == LineInput::Got::Line)
            return unescape(n.line.sliced(key.size() + 1), value) ? Problem::None : Problem::Unreadable;
        value->clear();
        return decodeLong(m_input, key.size() + 1, [value](const QString& part) {
            *value += part;
            return true;
        });
    }
    Problem text(QByteArrayView key, QString* value) { return text(next(), key, value); }

    Problem count(QByteArrayView key, qint64* value)
    {
        const Next n = next();
        if (n.got == LineInput::Got::End)
            return Problem::Truncated;
        if (n.got == LineInput::Got::Long || !hasKey(n.line, key))
            return Problem::Unreadable;
        return number(n.line.sliced(key.size() + 1), value) ? Problem::None : Problem::Unreadable;
    }

    Problem body(Snapshot& s)
    {
        QString changed;
        if (const Problem p = text("changed", &changed); p != Problem::None)
            return p;
        s.changed = QDateTime::fromString(changed, Qt::ISODateWithMs);
        if (!s.changed.isValid())
            return Problem::Unreadable;
        qint64 selected = 0;
        qint64 areas = 0;
        Problem p = text("picture", &s.imagePath);
        if (p == Problem::None)
            p = text("name", &s.mapName);
        if (p == Problem::None)
            p = count("selected", &selected);
        if (p == Problem::None)
            p = count("areas", &areas);
        if (p != Problem::None)
            return p;
        if (areas < 0 || selected < -1 || selected >= areas)
            return Problem::Unreadable;
        s.selectedRow = int(selected);
        if (const Problem p = lines(s, areas); p != Problem::None)
            return p;
        return rest(s);
    }

    Problem lines(Snapshot& s, qint64 areas)
    {
        QString line;
        for (qint64 i = 0; i < areas; ++i) {
            QByteArrayView raw;
            const LineInput::Got got = m_input.next(&raw);
            if (got == LineInput::Got::End)
                return Problem::Truncated;
            if (got == LineInput::Got::Long) {
                if (const Problem p = longLine(s.lines); p != Problem::None)
                    return p;
                continue;
            }
            if (!unescape(raw, &line))
                return Problem::Unreadable;
            s.lines << line;
        }
        s.lines.squeeze();
        return Problem::None;
    }

    // A line longer than a piece: read once to learn its length and whether
    // it is Latin-1 (nearly every line is), then again straight into its
    // place among the lines, so that it is held once.
    Problem longLine(AreaLines& lines)
    {
        qsizetype units = 0;
        bool latin1 = true;
        const Problem measured = decodeLong(m_input, 0, [&](const QString& part) {
            units += part.size();
            latin1 = latin1 && QtPrivate::isLatin1(QStringView(part));
            return true;
        });
        if (measured != Problem::None)
            return measured;
        if (!m_input.rewind())
            return Problem::Unreadable;
        if (!latin1) {
            QString line;
            line.reserve(units);
            const Problem p = decodeLong(m_input, 0, [&line](const QString& part) {
                line += part;
                return true;
            });
            lines << line;
            return p == Problem::None && line.size() == units ? Problem::None : Problem::Unreadable;
        }
        char* out = lines.appendLatin1(units);
        qsizetype written = 0;
        const Problem p = decodeLong(m_input, 0, [&](const QString& part) {
            if (part.size() > units - written || !QtPrivate::isLatin1(QStringView(part)))
                return false;
            for (const QChar c : part)
                out[written++] = char(c.unicode());
            return true;
        });
        // The file changed between the two readings: the line is no line of it.
        if (p != Problem::None || written != units) {
            std::fill(out + written, out + units, ' ');
            return Problem::Unreadable;
        }
        return Problem::None;
    }

    // The code box's text (from version 2 on), the page when there is one,
    // and the end mark: without it the file was cut short.
    Problem rest(Snapshot& s)
    {
        Next n = next();
        if (m_version >= 2 && hasKey(n.line, "code")) {
            QString code;
            if (const Problem p = text(n, "code", &code); p != Problem::None)
                return p;
            s.code = code;
            n = next();
        }
        if (hasKey(n.line, "page")) {
            if (const Problem p = page(n, s); p != Problem::None)
                return p;
            n = next();
        }
        if (n.got == LineInput::Got::End)
            return Problem::Truncated;
        return n.got == LineInput::Got::Line && n.line == QByteArrayView("end") && m_input.atEnd()
                   ? Problem::None
                   : Problem::Unreadable;
    }

    Problem page(const Next& path, Snapshot& s)
    {
        if (const Problem p = text(path, "page", &s.pagePath); p != Problem::None)
            return p;
        qint64 size = 0;
        if (const Problem p = count("page-bytes", &size); p != Problem::None)
            return p;
        // No more bytes than a file may hold: a count is no reason to take memory.
        if (size < 0 || size > kMaxFileBytes)
            return Problem::Unreadable;
        QByteArrayView raw;
        const LineInput::Got got = m_input.next(&raw);
        if (got == LineInput::Got::End)
            return Problem::Truncated;
        QByteArray decoded;
        if (got == LineInput::Got::Line) {
            const auto result =
                QByteArray::fromBase64Encoding(raw.toByteArray(), QByteArray::AbortOnBase64DecodingErrors);
            if (!result)
                return Problem::Unreadable;
            decoded = result.decoded;
        } else if (const Problem p = longBase64(size, &decoded); p != Problem::None) {
            return p;
        }
        if (decoded.size() != size)
            return Problem::Unreadable;
        s.hasPage = true;
        s.pageBytes = decoded;
        return Problem::None;
    }

    // Base64 in groups of four characters, decoded a piece at a time.
    Problem longBase64(qint64 size, QByteArray* decoded)
    {
        decoded->reserve(qsizetype(size));
        QByteArray group;
        bool bad = false;
        const auto decode = [&](const QByteArray& text) {
            const auto result = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
            bad = !result || decoded->size() + result.decoded.size() > size;
            if (!bad)
                *decoded += result.decoded;
            return !bad;
        };
        const bool whole = m_input.pieces([&](QByteArrayView piece) {
            group += piece;
            const qsizetype ready = group.size() - group.size() % 4;
            const bool taken = decode(group.first(ready));
            group.remove(0, ready);
            return taken;
        });
        if (!whole)
            return bad ? Problem::Unreadable : Problem::Truncated;
        return decode(group) ? Problem::None : Problem::Unreadable;
    }

    LineInput m_input;
    qint64 m_version = 0;
};

} // namespace

ReadResult readFrom(QIODevice& device, qint64 limit, qsizetype piece)
{
    return Parser(device, limit, piece).run();
}

} // namespace korvane::recovery
