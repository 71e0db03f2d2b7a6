#include "app/MainWindow.h"

#include "io/ExportWindow.h"
#include "io/MapFileWriter.h"
#include "model/MapCode.h"
#include "model/Paths.h"
#include "platform/FileDialogs.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>

namespace korvane {

void MainWindow::exportCommand()
{
    const QString code = mapCode();
    if (code.isEmpty())
        return;
    QString folder = m_state.lastExportFolder.isEmpty() ? QDir::currentPath() : m_state.lastExportFolder;
    const QString name = showOpenDialog(this, QStringLiteral("HTML-Datei öffnen"), folder, QString(),
                                        QStringLiteral("Html-Dateien (html, htm, php, asp) |*.html;*.htm;*.php;*.asp"),
                                        QStringLiteral("*.html;*.htm;*.php;*.asp"));
    if (name.isEmpty())
        return;
    folder = withTrailingSeparator(folder);
    m_state.lastExportFolder = folder;

    // One export window, reused while the main window lives.
    auto* window = findChild<ExportWindow*>();
    if (window && !window->offerToSaveEdits())
        return;
    if (!window)
        window = new ExportWindow(this);
    window->loadFile(folder + name);

    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    // The code goes into that page: its picture may be named relative to it.
    clipboard->setText(m_state.relativeImagePath
                           ? withPageRelativeSource(withCrLfLineEnds(code), m_document.imagePath(), folder)
                           : withCrLfLineEnds(code));

    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace korvane
