#include "app/commands/ImportCommands.h"

#include "app/ImportProgress.h"
#include "model/StageClock.h"
#include "app/commands/EditorView.h"
#include "app/commands/FileCommands.h"
#include "app/commands/ImportSteps.h"
#include "app/commands/SettingsCommands.h"
#include "io/HtmlImport.h"
#include "io/ImagePathLookup.h"
#include "io/ImgSearchDialog.h"
#include "io/ImportFile.h"
#include "io/MapImport.h"
#include "io/OwnForms.h"
#include "io/PageReadAhead.h"
#include "model/Paths.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QScopeGuard>

#include <functional>
#include <optional>

namespace korvane {

namespace {

// The picture an import names starts decoding beside the reading, when no
// picture is shown (never two big pictures at once) and the file is there.
void prefetchPicture(EditorSession& session, const QString& imagePath, const QString& folder)
{
    if (!session.document().imageFileName().isEmpty() || imagePath.isEmpty())
        return;
    const QString onDisk = findFileIgnoringCase(imagePath, folder);
    if (!onDisk.isEmpty())
        session.prefetch().start(onDisk, session.decodesByContent(onDisk));
}

// The file's map data; nothing when the user stopped the reading. The file
// is never held whole. `named` hears of the picture once the file has named
// one (again should the file be read again in another encoding).
std::optional<import::MapFileData> readMapData(QWidget* window, const QString& path,
                                               const std::function<void(const QString&)>& named)
{
    ImportProgress progress(window, path);
    import::MapFileStream stream(import::nativePathStyle());
    bool told = false;
    import::streamImportFile(
        path,
        [&](QStringView piece) {
            stream.take(piece);
            if (!told && !stream.imagePathSoFar().isEmpty()) {
                told = true;
                named(stream.imagePathSoFar());
            }
        },
        [&] {
            stream = import::MapFileStream(import::nativePathStyle());
            told = false;
        },
        progress.step(ImportProgress::kReadingAreas));
    if (progress.cancelled())
        return std::nullopt;
    return stream.finish();
}

// The img tag to import from: the only candidate, or the one the user picks
// in frmImgSuche. Empty when the user closed the chooser without a choice.
QString chooseImgTag(EditorSession& session, QWidget* owner, const QStringList& candidates)
{
    QString& chosen = session.state().chosenImgTag;
    if (candidates.size() == 1) {
        chosen = candidates.front();
        return chosen;
    }
    chosen.clear();
    ImgSearchDialog chooser(owner);
    QObject::connect(&chooser, &ImgSearchDialog::tagChosen, owner, [&chosen](const QString& tag) { chosen = tag; });
    chooser.setCandidates(candidates);
    chooser.showCandidates();
    chooser.exec();
    return chosen;
}

// The page's map of that name, and its areas when it is there.
struct MapRead {
    import::FoundMap map;
    import::AreaScan scan;
};

// `usemap` as the page writes it; a null one takes the first map (the open
// command cleared the map's name).
MapRead readMap(QStringView page, const import::PageMaps& pageMaps, const QString& usemap,
                const import::Progress& progress = {})
{
    const stages::Clock clock(stages::Stage::Reading);
    MapRead read;
    if (!usemap.isNull()) {
        read.map = import::findMap(page, pageMaps, usemap);
    } else if (!pageMaps.maps.empty()) {
        const import::MapElement& first = pageMaps.maps.front();
        read.map = {import::MapLookup::Found, page.sliced(first.start, first.end - first.start), true, {}};
    }
    if (read.map.outcome == import::MapLookup::Found)
        read.scan = import::readMapAreas(read.map.text, progress);
    return read;
}

// A browser shows the picture without this map: the user hears which one was taken.
void tellOldPageMap(QWidget* owner, const QString& usemap, const import::FoundMap& map)
{
    const QChar quote = QLatin1Char('"');
    const QString why =
        usemap.contains(QLatin1Char('#'))
            ? QCoreApplication::translate("korvane::ImportCommands", "keine Map heißt genau %1").arg(quote + import::mapNameOf(usemap) + quote)
            : QCoreApplication::translate("korvane::ImportCommands", "usemap=%1 beginnt nicht mit \"#\"").arg(quote + usemap + quote);
    inform(owner, QCoreApplication::translate("korvane::ImportCommands", "Ein Browser verbindet die Grafik mit keiner Map (%1). Übernommen "
                                                      "wurden die Areale der Map %2.")
                      .arg(why, quote + map.name + quote));
}

// The page and what one reading of it finds; nothing when the user stopped it.
using import::PageRead;
std::optional<PageRead> readPage(import::PageReadAhead& ahead, QWidget* window, const QString& path)
{
    ImportProgress progress(window, path);
    // The page named on the command line was read while the window was built.
    if (std::optional<PageRead> early = ahead.take(path, progress.step(ImportProgress::kReadingFile)))
        return early;
    if (progress.cancelled())
        return std::nullopt;
    PageRead read;
    read.page = import::readImportFile(path, progress.step(ImportProgress::kReadingFile));
    if (!progress.cancelled())
        read.maps = import::readPageMaps(read.page, progress.step(ImportProgress::kReadingMaps));
    if (progress.cancelled())
        return std::nullopt;
    return read;
}

// The areas of the chosen map, read before anything of the open map changes;
// nothing when the user stopped it.
std::optional<MapRead> readChosenMap(QWidget* window, const QString& path, const PageRead& read, const QString& mapName)
{
    ImportProgress progress(window, path);
    MapRead map = readMap(read.page, read.maps, mapName, progress.step(ImportProgress::kReadingAreas));
    if (progress.cancelled())
        return std::nullopt;
    return map;
}

// A wiki names a file with blanks or underscores alike.
QString wikiPicture(const QString& name, const QString& folder)
{
    if (!findFileIgnoringCase(name, folder).isEmpty())
        return name;
    for (const auto& [from, to] : {std::pair{u'_', u' '}, std::pair{u' ', u'_'}}) {
        const QString other = QString(name).replace(from, to);
        if (!findFileIgnoringCase(other, folder).isEmpty())
            return other;
    }
    return name;
}

} // namespace

// The map of one of Korvane's own forms, read from the page the Html command opened.
void ImportCommands::importOwnForm(const import::OwnMap& map, const QString& path, EditorView::UnsavedCode unsaved,
                                   bool editing)
{
    MapDocument& document = m_session.document();
    const QString folder = withTrailingSeparator(folderOf(path));
    const QString imagePath = map.form == import::OwnForm::MediaWiki ? wikiPicture(map.imagePath, folder) : map.imagePath;
    const auto commit = [this, &document, unsaved, &map] {
        if (unsaved == EditorView::UnsavedCode::Discard)
            m_view.reset_zustand();
        document.setMapName(map.mapName);
    };
    if (!importsteps::loadNamedImage(
            m_session, m_view, imagePath, folder,
            QCoreApplication::translate("korvane::ImportCommands", "Die MAP-Daten beziehen sich auf die Grafikdatei "),
            commit))
        return;
    // The coordinates of every form are pixels of the picture itself.
    importsteps::finish(m_session, m_view, map.lines, editing);
    // Like a page of the classic map, the file joins the recently opened ones.
    m_session.fileOpened(path);
}

// Command8: appends the areas of a .map file and loads the image it names.
void ImportCommands::mapImport()
{
    readSettingsOnce(m_session, m_view);
    const bool editing = m_session.editChosen();
    QWidget* owner = m_view.owner();
    MapDocument& document = m_session.document();
    // Areas the user does not keep go only once the import goes on for
    // certain; "Abbrechen" (or Escape) ends the import before it begins.
    bool keep = true;
    if (!m_session.areas().isEmpty()) {
        const MessageButton answer = askYesNoCancel(
            owner, kQuestionTitle, QCoreApplication::translate("korvane::ImportCommands", "Sollen die schon eingezeichneten Areale erhalten bleiben?"));
        if (answer == MessageButton::Cancel)
            return;
        keep = answer == MessageButton::Yes;
    }
    m_view.showHelpBox();

    QString folder = importsteps::startFolder(m_session);
    const QString name = chooseFileToOpen(m_session, owner, QCoreApplication::translate("korvane::ImportCommands", "MapDatei öffnen"), folder, QString(),
                                          QCoreApplication::translate("korvane::ImportCommands", "MapDateien (*.map) |*.map"), QStringLiteral("*.map"));
    folder = withTrailingSeparator(folder);
    if (name.isEmpty())
        return;

    const auto unused = qScopeGuard([this] { m_session.prefetch().drop(); });
    stages::Clock reading(stages::Stage::Reading);
    const std::optional<import::MapFileData> read = readMapData(
        owner, folder + name, [this, &folder](const QString& image) { prefetchPicture(m_session, image, folder); });
    reading.stop();
    if (!read)
        return;
    const import::MapFileData& data = *read;
    if (!data.hasMap) {
        // The name is taken before the map data are looked for; a file that
        // names no map at all (one that could not be read, say) leaves it alone.
        if (data.hasUsemap)
            document.setMapName(data.mapName);
        // The image path stays that of the image shown: the code must not name the .map file as its image.
        warn(owner, QCoreApplication::translate("korvane::ImportCommands", "In der Datei \"%1\" wurden keine MAP-Daten gefunden").arg(name));
        return;
    }
    const auto commit = [this, &document, keep, &data] {
        if (!keep)
            m_view.reset_zustand();
        document.setMapName(data.mapName);
    };
    if (data.imagePath.compare(document.imageFileName(), Qt::CaseInsensitive) != 0) {
        if (!importsteps::loadNamedImage(m_session, m_view, data.imagePath, folder,
                                         QCoreApplication::translate("korvane::ImportCommands", "Die MAP-Daten beziehen sich auf die Datei "), commit))
            return;
    } else {
        // The image shown is the one the file names: nothing is loaded again.
        commit();
        const QString onDisk = findFileIgnoringCase(data.imagePath, folder);
        document.setImagePath(onDisk.isEmpty() ? data.imagePath : onDisk);
    }
    importsteps::keepLastHandlers(m_session, data.areas);
    importsteps::finish(m_session, m_view, data.areas.lines, editing, data.width, data.height);
    document.setMapFilePath(folder + name);
    m_session.fileOpened(folder + name);
}

// Command11: appends the areas of one image map of an HTML page.
void ImportCommands::htmlImport()
{
    readSettingsOnce(m_session, m_view);
    const bool editing = m_session.editChosen();
    QWidget* owner = m_view.owner();
    MapDocument& document = m_session.document();
    // Code the user gives up goes only once the import goes on for certain.
    const EditorView::UnsavedCode unsaved = m_view.askAboutUnsavedCode();
    if (!EditorView::goesOn(unsaved))
        return;
    m_view.showHelpBox();

    QString folder = importsteps::startFolder(m_session);
    const QString name =
        chooseFileToOpen(m_session, owner, QCoreApplication::translate("korvane::ImportCommands", "HTML-Datei öffnen"), folder, QString(),
                         QCoreApplication::translate("korvane::ImportCommands", "Html-Dateien (html, htm, php, asp) |*.html;*.htm;*.php;*.asp"),
                         QStringLiteral("*.html;*.htm;*.php;*.asp"));
    folder = withTrailingSeparator(folder);
    if (name.isEmpty())
        return;

    stages::Clock reading(stages::Stage::Reading);
    std::optional<PageRead> pageRead = readPage(m_session.pageAhead(), owner, folder + name);
    reading.stop();
    if (!pageRead)
        return;
    const QStringList& candidates = pageRead->maps.candidates;
    if (candidates.isEmpty()) {
        // A page without a classic map may hold one of Korvane's own forms.
        QString problem;
        std::optional<import::OwnMap> own = import::readOwnForm(pageRead->page, &problem);
        pageRead.reset();
        if (own)
            importOwnForm(*own, folder + name, unsaved, editing);
        else
            inform(owner, problem.isEmpty() ? QCoreApplication::translate("korvane::ImportCommands", "In der ausgewählten Datei wurde keine ImageMap gefunden.")
                                            : problem);
        return;
    }
    const QString tag = chooseImgTag(m_session, owner, candidates);
    if (tag.isEmpty()) {
        m_view.refresh();
        return;
    }

    // The picture as the page names it (the chooser shows the tag in lower case).
    const import::ChosenImage image = import::readChosenTag(pageRead->maps.writtenTags.value(candidates.indexOf(tag)));
    // A base element of the page leads its relative addresses elsewhere.
    const QString baseHref = pageRead->maps.baseHref;
    const QString pictureFolder = withTrailingSeparator(import::baseFolder(baseHref, folder));
    const auto unused = qScopeGuard([this] { m_session.prefetch().drop(); });
    prefetchPicture(m_session, image.imagePath, pictureFolder);
    // The usemap as the page writes it, so that the map a browser takes wins.
    const QString usemap = pageRead->maps.usemapValues.value(candidates.indexOf(tag));
    // The chosen map's areas are read before anything changes, so that a
    // cancelled reading leaves the map as it was.
    std::optional<MapRead> read = readChosenMap(owner, folder + name, *pageRead, usemap);
    if (!read)
        return;
    const auto commit = [this, &document, unsaved, &image] {
        if (unsaved == EditorView::UnsavedCode::Discard)
            m_view.reset_zustand();
        document.setMapName(image.mapName);
    };
    if (!importsteps::loadNamedImage(m_session, m_view, image.imagePath, pictureFolder,
                                     QCoreApplication::translate("korvane::ImportCommands", "Die MAP-Daten beziehen sich auf die Grafikdatei "), commit))
        return;
    // The open command may have cleared the map's name meanwhile: then the first map is read.
    if (document.mapName() != image.mapName)
        read = readMap(pageRead->page, pageRead->maps,
                       document.mapName().isEmpty() ? QString() : QStringLiteral("#") + document.mapName());
    pageRead.reset(); // a big page need not stay beside its areas

    // The page's picture is shown now: the areas kept go onto it and into the
    // code also when its map is missing (else the canvas showed none of them).
    if (read->map.outcome != import::MapLookup::Found)
        m_view.refresh();
    if (read->map.outcome == import::MapLookup::NoMapElement) {
        inform(owner, QCoreApplication::translate("korvane::ImportCommands", "Es wurde keine ImageMap gefunden."));
        return;
    }
    if (read->map.outcome == import::MapLookup::NotFound) {
        inform(owner, QCoreApplication::translate("korvane::ImportCommands", "Map wurde nicht gefunden!"));
        return;
    }
    if (!read->map.byBrowser)
        tellOldPageMap(owner, usemap, read->map);
    import::resolveLinks(read->scan.lines, baseHref, folder);
    importsteps::keepLastHandlers(m_session, read->scan);
    importsteps::finish(m_session, m_view, read->scan.lines, editing, image.width, image.height);
    m_session.fileOpened(folder + name);
}

} // namespace korvane
