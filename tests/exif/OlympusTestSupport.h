#pragma once

#include "exif/TOlympusSection.h"
#include "exif/TTiffData.h"

#include <QByteArray>
#include <QLocale>

#include <optional>

namespace lumivar::test {

// Where a JPEG keeps its maker note, found without the standard reader so the maker-note tests
// stand on their own: the TIFF block of the first Exif APP1, the 0x927C value and the picture size.
struct TMakerNoteSite
{
    TTiffData Exif;
    qsizetype MakerNotePos = 0;
    int Width = 0;
    int Height = 0;
};

inline std::optional<TMakerNoteSite> findMakerNote(const QByteArray& file)
{
    const auto u16be = [&](qsizetype p) { return (quint8(file[p]) << 8) | quint8(file[p + 1]); };
    qsizetype pos = 2;
    while (pos + 4 <= file.size() && quint8(file[pos]) == 0xFF) {
        const int marker = quint8(file[pos + 1]);
        const qsizetype length = u16be(pos + 2);
        if (marker == 0xE1 && file.mid(pos + 4, 6) == QByteArray("Exif\0\0", 6)) {
            const qsizetype base = pos + 10;
            if (base + 8 > file.size())
                return std::nullopt;
            TTiffData tiff(file, base, file.mid(base, 2) == "MM");
            quint32 ifd0 = 0;
            if (!tiff.U32(base + 4, ifd0))
                return std::nullopt;
            TMakerNoteSite site { tiff, 0, 0, 0 };
            for (const TIfdEntry& e : ReadIfd(tiff, ifd0).Entries) {
                if (e.Tag != 0x8769)
                    continue;
                for (const TIfdEntry& x : ReadIfd(tiff, e.ValueOrOffset).Entries) {
                    // One SHORT or LONG: the value sits in the first bytes of the field.
                    const quint32 small = x.Type == 3 && tiff.BigEndian() ? x.ValueOrOffset >> 16
                        : x.Type == 3                                     ? x.ValueOrOffset & 0xFFFF
                                                                          : x.ValueOrOffset;
                    if (x.Tag == 0x927C)
                        site.MakerNotePos = base + x.ValueOrOffset;
                    else if (x.Tag == 0xA002)
                        site.Width = int(small);
                    else if (x.Tag == 0xA003)
                        site.Height = int(small);
                }
            }
            if (site.MakerNotePos == 0)
                return std::nullopt;
            return site;
        }
        if (marker == 0xDA)
            break;
        pos += 2 + length;
    }
    return std::nullopt;
}

// German decimal separator while a test runs, as a German user sees the values.
class TScopedLocale
{
public:
    explicit TScopedLocale(const QLocale& locale)
        : m_previous(QLocale())
    {
        QLocale::setDefault(locale);
    }
    ~TScopedLocale() { QLocale::setDefault(m_previous); }

private:
    QLocale m_previous;
};

} // namespace lumivar::test
