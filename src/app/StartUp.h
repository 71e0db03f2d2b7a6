#pragma once

#include "app/commands/ExportResponsiveFile.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// How the program starts: its command line and its first window.
namespace korvane {

class MainWindow;

struct StartRequest {
    QStringList files; // files to open; only the first one is opened
    // Set when the program ends at once: `output` goes to standard output
    // for 0 and to standard error otherwise.
    std::optional<int> exitCode;
    QString output;
    // Set by --export-responsive and --export: the file is written, no window opens.
    std::optional<ResponsiveExportRequest> exportResponsive;
};

// Reads "korvane [FILE]", "--help", "--version", "--export-responsive OUT FILE", "--export FORMAT OUT FILE". Runs before the application
// object exists, so that those two need no display; the toolkit's own options
// (-platform, -style, ...) are let through for it.
StartRequest parseCommandLine(const QStringList& arguments);
QStringList argumentsOf(int argc, char* argv[]);

// The program's name, icon and resources, and the toolkit's German texts
// when they are installed; once the application object exists.
void prepareApplication();

// The main window as the program starts it: shown, and the first of `files`
// opened once the event loop runs (MainWindowStart.cpp).
std::unique_ptr<MainWindow> startEditor(const QStringList& files);

} // namespace korvane
