#include "app/MainWindow.h"
#include "model/Codec.h"

#include "io/FileReplace.h"
#include "io/MapFileWriter.h"
#include "model/Paths.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QDir>

namespace korvane {

namespace {

QString savedQuestion(const QString& pagePath)
{
    return QStringLiteral("Die HTML-Datei wurde unter \"") + pagePath + QStringLiteral("\" gespeichert.") + kCrLf +
           kCrLf +
           QStringLiteral("Soll die erzeugte Test-HTML-Datei und die MAP-Datendatei (eine ASCII-Textdatei mit den "
                          "eigentlichen MAP-Daten) jetzt zur Kontrolle mit dem StandardBrowser angezeigt werden?");
}

QString saveFailedMessage(const QString& path)
{
    return QStringLiteral("Die MAP-Daten konnten nicht gespeichert werden: Die Datei \"") + path +
           QStringLiteral("\" ließ sich nicht schreiben.") + kCrLf + kCrLf +
           QStringLiteral("Eine bereits vorhandene Datei dieses Namens ist unverändert geblieben.");
}

// Shows the wait cursor while the files are written.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

void MainWindow::saveCommand()
{
    QString folder = m_state.lastMapFolder.isEmpty() ? QDir::currentPath() : m_state.lastMapFolder;
    const QString name = showSaveDialog(this, QStringLiteral("Test-HTML-Datei und MAP-Daten speichern unter..."),
                                        folder, baseNameOf(m_document.imagePath()) + QStringLiteral(".html"),
                                        QStringLiteral("HTML-Datei (*.html)|*.html"), QStringLiteral("*.html"));
    if (name.isEmpty())
        return;
    folder = withTrailingSeparator(folder);
    const QString pagePath = folder + name;
    const QString dataPath = mapDataFilePath(folder, pagePath);
    m_state.lastMapFolder = folder;

    // The text box hands out "\n"; the files keep the code's CR LF line ends.
    const QString shown = mapCode();
    const QString code = withCrLfLineEnds(shown);
    QString failed;
    {
        WaitCursor wait;
        failed = replaceFiles(
            {{pagePath, testPageBytes(code)}, {dataPath, mapDataFileBytes(code, m_document.imageFileName())}});
    }
    if (!failed.isEmpty()) {
        warn(this, saveFailedMessage(failed));
        return;
    }
    if (askYesNo(this, programName(), savedQuestion(pagePath), MessageButton::Yes)) {
        platform().openInTextViewer(dataPath);
        OpenFileWithProg(pagePath);
    }
    m_document.markSaved(shown);
}

} // namespace korvane
