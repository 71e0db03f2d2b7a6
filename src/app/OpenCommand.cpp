#include "app/MainWindow.h"

namespace korvane {

void MainWindow::openCommand() {}

void MainWindow::bild_laden(const QString&) {}

} // namespace korvane
