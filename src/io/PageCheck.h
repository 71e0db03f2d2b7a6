#pragma once

#include "io/HtmlImport.h"
#include "model/MapCheck.h"

#include <QString>
#include <QStringView>

#include <functional>

// The map check of a whole file (a page or a .map file) as the command line
// runs it: every map of the file with its areas, and the page's own rules
// (several maps of one name, a usemap that names no map).
namespace korvane::check {

// The size of the picture a path names (relative to the file's folder); an
// empty size when it is not there.
using PictureSizer = std::function<QSize(const QString& imagePath)>;

// The findings of a file's text, lines counted from 1 in that text, in line
// order. `displayWidth` 0: each picture at its own width. Pictures shown at
// another size (the img's width and height) are checked at that size: the
// coordinates are its pixels.
Findings checkPage(QStringView text, const PictureSizer& pictureSize, int displayWidth = 0);

// Reads the file in pieces and hands its findings to `sink`, in line order;
// pictures are looked up beside it. Why the file could not be checked
// (German); empty when it was. A file without maps may be one of Korvane's
// own forms.
QString checkFile(const QString& path, int displayWidth, const FindingSink& sink);

struct FileCheck {
    QString problem; // why the file could not be checked (German); empty when it was
    Findings findings;
};
// The same, the findings gathered.
FileCheck checkFile(const QString& path, int displayWidth = 0);

// "FILE:LINE: error|warning: RULE: message"
QString findingLine(const QString& file, const Finding& finding);

} // namespace korvane::check
