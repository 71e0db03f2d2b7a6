#pragma once

#include <QString>

namespace korvane {

// The importers lower-case the image path they find, while most file systems
// here tell letter cases apart. This finds the file each of whose path
// components matches without regard to letter case ("plan.jpg" finds
// "Plan.JPG", "bilder/x.png" finds "Bilder/X.png") and returns the path as it
// really is on disk. A relative path resolves against `baseFolder`; "/"
// separates components ("\" is a character of a name, as the system
// knows it). Empty when there is no such file.
QString findFileIgnoringCase(const QString& path, const QString& baseFolder);

} // namespace korvane
