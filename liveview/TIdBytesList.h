#pragma once

#include <QByteArray>
#include <QDateTime>

#include <deque>

// One queued datagram with the local time it was added.
struct TIdBytesItem
{
    QByteArray Bytes;
    QDateTime Time;
};

// The receiver's queue of datagrams waiting for the main thread. Not locked itself: the receiver
// guards it with its process-wide lock.
class TIdBytesList
{
public:
    void Add(const QByteArray& bytes);
    // The same with a given arrival time (tests, and callers that stamped the datagram already).
    void Add(const QByteArray& bytes, const QDateTime& time);
    // Empty for an index outside the list.
    QByteArray GetBytes(qsizetype index) const;
    // Invalid (0) for an index outside the list.
    QDateTime GetTime(qsizetype index) const;
    qsizetype Count() const { return qsizetype(m_items.size()); }
    // An index outside the list is ignored.
    void Delete(qsizetype index);
    void Clear();

private:
    std::deque<TIdBytesItem> m_items; // removals are almost always at the front
};
