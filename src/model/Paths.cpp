#include "model/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace korvane {

qsizetype lastSeparator(const QString& path)
{
    return std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
}

QString fileNameOf(const QString& path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString baseNameOf(const QString& path)
{
    const qsizetype s = lastSeparator(path);
    const qsizetype d = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype length = d - s - 1;
    return length < 0 ? path : path.mid(s + 1, length);
}

QString folderOf(const QString& path)
{
    return path.left(lastSeparator(path) + 1);
}

bool isDrivePath(const QString& path)
{
    return path.size() > 1 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter() && QDir::separator() == u'/';
}

QString withTrailingSeparator(const QString& folder)
{
    if (folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QDir::separator();
}

namespace {

// The folder as the system finds it, symbolic links resolved: the nearest
// part of it that exists resolved, the rest kept.
QString resolvedFolder(const QString& folder)
{
    QString path = QDir::cleanPath(QDir(folder).absolutePath());
    QStringList rest;
    for (;;) {
        const QString found = QFileInfo(path).canonicalFilePath();
        if (!found.isEmpty())
            return QDir::cleanPath(rest.isEmpty() ? found : found + QLatin1Char('/') + rest.join(QLatin1Char('/')));
        const QFileInfo info(path);
        if (info.path() == path)
            return QDir::cleanPath(QDir(folder).absolutePath());
        rest.prepend(info.fileName());
        path = info.path();
    }
}

int climbs(const QString& relative)
{
    int count = 0;
    for (qsizetype at = 0; relative.mid(at, 3) == QLatin1String("../"); at += 3)
        ++count;
    return count;
}

} // namespace

QString relativePath(const QString& file, const QString& folder)
{
    const QString asGiven = QDir(folder).relativeFilePath(file);
    const QFileInfo info(file);
    const QString resolved =
        QDir(resolvedFolder(folder)).relativeFilePath(resolvedFolder(info.path()) + QLatin1Char('/') + info.fileName());
    return climbs(resolved) < climbs(asGiven) ? resolved : asGiven;
}

QString programFolder()
{
    return withTrailingSeparator(QCoreApplication::applicationDirPath());
}

QString helpDocumentFor(const QString& folder)
{
    // The help document in the window's language: its name is translated.
    const QString name = QCoreApplication::translate("korvane::Paths", "korvane-hilfe.html");
    const QString beside = withTrailingSeparator(folder) + name;
    const QString installed =
        QDir::cleanPath(withTrailingSeparator(folder) + QStringLiteral("../share/korvane/") + name);
    return !QFileInfo::exists(beside) && QFileInfo::exists(installed) ? installed : beside;
}

} // namespace korvane
