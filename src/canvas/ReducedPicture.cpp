#include "canvas/ReducedPicture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace korvane {

namespace {

// Pixels of a row in another format are converted this many at a time.
constexpr int kConvertedRun = 4096;

// The sums of one row of blocks: red, green and blue of each block's pixels.
struct BlockSums {
    explicit BlockSums(int blocks) : red(blocks), green(blocks), blue(blocks) {}
    std::vector<quint64> red, green, blue;

    void clear()
    {
        std::fill(red.begin(), red.end(), 0);
        std::fill(green.begin(), green.end(), 0);
        std::fill(blue.begin(), blue.end(), 0);
    }
};

// The common case (a 32-bit picture, blocks up to 256 pixels wide) a block at
// a time: red and blue are summed in the two halves of one word (a block's
// row adds at most 256 * 255 to each, which 16 bits hold), a third of the
// work of summing each pixel's channels one by one for the same sums.
void addRow32(const QRgb* line, int width, int halvings, BlockSums& sums)
{
    const int block = 1 << std::min(halvings, 30);
    int x = 0;
    if (halvings <= 8) {
        for (size_t b = 0; x + block <= width; x += block, ++b) {
            quint32 redBlue = 0, green = 0;
            for (int i = 0; i < block; ++i) {
                const QRgb p = line[x + i];
                redBlue += p & 0x00ff00ffu;
                green += (p >> 8) & 0xffu;
            }
            sums.red[b] += redBlue >> 16;
            sums.green[b] += green;
            sums.blue[b] += redBlue & 0xffffu;
        }
    }
    for (; x < width; ++x) {
        const int b = x >> halvings;
        sums.red[b] += qRed(line[x]);
        sums.green[b] += qGreen(line[x]);
        sums.blue[b] += qBlue(line[x]);
    }
}

// Adds one row of the picture to the sums of its blocks, read where it lies:
// a 24- or 32-bit row as it is, any other format a short run at a time.
void addRow(const QImage& picture, int y, int halvings, BlockSums& sums)
{
    const int width = picture.width();
    if (picture.format() == QImage::Format_RGB888) {
        const uchar* p = picture.constScanLine(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const int block = x >> halvings;
            sums.red[block] += p[0];
            sums.green[block] += p[1];
            sums.blue[block] += p[2];
        }
        return;
    }
    const auto add32 = [&sums, halvings](const QRgb* line, int from, int count) {
        for (int i = 0; i < count; ++i) {
            const int block = (from + i) >> halvings;
            sums.red[block] += qRed(line[i]);
            sums.green[block] += qGreen(line[i]);
            sums.blue[block] += qBlue(line[i]);
        }
    };
    if (picture.format() == QImage::Format_RGB32) {
        addRow32(reinterpret_cast<const QRgb*>(picture.constScanLine(y)), width, halvings, sums);
        return;
    }
    for (int x = 0; x < width; x += kConvertedRun) {
        const int count = std::min(kConvertedRun, width - x);
        const QImage run = picture.copy(x, y, count, 1).convertToFormat(QImage::Format_RGB32);
        add32(reinterpret_cast<const QRgb*>(run.constScanLine(0)), x, count);
    }
}

} // namespace

int halvingsFor(double zoom)
{
    if (!(zoom > 0) || zoom >= 1)
        return 0;
    // 2^-k >= zoom; the small tolerance keeps an exact power of two exact.
    return std::clamp(int(std::floor(std::log2(1.0 / zoom) + 1e-9)), 0, 30);
}

// Each pixel is the rounded mean of its block (the last blocks of a row or
// column hold what is left). The picture is read row by row into one row of
// sums, so nothing of its size is copied or converted: opening a big picture
// fitted into the view costs no second picture in memory.
QImage reducedPicture(const QImage& picture, int halvings)
{
    if (picture.isNull() || halvings <= 0)
        return picture;
    const qint64 block = qint64(1) << halvings;
    const auto reduced = [block](int side) { return int((side + block - 1) / block); };
    QImage result(reduced(picture.width()), reduced(picture.height()), QImage::Format_RGB32);
    if (result.isNull())
        return result;
    BlockSums sums(result.width());
    for (int row = 0; row < result.height(); ++row) {
        const int top = int(row * block);
        const int rows = int(std::min<qint64>(block, picture.height() - top));
        sums.clear();
        for (int y = top; y < top + rows; ++y)
            addRow(picture, y, halvings, sums);
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(row));
        for (int column = 0; column < result.width(); ++column) {
            const qint64 columns = std::min<qint64>(block, picture.width() - column * block);
            const quint64 count = quint64(columns) * quint64(rows);
            const auto mean = [count](quint64 sum) { return int((sum + count / 2) / count); };
            line[column] = qRgb(mean(sums.red[column]), mean(sums.green[column]), mean(sums.blue[column]));
        }
    }
    return result;
}

const QImage& ReducedPictureCache::forZoom(const QImage& picture, double zoom, int* halvings)
{
    const int wanted = halvingsFor(zoom);
    if (m_reduced.isNull() || m_pictureKey != picture.cacheKey() || m_halvings != wanted) {
        m_reduced = QImage(); // the old copy goes before the new one is made
        m_reduced = reducedPicture(picture, wanted);
        m_pictureKey = picture.cacheKey();
        m_halvings = wanted;
    }
    *halvings = m_halvings;
    return m_reduced;
}

void ReducedPictureCache::clear()
{
    m_reduced = QImage();
    m_pictureKey = 0;
    m_halvings = 0;
}

} // namespace korvane
