#include "exif/TOlympusEquipmentSection.h"

#include "exif/TOlympusTagRow.h"

namespace {

using Row = TOlympusTagRow<TOlympusEquipmentSection>;
using S = TOlympusEquipmentSection;
using R = TOlympusRule;

constexpr Row kRows[] = {
    { 0x0000, "EquipmentVersion", &S::EquipmentVersion, R::Characters },
    { 0x0100, "CameraType", &S::CameraType },
    { 0x0101, "SerialNumber", &S::SerialNumber },
    { 0x0102, "InternalSerialNumber", &S::InternalSerialNumber },
    { 0x0103, "FocalPlaneDiagonal", &S::FocalPlaneDiagonal, R::Millimetres },
    { 0x0104, "BodyFirmwareVersion", &S::BodyFirmwareVersion, R::Firmware },
    { 0x0201, "LensType", &S::LensType },
    { 0x0202, "LensSerialNumber", &S::LensSerialNumber },
    { 0x0203, "LensModel", &S::LensModel },
    { 0x0204, "LensFirmwareVersion", &S::LensFirmwareVersion, R::Firmware },
    { 0x0205, "MaxApertureAtMinFocal", &S::MaxApertureAtMinFocal },
    { 0x0206, "MaxApertureAtMaxFocal", &S::MaxApertureAtMaxFocal },
    { 0x0207, "MinFocalLength", &S::MinFocalLength, R::Millimetres },
    { 0x0208, "MaxFocalLength", &S::MaxFocalLength, R::Millimetres },
    { 0x020A, "MaxApertureAtCurrentFocal", &S::MaxApertureAtCurrentFocal },
    { 0x020B, "LensProperties", &S::LensProperties },
    { 0x0301, "Extender", &S::Extender },
    { 0x0302, "ExtenderSerialNumber", &S::ExtenderSerialNumber },
    { 0x0303, "ExtenderModel", &S::ExtenderModel },
    { 0x0304, "ExtenderFirmwareVersion", &S::ExtenderFirmwareVersion },
    { 0x0403, "ConversionLens", &S::ConversionLens },
    { 0x1000, "FlashType", &S::FlashType },
    { 0x1001, "FlashModel", &S::FlashModel },
    { 0x1002, "FlashFirmwareVersion", &S::FlashFirmwareVersion },
    { 0x1003, "FlashSerialNumber", &S::FlashSerialNumber },
};

} // namespace

void TOlympusEquipmentSection::Clear()
{
    *this = TOlympusEquipmentSection();
}

void TOlympusEquipmentSection::Store(const TTiffData& data, const TIfdEntry& entry)
{
    if (const Row* row = OlympusTagRows::find<S>(kRows, entry.Tag))
        this->*(row->Member)
            = TOlympusDecoders::Decode(row->Rule, OlympusTagRows::format(data, entry, row->Rule));
}

void TOlympusEquipmentSection::CollectProperties(QList<QPair<QString, QString>>& out) const
{
    OlympusTagRows::collect<S>(*this, kRows, QStringLiteral("EquipmentSection"), out);
}
