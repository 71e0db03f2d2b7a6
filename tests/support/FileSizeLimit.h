#pragma once

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace korvane::test {

// Runs `write` as on a disk that is full after `bytes` bytes, without root:
// the largest file this process may write is lowered meanwhile, and SIGXFSZ is
// ignored so that the write reports the failure instead of ending the process.
// False when the limit could not be lowered (and `write` did not run).
inline bool onFullDisk(rlim_t bytes, const std::function<void()>& write)
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit lowered = old;
    lowered.rlim_cur = bytes;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const bool lowerable = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    if (lowerable)
        write();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    return lowerable;
}

} // namespace korvane::test
