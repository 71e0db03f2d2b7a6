#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <future>
#include <optional>

namespace korvane {

// A picture decoded on a second thread while an import still reads its
// file: the import learns the picture's name early, and the decode (a good
// part of opening a big map) runs beside the reading instead of after it.
class PicturePrefetch {
public:
    struct Picture {
        QImage image;
        QString error;       // as loadPictureFile() gives it; empty when decoded
        QImage transparency; // as loadPictureFile() gives it
    };

    PicturePrefetch() = default;
    ~PicturePrefetch() { drop(); }
    PicturePrefetch(const PicturePrefetch&) = delete;
    PicturePrefetch& operator=(const PicturePrefetch&) = delete;

    // Starts decoding `path` (as loadPictureFile(path, ..., byContent)),
    // unless that file is decoded already; another one started is dropped.
    void start(const QString& path, bool byContent);
    // Starts finding the picture on the second thread (`find` gives its path,
    // empty for none) and decoding it there: a file named on the command line
    // decodes while the window is being built.
    void startFinding(std::function<QString()> find, bool byContent);
    // Takes over what `other` started (a prefetch made before the session).
    void adopt(PicturePrefetch& other);
    // The file being decoded or decoded already, once found; empty for none.
    QString pendingPath();
    // The picture of `path` once decoded (waiting for it); nothing when no
    // decode of that file was started. Whatever was started is gone after it.
    std::optional<Picture> take(const QString& path);
    // Waits for a decode still running and forgets its picture.
    void drop();

private:
    // The path `find` gave, once it is known.
    void resolvePath();

    QString m_path;
    std::shared_future<QString> m_found; // set while the path is being found
    std::future<Picture> m_picture;
};

} // namespace korvane
