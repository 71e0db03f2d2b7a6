#include "canvas/PictureMemory.h"

#include "model/PageFaults.h"

#include <QColorSpace>
#include <QtEndian>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace korvane {

namespace {

#ifdef Q_OS_LINUX
constexpr std::size_t kLargePage = 2 * 1024 * 1024;
// Pictures from this size on get memory of their own, all of it faulted in at once.
constexpr qsizetype kOwnMemoryFrom = 256 * 1024;
// And from this size on in large pages.
constexpr qsizetype kLargePagesFrom = 4 * kLargePage;

struct Mapping {
    void* start; // null once another picture took the memory over
    std::size_t length;
};

// The mappings of living pictures by their start, so that a picture can be
// narrowed in its own memory; pictures are made on the decoding thread too.
std::mutex& mappingsLock()
{
    static std::mutex lock;
    return lock;
}
std::unordered_map<const void*, Mapping*>& mappings()
{
    static std::unordered_map<const void*, Mapping*> all;
    return all;
}

void unmap(void* info)
{
    auto* mapping = static_cast<Mapping*>(info);
    if (mapping->start) {
        const std::lock_guard guard(mappingsLock());
        mappings().erase(mapping->start);
        munmap(mapping->start, mapping->length);
    }
    delete mapping;
}

// A picture over a mapping, which it unmaps when it goes.
QImage overMapping(Mapping* mapping, QSize size, QImage::Format format, qsizetype bytesPerLine)
{
    QImage image(static_cast<uchar*>(mapping->start), size.width(), size.height(), bytesPerLine, format, unmap,
                 mapping);
    if (image.isNull()) {
        unmap(mapping);
        return image;
    }
    const std::lock_guard guard(mappingsLock());
    mappings()[mapping->start] = mapping;
    return image;
}

// Large pages must be whole and aligned to their size: the mapping is made
// one large page longer and cut to the aligned part.
char* mapAligned(std::size_t length)
{
    auto* block = static_cast<char*>(
        mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (block == MAP_FAILED)
        return nullptr;
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(block);
    const std::size_t head = (kLargePage - address % kLargePage) % kLargePage;
    if (head > 0)
        munmap(block, head);
    munmap(block + head + length, kLargePage - head);
    madvise(block + head, length, MADV_HUGEPAGE);
    return block + head;
}

QImage inOwnMemory(QSize size, QImage::Format format, qsizetype bytesPerLine)
{
    const std::size_t bytes = std::size_t(bytesPerLine) * std::size_t(size.height());
    const bool large = qsizetype(bytes) >= kLargePagesFrom;
    const std::size_t length = large ? (bytes + kLargePage - 1) / kLargePage * kLargePage : bytes;
    char* start =
        large ? mapAligned(length)
              : static_cast<char*>(mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (!start || start == MAP_FAILED)
        return {};
    faultInPages(start, length);
    return overMapping(new Mapping{start, length}, size, format, bytesPerLine);
}

// The mapping a picture alone holds, or null.
Mapping* ownMapping(const QImage& image)
{
    if (!image.isDetached())
        return nullptr;
    const std::lock_guard guard(mappingsLock());
    const auto found = mappings().find(image.constBits());
    return found == mappings().end() ? nullptr : found->second;
}
#endif

} // namespace

QImage allocatePicture(QSize size, QImage::Format format)
{
#ifdef Q_OS_LINUX
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    if (size.isValid() && !size.isEmpty() && depth > 0) {
        const qsizetype bytesPerLine = (qsizetype(size.width()) * depth + 31) / 32 * 4;
        if (bytesPerLine * size.height() >= kOwnMemoryFrom)
            return inOwnMemory(size, format, bytesPerLine);
    }
#endif
    return QImage(size, format);
}

QImage narrowedInPlace(QImage wide, const std::function<QImage(const QImage&)>& toRgb32)
{
#ifdef Q_OS_LINUX
    Mapping* mapping = ownMapping(wide);
    if (mapping && wide.depth() > 32) {
        const QSize size = wide.size();
        const qsizetype inLine = wide.bytesPerLine();
        const qsizetype outLine = qsizetype(size.width()) * 4;
        uchar* bits = wide.bits(); // not shared: no copy
        // Row y of the narrow picture ends before row y + 1 of the wide one
        // starts, so every strip is read before anything is written over it.
        constexpr int kStrip = 8; // rows; a few hundred kilobytes beside the picture
        for (int y = 0; y < size.height(); y += kStrip) {
            const int rows = std::min(kStrip, size.height() - y);
            const QImage narrow = toRgb32(QImage(std::as_const(bits) + y * inLine, size.width(), rows, inLine,
                                                 wide.format()));
            if (narrow.format() != QImage::Format_RGB32 || narrow.size() != QSize(size.width(), rows))
                return {};
            for (int r = 0; r < rows; ++r)
                std::memmove(bits + (y + r) * outLine, narrow.constScanLine(r), std::size_t(outLine));
        }
        // The narrow picture takes the memory over; the rest goes back.
        constexpr std::size_t kPage = 4096;
        const std::size_t kept = (std::size_t(outLine) * std::size_t(size.height()) + kPage - 1) / kPage * kPage;
        auto* narrowMapping = new Mapping{mapping->start, mapping->length};
        if (kept < mapping->length) {
            munmap(static_cast<char*>(mapping->start) + kept, mapping->length - kept);
            narrowMapping->length = kept;
        }
        {
            const std::lock_guard guard(mappingsLock());
            mappings().erase(mapping->start);
        }
        mapping->start = nullptr;
        const QImage::Format format = QImage::Format_RGB32;
        QImage narrow = overMapping(narrowMapping, size, format, outLine);
        narrow.setDotsPerMeterX(wide.dotsPerMeterX());
        narrow.setDotsPerMeterY(wide.dotsPerMeterY());
        return narrow;
    }
#endif
    return toRgb32(wide);
}

QImage copyPicture(const QImage& source)
{
    if (source.isNull())
        return {};
    QImage copy = allocatePicture(source.size(), source.format());
    if (copy.isNull() || !copyPixels(source, copy))
        return source.copy();
    copy.setDotsPerMeterX(source.dotsPerMeterX());
    copy.setDotsPerMeterY(source.dotsPerMeterY());
    copy.setOffset(source.offset());
    copy.setColorSpace(source.colorSpace());
    if (source.colorCount() > 0)
        copy.setColorTable(source.colorTable());
    return copy;
}

bool copyPixels(const QImage& from, QImage& to)
{
    if (from.size() != to.size() || from.format() != to.format() || from.isNull())
        return false;
    const qsizetype rowBytes = std::min(from.bytesPerLine(), to.bytesPerLine());
    uchar* target = to.bits(); // a copy shared elsewhere is detached first
    if (from.bytesPerLine() == to.bytesPerLine()) {
        std::memcpy(target, from.constBits(), std::size_t(from.sizeInBytes()));
        return true;
    }
    for (int y = 0; y < from.height(); ++y)
        std::memcpy(target + y * to.bytesPerLine(), from.constScanLine(y), std::size_t(rowBytes));
    return true;
}

namespace {

// Four pixels at a time as three 32-bit words, where the byte order allows.
void packRow(const QRgb* from, uchar* to, int width)
{
    int x = 0;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    for (; x + 4 <= width; x += 4, to += 12) {
        // 0xAARRGGBB swapped and shifted: red, green, blue in memory order.
        const quint32 a = qbswap(from[x]) >> 8, b = qbswap(from[x + 1]) >> 8;
        const quint32 c = qbswap(from[x + 2]) >> 8, d = qbswap(from[x + 3]) >> 8;
        const quint32 words[3] = {a | b << 24, b >> 8 | c << 16, c >> 16 | d << 8};
        std::memcpy(to, words, sizeof words);
    }
#endif
    for (; x < width; ++x, to += 3) {
        to[0] = uchar(qRed(from[x]));
        to[1] = uchar(qGreen(from[x]));
        to[2] = uchar(qBlue(from[x]));
    }
}

void unpackRow(const uchar* from, QRgb* to, int width)
{
    int x = 0;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    const auto pixel = [](quint32 redFirst) { return 0xff000000u | qbswap(redFirst) >> 8; };
    for (; x + 4 <= width; x += 4, from += 12) {
        quint32 words[3];
        std::memcpy(words, from, sizeof words);
        to[x] = pixel(words[0] & 0xffffff);
        to[x + 1] = pixel(words[0] >> 24 | (words[1] & 0xffff) << 8);
        to[x + 2] = pixel(words[1] >> 16 | (words[2] & 0xff) << 16);
        to[x + 3] = pixel(words[2] >> 8);
    }
#endif
    for (; x < width; ++x, from += 3)
        to[x] = qRgb(from[0], from[1], from[2]);
}

} // namespace

QImage packedPicture(const QImage& rgb32)
{
    Q_ASSERT(rgb32.format() == QImage::Format_RGB32);
    QImage packed = allocatePicture(rgb32.size(), QImage::Format_RGB888);
    if (packed.isNull())
        return packed;
    for (int y = 0; y < rgb32.height(); ++y)
        packRow(reinterpret_cast<const QRgb*>(rgb32.constScanLine(y)), packed.scanLine(y), rgb32.width());
    packed.setDotsPerMeterX(rgb32.dotsPerMeterX());
    packed.setDotsPerMeterY(rgb32.dotsPerMeterY());
    return packed;
}

bool unpackPixels(const QImage& packed, QImage& rgb32)
{
    if (packed.size() != rgb32.size() || packed.format() != QImage::Format_RGB888 ||
        rgb32.format() != QImage::Format_RGB32)
        return false;
    for (int y = 0; y < packed.height(); ++y)
        unpackRow(packed.constScanLine(y), reinterpret_cast<QRgb*>(rgb32.scanLine(y)), packed.width());
    return true;
}

bool restorePixels(const QImage& picture, QImage& buffer, const QRect& rect)
{
    const bool packed = picture.format() == QImage::Format_RGB888;
    if (picture.size() != buffer.size() || buffer.format() != QImage::Format_RGB32 ||
        (!packed && picture.format() != QImage::Format_RGB32))
        return false;
    const QRect r = rect & buffer.rect();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* to = reinterpret_cast<QRgb*>(buffer.scanLine(y)) + r.left();
        if (packed)
            unpackRow(picture.constScanLine(y) + 3 * qsizetype(r.left()), to, r.width());
        else
            std::memcpy(to, picture.constScanLine(y) + 4 * qsizetype(r.left()), 4 * std::size_t(r.width()));
    }
    return true;
}

} // namespace korvane
