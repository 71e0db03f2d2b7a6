#pragma once

#include <QImage>

#include <future>
#include <optional>

namespace korvane {

// A picture halved `halvings` times on each side, each pixel the mean of the
// block it stands for, for showing a picture far below its own size: scaling
// from it costs about what the screen shows, not what the picture holds. It
// is made a row at a time, so nothing of the picture's size is copied.
QImage reducedPicture(const QImage& picture, int halvings);

// How often a picture may be halved to be shown at `zoom` (below 1) without
// being enlarged again: the reduced copy's scale stays at or above the zoom.
int halvingsFor(double zoom);

// The reduced copy of the picture shown, made once for a picture and a
// number of halvings and kept while they stay.
class ReducedPictureCache {
public:
    ~ReducedPictureCache();
    const QImage& forZoom(const QImage& picture, double zoom, int* halvings);
    // Starts making the copy for this zoom on a second thread: a picture
    // fitted into the view as it opens is reduced while the window does the
    // rest of the open (the map's code), and forZoom() takes it from there.
    void prepare(const QImage& picture, double zoom);
    void clear();

private:
    QImage m_reduced;
    qint64 m_pictureKey = 0;
    int m_halvings = 0;
    struct Making {
        std::future<QImage> copy;
        qint64 pictureKey = 0;
        int halvings = 0;
    };
    std::optional<Making> m_making;
};

} // namespace korvane
