#include "app/MainWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvane"));
    // The editor speaks German; the toolkit's own dialogs (file chooser,
    // message box buttons) follow when the translations are installed.
    QTranslator toolkit;
    if (toolkit.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkit);
    korvane::MainWindow window;
    window.show();
    return QApplication::exec();
}
