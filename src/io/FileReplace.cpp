#include "io/FileReplace.h"

#include "model/Paths.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korvane {

namespace {

constexpr int kAttempts = 100;
// A chain of links longer than the system itself follows is a loop.
constexpr int kLinkHops = 40;
// Bytes of one name in a folder, and the most a temporary name adds to the
// target's name: ".", ".", a process id of up to 10 digits, "-" and a random
// number of up to 7 base-36 digits.
constexpr qsizetype kNameBytes = 255;
constexpr qsizetype kTagBytes = 1 + 1 + 10 + 1 + 7;

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// The file a path finally names: every link of a chain is followed, a relative
// one from its own folder. Empty for a loop or a link that cannot be read.
QString resolvedTarget(const QString& path)
{
    QString current = path;
    for (int hop = 0; hop < kLinkHops; ++hop) {
        struct stat status {};
        if (::lstat(native(current).constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        char link[PATH_MAX];
        const ssize_t length = ::readlink(native(current).constData(), link, sizeof link);
        if (length <= 0 || length == ssize_t(sizeof link))
            return {};
        const QString target = QFile::decodeName(QByteArray(link, length));
        current = target.startsWith(QLatin1Char('/')) ? target : folderOf(current) + target;
    }
    return {};
}

// Temporary files are named "." + the target's name + "." + the writing
// process's id + "-" + a random number, ".plan.html.4711-1qg25mb" say, so a
// later save can tell those whose writer is gone. A long name is cut, so that
// the temporary one stays within what a folder entry may hold.
QString temporaryStem(const QString& target)
{
    QString name = fileNameOf(target);
    while (native(name).size() > kNameBytes - kTagBytes)
        name.chop(name.size() >= 2 && name.back().isLowSurrogate() ? 2 : 1);
    return folderOf(target) + QLatin1Char('.') + name + QLatin1Char('.');
}

QString newTemporaryName(const QString& stem)
{
    return stem + QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-') +
           QString::number(QRandomGenerator::global()->generate(), 36);
}

bool allDigits(QStringView text, int base)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!digit && !(base == 36 && c >= QLatin1Char('a') && c <= QLatin1Char('z')))
            return false;
    }
    return true;
}

// `tag` is what follows the stem: "4711-1qg25mb" of a process that has ended.
// A process of another user still counts as running.
bool writerIsGone(QStringView tag)
{
    const qsizetype dash = tag.indexOf(QLatin1Char('-'));
    if (dash <= 0 || dash > 10 || !allDigits(tag.left(dash), 10) || !allDigits(tag.mid(dash + 1), 36))
        return false;
    const qint64 pid = tag.left(dash).toLongLong();
    return pid > 0 && pid <= INT_MAX && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

// A save that was killed leaves its temporary files; the next save of the
// same target takes them away.
void removeStaleTemporaries(const QString& target)
{
    const QString stem = temporaryStem(target);
    const QString prefix = fileNameOf(stem);
    const QString folder = folderOf(stem);
    QDirIterator entries(folder.isEmpty() ? QStringLiteral(".") : folder, QDir::Files | QDir::Hidden);
    while (entries.hasNext()) {
        entries.next();
        const QString name = entries.fileName();
        if (name.startsWith(prefix) && writerIsGone(QStringView(name).mid(prefix.size())))
            QFile::remove(entries.filePath());
    }
}

// The renamed entries themselves reach the disk with their folder.
void syncFolder(const QString& folder)
{
    const int fd = ::open(native(folder.isEmpty() ? QStringLiteral(".") : folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// One file written under a temporary name beside its target. The temporary
// file goes away unless it was moved into place; the old file, when it was
// kept under a second name, goes away unless it had to return.
class PendingFile {
public:
    explicit PendingFile(const QString& path) : m_target(resolvedTarget(path))
    {
        struct stat status {};
        m_replaces = !m_target.isEmpty() && ::stat(native(m_target).constData(), &status) == 0;
        // A folder, a device or a pipe is never replaced by a file.
        m_isOther = m_replaces && !S_ISREG(status.st_mode);
        const QFileInfo target(m_target);
        // The "User" flags tell what this process may do (root may write
        // anything); only the file's own mode is carried over.
        if (m_replaces)
            m_permissions =
                target.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
        if (!m_target.isEmpty())
            removeStaleTemporaries(m_target);
    }
    ~PendingFile()
    {
        if (!m_temporary.isEmpty() && !m_moved)
            QFile::remove(m_temporary);
        if (!m_old.isEmpty())
            QFile::remove(m_old);
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // True when every byte reached the disk.
    bool write(const FileContent& content, const DeviceWriter& writer)
    {
        QFile file;
        if (m_target.isEmpty() || m_isOther || !createTemporary(file))
            return false;
        // fsync() reports what the disk refused after write() took the bytes.
        const bool written = content.produce ? content.produce(file) : writer(file, content.bytes);
        if (!written || ::fsync(file.handle()) != 0)
            return false;
        // The new file gets the old one's permissions before it takes its place.
        if (m_replaces)
            file.setPermissions(m_permissions);
        file.close();
        return file.error() == QFileDevice::NoError;
    }

    // Gives the file about to be replaced a second name, so that it can
    // return when a later file of the same save cannot take its place. A
    // folder without hard links (FAT, say) gets a copy.
    bool keepOld()
    {
        if (!m_replaces)
            return true;
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            const QString name = newTemporaryName(temporaryStem(m_target));
            if (::link(native(m_target).constData(), native(name).constData()) != 0 && errno == EEXIST)
                continue;
            if (!QFileInfo::exists(name) && !QFile::copy(m_target, name))
                return false;
            m_old = name;
            return true;
        }
        return false;
    }

    bool moveIntoPlace()
    {
        m_moved = std::rename(native(m_temporary).constData(), native(m_target).constData()) == 0;
        if (m_moved)
            syncFolder(folder());
        return m_moved;
    }

    // Undoes moveIntoPlace(): the old file returns, or the new one goes when
    // there was none. An old file that cannot return keeps its second name.
    void putBack()
    {
        if (m_old.isEmpty()) {
            QFile::remove(m_target);
        } else if (std::rename(native(m_old).constData(), native(m_target).constData()) == 0) {
            m_old.clear();
        } else {
            m_old.clear(); // kept, not removed
            return;
        }
        syncFolder(folder());
    }

private:
    QString folder() const { return folderOf(m_target); }

    // A new name beside the target; created here, so no other file is touched.
    // Unbuffered: a failing write shows at the write, not in a buffer that is
    // flushed later without a check.
    bool createTemporary(QFile& file)
    {
        const QString stem = temporaryStem(m_target);
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            const QString name = newTemporaryName(stem);
            file.setFileName(name);
            if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
                m_temporary = name;
                return true;
            }
            if (!QFileInfo::exists(name))
                return false; // the folder refuses new files
        }
        return false;
    }

    QString m_target;
    QString m_temporary;
    QString m_old; // the replaced file's second name while it may have to return
    bool m_replaces = false;
    bool m_isOther = false; // there, and no regular file
    bool m_moved = false;
    QFileDevice::Permissions m_permissions;
};

} // namespace

bool writeAll(QIODevice& device, const QByteArray& bytes)
{
    return device.write(bytes) == bytes.size();
}

bool sameTarget(const QString& a, const QString& b)
{
    const QString first = resolvedTarget(a);
    const QString second = resolvedTarget(b);
    if (first.isEmpty() || second.isEmpty() || fileNameOf(first) != fileNameOf(second))
        return false;
    // One name in one folder, however the folder is spelt or reached.
    struct stat one {};
    struct stat other {};
    const auto folder = [](const QString& path) {
        return native(folderOf(path).isEmpty() ? QStringLiteral(".") : folderOf(path));
    };
    return ::stat(folder(first).constData(), &one) == 0 && ::stat(folder(second).constData(), &other) == 0 &&
           one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

QString replaceFiles(const QList<FileContent>& files, const DeviceWriter& writer)
{
    for (qsizetype later = 1; later < files.size(); ++later) {
        for (qsizetype earlier = 0; earlier < later; ++earlier) {
            if (sameTarget(files[earlier].path, files[later].path))
                return files[later].path;
        }
    }
    std::vector<std::unique_ptr<PendingFile>> pending;
    for (const FileContent& file : files) {
        pending.push_back(std::make_unique<PendingFile>(file.path));
        // Every file but the last may have to return, should a later one fail.
        const bool last = pending.size() == std::size_t(files.size());
        if (!pending.back()->write(file, writer) || (!last && !pending.back()->keepOld()))
            return file.path;
    }
    for (std::size_t failed = 0; failed < pending.size(); ++failed) {
        if (pending[failed]->moveIntoPlace())
            continue;
        for (std::size_t i = failed; i-- > 0;)
            pending[i]->putBack();
        return files[qsizetype(failed)].path;
    }
    return {};
}

} // namespace korvane
