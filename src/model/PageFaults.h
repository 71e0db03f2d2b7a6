#pragma once

#include <cstddef>

namespace korvane {

// Asks the system for every whole page of [begin, begin + bytes) at once
// and writes each once, its bytes unchanged: filling hundreds of megabytes of
// fresh memory page by page spends most of its time in page faults, and
// faulting them in on a second thread takes that off the first. Returns
// where the pages asked for end. Systems without the request (before Linux
// 5.14, not Linux) fault at the writes.
const char* faultInPages(const void* begin, std::size_t bytes);

} // namespace korvane
