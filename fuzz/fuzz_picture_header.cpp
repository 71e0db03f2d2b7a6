// Feeds arbitrary bytes to what the picture loader reads before decoding:
// the metafile and bitmap header checks, the header put in front of a bare
// bitmap, and the PNG reading without text chunks. The parts kept must lie
// in the file in order, the device must give exactly their bytes and no text
// chunk, and a PNG that decodes must decode to the same picture without them.
#include "picture/PictureHeader.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QtEndian>

#include <cstdint>
#include <cstdlib>

using namespace korvane;

namespace {

QImage decode(QIODevice& device)
{
    QImageReader reader(&device, "png");
    reader.setAllocationLimit(16);
    QImage image;
    reader.read(&image);
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)looksLikeWmf(bytes);
    (void)looksLikeEmf(bytes);
    const QByteArray withHeader = withFileHeader(bytes);
    if (lacksFileHeader(bytes) ? withHeader.size() != bytes.size() + 14 || !withHeader.startsWith("BM") ||
                                     qFromLittleEndian<quint32>(withHeader.constData() + 2) != quint32(withHeader.size())
                               : withHeader != bytes)
        std::abort();

    // Mostly PNG files: the fuzzer's own bytes after the signature.
    const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + bytes;
    for (const QByteArray* file : {&bytes, &png}) {
        QBuffer buffer;
        buffer.setData(*file);
        buffer.open(QIODevice::ReadOnly);
        std::vector<PngWithoutText::Part> parts = PngWithoutText::keptParts(buffer);
        if (buffer.pos() != 0)
            std::abort();
        if (parts.empty())
            continue;
        QByteArray kept;
        qint64 end = 0;
        for (const PngWithoutText::Part& part : parts) {
            if (part.from < end || part.size <= 0 || part.from + part.size > file->size())
                std::abort();
            end = part.from + part.size;
            kept += file->mid(part.from, part.size);
        }
        PngWithoutText device(buffer, std::move(parts));
        if (device.size() != kept.size() || device.readAll() != kept)
            std::abort();
        QBuffer again;
        again.setData(kept);
        again.open(QIODevice::ReadOnly);
        if (!PngWithoutText::keptParts(again).empty())
            std::abort(); // a text chunk is left
        buffer.seek(0);
        const QImage original = decode(buffer);
        device.seek(0);
        if (!original.isNull() && decode(device) != original)
            std::abort();
    }
    return 0;
}
