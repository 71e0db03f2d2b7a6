#include "app/MainWindow.h"

namespace korvane {

void MainWindow::mapImportCommand() {}

} // namespace korvane
