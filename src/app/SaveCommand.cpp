#include "app/MainWindow.h"

namespace korvane {

void MainWindow::saveCommand() {}

} // namespace korvane
