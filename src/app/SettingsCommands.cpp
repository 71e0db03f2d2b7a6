#include "app/IniFile.h"
#include "app/MainWindow.h"

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

QColor swatchColour(QLabel* swatch)
{
    swatch->ensurePolished();
    return swatch->palette().color(swatch->backgroundRole());
}

// The framed line-width picture tells the width in use; 1 when none is framed.
int currentLineWidth(const MainWindow::Controls& ui)
{
    for (int i = 0; i < 3; ++i)
        if (ui.Image1[i] && ui.Image1[i]->frameShape() != QFrame::NoFrame)
            return i + 1;
    return 1;
}

QString readSetting(QWidget* owner, const QString& section, const QString& key, const QString& file)
{
    IniError error;
    const QString value = iniGetSettingString(section, key, file, &error);
    if (error.failed())
        warn(owner, QStringLiteral("Error: %1. %2").arg(error.number).arg(error.description),
             QStringLiteral("INIGetSettingString"));
    return value;
}

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

void setSettingsFileOverride(const QString& path) { settingsOverride() = path; }

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
    if (const auto c = settingColour(readSetting(this, kColor, QStringLiteral("Zeichenfarbe"), file)))
        setDrawColor(*c);
    if (const auto c = settingColour(readSetting(this, kColor, QStringLiteral("Fuellfarbe"), file)))
        setFillColor(*c);
    if (const auto c = settingColour(readSetting(this, kColor, QStringLiteral("Ziehpunktfarbe"), file)))
        setHandleColor(*c);
    // A line width below 1 is no width a canvas can draw with.
    if (const auto width = settingShort(readSetting(this, kDrawWidth, QStringLiteral("DrawWidth1"), file)); width && *width >= 1)
        setLineWidth(*width);
    if (const auto style = settingShort(readSetting(this, kFillStyle, QStringLiteral("FillStyle1"), file));
        style && *style >= 0 && *style <= 7) {
        setFillStyle(*style);
        ui.chkGefuellt->setChecked(*style == 7);
    }
    m_state.lastImageFolder = readSetting(this, kPath, kImageFolderKey, file);
    m_state.lastMapFolder = readSetting(this, kPath, kMapFolderKey, file);
    m_state.lastExportFolder = readSetting(this, kPath, kExportFolderKey, file);
    if (const auto open = settingFlag(readSetting(this, kLupe, QStringLiteral("lupe_visible"), file)); open && *open)
        ui.Command4->click();
}

void MainWindow::ini_write()
{
    SettingsWriter out(this, settingsFilePath());
    out.write(kColor, QStringLiteral("Zeichenfarbe"), QString::number(settingNumberOf(swatchColour(ui.lblColor))));
    out.write(kColor, QStringLiteral("Fuellfarbe"), QString::number(settingNumberOf(swatchColour(ui.lblFuellfarbe))));
    out.write(kColor, QStringLiteral("Ziehpunktfarbe"), QString::number(settingNumberOf(swatchColour(ui.lblZiehpunkt))));
    out.write(kDrawWidth, QStringLiteral("DrawWidth1"), QString::number(currentLineWidth(ui)));
    out.write(kFillStyle, QStringLiteral("FillStyle1"), QString::number(ui.chkGefuellt->isChecked() ? 7 : 1));
    // The folders are only known when the file was read in this run; otherwise
    // the stored ones stay.
    if (m_state.settingsLoadCount > 0) {
        out.write(kPath, kImageFolderKey, m_state.lastImageFolder);
        out.write(kPath, kMapFolderKey, m_state.lastMapFolder);
        out.write(kPath, kExportFolderKey, m_state.lastExportFolder);
    }
    out.write(kLupe, QStringLiteral("Lupe_visible"), m_state.magnifierOpen ? QStringLiteral("-1") : QStringLiteral("0"));
}

} // namespace korvane
