#pragma once

#include <QElapsedTimer>

#include <array>
#include <atomic>

// Where the time of opening a picture, a map file or a page goes. The
// benchmarks install a record; without one a clock costs a pointer test.
namespace korvane::stages {

enum class Stage { Reading, Decoding, Converting, List, CodeBox, Drawing, Count };

// Nanoseconds per stage, summed over every clock of that stage. Clocks may
// run on other threads (the picture is decoded beside the page).
struct Record {
    std::array<std::atomic<qint64>, size_t(Stage::Count)> nanoseconds{};
    qint64 of(Stage stage) const { return nanoseconds[size_t(stage)].load(); }
    void reset();
};

// The record clocks add to from now on; nullptr stops measuring.
void install(Record* record);

// Adds the time from its start to stop() or to its end to its stage.
class Clock {
public:
    explicit Clock(Stage stage);
    ~Clock() { stop(); }
    void stop();
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;

private:
    Record* m_record;
    Stage m_stage;
    QElapsedTimer m_timer;
};

} // namespace korvane::stages
