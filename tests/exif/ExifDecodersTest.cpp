#include "exif/ExifTexts.h"
#include "exif/TExifSection.h"
#include "exif/TGpsSection.h"

#include "ExifTestFile.h"
#include "base/QStringPrinter.h"

#include <gtest/gtest.h>

using exiftest::LocaleGuard;

namespace {

class ExifDecoders : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterExifTexts();
        TNamedTexts::ResetToDefaults();
    }
    void TearDown() override { TNamedTexts::ResetToDefaults(); }
};

} // namespace

TEST_F(ExifDecoders, FlashTableFirstThenBitByBit)
{
    EXPECT_EQ(TExifSection::DecodeFlash(QStringLiteral("89")),
        QStringLiteral("Blitz ausgelöst, Automatik, Rote-Augen-Effekt reduzieren"));
    EXPECT_EQ(TExifSection::DecodeFlash(QStringLiteral("0")), QStringLiteral("Blitz nicht ausgelöst"));
    EXPECT_EQ(TExifSection::DecodeFlash(QStringLiteral("32")), QStringLiteral("Kein Blitz"));
    // 17: fired, no return detection, compulsory suppression, flash present.
    EXPECT_EQ(TExifSection::DecodeFlash(QStringLiteral("17")),
        QStringLiteral("Blitz ausgelöst, Stroboskoperkennung nicht möglich, Erzwungener Blitz unterdrückt, "
                       "Blitz vorhanden"));
    // 2: not fired, return bits 1 give nothing; 0x66: return light bits 3, no flash, red eye.
    EXPECT_EQ(TExifSection::DecodeFlash(QStringLiteral("2")),
        QStringLiteral("Blitz nicht ausgelöst, Blitz vorhanden"));
    EXPECT_EQ(TExifSection::DecodeFlash(QStringLiteral("102")),
        QStringLiteral("Blitz nicht ausgelöst, Stroboskop erkannt, Kein Blitz, Rote-Augen-Effekt"));
    EXPECT_EQ(TExifSection::DecodeFlash(QStringLiteral("1;2")), QStringLiteral("1;2"));
    EXPECT_EQ(TExifSection::DecodeFlash(QString()), QString());
}

TEST_F(ExifDecoders, TablesCompareTextsAndLeaveUnknownValues)
{
    EXPECT_EQ(TExifSection::DecodeExposureProgram(QStringLiteral("3")), QStringLiteral("A"));
    EXPECT_EQ(TExifSection::DecodeExposureProgram(QStringLiteral("9")), QStringLiteral("Bulb"));
    EXPECT_EQ(TExifSection::DecodeExposureProgram(QStringLiteral("03")), QStringLiteral("03"));
    EXPECT_EQ(TExifSection::DecodeMeteringMode(QStringLiteral("255")), QStringLiteral("Andere Messmethode"));
    EXPECT_EQ(TExifSection::DecodeLightSource(QStringLiteral("21")), QStringLiteral("D65"));
    EXPECT_EQ(TExifSection::DecodeLightSource(QStringLiteral("16")), QStringLiteral("16"));
    EXPECT_EQ(TExifSection::DecodeSensitivityType(QStringLiteral("7")),
        QStringLiteral("Standard Output Sensitivity, Recommended Exposure Index and ISO Speed"));
    EXPECT_EQ(TExifSection::DecodeColorSpace(QStringLiteral("1")), QStringLiteral("sRGB"));
    EXPECT_EQ(TExifSection::DecodeColorSpace(QStringLiteral("65535")), QStringLiteral("65535"));
    EXPECT_EQ(TExifSection::DecodeComponentsConfiguration(QStringLiteral("1;2;3;0")),
        QStringLiteral("Y, Cb, Cr, -"));
    EXPECT_EQ(
        TExifSection::DecodeComponentsConfiguration(QStringLiteral("4;5;6;9")), QStringLiteral("R, G, B, 9"));
}

TEST_F(ExifDecoders, DecodedTextsFollowTheLanguageAtTheMomentOfDecoding)
{
    TNamedTexts::SetTranslations({ { QStringLiteral("_rsExifNorth"), QStringLiteral("North") },
        { QStringLiteral("_rsExifFlashFired"), QStringLiteral("Flash fired") } });
    EXPECT_EQ(TExifSection::DecodeFlash(QStringLiteral("1")), QStringLiteral("Flash fired"));
    EXPECT_EQ(TExifSection::DecodeExposureProgram(QStringLiteral("0")), QStringLiteral("Nicht definiert"));
}

TEST_F(ExifDecoders, NumbersFollowTheUsersLocale)
{
    {
        LocaleGuard german(QLocale::German);
        EXPECT_EQ(TGpsSection::DecodeCoordinate(QStringLiteral("48;8;13,755")), QStringLiteral("48,137154°"));
        EXPECT_EQ(TExifSection::DecodeMaxApertureValue(QStringLiteral("1,79957")), QStringLiteral("1,8"));
        EXPECT_EQ(TExifSection::DecodeMaxApertureValue(QStringLiteral("x")), QStringLiteral("x"));
        // Fewer than three parts or a part that is no number: unchanged.
        EXPECT_EQ(TGpsSection::DecodeCoordinate(QStringLiteral("48;8")), QStringLiteral("48;8"));
        EXPECT_EQ(TGpsSection::DecodeCoordinate(QStringLiteral("48;8;x")), QStringLiteral("48;8;x"));
    }
    LocaleGuard english(QLocale::English);
    EXPECT_EQ(TGpsSection::DecodeCoordinate(QStringLiteral("48;8;13.755")), QStringLiteral("48.137154°"));
    EXPECT_EQ(TExifSection::DecodeMaxApertureValue(QStringLiteral("5.66")), QStringLiteral("5.7"));
}
