#pragma once

#include "remote/TDoubleHolder.h"

#include <deque>
#include <limits>

// A bounded window of measured values in arrival order: beyond its capacity the oldest go. While it
// is averaged or drained it refuses additions, so a value that arrives meanwhile (a reading handled
// during a wait) is dropped rather than lost half-way.
class TDoubleList
{
public:
    // Index of the new value, -1 when the list is locked (the value is dropped).
    int Add(double value);
    // The mean of all values, then empties the list.
    double TakeAverage();
    // The value at index; 0 outside the list.
    double Items(int index) const;
    int Count() const { return int(m_items.size()); }
    // The arithmetic mean; 0 when empty.
    double Average();
    // Below 0 is stored as 0; 0 means unlimited.
    void SetCapacity(int capacity);
    int Capacity() const { return m_capacity; }
    bool IsLocked() const { return m_locked; }
    void Clear();

private:
    void trim();

    std::deque<TDoubleHolder> m_items;
    int m_capacity = std::numeric_limits<int>::max();
    bool m_locked = false;
};
