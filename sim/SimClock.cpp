#include "sim/SimClock.h"

#include <ctime>

namespace camsim {

SimClock::SimClock() = default;

std::chrono::system_clock::time_point SimClock::utcNow() const
{
    std::lock_guard lock(m_mutex);
    return std::chrono::system_clock::now() + m_offset;
}

int SimClock::diffMinutes() const
{
    std::lock_guard lock(m_mutex);
    return m_diffMinutes;
}

LocalTime SimClock::localNow() const
{
    std::chrono::system_clock::time_point utc;
    int diff = 0;
    {
        std::lock_guard lock(m_mutex);
        utc = std::chrono::system_clock::now() + m_offset;
        diff = m_diffMinutes;
    }
    const auto local = std::chrono::floor<std::chrono::seconds>(utc + std::chrono::minutes(diff));
    const auto days = std::chrono::floor<std::chrono::days>(local);
    const std::chrono::year_month_day ymd(days);
    const std::chrono::hh_mm_ss hms(local - days);
    return { int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day())), int(hms.hours().count()),
        int(hms.minutes().count()), int(hms.seconds().count()) };
}

void SimClock::set(std::chrono::system_clock::time_point utc, int diffMinutes)
{
    std::lock_guard lock(m_mutex);
    m_offset = utc - std::chrono::system_clock::now();
    m_diffMinutes = diffMinutes;
}

} // namespace camsim
