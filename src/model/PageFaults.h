#pragma once

#include <atomic>
#include <cstddef>
#include <thread>

namespace korvane {

// Asks the system for every whole page of [begin, begin + bytes) at once
// and writes each once, its bytes unchanged: filling hundreds of megabytes of
// fresh memory page by page spends most of its time in page faults, and
// faulting them in on a second thread takes that off the first. Returns
// where the pages asked for end. Systems without the request (before Linux
// 5.14, not Linux) fault at the writes.
const char* faultInPages(const void* begin, std::size_t bytes);

// Writes the fresh pages of a big buffer that is filled from its start once,
// on a second thread a few megabytes ahead of the writer, so that the
// writer's thread finds them ready (see faultInPages()). The two never share
// a page: the writer waits, rarely and briefly, until the pages it is about
// to write are done; the second thread only goes on past them.
class PagesAhead {
public:
    PagesAhead() = default;
    // A copy or a moved buffer goes on without it.
    PagesAhead(const PagesAhead&) {}
    PagesAhead(PagesAhead&& other) noexcept { other.stop(); }
    PagesAhead& operator=(const PagesAhead&)
    {
        stop();
        return *this;
    }
    PagesAhead& operator=(PagesAhead&& other) noexcept
    {
        stop();
        other.stop();
        return *this;
    }
    ~PagesAhead() { stop(); }

    // The writer is about to write up to `end` of the block at `block`,
    // whose memory reaches to `room`; a new block stops the work on the old.
    // Smaller blocks are left to the system.
    void before(char* block, std::size_t end, std::size_t room);
    // To be called before the block is moved, grown or freed.
    void stop();

private:
    void touch(char* block, std::size_t from, std::size_t room);

    std::thread m_thread;
    char* m_block = nullptr;
    std::atomic<std::size_t> m_writerEnd{0}; // the writer writes below it
    std::atomic<std::size_t> m_done{0};      // pages below it are done
    std::atomic<std::size_t> m_wakeAt{0};    // the second thread waits for m_writerEnd to reach it
    std::atomic<bool> m_stop{false};
};

} // namespace korvane
