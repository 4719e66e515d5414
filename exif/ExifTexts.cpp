#include "exif/ExifTexts.h"

namespace {

// The German defaults are the program's built-in language; English.txt translates each name.
constexpr TNamedText kExifTexts[] = {
    // Exif directory
    { "_rsExifEV", "EV" },
    { "_rsExifSRGB", "sRGB" },
    { "_rsExifAdobeRGB", "Adobe RGB" },
    { "_rsExifAuto", "Automatik" },
    { "_rsExifManual", "Manuell" },
    { "_rsExifAutoBracket", "automatische Belichtungsreihe" },
    { "_rsExifStandard", "Standard" },
    { "_rsExifLandscape", "Landschaft" },
    { "_rsExifPortrait", "Portrait" },
    { "_rsExifNightScene", "Nachtszene" },
    { "_rsExifNormal", "Normal" },
    { "_rsExifSoft", "Weich" },
    { "_rsExifHard", "Hart" },
    { "_rsExifLowSaturation", "Gering" },
    { "_rsExifHighSaturation", "Hoch" },
    // Exposure program
    { "_rsExifNotDefined", "Nicht definiert" },
    { "_rsExifArtMode", "Kreativmodus" },
    { "_rsExifActionMode", "Aktionsmodus" },
    { "_rsExifPortraitMode", "Portraitmodus" },
    { "_rsExifLandscapeMode", "Landschaftsmodus" },
    { "_rsExifBulb", "Bulb" },
    // Sensitivity type
    { "_rsExifUnknown", "Unbekannt" },
    { "_rsExifStandardOutputSensitivity", "Standard Output Sensitivity" },
    { "_rsExifRecommendedExposureIndex", "Recommended Exposure Index" },
    { "_rsExifISOSpeed", "ISO Speed" },
    { "_rsExifStandardOutputSensitivityAndRecommendedExposureIndex",
        "Standard Output Sensitivity and Recommended Exposure Index" },
    { "_rsExifStandardOutputSensitivityAndISOSpeed", "Standard Output Sensitivity and ISO Speed" },
    { "_rsExifRecommendedExposureIndexAndISOSpeed", "Recommended Exposure Index and ISO Speed" },
    { "_rsExifStandardOutputSensitivityRecommendedExposureIndexAndISOSpeed",
        "Standard Output Sensitivity, Recommended Exposure Index and ISO Speed" },
    // Metering mode
    { "_rsExifAverage", "Digitale ESP-Messung" },
    { "_rsExifCenterWeightedAverage", "Mittengewichtete Integralmessung" },
    { "_rsExifSpot", "Spotmessung" },
    { "_rsExifMultiSpot", "Mehrfach-Spotmessung" },
    { "_rsExifPattern", "Mustermessung" },
    { "_rsExifPartial", "Teilmessung" },
    { "_rsExifOtherMetering", "Andere Messmethode" },
    // Light source
    { "_rsExifDaylight", "Tageslicht" },
    { "_rsExifFluorescent", "Fluoreszierend" },
    { "_rsExifIncandescentLight", "Weißglühendes Licht (Tungsten)" },
    { "_rsExifFlash", "Blitz" },
    { "_rsExifFineWeather", "Sonnig" },
    { "_rsExifCloudyWeather", "Bewölkt" },
    { "_rsExifShade", "Schatten" },
    { "_rsExifDaylightFluorescent", "Tageslicht fluoreszierend (5700 - 7100K)" },
    { "_rsExifDayWhiteFluorescent", "Tagesweiß fluoreszierend (4600 - 5400K)" },
    { "_rsExifCoolWhiteFluorescent", "Kaltweiß fluoreszierend (3900 - 4500K)" },
    { "_rsExifWhiteFluorescent", "Weiß fluoreszierend (3200 - 3700K)" },
    { "_rsExifStandardLightA", "Standardlicht A" },
    { "_rsExifStandardLightB", "Standardlicht B" },
    { "_rsExifStandardLightC", "Standardlicht C" },
    { "_rsExifISOStudioTungsten", "ISO Studio Tungsten" },
    { "_rsExifOtherLightSource", "Andere Lichtquelle" },
    // Flash
    { "_rsExifFlashDidNotFire", "Blitz nicht ausgelöst" },
    { "_rsExifFlashFired", "Blitz ausgelöst" },
    { "_rsExifStrobeReturnLightNotDetected", "Stroboskop nicht erkannt" },
    { "_rsExifStrobeReturnLightDetected", "Stroboskop erkannt" },
    { "_rsExifFlashFired_CompulsoryFlashMode", "erzwungener Blitz ausgelöst" },
    { "_rsExifFlashFired_CompulsoryFlashMode_ReturnLightNotDetected",
        "Erzwungener Blitz ausgelöst, kein Gegenlicht erkannt" },
    { "_rsExifFlashFired_CompulsoryFlashMode_ReturnLightDetected",
        "Erzwungener Blitz ausgelöst, Gegenlicht erkannt" },
    { "_rsExifFlashDidNotFire_CompulsoryFlashMode", "Erzwungener Blitz nicht ausgelöst" },
    { "_rsExifFlashDidNotFire_AutoMode", "Blitz nicht ausgelöst, Automatik" },
    { "_rsExifFlashFired_AutoMode", "Blitz ausgelöst, Automatik" },
    { "_rsExifFlashFired_AutoMode_ReturnLightNotDetected",
        "Blitz ausgelöst, Automatik, kein Gegenlicht erkannt" },
    { "_rsExifFlashFired_AutoMode_ReturnLightDetected", "Blitz ausgelöst, Automatik, Gegenlicht erkannt" },
    { "_rsExifNoFlashFunction", "Kein Blitz" },
    { "_rsExifFlashFired_RedEyeReductionMode", "Blitz ausgelöst, Rote-Augen-Effekt reduzieren" },
    { "_rsExifFlashFired_RedEyeReductionMode_ReturnLightNotDetected",
        "Blitz ausgelöst, Rote-Augen-Effekt reduzieren, kein Gegenlicht erkannt" },
    { "_rsExifFlashFired_RedEyeReductionMode_ReturnLightDetected",
        "Blitz ausgelöst, Rote-Augen-Effekt reduzieren, Gegenlicht erkannt" },
    { "_rsExifFlashFired_CompulsoryFlashMode_RedEyeReductionMode",
        "Erzwungener Blitz ausgelöst, Rote-Augen-Effekt reduzieren" },
    { "_rsExifFlashFired_CompulsoryFlashMode_RedEyeReductionMode_ReturnLightNotDetected",
        "Erzwungener Blitz ausgelöst, Rote-Augen-Effekt reduzieren, kein Gegenlicht erkannt" },
    { "_rsExifFlashFired_CompulsoryFlashMode_RedEyeReductionMode_ReturnLightDetected",
        "Erzwungener Blitz ausgelöst, Rote-Augen-Effekt reduzieren, Gegenlicht erkannt" },
    { "_rsExifFlashFired_AutoMode_RedEyeReductionMode",
        "Blitz ausgelöst, Automatik, Rote-Augen-Effekt reduzieren" },
    { "_rsExifFlashFired_AutoMode_ReturnLightNotDetected_RedEyeReductionMode",
        "Blitz ausgelöst, Automatik, kein Gegenlicht erkannt, Rote-Augen-Effekt reduzieren" },
    { "_rsExifFlashFired_AutoMode_ReturnLightDetected_RedEyeReductionMode",
        "Blitz ausgelöst, Automatik, Gegenlicht erkannt, Rote-Augen-Effekt reduzieren" },
    { "_rsExifNoStrobeReturnDetectionFunction", "Stroboskoperkennung nicht möglich" },
    { "_rsExifCompulsoryFlashFiring", "Erzwungener Blitz" },
    { "_rsExifCompulsoryFlashSuppression", "Erzwungener Blitz unterdrückt" },
    { "_rsExifAutoMode", "Automatik" },
    { "_rsExifFlashFunctionPresent", "Blitz vorhanden" },
    { "_rsExifReadEyeReductionMode", "Rote-Augen-Effekt" },
    // GPS directory
    { "_rsExifNorth", "Nord" },
    { "_rsExifSouth", "Süd" },
    { "_rsExifEast", "Ost" },
    { "_rsExifWest", "West" },
    { "_rsExifAboveSeaLevel", "Höhe über NN" },
    { "_rsExifBelowSeaLevel", "Höhe unter NN" },
    { "_rsExifMeasurementInProgress", "Messung im Verlauf" },
    { "_rsExifMeasurementIsInteroperability", "Messung Interoperabilität" },
    // Captions of the image information list
    { "_rsGeneral", "Allgemein" },
    { "_rsAuthor", "Autor" },
    { "_rsCopyright", "Copyright" },
    { "_rsReleaseDate", "Aufnahmedatum" },
    { "_rsHardware", "Hardware" },
    { "_rsCamera", "Kamera" },
    { "_rsCameraFirmware", "Kamera-Firmware" },
    { "_rsInternalSerialNumber", "Interne Seriennummer" },
    { "_rsLens", "Objektiv" },
    { "_rsLensFirmware", "Objektiv-Firmware" },
    { "_rsFocalLengthRange", "Brennweitenbereich" },
    { "_rsFocalPlaneDiagonal", "Sensordiagonale" },
    { "_rsSensorTemperature", "Sensortemperatur" },
    { "_rsCameraSettings", "Kameraeinstellungen" },
    { "_rsResolution", "Auflösung" },
    { "_rsCompressionFactor", "Komprimierung" },
    { "_rsFocalLength", "Brennweite" },
    { "_rsFocusMode", "Fokusmodus" },
    { "_rsFocusProcess", "Autofokus" },
    { "_rsFocusDistance", "Fokusentfernung" },
    { "_rsAFFocusAdjust", "Autofokusabstimmung" },
    { "_rsAFSearch", "AF-Suche" },
    { "_rsFaceDetect", "Gesichtserkennung" },
    { "_rsArtFilter", "ART-Filter" },
    { "_rsPMEffect", "Bildeffekt" },
    { "_rsDriveMode", "Auslöseart" },
    { "_rsPanoramaMode", "Panoramamodus" },
    { "_rsExposureMode", "Programmmodus" },
    { "_rsExposureTime", "Verschlusszeit" },
    { "_rsExposureBias", "Belichtungskorrektur" },
    { "_rsExposureShift", "Belichtungsverschiebung" },
    { "_rsMeteringMode", "Messmethode" },
    { "_rsPictureMode", "Bildmodus" },
    { "_rsMacroMode", "Makromodus" },
    { "_rsFNumber", "Blende" },
    { "_rsAELock", "Belichtungssperre" },
    { "_rsISOSensitivity", "ISO-Empfindlichkeit" },
    { "_rsWhiteBalance", "Weißabgleich" },
    { "_rsWhitebalanceTemperature", "Weißabgleichstemperatur" },
    { "_rsExtendedWBDetect", "Erw. WB-Erkennung" },
    { "_rsNoiseReduction", "Rauschunterdrückung" },
    { "_rsNoiseFilter", "Rauschfilter" },
    { "_rsColorSpace", "Farbraum" },
    { "_rsComponentsConfiguration", "Komponentenkonfig." },
    { "_rsContrastSetting", "Kontrasteinstellung" },
    { "_rsSaturation", "Sättigung" },
    { "_rsModifiedSaturation", "Sättigungsmodifikation" },
    { "_rsSharpness", "Schärfe" },
    { "_rsDistortionCorrection", "Verzeichnungskorrektur" },
    { "_rsGradation", "Gradation" },
    { "_rsGradationSettings", "Gradationseinstellung" },
    { "_rsShadingCompensation", "Tönungsausgleich" },
    { "_rsPictureModeBWFilter", "BW-Filter" },
    { "_rsPictureModeTone", "Farbton" },
    { "_rsDigitalZoomRatio", "Digitale Vergrößerung" },
    { "_rsImageStabilization", "Bildstabilisierung" },
    { "_rsFlash", "Blitz" },
    { "_rsFlashMode", "Blitzmodus" },
    { "_rsFlashRemoteControl", "Blitzfernsteuerung" },
    { "_rsLightSource", "Lichtquelle" },
    { "_rsSceneCaptureType", "Szenenaufnahmetyp" },
    { "_rsSensetivityType", "Empfindlichkeitstyp" },
    { "_rsGPSData", "GPS-Daten" },
    { "_rsLatitude", "Breite" },
    { "_rsLongitude", "Länge" },
    { "_rsAltitude", "Höhe" },
    { "_rsStatus", "Status" },
};

} // namespace

void RegisterExifTexts()
{
    // Registration is idempotent, but taking the registry's write lock on every file read is not free.
    static const bool registered = [] {
        TNamedTexts::Register(kExifTexts);
        return true;
    }();
    Q_UNUSED(registered);
}

std::span<const TNamedText> ExifTexts()
{
    return kExifTexts;
}

QString DecodeByTable(const QString& text, std::span<const TExifDecodeRow> table)
{
    for (const TExifDecodeRow& row : table) {
        if (text == QLatin1String(row.Value))
            return row.Name ? rs(row.Name) : QString::fromUtf8(row.Fixed);
    }
    return text;
}
