#pragma once

#include "model/AreaLines.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

// The recovery file: what an editor with unsaved changes keeps on disk so that
// a crash, a killed session or a power cut loses at most the last seconds of
// work. Pure reading and writing; no window is shown here.
namespace korvane::recovery {

// The version this program reads up to; files of a higher one are refused.
// A file without hand edits of the code is still written as version 1, so an
// older editor reads it as before.
inline constexpr int kFormatVersion = 2;

// The largest recovery file read or written. The biggest map the editor is
// made for is the 200 MB .map file it opens in its benchmarks (a million
// areas, or one link of 200 MB); its lines take no more room here than in
// that file, so 256 MiB holds it with room for the export window's page and
// the code box's text. A bigger file is no map of this editor: it is not read
// (a link to a device would never end), and a map that outgrows it is not
// written, with a word to the user.
inline constexpr qint64 kMaxFileBytes = qint64(256) * 1024 * 1024;

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
    // The code box's text when the user typed or pasted over the generated
    // code and it differs from it; none when the box shows the areas' code.
    std::optional<QString> code;

    bool operator==(const Snapshot&) const = default;
};

// NotAFile: a link, a device, a pipe or a folder; TooBig: over kMaxFileBytes.
enum class Problem { None, Truncated, NewerVersion, Unreadable, NotAFile, TooBig };

struct ReadResult {
    Snapshot snapshot;
    Problem problem = Problem::None;
};

QByteArray serialize(const Snapshot& snapshot);
// The same bytes written to `device` piece by piece; false when it took fewer.
bool serializeTo(QIODevice& device, const Snapshot& snapshot);
ReadResult parse(const QByteArray& bytes);
// Only a regular file is read, never a link, and only up to kMaxFileBytes; it
// is read a piece at a time, so its text is held once, as the lines made of
// it. Unreadable when the file cannot be opened.
ReadResult readFile(const QString& path);

// Why a recovery file could not be written.
enum class WriteProblem { None, NotAFolder, NotOurs, ReadOnly, Full, TooBig, Failed };
// Through the write-to-temporary-and-rename of every other file; false (and
// why, in `problem`) when the folder or the file could not be written. The
// folder must be a folder of this user: another user could read the map.
bool writeFile(const QString& path, const Snapshot& snapshot, WriteProblem* problem = nullptr);

// $XDG_STATE_HOME/korvane, else ~/.local/state/korvane.
QString folder();
// The folder, or when it is missing, the first part of its path that is
// there: what keeps a missing folder from being made (a file, a read-only folder).
QString folderInTheWay();
// The file of the editor with that process id, and where a refused one is put
// aside for one more start.
QString filePath(qint64 pid);
QString asidePath(qint64 pid);
// Where an entry that is no file to read (a link, a pipe, a file too big) is
// kept: never offered again and never removed, since it may be the user's.
// A free name: "recovery-<pid>.refused", else with "-2", "-3", ...
QString refusedPath(qint64 pid);
// The process id a recovery file name carries; -1 for other names.
qint64 pidOfFile(const QString& path);
// The entries named as recovery files in the folder, newest first: files,
// and whatever else bears such a name (a link, a pipe), so it can be put aside.
QStringList filesInFolder();
QStringList asideFilesInFolder();
// The folder is there and belongs to this user: its files may be taken over.
bool folderIsOurs();
// Removes the temporary files that writers of recovery files left when they
// were killed in the middle of a write, once their editor no longer runs.
void removeStaleTemporaries();

// Whether the process is an editor still running: it exists and runs the same
// program as this one. A process id taken over by another program is not one.
bool editorRunning(qint64 pid);

} // namespace korvane::recovery
