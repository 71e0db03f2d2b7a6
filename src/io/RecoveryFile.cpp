#include "io/RecoveryFile.h"

#include "io/FileReplace.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>

#include <cerrno>
#include <limits>
#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace korvane::recovery {

namespace {

const QByteArray kMagic = QByteArrayLiteral("korvane-recovery ");
const QString kFilePrefix = QStringLiteral("recovery-");
const QString kFileSuffix = QStringLiteral(".txt");
const QString kAsideSuffix = QStringLiteral(".aside");

// One value per line: backslashes, line feeds and carriage returns escaped.
QByteArray escaped(const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    if (!utf8.contains('\\') && !utf8.contains('\n') && !utf8.contains('\r'))
        return utf8; // most lines: nothing to escape
    QByteArray out;
    out.reserve(utf8.size() + 8);
    for (const char c : utf8) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

bool unescape(QByteArrayView text, QString* value)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return false;
        }
    }
    *value = QString::fromUtf8(out);
    return true;
}

// Reads the lines of the file one by one; a line without its line feed is
// the end of a file cut short.
class LineReader {
public:
    explicit LineReader(const QByteArray& bytes) : m_bytes(bytes) {}
    bool next(QByteArrayView* line)
    {
        const qsizetype end = m_bytes.indexOf('\n', m_at);
        if (end < 0)
            return false;
        *line = QByteArrayView(m_bytes).sliced(m_at, end - m_at);
        m_at = end + 1;
        return true;
    }
    bool atEnd() const { return m_at == m_bytes.size(); }

private:
    const QByteArray& m_bytes;
    qsizetype m_at = 0;
};

// "key value": the value when the line has that key.
bool field(QByteArrayView line, QByteArrayView key, QByteArrayView* value)
{
    if (!line.startsWith(key) || line.size() <= key.size() || line[key.size()] != ' ')
        return false;
    *value = line.sliced(key.size() + 1);
    return true;
}

bool number(QByteArrayView text, qint64* value)
{
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok;
}

class Parser {
public:
    explicit Parser(const QByteArray& bytes) : m_bytes(bytes), m_reader(bytes) {}

    ReadResult run()
    {
        ReadResult result;
        result.problem = header();
        if (result.problem == Problem::None)
            result.problem = body(result.snapshot);
        if (result.problem != Problem::None)
            result.snapshot = Snapshot();
        return result;
    }

private:
    Problem header()
    {
        QByteArrayView line;
        // A first line cut short is still the start of one.
        if (!m_reader.next(&line))
            return kMagic.startsWith(m_bytes) || m_bytes.startsWith(kMagic) ? Problem::Truncated : Problem::Unreadable;
        qint64 version = 0;
        if (!line.startsWith(kMagic) || !number(line.sliced(kMagic.size()), &version) || version < 1)
            return Problem::Unreadable;
        return version > kFormatVersion ? Problem::NewerVersion : Problem::None;
    }

    // The next line, which must have `key`: Truncated when the file ends
    // before it, Unreadable when another line stands there.
    Problem keyed(QByteArrayView key, QByteArrayView* value)
    {
        QByteArrayView line;
        if (!m_reader.next(&line))
            return Problem::Truncated;
        return field(line, key, value) ? Problem::None : Problem::Unreadable;
    }

    Problem text(QByteArrayView key, QString* value)
    {
        QByteArrayView raw;
        if (const Problem p = keyed(key, &raw); p != Problem::None)
            return p;
        return unescape(raw, value) ? Problem::None : Problem::Unreadable;
    }

    Problem count(QByteArrayView key, qint64* value)
    {
        QByteArrayView raw;
        if (const Problem p = keyed(key, &raw); p != Problem::None)
            return p;
        return number(raw, value) ? Problem::None : Problem::Unreadable;
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
        for (const Problem p : {text("picture", &s.imagePath), text("name", &s.mapName), count("selected", &selected),
                                count("areas", &areas)}) {
            if (p != Problem::None)
                return p;
        }
        if (areas < 0 || selected < -1 || selected >= areas)
            return Problem::Unreadable;
        s.selectedRow = int(selected);
        if (const Problem p = lines(s, areas); p != Problem::None)
            return p;
        return rest(s);
    }

    Problem lines(Snapshot& s, qint64 areas)
    {
        for (qint64 i = 0; i < areas; ++i) {
            QByteArrayView raw;
            if (!m_reader.next(&raw))
                return Problem::Truncated;
            QString line;
            if (!unescape(raw, &line))
                return Problem::Unreadable;
            s.lines << line;
        }
        return Problem::None;
    }

    // The page, when there is one, and the end mark: without it the file was cut short.
    Problem rest(Snapshot& s)
    {
        QByteArrayView line;
        if (!m_reader.next(&line))
            return Problem::Truncated;
        QByteArrayView raw;
        if (field(line, "page", &raw)) {
            if (!unescape(raw, &s.pagePath))
                return Problem::Unreadable;
            qint64 size = 0;
            if (const Problem p = count("page-bytes", &size); p != Problem::None)
                return p;
            if (!m_reader.next(&raw))
                return Problem::Truncated;
            const auto decoded =
                QByteArray::fromBase64Encoding(raw.toByteArray(), QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded || decoded.decoded.size() != size)
                return Problem::Unreadable;
            s.hasPage = true;
            s.pageBytes = decoded.decoded;
            if (!m_reader.next(&line))
                return Problem::Truncated;
        }
        return line == QByteArrayView("end") && m_reader.atEnd() ? Problem::None : Problem::Unreadable;
    }

    const QByteArray& m_bytes;
    LineReader m_reader;
};

QString exeName(const QString& procLink)
{
    QString target = QFile::symLinkTarget(procLink);
    target.remove(QRegularExpression(QStringLiteral(" \\(deleted\\)$")));
    return QFileInfo(target).fileName();
}

// A process that ended and waits for its parent to collect it runs no more.
bool ended(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(") ");
    return close >= 0 && close + 2 < text.size() && (text[close + 2] == 'Z' || text[close + 2] == 'X');
}

QStringList filesEndingIn(const QString& suffix)
{
    QDir dir(folder());
    const QFileInfoList found = dir.entryInfoList({kFilePrefix + QLatin1Char('*') + suffix}, QDir::Files, QDir::Time);
    QStringList paths;
    for (const QFileInfo& info : found)
        paths << info.absoluteFilePath();
    return paths;
}

} // namespace

bool serializeTo(QIODevice& device, const Snapshot& s)
{
    // Written a megabyte at a time: the lines of a million areas are not
    // copied whole beside the map they come from.
    constexpr qsizetype kChunk = 1024 * 1024;
    QByteArray out;
    out.reserve(kChunk + 4096);
    const auto flush = [&device, &out] {
        const bool ok = device.write(out) == out.size();
        out.clear();
        return ok;
    };
    out += kMagic + QByteArray::number(kFormatVersion) + '\n';
    out += "changed " + s.changed.toUTC().toString(Qt::ISODateWithMs).toLatin1() + '\n';
    out += "picture " + escaped(s.imagePath) + '\n';
    out += "name " + escaped(s.mapName) + '\n';
    out += "selected " + QByteArray::number(s.selectedRow) + '\n';
    out += "areas " + QByteArray::number(s.lines.size()) + '\n';
    QString line;
    for (qsizetype i = 0; i < s.lines.size(); ++i) {
        s.lines.read(i, line);
        out += escaped(line) + '\n';
        if (out.size() >= kChunk && !flush())
            return false;
    }
    if (s.hasPage) {
        out += "page " + escaped(s.pagePath) + '\n';
        out += "page-bytes " + QByteArray::number(s.pageBytes.size()) + '\n';
        out += s.pageBytes.toBase64() + '\n';
    }
    out += "end\n";
    return flush();
}

QByteArray serialize(const Snapshot& s)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    serializeTo(buffer, s);
    return bytes;
}

ReadResult parse(const QByteArray& bytes)
{
    return Parser(bytes).run();
}

ReadResult readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {Snapshot(), Problem::Unreadable};
    return parse(file.readAll());
}

bool writeFile(const QString& path, const Snapshot& snapshot)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    const auto produce = [&snapshot](QIODevice& device) { return serializeTo(device, snapshot); };
    return replaceFiles({{path, {}, produce}}).isEmpty();
}

QString folder()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/korvane");
}

QString filePath(qint64 pid)
{
    return folder() + QLatin1Char('/') + kFilePrefix + QString::number(pid) + kFileSuffix;
}

QString asidePath(qint64 pid)
{
    return folder() + QLatin1Char('/') + kFilePrefix + QString::number(pid) + kAsideSuffix;
}

qint64 pidOfFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    if (!name.startsWith(kFilePrefix) || !name.endsWith(kFileSuffix))
        return -1;
    bool ok = false;
    const qint64 pid =
        name.mid(kFilePrefix.size(), name.size() - kFilePrefix.size() - kFileSuffix.size()).toLongLong(&ok);
    return ok && pid > 0 ? pid : -1;
}

QStringList filesInFolder()
{
    return filesEndingIn(kFileSuffix);
}

QStringList asideFilesInFolder()
{
    return filesEndingIn(kAsideSuffix);
}

bool editorRunning(qint64 pid)
{
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    if (pid == ::getpid())
        return true;
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return false;
    if (ended(pid))
        return false;
    const QString other = exeName(QStringLiteral("/proc/%1/exe").arg(pid));
    // A process whose program cannot be seen is left alone.
    return other.isEmpty() || other == exeName(QStringLiteral("/proc/self/exe"));
}

} // namespace korvane::recovery
