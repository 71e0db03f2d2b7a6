#include "app/MainWindow.h"

namespace korvane {

void MainWindow::exportCommand() {}

} // namespace korvane
