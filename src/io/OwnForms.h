#pragma once

#include "io/ImportSearch.h"
#include "model/AreaLines.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringView>

#include <optional>

// Korvane reads its own forms back as it reads a classic map: the
// responsive page (its SVG's links and shapes), a MediaWiki image-map block
// (in a wiki text or a page) and the JSON form.
namespace korvane::import {

enum class OwnForm { Responsive, MediaWiki, Json };

struct OwnMap {
    OwnForm form = OwnForm::Responsive;
    AreaLines lines; // one blank before the shape, as the Html import writes them
    QList<qsizetype> starts; // where each area starts in the text read
    QString imagePath;       // the local path the form names (relative to the file's folder)
    QString mapName;         // empty when the form keeps none
    QSize size;              // the picture's own size as the form gives it; empty when it gives none
};

// The first map of a form of Korvane's own in the text: the JSON form, else
// the first responsive map, else the first MediaWiki block. Nothing when
// there is none; `problem` then says why a JSON text that claims to be one
// cannot be read (German).
std::optional<OwnMap> readOwnForm(QStringView text, QString* problem = nullptr, PathStyle style = nativePathStyle());

// The responsive map of a page Korvane wrote: the pointer's layer holds
// every area, last first; the keyboard's adds the names and what only it
// carries. Areas come back in list order (the parts of one link together);
// a default area is the picture's rectangle at the bottom of the layer.
std::optional<OwnMap> readResponsiveMap(QStringView page, PathStyle style = nativePathStyle());

} // namespace korvane::import
