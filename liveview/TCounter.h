#pragma once

#include <QtGlobal>

#include <vector>

// Counts events per second: the result of each Tick is the number of ticks in the last 1000 ms.
class TCounter
{
public:
    // Uses the system's millisecond tick count (32 bit, so it wraps after 49 days).
    int Tick();
    // The same with a given tick count, for callers that have one already.
    int Tick(quint32 now);
    void Clear();
    int Count() const { return int(m_ticks.size()); }

    static quint32 CurrentTick();

private:
    std::vector<quint32> m_ticks;
};
