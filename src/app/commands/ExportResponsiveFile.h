#pragma once

#include "model/ResponsiveCode.h"

#include <QString>
#include <QStringView>

#include <optional>

// korvane --export-responsive OUT.html FILE: the responsive page of the map
// in FILE (a .map file or a page with an image map), written without a window.
// korvane --export FORMAT OUT FILE writes the map in any form.
namespace korvane {

// The forms a map can be written in: the classic map (a test page, or a
// .map file when OUT ends in ".map"), the responsive page, MediaWiki's
// image-map block, the JSON form.
enum class ExportFormat { Classic, Responsive, MediaWiki, Json };
// "classic", "responsive", "mediawiki", "json".
QString exportFormatName(ExportFormat format);
std::optional<ExportFormat> exportFormatNamed(QStringView name);

struct ResponsiveExportRequest {
    QString output; // OUT.html
    QString input;  // FILE
    FitMode fit = FitMode::Fill;
    // Which picture of a page: the nth with a usemap (from 1), or the first
    // whose map bears this name; neither: the first whose map has areas.
    int image = 0;
    QString mapName;
    ExportFormat format = ExportFormat::Responsive;
};

struct ExportOutcome {
    int exitCode = 0; // 0 written; 2 no usable map in FILE, or memory ran out; 1 OUT.html not written or refused
    QString message;  // German, for standard error; on success what the form could not take (empty: all)
};

// The map a browser gives the picture (see import::browserMap()). The
// picture is named relative to OUT.html; the map takes its own size when the
// file is there (areas of a picture the page shows at another size scaled to
// it), else the img tag's width and height. The links of a page lead where
// they led on it (its base element and folder); the img's alt, srcset, sizes,
// loading, class and id stay. FILE may also be one of Korvane's own forms
// (a responsive page, a MediaWiki block, the JSON form).
ExportOutcome exportResponsiveFile(const ResponsiveExportRequest& request);

} // namespace korvane
