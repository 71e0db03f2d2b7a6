#include "app/commands/ImportSteps.h"

#include "model/StageClock.h"
#include "app/commands/EditorView.h"
#include "app/commands/ScaleOffer.h"
#include "io/ImagePathLookup.h"
#include "model/Paths.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDir>

namespace korvane::importsteps {

QString startFolder(EditorSession& session)
{
    const QString& last = session.state().lastMapFolder;
    return last.isEmpty() ? QDir::currentPath() : last;
}

bool loadNamedImage(EditorSession& session, EditorView& view, const QString& path, const QString& folder,
                    const QString& textStart, const std::function<void()>& commit)
{
    const QString onDisk = findFileIgnoringCase(path, folder);
    if (!onDisk.isEmpty()) {
        if (!view.bild_laden(onDisk))
            return false;
        commit();
        session.document().setImagePath(onDisk);
        return true;
    }
    commit();
    session.document().setImagePath(path);
    const QChar quote = QLatin1Char('"');
    inform(view.owner(), textStart + quote + path + quote +
                             QCoreApplication::translate("korvane::ImportSteps", ". Bitte diese Grafikdatei öffnen."));
    session.state().openPresetName = fileNameOf(path);
    session.setOpenKeepsAreas(true);
    view.press(EditorView::Button::Open);
    session.takeOpenKeepsAreas();
    return true;
}

void keepLastHandlers(EditorSession& session, const import::AreaScan& scan)
{
    if (!scan.anyRead)
        return;
    LinkAttributes& link = session.state().link;
    const LinkAttributes last = import::lastHandlers(scan);
    link.onmouseover = last.onmouseover;
    link.onmouseout = last.onmouseout;
    link.onclick = last.onclick;
}

void finish(EditorSession& session, EditorView& view, const AreaLines& lines, bool editing, int shownWidth,
            int shownHeight)
{
    AreaList& areas = session.areas();
    MapDocument& document = session.document();
    stages::Clock list(stages::Stage::List);
    const int firstRow = areas.count();
    areas.append(lines);
    document.startNew();
    list.stop();
    if (!areas.isEmpty())
        view.refresh();
    // No picture was loaded when the user cancelled the open command.
    const QSize picture = document.imageFileName().isEmpty() ? QSize() : view.pictureSize();
    if (ScaleOffer(document, view.owner())
            .offer(firstRow, import::shownSize(shownWidth, shownHeight, picture), picture))
        view.refresh();
    view.enablePictureTools(EditorView::ToolsFor::Import);
    // Loading the picture and the reset leave edit mode; it comes back as the
    // user had chosen it, with the handles and "edit".
    if (editing)
        view.chooseOption(ChosenOption::Edit);
}

} // namespace korvane::importsteps
