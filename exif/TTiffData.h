#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <vector>

// Bounds-checked, byte-order aware access to the bytes of one file.
// Every read checks offset and length against the data; a failed read returns false and leaves
// the output untouched. Nothing here throws.
class TTiffData
{
public:
    TTiffData() = default;
    // base: the position offsets count from (the TIFF header, or a maker note's first byte).
    TTiffData(QByteArrayView bytes, qsizetype base, bool bigEndian);

    QByteArrayView Bytes() const { return m_bytes; }
    qsizetype Base() const { return m_base; }
    bool BigEndian() const { return m_bigEndian; }

    // True when [absPos, absPos + length) lies inside the data.
    bool Contains(qsizetype absPos, qsizetype length) const;
    // Absolute position of an offset counted from the base; false when it overflows.
    bool FromBase(quint64 offset, qsizetype& absPos) const;

    bool U8(qsizetype absPos, quint8& v) const;
    bool U16(qsizetype absPos, quint16& v) const;
    bool U32(qsizetype absPos, quint32& v) const;

    // Same bytes, other base and byte order (a maker note with its own header).
    TTiffData WithBase(qsizetype base, bool bigEndian) const;

private:
    QByteArrayView m_bytes;
    qsizetype m_base = 0;
    bool m_bigEndian = false;
};

struct TIfdEntry
{
    quint16 Tag = 0;
    quint16 Type = 0;
    quint32 Count = 0;
    quint32 ValueOrOffset = 0;
    qsizetype EntryPos = 0; // absolute position of the entry's first byte
};

// Reads the directory at base + offset: entry count then 12-byte entries; stops at the first short read
// (Complete = false then). Entry counts beyond what the data can hold are cut, never trusted.
struct TIfdReadResult
{
    std::vector<TIfdEntry> Entries;
    bool Complete = false;
};

TIfdReadResult ReadIfd(const TTiffData& data, quint32 offsetFromBase);
