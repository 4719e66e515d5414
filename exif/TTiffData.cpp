#include "exif/TTiffData.h"

TTiffData::TTiffData(QByteArrayView bytes, qsizetype base, bool bigEndian)
    : m_bytes(bytes)
    , m_base(base)
    , m_bigEndian(bigEndian)
{ }

bool TTiffData::Contains(qsizetype absPos, qsizetype length) const
{
    // Written so that no sum can overflow whatever a file claims.
    return absPos >= 0 && length >= 0 && absPos <= m_bytes.size() && length <= m_bytes.size() - absPos;
}

bool TTiffData::FromBase(quint64 offset, qsizetype& absPos) const
{
    if (m_base < 0 || offset > quint64(m_bytes.size()) || qsizetype(offset) > m_bytes.size() - m_base)
        return false;
    absPos = m_base + qsizetype(offset);
    return true;
}

bool TTiffData::U8(qsizetype absPos, quint8& v) const
{
    if (!Contains(absPos, 1))
        return false;
    v = quint8(m_bytes[absPos]);
    return true;
}

bool TTiffData::U16(qsizetype absPos, quint16& v) const
{
    if (!Contains(absPos, 2))
        return false;
    const auto* p = reinterpret_cast<const uchar*>(m_bytes.data()) + absPos;
    v = m_bigEndian ? quint16((p[0] << 8) | p[1]) : quint16((p[1] << 8) | p[0]);
    return true;
}

bool TTiffData::U32(qsizetype absPos, quint32& v) const
{
    if (!Contains(absPos, 4))
        return false;
    const auto* p = reinterpret_cast<const uchar*>(m_bytes.data()) + absPos;
    v = m_bigEndian ? (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3])
                    : (quint32(p[3]) << 24) | (quint32(p[2]) << 16) | (quint32(p[1]) << 8) | quint32(p[0]);
    return true;
}

TTiffData TTiffData::WithBase(qsizetype base, bool bigEndian) const
{
    return TTiffData(m_bytes, base, bigEndian);
}

TIfdReadResult ReadIfd(const TTiffData& data, quint32 offsetFromBase)
{
    TIfdReadResult result;
    qsizetype pos = 0;
    quint16 count = 0;
    if (!data.FromBase(offsetFromBase, pos) || !data.U16(pos, count))
        return result;
    pos += 2;
    const qsizetype room = (data.Bytes().size() - pos) / 12;
    const qsizetype readable = qMin<qsizetype>(count, room);
    result.Entries.reserve(size_t(readable));
    for (qsizetype i = 0; i < readable; ++i, pos += 12) {
        TIfdEntry entry;
        entry.EntryPos = pos;
        data.U16(pos, entry.Tag);
        data.U16(pos + 2, entry.Type);
        data.U32(pos + 4, entry.Count);
        data.U32(pos + 8, entry.ValueOrOffset);
        result.Entries.push_back(entry);
    }
    result.Complete = readable == count;
    return result;
}
