#include "app/FontWarmUp.h"
#include "app/MainWindow.h"
#include "app/StartUp.h"
#include "app/commands/CheckCommandLine.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
    // The map check runs without a window system.
    if (const auto check = korvane::CheckCommandLine::parse(korvane::argumentsOf(argc, argv))) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return check->run(out, err);
    }
    // --help, --version and mistakes are answered before any window system is needed.
    const korvane::StartRequest request = korvane::parseCommandLine(korvane::argumentsOf(argc, argv));
    if (request.exitCode) {
        std::fputs(request.output.toLocal8Bit().constData(), *request.exitCode == 0 ? stdout : stderr);
        return *request.exitCode;
    }
    // The responsive export reads and writes files only: no window system either.
    if (request.exportResponsive) {
        QCoreApplication batch(argc, argv);
        const korvane::ExportOutcome outcome = korvane::exportResponsiveFile(*request.exportResponsive);
        std::fputs(outcome.message.toLocal8Bit().constData(), stderr);
        return outcome.exitCode;
    }
    korvane::FontWarmUp fonts;
    QApplication app(argc, argv);
    korvane::prepareApplication();
    fonts.wait();
    const std::unique_ptr<korvane::MainWindow> window = korvane::startEditor(request.files);
    return QApplication::exec();
}
