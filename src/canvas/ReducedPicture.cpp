#include "canvas/ReducedPicture.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

// A tile of about this side (a multiple of the block side) is converted and
// scaled at a time: a few megabytes, whatever the picture's size.
constexpr int kTileSide = 2048;

int roundedUp(int value, int multiple)
{
    return (value + multiple - 1) / multiple * multiple;
}

} // namespace

int halvingsFor(double zoom)
{
    if (!(zoom > 0) || zoom >= 1)
        return 0;
    // 2^-k >= zoom; the small tolerance keeps an exact power of two exact.
    return std::clamp(int(std::floor(std::log2(1.0 / zoom) + 1e-9)), 0, 30);
}

QImage reducedPicture(const QImage& picture, int halvings)
{
    if (picture.isNull() || halvings <= 0)
        return picture;
    const qint64 block = qint64(1) << halvings;
    const auto reduced = [block](int side) { return int((side + block - 1) / block); };
    QImage result(reduced(picture.width()), reduced(picture.height()), QImage::Format_RGB32);
    if (result.isNull())
        return result;
    // Whole blocks to a tile, so that no block is split between two tiles.
    const int tile = block >= kTileSide ? int(std::min<qint64>(block, 1 << 30)) : roundedUp(kTileSide, int(block));
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (qint64 y = 0; y < picture.height(); y += tile) {
        for (qint64 x = 0; x < picture.width(); x += tile) {
            const int w = int(std::min<qint64>(tile, picture.width() - x));
            const int h = int(std::min<qint64>(tile, picture.height() - y));
            const QImage part = picture.copy(int(x), int(y), w, h).convertToFormat(QImage::Format_RGB32);
            painter.drawImage(QPoint(int(x / block), int(y / block)),
                              part.scaled(reduced(w), reduced(h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
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
