#pragma once

#include <QtGlobal>

#include <span>

// The value-to-text maps of the Olympus maker-note decoders. Value texts are compared with the
// formatted value (or one of its items); Name is the registered text shown for it, nullptr for a
// row whose text is left out.
struct TOlympusValueText
{
    const char* Value;
    const char* Name;
};

// A bit of a whole number and the text it contributes (nullptr: only the separator).
struct TOlympusBitText
{
    quint32 Bit;
    const char* Name;
};

// A run of consecutive tags that fill consecutive UnknownN slots.
struct TOlympusTagRange
{
    quint16 First;
    quint16 Last;
};

// What a bracketing series varies; these abbreviations are not translated.
struct TOlympusBitLabel
{
    quint32 Bit;
    const char* Label;
};

// Gradation curves: the first three values as a whole.
struct TOlympusTripleText
{
    int A;
    int B;
    int C;
    const char* Name;
};

namespace OlympusTables {

inline constexpr TOlympusValueText kSpecialModeCapture[] = {
    { "0", "_rsExifNormal" },
    { "2", "_rsExifFast" },
    { "3", "_rsExifPanorama" },
};

// Panorama directions: the third item of SpecialMode and the first of PanoramaMode.
inline constexpr TOlympusValueText kPanoramaDirection[] = {
    { "1", "_rsExifLeftToRight" },
    { "2", "_rsExifRightToLeft" },
    { "3", "_rsExifBottomToTop" },
    { "4", "_rsExifTopToBottom" },
};

inline constexpr TOlympusValueText kPanoramaMode[] = {
    { "0", "_rsExifOff" },
    { "1", "_rsExifLeftToRight" },
    { "2", "_rsExifRightToLeft" },
    { "3", "_rsExifBottomToTop" },
    { "4", "_rsExifTopToBottom" },
};

inline constexpr TOlympusValueText kExposureMode[] = {
    { "1", "_rsExifModeManual" },
    { "2", "_rsExifModeProgram" },
    { "3", "_rsExifModeAperture" },
    { "4", "_rsExifModeShutter" },
    { "5", "_rsExifModeProgramShift" },
};

inline constexpr TOlympusValueText kOnOff[] = {
    { "0", "_rsExifDeactivated" },
    { "1", "_rsExifActivated" },
};

inline constexpr TOlympusValueText kMeteringMode[] = {
    { "2", "_rsExifCenterWeightedAverage" },
    { "3", "_rsExifSpot" },
    { "5", "_rsExifPattern" },
    { "261", "_rsExifPatternAndAF" },
    { "515", "_rsExifSpotAndHighlightControl" },
    { "1027", "_rsExifSpotAndShadowControl" },
};

inline constexpr TOlympusValueText kMacroMode[] = {
    { "0", "_rsExifDeactivated" },
    { "1", "_rsExifActivated" },
    { "2", "_rsExifSuperMacroActivated" },
};

inline constexpr TOlympusValueText kFocusMode[] = {
    { "0", "_rsExifSingleAF" },
    { "1", "_rsExifSequentialShootingAF" },
    { "2", "_rsExifContinousShootingAF" },
    { "3", "_rsExifMultiShootingAF" },
    { "4", "_rsExifFaceDetection" },
    { "10", "_rsExifManualFocus" },
};

inline constexpr TOlympusBitText kFocusModeBits[] = {
    { 1, "_rsExifSAF" },
    { 2, nullptr },
    { 4, "_rsExifCAF" },
    { 8, nullptr },
    { 16, "_rsExifMF" },
    { 32, "_rsExifFaceDetection" },
    { 64, "_rsExifImagerAF" },
    { 128, "_rsExifLiveViewMagnificationFrame" },
    { 256, "_rsExifAFSensor" },
};

inline constexpr TOlympusValueText kFocusProcess[] = {
    { "0", "_rsExifAFNotUsed" },
    { "1", "_rsExifAFUsed" },
};

inline constexpr TOlympusValueText kAFSearch[] = {
    { "0", "_rsExifNotReady" },
    { "1", "_rsExifReady" },
};

inline constexpr TOlympusValueText kFlashMode[] = {
    { "0", "_rsExifOff" },
    { "1", "_rsExifOnAutoFlash" },
    { "3", "_rsExifOnFillInFlash" },
    { "5", "_rsExifOnRedEyeReductionFlash" },
    { "7", "_rsExifOnFillInFlashWithRedEyeReduction" },
    { "9", "_rsExifOnSlow1stCurtain" },
    { "13", "_rsExifOnSlow1stCurtainWithRedEyeReduction" },
    { "17", "_rsExifFlashOn" },
    { "19", "_rsExifOnFillInFlash" },
    { "35", "_rsExifOnFillInFlash2ndCurtain" },
    { "41", "_rsExifOnSlow2ndCurtain" },
    { "57", "_rsExifOnSlow2ndCurtain" },
};

inline constexpr TOlympusBitText kFlashModeBits[] = {
    { 1, "_rsExifFlashOn" },
    { 2, "_rsExifFillInFlash" },
    { 4, "_rsExifRedEyeReductionFlash" },
    { 8, "_rsExifSlowSyncFlash" },
    { 16, "_rsExifForcedOnFlash" },
    { 32, "_rsExif2ndCurtainFlash" },
};

inline constexpr TOlympusValueText kFlashControlMode[] = {
    { "0", "_rsExifOff" },
    { "3", "_rsExifTTL" },
    { "4", "_rsExifAuto" },
    { "5", "_rsExifManual" },
};

inline constexpr TOlympusValueText kWhiteBalance[] = {
    { "0", "_rsExifAuto" },
    { "16", "_rsExifFineWeatherWithShade7500K" },
    { "17", "_rsExifCloudy6000K" },
    { "18", "_rsExifFineWeather5300K" },
    { "20", "_rsExifTungstenLight3000K" },
    { "21", "_rsExifTungstenLightLike3600K" },
    { "33", "_rsExifDaylightFlourescent6600K" },
    { "34", "_rsExifNeutralWhiteFlourescent4500K" },
    { "35", "_rsExifCoolWhiteFlourescent4000K" },
    { "48", "_rsExifTungstenLightLike3600K" },
    { "256", "_rsExifCustom1" },
    { "257", "_rsExifCustom2" },
    { "258", "_rsExifCustom3" },
    { "259", "_rsExifCustom4" },
    { "512", "_rsExifCustomWB5400K" },
    { "513", "_rsExifCustomWB2900K" },
    { "514", "_rsExifCustomWB8000K" },
};

inline constexpr TOlympusValueText kModifiedSaturation[] = {
    { "0", "_rsExifNone" },
    { "1", "_rsExifCM1RedEnhance" },
    { "2", "_rsExifCM2GreenEnhance" },
    { "3", "_rsExifCM3BlueEnhance" },
    { "4", "_rsExifCM4SkinTones" },
};

inline constexpr TOlympusValueText kColorSpace[] = {
    { "0", "_rsExifSRGB" },
    { "1", "_rsExifAdobeRGB" },
    { "2", "_rsExifProPhotoRGB" },
};

inline constexpr TOlympusValueText kSceneMode[] = {
    { "0", "_rsExifStandard" },
    { "6", "_rsExifAuto" },
    { "7", "_rsExifSport" },
    { "8", "_rsExifPortrait" },
    { "9", "_rsExifLandscapeAndPortrait" },
    { "10", "_rsExifLandscape" },
    { "11", "_rsExifNightScene" },
    { "12", "_rsExifSelfPortrait" },
    { "13", "_rsExifPanorama" },
    { "14", "_rsExifTwoInOne" },
    { "15", "_rsExifMovie" },
    { "16", "_rsExifLandscapeAndPortrait" },
    { "17", "_rsExifNightAndPortrait" },
    { "18", "_rsExifIndoor" },
    { "19", "_rsExifFireworks" },
    { "20", "_rsExifSunset" },
    { "21", "_rsExifBeautySkin" },
    { "22", "_rsExifMacro" },
    { "23", "_rsExifSuperMacro" },
    { "24", "_rsExifFood" },
    { "25", "_rsExifDocuments" },
    { "26", "_rsExifMuseum" },
    { "27", "_rsExifShootAndSelect" },
    { "28", "_rsExifBeachAndSnow" },
    { "29", "_rsExifSelfPortraitAndTimer" },
    { "30", "_rsExifCandle" },
    { "31", "_rsExifAvailableLight" },
    { "32", "_rsExifBehindGlass" },
    { "33", "_rsExifMyMode" },
    { "34", "_rsExifPet" },
    { "35", "_rsExifUnterwaterWide1" },
    { "36", "_rsExifUnterwaterMacro" },
    { "37", "_rsExifShootAndSelect1" },
    { "38", "_rsExifShootAndSelect2" },
    { "39", "_rsExifHighKey" },
    { "40", "_rsExifDigitalImageStabilization" },
    { "41", "_rsExifAction" },
    { "42", "_rsExifSnow" },
    { "43", "_rsExifBeach" },
    { "44", "_rsExifUnderwaterWide2" },
    { "45", "_rsExifLowKey" },
    { "46", "_rsExifChildren" },
    { "47", "_rsExifVivid" },
    { "48", "_rsExifNatureMacro" },
    { "49", "_rsExifUnderwaterSnapshot" },
    { "50", "_rsExifShootingGuide" },
    { "54", "_rsExifFacePortrait" },
    { "57", "_rsExifBulb" },
    { "59", "_rsExifSmileShot" },
    { "60", "_rsExifQuickShutter" },
    { "63", "_rsExifSlowShutter" },
    { "64", "_rsExifBirdWatching" },
    { "65", "_rsExifMultipleExposure" },
    { "66", "_rsExifEPortrait" },
    { "67", "_rsExifSoftBackgroundShot" },
    { "142", "_rsExifHandheldStarlight" },
    { "154", "_rsExifHDR" },
};

inline constexpr TOlympusValueText kNoiseReduction[] = {
    { "0", "_rsExifOff" },
    { "1", "_rsExifNoiseReduction" },
    { "2", "_rsExifNoiseFilter" },
    { "3", "_rsExifNoiseReductionAndNoiseFilter" },
    { "4", "_rsExifNoiseFilterIsoBoost" },
    { "5", "_rsExifNoiseReductionAndNoiseFilterIsoBoost" },
    { "8", "_rsExifAuto" },
};

// Both spellings of 2.7: the formatted value carries the user's decimal separator.
inline constexpr TOlympusValueText kCompressionFactor[] = {
    { "2.7", "_rsExifCompressionExtraFine" },
    { "2,7", "_rsExifCompressionExtraFine" },
    { "4", "_rsExifCompressionFine" },
    { "8", "_rsExifCompressionNormal" },
    { "12", "_rsExifCompressionBasic" },
};

inline constexpr TOlympusValueText kPictureMode[] = {
    { "1", "_rsExifPictureModeVivid" },
    { "2", "_rsExifPictureModeNatural" },
    { "3", "_rsExifPictureModeMuted" },
    { "4", "_rsExifPictureModePortrait" },
    { "5", "_rsExifPictureModeIEnhance" },
    { "256", "_rsExifPictureModeMonotone" },
    { "512", "_rsExifSepia" },
};

inline constexpr TOlympusValueText kPictureModeBWFilter[] = {
    { "0", "_rsExifNotAvailable" },
    { "1", "_rsExifNeutral" },
    { "2", "_rsExifYellow" },
    { "3", "_rsExifOrange" },
    { "4", "_rsExifRed" },
    { "5", "_rsExifGreen" },
};

inline constexpr TOlympusValueText kPictureModeTone[] = {
    { "0", "_rsExifNotAvailable" },
    { "1", "_rsExifNeutral" },
    { "2", "_rsExifSepia" },
    { "3", "_rsExifBlue" },
    { "4", "_rsExifPurple" },
    { "5", "_rsExifGreen" },
};

inline constexpr TOlympusValueText kArtFilter[] = {
    { "0", "_rsExifNone2" },
    { "1", "_rsExifArtSoftFocus" },
    { "2", "_rsExifArtPopArt" },
    { "3", "_rsExifArtPaleAndLightColor" },
    { "4", "_rsExifArtLightTone" },
    { "5", "_rsExifArtPinHole" },
    { "6", "_rsExifArtGrainyFilm" },
    { "9", "_rsExifArtDiorama" },
    { "10", "_rsExifArtCrossProcess" },
    { "12", "_rsExifArtFishEye" },
    { "13", "_rsExifArtDrawing" },
    { "14", "_rsExifArtGentleSepia" },
    { "15", "_rsExifArtTenderLight" },
    { "16", "_rsExifArtPopArt2" },
    { "17", "_rsExifArtPinHole2" },
    { "18", "_rsExifArtPinHole3" },
    { "19", "_rsExifArtGrainyFilm2" },
    { "20", "_rsExifArtDramaticTone" },
    { "21", "_rsExifArtPunk" },
    { "22", "_rsExifArtSoftFocus2" },
    { "23", "_rsExifArtSparkle" },
    { "24", "_rsExifArtWaterColor" },
    { "25", "_rsExifArtKeyLine" },
    { "27", "_rsExifArtMiniature" },
    { "28", "_rsExifArtReflection" },
    { "29", "_rsExifArtFragmented" },
    { "32", "_rsExifArtDramaticToneBlackAndWhite" },
    { "33", "_rsExifArtWaterColor2" },
};

// The fifth item of PMArtFilter2; other codes add nothing.
inline constexpr TOlympusValueText kArtFilterEffect[] = {
    { "0", "_rsExifArtNoEffect" },
    { "32784", "_rsExifArtStarLight" },
    { "32800", "_rsExifArtPinHole" },
    { "32816", "_rsExifArtFrame" },
    { "32832", "_rsExifArtSoftFocus" },
    { "32848", "_rsExifArtWhiteEdge" },
    { "32864", "_rsExifArtBlackAndWhite" },
};

inline constexpr TOlympusValueText kDriveMode[] = {
    { "0", "_rsExifSingleFrame" },
    { "1", "_rsExifSequentialShooting" },
    { "2", "_rsExifAEBracket" },
    { "3", "_rsExifWBBracket" },
    { "4", "_rsExifAEWBBracket" },
    { "5", "_rsExifBracket" },
};

inline constexpr TOlympusBitLabel kBracketBits[] = {
    { 1, "AE" },
    { 2, "WB" },
    { 4, "FL" },
    { 8, "MF" },
    { 16, "ISO" },
};

inline constexpr TOlympusTripleText kGradation[] = {
    { -1, -1, 1, "_rsExifLowKey" },
    { 0, -1, 1, "_rsExifNormal" },
    { 1, -1, 1, "_rsExifHighKey" },
    { 0, 0, 0, "_rsExifNotAvailable" },
};

inline constexpr TOlympusValueText kGradationSource[] = {
    { "0", "_rsExifUserSelected" },
    { "1", "_rsExifAutoOverride" },
};

inline constexpr TOlympusTagRange kCameraSettingsUnknown[] = {
    { 0x0528, 0x0528 },
    { 0x052A, 0x052A },
    { 0x052B, 0x052B },
    { 0x0530, 0x0530 },
    { 0x0531, 0x0531 },
    { 0x0532, 0x0532 },
    { 0x0605, 0x0605 },
    { 0x0800, 0x0800 },
    { 0x0802, 0x0802 },
    { 0x0908, 0x0908 },
};

inline constexpr TOlympusTagRange kImageProcessingUnknown[] = {
    { 0x0617, 0x0617 },
    { 0x0638, 0x0638 },
    { 0x0802, 0x0802 },
    { 0x0804, 0x0804 },
    { 0x0805, 0x0805 },
    { 0x1003, 0x1003 },
    { 0x1004, 0x1004 },
    { 0x101B, 0x101B },
    { 0x101D, 0x101D },
    { 0x101E, 0x101E },
    { 0x1107, 0x1110 },
    { 0x1114, 0x111B },
    { 0x111D, 0x1127 },
    { 0x1202, 0x120B },
    { 0x1300, 0x1308 },
    { 0x1401, 0x1401 },
    { 0x1402, 0x1402 },
    { 0x1404, 0x1404 },
    { 0x1405, 0x1405 },
    { 0x1406, 0x1406 },
    { 0x1409, 0x1409 },
    { 0x1500, 0x150F },
    { 0x1600, 0x1604 },
    { 0x1700, 0x1700 },
};

inline constexpr TOlympusTagRange kFocusInfoUnknown[] = {
    { 0x0200, 0x0207 },
    { 0x020A, 0x0210 },
    { 0x0213, 0x0215 },
    { 0x0219, 0x021B },
    { 0x0302, 0x0302 },
    { 0x0307, 0x0307 },
    { 0x0309, 0x0316 },
    { 0x0318, 0x031E },
    { 0x0320, 0x0320 },
    { 0x0321, 0x0321 },
    { 0x0324, 0x032E },
    { 0x0402, 0x0402 },
    { 0x1200, 0x1200 },
    { 0x1501, 0x1501 },
    { 0x1502, 0x1502 },
    { 0x1700, 0x1700 },
    { 0x1800, 0x1800 },
    { 0x1801, 0x1801 },
    { 0x1900, 0x1900 },
};

constexpr int slotCount(std::span<const TOlympusTagRange> ranges)
{
    int n = 0;
    for (const TOlympusTagRange& r : ranges)
        n += r.Last - r.First + 1;
    return n;
}

// The UnknownN slot of a tag, or -1 when the tag has none.
constexpr int unknownSlot(std::span<const TOlympusTagRange> ranges, quint16 tag)
{
    int n = 0;
    for (const TOlympusTagRange& r : ranges) {
        if (tag >= r.First && tag <= r.Last)
            return n + (tag - r.First);
        n += r.Last - r.First + 1;
    }
    return -1;
}

static_assert(slotCount(kCameraSettingsUnknown) == 10);
static_assert(slotCount(kImageProcessingUnknown) == 86);
static_assert(slotCount(kFocusInfoUnknown) == 65);

} // namespace OlympusTables
