#pragma once

#include "io/ImportSearch.h"

#include <QString>
#include <QStringView>

// Reading a .map data file: the map name, the image it belongs to and its areas.
namespace korvane::import {

struct MapFileData {
    bool hasMap = false; // the text holds a map tag; without it no image or area is read
    bool hasUsemap = false;
    QString mapName;   // from the usemap of the first img tag that has one
    QString imagePath; // from that img tag's src, lower-cased local path
    int width = 0;     // that img tag's width and height (0: not given)
    int height = 0;
    AreaScan areas;    // every area element of the whole text, two blanks before the shape
};

// `progress` (when given) can stop it early.
MapFileData readMapFile(QStringView text, PathStyle style = nativePathStyle(), const Progress& progress = {});

// readMapFile() on a text handed over a piece at a time, holding only the
// part whose reading needs what follows: a file of hundreds of MB is never
// held whole as text.
class MapFileStream {
public:
    // Pieces are read once `readSize` characters are together; an area's
    // value longer than `longValue` is kept apart while it is read (OpenValue).
    explicit MapFileStream(PathStyle style = nativePathStyle(), qsizetype readSize = 256 * 1024,
                           qsizetype longValue = 1024 * 1024)
        : m_style(style), m_readSize(readSize), m_open(longValue)
    {
    }
    void take(QStringView piece);
    // After the last piece: what readMapFile() gives for the whole text.
    MapFileData finish();
    // The picture named by the text read so far (a later img tag with a
    // usemap can still name another).
    const QString& imagePathSoFar() const { return m_data.imagePath; }

private:
    void read(bool last);
    void visit(const html::Tag& tag, qsizetype start);

    PathStyle m_style;
    qsizetype m_readSize;
    MapFileData m_data;
    bool m_usemapImage = false; // the image values come from an img tag with a usemap
    bool m_anyImage = false;
    QString m_unread; // from where reading goes on
    qsizetype m_unreadStart = 0; // its place in the whole text
    qsizetype m_readFrom = 0;    // m_unread is read once it is this long
    bool m_restHidden = false;
    OpenValue m_open;
};

} // namespace korvane::import
