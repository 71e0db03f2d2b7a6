#include "app/MainWindow.h"

namespace korvane {

void MainWindow::helpCommand() {}

void MainWindow::OpenFileWithProg(const QString&) {}

} // namespace korvane
