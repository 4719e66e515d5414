#include "exif/TOlympusImageProcessingSection.h"

#include "exif/TOlympusTagRow.h"

namespace {

using Row = TOlympusTagRow<TOlympusImageProcessingSection>;
using S = TOlympusImageProcessingSection;
using R = TOlympusRule;

constexpr Row kRows[] = {
    { 0x0000, "ImageProcessingVersion", &S::ImageProcessingVersion, R::Characters },
    { 0x0100, "WB_RBLevels", &S::WB_RBLevels },
    { 0x0200, "ColorMatrix", &S::ColorMatrix },
    { 0x0600, "BlackLevel", &S::BlackLevel },
    { 0x0610, "GainBase", &S::GainBase },
    { 0x0612, "CropLeft", &S::CropLeft },
    { 0x0613, "CropTop", &S::CropTop },
    { 0x0614, "CropWidth", &S::CropWidth },
    { 0x0615, "CropHeight", &S::CropHeight },
    { 0x0800, "LensDistortionParams", &S::LensDistortionParams },
    { 0x0801, "LensShadingParams", &S::LensShadingParams },
    { 0x1010, "NoiseReduction", &S::NoiseReduction },
    { 0x1011, "DistortionCorrection", &S::DistortionCorrection },
    { 0x1012, "ShadingCompensation", &S::ShadingCompensation },
    { 0x101C, "MultipleExposureMode", &S::MultipleExposureMode },
    { 0x1112, "AspectRatio", &S::AspectRatio },
    { 0x1113, "AspectFrame", &S::AspectFrame },
    { 0x1200, "FaceDetect", &S::FaceDetect, R::FaceCount },
    { 0x1201, "FaceDetectArea", &S::FaceDetectArea, R::FaceAreas },
};

} // namespace

void TOlympusImageProcessingSection::SetImageSize(int width, int height)
{
    m_imageWidth = width;
    m_imageHeight = height;
}

void TOlympusImageProcessingSection::Clear()
{
    *this = TOlympusImageProcessingSection();
}

void TOlympusImageProcessingSection::Store(const TTiffData& data, const TIfdEntry& entry)
{
    if (entry.Tag == 0x1201) {
        FaceDetectArea = TOlympusDecoders::FaceAreas(
            OlympusTagRows::format(data, entry, R::Formatted), m_imageWidth, m_imageHeight, m_faces);
        return;
    }
    OlympusTagRows::store<S>(*this, kRows, OlympusTables::kImageProcessingUnknown, Unknown, data, entry);
}

void TOlympusImageProcessingSection::CollectProperties(QList<QPair<QString, QString>>& out) const
{
    OlympusTagRows::collect<S>(*this, kRows, QStringLiteral("ImageProcessingSection"), out);
}
