#pragma once

#include "app/commands/ResponsiveCommands.h"

class QWidget;

namespace korvane {

struct ProgramState;

// "MediaWiki-Code kopieren": the open map as MediaWiki's <imagemap> block on
// the clipboard, for a wiki's edit box. Made from the areas; what the wiki
// has no place for is said in a box.
class CopyWikiCode {
public:
    CopyWikiCode(OpenMap map, QWidget* parent) : m_map(std::move(map)), m_parent(parent) {}
    void run() const;

private:
    OpenMap m_map;
    QWidget* m_parent;
};

// "JSON speichern...": the open map as JSON for script libraries, in a file
// the user names; the picture named relative to it.
class SaveJsonFile {
public:
    SaveJsonFile(OpenMap map, ProgramState& state, QWidget* parent)
        : m_map(std::move(map)), m_state(state), m_parent(parent)
    {
    }
    void run();

private:
    OpenMap m_map;
    ProgramState& m_state;
    QWidget* m_parent;
};

// "Farbe...": the highlight's colour, chosen in the colour dialog.
class ChooseHighlightColour {
public:
    ChooseHighlightColour(ProgramState& state, QWidget* parent) : m_state(state), m_parent(parent) {}
    void run();

private:
    ProgramState& m_state;
    QWidget* m_parent;
};

} // namespace korvane
