#include "app/ImportCommon.h"
#include "app/ImportProgress.h"
#include "app/MainWindow.h"
#include "app/StageClock.h"
#include "io/ImagePathLookup.h"
#include "io/ImportFile.h"
#include "io/MapImport.h"
#include "model/Paths.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"

#include <QPlainTextEdit>

#include <optional>

namespace korvane {

namespace {

// The file's map data; nothing when the user stopped the reading. The file
// is read twice and never held whole: once for its encoding, once for its tags.
std::optional<import::MapFileData> readMapData(QWidget* window, const QString& path)
{
    ImportProgress progress(window, path);
    const std::optional<TextEncoding> encoding =
        import::importFileEncoding(path, progress.step(ImportProgress::kReadingFile));
    if (progress.cancelled())
        return std::nullopt;
    import::MapFileStream stream(import::nativePathStyle());
    if (encoding) {
        import::streamImportFile(
            path, *encoding, [&stream](QStringView piece) { stream.take(piece); },
            progress.step(ImportProgress::kReadingAreas));
    }
    if (progress.cancelled())
        return std::nullopt;
    return stream.finish();
}

} // namespace

// Command8: appends the areas of a .map file and loads the image it names.
void MainWindow::mapImportCommand()
{
    importsteps::readSettingsOnce(*this);
    const bool editing = importsteps::editing(*this);
    // Areas the user does not keep go only once the import goes on for certain.
    const bool keep =
        areas().isEmpty() ||
        askYesNo(this, kQuestionTitle, QStringLiteral("Sollen die schon eingezeichneten Areale erhalten bleiben?"));
    ui.txtHelp->setVisible(true);

    QString folder = importsteps::startFolder(*this);
    const QString name = showOpenDialog(this, QStringLiteral("MapDatei öffnen"), folder, QString(),
                                        QStringLiteral("MapDateien (*.map) |*.map"), QStringLiteral("*.map"));
    folder = withTrailingSeparator(folder);
    if (name.isEmpty())
        return;

    stages::Clock reading(stages::Stage::Reading);
    const std::optional<import::MapFileData> read = readMapData(this, folder + name);
    reading.stop();
    if (!read)
        return;
    const import::MapFileData& data = *read;
    if (!data.hasMap) {
        // The name is taken before the map data are looked for; a file that
        // names no map at all (one that could not be read, say) leaves it alone.
        if (data.hasUsemap)
            m_document.setMapName(data.mapName);
        // The image path stays that of the image shown: the code must not name the .map file as its image.
        warn(this, QStringLiteral("In der Datei \"") + name + QStringLiteral("\" wurden keine MAP-Daten gefunden"));
        return;
    }
    const auto commit = [this, keep, &data] {
        if (!keep)
            reset_zustand();
        m_document.setMapName(data.mapName);
    };
    if (data.imagePath != m_document.imageFileName().toLower()) {
        if (!importsteps::loadNamedImage(*this, data.imagePath, folder,
                                         QStringLiteral("Die MAP-Daten beziehen sich auf die Datei "), commit))
            return;
    } else {
        // The image shown is the one the file names: nothing is loaded again.
        commit();
        const QString onDisk = findFileIgnoringCase(data.imagePath, folder);
        m_document.setImagePath(onDisk.isEmpty() ? data.imagePath : onDisk);
    }
    importsteps::keepLastHandlers(*this, data.areas);
    importsteps::finish(*this, data.areas.lines, editing, data.width, data.height);
    m_document.setMapFilePath(folder + name);
}

} // namespace korvane
