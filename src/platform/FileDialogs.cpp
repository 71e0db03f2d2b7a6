#include "platform/FileDialogs.h"

#include "model/Paths.h"
#include "platform/Platform.h"

#include <QDir>

#include <utility>

namespace korvane {

namespace {

QString showFileDialog(FileDialogRequest::Mode mode, QWidget* owner, const QString& title, QString& folder,
                       const QString& presetName, const QString& filter, const QString& defaultExtension)
{
    const QString path = platform().fileDialog({mode, owner, title, folder, presetName, filter, defaultExtension});
    if (path.isEmpty())
        return {};
    return acceptChosenFile(path, folder);
}

} // namespace

QString acceptChosenFile(const QString& path, QString& folder)
{
    folder = folderOf(path);
    QDir::setCurrent(folder);
    return fileNameOf(path);
}

QString showOpenDialog(QWidget* owner, const QString& title, QString& folder, const QString& presetName,
                       const QString& filter, const QString& defaultExtension)
{
    return showFileDialog(FileDialogRequest::Mode::Open, owner, title, folder, presetName, filter, defaultExtension);
}

QString showSaveDialog(QWidget* owner, const QString& title, QString& folder, const QString& presetName,
                       const QString& filter, const QString& defaultExtension)
{
    return showFileDialog(FileDialogRequest::Mode::Save, owner, title, folder, presetName, filter, defaultExtension);
}

QStringList nameFiltersOf(const QString& barFilter)
{
    const QStringList parts = barFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

QString defaultSuffixOf(const QString& defaultExtension)
{
    QString first = defaultExtension.section(QLatin1Char(';'), 0, 0).trimmed();
    if (first.startsWith(QLatin1String("*.")))
        first.remove(0, 2);
    return first.contains(QLatin1Char('*')) ? QString() : first;
}

} // namespace korvane
