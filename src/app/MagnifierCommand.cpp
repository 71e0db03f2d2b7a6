#include "app/MainWindow.h"

namespace korvane {

void MainWindow::magnifierCommand() {}

} // namespace korvane
