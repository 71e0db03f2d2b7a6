#include "app/ImportCommon.h"

#include "app/MainWindow.h"
#include "app/StageClock.h"
#include "app/commands/ScaleOffer.h"
#include "canvas/Canvas.h"
#include "io/ImagePathLookup.h"
#include "model/Paths.h"
#include "platform/Platform.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace korvane::importsteps {

void readSettingsOnce(MainWindow& window)
{
    if (window.state().settingsLoadCount == 0)
        window.ini_read();
    ++window.state().settingsLoadCount;
}

QString startFolder(MainWindow& window)
{
    const QString& last = window.state().lastMapFolder;
    return last.isEmpty() ? QDir::currentPath() : last;
}

bool loadNamedImage(MainWindow& window, const QString& path, const QString& folder, const QString& textStart,
                    const std::function<void()>& commit)
{
    const QString onDisk = findFileIgnoringCase(path, folder);
    if (!onDisk.isEmpty()) {
        if (!window.bild_laden(onDisk))
            return false;
        commit();
        window.document().setImagePath(onDisk);
        return true;
    }
    commit();
    window.document().setImagePath(path);
    const QChar quote = QLatin1Char('"');
    inform(&window, textStart + quote + path + quote + QStringLiteral(". Bitte diese Grafikdatei öffnen."));
    window.state().openPresetName = fileNameOf(path);
    window.ui.Command1->click();
    return true;
}

bool editing(const MainWindow& window)
{
    return window.ui.Option1[3]->isChecked();
}

void keepLastHandlers(MainWindow& window, const import::AreaScan& scan)
{
    if (!scan.anyRead)
        return;
    LinkAttributes& link = window.state().link;
    link.onmouseover = scan.last.attributes.onmouseover;
    link.onmouseout = scan.last.attributes.onmouseout;
    link.onclick = scan.last.attributes.onclick;
}

void finish(MainWindow& window, const QStringList& lines, bool editing, int shownWidth, int shownHeight)
{
    stages::Clock list(stages::Stage::List);
    const int firstRow = window.areas().count();
    window.areas().append(lines);
    window.document().startNew();
    list.stop();
    if (!window.areas().isEmpty())
        window.refresh();
    // No picture was loaded when the user cancelled the open command.
    const QSize picture =
        window.document().imageFileName().isEmpty() ? QSize() : window.ui.Picture1->pictureSize();
    if (ScaleOffer(window.document(), &window)
            .offer(firstRow, import::shownSize(shownWidth, shownHeight, picture), picture))
        window.refresh();
    auto& ui = window.ui;
    for (QRadioButton* option : ui.Option1)
        option->setEnabled(true);
    ui.Command7->setEnabled(true);
    ui.Frame1->setEnabled(true);
    ui.Frame2->setEnabled(true);
    ui.chkGefuellt->setEnabled(true);
    ui.Command10->setEnabled(!window.areas().isEmpty());
    // Loading the picture and the reset leave edit mode; it comes back as the
    // user had chosen it, with the handles and "edit".
    if (editing)
        window.chooseOption(3);
}

} // namespace korvane::importsteps
