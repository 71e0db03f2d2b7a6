#include "tools/ToolManager.h"

namespace korvane {

namespace {

QString shapeKindOf(ChosenOption tool)
{
    switch (tool) {
    case ChosenOption::Rectangle:
        return QStringLiteral("rect");
    case ChosenOption::Circle:
        return QStringLiteral("circle");
    default:
        return QStringLiteral("poly");
    }
}

} // namespace

void ToolManager::choose(ChosenOption option)
{
    m_chosen = option;
    if (option != ChosenOption::Edit && option != ChosenOption::Trace) {
        m_drawingTool = option;
        m_editor.shapeKind = shapeKindOf(option);
    }
    emit changed();
}

void ToolManager::setEditing(bool on)
{
    m_editor.editMode = on;
    emit changed();
}

bool ToolManager::enabled(ChosenOption option) const
{
    return option == ChosenOption::Edit ? m_editEnabled : m_drawingEnabled;
}

void ToolManager::enableDrawing(bool on)
{
    m_drawingEnabled = on;
    emit enabledChanged(false);
}

void ToolManager::enableEdit(bool on)
{
    m_editEnabled = on;
    emit enabledChanged(true);
}

} // namespace korvane
