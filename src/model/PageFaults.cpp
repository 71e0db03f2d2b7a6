#include "model/PageFaults.h"

#include <QtGlobal>

#include <cstdint>

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

} // namespace korvane
