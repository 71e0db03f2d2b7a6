#include "app/ImportCommon.h"
#include "app/ImportProgress.h"
#include "app/MainWindow.h"
#include "app/StageClock.h"
#include "canvas/Canvas.h"
#include "io/HtmlImport.h"
#include "io/ImportFile.h"
#include "io/ImagePathLookup.h"
#include "io/ImgSearchDialog.h"
#include "model/Paths.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <optional>

namespace korvane {

namespace {

// The img tag to import from: the only candidate, or the one the user picks
// in frmImgSuche. Empty when the user closed the chooser without a choice.
QString chooseImgTag(MainWindow& window, const QStringList& candidates)
{
    QString& chosen = window.state().chosenImgTag;
    if (candidates.size() == 1) {
        chosen = candidates.front();
        return chosen;
    }
    chosen.clear();
    ImgSearchDialog chooser(&window);
    QObject::connect(&chooser, &ImgSearchDialog::tagChosen, &window, [&chosen](const QString& tag) { chosen = tag; });
    chooser.setCandidates(candidates);
    chooser.ui.Command1->click();
    chooser.exec();
    return chosen;
}

// The page's map of that name, and its areas when it is there.
struct MapRead {
    import::FoundMap map;
    import::AreaScan scan;
};

MapRead readMap(QStringView page, const import::PageMaps& pageMaps, const QString& mapName,
                const import::Progress& progress = {})
{
    const stages::Clock clock(stages::Stage::Reading);
    MapRead read;
    read.map = import::findMap(page, pageMaps, mapName);
    if (read.map.outcome == import::MapLookup::Found)
        read.scan = import::readMapAreas(read.map.text, progress);
    return read;
}

// The page and what one reading of it finds; nothing when the user stopped it.
struct PageRead {
    QString page;
    import::PageMaps maps;
};
std::optional<PageRead> readPage(QWidget* window, const QString& path)
{
    ImportProgress progress(window, path);
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
std::optional<MapRead> readChosenMap(QWidget* window, const QString& path, const PageRead& read,
                                     const QString& mapName)
{
    ImportProgress progress(window, path);
    MapRead map = readMap(read.page, read.maps, mapName, progress.step(ImportProgress::kReadingAreas));
    if (progress.cancelled())
        return std::nullopt;
    return map;
}

} // namespace

// Command11: appends the areas of one image map of an HTML page.
void MainWindow::htmlImportCommand()
{
    importsteps::readSettingsOnce(*this);
    const bool editing = importsteps::editing(*this);
    // Code the user gives up goes only once the import goes on for certain.
    const UnsavedCode unsaved = askAboutUnsavedCode();
    if (unsaved == UnsavedCode::Save)
        return;
    ui.txtHelp->setVisible(true);

    QString folder = importsteps::startFolder(*this);
    const QString name = showOpenDialog(this, QStringLiteral("HTML-Datei öffnen"), folder, QString(),
                                        QStringLiteral("Html-Dateien (html, htm, php, asp) |*.html;*.htm;*.php;*.asp"),
                                        QStringLiteral("*.html;*.htm;*.php;*.asp"));
    folder = withTrailingSeparator(folder);
    if (name.isEmpty())
        return;

    stages::Clock reading(stages::Stage::Reading);
    std::optional<PageRead> pageRead = readPage(this, folder + name);
    reading.stop();
    if (!pageRead)
        return;
    const QStringList& candidates = pageRead->maps.candidates;
    if (candidates.isEmpty()) {
        inform(this, QStringLiteral("In der ausgewählten Datei wurde keine ImageMap gefunden."));
        return;
    }
    const QString tag = chooseImgTag(*this, candidates);
    if (tag.isEmpty()) {
        refresh();
        return;
    }

    const import::ChosenImage image = import::readChosenTag(tag);
    // The name as the page writes it, so that a map of exactly that name wins.
    const QString pageName = pageRead->maps.usemapNames.value(candidates.indexOf(tag));
    // The chosen map's areas are read before anything changes, so that a
    // cancelled reading leaves the map as it was.
    std::optional<MapRead> read = readChosenMap(this, folder + name, *pageRead, pageName);
    if (!read)
        return;
    const auto commit = [this, unsaved, &image] {
        if (unsaved == UnsavedCode::Discard)
            reset_zustand();
        m_document.setMapName(image.mapName);
    };
    if (!importsteps::loadNamedImage(*this, image.imagePath, folder,
                                     QStringLiteral("Die MAP-Daten beziehen sich auf die Grafikdatei "), commit))
        return;
    // The open command may have cleared the map's name meanwhile.
    if (m_document.mapName() != image.mapName)
        read = readMap(pageRead->page, pageRead->maps, m_document.mapName());
    pageRead.reset(); // a big page need not stay beside its areas

    if (read->map.outcome == import::MapLookup::NoMapElement) {
        inform(this, QStringLiteral("Es wurde keine ImageMap gefunden."));
        return;
    }
    if (read->map.outcome == import::MapLookup::NotFound) {
        inform(this, QStringLiteral("Map wurde nicht gefunden!"));
        return;
    }
    importsteps::keepLastHandlers(*this, read->scan);
    importsteps::finish(*this, read->scan.lines, editing, image.width, image.height);
}

} // namespace korvane
