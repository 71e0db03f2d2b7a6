#pragma once

#include <QImage>
#include <QSize>

#include <functional>

namespace korvane {

// An uninitialised picture of the size and format, like QImage(size, format).
// Memory touched for the first time costs far more than the copy into it (a
// page fault every 4 KiB: about 150 ms for a 4000 x 3000 picture), so the
// memory of a picture is faulted in at once, and that of a big one in large
// pages where the system offers them. A null image when there is not enough
// memory.
QImage allocatePicture(QSize size, QImage::Format format);
// A picture of more than 32 bits a pixel (16 bits a channel) as an opaque
// 32-bit one: `toRgb32` converts a strip of rows at a time, each written back
// into the wide picture's own memory when allocatePicture() made it, so that
// the picture is never held twice. A null image when `toRgb32` fails.
QImage narrowedInPlace(QImage wide, const std::function<QImage(const QImage&)>& toRgb32);
// A deep copy (pixels, resolution, colour space) in such memory, like QImage::copy().
QImage copyPicture(const QImage& source);
// Copies the pixels of `from` into `to` in its own memory; false (and nothing
// copied) when the two differ in size or format.
bool copyPixels(const QImage& from, QImage& to);

// An opaque 32-bit picture in 24 bits a pixel (RGB888), a quarter smaller;
// null when there is not enough memory.
QImage packedPicture(const QImage& rgb32);
// The pixels of a packed picture into an opaque 32-bit one of its size, in
// that one's own memory (as copyPixels()); false when the sizes differ.
bool unpackPixels(const QImage& packed, QImage& rgb32);
// The pixels of `picture` (packed or 32 bits) inside `rect` back into the
// 32-bit `buffer` of its size; false (and nothing copied) for other formats.
bool restorePixels(const QImage& picture, QImage& buffer, const QRect& rect);

} // namespace korvane
