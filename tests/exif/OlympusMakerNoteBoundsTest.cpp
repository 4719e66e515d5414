// Real maker notes cut short at many lengths and with spoilt bytes: every read stays inside the
// data (run under the sanitizer build), and a cut behind the note changes nothing.

#include "exif/OlympusTestSupport.h"

#include "common/TestPaths.h"
#include "exif/TOlympusSection.h"

#include <gtest/gtest.h>

#include <random>

using namespace lumivar::test;

namespace {

using Properties = QList<QPair<QString, QString>>;

const char* const kPictures[] = {
    "olympus_e-p3",
    "olympus_e-410_picasa",
    "olympus_e-420_mm-tiff_olympus-master",
    "olympus_e-m5_gimp",
    "olympus_e-m5iii_exv-derived",
    "olympus_e-pl2_exif-only",
    "olympus_s760",
    "olympus_tg-830_gps",
    "olympus_u740_mm-tiff_ii-mn_corrupt",
};

Properties readCopy(const QByteArray& bytes, const TMakerNoteSite& site, bool* ok = nullptr)
{
    TOlympusSection s;
    const bool read = s.Read(TTiffData(bytes, site.Exif.Base(), site.Exif.BigEndian()), site.MakerNotePos,
        site.Width, site.Height);
    if (ok)
        *ok = read;
    Properties out;
    s.CollectProperties(out);
    // The lists must be consistent with the texts they came from.
    if (s.CameraSettingsSection.AFAreas.isEmpty()) {
        EXPECT_TRUE(s.CameraSettingsSection.AFAreaList().isEmpty());
    }
    if (s.ImageProcessingSection.FaceDetectArea.isEmpty()) {
        EXPECT_TRUE(s.ImageProcessingSection.FaceRects().isEmpty());
    }
    return out;
}

} // namespace

TEST(OlympusMakerNoteBounds, TruncatedPicturesNeverReadOutsideTheData)
{
    for (const char* name : kPictures) {
        const QByteArray file = readFixture(QStringLiteral("exif/%1.jpg").arg(QLatin1StringView(name)));
        const auto site = findMakerNote(file);
        ASSERT_TRUE(site.has_value()) << name;
        bool fullOk = false;
        const Properties full = readCopy(file, *site, &fullOk);

        // Every length through the header and root directory, then every 17th through the rest
        // of the note (the largest fixture note is about 16 KB).
        const qsizetype noteEnd = std::min<qsizetype>(file.size(), site->MakerNotePos + 20000);
        for (qsizetype length = site->MakerNotePos - 1; length < noteEnd;
             length += length < site->MakerNotePos + 300 ? 1 : 17) {
            const QByteArray cut = file.left(length);
            bool ok = true;
            readCopy(cut, *site, &ok);
            if (length < site->MakerNotePos + 14) {
                EXPECT_FALSE(ok) << name << " " << length;
            }
        }
        // Cut behind the last byte of the note: exactly the full result.
        if (noteEnd < file.size()) {
            bool ok = false;
            EXPECT_EQ(readCopy(file.left(noteEnd), *site, &ok), full) << name;
            EXPECT_EQ(ok, fullOk) << name;
        }
    }
}

TEST(OlympusMakerNoteBounds, SpoiltBytesInTheNoteAreHarmless)
{
    std::mt19937 random(20260217); // fixed seed: the same spoilt files every run
    for (const char* name : kPictures) {
        const QByteArray file = readFixture(QStringLiteral("exif/%1.jpg").arg(QLatin1StringView(name)));
        const auto site = findMakerNote(file);
        ASSERT_TRUE(site.has_value()) << name;
        const qsizetype span = std::min<qsizetype>(file.size() - site->MakerNotePos, 4096);
        std::uniform_int_distribution<qsizetype> where(12, span - 1);
        std::uniform_int_distribution<int> byte(0, 255);
        for (int round = 0; round < 100; ++round) {
            QByteArray spoilt = file;
            for (int i = 0; i < 6; ++i) {
                const qsizetype at = site->MakerNotePos + where(random);
                // High bytes of offsets and counts do the most damage.
                spoilt[at] = char(round % 3 == 0 ? 0xFF : byte(random));
            }
            readCopy(spoilt, *site);
        }
    }
}
