#pragma once

// Generated inputs several benchmarks share: filler text for big pages, a big
// noisy picture and pages that carry the 5,000-area map of the widget
// benchmarks (BigMapScene.h).
#include "BigMapScene.h"

#include "model/MapCode.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QString>

#include <random>

namespace korvane::bench {

// Paragraphs of German text with markup and now and then a picture, at least
// `size` characters.
inline QString filler(qsizetype size, int seed)
{
    static const QString paragraph = QStringLiteral(
        "<p class=\"text\">Über die Brücke gingen die Leute zum Markt, wo es Äpfel, Birnen und Käse gab. "
        "Die Stadt <b>liegt</b> am Fluss; <a href=\"info.html\">mehr dazu</a> steht im Archiv.</p>\n");
    QString text;
    text.reserve(size + paragraph.size());
    int n = seed;
    while (text.size() < size) {
        text += paragraph;
        if (++n % 997 == 0)
            text += QStringLiteral("<img src=\"bilder/deko%1.png\" alt=\"\">\n").arg(n);
    }
    return text;
}

// A 4000 x 3000 photo-like PNG: gradients with three bits of noise in every
// channel, so the file is about 16 MB and decoding it is real work.
inline bool writeNoisyPicture(const QString& path)
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const quint32 noise = random();
            row[x] = qRgb((x / 16 + (noise & 7)) & 0xff, (y / 12 + (noise >> 3 & 7)) & 0xff,
                          ((x + y) / 28 + (noise >> 6 & 7)) & 0xff);
        }
    }
    return QImageWriter(path, "png").write(image);
}

// The map code of the 5,000 areas for the picture at `picturePath`, as the
// editor writes it.
inline QString bigMapCode(const QString& picturePath)
{
    return map_daten(bigAreaList(), picturePath, QStringLiteral("plan"), QSize(4000, 3000));
}

// A short page that shows the picture with the 5,000-area map.
inline QString pageWithBigMap(const QString& picturePath)
{
    return QStringLiteral("<!DOCTYPE html>\n<html><body>\n<h1>Plan</h1>\n") + bigMapCode(picturePath) +
           QStringLiteral("</body></html>\n");
}

// The same picture and map in a page of about 20 MB: the map near its end.
inline QString bigPageWithBigMap(const QString& picturePath)
{
    constexpr qsizetype kSize = 20 * 1024 * 1024;
    const QString code = bigMapCode(picturePath);
    QString page = QStringLiteral("<!DOCTYPE html>\n<html><body>\n");
    page += filler(kSize - code.size() - 64 * 1024, 0);
    page += code;
    page += filler(64 * 1024, 3);
    page += QStringLiteral("</body></html>\n");
    return page;
}

inline bool writeUtf8(const QString& path, const QString& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
}

// Writes `areas` area elements of small rectangles over a 4000 x 3000
// picture, numbered from 0, with the element's own line end; false when
// the disk refuses.
inline bool writeAreaElements(QFile& file, qint64 areas, const char* end)
{
    QByteArray chunk;
    for (qint64 i = 0; i < areas; ++i) {
        const qint64 x = i % 3990, y = i / 3990 % 2990;
        chunk += "<area shape=\"rect\" coords=\"" + QByteArray::number(x) + ',' + QByteArray::number(y) + ',' +
                 QByteArray::number(x + 9) + ',' + QByteArray::number(y + 9) + "\" href=\"seite" +
                 QByteArray::number(i) + ".html\" alt=\"Feld " + QByteArray::number(i) + "\" />" + end;
        if (chunk.size() > (1 << 20) || i + 1 == areas) {
            if (file.write(chunk) != chunk.size())
                return false;
            chunk.clear();
        }
    }
    return true;
}

// A page with one map of a million areas for the picture (about 90 MB).
inline bool writeMillionAreaPage(const QString& path, const QString& picturePath)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write("<!DOCTYPE html>\n<html><body>\n<img src=\"" + picturePath.toUtf8() +
                      "\" usemap=\"#plan\">\n<map name=\"plan\">\n") > 0 &&
           writeAreaElements(file, 1'000'000, "\n") &&
           file.write("<area shape=\"default\" nohref>\n</map>\n</body></html>\n") > 0;
}

// A .map file of 200 MB as the save command writes it (about 1.8 million areas).
inline bool writeBigMapFile(const QString& path, const QString& picturePath)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write("<!--\r\nIMAGEMAP FUER GRAFIKDATEI: plan.png\r\n-->\r\n\r\n<img src=\"" + picturePath.toUtf8() +
                   "\" width=\"4000\" height=\"3000\" border=\"0\" usemap=\"#plan\" />\r\n<map name=\"plan\">\r\n") <= 0)
        return false;
    constexpr qint64 kSize = 200 * 1024 * 1024;
    while (file.size() < kSize) {
        if (!writeAreaElements(file, 10'000, "\r\n"))
            return false;
    }
    return file.write("<area shape=\"default\" nohref=\"nohref\" alt=\"\" />\r\n</map>\r\n") > 0;
}

} // namespace korvane::bench
