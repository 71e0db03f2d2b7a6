#include "io/PageReadAhead.h"

#include "io/ImportFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <utility>

namespace korvane::import {

namespace {

constexpr int kWhole = 1000;

QString comparable(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

PageReadAhead& PageReadAhead::operator=(PageReadAhead&& other) noexcept
{
    if (this != &other) {
        drop();
        m_path = std::exchange(other.m_path, QString());
        m_shared = std::move(other.m_shared);
        m_read = std::move(other.m_read);
    }
    return *this;
}

PageReadAhead::Stamp PageReadAhead::stampOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    return {info.size(), info.lastModified(), info.metadataChangeTime()};
}

std::function<QString()> PageReadAhead::readOnThread(const QString& path, PictureOf pictureOf)
{
    drop();
    auto shared = std::make_shared<Shared>();
    // Held by the thread's work alone: work that never runs (no thread could
    // be started) breaks it, and take() hears so instead of waiting for ever.
    auto handed = std::make_shared<std::promise<std::optional<Stamped>>>();
    m_read = handed->get_future();
    m_shared = shared;
    m_path = comparable(path);
    return [path = m_path, pictureOf = std::move(pictureOf), shared, handed] {
        // Each of the two steps fills half of the progress take() shows.
        const auto step = [&shared](int from) -> Progress {
            return [&shared, from](qint64 done, qint64 total) {
                const qint64 part = total > 0 ? std::min(done, total) * (kWhole / 2) / total : 0;
                shared->permille.store(from + int(part), std::memory_order_relaxed);
                return !shared->stop.load(std::memory_order_relaxed);
            };
        };
        std::optional<Stamped> read;
        QString picture;
        try {
            // The stamp before the reading: a change while it runs shows too.
            Stamped stamped{stampOf(path), {}};
            stamped.read.page = readImportFile(path, step(0));
            if (!stamped.read.page.isEmpty() && !shared->stop)
                stamped.read.maps = readPageMaps(stamped.read.page, step(kWhole / 2));
            if (!stamped.read.page.isEmpty() && !shared->stop && stamped.stamp.size >= 0) {
                picture = pictureOf(path, stamped.read);
                read = std::move(stamped);
            }
        } catch (...) {
            // Out of memory, say: the command reads the file itself.
            read.reset();
            picture.clear();
        }
        handed->set_value(std::move(read));
        return picture;
    };
}

std::optional<PageRead> PageReadAhead::take(const QString& path, const Progress& progress)
{
    if (!m_read.valid() || comparable(path) != m_path) {
        drop();
        return std::nullopt;
    }
    if (!progress) {
        m_read.wait();
    } else {
        // The events are handled meanwhile, a press of "Abbrechen" among them.
        while (m_read.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready) {
            if (!progress(m_shared->permille.load(std::memory_order_relaxed), kWhole)) {
                drop();
                return std::nullopt;
            }
        }
    }
    std::optional<Stamped> read;
    try {
        read = m_read.get();
    } catch (const std::future_error&) {
        // No thread ran the reading.
    }
    const QString taken = std::exchange(m_path, QString());
    m_shared.reset();
    if (!read || stampOf(taken) != read->stamp)
        return std::nullopt;
    return std::move(read->read);
}

void PageReadAhead::drop()
{
    if (m_shared)
        m_shared->stop = true;
    m_shared.reset();
    m_read = {};
    m_path.clear();
}

} // namespace korvane::import
