#pragma once

#include "exif/TExifData.h"

#include <QByteArrayView>
#include <QString>

// Reads the EXIF, GPS and Olympus maker-note tags of one JPEG or raw (TIFF-structured) file into
// display texts.
// One object per file: LoadFromFile once, then read ExifData().
class TExif
{
public:
    TExif();

    // True when the Exif block was found and its IFD0, GPS and Exif directories were read completely.
    // A maker note that is not the supported Olympus kind, or a damaged one, does not make it false;
    // MakerNoteRead() tells.
    bool LoadFromFile(const QString& fileName);
    // The same walk over a file's bytes already in memory.
    bool ReadFromStream(QByteArrayView bytes);

    const TExifData& ExifData() const { return m_exifData; }
    // True when an Olympus maker note was read completely.
    bool MakerNoteRead() const { return m_makerNoteRead; }

    enum class TSearch { Found, NotFound, NeedMore };
    // Walks the JPEG segments by their lengths up to the first "Exif" APP1. On Found, tiffBase is the
    // position of the TIFF header and tiffEnd the end of the segment (cut to the data). NeedMore: the
    // data ends before the segment walk has an answer; neededSize is the size it needs next.
    // True for the header of a TIFF file, raw files under their own magic included.
    static bool IsTiffFile(QByteArrayView bytes);
    static TSearch FindExifBlock(
        QByteArrayView bytes, qsizetype& tiffBase, qsizetype& tiffEnd, qsizetype& neededSize);

private:
    bool readTiff(QByteArrayView bytes, qsizetype tiffBase);

    TExifData m_exifData;
    bool m_makerNoteRead = false;
};
