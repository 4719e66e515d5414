// The maker notes of real Olympus pictures against the exiftool oracle beside each file
// (.exiftool.tags.tsv: raw value per sub-directory and tag; .exiftool.json: full numeric arrays).
//
// Differences that come from our display rules, not from reading:
// - SensorTemperature counts of older bodies are converted as exiftool does, with one decimal;
// - AFPointSelected percentages are rounded ("%.0f"), exiftool truncates (46.7 % shows as 47 %, not 46 %);
// - exiftool drops trailing blanks of serial numbers as we do, but prints firmware numbers as the
//   same hexadecimal digits with a "." after the first one, which is our rule too.
// - FocusDistance 0xFFFFFFFF/10 (E-PL2, "unknown") is shown by exiftool as 0, by us as the number.

#include "exif/OlympusTestSupport.h"

#include "common/TestPaths.h"
#include "exif/TExifFormat.h"
#include "exif/TOlympusSection.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <gtest/gtest.h>

#include <cmath>

using namespace lumivar::test;

namespace {

// One row of the tags.tsv oracle, keyed by the sub-directory's name and the tag.
struct OracleRow
{
    QString Format;
    QString Raw;
};

class Oracle
{
public:
    explicit Oracle(const QString& name)
    {
        const QByteArray tsv = readFixture(QStringLiteral("exif/%1.exiftool.tags.tsv").arg(name));
        for (const QByteArray& line : tsv.split('\n')) {
            const QList<QByteArray> f = line.split('\t');
            if (f.size() < 5 || !f[0].contains("MakerNoteOlympus2"))
                continue;
            const QString dir = QString::fromUtf8(f[0].mid(f[0].lastIndexOf('/') + 1));
            m_rows.insert(
                { dir, f[1].toUShort(nullptr, 16) }, { QString::fromUtf8(f[3]), QString::fromUtf8(f[4]) });
        }
        const QJsonDocument json
            = QJsonDocument::fromJson(readFixture(QStringLiteral("exif/%1.exiftool.json").arg(name)));
        m_json = json.array().at(0).toObject();
    }

    bool has(const char* dir, quint16 tag) const
    {
        return m_rows.contains({ QString::fromLatin1(dir), tag });
    }
    // The raw value as exiftool read it, trailing blanks removed; empty when the tag is absent.
    QString raw(const char* dir, quint16 tag) const
    {
        QString v = m_rows.value({ QString::fromLatin1(dir), tag }).Raw;
        while (v.endsWith(u' '))
            v.chop(1);
        return v;
    }
    QStringList numbers(const char* dir, quint16 tag) const
    {
        QString v = raw(dir, tag);
        const qsizetype paren = v.indexOf(u'(');
        if (paren >= 0)
            v.truncate(paren);
        return v.split(u' ', Qt::SkipEmptyParts);
    }
    QString json(const char* key) const
    {
        return m_json.value(QString::fromLatin1(key)).toVariant().toString();
    }

private:
    QMap<QPair<QString, quint16>, OracleRow> m_rows;
    QJsonObject m_json;
};

// What each picture shows, checked by hand against the oracle's raw numbers (German texts).
struct Expected
{
    const char* Name;
    const char* FocusMode;
    const char* DriveMode;
    const char* WhiteBalance;
    const char* ArtFilter;
    const char* FocusDistance;
    const char* ExposureMode;
    const char* FlashMode;
    const char* Compression;
};

const Expected kFiles[] = {
    { "olympus_e-p3", "Single-AF, S-AF, Imager-AF", "Einzelaufnahme", "Sonnig (5300 K)", "Kein", "0,25 m",
        "Programmautomatik (P)", "Aus", "Normal" },
    { "olympus_e-410_picasa", "Single-AF", "Einzelaufnahme", "Automatik", "", "15,57 m",
        "Programmautomatik (P)", "Aus", "Normal" },
    { "olympus_e-420_mm-tiff_olympus-master", "Single-AF, S-AF, AF-Sensor", "Einzelaufnahme",
        "Sonnig (5300 K)", "", "", "Programmautomatik (P)", "Aus", "Normal" },
    { "olympus_e-m5_gimp", "Manueller Fokus, S-AF, MF, Imager-AF", "Serienaufnahme, Sequenz-Nr: 1",
        "Sonnig (5300 K)", "Kein", "1,75 m", "Manuell (M)", "Aufhellblitz", "Normal" },
    { "olympus_e-m5iii_exv-derived", "Continous-AF, C-AF, Imager-AF", "Belichtungsreihe AE, Sequenz-Nr: 1",
        "Automatik", "Kein", "0,705 m", "Blendenpriorität (A)", "Aufhellblitz", "Superfein" },
    { "olympus_e-pl2_exif-only", "Continous-AF, C-AF, Imager-AF", "Serienaufnahme, Sequenz-Nr: 1",
        "Automatik", "Kein", nullptr, "Manuell (M)", "Aufhellblitz, Rote-Augen-Effekt reduzieren", "Normal" },
    { "olympus_s760", "Single-AF", "Einzelaufnahme", "Automatik", "", "9,02 m", "Programmautomatik (P)",
        "Blitz-Automatik", "Normal" },
    { "olympus_tg-830_gps", "Single-AF, S-AF, Imager-AF", "Einzelaufnahme", "Automatik", "", "",
        "Programmautomatik (P)", "Aus", "" },
};

void PrintTo(const Expected& e, std::ostream* os)
{
    *os << e.Name;
}

QString firmware(const QString& raw)
{
    QString hex = QString::number(raw.toUInt(), 16);
    return hex.insert(1, u'.');
}

class OlympusMakerNoteFixtureTest : public ::testing::TestWithParam<Expected>
{
protected:
    TScopedLocale m_locale { QLocale(QLocale::German, QLocale::Germany) };
};

} // namespace

TEST_P(OlympusMakerNoteFixtureTest, MatchesTheOracle)
{
    const Expected& x = GetParam();
    const QString name = QString::fromLatin1(x.Name);
    const QByteArray file = readFixture(QStringLiteral("exif/%1.jpg").arg(name));
    ASSERT_FALSE(file.isEmpty()) << x.Name;
    const auto site = findMakerNote(file);
    ASSERT_TRUE(site.has_value());
    const Oracle oracle(name);

    TOlympusSection s;
    ASSERT_TRUE(s.Read(site->Exif, site->MakerNotePos, site->Width, site->Height));
    const TOlympusEquipmentSection& eq = s.EquipmentSection;
    const TOlympusCameraSettingsSection& cs = s.CameraSettingsSection;

    // Texts as stored: serial numbers, lens model, camera type.
    EXPECT_EQ(eq.SerialNumber, oracle.raw("EquipmentIFD", 0x0101));
    EXPECT_EQ(eq.InternalSerialNumber, oracle.raw("EquipmentIFD", 0x0102));
    EXPECT_EQ(eq.LensSerialNumber, oracle.raw("EquipmentIFD", 0x0202));
    EXPECT_EQ(eq.LensModel, oracle.raw("EquipmentIFD", 0x0203));
    EXPECT_EQ(eq.CameraType, oracle.raw("EquipmentIFD", 0x0100));
    EXPECT_EQ(s.CameraID, QString::fromLatin1("OLYMPUS DIGITAL CAMERA"));
    // Numbers: lens type bytes, firmware, focal lengths.
    EXPECT_EQ(eq.LensType, oracle.numbers("EquipmentIFD", 0x0201).join(u';'));
    for (const auto& [tag, value] : { std::pair { quint16(0x0104), eq.BodyFirmwareVersion },
             std::pair { quint16(0x0204), eq.LensFirmwareVersion } }) {
        const QString raw = oracle.raw("EquipmentIFD", tag);
        EXPECT_EQ(value, raw.isEmpty() ? QString() : firmware(raw)) << tag;
    }
    if (oracle.has("EquipmentIFD", 0x0103)) {
        EXPECT_EQ(eq.FocalPlaneDiagonal,
            oracle.numbers("EquipmentIFD", 0x0103).first().replace(u'.', u',') + QStringLiteral(" mm"));
    }
    if (oracle.has("EquipmentIFD", 0x0207)) {
        EXPECT_EQ(eq.MinFocalLength, oracle.raw("EquipmentIFD", 0x0207) + QStringLiteral(" mm"));
    }

    // AF areas: the four bytes of every non-zero 32-bit value, highest first.
    const QStringList areas = oracle.json("Olympus:AFAreas").split(u' ', Qt::SkipEmptyParts);
    QList<TOlympusAFArea> expectedAreas;
    for (const QString& a : areas) {
        const quint32 v = a.toUInt();
        if (v != 0)
            expectedAreas.append(
                { int(v >> 24), int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF) });
    }
    EXPECT_EQ(cs.AFAreaList(), expectedAreas);
    // Selected AF point: the oracle's fractions times the picture size, halves to even.
    const QStringList point = oracle.numbers("CameraSettingsIFD", 0x0305);
    EXPECT_EQ(cs.HasSelectedAFPoint(), oracle.has("CameraSettingsIFD", 0x0305));
    if (point.size() == 5 && point[1] != u"undef") {
        const auto px = [&](int i, int size) { return int(std::nearbyint(point[i].toDouble() * size)); };
        EXPECT_EQ(cs.SelectedAFPoint(),
            (TOlympusAFPoint {
                0, px(1, site->Width), px(2, site->Height), px(3, site->Width), px(4, site->Height) }));
    } else {
        EXPECT_EQ(cs.SelectedAFPoint(), (TOlympusAFPoint {}));
    }

    // Sensor temperature: degrees as exiftool gives them (it converts older bodies' counts, E-P3:
    // 395 is 38.4 °C), to one decimal; several values stay as recorded.
    const QStringList temperature = oracle.numbers("FocusInfoIFD", 0x1500);
    if (temperature.isEmpty()) {
        EXPECT_TRUE(s.FocusInfoSection.SensorTemperature.isEmpty());
    } else if (temperature.size() > 1) {
        EXPECT_EQ(s.FocusInfoSection.SensorTemperature, temperature.join(u';') + QStringLiteral(" °C"));
    } else {
        const double degrees = oracle.json("Olympus:SensorTemperature").toDouble();
        EXPECT_EQ(s.FocusInfoSection.SensorTemperature,
            GeneralNumber(std::round(degrees * 10.0) / 10.0) + QStringLiteral(" °C"));
    }

    // Decoded values, as a German user reads them.
    EXPECT_EQ(cs.FocusMode, QString::fromUtf8(x.FocusMode));
    EXPECT_EQ(cs.DriveMode, QString::fromUtf8(x.DriveMode));
    EXPECT_EQ(cs.WhiteBalance, QString::fromUtf8(x.WhiteBalance));
    EXPECT_EQ(cs.ArtFilter, QString::fromUtf8(x.ArtFilter));
    if (x.FocusDistance) {
        EXPECT_EQ(s.FocusInfoSection.FocusDistance, QString::fromUtf8(x.FocusDistance));
    }
    EXPECT_EQ(cs.ExposureMode, QString::fromUtf8(x.ExposureMode));
    EXPECT_EQ(cs.FlashMode, QString::fromUtf8(x.FlashMode));
    EXPECT_EQ(cs.CompressionFactor, QString::fromUtf8(x.Compression));
    // No picture here found a face.
    EXPECT_TRUE(s.ImageProcessingSection.FaceRects().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Pictures, OlympusMakerNoteFixtureTest, ::testing::ValuesIn(kFiles),
    [](const ::testing::TestParamInfo<Expected>& info) {
        std::string n = info.param.Name;
        for (char& c : n) {
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        }
        return n;
    });

// Pictures whose maker note is not the supported kind: rejected without a stored value.
TEST(OlympusMakerNoteFixtures, OtherKindsOfMakerNoteAreRejected)
{
    for (const char* name : { "olympus_c960_old-mn", "olympus_e-10_mm_old-mn",
             "olympus_e-1_olymp-header-subifds", "olympus_u740_mm-tiff_ii-mn_corrupt", "nikon_p6000_gps" }) {
        const QByteArray file = readFixture(QStringLiteral("exif/%1.jpg").arg(QLatin1StringView(name)));
        const auto site = findMakerNote(file);
        ASSERT_TRUE(site.has_value()) << name;
        TOlympusSection s;
        EXPECT_FALSE(s.Read(site->Exif, site->MakerNotePos, site->Width, site->Height)) << name;
        QList<QPair<QString, QString>> out;
        s.CollectProperties(out);
        for (const auto& [key, value] : out)
            EXPECT_TRUE(value.isEmpty()) << name << " " << qPrintable(key);
    }
}
