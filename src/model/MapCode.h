#pragma once

#include "model/Codec.h"

#include <QSize>
#include <QString>
#include <QStringList>

// Turns the area lines into the map code: the img tag and the map element.
namespace korvane {

// The map name: mapName when set, else derived from the image's base name.
QString mapNameFor(const QString& imagePath, const QString& mapName);
// The img tag line, ended by CR LF.
QString img_zeile_ermitteln(const QString& imagePath, const QString& mapName, QSize canvasSize);
// One area element line (ended by CR LF) of an area line.
QString areaElement(const QString& line);
// The whole map code; empty for an empty list.
QString map_daten(const QStringList& lines, const QString& imagePath, const QString& mapName, QSize canvasSize);
// The line is a default area (shape "default" in any letter case): the rest
// of the picture.
bool isDefaultArea(QStringView line);
// A value as written into an attribute: a double quote as "&quot;", "<" as
// "&lt;", and "&" as "&amp;" unless it starts a character reference.
QString attributeValue(const QString& value);

} // namespace korvane
