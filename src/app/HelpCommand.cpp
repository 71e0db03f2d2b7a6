#include "app/MainWindow.h"

#include "model/Paths.h"
#include "platform/Platform.h"

namespace korvane {

void MainWindow::helpCommand()
{
    OpenFileWithProg(helpDocumentFor(programFolder()));
}

// The desktop opens the file with the program registered for its type; a
// missing file or type is the desktop's to report.
void MainWindow::OpenFileWithProg(const QString& path)
{
    platform().openWithAssociatedProgram(path);
    unsetCursor();
}

} // namespace korvane
