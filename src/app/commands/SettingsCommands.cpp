#include "app/commands/SettingsCommands.h"

#include "app/IniFile.h"
#include "app/commands/EditorView.h"
#include "app/commands/Snapping.h"
#include "model/Paths.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFileInfo>
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
const QString kHighlightKey = QStringLiteral("Hervorhebung");
const QString kHighlightColourKey = QStringLiteral("Hervorhebung_Farbe");
const QString kSnap = QStringLiteral("Einrasten");
const QString kSnapOnKey = QStringLiteral("Aktiv");
const QString kSnapGridKey = QStringLiteral("Raster");

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

// The highlight as stored, where it was not chosen in this run.
void readHighlight(ProgramState& state, const SettingsReader& in)
{
    if (!state.highlightKindChosen)
        state.highlight.kind = highlightKindNamed(in.read(kCode, kHighlightKey)).value_or(state.highlight.kind);
    if (!state.highlightColourChosen)
        state.highlight.colour = colourNamed(in.read(kCode, kHighlightColourKey)).value_or(state.highlight.colour);
}

} // namespace

void readStoredHighlight(ProgramState& state)
{
    const QString file = settingsFilePath();
    if (state.settingsLoadCount == 0 && QFileInfo(file).isFile())
        readHighlight(state, SettingsReader(nullptr, file));
}

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

void readSettingsOnce(EditorSession& session, EditorView& view)
{
    if (session.state().settingsLoadCount == 0)
        SettingsCommands(session, view).read();
    ++session.state().settingsLoadCount;
}

void SettingsCommands::read()
{
    const QString file = settingsFilePath();
    if (!QFileInfo(file).isFile())
        return;
    SettingsReader in(m_view.owner(), file);
    ProgramState& state = m_session.state();
    DrawingAttributes& drawing = m_session.drawing();
    // A value that is no colour leaves the colour as it was.
    drawing.draw = settingColour(in.read(kColor, QStringLiteral("Zeichenfarbe"))).value_or(drawing.draw);
    drawing.fill = settingColour(in.read(kColor, QStringLiteral("Fuellfarbe"))).value_or(drawing.fill);
    drawing.handles = settingColour(in.read(kColor, QStringLiteral("Ziehpunktfarbe"))).value_or(drawing.handles);
    // A line width below 1 is no width a canvas can draw with.
    if (const auto width = settingShort(in.read(kDrawWidth, QStringLiteral("DrawWidth1"))); width && *width >= 1)
        drawing.lineWidth = std::min(*width, 3);
    // Only the cross-hatch is a fill; every other style leaves the areas open.
    if (const auto style = settingShort(in.read(kFillStyle, QStringLiteral("FillStyle1")));
        style && *style >= 0 && *style <= 7)
        drawing.fillStyle =
            *style == static_cast<int>(FillStyle::DiagonalCross) ? FillStyle::DiagonalCross : FillStyle::Transparent;
    m_view.showDrawingAttributes();
    state.lastImageFolder = in.read(kPath, kImageFolderKey);
    state.lastMapFolder = in.read(kPath, kMapFolderKey);
    state.lastExportFolder = in.read(kPath, kExportFolderKey);
    // A choice made in this run before the file was read stays.
    if (!state.codeChoicesMade) {
        state.relativeImagePath = settingFlag(in.read(kCode, kRelativeKey)).value_or(state.relativeImagePath);
        state.responsiveFit = fitModeNamed(in.read(kCode, kFitKey)).value_or(state.responsiveFit);
    }
    readHighlight(state, in);
    if (!state.snapChoicesMade) {
        state.snapOn = settingFlag(in.read(kSnap, kSnapOnKey)).value_or(state.snapOn);
        if (const auto grid = settingShort(in.read(kSnap, kSnapGridKey));
            grid && *grid >= Snapping::kSmallestGrid && *grid <= Snapping::kLargestGrid)
            state.snapGrid = *grid;
    }
    if (const auto open = settingFlag(in.read(kLupe, QStringLiteral("lupe_visible"))); open && *open)
        m_view.press(EditorView::Button::Magnifier);
}

// All keys in one writing of the file: a failure gets one box.
void SettingsCommands::write()
{
    const ProgramState& state = m_session.state();
    const DrawingAttributes& drawing = m_session.drawing();
    QList<IniSetting> settings{
        {kColor, QStringLiteral("Zeichenfarbe"), QString::number(settingNumberOf(drawing.draw))},
        {kColor, QStringLiteral("Fuellfarbe"), QString::number(settingNumberOf(drawing.fill))},
        {kColor, QStringLiteral("Ziehpunktfarbe"), QString::number(settingNumberOf(drawing.handles))},
        {kDrawWidth, QStringLiteral("DrawWidth1"), QString::number(drawing.lineWidth)},
        {kFillStyle, QStringLiteral("FillStyle1"), QString::number(static_cast<int>(drawing.fillStyle))}};
    // The folders are only known when the file was read in this run; otherwise
    // the stored ones stay.
    if (state.settingsLoadCount > 0) {
        settings.append({{kPath, kImageFolderKey, state.lastImageFolder},
                         {kPath, kMapFolderKey, state.lastMapFolder},
                         {kPath, kExportFolderKey, state.lastExportFolder}});
    }
    settings.append(
        {kLupe, QStringLiteral("Lupe_visible"), state.magnifierOpen ? QStringLiteral("-1") : QStringLiteral("0")});
    // Written only when chosen in this run: otherwise the stored ones stay, and
    // a file without them stays as it was.
    if (state.codeChoicesMade) {
        settings.append({{kCode, kRelativeKey, state.relativeImagePath ? QStringLiteral("-1") : QStringLiteral("0")},
                         {kCode, kFitKey, fitModeName(state.responsiveFit)}});
    }
    if (state.highlightKindChosen)
        settings.append({kCode, kHighlightKey, highlightKindName(state.highlight.kind)});
    if (state.highlightColourChosen)
        settings.append({kCode, kHighlightColourKey, colourName(state.highlight.colour)});
    if (state.snapChoicesMade) {
        settings.append({{kSnap, kSnapOnKey, state.snapOn ? QStringLiteral("-1") : QStringLiteral("0")},
                         {kSnap, kSnapGridKey, QString::number(state.snapGrid)}});
    }
    IniError error;
    if (!iniWriteSettings(settings, settingsFilePath(), &error))
        warn(m_view.owner(), QStringLiteral("Error: %1. %2").arg(error.number).arg(error.description),
             QStringLiteral("INIWriteSetting"));
}

} // namespace korvane
