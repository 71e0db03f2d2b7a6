#include "app/IniFile.h"
#include "app/MainWindow.h"

#include "canvas/Canvas.h"
#include "model/Paths.h"
#include "platform/Platform.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>

namespace korvane {

namespace {

QString& settingsOverride()
{
    static QString path;
    return path;
}

const QString kColor = QStringLiteral("color");
const QString kDrawWidth = QStringLiteral("DrawWidth");
const QString kFillStyle = QStringLiteral("FillStyle");
const QString kPath = QStringLiteral("Path");
const QString kLupe = QStringLiteral("Lupe");
const QString kImageFolderKey = QStringLiteral("Letzter_Grafik_Ordner");
const QString kMapFolderKey = QStringLiteral("Letzter_Speicherort_MAP");
const QString kExportFolderKey = QStringLiteral("Letzter_Export_Ordner");
const QString kCode = QStringLiteral("Code");
const QString kRelativeKey = QStringLiteral("Bildpfad_relativ");
const QString kFitKey = QStringLiteral("Responsiv_Einpassung");

QColor swatchColour(QLabel* swatch)
{
    swatch->ensurePolished();
    return swatch->palette().color(swatch->backgroundRole());
}

// Reads the file once for all keys; a file that cannot be read gets one box,
// and every key reads as missing.
class SettingsReader {
public:
    SettingsReader(QWidget* owner, const QString& file) : m_contents(readOnce(owner, file)) {}
    QString read(const QString& section, const QString& key) const { return m_contents.value(section, key); }

private:
    static QString readOnce(QWidget* owner, const QString& file)
    {
        IniError error;
        QString contents;
        if (!iniReadContents(file, contents, &error))
            warn(owner, QStringLiteral("Error: %1. %2").arg(error.number).arg(error.description),
                 QStringLiteral("INIGetSettingString"));
        return contents;
    }

    IniContents m_contents;
};

} // namespace

void setSettingsFileOverride(const QString& path)
{
    settingsOverride() = path;
}

QString settingsFilePath()
{
    if (!settingsOverride().isEmpty())
        return settingsOverride();
    const QString fileName = QStringLiteral("Korvane.ini");
    const QString programDir = programFolder();
    if (QFileInfo(programDir).isWritable())
        return programDir + fileName;
    const QString configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(configDir);
    return withTrailingSeparator(configDir) + fileName;
}

void MainWindow::ini_read()
{
    const QString file = settingsFilePath();
    if (!QFileInfo(file).isFile())
        return;
    SettingsReader in(this, file);
    // A value that is no colour leaves the swatch, and the canvas still takes
    // the swatch's colour.
    setDrawColor(settingColour(in.read(kColor, QStringLiteral("Zeichenfarbe"))).value_or(swatchColour(ui.lblColor)));
    setFillColor(settingColour(in.read(kColor, QStringLiteral("Fuellfarbe"))).value_or(swatchColour(ui.lblFuellfarbe)));
    setHandleColor(
        settingColour(in.read(kColor, QStringLiteral("Ziehpunktfarbe"))).value_or(swatchColour(ui.lblZiehpunkt)));
    // A line width below 1 is no width a canvas can draw with.
    if (const auto width = settingShort(in.read(kDrawWidth, QStringLiteral("DrawWidth1"))); width && *width >= 1)
        setLineWidth(*width);
    if (const auto style = settingShort(in.read(kFillStyle, QStringLiteral("FillStyle1")));
        style && *style >= 0 && *style <= 7) {
        setFillStyle(*style);
        ui.chkGefuellt->setChecked(*style == 7);
    }
    m_state.lastImageFolder = in.read(kPath, kImageFolderKey);
    m_state.lastMapFolder = in.read(kPath, kMapFolderKey);
    m_state.lastExportFolder = in.read(kPath, kExportFolderKey);
    // A choice made in this run before the file was read stays.
    if (!m_state.codeChoicesMade) {
        m_state.relativeImagePath = settingFlag(in.read(kCode, kRelativeKey)).value_or(m_state.relativeImagePath);
        m_state.responsiveFit = fitModeNamed(in.read(kCode, kFitKey)).value_or(m_state.responsiveFit);
    }
    if (const auto open = settingFlag(in.read(kLupe, QStringLiteral("lupe_visible"))); open && *open)
        ui.Command4->click();
}

// All keys in one writing of the file: a failure gets one box.
void MainWindow::ini_write()
{
    const ImageSurface& canvas = ui.Picture1->surface();
    QList<IniSetting> settings{
        {kColor, QStringLiteral("Zeichenfarbe"), QString::number(settingNumberOf(swatchColour(ui.lblColor)))},
        {kColor, QStringLiteral("Fuellfarbe"), QString::number(settingNumberOf(swatchColour(ui.lblFuellfarbe)))},
        {kColor, QStringLiteral("Ziehpunktfarbe"), QString::number(settingNumberOf(swatchColour(ui.lblZiehpunkt)))},
        {kDrawWidth, QStringLiteral("DrawWidth1"), QString::number(canvas.lineWidth())},
        {kFillStyle, QStringLiteral("FillStyle1"), QString::number(static_cast<int>(canvas.fillStyle()))}};
    // The folders are only known when the file was read in this run; otherwise
    // the stored ones stay.
    if (m_state.settingsLoadCount > 0) {
        settings.append({{kPath, kImageFolderKey, m_state.lastImageFolder},
                         {kPath, kMapFolderKey, m_state.lastMapFolder},
                         {kPath, kExportFolderKey, m_state.lastExportFolder}});
    }
    settings.append(
        {kLupe, QStringLiteral("Lupe_visible"), m_state.magnifierOpen ? QStringLiteral("-1") : QStringLiteral("0")});
    // Written only when chosen in this run: otherwise the stored ones stay, and
    // a file without them stays as it was.
    if (m_state.codeChoicesMade) {
        settings.append({{kCode, kRelativeKey, m_state.relativeImagePath ? QStringLiteral("-1") : QStringLiteral("0")},
                         {kCode, kFitKey, fitModeName(m_state.responsiveFit)}});
    }
    IniError error;
    if (!iniWriteSettings(settings, settingsFilePath(), &error))
        warn(this, QStringLiteral("Error: %1. %2").arg(error.number).arg(error.description),
             QStringLiteral("INIWriteSetting"));
}

} // namespace korvane
