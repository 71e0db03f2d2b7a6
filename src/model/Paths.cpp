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

QString programFolder()
{
    return withTrailingSeparator(QCoreApplication::applicationDirPath());
}

QString helpDocumentFor(const QString& folder)
{
    const QString name = QStringLiteral("korvane-hilfe.html");
    const QString beside = withTrailingSeparator(folder) + name;
    const QString installed =
        QDir::cleanPath(withTrailingSeparator(folder) + QStringLiteral("../share/korvane/") + name);
    return !QFileInfo::exists(beside) && QFileInfo::exists(installed) ? installed : beside;
}

} // namespace korvane
