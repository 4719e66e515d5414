// The maker-note decoders on the values real bodies write and on the awkward ones: items that are
// signed 16-bit numbers printed unsigned, the user's decimal separator, missing or extra items.

#include "exif/OlympusTestSupport.h"

#include "base/TNamedTexts.h"
#include "exif/MakerNoteTexts.h"
#include "exif/TOlympusCameraSettingsSection.h"
#include "exif/TOlympusDecoders.h"
#include "exif/TOlympusImageProcessingSection.h"

#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

using D = TOlympusDecoders;
using lumivar::test::TScopedLocale;

namespace {

class OlympusDecodersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterMakerNoteTexts();
        TNamedTexts::ResetToDefaults();
    }
    void TearDown() override { TNamedTexts::ResetToDefaults(); }

    TScopedLocale m_locale { QLocale(QLocale::German, QLocale::Germany) };
};

QString s(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

TEST_F(OlympusDecodersTest, FocusModeNamesTheModeThenEveryBit)
{
    EXPECT_EQ(D::FocusMode(s("0;5")), s("Single-AF, S-AF, C-AF"));
    // Bits 2 and 8 have no name and leave only their separator.
    EXPECT_EQ(D::FocusMode(s("10;10")), s("Manueller Fokus, , "));
    EXPECT_EQ(D::FocusMode(s("1;496")),
        s("Sequential-AF, MF, Gesichtserkennung, Imager-AF, LV Magnification Frame, AF-Sensor"));
    EXPECT_EQ(D::FocusMode(s("7")), s("Unbekannt"));
    EXPECT_EQ(D::FocusMode(s("0;x")), s("Single-AF"));
    EXPECT_EQ(D::FocusMode(QString()), QString());
}

TEST_F(OlympusDecodersTest, AFAreasKeepNonZeroAreasByteByByte)
{
    QList<TOlympusAFArea> areas { { 1, 2, 3, 4 } };
    EXPECT_EQ(D::AFAreas(s("0"), areas), QString());
    EXPECT_TRUE(areas.isEmpty());
    // A LONG array at an offset prints signed: -1 is 0xFFFFFFFF.
    EXPECT_EQ(D::AFAreas(s("0;1902874257;-1"), areas), s("(113, 107)-(142, 145) (255, 255)-(255, 255) "));
    EXPECT_EQ(areas, (QList<TOlympusAFArea> { { 113, 107, 142, 145 }, { 255, 255, 255, 255 } }));
    EXPECT_EQ(D::AFAreas(s("1902874257;abc"), areas), s("1902874257;abc"));
    EXPECT_TRUE(areas.isEmpty());
}

TEST_F(OlympusDecodersTest, AFPointScalesFractionsToThePictureRoundingHalvesToEven)
{
    TOlympusAFPoint p;
    EXPECT_EQ(D::AFPointSelected(s("0;0,5;0,25;0,5;0,25"), 5, 6, p), s("(50%, 25%) (50%, 25%)"));
    EXPECT_EQ(p, (TOlympusAFPoint { 0, 2, 2, 2, 2 })); // 2.5 and 1.5 go to the even neighbour
    EXPECT_EQ(D::AFPointSelected(s("1;0,4666666667;0,5;0,4666666667;0,5"), 5184, 3888, p),
        s("(47%, 50%) (47%, 50%)"));
    EXPECT_EQ(p, (TOlympusAFPoint { 1, 2419, 1944, 2419, 1944 }));
    // Four items (no first value) or a fraction that is no number: unchanged, point kept.
    EXPECT_EQ(D::AFPointSelected(s("0,5;0,5;0,5;0,5"), 10, 10, p), s("0,5;0,5;0,5;0,5"));
    EXPECT_EQ(D::AFPointSelected(s("0;x;0,5;0,5;0,5"), 10, 10, p), s("0;x;0,5;0,5;0,5"));
    EXPECT_EQ(p.X1, 2419);
    bool decoded = true;
    D::AFPointSelected(s("0;x;0,5;0,5;0,5"), 10, 10, p, &decoded);
    EXPECT_FALSE(decoded);
    D::AFPointSelected(s("0;0;0;0;0"), 10, 10, p, &decoded);
    EXPECT_TRUE(decoded);
}

TEST_F(OlympusDecodersTest, FaceAreasAreScaledFromThe640x480Frame)
{
    QList<TOlympusFaceRect> faces;
    // 1280 x 960: both factors 2; a group with size 0 is no face.
    const QString text = s("320;240;50;0;0;0;0;0;100;100;21;0");
    EXPECT_EQ(D::FaceAreas(text, 1280, 960, faces), text);
    EXPECT_EQ(faces, (QList<TOlympusFaceRect> { { 590, 430, 690, 530 }, { 179, 179, 221, 221 } }));
    // 4000 x 2000: sx 6.25, sy 4.1667; the square follows sx only.
    D::FaceAreas(s("100;100;10;0"), 4000, 2000, faces);
    EXPECT_EQ(faces, (QList<TOlympusFaceRect> { { 594, 386, 656, 448 } }));
    EXPECT_EQ(D::FaceAreas(s("1;2;3;4;5"), 1280, 960, faces), s("1;2;3;4;5"));
    EXPECT_TRUE(faces.isEmpty());
    // Huge numbers saturate instead of overflowing.
    D::FaceAreas(s("9000000000;1;9000000000;0"), 2147483647, 960, faces);
    ASSERT_EQ(faces.size(), 1);
}

TEST_F(OlympusDecodersTest, FaceCountNeedsThreeWholeNumbers)
{
    EXPECT_EQ(D::FaceCount(s("0;0;0")), s("Inaktiv"));
    EXPECT_EQ(D::FaceCount(s("1;2;0")), s("Aktiv (2 Treffer)"));
    EXPECT_EQ(D::FaceCount(s("0;0")), s("0;0"));
    EXPECT_EQ(D::FaceCount(s("1;a;0")), s("1;a;0"));
}

TEST_F(OlympusDecodersTest, SignedSixteenBitRulesReadPrintedUnsignedValues)
{
    EXPECT_EQ(D::Gradation(s("0;65535;1;0")), s("Normal (Benutzerauswahl)"));
    EXPECT_EQ(D::Gradation(s("65535;65535;1;1")), s("Low Key (Automatisch überschrieben)"));
    EXPECT_EQ(D::Gradation(s("2;3;4;7")), s("2 3 4 (7)"));
    EXPECT_EQ(D::Gradation(s("0;65535;1")), s("0;65535;1"));
    EXPECT_EQ(D::Range(s("0;65534;2")), s("0 (Minimum: -2, Maximum: +2)"));
    EXPECT_EQ(D::Range(s("0;65534")), s("0;65534"));
    EXPECT_EQ(D::Level(s("65534;65534;1"), -2), s("Aus"));
    EXPECT_EQ(D::Level(s("65534;65534;1"), -1), s("-2 -2 1"));
    EXPECT_EQ(D::Level(s("65535;65535;1"), -1), s("Gering"));
    EXPECT_EQ(D::Level(s("0;65534;1"), -2), s("Standard"));
    EXPECT_EQ(D::Level(s("0;0;0"), -2), s("Nicht verfügbar"));
    EXPECT_EQ(D::Level(s("1;65535;1"), -1), s("Hoch"));
    EXPECT_EQ(D::HighlightShadow(s("0;2;65529;7;0;65535;65529;7")),
        s("Lichter: 2 (Minimum: -7, Maximum: 7), Tiefen: -1 (Minimum: -7, Maximum: 7)"));
    EXPECT_EQ(D::HighlightShadow(s("0;2;3")), s("0;2;3"));
}

TEST_F(OlympusDecodersTest, DriveModeWithBracketKindsAndShotNumber)
{
    EXPECT_EQ(D::DriveMode(s("0;0;0")), s("Einzelaufnahme"));
    EXPECT_EQ(D::DriveMode(s("5;2;3;0;0")), s("Belichtungsreihe AE/WB, Sequenz-Nr: 2"));
    EXPECT_EQ(D::DriveMode(s("5;4;16")), s("Belichtungsreihe ISO, Sequenz-Nr: 4"));
    EXPECT_EQ(D::DriveMode(s("7;3")), s("7;3, Sequenz-Nr: 3"));
    EXPECT_EQ(D::DriveMode(s("7")), s("7"));
}

TEST_F(OlympusDecodersTest, FlashRules)
{
    EXPECT_EQ(D::FlashMode(s("17")), s("Blitz ein"));
    EXPECT_EQ(D::FlashMode(s("6")), s("Aufhellblitz, Rote-Augen-Effekt reduzieren"));
    EXPECT_EQ(D::FlashMode(s("1,5")), s("1,5"));
    EXPECT_EQ(D::FlashRemoteControl(s("0")), s("Aus"));
    EXPECT_EQ(D::FlashRemoteControl(s("4")), s("Kanal 4, LOW"));
    EXPECT_EQ(D::FlashRemoteControl(s("10")), s("Kanal 2, MID"));
    EXPECT_EQ(D::FlashRemoteControl(s("20")), s("Kanal 4, HIGH"));
    EXPECT_EQ(D::FlashRemoteControl(s("5")), s("Unbekannt"));
    EXPECT_EQ(D::FlashControlMode(s("3")), s("TTL"));
    EXPECT_EQ(D::FlashControlMode(s("0;0;0;0")), s("0;0;0;0"));
}

TEST_F(OlympusDecodersTest, ArtFilterWithEffectAndPanorama)
{
    EXPECT_EQ(D::ArtFilter(QString()), s("Unbekannt"));
    EXPECT_EQ(D::ArtFilter(s("23;0;0;0")), s("Glitzern"));
    EXPECT_EQ(D::PMArtFilter2(s("5;0;0;0;32784;0")), s("Lochkamera (Sternenlicht)"));
    EXPECT_EQ(D::PMArtFilter2(s("0;0;0;0;32784")), s("Kein"));
    EXPECT_EQ(D::PMArtFilter2(s("5;0;0;0;12345")), s("Lochkamera"));
    EXPECT_EQ(D::PanoramaMode(s("0;0")), s("Aus"));
    EXPECT_EQ(D::PanoramaMode(s("2;3")), s("rechts nach links (Sequenz 3)"));
    EXPECT_EQ(D::PanoramaMode(s("9;3")), s("Unbekannt (Sequenz 3)"));
    EXPECT_EQ(D::SpecialMode(s("3;2;4")),
        s("Aufnahmemodus: Panorama, Sequenz: 2, Panoramarichtung: oben nach unten"));
    EXPECT_EQ(D::SpecialMode(s("0;0")), s("0;0"));
}

TEST_F(OlympusDecodersTest, NumbersWithTheUsersSeparator)
{
    EXPECT_EQ(D::WholeValue(OlympusTables::kCompressionFactor, s("2,7")), s("Superfein"));
    EXPECT_EQ(D::WholeValue(OlympusTables::kCompressionFactor, s("2.7")), s("Superfein"));
    EXPECT_EQ(D::WholeValue(OlympusTables::kCompressionFactor, s("3")), s("Unbekannt"));
    EXPECT_EQ(D::Distance(s("25")), s("0,25 m"));
    EXPECT_EQ(D::Distance(s("x")), s("x"));
    EXPECT_EQ(D::Firmware(s("4352")), s("1.100"));
    EXPECT_EQ(D::Firmware(s("1.1")), s("1.1"));
    {
        TScopedLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
        EXPECT_EQ(D::Distance(s("70.5")), s("0.705 m"));
    }
    EXPECT_EQ(D::Decode(TOlympusRule::WhiteBalanceTemperature, s("0")), s("Automatik"));
    EXPECT_EQ(D::Decode(TOlympusRule::WhiteBalanceTemperature, s("5300")), s("5300 K"));
    EXPECT_EQ(D::Decode(TOlympusRule::ImageStabilization, s("0")), s("Deaktiviert"));
    EXPECT_EQ(D::Decode(TOlympusRule::ImageStabilization, s("4")), s("Aktiviert (Modus 4)"));
}

TEST_F(OlympusDecodersTest, TextsComeInTheLanguageSelectedWhenDecoding)
{
    TNamedTexts::SetTranslations({ { QStringLiteral("_rsExifSingleAF"), QStringLiteral("Single AF") },
        { QStringLiteral("_rsExifSAF"), QStringLiteral("S-AF") },
        { QStringLiteral("_rsExifNMatches"), QStringLiteral("%d found") },
        { QStringLiteral("_rsExifActive"), QStringLiteral("Active") } });
    EXPECT_EQ(D::FocusMode(s("0;1")), s("Single AF, S-AF"));
    EXPECT_EQ(D::FaceCount(s("3;0;0")), s("Active (3 found)"));
}

TEST(OlympusTexts, EveryTableNameIsRegisteredAndTranslatedIntoEnglish)
{
    RegisterMakerNoteTexts();
    QSet<QString> registered;
    for (const TNamedText& t : MakerNoteTexts())
        registered.insert(QString::fromLatin1(t.Name));
    const auto check = [&](const char* name) {
        if (name) {
            EXPECT_TRUE(registered.contains(QString::fromLatin1(name))) << name;
        }
    };
    for (const std::span<const TOlympusValueText> table :
        { std::span<const TOlympusValueText>(OlympusTables::kSceneMode),
            std::span<const TOlympusValueText>(OlympusTables::kArtFilter),
            std::span<const TOlympusValueText>(OlympusTables::kWhiteBalance),
            std::span<const TOlympusValueText>(OlympusTables::kFlashMode) }) {
        for (const TOlympusValueText& row : table)
            check(row.Name);
    }
    for (const TOlympusBitText& row : OlympusTables::kFocusModeBits)
        check(row.Name);

    QFile file(QStringLiteral(LUMIVAR_SOURCE_DIR "/Languages/English.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString english = QString::fromUtf8(file.readAll());
    QHash<QString, QString> texts;
    for (const QString& line : english.split(QStringLiteral("\r\n"))) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0)
            texts.insert(line.left(eq).remove(QChar(0xFEFF)), line.mid(eq + 1));
    }
    for (const TNamedText& t : MakerNoteTexts()) {
        const QString name = QString::fromLatin1(t.Name);
        ASSERT_TRUE(texts.contains(name)) << t.Name;
        EXPECT_FALSE(texts.value(name).isEmpty()) << t.Name;
        EXPECT_EQ(texts.value(name).count(QStringLiteral("%d")),
            QString::fromUtf8(t.German).count(QStringLiteral("%d")))
            << t.Name;
    }
}
