#include "app/MainWindow.h"
#include "app/StartUp.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

int main(int argc, char* argv[])
{
    // --help, --version and mistakes are answered before any window system is needed.
    const korvane::StartRequest request = korvane::parseCommandLine(korvane::argumentsOf(argc, argv));
    if (request.exitCode) {
        std::fputs(request.output.toLocal8Bit().constData(), *request.exitCode == 0 ? stdout : stderr);
        return *request.exitCode;
    }
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(korvane); // the resources live in the static core library
    QApplication::setApplicationName(QStringLiteral("korvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("korvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvane.svg")));
    // The editor speaks German; the toolkit's own dialogs (file chooser,
    // message box buttons) follow when the translations are installed.
    QTranslator toolkit;
    if (toolkit.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkit);
    const std::unique_ptr<korvane::MainWindow> window = korvane::startEditor(request.files);
    return QApplication::exec();
}
