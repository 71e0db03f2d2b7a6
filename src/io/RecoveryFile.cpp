#include "io/RecoveryFile.h"

#include "io/FileReplace.h"
#include "io/RecoveryRead.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace korvane::recovery {

namespace {

const QString kFilePrefix = QStringLiteral("recovery-");
const QString kFileSuffix = QStringLiteral(".txt");
const QString kAsideSuffix = QStringLiteral(".aside");
const QString kRefusedSuffix = QStringLiteral(".refused");

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

QStringList filesEndingIn(const QString& suffix, QDir::Filters kinds)
{
    QDir dir(folder());
    const QFileInfoList found = dir.entryInfoList({kFilePrefix + QLatin1Char('*') + suffix}, kinds, QDir::Time);
    QStringList paths;
    for (const QFileInfo& info : found)
        paths << info.absoluteFilePath();
    return paths;
}

enum class Written { All, DeviceFailed, TooBig };

// Written a megabyte at a time: the lines of a million areas are not copied
// whole beside the map they come from. Stops once more than `limit` bytes
// would be written.
Written serializeLimited(QIODevice& device, const Snapshot& s, qint64 limit)
{
    constexpr qsizetype kChunk = 1024 * 1024;
    QByteArray out;
    out.reserve(kChunk + 4096);
    qint64 total = 0;
    bool tooBig = false;
    const auto flush = [&] {
        total += out.size();
        tooBig = total > limit;
        const bool ok = !tooBig && device.write(out) == out.size();
        out.clear();
        return ok;
    };
    const auto failed = [&tooBig] { return tooBig ? Written::TooBig : Written::DeviceFailed; };
    // Version 1 as long as it says all: an older editor still reads the file.
    out += kMagic + QByteArray::number(s.code ? kFormatVersion : 1) + '\n';
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
            return failed();
    }
    if (s.code) {
        out += "code " + escaped(*s.code) + '\n';
        if (!flush())
            return failed();
    }
    if (s.hasPage) {
        out += "page " + escaped(s.pagePath) + '\n';
        out += "page-bytes " + QByteArray::number(s.pageBytes.size()) + '\n';
        out += s.pageBytes.toBase64() + '\n';
    }
    out += "end\n";
    return flush() ? Written::All : failed();
}

// The first folder on the way to `path` that is there.
QString firstExisting(QString path)
{
    while (!QFileInfo::exists(path) && !path.isEmpty() && path != QLatin1String("/"))
        path = QFileInfo(path).path();
    return path;
}

// The folder, made when it is missing; what keeps it from holding the file.
WriteProblem readyFolder(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isDir())
        return WriteProblem::NotAFolder;
    if (!info.exists() && !QDir().mkpath(path))
        return QFileInfo(firstExisting(path)).isDir() ? WriteProblem::ReadOnly : WriteProblem::NotAFolder;
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return WriteProblem::Failed;
    return status.st_uid == ::geteuid() ? WriteProblem::None : WriteProblem::NotOurs;
}

// A regular file opened for reading without following a link and without
// waiting on a pipe; -1 (and why) for anything else.
int openRegular(const QString& path, Problem* problem)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *problem = errno == ELOOP ? Problem::NotAFile : Problem::Unreadable;
        return -1;
    }
    struct stat status {};
    const bool known = ::fstat(fd, &status) == 0;
    if (known && S_ISREG(status.st_mode) && status.st_size <= kMaxFileBytes)
        return fd;
    *problem = !known ? Problem::Unreadable : S_ISREG(status.st_mode) ? Problem::TooBig : Problem::NotAFile;
    ::close(fd);
    return -1;
}

// The writer's process id in a temporary name ".recovery-12.txt.<pid>-<random>"; -1 for other names.
qint64 writerOfTemporary(const QString& name)
{
    const QString start = QLatin1Char('.') + kFilePrefix;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype dash = name.lastIndexOf(QLatin1Char('-'));
    if (!name.startsWith(start) || dot <= start.size() || dash <= dot + 1 || pidOfFile(name.mid(1, dot - 1)) < 0)
        return -1;
    bool ok = false;
    const qint64 pid = name.mid(dot + 1, dash - dot - 1).toLongLong(&ok);
    return ok && pid > 0 ? pid : -1;
}

} // namespace

bool serializeTo(QIODevice& device, const Snapshot& s)
{
    return serializeLimited(device, s, std::numeric_limits<qint64>::max()) == Written::All;
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
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readFrom(buffer, std::numeric_limits<qint64>::max() - 1);
}

ReadResult readFile(const QString& path)
{
    Problem problem = Problem::None;
    const int fd = openRegular(path, &problem);
    if (fd < 0)
        return {Snapshot(), problem};
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {Snapshot(), Problem::Unreadable};
    }
    // A file that grows while it is read is still read no further than the bound.
    return readFrom(file, kMaxFileBytes);
}

bool writeFile(const QString& path, const Snapshot& snapshot, WriteProblem* problem)
{
    WriteProblem why = readyFolder(QFileInfo(path).absolutePath());
    if (why == WriteProblem::None) {
        std::optional<Written> written;
        const auto produce = [&](QIODevice& device) {
            written = serializeLimited(device, snapshot, kMaxFileBytes);
            return written == Written::All;
        };
        // No temporary file at all: the folder takes no new files.
        if (!replaceFiles({{path, {}, produce}}).isEmpty()) {
            why = !written                           ? WriteProblem::ReadOnly
                  : written == Written::TooBig       ? WriteProblem::TooBig
                  : written == Written::DeviceFailed ? WriteProblem::Full
                                                     : WriteProblem::Failed;
        }
    }
    if (problem)
        *problem = why;
    return why == WriteProblem::None;
}

QString folder()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/korvane");
}

QString folderInTheWay()
{
    return firstExisting(folder());
}

QString filePath(qint64 pid)
{
    return folder() + QLatin1Char('/') + kFilePrefix + QString::number(pid) + kFileSuffix;
}

QString asidePath(qint64 pid)
{
    return folder() + QLatin1Char('/') + kFilePrefix + QString::number(pid) + kAsideSuffix;
}

QString refusedPath(qint64 pid)
{
    const QString stem = folder() + QLatin1Char('/') + kFilePrefix + QString::number(pid) + kRefusedSuffix;
    QString path = stem;
    struct stat status {};
    for (int n = 2; ::lstat(QFile::encodeName(path).constData(), &status) == 0; ++n)
        path = stem + QLatin1Char('-') + QString::number(n);
    return path;
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
    // Pipes, devices and links to them count as System entries.
    return filesEndingIn(kFileSuffix, QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot);
}

QStringList asideFilesInFolder()
{
    return filesEndingIn(kAsideSuffix, QDir::Files);
}

bool folderIsOurs()
{
    struct stat status {};
    return ::stat(QFile::encodeName(folder()).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid();
}

void removeStaleTemporaries()
{
    QDirIterator entries(folder(), {QLatin1Char('.') + kFilePrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
    while (entries.hasNext()) {
        entries.next();
        const qint64 writer = writerOfTemporary(entries.fileName());
        if (writer > 0 && !entries.fileInfo().isSymLink() && !editorRunning(writer))
            QFile::remove(entries.filePath());
    }
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
