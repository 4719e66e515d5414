#include "remote/TDoubleList.h"

#include <algorithm>

int TDoubleList::Add(double value)
{
    if (m_locked)
        return -1;
    m_items.emplace_back(value);
    trim();
    return Count() - 1;
}

double TDoubleList::Average()
{
    if (m_items.empty())
        return 0;
    const bool wasLocked = m_locked;
    m_locked = true;
    double sum = 0;
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
        sum += it->Value;
    m_locked = wasLocked;
    return sum / double(m_items.size());
}

double TDoubleList::TakeAverage()
{
    m_locked = true;
    const double result = Average();
    m_items.clear();
    m_locked = false;
    return result;
}

double TDoubleList::Items(int index) const
{
    if (index < 0 || index >= Count())
        return 0;
    return m_items[size_t(index)].Value;
}

void TDoubleList::SetCapacity(int capacity)
{
    m_capacity = std::max(0, capacity);
    trim();
}

void TDoubleList::Clear()
{
    m_locked = true;
    m_items.clear();
    m_locked = false;
}

void TDoubleList::trim()
{
    if (m_capacity <= 0)
        return;
    while (int(m_items.size()) > m_capacity)
        m_items.pop_front();
}
