#include "app/ImportCommon.h"
#include "app/MainWindow.h"
#include "app/StageClock.h"
#include "io/ImagePathLookup.h"
#include "io/MapImport.h"
#include "model/Paths.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QPlainTextEdit>

namespace korvane {

// Command8: appends the areas of a .map file and loads the image it names.
void MainWindow::mapImportCommand()
{
    importsteps::readSettingsOnce(*this);
    if (!areas().isEmpty() &&
        !askYesNo(this, kQuestionTitle, QStringLiteral("Sollen die schon eingezeichneten Areale erhalten bleiben?")))
        reset_zustand();
    ui.txtHelp->setVisible(true);

    QString folder = importsteps::startFolder(*this);
    const QString name = showOpenDialog(this, QStringLiteral("MapDatei öffnen"), folder, QString(),
                                        QStringLiteral("MapDateien (*.map) |*.map"), QStringLiteral("*.map"));
    folder = withTrailingSeparator(folder);
    if (name.isEmpty())
        return;

    stages::Clock reading(stages::Stage::Reading);
    const import::MapFileData data = import::readMapFile(import::readImportFile(folder + name));
    reading.stop();
    // The name is taken before the map data are looked for; a file that names
    // no map at all (one that could not be read, say) leaves the name alone.
    if (data.hasUsemap || data.hasMap)
        m_document.setMapName(data.mapName);
    if (!data.hasMap) {
        // The image path stays that of the image shown: the code must not name the .map file as its image.
        warn(this, QStringLiteral("In der Datei \"") + name + QStringLiteral("\" wurden keine MAP-Daten gefunden"));
        return;
    }
    m_document.setImagePath(data.imagePath);
    if (data.imagePath != m_document.imageFileName().toLower()) {
        importsteps::loadNamedImage(*this, data.imagePath, folder,
                                    QStringLiteral("Die MAP-Daten beziehen sich auf die Datei "));
    } else {
        // The image shown is the one the file names: nothing is loaded again.
        const QString onDisk = findFileIgnoringCase(data.imagePath, folder);
        if (!onDisk.isEmpty())
            m_document.setImagePath(onDisk);
    }
    importsteps::keepLastHandlers(*this, data.areas);
    importsteps::finish(*this, data.areas.lines, data.width, data.height);
}

} // namespace korvane
