#pragma once

#include <QCoreApplication>
#include <QString>

class QWidget;

namespace korvane {

class EditorSession;
class EditorView;

// The tool bar's file commands: Open (Command1), Save (Command7), Export
// (Command12), Help (Command13) and the clipboard (cmdClipboard).
class FileCommands {
    Q_DECLARE_TR_FUNCTIONS(korvane::FileCommands)
public:
    FileCommands(EditorSession& session, EditorView& view) : m_session(session), m_view(view) {}

    void open();
    void save();
    void exportCode();
    void help();
    void copyToClipboard();
    // The desktop opens the file with the program registered for its type.
    void openWithProgram(const QString& path);

private:
    EditorSession& m_session;
    EditorView& m_view;
};

// The open dialog of a command, unless a file from outside was handed to the
// session for it: then that file is the answer and `folder` becomes its folder.
QString chooseFileToOpen(EditorSession& session, QWidget* owner, const QString& title, QString& folder,
                         const QString& presetName, const QString& filter, const QString& defaultExtension);

} // namespace korvane
