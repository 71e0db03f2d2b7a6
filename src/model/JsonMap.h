#pragma once

#include "model/AreaLines.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The map as JSON for script libraries (the form is described in the README
// and in data/korvane-imagemap.schema.json):
//
//   {"format": "korvane-imagemap", "version": 1, "name": "plan",
//    "picture": {"file": "plan.png", "width": 400, "height": 300},
//    "areas": [{"shape": "rect", "coords": [10, 20, 110, 80],
//               "percent": [2.5, 6.6667, 27.5, 26.6667],
//               "href": "start.html", "alt": "Startseite"}, ...]}
//
// Values are the text a browser reads from them (character references
// decoded); "href" is null for an area without a link. The coordinates are
// the numbers a browser reads, in pixels of the picture and in percent of its
// width (x and a circle's radius) and height (y).
namespace korvane::json {

inline constexpr int kVersion = 1;
inline const QString kFormat = QStringLiteral("korvane-imagemap");

struct JsonText {
    QByteArray text;  // UTF-8, indented, ended by a line feed
    QStringList left; // areas that could not go in (no shape a browser clicks), in German
};

JsonText mapJson(const AreaLines& lines, const QString& pictureFileName, QSize pictureSize, const QString& mapName);

struct JsonMap {
    QString picture; // the file as the JSON names it
    QSize size;      // the picture's own size
    QString mapName;
    AreaLines lines; // one blank before the shape, as the Html import writes them
    // Where each area's object starts in the text read.
    QList<qsizetype> starts;
};

// Nothing when the text is no map of this form; `problem` then says why when
// it claims to be one (a newer version, a broken text), in German.
std::optional<JsonMap> readMapJson(QStringView text, QString* problem = nullptr);

} // namespace korvane::json
