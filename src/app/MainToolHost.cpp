#include "app/MainToolHost.h"

#include "app/EditorSession.h"
#include "app/commands/DialogPlacement.h"
#include "app/commands/EditorView.h"
#include "canvas/AreaGeometry.h"
#include "canvas/Canvas.h"
#include "model/AreaEntry.h"

#include <QWidget>

namespace korvane {

DrawingSurface& MainToolHost::surface()
{
    return m_canvas.surface();
}

EditorState& MainToolHost::editor()
{
    return m_session.editor();
}

QColor MainToolHost::drawColor() const
{
    return m_session.drawing().draw;
}

QColor MainToolHost::buttonFaceColor() const
{
    return m_view.owner()->palette().color(QPalette::Button);
}

bool MainToolHost::commitShape(const QString& shape, const QString& coords)
{
    const QRect bounds = parseArea(entry::makeLine(QStringLiteral(" "), shape, coords, {})).bounds;
    if (!m_window.linkDialog(shapeOnScreen(bounds, m_canvas, m_canvas.zoomFactor(), m_viewport)))
        return false;
    m_session.document().drawArea(entry::makeLine(QStringLiteral(" "), shape, coords, m_session.state().link));
    if (!m_session.areas().isEmpty())
        m_window.areaDrawn();
    return true;
}

bool MainToolHost::commitShapes(const QString& shape, const QStringList& coords, const QString& stepText)
{
    if (coords.isEmpty())
        return false;
    QRect bounds;
    for (const QString& c : coords)
        bounds |= parseArea(entry::makeLine(QStringLiteral(" "), shape, c, {})).bounds;
    if (!m_window.linkDialog(shapeOnScreen(bounds, m_canvas, m_canvas.zoomFactor(), m_viewport)))
        return false;
    MapDocument& document = m_session.document();
    AreaLines after = document.areas().lines();
    for (const QString& c : coords)
        after.append(entry::makeLine(QStringLiteral(" "), shape, c, m_session.state().link));
    document.changeLines(document.areas().lines(), after, stepText);
    m_window.areaDrawn();
    return true;
}

void MainToolHost::pressRefresh()
{
    m_view.press(EditorView::Button::Refresh);
}

} // namespace korvane
