#pragma once

#include "io/ImportSearch.h"

namespace korvane {

class MainWindow;

// Steps the two import commands share.
namespace importsteps {

// Reads the settings before the first image or import, and counts the run.
void readSettingsOnce(MainWindow& window);
// The start folder of the import dialogs: the last map folder, else the current one.
QString startFolder(MainWindow& window);
// Loads the image the file names: the file as it is on disk when it exists
// (letter case ignored, relative paths against `folder`), else the user is
// told and asked to open it with the open command, `text` naming the path.
void loadNamedImage(MainWindow& window, const QString& path, const QString& folder, const QString& textStart);
// The event handlers of the last element read stay in the link attributes.
void keepLastHandlers(MainWindow& window, const import::AreaScan& scan);
// Appends the lines and starts a new map from all the areas (an import is no
// step), redraws when the list holds areas, enables the tools. When the file
// shows the picture at another size (its img tag's width and height, 0: not
// given) than the picture loaded, offers to scale the appended areas to it.
void finish(MainWindow& window, const QStringList& lines, int shownWidth = 0, int shownHeight = 0);

} // namespace importsteps
} // namespace korvane
