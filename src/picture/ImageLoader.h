#pragma once

#include "picture/PictureHeader.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

// Decoding image files for the drawing surface.
namespace korvane {

// Decodes an image file. Returns a null image when nothing was loaded; `error`
// (when given) receives the German text of the failure, empty on success. An
// empty name is no error. The decoder follows the file name's extension: the
// picture loader group (.bmp .dib .rle .ico .cur .emf .wmf) and the bitmap
// group (.gif .png .tif .tiff .jpg .jpe .jpeg .jfif .webp), each deciding the
// real format from the file's content, and the drawings (.svg .svgz), rendered
// at their own size. An SVG document is rendered under any of these names.
// `byContent`: a name whose extension is none of these (a picture opened from
// outside the editor under a name that does not say what it is) is decoded
// by the file's content; the other names keep the rule of the extension.
// `transparency` (when given) receives the alpha of a picture some of whose
// pixels are not opaque (Format_Alpha8, the picture's size), else a null image:
// the picture itself is always opaque, its transparent parts white.
QImage loadPictureFile(const QString& fileName, QString* error = nullptr, bool byContent = false,
                       QImage* transparency = nullptr);

// True when the name ends in one of the extensions above.
bool hasPictureExtension(const QString& fileName);
// Those extensions, lower case with their dot (".bmp"), grouped by decoder.
QStringList pictureExtensions();
// True when the bytes start like a file of one of the formats above (BMP, icon,
// cursor, metafile, GIF, PNG, TIFF, JPEG, WebP, SVG), whatever its name.
bool looksLikePicture(const QByteArray& bytes);

// The German text of a bitmap decoder status (1 to 20); empty for others.
QString gdiPlusStatusText(int status);

// Windows metafiles drawn into an image at their natural size (96 dpi). A null
// image when the bytes are no metafile or no renderer is built in. A size
// over the limit is refused before anything is drawn and put in `refused`.
QImage renderWmf(const QByteArray& bytes, QSize* refused = nullptr);
QImage renderEmf(const QByteArray& bytes, QSize* refused = nullptr);

// The largest picture (in pixels) the loader accepts: 100 million, so 10,000 x
// 10,000 still loads. The size is checked from the file's header before
// decoding, so a small file that claims a huge picture costs no memory.
inline constexpr qint64 kMaxPicturePixels = 100'000'000;
bool pictureTooLarge(QSize size);
// The German message for a picture over the limit, naming its size.
QString pictureTooLargeText(QSize size);

} // namespace korvane
