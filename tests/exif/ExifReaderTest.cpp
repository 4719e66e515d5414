#include "exif/ExifTexts.h"
#include "exif/TExif.h"
#include "exif/TExifReader.h"
#include "exif/TOlympusCameraSettingsSection.h"

#include "ExifTestFile.h"
#include "base/QStringPrinter.h"
#include "base/TLanguageFile.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

using exiftest::jpeg;
using exiftest::LocaleGuard;
using exiftest::TiffBuilder;

namespace {

QByteArray pictureWithoutGps()
{
    TiffBuilder t;
    const int exif = t.addIfd();
    t.ascii(0, 0x0110, "E-M10");
    t.ascii(0, 0x013B, "Anna");
    t.pointer(0, 0x8769, exif);
    t.rational(exif, 0x829A, { { 1, 250 } });
    t.shorts(exif, 0xA002, { 640 });
    t.shorts(exif, 0xA003, { 480 });
    t.shorts(exif, 0xA406, { 3 });
    t.shorts(exif, 0xA409, { 1 });
    return jpeg(t.build());
}

QString valueOf(const QList<TExifRowSection>& list, const QString& caption)
{
    for (const TExifRowSection& section : list) {
        for (const TExifRow& row : section.Rows) {
            if (row.Caption == caption)
                return row.Value;
        }
    }
    return QStringLiteral("<missing>");
}

} // namespace

TEST(ExifReader, FillsFourSectionsOf62RowsWithTheirJoiningTexts)
{
    LocaleGuard german(QLocale::German);
    TNamedTexts::ResetToDefaults();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("P1010001.jpg"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pictureWithoutGps());
    file.close();

    QList<TExifRowSection> list;
    TExifRect frame { 1, 2, 3, 4 };
    QList<TExifRect> faces { TExifRect { 1, 1, 2, 2 } };
    TExifReader::Fill(list, path, frame, faces);
    ASSERT_EQ(list.size(), 4);
    QStringList captions;
    int rows = 0;
    for (const TExifRowSection& section : list) {
        captions << section.Caption;
        rows += int(section.Rows.size());
    }
    EXPECT_EQ(captions,
        (QStringList { QStringLiteral("Allgemein"), QStringLiteral("Hardware"),
            QStringLiteral("Kameraeinstellungen"), QStringLiteral("GPS-Daten") }));
    EXPECT_EQ(rows, 62);
    EXPECT_EQ(list[0].Rows.size(), 3);
    EXPECT_EQ(list[1].Rows.size(), 8);
    EXPECT_EQ(list[3].Rows.size(), 4);
    EXPECT_EQ(list[2].Rows.first().Caption, QStringLiteral("Auflösung"));
    EXPECT_EQ(list[2].Rows.last().Caption, QStringLiteral("Empfindlichkeitstyp"));

    EXPECT_EQ(valueOf(list, QStringLiteral("Autor")), QStringLiteral("Anna"));
    EXPECT_EQ(valueOf(list, QStringLiteral("Kamera")), QStringLiteral("E-M10 ()"));
    EXPECT_EQ(valueOf(list, QStringLiteral("Brennweitenbereich")), QStringLiteral(" - "));
    EXPECT_EQ(valueOf(list, QStringLiteral("Auflösung")), QStringLiteral("640 x 480"));
    EXPECT_EQ(valueOf(list, QStringLiteral("Verschlusszeit")), QStringLiteral("1/250"));
    EXPECT_EQ(valueOf(list, QStringLiteral("Sättigung")), QStringLiteral("Gering, "));
    // Without a maker note the scene mode is empty, not "Unbekannt": the row shows it as it stands.
    EXPECT_EQ(valueOf(list, QStringLiteral("Szenenaufnahmetyp")), QString());
    EXPECT_EQ(valueOf(list, QStringLiteral("Breite")), QStringLiteral(" "));
    EXPECT_EQ(valueOf(list, QStringLiteral("Länge")), QStringLiteral(" "));
    EXPECT_EQ(valueOf(list, QStringLiteral("Höhe")), QStringLiteral(" ()"));
    EXPECT_EQ(valueOf(list, QStringLiteral("Status")), QString());
    EXPECT_EQ(frame, TExifRect());
    EXPECT_TRUE(faces.isEmpty());

    // Captions come in the language current when the list is built.
    TNamedTexts::SetTranslations({ { QStringLiteral("_rsGeneral"), QStringLiteral("General") } });
    TExifReader::Fill(list, path, frame, faces);
    EXPECT_EQ(list.first().Caption, QStringLiteral("General"));
    TNamedTexts::ResetToDefaults();
}

TEST(ExifReader, OnlyExistingJpgFilesWithExifFillTheList)
{
    QTemporaryDir dir;
    const QByteArray picture = pictureWithoutGps();
    const auto write = [&dir](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    QList<TExifRowSection> list;
    TExifRect frame { 1, 2, 3, 4 };
    QList<TExifRect> faces;
    TExifReader::Fill(list, write(QStringLiteral("a.JPG"), picture), frame, faces);
    EXPECT_EQ(list.size(), 4);
    for (const QString& name : { QStringLiteral("b.jpeg"), QStringLiteral("c.ORF"), QStringLiteral("jpg") }) {
        frame = { 1, 2, 3, 4 };
        TExifReader::Fill(list, write(name, picture), frame, faces);
        EXPECT_TRUE(list.isEmpty()) << name.toStdString();
        EXPECT_EQ(frame, TExifRect());
    }
    TExifReader::Fill(
        list, write(QStringLiteral("noexif.jpg"), QByteArray("\xFF\xD8\xFF\xD9", 4)), frame, faces);
    EXPECT_TRUE(list.isEmpty());
    TExifReader::Fill(list, dir.filePath(QStringLiteral("missing.JPG")), frame, faces);
    EXPECT_TRUE(list.isEmpty());
}

TEST(ExifReader, FocusFrameCentresTheFirstAfAreaOnTheAfPoint)
{
    EXPECT_EQ(
        TExifReader::FocusFrame({ 34, 34, 221, 221 }, 2304, 1728), (TExifRect { 2287, 1711, 2321, 1745 }));
    // Odd sizes: the half is rounded toward zero, the size kept.
    EXPECT_EQ(TExifReader::FocusFrame({ 35, 21, 0, 0 }, 100, 50), (TExifRect { 83, 40, 118, 61 }));
    // Sizes and points from a crafted file reach the ends of the range: the frame is clamped to it
    // instead of wrapping around (signed overflow before).
    constexpr int lo = std::numeric_limits<int>::min();
    constexpr int hi = std::numeric_limits<int>::max();
    EXPECT_EQ(
        TExifReader::FocusFrame({ lo, lo, 0, 0 }, hi, hi), (TExifRect { hi, hi, 1073741823, 1073741823 }));
    EXPECT_EQ(
        TExifReader::FocusFrame({ hi, hi, 0, 0 }, lo, lo), (TExifRect { lo, lo, -1073741824, -1073741824 }));
    EXPECT_EQ(TExifReader::FocusFrame({ hi, 2, 0, 0 }, hi, 0), (TExifRect { 1073741824, -1, hi, 1 }));
}

TEST(ExifReader, EnglishTranslatesEveryExifText)
{
    TLanguageFile english;
    ASSERT_TRUE(english.Load(QStringLiteral(LUMIVAR_SOURCE_DIR "/Languages/English.txt")));
    RegisterExifTexts();
    QSet<QString> ours;
    for (const TNamedText& text : ExifTexts()) {
        ours.insert(QString::fromLatin1(text.Name));
        EXPECT_EQ(TNamedTexts::German(text.Name), QString::fromUtf8(text.German)) << text.Name;
    }
    QStringList missing;
    for (const QString& name : TNamedTexts::MissingIn(english.Texts())) {
        if (ours.contains(name))
            missing << name;
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u' ').toStdString();
}
