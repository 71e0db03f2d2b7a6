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
// The data file beside the page: folder + baseNameOf(page) + ".map".
QString mapDataFilePath(const QString& folder, const QString& pagePath);
// Lone "\n" line ends (as a text widget hands them out) become "\r\n".
QString withCrLfLineEnds(const QString& text);
// Windows-1252 bytes; a character the code page lacks becomes an HTML
// character reference ("&#8594;"), which means the same in a page.
QByteArray toWindows1252Html(const QString& text);

} // namespace korvane
