#pragma once

#include "io/HtmlImport.h"
#include "io/ImportSearch.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <vector>

// A page read a piece at a time for what the command line needs of it: its
// pictures with maps and every map with its areas and lines. The text is
// never held whole, so a file of a gigabyte costs about what its areas do.
namespace korvane::import {

struct StreamedMap {
    QString name;         // its name attribute as written; null when it has none
    QString id;           // its id attribute as written; null when it has none
    int line = 1;         // the line of its start tag, from 1
    qsizetype start = 0;  // its element in the text: from its start tag
    qsizetype end = 0;    // to the end of its end tag, or of the text
    AreaScan areas;       // what readMapAreas() reads from its element
    QList<int> areaLines; // the line of each area's tag
};

struct StreamedPage {
    // What readPageMaps() gives but its maps, which are in `maps`.
    PageMaps read;
    QList<int> candidateLines; // the line of each candidate's tag
    std::vector<StreamedMap> maps;
    // readPageMaps()'s answer whole: the maps' names and ids are views into
    // this page, which must outlive it.
    PageMaps pageMaps() const;
};

// readPageMaps() and readMapAreas() of each of its maps on a text handed over
// in pieces, holding only the part whose reading needs what follows (the
// inside of a comment or script still open is left out as it comes).
class PageStream {
public:
    // Pieces are read once `readSize` characters are together; an area's
    // value longer than `longValue` is kept apart while it is read (OpenValue).
    explicit PageStream(qsizetype readSize = 256 * 1024, qsizetype longValue = 1024 * 1024)
        : m_readSize(readSize), m_open(longValue)
    {
    }
    // Each area tag a map's reading takes (a tag inside nested maps once for
    // each), with its map's index, the start of its value kept apart and its
    // line; before the tag's text goes.
    using AreaTagVisitor =
        std::function<void(std::size_t map, const html::Tag& area, const TakenValue& taken, int line)>;
    void visitAreaTags(AreaTagVisitor visitor) { m_areaTags = std::move(visitor); }
    void take(QStringView piece);
    // After the last piece: what the whole text gives.
    StreamedPage finish();

private:
    void read(bool last);
    void visit(const html::Tag& tag);
    void visitPage(const html::Tag& tag);
    // The line of a place in the unread text, at or after the last one asked for.
    int lineAt(qsizetype position);
    void replaceGap(const html::TagReader::Gap& gap);
    void dropRead(qsizetype count);

    // A filler that stands for left-out text, and the line ends that text held.
    struct Filler {
        qsizetype at = 0;
        qint64 lineEnds = 0;
    };

    qsizetype m_readSize;
    StreamedPage m_page;
    HiddenContent m_hidden;
    // The maps whose end tag has not come yet, innermost last. Each reads
    // its areas as readMapAreas() reads its element: with what hides content
    // counted from its start tag on.
    struct OpenMap {
        std::size_t index;
        HiddenContent hidden;
    };
    std::vector<OpenMap> m_openMaps;
    AreaTagVisitor m_areaTags;
    QString m_unread;            // from where reading goes on
    qsizetype m_unreadStart = 0; // its place in the whole text
    qsizetype m_readFrom = 0;    // m_unread is read once it is this long
    qsizetype m_taken = 0;       // the length of the whole text so far
    bool m_restHidden = false;
    qint64 m_line = 1;       // the line at m_counted
    qsizetype m_counted = 0; // in m_unread: the line ends before it are counted
    std::vector<Filler> m_fillers;
    OpenValue m_open;
};

} // namespace korvane::import
