// The simulator's raw files are TIFF files as the bodies write them: the program's own EXIF reader
// finds in them what it shows for the JPEG of the same shot.
#include "sim/SimCard.h"
#include "sim/SimClock.h"

#include "exif/TExif.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <chrono>

using namespace camsim;

TEST(SimRawExif, TheRawFileOfAShotCarriesTheShotsExifAndMakerNote)
{
    SimClock clock;
    using namespace std::chrono;
    clock.set(sys_days(year(2015) / 10 / 22) + hours(14) + minutes(35) + seconds(42), 120);
    const SimShotInfo shot { "OLYMPUS IMAGING CORP.", "E-M10", 400, 1.0 / 250, 5.6, -0.7, 25, 1 };
    auto card = SimCard::generate(60, 5, clock, shot);
    ASSERT_TRUE(card);

    int raws = 0;
    for (const SimEntry& folder : card->list("/DCIM"))
        for (const SimEntry& file : card->list("/DCIM/" + folder.name)) {
            const std::string name = file.name;
            if (name.size() < 4 || name.substr(name.size() - 4) != ".ORF")
                continue;
            const std::string path = "/DCIM/" + folder.name + "/" + name;
            SCOPED_TRACE(path);
            QByteArray head(64 * 1024, '\0');
            head.resize(qsizetype(card->read(path, 0, head.data(), size_t(head.size()))));
            const std::string jpegPath = path.substr(0, path.size() - 3) + "JPG";
            ASSERT_TRUE(head.startsWith("IIRO"));

            TExif raw;
            ASSERT_TRUE(raw.ReadFromStream(head));
            EXPECT_TRUE(raw.MakerNoteRead());
            const TExifData& d = raw.ExifData();
            EXPECT_EQ(d.CameraManufacturer, QStringLiteral("OLYMPUS IMAGING CORP."));
            EXPECT_EQ(d.CameraModel, QStringLiteral("E-M10"));
            EXPECT_FALSE(d.ExifSection.DateTimeOriginal.isEmpty());
            EXPECT_FALSE(d.ExifSection.ExposureTime.isEmpty());
            EXPECT_FALSE(d.ExifSection.ExposureBiasValue.isEmpty());
            EXPECT_FALSE(d.ExifSection.OlympusSection.EquipmentSection.LensModel.isEmpty());

            // The pair's JPEG says the same.
            if (const auto jpeg = card->find(jpegPath)) {
                QByteArray bytes(qsizetype(jpeg->size), '\0');
                bytes.resize(qsizetype(card->read(jpegPath, 0, bytes.data(), size_t(bytes.size()))));
                TExif picture;
                ASSERT_TRUE(picture.ReadFromStream(bytes));
                EXPECT_EQ(picture.ExifData().ExifSection.DateTimeOriginal, d.ExifSection.DateTimeOriginal);
                EXPECT_EQ(picture.ExifData().ExifSection.ExposureBiasValue, d.ExifSection.ExposureBiasValue);
            }
            ++raws;
        }
    EXPECT_GT(raws, 0);
}
