#pragma once

#include "model/AreaLines.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

class QIODevice;

// The recovery file: what an editor with unsaved changes keeps on disk so that
// a crash, a killed session or a power cut loses at most the last seconds of
// work. Pure reading and writing; no window is shown here.
namespace korvane::recovery {

// The version this program writes; files of a higher one are refused.
inline constexpr int kFormatVersion = 1;

struct Snapshot {
    QString imagePath;
    QString mapName;
    AreaLines lines; // the area lines as they are kept, every field
    int selectedRow = -1;
    QDateTime changed; // the last change, UTC
    // The export window's page when it holds edits not yet saved.
    bool hasPage = false;
    QString pagePath;
    QByteArray pageBytes; // as its "Speichern" would write them

    bool operator==(const Snapshot&) const = default;
};

enum class Problem { None, Truncated, NewerVersion, Unreadable };

struct ReadResult {
    Snapshot snapshot;
    Problem problem = Problem::None;
};

QByteArray serialize(const Snapshot& snapshot);
// The same bytes written to `device` piece by piece; false when it took fewer.
bool serializeTo(QIODevice& device, const Snapshot& snapshot);
ReadResult parse(const QByteArray& bytes);
// Unreadable when the file cannot be opened.
ReadResult readFile(const QString& path);
// Through the write-to-temporary-and-rename of every other file; false when
// the folder or the file could not be written.
bool writeFile(const QString& path, const Snapshot& snapshot);

// $XDG_STATE_HOME/korvane, else ~/.local/state/korvane.
QString folder();
// The file of the editor with that process id, and where a refused one is put
// aside for one more start.
QString filePath(qint64 pid);
QString asidePath(qint64 pid);
// The process id a recovery file name carries; -1 for other names.
qint64 pidOfFile(const QString& path);
// The recovery files in the folder, newest first.
QStringList filesInFolder();
QStringList asideFilesInFolder();

// Whether the process is an editor still running: it exists and runs the same
// program as this one. A process id taken over by another program is not one.
bool editorRunning(qint64 pid);

} // namespace korvane::recovery
