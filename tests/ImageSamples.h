#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

#include <zlib.h>

// Small image files written by hand or by Qt's writers, for the loader tests.
namespace korvane::test {

inline void put16(QByteArray& b, int v)
{
    const quint16 le = qToLittleEndian(quint16(v));
    b.append(reinterpret_cast<const char*>(&le), 2);
}
inline void put32(QByteArray& b, qint64 v)
{
    const quint32 le = qToLittleEndian(quint32(v));
    b.append(reinterpret_cast<const char*>(&le), 4);
}
inline quint32 colorRef(const QColor& c)
{
    return quint32(c.red() | c.green() << 8 | c.blue() << 16);
}

// A placeable Windows metafile, one unit per pixel at 96 dpi, that fills the
// whole picture with `fill` as one rectangle.
inline QByteArray makeWmf(int width, int height, const QColor& fill)
{
    QByteArray records;
    auto record = [&records](int words, int function, std::initializer_list<int> params) {
        put32(records, words);
        put16(records, function);
        for (int p : params)
            put16(records, p);
    };
    record(5, 0x020B, {0, 0});          // SetWindowOrg y, x
    record(5, 0x020C, {height, width}); // SetWindowExt y, x
    const quint32 ref = colorRef(fill);
    record(7, 0x02FC, {0, int(ref & 0xFFFF), int(ref >> 16), 0}); // CreateBrushIndirect solid
    record(4, 0x012D, {0});                                       // SelectObject 0
    record(7, 0x041B, {height, width, 0, 0});                     // Rectangle bottom, right, top, left
    record(3, 0x0000, {});                                        // EOF

    QByteArray placeable;
    put32(placeable, 0x9AC6CDD7);
    for (int v : {0, 0, 0, width, height, 96, 0, 0}) // handle, bounds, units per inch, reserved
        put16(placeable, v);
    quint16 sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum ^= qFromLittleEndian<quint16>(placeable.constData() + i);
    put16(placeable, sum);

    QByteArray header;
    put16(header, 1);      // in memory
    put16(header, 9);      // header words
    put16(header, 0x0300); // version
    put32(header, (18 + records.size()) / 2);
    put16(header, 1); // objects
    put32(header, 7); // largest record in words
    put16(header, 0);
    return placeable + header + records;
}

// An enhanced metafile of width x height device pixels that fills the picture
// with `fill` as one rectangle.
inline QByteArray makeEmf(int width, int height, const QColor& fill)
{
    QByteArray records;
    const auto put = [](QByteArray& b, std::initializer_list<qint64> values) {
        for (qint64 v : values)
            put32(b, v);
    };
    put(records, {39, 24, 1, 0, colorRef(fill), 0}); // CreateBrushIndirect
    put(records, {37, 12, 1});                       // SelectObject
    put(records, {43, 24, 0, 0, width, height});     // Rectangle
    put(records, {14, 20, 0, 16, 20});               // EOF

    const int headerSize = 88;
    QByteArray header;
    put(header, {1, headerSize, 0, 0, width - 1, height - 1}); // bounds in device units
    // frame in 0.01 mm at 96 dpi (1024 px over 270.93 mm)
    put(header, {0, 0, width * 2646 / 100, height * 2646 / 100});
    put(header, {0x464D4520, 0x10000, headerSize + records.size(), 5});
    put16(header, 2);
    put16(header, 0);
    put(header, {0, 0, 0, 1024, 768, 271, 203}); // device pixels and millimetres
    return header + records;
}

// A one-colour GIF (Qt has no GIF writer). The LZW stream sends a clear code
// before every pixel, so the codes stay three bits wide.
inline QByteArray makeGif(int width, int height, const QColor& fill)
{
    QByteArray gif("GIF89a");
    put16(gif, width);
    put16(gif, height);
    gif.append(char(0x80)).append('\0').append('\0'); // two-entry colour table
    gif.append(char(fill.red())).append(char(fill.green())).append(char(fill.blue()));
    gif.append(3, '\0');
    gif.append(',');
    put16(gif, 0);
    put16(gif, 0);
    put16(gif, width);
    put16(gif, height);
    gif.append('\0').append(char(2)); // no local table; minimum code size 2
    QByteArray data;
    quint32 bits = 0;
    int count = 0;
    auto code = [&](int c) {
        bits |= quint32(c) << count;
        count += 3;
        while (count >= 8) {
            data.append(char(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (int i = 0; i < width * height; ++i) {
        code(4);
        code(0);
    }
    code(5);
    if (count > 0)
        data.append(char(bits & 0xFF));
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        gif.append(char(block.size())).append(block);
    }
    gif.append('\0').append(';');
    return gif;
}

// A width x height picture in `fill`, written by Qt's writer for `format`.
inline QByteArray makeRaster(const char* format, int width, int height, const QColor& fill)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.write(image);
    return bytes;
}

// A lossless WebP of width x height in `fill`, by Qt's writer.
inline QByteArray makeWebp(int width, int height, const QColor& fill)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "webp");
    writer.setQuality(100); // lossless: the colour stays exact
    writer.write(image);
    return bytes;
}

inline void put24(QByteArray& b, int v)
{
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)).append(char((v >> 16) & 0xFF));
}

// A RIFF chunk, padded to an even size.
inline QByteArray riffChunk(const char* tag, const QByteArray& payload)
{
    QByteArray chunk(tag, 4);
    put32(chunk, payload.size());
    chunk.append(payload);
    if (payload.size() % 2)
        chunk.append('\0');
    return chunk;
}

// An animated WebP of two frames, the first in `first`, the second in
// `second`, each the whole canvas, shown for 100 ms, looping.
inline QByteArray makeAnimatedWebp(int width, int height, const QColor& first, const QColor& second)
{
    QByteArray header;
    header.append(char(0x02)).append(3, '\0'); // animation
    put24(header, width - 1);
    put24(header, height - 1);
    QByteArray animation;
    put32(animation, 0xFFFFFFFF); // background
    put16(animation, 0);          // endless
    QByteArray body = riffChunk("VP8X", header) + riffChunk("ANIM", animation);
    for (const QColor& colour : {first, second}) {
        QByteArray frame;
        put24(frame, 0);
        put24(frame, 0);
        put24(frame, width - 1);
        put24(frame, height - 1);
        put24(frame, 100);
        frame.append('\0');
        frame.append(makeWebp(width, height, colour).mid(12)); // the still picture's bitstream chunk
        body.append(riffChunk("ANMF", frame));
    }
    QByteArray file("RIFF");
    put32(file, 4 + body.size());
    return file + "WEBP" + body;
}

// A lossless WebP whose header claims width x height (at most 16384 each).
inline QByteArray withWebpSize(QByteArray webp, int width, int height)
{
    const quint32 bits = qFromLittleEndian<quint32>(webp.constData() + 21);
    qToLittleEndian<quint32>((bits & 0xF0000000u) | quint32(width - 1) | quint32(height - 1) << 14, webp.data() + 21);
    return webp;
}

// An SVG drawing of width x height filled with `fill`, with `inside` after the filling.
inline QByteArray makeSvg(int width, int height, const QColor& fill, const QByteArray& inside = {})
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- Zeichnung -->\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                          "width=\"%1\" height=\"%2\"><rect width=\"%1\" height=\"%2\" fill=\"%3\"/>")
               .arg(width)
               .arg(height)
               .arg(fill.name())
               .toUtf8() +
           inside + "</svg>\n";
}

// The bytes compressed as a gzip file (.svgz).
inline QByteArray gzipped(const QByteArray& bytes)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, MAX_WBITS + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(bytes.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

} // namespace korvane::test
