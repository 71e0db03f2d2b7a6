#include "app/StartUp.h"

#include "app/Language.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QLibraryInfo>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QStyleOption>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

// The resources live in the static core library; the macro must not stand in a namespace.
static void initResources()
{
    Q_INIT_RESOURCE(korvane);
}

namespace korvane {

namespace {

const QString kUsage =
    QStringLiteral("Aufruf: korvane [Optionen] [DATEI]\n"
                   "\n"
                   "Korvane, der Editor für HTML-ImageMaps. Eine DATEI wird geöffnet, als wäre\n"
                   "sie im Dialog des passenden Befehls gewählt worden:\n"
                   "  Grafikdatei (PNG, JPEG, GIF, BMP, TIFF, ICO, CUR, WMF, EMF,\n"
                   "               WebP, SVG, SVGZ)                                wie mit \"Open\"\n"
                   "  MAP-Datei (.map)                                             wie mit \"Map\"\n"
                   "  HTML-Seite (.html, .htm, .xhtml)                             wie mit \"Html\"\n"
                   "\n"
                   "Optionen:\n"
                   "  -h, --help       diesen Hilfetext zeigen\n"
                   "  -v, --version    die Versionsnummer zeigen\n"
                   "  --export-responsive AUS.html DATEI\n"
                   "                   die ImageMap der DATEI (MAP-Datei oder HTML-Seite) als\n"
                   "                   responsive Seite AUS.html schreiben, ohne Fenster\n"
                   "  --export FORM AUS DATEI\n"
                   "                   die ImageMap der DATEI in der FORM nach AUS schreiben,\n"
                   "                   ohne Fenster: classic (Testseite, MAP-Datei bei .map),\n"
                   "                   responsive, mediawiki oder json\n"
                   "  --fit MODUS      wie die Grafik dabei ihren Rahmen füllt: fill (Vorgabe),\n"
                   "                   contain oder cover\n"
                   "  --image N        dabei die N-te Grafik der HTML-Seite mit ImageMap nehmen\n"
                   "  --map NAME       dabei die Grafik nehmen, deren Map diesen Namen trägt\n"
                   "  --check [--display-width BREITE] DATEI...\n"
                   "                   die ImageMaps der Dateien prüfen, ohne Fenster\n");

// The toolkit's own options, which the application object takes out of the
// command line later; here they only have to pass.
void letToolkitOptionsPass(QCommandLineParser& parser)
{
    for (const char* name :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon", "qwindowtitle",
          "display", "geometry", "style", "stylesheet", "session", "qmljsdebugger"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb"}) {
        QCommandLineOption option{QString::fromLatin1(name)};
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

StartRequest ending(int exitCode, const QString& output)
{
    StartRequest request;
    request.exitCode = exitCode;
    request.output = output;
    return request;
}

// The argument as typed that holds the option `name`.
QString typedOption(const QStringList& arguments, const QString& name)
{
    for (const QString& argument : arguments.mid(1)) {
        QString bare = argument.section(QLatin1Char('='), 0, 0);
        while (bare.startsWith(QLatin1Char('-')))
            bare.remove(0, 1);
        if (argument.startsWith(QLatin1Char('-')) && bare == name)
            return argument;
    }
    return name;
}

// A file manager may hand over a file URL instead of a path.
QString localPath(const QString& argument)
{
    const QUrl url(argument);
    return url.isLocalFile() ? url.toLocalFile() : argument;
}

// The name under which the toolkit's QPixmap::load() keeps a file's pixmap:
// path, time and size, each number as hex digits, low nibble of each byte first.
template <typename Number>
QString hexDigits(Number value)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    QString text;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
    for (std::size_t i = 0; i < sizeof value; ++i)
        text.append(QLatin1Char(kDigits[bytes[i] & 0xf])).append(QLatin1Char(kDigits[bytes[i] >> 4]));
    return text;
}

// The Fusion style draws every group box frame from a PNG it loads by file
// name, and the toolkit's reader loads all image format plugins (TIFF, WebP,
// MNG with their libraries) before it asks its own PNG reader: milliseconds
// of every start, for nothing. Read here with the PNG reader alone, the frame
// waits in the pixmap cache under the name the style asks for; if the name
// ever differs, the style loads it as before.
void preloadGroupBoxFrame()
{
    const QFileInfo file(QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"));
    QImageReader reader(file.filePath(), "png");
    reader.setAutoDetectImageFormat(false);
    const QImage frame = reader.read();
    if (frame.isNull())
        return;
    const QString key = QStringLiteral("qt_pixmap") + file.absoluteFilePath() +
                        hexDigits(uint(file.lastModified().toSecsSinceEpoch())) + hexDigits(quint64(file.size())) +
                        hexDigits(uint(0)); // the pixmap type
    QPixmapCache::insert(key, QPixmap::fromImage(frame));
}

// A picture of the style's own, read with the PNG reader alone.
QPixmap stylePicture(const QString& name)
{
    QImageReader reader(QStringLiteral(":/qt-project.org/styles/commonstyle/images/") + name, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

// The menu bar asks the style for the arrow of its extension button while it
// is made, and the style loads it by file name, through the reader that loads
// every image format plugin first (see preloadGroupBoxFrame()). The same
// pictures are read here with the PNG reader alone; where one is missing the
// style's own way is taken.
class PreloadedIconsStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const override
    {
        const bool rtl = option ? option->direction == Qt::RightToLeft : QGuiApplication::isRightToLeft();
        QStringList names;
        if (icon == SP_ToolBarHorizontalExtensionButton) {
            for (const char* size : {"8", "16", "32"})
                names << QStringLiteral("toolbar-ext-h-%1%2.png").arg(rtl ? "rtl-" : "", size);
        } else if (icon == SP_ToolBarVerticalExtensionButton) {
            for (const char* size : {"5", "10", "20"})
                names << QStringLiteral("toolbar-ext-v-%1.png").arg(size);
        }
        QIcon read;
        for (const QString& name : names) {
            const QPixmap picture = stylePicture(name);
            if (picture.isNull())
                return QProxyStyle::standardIcon(icon, option, widget);
            read.addPixmap(picture);
        }
        return names.isEmpty() ? QProxyStyle::standardIcon(icon, option, widget) : read;
    }
};

// The options of the responsive export.
struct ExportOptions {
    QCommandLineOption page{QStringLiteral("export-responsive"), QString(), QStringLiteral("AUS.html")};
    QCommandLineOption fit{QStringLiteral("fit"), QString(), QStringLiteral("MODUS")};
    QCommandLineOption image{QStringLiteral("image"), QString(), QStringLiteral("N")};
    QCommandLineOption map{QStringLiteral("map"), QString(), QStringLiteral("NAME")};
    QCommandLineOption format{QStringLiteral("export"), QString(), QStringLiteral("FORM")};

    void addTo(QCommandLineParser& parser) const
    {
        parser.addOption(page);
        parser.addOption(format);
        parser.addOption(fit);
        parser.addOption(image);
        parser.addOption(map);
    }
};

// --image and --map into the request; the problem when they do not fit.
QString readPictureChoice(const QCommandLineParser& parser, const ExportOptions& options,
                          ResponsiveExportRequest& request)
{
    if (parser.isSet(options.image) && parser.isSet(options.map))
        return QStringLiteral("--image und --map schließen einander aus");
    if (parser.isSet(options.image)) {
        bool ok = false;
        request.image = parser.value(options.image).toInt(&ok);
        if (!ok || request.image < 1)
            return QStringLiteral("die Grafik \"") + parser.value(options.image) +
                   QStringLiteral("\" ist keine ganze Zahl größer 0");
    }
    if (parser.isSet(options.map))
        request.mapName = parser.value(options.map);
    return {};
}

// --export-responsive with its FILE and --fit into the request; the ending
// of the program when they do not fit together.
std::optional<StartRequest> readExportOptions(const QCommandLineParser& parser, const ExportOptions& options,
                                              StartRequest& request)
{
    const QString wrong = QStringLiteral("korvane: ");
    if (!parser.isSet(options.page) && !parser.isSet(options.format)) {
        for (const QCommandLineOption* option : {&options.fit, &options.image, &options.map}) {
            if (parser.isSet(*option))
                return ending(2, wrong + QStringLiteral("--") + option->names().front() +
                                     QStringLiteral(" gilt nur mit --export-responsive\n\n") + kUsage);
        }
        return std::nullopt;
    }
    ResponsiveExportRequest exportRequest;
    if (parser.isSet(options.format)) {
        if (parser.isSet(options.page))
            return ending(2, wrong + QStringLiteral("--export und --export-responsive schließen einander aus\n\n") +
                                 kUsage);
        const std::optional<ExportFormat> format = exportFormatNamed(parser.value(options.format));
        if (!format)
            return ending(2, wrong + QStringLiteral("unbekannte Form \"") + parser.value(options.format) +
                                 QStringLiteral("\" (classic, responsive, mediawiki oder json)\n\n") + kUsage);
        if (request.files.size() != 2)
            return ending(2, wrong + QStringLiteral("--export braucht AUS und genau eine DATEI\n\n") + kUsage);
        exportRequest.format = *format;
        exportRequest.output = request.files.front();
        request.files.removeFirst();
        if (parser.isSet(options.fit) && *format != ExportFormat::Responsive)
            return ending(2, wrong + QStringLiteral("--fit gilt nur für die Form responsive\n\n") + kUsage);
    } else {
        if (request.files.size() != 1)
            return ending(2, wrong + QStringLiteral("--export-responsive braucht genau eine DATEI\n\n") + kUsage);
        exportRequest.output = localPath(parser.value(options.page));
    }
    exportRequest.input = request.files.front();
    if (parser.isSet(options.fit)) {
        const std::optional<FitMode> fit = fitModeNamed(parser.value(options.fit));
        if (!fit)
            return ending(2, wrong + QStringLiteral("unbekannte Einpassung \"") + parser.value(options.fit) +
                                 QStringLiteral("\" (fill, contain oder cover)\n\n") + kUsage);
        exportRequest.fit = *fit;
    }
    if (const QString problem = readPictureChoice(parser, options, exportRequest); !problem.isEmpty())
        return ending(2, wrong + problem + QStringLiteral("\n\n") + kUsage);
    request.exportResponsive = exportRequest;
    request.files.clear();
    return std::nullopt;
}

} // namespace

QStringList argumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

StartRequest parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    const ExportOptions exportOptions;
    exportOptions.addTo(parser);
    letToolkitOptionsPass(parser);

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString problem = unknown.isEmpty() ? QStringLiteral("einer Option fehlt ihr Wert")
                                                  : QStringLiteral("unbekannte Option \"") +
                                                        typedOption(arguments, unknown.front()) + QLatin1Char('"');
        return ending(2, QStringLiteral("korvane: ") + problem + QStringLiteral("\n\n") + kUsage);
    }
    if (parser.isSet(help))
        return ending(0, kUsage);
    if (parser.isSet(version))
        return ending(0, QStringLiteral("Korvane %1.%2\n").arg(KORVANE_VERSION_MAJOR).arg(KORVANE_VERSION_MINOR));
    StartRequest request;
    for (const QString& argument : parser.positionalArguments())
        request.files << localPath(argument);
    if (std::optional<StartRequest> wrong = readExportOptions(parser, exportOptions, request))
        return *wrong;
    return request;
}

void prepareApplication()
{
    initResources();
    QApplication::setApplicationName(QStringLiteral("korvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("korvane"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvane.svg")));
    // The editor speaks German, or English where the desktop does; the
    // toolkit's own dialogs (file chooser, message box buttons) follow.
    installChosenLanguage();
    preloadGroupBoxFrame();
    QApplication::setStyle(new PreloadedIconsStyle(QApplication::style()->name()));
}

} // namespace korvane
