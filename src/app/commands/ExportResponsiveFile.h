#pragma once

#include "model/ResponsiveCode.h"

#include <QString>

// korvane --export-responsive OUT.html FILE: the responsive page of the map
// in FILE (a .map file or a page with an image map), written without a window.
namespace korvane {

struct ResponsiveExportRequest {
    QString output; // OUT.html
    QString input;  // FILE
    FitMode fit = FitMode::Fill;
};

struct ExportOutcome {
    int exitCode = 0; // 0 written; 2 no usable map in FILE; 1 OUT.html not written
    QString message;  // German, for standard error; empty on success
};

// The picture is named relative to OUT.html; its size is its own when the
// file is there, else the img tag's width and height.
ExportOutcome exportResponsiveFile(const ResponsiveExportRequest& request);

} // namespace korvane
