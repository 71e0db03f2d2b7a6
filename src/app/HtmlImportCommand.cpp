#include "app/ImageLoader.h"
#include "app/ImportCommon.h"
#include "app/MainWindow.h"
#include "app/StageClock.h"
#include "canvas/Canvas.h"
#include "io/HtmlImport.h"
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

MapRead readMap(QStringView page, const import::PageMaps& pageMaps, const QString& mapName)
{
    const stages::Clock clock(stages::Stage::Reading);
    MapRead read;
    read.map = import::findMap(page, pageMaps, mapName);
    if (read.map.outcome == import::MapLookup::Found)
        read.scan = import::readMapAreas(read.map.text);
    return read;
}

} // namespace

// Command11: appends the areas of one image map of an HTML page.
void MainWindow::htmlImportCommand()
{
    importsteps::readSettingsOnce(*this);
    if (!mapCode().isEmpty() && !m_document.mapSaved()) {
        if (askYesNo(this, kQuestionTitle,
                     QStringLiteral("Der HTML-Code der erzeugten ImageMap wurde noch nicht gespeichert. Soll der Code "
                                    "jetzt gespeichert werden?"))) {
            ui.Command7->click();
            return;
        }
        reset_zustand();
    }
    ui.txtHelp->setVisible(true);

    QString folder = importsteps::startFolder(*this);
    const QString name = showOpenDialog(this, QStringLiteral("HTML-Datei öffnen"), folder, QString(),
                                        QStringLiteral("Html-Dateien (html, htm, php, asp) |*.html;*.htm;*.php;*.asp"),
                                        QStringLiteral("*.html;*.htm;*.php;*.asp"));
    folder = withTrailingSeparator(folder);
    if (name.isEmpty())
        return;

    stages::Clock reading(stages::Stage::Reading);
    const QString page = import::readImportFile(folder + name);
    const import::PageMaps pageMaps = import::readPageMaps(page);
    const QStringList& candidates = pageMaps.candidates;
    reading.stop();
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
    m_document.setMapName(image.mapName);
    // The name as the page writes it, so that a map of exactly that name wins.
    const QString pageName = pageMaps.usemapNames.value(candidates.indexOf(tag));
    const auto lookupName = [&] { return m_document.mapName().isEmpty() ? QString() : pageName; };
    // A picture that is there decodes on another thread while the page is
    // searched for its map. The old picture goes first, so that two big
    // pictures never meet in memory.
    std::optional<DecodeAhead> ahead;
    std::optional<MapRead> read;
    if (const QString onDisk = findFileIgnoringCase(image.imagePath, folder); !onDisk.isEmpty()) {
        ui.Picture1->releasePicture();
        ahead.emplace(onDisk);
        read = readMap(page, pageMaps, lookupName());
    }
    importsteps::loadNamedImage(*this, image.imagePath, folder,
                                QStringLiteral("Die MAP-Daten beziehen sich auf die Grafikdatei "));
    // Else the open command may have cleared the map's name meanwhile.
    if (!read)
        read = readMap(page, pageMaps, lookupName());

    if (read->map.outcome == import::MapLookup::NoMapElement) {
        inform(this, QStringLiteral("Es wurde keine ImageMap gefunden."));
        return;
    }
    if (read->map.outcome == import::MapLookup::NotFound) {
        inform(this, QStringLiteral("Map wurde nicht gefunden!"));
        return;
    }
    importsteps::keepLastHandlers(*this, read->scan);
    importsteps::finish(*this, read->scan.lines, image.width, image.height);
}

} // namespace korvane
