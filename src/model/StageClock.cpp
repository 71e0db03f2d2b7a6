#include "model/StageClock.h"

namespace korvane::stages {

namespace {

std::atomic<Record*> installed{nullptr};

} // namespace

void Record::reset()
{
    for (std::atomic<qint64>& value : nanoseconds)
        value = 0;
}

void install(Record* record)
{
    installed = record;
}

Clock::Clock(Stage stage) : m_record(installed.load(std::memory_order_relaxed)), m_stage(stage)
{
    if (m_record)
        m_timer.start();
}

void Clock::stop()
{
    if (m_record)
        m_record->nanoseconds[size_t(m_stage)] += m_timer.nsecsElapsed();
    m_record = nullptr;
}

} // namespace korvane::stages
