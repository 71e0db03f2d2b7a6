#include "app/MainWindow.h"

namespace korvane {

bool MainWindow::runLinkDialog() { return false; }

void MainWindow::runAttributeEditor(int) {}

} // namespace korvane
