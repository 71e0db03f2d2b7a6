#include "app/PicturePrefetch.h"

#include "app/ImageLoader.h"

#include <system_error>

namespace korvane {

void PicturePrefetch::start(const QString& path, bool byContent)
{
    if (m_picture.valid() && path == m_path)
        return;
    drop();
    try {
        m_picture = std::async(std::launch::async, [path, byContent] {
            Picture picture;
            picture.image = loadPictureFile(path, &picture.error, byContent, &picture.transparency);
            return picture;
        });
        m_path = path;
    } catch (const std::system_error&) {
        // No thread: the picture is loaded when it is needed, as without this.
    }
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
