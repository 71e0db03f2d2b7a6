#include "app/commands/FileCommands.h"

#include "picture/ImageLoader.h"
#include "app/commands/EditorView.h"
#include "app/commands/SettingsCommands.h"
#include "io/ExportWindow.h"
#include "io/FileReplace.h"
#include "io/MapFileWriter.h"
#include "model/Codec.h"
#include "model/MapCode.h"
#include "model/Paths.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include <sys/stat.h>

namespace korvane {

namespace {

QString openTitle()
{
    return QCoreApplication::translate("korvane::FileCommands", "PNG,  JPG, JPEG, GIF, BMP (Bilddateien)");
}
const QString kOpenExtension = QStringLiteral("*.bmp;*.jpg;*.jpeg;*.gif;*.png");

// The filter above first, then one entry with every kind the loader reads
// (TIFF, icons, metafiles, WebP, SVG), which the first one hides.
QString openFilter()
{
    QStringList patterns;
    for (const QString& extension : pictureExtensions())
        patterns << QLatin1Char('*') + extension;
    return QCoreApplication::translate("korvane::FileCommands", "Bilddateien (*.png,*.jpg,*.gif,*.bmp) |*.bmp;*.jpg;*.jpeg;*.gif;*.png") +
           QLatin1Char('|') + QCoreApplication::translate("korvane::FileCommands", "Alle Bilddateien") + QStringLiteral(" (") +
           patterns.join(QLatin1Char(',')) + QStringLiteral(") |") + patterns.join(QLatin1Char(';'));
}

QString savedQuestion(const QString& pagePath)
{
    return QCoreApplication::translate("korvane::FileCommands", "Die HTML-Datei wurde unter \"%1\" gespeichert.").arg(pagePath) + kCrLf +
           kCrLf +
           QCoreApplication::translate("korvane::FileCommands", "Soll die erzeugte Test-HTML-Datei und die MAP-Datendatei (eine ASCII-Textdatei mit den "
                          "eigentlichen MAP-Daten) jetzt zur Kontrolle mit dem StandardBrowser angezeigt werden?");
}

QString saveFailedMessage(const QString& path)
{
    return QCoreApplication::translate("korvane::FileCommands", "Die MAP-Daten konnten nicht gespeichert werden: Die Datei \"%1\" ließ "
                                                         "sich nicht schreiben.")
               .arg(path) +
           kCrLf + kCrLf +
           QCoreApplication::translate("korvane::FileCommands", "Eine bereits vorhandene Datei dieses Namens ist unverändert geblieben.");
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
                    QCoreApplication::translate("korvane::FileCommands", "Die MAP-Datei \"%1\" gibt es bereits; sie gehört nicht zu "
                                                        "dieser ImageMap. Soll sie ersetzt werden?")
                        .arg(dataPath),
                    MessageButton::No);
}

// A page the user did not name (the name given was the .map's) is
// replaced only when the user agrees.
bool mayReplacePage(QWidget* owner, const QString& pagePath)
{
    const QFileInfo existing(pagePath);
    if (!existing.exists() || existing.isDir())
        return true;
    return askYesNo(owner, kQuestionTitle,
                    QStringLiteral("Die HTML-Datei \"") + pagePath +
                        QStringLiteral("\" gibt es bereits. Soll sie ersetzt werden?"),
                    MessageButton::No);
}

// Why the pair cannot be written; empty when it can. A folder in the way is
// found when the files are written.
QString refusedPair(const SavePair& pair)
{
    // A link would make the page replace the .map it follows.
    if (sameTarget(pair.page, pair.data))
        return QStringLiteral("Die MAP-Daten wurden nicht gespeichert: Die Test-HTML-Datei \"") + pair.page +
               QStringLiteral("\" und die MAP-Datei \"") + pair.data + QStringLiteral("\" wären dieselbe Datei.");
    return {};
}

// Shows the wait cursor while the files are written.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

QString chooseFileToOpen(EditorSession& session, QWidget* owner, const QString& title, QString& folder,
                         const QString& presetName, const QString& filter, const QString& defaultExtension)
{
    const QString handedOver = session.takePresetOpenChoice();
    if (!handedOver.isEmpty())
        return acceptChosenFile(handedOver, folder);
    return showOpenDialog(owner, title, folder, presetName, filter, defaultExtension);
}

// Command1: loads a picture for a new map.
void FileCommands::open()
{
    ProgramState& state = m_session.state();
    // Pressed by an import for the picture its file names: the areas stay.
    const bool keepAreas = m_session.takeOpenKeepsAreas();
    readSettingsOnce(m_session, m_view);
    if (!keepAreas && !EditorView::goesOn(m_view.askAboutUnsavedCode()))
        return;

    // The map stays as it is until a picture was chosen and loaded: a
    // cancelled dialog or a refused file changes nothing.
    QString folder = state.lastImageFolder.isEmpty() ? QDir::currentPath() : state.lastImageFolder;
    const QString preset = state.openPresetName;
    const QString chosen =
        chooseFileToOpen(m_session, m_view.owner(), openTitle(), folder, preset, openFilter(), kOpenExtension);
    state.openPresetName.clear();
    folder = withTrailingSeparator(folder);
    if (chosen.isEmpty() || !m_view.bild_laden(folder + chosen))
        return;

    m_session.editor().polyCoordText.clear();
    if (!keepAreas)
        m_view.reset_zustand();
    m_view.showHelpBox();
    m_view.enablePictureTools(EditorView::ToolsFor::Picture);
    m_session.document().setImagePath(folder + chosen);
    m_session.document().setMapName(QString());
    m_session.fileOpened(folder + chosen);
}

// Command7: the test page and the .map file beside it.
void FileCommands::save()
{
    ProgramState& state = m_session.state();
    MapDocument& document = m_session.document();
    QWidget* owner = m_view.owner();
    QString folder = state.lastMapFolder.isEmpty() ? QDir::currentPath() : state.lastMapFolder;
    const QString name = showSaveDialog(owner, QCoreApplication::translate("korvane::FileCommands", "Test-HTML-Datei und MAP-Daten speichern unter..."),
                                        folder, baseNameOf(document.imagePath()) + QStringLiteral(".html"),
                                        QCoreApplication::translate("korvane::FileCommands", "HTML-Datei (*.html)|*.html"), QStringLiteral("*.html"));
    if (name.isEmpty())
        return;
    folder = withTrailingSeparator(folder);
    const SavePair pair = savePairFor(folder, name);
    const QString& pagePath = pair.page;
    const QString& dataPath = pair.data;
    state.lastMapFolder = folder;
    if (const QString refusal = refusedPair(pair); !refusal.isEmpty()) {
        warn(owner, refusal);
        return;
    }
    // The dialog asked before the file it names is replaced; the other one
    // may belong to something else.
    if (pair.dataNamed ? !mayReplacePage(owner, pagePath)
                       : !mayReplaceDataFile(owner, dataPath, document.mapFilePath()))
        return;

    // The text box hands out "\n"; the files keep the code's CR LF line ends.
    const QString shown = m_view.mapCode();
    QString code = withCrLfLineEnds(shown);
    if (state.relativeImagePath)
        code = withPageRelativeSource(code, document.imagePath(), folder);
    // The test page names the picture by a valid address (the file name's blanks escaped too).
    const QString pageCode =
        state.relativeImagePath ? code
                                : withImageSource(code, document.imagePath(), pageImageSourceValue(document.imagePath()));
    QString failed;
    {
        WaitCursor wait;
        // The .map takes its place first and the page last, so a new page
        // always stands beside its new .map, even after a save was killed.
        failed = replaceFiles(
            {{dataPath, mapDataFileBytes(code, document.imageFileName())}, {pagePath, testPageBytes(pageCode)}});
    }
    if (!failed.isEmpty()) {
        warn(owner, saveFailedMessage(failed));
        return;
    }
    document.setMapFilePath(dataPath);
    if (askYesNo(owner, programName(), savedQuestion(pagePath), MessageButton::Yes)) {
        platform().openInTextViewer(dataPath);
        openWithProgram(pagePath);
    }
    document.markSaved();
}

// Command12: the code goes to the clipboard and into a page of the user's.
void FileCommands::exportCode()
{
    ProgramState& state = m_session.state();
    const QString code = m_view.mapCode();
    if (code.isEmpty())
        return;
    QWidget* owner = m_view.owner();
    QString folder = state.lastExportFolder.isEmpty() ? QDir::currentPath() : state.lastExportFolder;
    const QString name = showOpenDialog(owner, QCoreApplication::translate("korvane::FileCommands", "HTML-Datei öffnen"), folder, QString(),
                                        QCoreApplication::translate("korvane::FileCommands", "Html-Dateien (html, htm, php, asp) |*.html;*.htm;*.php;*.asp"),
                                        QStringLiteral("*.html;*.htm;*.php;*.asp"));
    if (name.isEmpty())
        return;
    folder = withTrailingSeparator(folder);
    state.lastExportFolder = folder;

    // One export window, reused while the main window lives.
    auto* window = owner->findChild<ExportWindow*>();
    if (window && !window->offerToSaveEdits())
        return;
    if (!window)
        window = new ExportWindow(owner);
    window->loadFile(folder + name);

    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    // The code goes into that page: its picture may be named relative to it.
    clipboard->setText(state.relativeImagePath
                           ? withPageRelativeSource(withCrLfLineEnds(code), m_session.document().imagePath(), folder)
                           : withCrLfLineEnds(code));

    window->show();
    window->raise();
    window->activateWindow();
}

// The desktop says nothing when it finds no browser for the document: the
// user would wait for a help that never comes.
void FileCommands::help()
{
    const QString document = helpDocumentFor(programFolder());
    if (!QFileInfo::exists(document)) {
        warn(m_view.owner(), tr("Die Hilfe kann nicht geöffnet werden: Die Datei \"%1\" gibt es nicht.")
                                 .arg(QDir::toNativeSeparators(document)));
        return;
    }
    if (!platform().openWithAssociatedProgram(document))
        warn(m_view.owner(), tr("Die Hilfe \"%1\" kann nicht geöffnet werden: Es lässt sich kein Browser starten, "
                                "der sie zeigt.")
                                 .arg(QDir::toNativeSeparators(document)));
    m_view.owner()->unsetCursor();
}

void FileCommands::copyToClipboard()
{
    const QString code = m_view.mapCode();
    if (code.isEmpty())
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(code);
}

// A missing file or type is the desktop's to report.
void FileCommands::openWithProgram(const QString& path)
{
    platform().openWithAssociatedProgram(path);
    m_view.owner()->unsetCursor();
}

} // namespace korvane
