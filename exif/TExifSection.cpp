#include "exif/TExifSection.h"

#include "exif/ExifTexts.h"
#include "exif/TExifFormat.h"

#include <QLocale>

namespace {

constexpr TExifDecodeRow kExposureProgram[] = {
    { "0", "_rsExifNotDefined" },
    { "1", nullptr, "M" },
    { "2", nullptr, "P" },
    { "3", nullptr, "A" },
    { "4", nullptr, "S" },
    { "5", "_rsExifArtMode" },
    { "6", "_rsExifActionMode" },
    { "7", "_rsExifPortraitMode" },
    { "8", "_rsExifLandscapeMode" },
    { "9", "_rsExifBulb" },
};

constexpr TExifDecodeRow kSensitivityType[] = {
    { "0", "_rsExifUnknown" },
    { "1", "_rsExifStandardOutputSensitivity" },
    { "2", "_rsExifRecommendedExposureIndex" },
    { "3", "_rsExifISOSpeed" },
    { "4", "_rsExifStandardOutputSensitivityAndRecommendedExposureIndex" },
    { "5", "_rsExifStandardOutputSensitivityAndISOSpeed" },
    { "6", "_rsExifRecommendedExposureIndexAndISOSpeed" },
    { "7", "_rsExifStandardOutputSensitivityRecommendedExposureIndexAndISOSpeed" },
};

constexpr TExifDecodeRow kComponents[] = {
    { "0", nullptr, "-" },
    { "1", nullptr, "Y" },
    { "2", nullptr, "Cb" },
    { "3", nullptr, "Cr" },
    { "4", nullptr, "R" },
    { "5", nullptr, "G" },
    { "6", nullptr, "B" },
};

constexpr TExifDecodeRow kMeteringMode[] = {
    { "0", "_rsExifUnknown" },
    { "1", "_rsExifAverage" },
    { "2", "_rsExifCenterWeightedAverage" },
    { "3", "_rsExifSpot" },
    { "4", "_rsExifMultiSpot" },
    { "5", "_rsExifPattern" },
    { "6", "_rsExifPartial" },
    { "255", "_rsExifOtherMetering" },
};

constexpr TExifDecodeRow kLightSource[] = {
    { "0", "_rsExifUnknown" },
    { "1", "_rsExifDaylight" },
    { "2", "_rsExifFluorescent" },
    { "3", "_rsExifIncandescentLight" },
    { "4", "_rsExifFlash" },
    { "9", "_rsExifFineWeather" },
    { "10", "_rsExifCloudyWeather" },
    { "11", "_rsExifShade" },
    { "12", "_rsExifDaylightFluorescent" },
    { "13", "_rsExifDayWhiteFluorescent" },
    { "14", "_rsExifCoolWhiteFluorescent" },
    { "15", "_rsExifWhiteFluorescent" },
    { "17", "_rsExifStandardLightA" },
    { "18", "_rsExifStandardLightB" },
    { "19", "_rsExifStandardLightC" },
    { "20", nullptr, "D55" },
    { "21", nullptr, "D65" },
    { "22", nullptr, "D75" },
    { "23", nullptr, "D50" },
    { "24", "_rsExifISOStudioTungsten" },
    { "255", "_rsExifOtherLightSource" },
};

constexpr TExifDecodeRow kFlash[] = {
    { "0", "_rsExifFlashDidNotFire" },
    { "1", "_rsExifFlashFired" },
    { "5", "_rsExifStrobeReturnLightNotDetected" },
    { "7", "_rsExifStrobeReturnLightDetected" },
    { "9", "_rsExifFlashFired_CompulsoryFlashMode" },
    { "13", "_rsExifFlashFired_CompulsoryFlashMode_ReturnLightNotDetected" },
    { "15", "_rsExifFlashFired_CompulsoryFlashMode_ReturnLightDetected" },
    { "16", "_rsExifFlashDidNotFire_CompulsoryFlashMode" },
    { "24", "_rsExifFlashDidNotFire_AutoMode" },
    { "25", "_rsExifFlashFired_AutoMode" },
    { "29", "_rsExifFlashFired_AutoMode_ReturnLightNotDetected" },
    { "31", "_rsExifFlashFired_AutoMode_ReturnLightDetected" },
    { "32", "_rsExifNoFlashFunction" },
    { "65", "_rsExifFlashFired_RedEyeReductionMode" },
    { "69", "_rsExifFlashFired_RedEyeReductionMode_ReturnLightNotDetected" },
    { "71", "_rsExifFlashFired_RedEyeReductionMode_ReturnLightDetected" },
    { "73", "_rsExifFlashFired_CompulsoryFlashMode_RedEyeReductionMode" },
    { "77", "_rsExifFlashFired_CompulsoryFlashMode_RedEyeReductionMode_ReturnLightNotDetected" },
    { "79", "_rsExifFlashFired_CompulsoryFlashMode_RedEyeReductionMode_ReturnLightDetected" },
    { "89", "_rsExifFlashFired_AutoMode_RedEyeReductionMode" },
    { "93", "_rsExifFlashFired_AutoMode_ReturnLightNotDetected_RedEyeReductionMode" },
    { "95", "_rsExifFlashFired_AutoMode_ReturnLightDetected_RedEyeReductionMode" },
};

constexpr TExifDecodeRow kColorSpace[] = {
    { "0", "_rsExifSRGB" },
    { "1", "_rsExifSRGB" },
    { "2", "_rsExifAdobeRGB" },
};

constexpr TExifDecodeRow kExposureMode[] = {
    { "0", "_rsExifAuto" },
    { "1", "_rsExifManual" },
    { "2", "_rsExifAutoBracket" },
};

constexpr TExifDecodeRow kWhiteBalance[] = { { "0", "_rsExifAuto" }, { "1", "_rsExifManual" } };

constexpr TExifDecodeRow kSceneCaptureType[] = {
    { "0", "_rsExifStandard" },
    { "1", "_rsExifLandscape" },
    { "2", "_rsExifPortrait" },
    { "3", "_rsExifNightScene" },
};

constexpr TExifDecodeRow kSoftHard[]
    = { { "0", "_rsExifNormal" }, { "1", "_rsExifSoft" }, { "2", "_rsExifHard" } };

constexpr TExifDecodeRow kSaturation[]
    = { { "0", "_rsExifNormal" }, { "1", "_rsExifLowSaturation" }, { "2", "_rsExifHighSaturation" } };

QString withSuffix(const QString& value, const QString& suffix)
{
    return value.isEmpty() ? value : value + suffix;
}

} // namespace

void TExifSection::Clear()
{
    OlympusSection.Clear();
    for (QString* text : { &ExposureTime, &FNumber, &ExposureProgram, &ISOSpeedRatings, &SensitivityType,
             &ExifVersion, &DateTimeOriginal, &DateTimeDigitized, &ComponentsConfiguration,
             &ExposureBiasValue, &MaxApertureValue, &MeteringMode, &LightSource, &Flash, &FocalLength,
             &ColorSpace, &PixelXDimension, &PixelYDimension, &ExposureMode, &WhiteBalance, &DigitalZoomRatio,
             &SceneCaptureType, &Contrast, &Saturation, &Sharpness, &LensSpecification, &LensModel })
        text->clear();
}

QString TExifSection::DecodeExposureProgram(const QString& text)
{
    return DecodeByTable(text, kExposureProgram);
}

QString TExifSection::DecodeSensitivityType(const QString& text)
{
    return DecodeByTable(text, kSensitivityType);
}

QString TExifSection::DecodeComponentsConfiguration(const QString& text)
{
    if (text.isEmpty())
        return text;
    QStringList items = text.split(u';');
    for (QString& item : items)
        item = DecodeByTable(item, kComponents);
    return items.join(QStringLiteral(", "));
}

QString TExifSection::DecodeMaxApertureValue(const QString& text)
{
    double value = 0;
    if (!ParseGeneralNumber(text, value))
        return text;
    QString number = QString::number(value, 'f', 1);
    number.replace(u'.', QLocale().decimalPoint());
    return number;
}

QString TExifSection::DecodeMeteringMode(const QString& text)
{
    return DecodeByTable(text, kMeteringMode);
}

QString TExifSection::DecodeLightSource(const QString& text)
{
    return DecodeByTable(text, kLightSource);
}

QString TExifSection::DecodeFlash(const QString& text)
{
    for (const TExifDecodeRow& row : kFlash) {
        if (text == QLatin1String(row.Value))
            return rs(row.Name);
    }
    bool whole = false;
    const uint value = text.toUInt(&whole);
    if (!whole)
        return text;

    QStringList parts;
    parts << rs((value & 0x01) ? "_rsExifFlashFired" : "_rsExifFlashDidNotFire");
    switch ((value >> 1) & 0x03) {
    case 0:
        parts << rs("_rsExifNoStrobeReturnDetectionFunction");
        break;
    case 2:
        parts << rs("_rsExifStrobeReturnLightNotDetected");
        break;
    case 3:
        parts << rs("_rsExifStrobeReturnLightDetected");
        break;
    default:
        break;
    }
    switch ((value >> 3) & 0x03) {
    case 1:
        parts << rs("_rsExifCompulsoryFlashFiring");
        break;
    case 2:
        parts << rs("_rsExifCompulsoryFlashSuppression");
        break;
    case 3:
        parts << rs("_rsExifAutoMode");
        break;
    default:
        break;
    }
    parts << rs((value & 0x20) ? "_rsExifNoFlashFunction" : "_rsExifFlashFunctionPresent");
    if (value & 0x40)
        parts << rs("_rsExifReadEyeReductionMode");
    return parts.join(QStringLiteral(", "));
}

QString TExifSection::DecodeColorSpace(const QString& text)
{
    return DecodeByTable(text, kColorSpace);
}

void TExifSection::Store(const TTiffData& data, const TIfdEntry& entry)
{
    const auto ordinary = [&] { return FormatValue(data, entry); };
    switch (entry.Tag) {
    case 0x829A:
        ExposureTime = FormatValue(data, entry, QStringLiteral(";"), TFormatMode::Fraction);
        break;
    case 0x829D:
        FNumber = ordinary();
        break;
    case 0x8822:
        ExposureProgram = DecodeExposureProgram(ordinary());
        break;
    case 0x8827:
        ISOSpeedRatings = ordinary();
        break;
    case 0x8830:
        SensitivityType = DecodeSensitivityType(ordinary());
        break;
    case 0x9000:
        ExifVersion = FormatValue(data, entry, QStringLiteral(";"), TFormatMode::Character);
        break;
    case 0x9003:
        DateTimeOriginal = ordinary();
        break;
    case 0x9004:
        DateTimeDigitized = ordinary();
        break;
    case 0x9101:
        ComponentsConfiguration = DecodeComponentsConfiguration(ordinary());
        break;
    case 0x9204:
        ExposureBiasValue = withSuffix(ordinary(), u' ' + rs("_rsExifEV"));
        break;
    case 0x9205:
        MaxApertureValue = DecodeMaxApertureValue(ordinary());
        break;
    case 0x9207:
        MeteringMode = DecodeMeteringMode(ordinary());
        break;
    case 0x9208:
        LightSource = DecodeLightSource(ordinary());
        break;
    case 0x9209:
        Flash = DecodeFlash(ordinary());
        break;
    case 0x920A:
        FocalLength = withSuffix(ordinary(), QStringLiteral(" mm"));
        break;
    case 0xA001:
        ColorSpace = DecodeColorSpace(ordinary());
        break;
    case 0xA002:
        PixelXDimension = ordinary();
        break;
    case 0xA003:
        PixelYDimension = ordinary();
        break;
    case 0xA402:
        ExposureMode = DecodeByTable(ordinary(), kExposureMode);
        break;
    case 0xA403:
        WhiteBalance = DecodeByTable(ordinary(), kWhiteBalance);
        break;
    case 0xA404:
        DigitalZoomRatio = ordinary();
        break;
    case 0xA406:
        SceneCaptureType = DecodeByTable(ordinary(), kSceneCaptureType);
        break;
    case 0xA408:
        Contrast = DecodeByTable(ordinary(), kSoftHard);
        break;
    case 0xA409:
        Saturation = DecodeByTable(ordinary(), kSaturation);
        break;
    case 0xA40A:
        Sharpness = DecodeByTable(ordinary(), kSoftHard);
        break;
    case 0xA432:
        LensSpecification = ordinary();
        break;
    case 0xA434:
        LensModel = ordinary();
        break;
    default:
        break;
    }
}

void TExifSection::CollectProperties(QList<QPair<QString, QString>>& out) const
{
    const auto add = [&out](const char* name, const QString& value) {
        out.append({ QStringLiteral("ExifSection.") + QLatin1String(name), value });
    };
    add("ExposureTime", ExposureTime);
    add("FNumber", FNumber);
    add("ExposureProgram", ExposureProgram);
    add("ISOSpeedRatings", ISOSpeedRatings);
    add("SensitivityType", SensitivityType);
    add("ExifVersion", ExifVersion);
    add("DateTimeOriginal", DateTimeOriginal);
    add("DateTimeDigitized", DateTimeDigitized);
    add("ComponentsConfiguration", ComponentsConfiguration);
    add("ExposureBiasValue", ExposureBiasValue);
    add("MaxApertureValue", MaxApertureValue);
    add("MeteringMode", MeteringMode);
    add("LightSource", LightSource);
    add("Flash", Flash);
    add("FocalLength", FocalLength);
    add("ColorSpace", ColorSpace);
    add("PixelXDimension", PixelXDimension);
    add("PixelYDimension", PixelYDimension);
    add("ExposureMode", ExposureMode);
    add("WhiteBalance", WhiteBalance);
    add("DigitalZoomRatio", DigitalZoomRatio);
    add("SceneCaptureType", SceneCaptureType);
    add("Contrast", Contrast);
    add("Saturation", Saturation);
    add("Sharpness", Sharpness);
    add("LensSpecification", LensSpecification);
    add("LensModel", LensModel);
}
