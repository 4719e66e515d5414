#pragma once

#include <chrono>
#include <mutex>

namespace camsim {

struct LocalTime
{
    int year, month, day, hour, minute, second;
};

// The camera's clock; set_utctimediff moves it. It keeps running from the moment it was set.
class SimClock
{
public:
    SimClock();

    std::chrono::system_clock::time_point utcNow() const;
    int diffMinutes() const; // local = utc + diff
    LocalTime localNow() const;
    // from utctime=yyyymmddThhmmss & diff=+hhmm
    void set(std::chrono::system_clock::time_point utc, int diffMinutes);

private:
    mutable std::mutex m_mutex;
    std::chrono::system_clock::duration m_offset {}; // camera utc minus host utc
    int m_diffMinutes = 0;
};

} // namespace camsim
