#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <array>

class TTiffData;
struct TIfdEntry;

// One detected face in image pixels; right = left + size, bottom = top + size.
struct TOlympusFaceRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TOlympusFaceRect&) const = default;
};

// Image processing settings and the face detection results (the Image Processing directory).
class TOlympusImageProcessingSection
{
public:
    static constexpr int UnknownCount = 86;

    QString ImageProcessingVersion;
    QString WB_RBLevels;
    QString ColorMatrix;
    QString BlackLevel;
    QString GainBase;
    QString CropLeft;
    QString CropTop;
    QString CropWidth;
    QString CropHeight;
    QString LensDistortionParams;
    QString LensShadingParams;
    QString NoiseReduction;
    QString DistortionCorrection;
    QString ShadingCompensation;
    QString MultipleExposureMode;
    QString AspectRatio;
    QString AspectFrame;
    QString FaceDetect;
    QString FaceDetectArea;
    // Recognised tags without a name, as formatted; Unknown[n] is the slot UnknownN.
    std::array<QString, UnknownCount> Unknown;

    // The picture's size in pixels; the face areas are scaled from a 640 x 480 frame to it.
    void SetImageSize(int width, int height);
    int ImageWidth() const { return m_imageWidth; }
    int ImageHeight() const { return m_imageHeight; }
    // Rebuilt each time FaceDetectArea is decoded, in the order of the tag's groups.
    const QList<TOlympusFaceRect>& FaceRects() const { return m_faces; }

    void Clear();
    void Store(const TTiffData& data, const TIfdEntry& entry);
    // Appends "ImageProcessingSection.<Property>" and its text for every named property.
    void CollectProperties(QList<QPair<QString, QString>>& out) const;

private:
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    QList<TOlympusFaceRect> m_faces;
};
