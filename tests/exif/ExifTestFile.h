#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <initializer_list>
#include <utility>
#include <vector>

namespace exiftest {

// Sets the locale the reader formats with for one test and restores the previous one.
class LocaleGuard
{
public:
    explicit LocaleGuard(QLocale::Language language)
        : m_previous(QLocale())
    {
        QLocale::setDefault(
            QLocale(language, language == QLocale::German ? QLocale::Germany : QLocale::UnitedStates));
    }
    ~LocaleGuard() { QLocale::setDefault(m_previous); }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

private:
    QLocale m_previous;
};

// Builds TIFF blocks in either byte order: directories first, values behind them, so tests can say
// exactly which bytes a file holds (odd layouts, stale offsets, pointer types).
class TiffBuilder
{
public:
    struct Entry
    {
        quint16 Tag = 0;
        quint16 Type = 0;
        quint32 Count = 0;
        QByteArray Value; // encoded in the builder's byte order
        int PointsTo = -1; // index of a directory whose offset is the value
        qint64 RawValue = -1; // the value field as given, whatever the value bytes
    };

    explicit TiffBuilder(bool bigEndian = false)
        : m_bigEndian(bigEndian)
    {
        m_ifds.emplace_back();
    }

    int addIfd()
    {
        m_ifds.emplace_back();
        return int(m_ifds.size()) - 1;
    }
    void add(int ifd, Entry entry) { m_ifds[size_t(ifd)].push_back(std::move(entry)); }

    QByteArray u16(std::initializer_list<quint16> values) const
    {
        QByteArray out;
        for (quint16 v : values)
            put(out, v, 2);
        return out;
    }
    QByteArray u32(std::initializer_list<quint32> values) const
    {
        QByteArray out;
        for (quint32 v : values)
            put(out, v, 4);
        return out;
    }
    QByteArray rationals(std::initializer_list<std::pair<qint64, qint64>> values) const
    {
        QByteArray out;
        for (const auto& [n, d] : values) {
            put(out, quint32(n), 4);
            put(out, quint32(d), 4);
        }
        return out;
    }

    void ascii(int ifd, quint16 tag, const QByteArray& text)
    {
        add(ifd, { tag, 2, quint32(text.size() + 1), text + '\0' });
    }
    void shorts(int ifd, quint16 tag, std::initializer_list<quint16> values)
    {
        add(ifd, { tag, 3, quint32(values.size()), u16(values) });
    }
    void longs(int ifd, quint16 tag, std::initializer_list<quint32> values)
    {
        add(ifd, { tag, 4, quint32(values.size()), u32(values) });
    }
    void rational(
        int ifd, quint16 tag, std::initializer_list<std::pair<qint64, qint64>> values, quint16 type = 5)
    {
        add(ifd, { tag, type, quint32(values.size()), rationals(values) });
    }
    void bytes(int ifd, quint16 tag, quint16 type, const QByteArray& value)
    {
        add(ifd, { tag, type, quint32(value.size()), value });
    }
    void pointer(int ifd, quint16 tag, int target, quint16 type = 4)
    {
        add(ifd, { tag, type, type == 7 ? 4u : 1u, {}, target });
    }

    QByteArray build() const
    {
        std::vector<quint32> ifdOffsets;
        quint32 position = 8;
        for (const auto& ifd : m_ifds) {
            ifdOffsets.push_back(position);
            position += quint32(2 + 12 * ifd.size() + 4);
        }
        QByteArray head = m_bigEndian ? QByteArray("MM") : QByteArray("II");
        put(head, 42, 2);
        put(head, ifdOffsets[0], 4);
        QByteArray dirs;
        QByteArray values;
        for (const auto& ifd : m_ifds) {
            put(dirs, quint32(ifd.size()), 2);
            for (const Entry& e : ifd) {
                put(dirs, e.Tag, 2);
                put(dirs, e.Type, 2);
                put(dirs, e.Count, 4);
                if (e.RawValue >= 0) {
                    put(dirs, quint32(e.RawValue), 4);
                } else if (e.PointsTo >= 0) {
                    put(dirs, ifdOffsets[size_t(e.PointsTo)], 4);
                } else if (e.Value.size() <= 4) {
                    dirs += e.Value.leftJustified(4, '\0');
                } else {
                    put(dirs, position + quint32(values.size()), 4);
                    values += e.Value;
                    if (values.size() % 2)
                        values += '\0';
                }
            }
            put(dirs, 0, 4);
        }
        return head + dirs + values;
    }

    // Offset the next value stored behind the directories would get; for values that point at
    // themselves (a maker note's own offsets).
    quint32 dataStart() const
    {
        quint32 position = 8;
        for (const auto& ifd : m_ifds)
            position += quint32(2 + 12 * ifd.size() + 4);
        return position;
    }

private:
    void put(QByteArray& out, quint32 v, int size) const
    {
        for (int i = 0; i < size; ++i) {
            const int shift = m_bigEndian ? 8 * (size - 1 - i) : 8 * i;
            out += char((v >> shift) & 0xFF);
        }
    }

    bool m_bigEndian;
    std::vector<std::vector<Entry>> m_ifds;
};

inline QByteArray segment(quint8 marker, const QByteArray& payload)
{
    const int length = int(payload.size()) + 2;
    return QByteArray("\xFF") + char(marker) + char(length >> 8) + char(length & 0xFF) + payload;
}

// A JPEG with the TIFF block in an "Exif" APP1 segment behind the given segments.
inline QByteArray jpeg(const QByteArray& tiff, const QByteArray& before = {})
{
    return QByteArray("\xFF\xD8", 2) + before + segment(0xE1, QByteArray("Exif\0\0", 6) + tiff)
        + segment(0xDB, QByteArray(65, '\0')) + QByteArray("\xFF\xDA\x00\x02\xFF\xD9", 6);
}

} // namespace exiftest
