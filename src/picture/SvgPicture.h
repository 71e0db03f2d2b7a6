#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

class QSvgRenderer;

// SVG drawings (plain or gzip-compressed, .svg and .svgz) as pictures for the
// drawing surface.
namespace korvane {

// Enough of a file's start to see its first element past the XML
// declaration, comments and a document type with its entities.
inline constexpr qint64 kSvgHeadBytes = 64 * 1024;

// True when the bytes start like an SVG document, compressed or not: its
// first element is "svg".
bool looksLikeSvg(const QByteArray& head);

// The drawing rendered on white at its own size. Pictures and style sheets
// it names by file or URL are left out: a drawing opened here reads no other
// file. A null image when the bytes are no drawing; a size over the picture
// limit is refused before anything is drawn and put in `refused`.
QImage renderSvgDocument(const QByteArray& bytes, QSize* refused = nullptr);

// Draws what the renderer holds into an opaque white picture of `size`.
QImage drawOnWhite(QSvgRenderer& renderer, QSize size);

} // namespace korvane
