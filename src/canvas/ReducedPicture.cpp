#include "canvas/ReducedPicture.h"

#include "model/SecondThread.h"

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

// The sums of red and blue (in the two halves of one word) and green (in
// place) of `count` pixels, four at a time; at most 256 pixels, so that each
// sum keeps to its bits.
struct RowSum {
    quint32 redBlue = 0;
    quint32 green = 0;
};
inline RowSum sumPixels(const QRgb* p, int count)
{
    constexpr quint32 kRedBlue = 0x00ff00ffu, kGreen = 0x0000ff00u;
    RowSum sum;
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        sum.redBlue += (p[i] & kRedBlue) + (p[i + 1] & kRedBlue) + (p[i + 2] & kRedBlue) + (p[i + 3] & kRedBlue);
        sum.green += (p[i] & kGreen) + (p[i + 1] & kGreen) + (p[i + 2] & kGreen) + (p[i + 3] & kGreen);
    }
    for (; i < count; ++i) {
        sum.redBlue += p[i] & kRedBlue;
        sum.green += p[i] & kGreen;
    }
    return sum;
}

// The common case (a 32-bit picture, blocks up to 256 pixels wide) a block at
// a time, its channels summed in two words: a fraction of the work of summing
// each pixel's channels one by one, for the same sums.
void addRow32(const QRgb* line, int width, int halvings, BlockSums& sums)
{
    if (halvings > 8) {
        for (int x = 0; x < width; ++x) {
            const int b = x >> halvings;
            sums.red[b] += qRed(line[x]);
            sums.green[b] += qGreen(line[x]);
            sums.blue[b] += qBlue(line[x]);
        }
        return;
    }
    const int block = 1 << halvings;
    size_t b = 0;
    for (int x = 0; x < width; x += block, ++b) {
        const RowSum sum = sumPixels(line + x, std::min(block, width - x));
        sums.red[b] += sum.redBlue >> 16;
        sums.green[b] += sum.green >> 8;
        sums.blue[b] += sum.redBlue & 0xffffu;
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

ReducedPictureCache::~ReducedPictureCache()
{
    clear();
}

const QImage& ReducedPictureCache::forZoom(const QImage& picture, double zoom, int* halvings)
{
    const int wanted = halvingsFor(zoom);
    if (m_reduced.isNull() || m_pictureKey != picture.cacheKey() || m_halvings != wanted) {
        m_reduced = QImage(); // the old copy goes before the new one is made
        std::optional<Making> making = std::exchange(m_making, std::nullopt);
        if (making && making->pictureKey == picture.cacheKey() && making->halvings == wanted)
            m_reduced = making->copy.get();
        else if (making)
            making->copy.wait(); // not that one: its picture is let go first
        making.reset();
        if (m_reduced.isNull())
            m_reduced = reducedPicture(picture, wanted);
        m_pictureKey = picture.cacheKey();
        m_halvings = wanted;
    }
    *halvings = m_halvings;
    return m_reduced;
}

void ReducedPictureCache::prepare(const QImage& picture, double zoom)
{
    const int wanted = halvingsFor(zoom);
    const qint64 key = picture.cacheKey();
    const bool made = !m_reduced.isNull() && m_pictureKey == key && m_halvings == wanted;
    if (picture.isNull() || wanted <= 0 || made || (m_making && m_making->pictureKey == key && m_making->halvings == wanted))
        return;
    clear();
    // The thread holds the picture (a shallow copy) until it is done.
    m_making = Making{resultOnSecondThread([picture, wanted] { return reducedPicture(picture, wanted); }), key, wanted};
}

void ReducedPictureCache::clear()
{
    if (m_making)
        m_making->copy.wait();
    m_making.reset();
    m_reduced = QImage();
    m_pictureKey = 0;
    m_halvings = 0;
}

} // namespace korvane
