#include "liveview/TCounter.h"

#include <QDeadlineTimer>

#include <algorithm>

int TCounter::Tick()
{
    return Tick(CurrentTick());
}

int TCounter::Tick(quint32 now)
{
    // The distance is taken in 32-bit arithmetic, so a wrap of the tick count is not a jump.
    std::erase_if(m_ticks, [now](quint32 t) {
        const qint64 distance = qint32(now - t);
        return (distance < 0 ? -distance : distance) > 1000;
    });
    m_ticks.push_back(now);
    return int(m_ticks.size());
}

void TCounter::Clear()
{
    m_ticks.clear();
}

quint32 TCounter::CurrentTick()
{
    return quint32(QDeadlineTimer::current().deadline());
}
