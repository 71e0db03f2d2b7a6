#include "model/PageFaults.h"

#include <QtGlobal>

#include <cstdint>
#include <system_error>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23 // Linux 5.14; older systems refuse it
#endif
#endif

namespace korvane {

const char* faultInPages(const void* begin, std::size_t bytes)
{
    constexpr std::uintptr_t kPage = 4096;
    const auto base = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t first = (base + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t last = (base + bytes) & ~(kPage - 1);
    if (last <= first)
        return static_cast<const char*>(begin);
#ifdef Q_OS_LINUX
    madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#endif
    // A virtual machine's host may back the pages only at their first write
    // from the program (5 us a page here, after the request as without it):
    // one byte of each page is written back as it is, on the calling thread.
    for (std::uintptr_t page = first; page < last; page += kPage) {
        volatile unsigned char* byte = reinterpret_cast<volatile unsigned char*>(page);
        *byte = *byte;
    }
    return reinterpret_cast<const char*>(last);
}

namespace {

constexpr std::size_t kSmallBlock = 8 * 1024 * 1024; // faulted in by the writer as it goes
constexpr std::size_t kAhead = 4 * 1024 * 1024;
constexpr std::size_t kChunk = 64 * 1024;

} // namespace

void PagesAhead::before(char* block, std::size_t end, std::size_t room)
{
    if (block != m_block) {
        stop();
        if (room < kSmallBlock)
            return;
        m_block = block;
        m_writerEnd.store(end);
        m_done.store(end);
        m_wakeAt.store(0);
        m_stop.store(false);
        // Only whole pages past `end` are touched: the one the writer is in stays its own.
        try {
            m_thread = std::thread(&PagesAhead::touch, this, block, end, room);
        } catch (const std::system_error&) {
            m_done.store(std::size_t(-1)); // no thread: the writer faults its pages in itself
        }
        return;
    }
    m_writerEnd.store(end);
    if (end >= m_wakeAt.load())
        m_writerEnd.notify_one();
    for (std::size_t done = m_done.load(std::memory_order_acquire); done < end;
         done = m_done.load(std::memory_order_acquire))
        m_done.wait(done, std::memory_order_acquire);
}

void PagesAhead::touch(char* block, std::size_t from, std::size_t room)
{
    std::size_t done = from;
    while (!m_stop.load(std::memory_order_relaxed) && done < room) {
        const std::size_t writer = m_writerEnd.load();
        if (done > writer && done - writer >= kAhead) { // far enough ahead: wait until the writer has used half of it
            m_wakeAt.store(done - kAhead / 2);
            if (m_writerEnd.load() == writer && !m_stop.load())
                m_writerEnd.wait(writer);
            continue;
        }
        // The whole pages of the chunk; no one else writes there until m_done has passed them.
        const std::size_t next = std::size_t(faultInPages(block + done, std::min(room, done + kChunk) - done) - block);
        if (next <= done)
            break; // no whole page left
        done = next;
        m_done.store(done, std::memory_order_release);
        m_done.notify_one();
    }
    // The writer waits for nothing from here on.
    m_done.store(std::size_t(-1), std::memory_order_release);
    m_done.notify_one();
}

void PagesAhead::stop()
{
    m_block = nullptr;
    if (!m_thread.joinable())
        return;
    m_stop.store(true);
    m_writerEnd.store(std::size_t(-1)); // a new value wakes it whatever it waits for
    m_writerEnd.notify_one();
    m_thread.join();
}

} // namespace korvane
