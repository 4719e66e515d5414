#include "exif/TExif.h"

#include "ExifTestFile.h"
#include "base/QStringPrinter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using exiftest::jpeg;
using exiftest::LocaleGuard;
using exiftest::segment;
using exiftest::TiffBuilder;

namespace {

// IFD0 with Make, Model and pointers to an Exif and a GPS directory.
TiffBuilder cameraFile(bool bigEndian, quint16 pointerType = 4)
{
    TiffBuilder t(bigEndian);
    const int exif = t.addIfd();
    const int gps = t.addIfd();
    t.ascii(0, 0x010F, "OLYMPUS IMAGING CORP.");
    t.ascii(0, 0x0110, "E-P3");
    t.pointer(0, 0x8769, exif, pointerType);
    t.pointer(0, 0x8825, gps, pointerType);
    t.rational(exif, 0x829A, { { 1, 60 } });
    t.rational(exif, 0x829D, { { 18, 10 } });
    t.shorts(exif, 0x8827, { 1600 });
    t.shorts(exif, 0x9209, { 24 });
    t.longs(exif, 0xA002, { 4032 });
    t.longs(exif, 0xA003, { 3024 });
    t.bytes(gps, 0x0000, 1, QByteArray("\x02\x03\x00\x00", 4));
    t.ascii(gps, 0x0001, "N");
    t.rational(gps, 0x0002, { { 48, 1 }, { 8, 1 }, { 13755, 1000 } });
    return t;
}

void expectCameraValues(const TExifData& d)
{
    EXPECT_EQ(d.CameraManufacturer, QStringLiteral("OLYMPUS IMAGING CORP."));
    EXPECT_EQ(d.CameraModel, QStringLiteral("E-P3"));
    EXPECT_EQ(d.ExifSection.ExposureTime, QStringLiteral("1/60"));
    EXPECT_EQ(d.ExifSection.FNumber, QStringLiteral("1,8"));
    EXPECT_EQ(d.ExifSection.ISOSpeedRatings, QStringLiteral("1600"));
    EXPECT_EQ(d.ExifSection.Flash, QStringLiteral("Blitz nicht ausgelöst, Automatik"));
    EXPECT_EQ(d.ExifSection.PixelXDimension, QStringLiteral("4032"));
    EXPECT_EQ(d.GpsSection.VersionID, QStringLiteral("2.3.0.0"));
    EXPECT_EQ(d.GpsSection.LatitudeRef, QStringLiteral("Nord"));
    EXPECT_EQ(d.GpsSection.Latitude, QStringLiteral("48,137154°"));
}

} // namespace

TEST(ExifWalk, ReadsBothByteOrdersAndEveryPointerType)
{
    LocaleGuard german(QLocale::German);
    for (const bool big : { false, true }) {
        for (const quint16 type : { 4, 13, 7 }) {
            SCOPED_TRACE(QStringLiteral("%1 pointer type %2").arg(big ? "MM" : "II").arg(type).toStdString());
            TExif exif;
            ASSERT_TRUE(exif.ReadFromStream(jpeg(cameraFile(big, type).build())));
            expectCameraValues(exif.ExifData());
        }
    }
    // A pointer of another type is no pointer: the directory is not visited.
    TExif exif;
    ASSERT_TRUE(exif.ReadFromStream(jpeg(cameraFile(false, 3).build())));
    EXPECT_EQ(exif.ExifData().CameraModel, QStringLiteral("E-P3"));
    EXPECT_TRUE(exif.ExifData().ExifSection.ExposureTime.isEmpty());
}

TEST(ExifWalk, FindsTheExifSegmentBehindOtherSegmentsAtAnyOffset)
{
    LocaleGuard german(QLocale::German);
    const QByteArray jfif = segment(0xE0, QByteArray("JFIF\0\x01\x02\x00\x00\x01\x00\x01\x00\x00", 14));
    const QByteArray tiff = cameraFile(false).build();
    // A comment of odd length puts the APP1 at an odd file offset; an XMP APP1 comes first.
    const QByteArray before = jfif + segment(0xFE, "odd")
        + segment(0xE1, "http://ns.adobe.com/xap/1.0/\0<x/>") + QByteArray("\xFF\xFF", 2) /* fill bytes */;
    const QByteArray file = jpeg(tiff, before);
    ASSERT_EQ(file.indexOf("Exif") % 2, 1); // and so the APP1 marker four bytes before it
    TExif exif;
    ASSERT_TRUE(exif.ReadFromStream(file));
    expectCameraValues(exif.ExifData());

    // Nothing before the picture data: no Exif.
    const QByteArray noExif = QByteArray("\xFF\xD8", 2) + jfif + QByteArray("\xFF\xDA\x00\x02", 4)
        + segment(0xE1, QByteArray("Exif\0\0", 6) + tiff);
    EXPECT_FALSE(exif.ReadFromStream(noExif));
    // A bare TIFF block is a TIFF file, as raw files are, and read as one.
    EXPECT_TRUE(exif.ReadFromStream(tiff));
    EXPECT_FALSE(exif.ReadFromStream(QByteArray("\xFF\xD8\xFF", 3)));
    EXPECT_TRUE(exif.ExifData().CameraModel.isEmpty());
}

TEST(ExifWalk, LoadFromFileReadsLargeFilesAndMissingFilesFail)
{
    LocaleGuard german(QLocale::German);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("P1010001.JPG"));
    // The Exif segment starts behind 100 KiB of other segments, so the first part read is not enough.
    QByteArray before;
    for (int i = 0; i < 4; ++i)
        before += segment(0xE2, QByteArray(30000, 'x'));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(jpeg(cameraFile(false).build(), before) + QByteArray(200000, '\0'));
    file.close();
    TExif exif;
    ASSERT_TRUE(exif.LoadFromFile(path));
    expectCameraValues(exif.ExifData());
    EXPECT_FALSE(exif.LoadFromFile(dir.filePath(QStringLiteral("missing.JPG"))));
    EXPECT_TRUE(exif.ExifData().CameraModel.isEmpty());
}

TEST(ExifWalk, WithoutGpsDirectoryTheGpsTextsStayEmpty)
{
    TiffBuilder t;
    const int exif = t.addIfd();
    t.ascii(0, 0x0110, "E-M10");
    t.pointer(0, 0x8769, exif);
    t.shorts(exif, 0x8827, { 200 });
    TExif reader;
    ASSERT_TRUE(reader.ReadFromStream(jpeg(t.build())));
    EXPECT_EQ(reader.ExifData().ExifSection.ISOSpeedRatings, QStringLiteral("200"));
    QList<QPair<QString, QString>> properties;
    reader.ExifData().CollectProperties(properties);
    int gps = 0;
    for (const auto& [name, value] : properties) {
        if (name.startsWith(QLatin1String("GpsSection."))) {
            ++gps;
            EXPECT_TRUE(value.isEmpty()) << name.toStdString();
        }
    }
    EXPECT_EQ(gps, 10);
}

TEST(ExifWalk, AnotherMakersNoteKeepsTheStandardTags)
{
    LocaleGuard german(QLocale::German);
    TiffBuilder t = cameraFile(false);
    t.bytes(1, 0x927C, 7, QByteArray("Nikon\0\x02\x00\x00\x00II*\0\x08\0\0\0\0\0", 20));
    TExif exif;
    ASSERT_TRUE(exif.ReadFromStream(jpeg(t.build())));
    EXPECT_FALSE(exif.MakerNoteRead());
    expectCameraValues(exif.ExifData());
    EXPECT_TRUE(exif.ExifData().ExifSection.OlympusSection.EquipmentSection.LensModel.isEmpty());
}

TEST(ExifWalk, HostileOffsetsGiveEmptyValuesAndShortDirectoriesFail)
{
    LocaleGuard german(QLocale::German);
    {
        // Values and a maker note pointing far outside the data.
        TiffBuilder t = cameraFile(false);
        t.add(1, { 0xA434, 2, 40, {}, -1, 0xFFFFFF00 });
        t.add(1, { 0x927C, 7, 5000, {}, -1, 0xFFFFFF00 });
        TExif exif;
        ASSERT_TRUE(exif.ReadFromStream(jpeg(t.build())));
        EXPECT_TRUE(exif.ExifData().ExifSection.LensModel.isEmpty());
        EXPECT_EQ(exif.ExifData().ExifSection.ExposureTime, QStringLiteral("1/60"));
    }
    {
        // An Exif pointer beyond the end: the directory cannot be read.
        TiffBuilder t;
        t.ascii(0, 0x0110, "E-P3");
        t.add(0, { 0x8769, 4, 1, {}, -1, 0x7FFFFFFF });
        TExif exif;
        EXPECT_FALSE(exif.ReadFromStream(jpeg(t.build())));
        EXPECT_EQ(exif.ExifData().CameraModel, QStringLiteral("E-P3"));
    }
    {
        // IFD0 cut short inside the segment: what was read stays, the result is false.
        QByteArray tiff = cameraFile(false).build();
        tiff[8] = char(40);
        TExif exif;
        EXPECT_FALSE(exif.ReadFromStream(jpeg(tiff)));
        EXPECT_EQ(exif.ExifData().CameraModel, QStringLiteral("E-P3"));
    }
    {
        // No valid byte-order mark.
        QByteArray tiff = cameraFile(false).build();
        tiff[0] = 'X';
        TExif exif;
        EXPECT_FALSE(exif.ReadFromStream(jpeg(tiff)));
    }
    {
        // An offset into the picture data behind the Exif segment reads nothing, although the file
        // holds bytes there.
        TiffBuilder pointing;
        pointing.add(0, { 0x0110, 2, 8, {}, -1, 0 });
        const qint64 tiffSize = pointing.build().size();
        TiffBuilder behind;
        behind.add(0, { 0x0110, 2, 8, {}, -1, tiffSize + 80 });
        const QByteArray file = jpeg(behind.build()) + QByteArray(64, 'A');
        ASSERT_GE(file.size(), 12 + tiffSize + 80 + 8);
        TExif exif;
        ASSERT_TRUE(exif.ReadFromStream(file));
        EXPECT_TRUE(exif.ExifData().CameraModel.isEmpty());
    }
}
