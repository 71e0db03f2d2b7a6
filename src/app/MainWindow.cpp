#include "app/MainWindow.h"

namespace korvane {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMapEdit"));
    setWindowTitle(QStringLiteral("Korvane"));
    resize(1000, 720);
}

} // namespace korvane
