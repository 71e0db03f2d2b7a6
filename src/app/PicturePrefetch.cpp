#include "app/PicturePrefetch.h"

#include "app/ImageLoader.h"
#include "model/SecondThread.h"

namespace korvane {

void PicturePrefetch::start(const QString& path, bool byContent)
{
    if (m_picture.valid() && path == m_path)
        return;
    drop();
    m_path = path;
    m_picture = resultOnSecondThread([path, byContent] {
        Picture picture;
        picture.image = loadPictureFile(path, &picture.error, byContent);
        return picture;
    });
}

std::optional<PicturePrefetch::Picture> PicturePrefetch::take(const QString& path)
{
    if (!m_picture.valid() || path != m_path) {
        drop();
        return std::nullopt;
    }
    m_path.clear();
    return m_picture.get();
}

void PicturePrefetch::drop()
{
    if (m_picture.valid())
        m_picture.get();
    m_path.clear();
}

} // namespace korvane
