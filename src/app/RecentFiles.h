#pragma once

#include "app/IniFile.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <vector>

class QMenu;
class QTimer;

namespace korvane {

class EditorSession;
class EditorView;

// The files opened last (pictures, .map files and pages), newest first, at
// most ten, for the Datei menu. They are kept in Korvane.ini's section
// "Zuletzt_geoeffnet" (see recentFileSettings()), read when the menu first
// asks for them and written, merged with what another editor may have
// written meanwhile, once they changed: in the next turn of the event loop,
// so that the write (checked through to the disk) does not hold up the first
// paint of a file just opened, and at the latest when the window goes. A file chosen from the menu
// opens as a file from outside does, with every question of its command; a
// file that is gone is offered for removal.
class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxFiles = 10;

    RecentFiles(EditorSession& session, EditorView& view, QObject* parent);
    ~RecentFiles() override;

    const QStringList& files();
    void add(const QString& path);
    void remove(const QString& path);
    void clear();
    void open(const QString& path);
    // The menu's entries as the list is now: a file each, and "Liste leeren".
    void fillMenu(QMenu& menu);

    // Writes the changes not written yet; a failure is shown once when
    // `tellUser` (not while the window goes).
    void writeChanges(bool tellUser = true);

private:
    // Kept until written: an edit holds what it needs by value.
    using Edit = std::function<void(QStringList&)>;
    void change(const Edit& edit);

    EditorSession& m_session;
    EditorView& m_view;
    QStringList m_files;
    std::vector<Edit> m_unwritten; // applied to m_files, not yet to the file
    QTimer* m_writeSoon = nullptr;
    bool m_read = false;
    bool m_failureShown = false;
};

// How the list stands in the settings file: "Datei1" to "Datei10", each path
// in double quotes so that blanks at its ends stay; a path longer than a value
// may be (255 characters) goes on in "Datei1_2", "Datei1_3", ... A path with
// a line break cannot be written and is left out. Keys the list no longer
// needs are emptied.
inline const QString kRecentSection = QStringLiteral("Zuletzt_geoeffnet");
QStringList recentFilesIn(const IniContents& stored);
QList<IniSetting> recentFileSettings(const QStringList& files, const IniContents& stored);
// "&1 plan.png   (/home/anna/bilder)": the name first, its folder shortened in the middle.
QString recentEntryText(int number, const QString& path);

} // namespace korvane
