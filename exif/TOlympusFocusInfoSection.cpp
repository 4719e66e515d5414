#include "exif/TOlympusFocusInfoSection.h"

#include "exif/TOlympusTagRow.h"

namespace {

using Row = TOlympusTagRow<TOlympusFocusInfoSection>;
using S = TOlympusFocusInfoSection;
using R = TOlympusRule;

constexpr Row kRows[] = {
    { 0x0000, "FocusInfoVersion", &S::FocusInfoVersion, R::Characters },
    { 0x0209, "AutoFocus", &S::AutoFocus },
    { 0x0211, "SceneArea", &S::SceneArea },
    { 0x0212, "SceneDetectData", &S::SceneDetectData },
    { 0x0300, "ZoomStepCount", &S::ZoomStepCount },
    { 0x0301, "FocusStepCount", &S::FocusStepCount },
    { 0x0303, "FocusStepInfinity", &S::FocusStepInfinity },
    { 0x0304, "FocusStepNear", &S::FocusStepNear },
    { 0x0305, "FocusDistance", &S::FocusDistance, R::Distance },
    { 0x0308, "AFPoint", &S::AFPoint },
    { 0x1201, "ExternalFlash", &S::ExternalFlash },
    { 0x1202, "Flash_6_1202", &S::Flash_6_1202 },
    { 0x1203, "ExternalFlashGuideNumber", &S::ExternalFlashGuideNumber },
    { 0x1204, "ExternalFlashBounce", &S::ExternalFlashBounce },
    { 0x1205, "ExternalFlashZoom", &S::ExternalFlashZoom },
    { 0x1206, "Flash_6_1206", &S::Flash_6_1206 },
    { 0x1207, "Flash_6_1207", &S::Flash_6_1207 },
    { 0x1208, "InternalFlash", &S::InternalFlash },
    { 0x1209, "ManualFlash", &S::ManualFlash },
    { 0x120A, "Flash_6_120A", &S::Flash_6_120A },
    { 0x1500, "SensorTemperature", &S::SensorTemperature, R::Celsius },
    { 0x1600, "ImageStabilization", &S::ImageStabilization },
};

} // namespace

void TOlympusFocusInfoSection::Clear()
{
    *this = TOlympusFocusInfoSection();
}

void TOlympusFocusInfoSection::Store(const TTiffData& data, const TIfdEntry& entry)
{
    OlympusTagRows::store<S>(*this, kRows, OlympusTables::kFocusInfoUnknown, Unknown, data, entry);
}

void TOlympusFocusInfoSection::CollectProperties(QList<QPair<QString, QString>>& out) const
{
    OlympusTagRows::collect<S>(*this, kRows, QStringLiteral("FocusInfoSection"), out);
}
