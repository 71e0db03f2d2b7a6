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

// Reads the keys one by one; a file that cannot be read fails every key the
// same way, so the user gets one box and the remaining keys read as missing.
class SettingsReader {
public:
    SettingsReader(QWidget* owner, QString file) : m_owner(owner), m_file(std::move(file)) {}
    QString read(const QString& section, const QString& key)
    {
        if (m_failed)
            return {};
        IniError error;
        const QString value = iniGetSettingString(section, key, m_file, &error);
        if (error.failed()) {
            m_failed = true;
            warn(m_owner, QStringLiteral("Error: %1. %2").arg(error.number).arg(error.description),
                 QStringLiteral("INIGetSettingString"));
        }
        return value;
    }

private:
    QWidget* m_owner;
    QString m_file;
    bool m_failed = false;
};

// Writes the keys in order; after the first failure the user gets one box and
// the rest are skipped, since they would fail the same way.
class SettingsWriter {
public:
    explicit SettingsWriter(QWidget* owner, QString file) : m_owner(owner), m_file(std::move(file)) {}
    void write(const QString& section, const QString& key, const QString& value)
    {
        if (m_failed)
            return;
        IniError error;
        if (iniWriteSetting(section, key, value, m_file, &error))
            return;
        m_failed = true;
        warn(m_owner, QStringLiteral("Error: %1. %2").arg(error.number).arg(error.description),
             QStringLiteral("INIWriteSetting"));
    }

private:
    QWidget* m_owner;
    QString m_file;
    bool m_failed = false;
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

void MainWindow::ini_write()
{
    SettingsWriter out(this, settingsFilePath());
    out.write(kColor, QStringLiteral("Zeichenfarbe"), QString::number(settingNumberOf(swatchColour(ui.lblColor))));
    out.write(kColor, QStringLiteral("Fuellfarbe"), QString::number(settingNumberOf(swatchColour(ui.lblFuellfarbe))));
    out.write(kColor, QStringLiteral("Ziehpunktfarbe"),
              QString::number(settingNumberOf(swatchColour(ui.lblZiehpunkt))));
    const ImageSurface& canvas = ui.Picture1->surface();
    out.write(kDrawWidth, QStringLiteral("DrawWidth1"), QString::number(canvas.lineWidth()));
    out.write(kFillStyle, QStringLiteral("FillStyle1"), QString::number(static_cast<int>(canvas.fillStyle())));
    // The folders are only known when the file was read in this run; otherwise
    // the stored ones stay.
    if (m_state.settingsLoadCount > 0) {
        out.write(kPath, kImageFolderKey, m_state.lastImageFolder);
        out.write(kPath, kMapFolderKey, m_state.lastMapFolder);
        out.write(kPath, kExportFolderKey, m_state.lastExportFolder);
    }
    out.write(kLupe, QStringLiteral("Lupe_visible"),
              m_state.magnifierOpen ? QStringLiteral("-1") : QStringLiteral("0"));
    // Written only when chosen in this run: otherwise the stored ones stay, and
    // a file without them stays as it was.
    if (m_state.codeChoicesMade) {
        out.write(kCode, kRelativeKey, m_state.relativeImagePath ? QStringLiteral("-1") : QStringLiteral("0"));
        out.write(kCode, kFitKey, fitModeName(m_state.responsiveFit));
    }
}

} // namespace korvane
