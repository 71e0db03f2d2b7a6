#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

class QIODevice;

// Replacing files without ever losing the old ones: the one way the program
// writes its files (the data file and test page, the page of the export
// window, the settings file).
namespace korvane {

struct FileContent {
    QString path;
    QByteArray bytes;
    // When set, writes the content in place of `bytes` (false: not all of
    // it): a big one need not be held whole in memory first.
    std::function<bool(QIODevice& device)> produce = {};
};

// Writes the bytes; false when the device takes fewer than all of them.
bool writeAll(QIODevice& device, const QByteArray& bytes);
using DeviceWriter = std::function<bool(QIODevice& device, const QByteArray& bytes)>;

// Writes each file to a temporary file in its folder, flushes it through to
// the disk and renames the files into place, in the order given, only after
// all were written, so a write that fails (a full disk, a file size limit)
// leaves the old files whole. When one cannot take its place, those already
// renamed are put back: a failure always leaves all the old files. A link, or
// a chain of links, is followed to the file it names. Temporary files left by
// a save that was killed are removed by the next save of the same target. A
// replaced file keeps its permissions, a read-only one as well. Returns the
// path of the file that could not be written; empty on success.
// Files that are one folder entry are refused (the later one's path is
// returned, nothing is written), and so is a target that is there and is no
// regular file (a folder, a device, a pipe): it is never replaced.
QString replaceFiles(const QList<FileContent>& files, const DeviceWriter& writer = writeAll);

// Whether two paths lead to one folder entry once their links are followed,
// so that replaceFiles() would write both into one file. Also for files that
// are not there yet; hard links are two entries.
bool sameTarget(const QString& a, const QString& b);

} // namespace korvane
