#pragma once

#include <QString>

// Path helpers that look only for the last separator and the last ".". Both
// "\" and "/" count as separators, so Windows-style and native paths work.
namespace korvane {

// Position (from 0) of the last "\" or "/", or -1.
qsizetype lastSeparator(const QString& path);
// The text after the last separator; the whole input when it holds none.
QString fileNameOf(const QString& path);
// The text between the last separator and the last "."; the whole input when
// there is no such stretch; empty when the "." directly follows the separator.
QString baseNameOf(const QString& path);
// The text up to and including the last separator; empty when there is none.
QString folderOf(const QString& path);
// A Windows drive path ("C:\\Bilder\\plan.gif"), which this system cannot reach
// by a relative path.
bool isDrivePath(const QString& path);
// The path of `file` as a page in `folder` names it ("../Bilder/plan.png").
// Symbolic links are resolved alike for both (the folders as the system
// finds them; the file's own name stays): of the way as given and the way
// between the resolved folders, the one that climbs fewer folders wins, so
// that the path keeps working once the folder moves to a server.
QString relativePath(const QString& file, const QString& folder);
// The folder with a separator at its end (the native one when it lacks one).
QString withTrailingSeparator(const QString& folder);
// The folder in which the program's executable lies, with a trailing separator.
QString programFolder();
// The German help document of a program in `folder`: beside it (the build
// tree), else in ../share/korvane/ (an installed program). When neither
// exists, the path beside it, so the desktop can say what is missing.
QString helpDocumentFor(const QString& folder);

} // namespace korvane
