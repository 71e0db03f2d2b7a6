#include "picture/PictureHeader.h"

#include <QtEndian>

#include <algorithm>

namespace korvane {

bool looksLikeWmf(const QByteArray& bytes)
{
    if (bytes.size() < 18)
        return false;
    const quint32 key = qFromLittleEndian<quint32>(bytes.constData());
    if (key == 0x9AC6CDD7u)
        return bytes.size() >= 22 + 18;
    const quint16 type = qFromLittleEndian<quint16>(bytes.constData());
    const quint16 headerWords = qFromLittleEndian<quint16>(bytes.constData() + 2);
    return (type == 1 || type == 2) && headerWords == 9;
}

bool looksLikeEmf(const QByteArray& bytes)
{
    return bytes.size() >= 88 && qFromLittleEndian<quint32>(bytes.constData()) == 1 &&
           qFromLittleEndian<quint32>(bytes.constData() + 40) == 0x464D4520u;
}

bool lacksFileHeader(const QByteArray& start)
{
    if (start.size() < 40 || start.startsWith("BM"))
        return false;
    const quint32 infoSize = qFromLittleEndian<quint32>(start.constData());
    return infoSize == 40 || infoSize == 108 || infoSize == 124;
}

QByteArray withFileHeader(const QByteArray& bytes)
{
    if (!lacksFileHeader(bytes))
        return bytes;
    const quint32 infoSize = qFromLittleEndian<quint32>(bytes.constData());
    const quint16 bitCount = qFromLittleEndian<quint16>(bytes.constData() + 14);
    quint32 colours = qFromLittleEndian<quint32>(bytes.constData() + 32);
    if (colours == 0 && bitCount <= 8)
        colours = 1u << bitCount;
    const quint32 compression = qFromLittleEndian<quint32>(bytes.constData() + 16);
    const quint32 masks = (infoSize == 40 && compression == 3) ? 12 : 0; // BI_BITFIELDS
    const quint32 offset = 14 + infoSize + masks + 4 * colours;
    QByteArray header("BM");
    header.resize(14);
    qToLittleEndian<quint32>(quint32(14 + bytes.size()), header.data() + 2);
    qToLittleEndian<quint32>(0, header.data() + 6);
    qToLittleEndian<quint32>(offset, header.data() + 10);
    return header + bytes;
}

namespace {

constexpr qint64 kSignatureSize = 8;
constexpr qint64 kChunkFrame = 12; // length, type and CRC

bool isTextChunk(QByteArrayView type)
{
    return type == "tEXt" || type == "zTXt" || type == "iTXt";
}

} // namespace

std::vector<PngWithoutText::Part> PngWithoutText::keptParts(QIODevice& file)
{
    const qint64 start = file.pos();
    std::vector<Part> parts;
    bool dropped = false;
    if (file.seek(0) && file.read(kSignatureSize) == QByteArray("\x89PNG\r\n\x1a\n", kSignatureSize)) {
        parts.push_back({0, kSignatureSize});
        const qint64 size = file.size();
        qint64 at = kSignatureSize;
        // Chunk by chunk up to the end or to one that does not fit: the
        // decoder says what is wrong with the rest, which is kept as it is.
        while (at + kChunkFrame <= size && file.seek(at)) {
            const QByteArray head = file.read(8);
            if (head.size() < 8)
                break;
            const qint64 length = qFromBigEndian<quint32>(head.constData());
            if (length > size - at - kChunkFrame)
                break;
            if (isTextChunk(QByteArrayView(head).sliced(4))) {
                dropped = true;
            } else if (parts.back().from + parts.back().size == at) {
                parts.back().size += kChunkFrame + length;
            } else {
                parts.push_back({at, kChunkFrame + length});
            }
            at += kChunkFrame + length;
        }
        if (at < size)
            parts.push_back({at, size - at});
    }
    file.seek(start);
    if (!dropped)
        parts.clear();
    return parts;
}

PngWithoutText::PngWithoutText(QIODevice& file, std::vector<Part> parts) : m_file(file), m_parts(std::move(parts))
{
    for (const Part& part : m_parts)
        m_size += part.size;
    open(QIODevice::ReadOnly);
}

qint64 PngWithoutText::readData(char* data, qint64 maxSize)
{
    qint64 done = 0;
    qint64 partStart = 0; // where the part starts in this device
    const qint64 at = pos();
    for (const Part& part : m_parts) {
        const qint64 partEnd = partStart + part.size;
        if (done < maxSize && at + done < partEnd) {
            const qint64 offset = at + done - partStart;
            const qint64 wanted = std::min(maxSize - done, part.size - offset);
            if (!m_file.seek(part.from + offset))
                return done > 0 ? done : -1;
            const qint64 got = m_file.read(data + done, wanted);
            if (got <= 0)
                return done > 0 ? done : -1;
            done += got;
            if (got < wanted)
                return done;
        }
        partStart = partEnd;
    }
    return done;
}

} // namespace korvane
