#pragma once

#include <QByteArray>
#include <QString>

// The two files the save command writes: the test page that shows the map at
// work and the .map data file that the MAP import reads back. Pure text
// building (io/FileReplace writes the files); nothing here shows a window.
namespace korvane {

// Every "&" as "&amp;", then every "<" as "&lt;" and every ">" as "&gt;", so
// a browser shows the code as it is; quotes stay.
QString escapeMapCode(const QString& mapCode);
// The paragraph with the readable copy of the code, placed before "</body>".
QString explanatoryBlock(const QString& mapCode);
// The whole test page, lines ended by CR LF.
QString testPageText(const QString& mapCode);
// The page in UTF-8, as its XML declaration says.
QByteArray testPageBytes(const QString& mapCode);
// The data file: a comment naming the image, an empty line, the code; single-byte.
QByteArray mapDataFileBytes(const QString& mapCode, const QString& imageFileName);
// The two files a save writes for the name given in its dialog, side by
// side in `folder` and never one file: the page takes the name and the data
// file its base name with ".map" ("plan.htm": "plan.htm", "plan.map"); a
// name without extension gives both theirs ("plan": "plan.html",
// "plan.map"), and a name ending in ".map" names the data file, beside
// which the page takes ".html".
struct SavePair {
    QString page;
    QString data;
    bool dataNamed = false; // the name given was the data file's
};
SavePair savePairFor(const QString& folder, const QString& name);
// Lone "\n" line ends (as a text widget hands them out) become "\r\n".
QString withCrLfLineEnds(const QString& text);
// Windows-1252 bytes; a character the code page lacks becomes an HTML
// character reference ("&#8594;"), which means the same in a page.
QByteArray toWindows1252Html(const QString& text);

} // namespace korvane
