#include "exif/TOlympusRawDevelopmentSection.h"

#include "exif/TOlympusTagRow.h"

namespace {

using Row = TOlympusTagRow<TOlympusRawDevelopmentSection>;
using S = TOlympusRawDevelopmentSection;

constexpr Row kRows[] = {
    { 0x0000, "RawDevVersion", &S::RawDevVersion, TOlympusRule::Characters },
    { 0x0100, "ExposureBiasValue", &S::ExposureBiasValue },
    { 0x0101, "WhiteBalanceValue", &S::WhiteBalanceValue },
    { 0x0102, "WBFineAdjustment", &S::WBFineAdjustment },
    { 0x0103, "GrayPoint", &S::GrayPoint },
    { 0x0104, "SaturationEmphasis", &S::SaturationEmphasis },
    { 0x0105, "MemoryColorEmphasis", &S::MemoryColorEmphasis },
    { 0x0106, "ContrastValue", &S::ContrastValue },
    { 0x0107, "SharpnessValue", &S::SharpnessValue },
    { 0x0108, "ColorSpace", &S::ColorSpace },
    { 0x0109, "Engine", &S::Engine },
    { 0x010A, "NoiseReduction", &S::NoiseReduction },
    { 0x010B, "EditStatus", &S::EditStatus },
    { 0x010C, "Settings", &S::Settings },
};

} // namespace

void TOlympusRawDevelopmentSection::Clear()
{
    *this = TOlympusRawDevelopmentSection();
}

void TOlympusRawDevelopmentSection::Store(const TTiffData& data, const TIfdEntry& entry)
{
    if (const Row* row = OlympusTagRows::find<S>(kRows, entry.Tag))
        this->*(row->Member) = OlympusTagRows::format(data, entry, row->Rule);
}

void TOlympusRawDevelopmentSection::CollectProperties(QList<QPair<QString, QString>>& out) const
{
    OlympusTagRows::collect<S>(*this, kRows, QStringLiteral("RawDevelopmentSection"), out);
}
