#include "exif/TExif.h"

#include "exif/ExifTexts.h"
#include "exif/TExifFormat.h"
#include "exif/TTiffData.h"

#include <QFile>

namespace {

constexpr quint16 kExifPointer = 0x8769;
constexpr quint16 kGpsPointer = 0x8825;
constexpr quint16 kMakerNote = 0x927C;
constexpr qint64 kRawHeadBytes = 4 * 1024 * 1024;

// Directory pointers come as LONG or IFD (one element) or as four UNDEFINED bytes, as real files show;
// anything else is no pointer we can trust.
quint32 pointerOf(const TIfdEntry& entry)
{
    const bool single = (entry.Type == 4 || entry.Type == 13) && entry.Count == 1;
    const bool bytes = entry.Type == 7 && entry.Count == 4;
    return single || bytes ? entry.ValueOrOffset : 0;
}

quint16 bigEndian16(QByteArrayView bytes, qsizetype pos)
{
    return quint16((uchar(bytes[pos]) << 8) | uchar(bytes[pos + 1]));
}

int wholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? value : 0;
}

} // namespace

TExif::TExif()
{
    RegisterExifTexts();
}

TExif::TSearch TExif::FindExifBlock(
    QByteArrayView bytes, qsizetype& tiffBase, qsizetype& tiffEnd, qsizetype& neededSize)
{
    neededSize = 0;
    if (bytes.size() < 2) {
        neededSize = 2;
        return TSearch::NeedMore;
    }
    if (uchar(bytes[0]) != 0xFF || uchar(bytes[1]) != 0xD8)
        return TSearch::NotFound;
    qsizetype pos = 2;
    for (;;) {
        if (bytes.size() - pos < 4) {
            neededSize = pos + 4;
            return TSearch::NeedMore;
        }
        if (uchar(bytes[pos]) != 0xFF)
            return TSearch::NotFound;
        const uchar marker = uchar(bytes[pos + 1]);
        if (marker == 0xFF) { // fill byte before a marker
            ++pos;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // image data or end: no Exif in front of it
            return TSearch::NotFound;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { // markers without a length
            pos += 2;
            continue;
        }
        const qsizetype length = bigEndian16(bytes, pos + 2);
        if (length < 2)
            return TSearch::NotFound;
        const qsizetype end = pos + 2 + length;
        if (marker == 0xE1 && length >= 8) {
            if (bytes.size() < pos + 10) {
                neededSize = pos + 10;
                return TSearch::NeedMore;
            }
            if (bytes.sliced(pos + 4, 5) == QByteArrayView("Exif\0", 5)) {
                if (end > bytes.size()) {
                    neededSize = end;
                    return TSearch::NeedMore;
                }
                tiffBase = pos + 10;
                tiffEnd = end;
                return TSearch::Found;
            }
        }
        pos = end;
    }
}

bool TExif::IsTiffFile(QByteArrayView bytes)
{
    // Plain TIFF and the raw files that are TIFF under a magic of their own (Olympus "IIRO", "IIRS",
    // "MMOR").
    if (bytes.size() < 8)
        return false;
    const QByteArrayView head = bytes.first(4);
    return head == QByteArrayView("II*\0", 4) || head == QByteArrayView("MM\0*", 4)
        || head == QByteArrayView("IIRO", 4) || head == QByteArrayView("IIRS", 4)
        || head == QByteArrayView("MMOR", 4);
}

bool TExif::LoadFromFile(const QString& fileName)
{
    m_exifData.Clear();
    m_makerNoteRead = false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Only the segments in front of the picture data are needed; a large file is not read whole.
    const qint64 fileSize = file.size();
    QByteArray bytes;
    qsizetype want = qsizetype(qMin<qint64>(fileSize, 64 * 1024));
    for (;;) {
        const qsizetype have = bytes.size();
        if (want > have) {
            bytes.resize(want);
            const qint64 got = file.read(bytes.data() + have, want - have);
            if (got < 0)
                return false;
            bytes.resize(have + qsizetype(got));
        }
        if (IsTiffFile(bytes)) {
            // A raw file: its IFDs and maker note lie in front of the sensor data, well within the
            // first megabytes; what lies beyond reads as missing.
            const qsizetype limit = qsizetype(qMin<qint64>(fileSize, kRawHeadBytes));
            if (bytes.size() < limit && !file.atEnd()) {
                want = limit;
                continue;
            }
            return readTiff(bytes, 0);
        }
        qsizetype base = 0;
        qsizetype end = 0;
        qsizetype needed = 0;
        const TSearch search = FindExifBlock(bytes, base, end, needed);
        if (search == TSearch::Found)
            return readTiff(QByteArrayView(bytes).first(end), base);
        if (search == TSearch::NotFound || bytes.size() >= fileSize || file.atEnd())
            return false;
        want = qsizetype(qMin<qint64>(fileSize, qMax<qint64>(needed, qint64(bytes.size()) * 2)));
    }
}

bool TExif::ReadFromStream(QByteArrayView bytes)
{
    m_exifData.Clear();
    m_makerNoteRead = false;
    qsizetype base = 0;
    qsizetype end = 0;
    qsizetype needed = 0;
    if (IsTiffFile(bytes))
        return readTiff(bytes, 0);
    if (FindExifBlock(bytes, base, end, needed) != TSearch::Found)
        return false;
    return readTiff(bytes.first(end), base);
}

bool TExif::readTiff(QByteArrayView bytes, qsizetype tiffBase)
{
    // Offsets count from the TIFF header; the view ends with the Exif segment, so an offset into the
    // picture data behind it reads nothing.
    if (bytes.size() - tiffBase < 8)
        return false;
    const QByteArrayView order = bytes.sliced(tiffBase, 2);
    bool bigEndian = false;
    if (order == QByteArrayView("MM"))
        bigEndian = true;
    else if (order != QByteArrayView("II"))
        return false;
    const TTiffData data(bytes, tiffBase, bigEndian);
    quint32 ifd0Offset = 0;
    if (!data.U32(tiffBase + 4, ifd0Offset))
        return false;

    const TIfdReadResult ifd0 = ReadIfd(data, ifd0Offset);
    quint32 exifOffset = 0;
    quint32 gpsOffset = 0;
    for (const TIfdEntry& entry : ifd0.Entries) {
        if (entry.Tag == kExifPointer)
            exifOffset = pointerOf(entry);
        else if (entry.Tag == kGpsPointer)
            gpsOffset = pointerOf(entry);
        else
            m_exifData.Store(data, entry);
    }
    if (!ifd0.Complete)
        return false;

    if (gpsOffset != 0) {
        const TIfdReadResult gps = ReadIfd(data, gpsOffset);
        for (const TIfdEntry& entry : gps.Entries)
            m_exifData.GpsSection.Store(data, entry);
        if (!gps.Complete)
            return false;
    }

    if (exifOffset == 0)
        return true;
    TExifSection& exif = m_exifData.ExifSection;
    const TIfdReadResult exifIfd = ReadIfd(data, exifOffset);
    quint32 makerNoteOffset = 0;
    for (const TIfdEntry& entry : exifIfd.Entries) {
        if (entry.Tag == kMakerNote) {
            if (ElementSize(entry.Type) * qsizetype(entry.Count) > 4)
                makerNoteOffset = entry.ValueOrOffset;
        } else {
            exif.Store(data, entry);
        }
    }
    if (!exifIfd.Complete)
        return false;

    qsizetype makerNotePos = 0;
    if (makerNoteOffset != 0 && data.FromBase(makerNoteOffset, makerNotePos)) {
        // Another maker's note or a damaged one leaves the standard tags standing.
        m_makerNoteRead = exif.OlympusSection.Read(
            data, makerNotePos, wholeNumber(exif.PixelXDimension), wholeNumber(exif.PixelYDimension));
    }
    return true;
}
