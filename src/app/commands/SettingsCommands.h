#pragma once

namespace korvane {

class EditorSession;
class EditorView;
struct ProgramState;

// Korvane.ini: the drawing attributes, the last folders, the magnifier and
// the code box's choices, snapping, read before the first picture or import and written
// when the window closes.
class SettingsCommands {
public:
    SettingsCommands(EditorSession& session, EditorView& view) : m_session(session), m_view(view) {}

    void read();  // ini_read
    void write(); // ini_write

private:
    EditorSession& m_session;
    EditorView& m_view;
};

// Reads the settings before the first picture or import, and counts the run.
void readSettingsOnce(EditorSession& session, EditorView& view);
// The highlight of the responsive form as stored, before the settings are
// read: its menu shows it and its colour dialog starts at it.
void readStoredHighlight(ProgramState& state);

} // namespace korvane
