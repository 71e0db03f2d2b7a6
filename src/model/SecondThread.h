#pragma once

#include <future>
#include <system_error>
#include <thread>
#include <utility>

namespace korvane {

// Work for a second thread, done at once on the calling one when the system
// gives no thread (out of memory or of threads): slower then, never a crash.
// The thread returned is to be joined when it is joinable.
template <class F>
std::thread onSecondThread(F&& work)
{
    try {
        return std::thread(work);
    } catch (const std::system_error&) {
        std::forward<F>(work)();
        return {};
    }
}

// The same for work with a result: computed when it is asked for if no
// thread was given.
template <class F>
auto resultOnSecondThread(F&& work)
{
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, std::forward<F>(work));
    }
}

} // namespace korvane
