// The maker-note walk on built notes: byte order, pointer types, the order of the sub-directories,
// foreign notes, far and stale offsets.

#include "exif/OlympusMakerNoteBuilder.h"
#include "exif/OlympusTestSupport.h"

#include "exif/TOlympusSection.h"
#include "exif/TTiffData.h"

#include <gtest/gtest.h>

using lumivar::test::TMakerNoteBuilder;
using lumivar::test::TScopedLocale;

namespace {

constexpr qsizetype kNotePos = 100; // the note sits behind some Exif bytes, as in a file

using Properties = QList<QPair<QString, QString>>;

struct ReadResult
{
    bool Ok = false;
    TOlympusSection Section;
};

// The file: kNotePos filler bytes (standing for the TIFF block) and the note; the TIFF order is
// independent of the note's.
ReadResult readNote(const QByteArray& note, bool tiffBigEndian = false, int width = 4000, int height = 3000)
{
    static QByteArray file; // TTiffData views the bytes; keep them alive for the section's reads
    file = QByteArray(kNotePos, '\x11') + note;
    ReadResult r;
    r.Ok = r.Section.Read(TTiffData(file, 0, tiffBigEndian), kNotePos, width, height);
    return r;
}

Properties properties(const TOlympusSection& s)
{
    Properties out;
    s.CollectProperties(out);
    return out;
}

QList<TMakerNoteBuilder::Directory> sampleDirectories(const TMakerNoteBuilder& b)
{
    return {
        { 0x2010,
            { b.undefined(0x0000, "0100"), b.ascii(0x0101, "BF3509687"), b.longs(0x0104, { 5890 }),
                b.ascii(0x0203, "OLYMPUS M.12-50mm F3.5-6.3") } },
        { 0x2020,
            { b.shorts(0x0301, { 0, 65 }), b.longs(0x0304, { 0x716B8E91, 0, 0 }),
                b.rationals(0x0305, { { 0, 0 }, { 1, 2 }, { 1, 4 }, { 1, 2 }, { 1, 4 } }),
                b.shorts(0x0600, { 1, 7, 0 }), b.shorts(0x0500, { 18 }) } },
        { 0x2040, { b.longs(0x1200, { 1, 1, 0 }), b.shorts(0x1201, { 320, 240, 64, 0 }) } },
        { 0x2050, { b.rationals(0x0305, { { 175, 1 } }, 5), b.shorts(0x1500, { 35 }) } },
    };
}

class OlympusMakerNoteWalkTest : public ::testing::Test
{
protected:
    TScopedLocale m_locale { QLocale(QLocale::German, QLocale::Germany) };
};

} // namespace

TEST_F(OlympusMakerNoteWalkTest, ReadsTheNoteInItsOwnByteOrderWhateverTheTiffOrder)
{
    const TMakerNoteBuilder ii(false);
    const TMakerNoteBuilder mm(true);
    const QList<TMakerNoteBuilder::Entry> root { ii.longs(0x0200, { 0, 0, 0 }) };
    const QList<TMakerNoteBuilder::Entry> rootMM { mm.longs(0x0200, { 0, 0, 0 }) };

    const ReadResult little = readNote(ii.build(root, sampleDirectories(ii)), /*tiffBigEndian=*/true);
    const ReadResult big = readNote(mm.build(rootMM, sampleDirectories(mm)), /*tiffBigEndian=*/false);
    ASSERT_TRUE(little.Ok);
    ASSERT_TRUE(big.Ok);

    const TOlympusSection& s = little.Section;
    EXPECT_EQ(s.EquipmentSection.SerialNumber, QStringLiteral("BF3509687"));
    EXPECT_EQ(s.EquipmentSection.BodyFirmwareVersion, QStringLiteral("1.702"));
    EXPECT_EQ(s.EquipmentSection.LensModel, QStringLiteral("OLYMPUS M.12-50mm F3.5-6.3"));
    EXPECT_EQ(s.CameraSettingsSection.FocusMode, QStringLiteral("Single-AF, S-AF, Imager-AF"));
    EXPECT_EQ(s.CameraSettingsSection.AFAreas, QStringLiteral("(113, 107)-(142, 145) "));
    EXPECT_EQ(s.CameraSettingsSection.SelectedAFPoint(), (TOlympusAFPoint { 0, 2000, 750, 2000, 750 }));
    EXPECT_EQ(s.CameraSettingsSection.DriveMode, QStringLiteral("Serienaufnahme, Sequenz-Nr: 7"));
    EXPECT_EQ(s.CameraSettingsSection.WhiteBalance, QStringLiteral("Sonnig (5300 K)"));
    EXPECT_EQ(s.ImageProcessingSection.FaceDetect, QStringLiteral("Aktiv (1 Treffer)"));
    // 4000 x 3000 is 6.25 times the 640 x 480 face frame: the square is 400, centred on (2000, 1500).
    ASSERT_EQ(s.ImageProcessingSection.FaceRects().size(), 1);
    EXPECT_EQ(s.ImageProcessingSection.FaceRects().first(), (TOlympusFaceRect { 1800, 1300, 2200, 1700 }));
    EXPECT_EQ(s.FocusInfoSection.FocusDistance, QStringLiteral("1,75 m"));
    EXPECT_EQ(s.FocusInfoSection.SensorTemperature, QStringLiteral("35 °C"));
    EXPECT_EQ(s.SpecialMode, QStringLiteral("Aufnahmemodus: Normal, Sequenz: 0, Panoramarichtung: Keine"));

    EXPECT_EQ(properties(big.Section), properties(little.Section));
    EXPECT_EQ(
        big.Section.ImageProcessingSection.FaceRects(), little.Section.ImageProcessingSection.FaceRects());
}

TEST_F(OlympusMakerNoteWalkTest, DirectoryPointersOfTypeIfdLongAndUndefinedAllWork)
{
    const TMakerNoteBuilder b(false);
    const Properties expected = properties(readNote(b.build({}, sampleDirectories(b), 13)).Section);
    ASSERT_FALSE(expected.isEmpty());
    for (quint16 type : { quint16(4), quint16(7) }) {
        const ReadResult r = readNote(b.build({}, sampleDirectories(b), type));
        EXPECT_TRUE(r.Ok) << type;
        EXPECT_EQ(properties(r.Section), expected) << type;
    }
    // A SHORT is no directory pointer: nothing behind it is read.
    const ReadResult shortPointer = readNote(b.build({}, sampleDirectories(b), 3));
    EXPECT_TRUE(shortPointer.Section.EquipmentSection.SerialNumber.isEmpty());
}

TEST_F(OlympusMakerNoteWalkTest, SubDirectoriesAreVisitedInFixedOrderAndTheLastOneDecidesTheResult)
{
    const TMakerNoteBuilder b(false);
    // Focus Info listed before Equipment; Equipment is cut off by the end of the data.
    QList<TMakerNoteBuilder::Directory> dirs {
        { 0x2050, { b.shorts(0x1500, { 40 }) } },
        { 0x2010, { b.ascii(0x0101, "SERIAL1"), b.ascii(0x0203, "LENS"), b.ascii(0x0202, "LENSSERIAL") } },
    };
    QByteArray note = b.build({}, dirs);
    note.chop(8); // the last entry of Equipment and its values are gone

    // Equipment first (short read), Focus Info last (complete): the walk counts as complete.
    const ReadResult r = readNote(note);
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(r.Section.FocusInfoSection.SensorTemperature, QStringLiteral("40 °C"));
    EXPECT_EQ(r.Section.EquipmentSection.SerialNumber, QStringLiteral("SERIAL1"));

    // Listed the other way round, the cut hits Focus Info, which is visited last and decides.
    dirs.swapItemsAt(0, 1);
    QByteArray swapped = b.build({}, dirs);
    swapped.chop(8);
    const ReadResult last = readNote(swapped);
    EXPECT_FALSE(last.Ok);
    EXPECT_EQ(last.Section.EquipmentSection.LensSerialNumber, QStringLiteral("LENSSERIAL"));
}

TEST_F(OlympusMakerNoteWalkTest, ForeignAndOlderNotesAreRejectedAndLeaveNothingBehind)
{
    const TMakerNoteBuilder b(false);
    const auto dirs = sampleDirectories(b);

    // A good read first, so a rejected note must also clear what an earlier read stored.
    static QByteArray file;
    TOlympusSection section;
    const auto readInto = [&](const QByteArray& note) {
        file = QByteArray(kNotePos, '\0') + note;
        return section.Read(TTiffData(file, 0, false), kNotePos, 4000, 3000);
    };
    ASSERT_TRUE(readInto(b.build({}, dirs)));

    QByteArray badOrder = b.build({}, dirs);
    badOrder[8] = 'X';
    const QList<QByteArray> rejected {
        b.build({}, dirs, 13, QByteArray("OLYMPUS\0", 8), 2), // the older layout behind the same signature
        b.build({}, dirs, 13, QByteArray("OLYMP\0\x01\0", 8)), // "OLYMP" notes of older bodies
        b.build({}, dirs, 13, QByteArray("OLYMPUS ", 8)), // no zero byte after the signature
        b.build({}, dirs, 13, QByteArray("Nikon\0\x02\0", 8)), badOrder,
        QByteArray("OLYMPUS", 7), // too short for the header
    };
    for (const QByteArray& note : rejected) {
        ASSERT_TRUE(readInto(b.build({}, dirs)));
        EXPECT_FALSE(readInto(note)) << note.left(10).toHex().constData();
        EXPECT_EQ(properties(section), properties(TOlympusSection()));
        EXPECT_TRUE(section.CameraSettingsSection.AFAreaList().isEmpty());
        EXPECT_TRUE(section.ImageProcessingSection.FaceRects().isEmpty());
    }
    // A maker-note position outside the data.
    EXPECT_FALSE(section.Read(TTiffData(file, 0, false), file.size() - 3, 10, 10));
    EXPECT_FALSE(section.Read(TTiffData(file, 0, false), -5, 10, 10));
}

TEST_F(OlympusMakerNoteWalkTest, SubDirectoriesBeyond64KiBAreReadAtTheirFullOffset)
{
    const TMakerNoteBuilder b(false);
    // The directory starts 0x10010 bytes behind the note; its low 16 bits point into the filler.
    QList<TMakerNoteBuilder::Directory> dirs { { 0x2010, { b.ascii(0x0203, "FAR LENS") }, 0x10010 - 40 } };
    const QByteArray note = b.build({}, dirs);
    const ReadResult r = readNote(note);
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(r.Section.EquipmentSection.LensModel, QStringLiteral("FAR LENS"));
}

TEST_F(OlympusMakerNoteWalkTest, StaleOffsetsGiveEmptyValuesAndNoReadOutsideTheData)
{
    const TMakerNoteBuilder b(false);
    QByteArray note = b.build({},
        {
            { 0x2010, { b.ascii(0x0101, "SERIAL"), b.ascii(0x0203, "LENS MODEL NAME") } },
        });
    // Point the lens model's value far behind the end of the data.
    const qsizetype lens = note.indexOf(QByteArray("\x03\x02\x02\x00", 4));
    ASSERT_GT(lens, 0);
    note.replace(lens + 8, 4, b.u32(0x7FFFFFF0));
    ReadResult r = readNote(note);
    EXPECT_TRUE(r.Ok); // the directory itself was complete
    EXPECT_EQ(r.Section.EquipmentSection.SerialNumber, QStringLiteral("SERIAL"));
    EXPECT_TRUE(r.Section.EquipmentSection.LensModel.isEmpty());

    // A directory pointer behind the end: that directory is skipped, the walk reports the short read.
    QByteArray pointer = b.build({}, { { 0x2050, { b.shorts(0x1500, { 40 }) } } });
    const qsizetype entry = pointer.indexOf(QByteArray("\x50\x20\x0D\x00", 4));
    ASSERT_GT(entry, 0);
    pointer.replace(entry + 8, 4, b.u32(0xFFFFFFF0));
    r = readNote(pointer);
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.Section.FocusInfoSection.SensorTemperature.isEmpty());

    // An entry count far larger than the data: what is there is read, the rest is a short read.
    QByteArray count = b.build({}, { { 0x2050, { b.shorts(0x1500, { 40 }) } } });
    const qsizetype dir = count.size() - (2 + 12 + 4);
    count.replace(dir, 2, b.u16(0xFFFF));
    r = readNote(count);
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Section.FocusInfoSection.SensorTemperature, QStringLiteral("40 °C"));
}

TEST_F(OlympusMakerNoteWalkTest, UnknownImageSizeGivesZeroPixelsNotAFailure)
{
    const TMakerNoteBuilder b(false);
    const ReadResult r = readNote(b.build({}, sampleDirectories(b)), false, 0, 0);
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(r.Section.CameraSettingsSection.SelectedAFPoint(), (TOlympusAFPoint {}));
    EXPECT_EQ(r.Section.CameraSettingsSection.AFPointSelected, QStringLiteral("(50%, 25%) (50%, 25%)"));
    ASSERT_EQ(r.Section.ImageProcessingSection.FaceRects().size(), 1);
    EXPECT_EQ(r.Section.ImageProcessingSection.FaceRects().first(), (TOlympusFaceRect {}));
}

TEST_F(OlympusMakerNoteWalkTest, CollectsEveryNamedPropertyOnceUnderItsSection)
{
    const TMakerNoteBuilder b(false);
    const Properties out = properties(readNote(b.build({}, sampleDirectories(b))).Section);
    EXPECT_EQ(out.size(), 2 + 25 + 55 + 14 + 19 + 22);
    QSet<QString> keys;
    for (const auto& [key, value] : out)
        keys.insert(key);
    EXPECT_EQ(keys.size(), out.size());
    EXPECT_TRUE(keys.contains(QStringLiteral("EquipmentSection.LensModel")));
    EXPECT_TRUE(keys.contains(QStringLiteral("CameraSettingsSection.FocusMode")));
    EXPECT_TRUE(keys.contains(QStringLiteral("FocusInfoSection.SensorTemperature")));
    EXPECT_TRUE(keys.contains(QStringLiteral("OlympusSection.CameraID")));
    EXPECT_FALSE(keys.contains(QStringLiteral("CameraSettingsSection.Unknown0")));
}
