#pragma once

#include "io/HtmlImport.h"
#include "io/ImportSearch.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>

// A page read on a second thread before its import asks for it.
namespace korvane::import {

// A page and what one reading of it finds: the maps' names are views into
// `page`, whose characters move along with it.
struct PageRead {
    QString page;
    PageMaps maps;
};

// The page named on the command line is read while the window is built, to
// find its picture; the Html command then takes that reading instead of
// reading the file a second time. A file that has changed since the reading
// began is read again by the command, so that the areas always come from the
// page as it is when the command takes it (the picture decoded early is used
// only when that page names the same file).
class PageReadAhead {
public:
    // The picture a page names without asking the user; empty for none.
    using PictureOf = std::function<QString(const QString& path, const PageRead& read)>;

    PageReadAhead() = default;
    ~PageReadAhead() { drop(); }
    PageReadAhead(PageReadAhead&&) = default;
    PageReadAhead& operator=(PageReadAhead&& other) noexcept;
    PageReadAhead(const PageReadAhead&) = delete;
    PageReadAhead& operator=(const PageReadAhead&) = delete;

    // The work for the second thread: it reads `path`, hands the reading
    // over to take() and gives what `pictureOf` finds in it (empty when the
    // file cannot be read or take() no longer waits for it).
    std::function<QString()> readOnThread(const QString& path, PictureOf pictureOf);
    // The reading of `path`, waiting for it while `progress` is told how far
    // it is (and may stop it). Nothing when no reading of that file was
    // started, it was stopped or failed, or the file has changed since; the
    // command then reads the file itself. Whatever was started is gone after it.
    std::optional<PageRead> take(const QString& path, const Progress& progress = {});
    // Stops a reading still under way and forgets it.
    void drop();

private:
    // What tells a changed file: size, time of its last change and of the
    // last change of its entry (a file put in another's place by renaming).
    struct Stamp {
        qint64 size = -1;
        QDateTime modified;
        QDateTime changed;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp stampOf(const QString& path);
    struct Stamped {
        Stamp stamp;
        PageRead read;
    };
    // Shared by the two threads.
    struct Shared {
        std::atomic<int> permille{0};
        std::atomic<bool> stop{false};
    };

    QString m_path;
    std::shared_ptr<Shared> m_shared;
    std::future<std::optional<Stamped>> m_read;
};

} // namespace korvane::import
