#include "exif/TOlympusCameraSettingsSection.h"

#include "exif/TOlympusTagRow.h"

namespace {

using Row = TOlympusTagRow<TOlympusCameraSettingsSection>;
using S = TOlympusCameraSettingsSection;
using R = TOlympusRule;
namespace T = OlympusTables;

constexpr quint16 kAFAreasTag = 0x0304;
constexpr quint16 kAFPointSelectedTag = 0x0305;

constexpr Row kRows[] = {
    { 0x0000, "CameraSettingsVersion", &S::CameraSettingsVersion, R::Characters },
    { 0x0100, "PreviewImageValid", &S::PreviewImageValid },
    { 0x0101, "PreviewImageStart", &S::PreviewImageStart },
    { 0x0102, "PreviewImageLength", &S::PreviewImageLength },
    { 0x0200, "ExposureMode", &S::ExposureMode, R::WholeValue, T::kExposureMode },
    { 0x0201, "AELock", &S::AELock, R::WholeValue, T::kOnOff },
    { 0x0202, "MeteringMode", &S::MeteringMode, R::WholeValue, T::kMeteringMode },
    { 0x0203, "ExposureShift", &S::ExposureShift },
    { 0x0300, "MacroMode", &S::MacroMode, R::WholeValue, T::kMacroMode },
    { 0x0301, "FocusMode", &S::FocusMode, R::FocusMode },
    { 0x0302, "FocusProcess", &S::FocusProcess, R::FirstItem, T::kFocusProcess },
    { 0x0303, "AFSearch", &S::AFSearch, R::WholeValue, T::kAFSearch },
    { kAFAreasTag, "AFAreas", &S::AFAreas, R::AFAreas },
    { kAFPointSelectedTag, "AFPointSelected", &S::AFPointSelected, R::AFPointSelected },
    { 0x0306, "AFFocusAdjust", &S::AFFocusAdjust, R::WholeValue, T::kOnOff },
    { 0x0307, "AFFineTuneAdj", &S::AFFineTuneAdj },
    { 0x0400, "FlashMode", &S::FlashMode, R::FlashMode },
    { 0x0401, "FlashExposureComp", &S::FlashExposureComp },
    { 0x0402, "Flash_3_0402", &S::Flash_3_0402 },
    { 0x0403, "FlashRemoteControl", &S::FlashRemoteControl, R::FlashRemoteControl },
    { 0x0404, "FlashControlMode", &S::FlashControlMode, R::FlashControlMode },
    { 0x0405, "FlashIntensity", &S::FlashIntensity },
    { 0x0406, "ManualFlashStrength", &S::ManualFlashStrength },
    { 0x0500, "WhiteBalance", &S::WhiteBalance, R::WholeValue, T::kWhiteBalance },
    { 0x0501, "WhiteBalanceTemperature", &S::WhiteBalanceTemperature, R::WhiteBalanceTemperature },
    { 0x0502, "WhiteBalanceBracket", &S::WhiteBalanceBracket },
    { 0x0503, "CustomSaturation", &S::CustomSaturation, R::Range },
    { 0x0504, "ModifiedSaturation", &S::ModifiedSaturation, R::WholeValue, T::kModifiedSaturation },
    { 0x0505, "ContrastSetting", &S::ContrastSetting, R::Range },
    { 0x0506, "SharpnessSetting", &S::SharpnessSetting, R::Range },
    { 0x0507, "ColorSpace", &S::ColorSpace, R::WholeValue, T::kColorSpace },
    { 0x0509, "SceneMode", &S::SceneMode, R::WholeValue, T::kSceneMode },
    { 0x050A, "NoiseReduction", &S::NoiseReduction, R::WholeValue, T::kNoiseReduction },
    { 0x050B, "DistortionCorrection", &S::DistortionCorrection, R::WholeValue, T::kOnOff },
    { 0x050C, "ShadingCompensation", &S::ShadingCompensation, R::WholeValue, T::kOnOff },
    { 0x050D, "CompressionFactor", &S::CompressionFactor, R::WholeValue, T::kCompressionFactor },
    { 0x050F, "Gradation", &S::Gradation, R::Gradation },
    { 0x0520, "PictureMode", &S::PictureMode, R::FirstItem, T::kPictureMode },
    { 0x0521, "PictureModeSaturation", &S::PictureModeSaturation, R::Range },
    { 0x0522, "PictureModeHue", &S::PictureModeHue },
    { 0x0523, "PictureModeContrast", &S::PictureModeContrast, R::Range },
    { 0x0524, "PictureModeSharpness", &S::PictureModeSharpness, R::Range },
    { 0x0525, "PictureModeBWFilter", &S::PictureModeBWFilter, R::WholeValue, T::kPictureModeBWFilter },
    { 0x0526, "PictureModeTone", &S::PictureModeTone, R::WholeValue, T::kPictureModeTone },
    { 0x0527, "NoiseFilter", &S::NoiseFilter, R::NoiseFilter },
    { 0x0529, "ArtFilter", &S::ArtFilter, R::ArtFilter },
    { 0x052D, "PMEffect", &S::PMEffect, R::PMEffect },
    { 0x052E, "GradationManualSettings", &S::GradationManualSettings, R::HighlightShadow },
    { 0x052F, "PMArtFilter2", &S::PMArtFilter2, R::PMArtFilter2 },
    { 0x0600, "DriveMode", &S::DriveMode, R::DriveMode },
    { 0x0601, "PanoramaMode", &S::PanoramaMode, R::PanoramaMode },
    { 0x0604, "ImageStabilization", &S::ImageStabilization, R::ImageStabilization },
    { 0x0900, "ManometerPressure", &S::ManometerPressure },
    { 0x0901, "ManometerReading", &S::ManometerReading },
    { 0x0902, "ExtendedWBDetect", &S::ExtendedWBDetect, R::WholeValue, T::kOnOff },
};

static_assert(std::size(kRows) == 55);
static_assert(std::size(T::kSceneMode) == 57);

} // namespace

void TOlympusCameraSettingsSection::SetImageSize(int width, int height)
{
    m_imageWidth = width;
    m_imageHeight = height;
}

void TOlympusCameraSettingsSection::Clear()
{
    *this = TOlympusCameraSettingsSection();
}

void TOlympusCameraSettingsSection::Store(const TTiffData& data, const TIfdEntry& entry)
{
    if (entry.Tag == kAFAreasTag) {
        AFAreas = TOlympusDecoders::AFAreas(OlympusTagRows::format(data, entry, R::Formatted), m_afAreas);
        return;
    }
    if (entry.Tag == kAFPointSelectedTag) {
        bool decoded = false;
        AFPointSelected = TOlympusDecoders::AFPointSelected(OlympusTagRows::format(data, entry, R::Formatted),
            m_imageWidth, m_imageHeight, m_afPoint, &decoded);
        m_hasAfPoint = m_hasAfPoint || decoded;
        return;
    }
    OlympusTagRows::store<S>(*this, kRows, OlympusTables::kCameraSettingsUnknown, Unknown, data, entry);
}

void TOlympusCameraSettingsSection::CollectProperties(QList<QPair<QString, QString>>& out) const
{
    OlympusTagRows::collect<S>(*this, kRows, QStringLiteral("CameraSettingsSection"), out);
}
