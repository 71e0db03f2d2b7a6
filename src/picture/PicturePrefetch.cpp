#include "picture/PicturePrefetch.h"

#include "picture/ImageLoader.h"

#include <memory>
#include <system_error>
#include <utility>

namespace korvane {

void PicturePrefetch::start(const QString& path, bool byContent)
{
    resolvePath();
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

void PicturePrefetch::startFinding(std::function<QString()> find, bool byContent)
{
    drop();
    auto found = std::make_shared<std::promise<QString>>();
    std::shared_future<QString> path = found->get_future().share();
    try {
        m_picture = std::async(std::launch::async, [find = std::move(find), byContent, found] {
            QString named;
            try {
                named = find();
            } catch (...) {
                // Nothing found: the command finds the picture itself, as without this.
            }
            found->set_value(named);
            Picture picture;
            if (!named.isEmpty())
                picture.image = loadPictureFile(named, &picture.error, byContent, &picture.transparency);
            return picture;
        });
        m_found = std::move(path);
    } catch (const std::system_error&) {
        // No thread: the picture is loaded when it is needed, as without this.
    }
}

void PicturePrefetch::adopt(PicturePrefetch& other)
{
    drop();
    m_path = std::exchange(other.m_path, QString());
    m_found = std::exchange(other.m_found, {});
    m_picture = std::move(other.m_picture);
}

QString PicturePrefetch::pendingPath()
{
    resolvePath();
    return m_picture.valid() ? m_path : QString();
}

void PicturePrefetch::resolvePath()
{
    if (m_found.valid())
        m_path = std::exchange(m_found, {}).get();
}

std::optional<PicturePrefetch::Picture> PicturePrefetch::take(const QString& path)
{
    resolvePath();
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
    m_found = {};
    m_path.clear();
}

} // namespace korvane
