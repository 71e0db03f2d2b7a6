#pragma once

#include <thread>

namespace korvane {

// Reads the system's font configuration on a second thread while the
// application object and the settings are made: parsing it costs the first
// text several milliseconds of the start. The window waits for it before it
// lays out any text, so the toolkit finds it ready instead of reading it again.
class FontWarmUp {
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    void wait();

private:
    std::thread m_thread;
};

} // namespace korvane
