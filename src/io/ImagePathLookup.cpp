#include "io/ImagePathLookup.h"

#include <QDir>
#include <QFileInfo>

namespace korvane {

namespace {

QString joined(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The entry of `folder` called `name` in any letter case; the exact spelling wins.
QString matchingEntry(const QString& folder, const QString& name, bool wantFile)
{
    const QString exact = joined(folder, name);
    const QFileInfo exactInfo(exact);
    if (exactInfo.exists() && (wantFile ? !exactInfo.isDir() : exactInfo.isDir()))
        return exact;
    const QDir::Filters kinds =
        (wantFile ? QDir::Files : QDir::Dirs) | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    const QStringList entries = QDir(folder).entryList(kinds, QDir::Name);
    for (const QString& entryName : entries) {
        if (entryName.compare(name, Qt::CaseInsensitive) == 0)
            return joined(folder, entryName);
    }
    return {};
}

} // namespace

QString findFileIgnoringCase(const QString& path, const QString& baseFolder)
{
    if (path.isEmpty())
        return {};
#ifdef Q_OS_WIN
    const QFileInfo info(QDir(baseFolder).filePath(path));
    return info.isFile() ? QDir::toNativeSeparators(info.absoluteFilePath()) : QString();
#else
    // A "\" is a character of a file name here, as the system knows it.
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = path.startsWith(QLatin1Char('/'))
                          ? QStringLiteral("/")
                          : QDir(baseFolder.isEmpty() ? QDir::currentPath() : baseFolder).absolutePath();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        const bool last = i + 1 == parts.size();
        if (part == QLatin1String(".") && !last)
            continue;
        if (part == QLatin1String("..") && !last) {
            current = QFileInfo(current).dir().absolutePath();
            continue;
        }
        current = matchingEntry(current, part, last);
        if (current.isEmpty())
            return {};
    }
    return QDir::cleanPath(current);
#endif
}

} // namespace korvane
