#include "app/MainWindow.h"

namespace korvane {

void MainWindow::htmlImportCommand() {}

} // namespace korvane
