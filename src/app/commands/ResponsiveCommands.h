#pragma once

#include "model/ResponsiveCode.h"

#include <QSize>

#include <functional>

class QWidget;

namespace korvane {

class MapDocument;
struct ProgramState;

// What the responsive outputs are made of: the areas of the open map, its
// picture and name, and the picture's size as the canvas shows it.
struct OpenMap {
    const MapDocument& document;
    std::function<QSize()> pictureSize;

    bool isEmpty() const;
    ResponsiveMap responsive(FitMode fit, const QString& pageFolder) const;
};

// "Responsiven Code kopieren": the responsive code on the clipboard, the
// picture named relative to a page beside it. Made from the areas, so it is
// there also while the code box holds hand-made changes.
class CopyResponsiveCode {
public:
    CopyResponsiveCode(OpenMap map, const ProgramState& state) : m_map(std::move(map)), m_state(state) {}
    void run() const;

private:
    OpenMap m_map;
    const ProgramState& m_state;
};

// "Responsive Seite speichern...": a complete page under a name the user
// chooses, the picture named relative to it.
class SaveResponsivePage {
public:
    SaveResponsivePage(OpenMap map, ProgramState& state, QWidget* parent)
        : m_map(std::move(map)), m_state(state), m_parent(parent)
    {
    }
    void run();

private:
    OpenMap m_map;
    ProgramState& m_state;
    QWidget* m_parent;
};

} // namespace korvane
