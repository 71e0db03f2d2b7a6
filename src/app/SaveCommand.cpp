#include "app/MainWindow.h"
#include "model/Codec.h"

#include "io/FileReplace.h"
#include "io/MapFileWriter.h"
#include "model/MapCode.h"
#include "model/Paths.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

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

// The same file, also when reached through a link or under another spelling.
bool sameFile(const QString& a, const QString& b)
{
    struct stat first {};
    struct stat second {};
    return !a.isEmpty() && !b.isEmpty() && ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// The save dialog asks before it replaces a page; the .map beside it may
// belong to another map, and only the user can tell.
bool mayReplaceDataFile(QWidget* owner, const QString& dataPath, const QString& ownDataPath)
{
    const QFileInfo existing(dataPath);
    if (!existing.exists() || existing.isDir() || sameFile(dataPath, ownDataPath))
        return true;
    return askYesNo(owner, kQuestionTitle,
                    QStringLiteral("Die MAP-Datei \"") + dataPath +
                        QStringLiteral("\" gibt es bereits; sie gehört nicht zu dieser ImageMap. Soll sie ersetzt "
                                       "werden?"),
                    MessageButton::No);
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
    if (!mayReplaceDataFile(this, dataPath, m_document.mapFilePath()))
        return;

    // The text box hands out "\n"; the files keep the code's CR LF line ends.
    const QString shown = mapCode();
    QString code = withCrLfLineEnds(shown);
    if (m_state.relativeImagePath)
        code = withPageRelativeSource(code, m_document.imagePath(), folder);
    QString failed;
    {
        WaitCursor wait;
        // The .map takes its place first and the page last, so a new page
        // always stands beside its new .map, even after a save was killed.
        failed = replaceFiles(
            {{dataPath, mapDataFileBytes(code, m_document.imageFileName())}, {pagePath, testPageBytes(code)}});
    }
    if (!failed.isEmpty()) {
        warn(this, saveFailedMessage(failed));
        return;
    }
    m_document.setMapFilePath(dataPath);
    if (askYesNo(this, programName(), savedQuestion(pagePath), MessageButton::Yes)) {
        platform().openInTextViewer(dataPath);
        OpenFileWithProg(pagePath);
    }
    m_document.markSaved(shown);
}

} // namespace korvane
