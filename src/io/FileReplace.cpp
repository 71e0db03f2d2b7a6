#include "io/FileReplace.h"

#include "model/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace korvane {

namespace {

// One file written under a temporary name beside its target. The temporary
// file goes away unless it was moved into place.
class PendingFile {
public:
    explicit PendingFile(const QString& path)
    {
        // A link is followed, so the file it points to is replaced, not the link.
        const QFileInfo info(path);
        m_target = info.isSymLink() ? info.symLinkTarget() : path;
        const QFileInfo target(m_target);
        m_replaces = target.exists();
        m_isFolder = target.isDir();
        // The "User" flags tell what this process may do (root may write
        // anything); only the file's own mode is carried over.
        if (m_replaces)
            m_permissions =
                target.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
    }
    ~PendingFile()
    {
        if (!m_temporary.isEmpty() && !m_moved)
            QFile::remove(m_temporary);
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // True when every byte reached the disk.
    bool write(const QByteArray& bytes, const DeviceWriter& writer)
    {
        QFile file;
        if (m_isFolder || !createTemporary(file))
            return false;
        // fsync() reports what the disk refused after write() took the bytes.
        if (!writer(file, bytes) || ::fsync(file.handle()) != 0)
            return false;
        // The new file gets the old one's permissions before it takes its place.
        if (m_replaces)
            file.setPermissions(m_permissions);
        file.close();
        return file.error() == QFileDevice::NoError;
    }

    bool moveIntoPlace()
    {
        m_moved = std::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) == 0;
        return m_moved;
    }

    QString folder() const { return folderOf(m_target); }

private:
    // A new name beside the target; created here, so no other file is touched.
    // Unbuffered: a failing write shows at the write, not in a buffer that is
    // flushed later without a check.
    bool createTemporary(QFile& file)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QString name = folderOf(m_target) + QLatin1Char('.') + fileNameOf(m_target) + QLatin1Char('.') +
                                 QString::number(QRandomGenerator::global()->generate(), 36);
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
    bool m_replaces = false;
    bool m_isFolder = false;
    bool m_moved = false;
    QFileDevice::Permissions m_permissions;
};

// The renamed entries themselves reach the disk with their folder.
void syncFolder(const QString& folder)
{
    const int fd =
        ::open(QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool writeAll(QIODevice& device, const QByteArray& bytes)
{
    return device.write(bytes) == bytes.size();
}

QString replaceFiles(const QList<FileContent>& files, const DeviceWriter& writer)
{
    std::vector<std::unique_ptr<PendingFile>> pending;
    for (const FileContent& file : files) {
        pending.push_back(std::make_unique<PendingFile>(file.path));
        if (!pending.back()->write(file.bytes, writer))
            return file.path;
    }
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (!pending[i]->moveIntoPlace())
            return files[qsizetype(i)].path;
        syncFolder(pending[i]->folder());
    }
    return {};
}

} // namespace korvane
