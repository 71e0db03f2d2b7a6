#pragma once

#include "model/AreaLines.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The map in MediaWiki's image-map syntax, for wikis and the content systems
// that took it over:
//
//   <imagemap>
//   File:Plan.png|400px|Erdgeschoss
//   rect 10 20 110 80 [[Küche|Zur Küche]]
//   circle 200 150 40 [https://example.com/garten Der Garten]
//   default [[Hauptseite]]
//   desc none
//   </imagemap>
//
// The coordinates are pixels of the picture itself, whatever width it is
// shown at. A link with a scheme ("https://", "mailto:") is an external link,
// any other a page of the wiki.
namespace korvane::wiki {

struct WikiMap {
    QString picture;  // the file name after "File:" (or "Datei:", "Image:", ...)
    int width = 0;    // the width it is shown at ("400px"); 0: not given
    QString caption;  // the picture line's caption; empty: none
    AreaLines lines;  // one blank before the shape, as the Html import writes them
    // Where each area's line starts in the text read.
    QList<qsizetype> starts;
};

struct WikiText {
    QString text;     // the block, lines ended by LF
    QStringList left; // what the syntax has no place for, in German; empty when all went in
};

// The block for the area lines; `caption` may be empty, `width` 0.
WikiText wikiImagemap(const AreaLines& lines, const QString& pictureFileName, int width, const QString& caption);

// The first <imagemap> block of a text: a wiki text, a page that holds it,
// or a page that shows it as text ("&lt;imagemap&gt;", in a textarea or pre).
// Nothing when there is none.
std::optional<WikiMap> readImagemap(QStringView text);

} // namespace korvane::wiki
