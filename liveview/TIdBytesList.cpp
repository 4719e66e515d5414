#include "liveview/TIdBytesList.h"

void TIdBytesList::Add(const QByteArray& bytes)
{
    Add(bytes, QDateTime::currentDateTime());
}

void TIdBytesList::Add(const QByteArray& bytes, const QDateTime& time)
{
    m_items.push_back({ bytes, time });
}

QByteArray TIdBytesList::GetBytes(qsizetype index) const
{
    if (index < 0 || index >= Count())
        return {};
    return m_items[size_t(index)].Bytes;
}

QDateTime TIdBytesList::GetTime(qsizetype index) const
{
    if (index < 0 || index >= Count())
        return {};
    return m_items[size_t(index)].Time;
}

void TIdBytesList::Delete(qsizetype index)
{
    if (index < 0 || index >= Count())
        return;
    if (index == 0)
        m_items.pop_front();
    else
        m_items.erase(m_items.begin() + index);
}

void TIdBytesList::Clear()
{
    m_items.clear();
}
