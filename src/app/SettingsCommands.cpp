#include "app/MainWindow.h"

namespace korvane {

void MainWindow::ini_read() {}

void MainWindow::ini_write() {}

} // namespace korvane
