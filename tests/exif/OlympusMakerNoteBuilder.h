#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <initializer_list>

namespace lumivar::test {

// Builds an "OLYMPUS\0" maker note in either byte order: a root directory with directory
// pointers, the sub-directories behind it and their out-of-line values after each directory.
class TMakerNoteBuilder
{
public:
    struct Entry
    {
        quint16 Tag = 0;
        quint16 Type = 0;
        quint32 Count = 0;
        QByteArray Data; // the elements in the note's byte order
    };
    struct Directory
    {
        quint16 Tag = 0;
        QList<Entry> Entries;
        qsizetype Gap = 0; // filler bytes before the directory, to push it further out
    };

    explicit TMakerNoteBuilder(bool bigEndian)
        : m_big(bigEndian)
    { }

    QByteArray u16(quint16 v) const
    {
        QByteArray b(2, '\0');
        b[m_big ? 0 : 1] = char(v >> 8);
        b[m_big ? 1 : 0] = char(v & 0xFF);
        return b;
    }
    QByteArray u32(quint32 v) const
    {
        QByteArray b;
        for (int i = 0; i < 4; ++i)
            b.append(char(m_big ? (v >> (24 - 8 * i)) & 0xFF : (v >> (8 * i)) & 0xFF));
        return b;
    }

    Entry shorts(quint16 tag, std::initializer_list<quint16> values) const
    {
        Entry e { tag, 3, quint32(values.size()), {} };
        for (quint16 v : values)
            e.Data += u16(v);
        return e;
    }
    Entry longs(quint16 tag, std::initializer_list<quint32> values) const
    {
        Entry e { tag, 4, quint32(values.size()), {} };
        for (quint32 v : values)
            e.Data += u32(v);
        return e;
    }
    Entry rationals(
        quint16 tag, std::initializer_list<std::pair<quint32, quint32>> values, quint16 type = 10) const
    {
        Entry e { tag, type, quint32(values.size()), {} };
        for (const auto& [n, d] : values)
            e.Data += u32(n) + u32(d);
        return e;
    }
    Entry ascii(quint16 tag, const QByteArray& text) const
    {
        return Entry { tag, 2, quint32(text.size() + 1), text + '\0' };
    }
    Entry undefined(quint16 tag, const QByteArray& bytes) const
    {
        return Entry { tag, 7, quint32(bytes.size()), bytes };
    }

    // signature and version can be spoilt for the tests of foreign notes.
    QByteArray build(const QList<Entry>& root, const QList<Directory>& directories, quint16 pointerType = 13,
        const QByteArray& signature = QByteArray("OLYMPUS\0", 8), quint16 version = 3) const
    {
        QByteArray note = signature + (m_big ? QByteArray("MM") : QByteArray("II")) + u16(version);
        const qsizetype rootCount = root.size() + directories.size();
        qsizetype rootValues = 0;
        for (const Entry& e : root) {
            if (e.Data.size() > 4)
                rootValues += e.Data.size() + e.Data.size() % 2;
        }
        const qsizetype rootEnd = note.size() + 2 + 12 * rootCount + 4 + rootValues;
        // Lay out the sub-directories first so the root knows where they start.
        QByteArray tail;
        QList<quint32> offsets;
        for (const Directory& d : directories) {
            tail += QByteArray(d.Gap, '\x5A');
            offsets.append(quint32(rootEnd + tail.size()));
            tail += directory(d.Entries, rootEnd + tail.size());
        }
        QList<Entry> all = root;
        for (qsizetype i = 0; i < directories.size(); ++i) {
            Entry p { directories[i].Tag, pointerType, 1, u32(offsets[i]) };
            if (pointerType == 7) // an UNDEFINED block: count is the directory's length
                p.Count = 64;
            all.append(p);
        }
        QByteArray head = directory(all, note.size());
        return note + head + tail;
    }

private:
    // Entries, the next-directory link, then the values that do not fit into an entry.
    QByteArray directory(const QList<Entry>& entries, qsizetype at) const
    {
        QByteArray dir = u16(quint16(entries.size()));
        QByteArray values;
        const qsizetype valuesAt = at + 2 + 12 * entries.size() + 4;
        for (const Entry& e : entries) {
            dir += u16(e.Tag) + u16(e.Type) + u32(e.Count);
            if (e.Data.size() <= 4) {
                dir += (e.Data + QByteArray(4, '\0')).left(4);
            } else {
                dir += u32(quint32(valuesAt + values.size()));
                values += e.Data;
                if (values.size() % 2)
                    values += '\0';
            }
        }
        return dir + u32(0) + values;
    }

    bool m_big;
};

} // namespace lumivar::test
