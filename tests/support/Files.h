#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace korvane::test {

// "<missing>" lets a comparison with expected bytes fail visibly when the file is absent.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The file's mode: owner, group and others, without the flags that tell what
// this process may do (root may write a read-only file).
inline QFileDevice::Permissions modeOf(const QString& path)
{
    return QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace korvane::test
