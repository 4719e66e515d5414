#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <array>

class TTiffData;
struct TIfdEntry;

// One AF area of the AFAreas tag: the four bytes of its 32-bit value, highest byte first.
struct TOlympusAFArea
{
    int A = 0;
    int B = 0;
    int C = 0;
    int D = 0;
    bool operator==(const TOlympusAFArea&) const = default;
};

// The selected AF point: the tag's first value and the two corners in image pixels.
struct TOlympusAFPoint
{
    int Value = 0;
    int X1 = 0;
    int Y1 = 0;
    int X2 = 0;
    int Y2 = 0;
    bool operator==(const TOlympusAFPoint&) const = default;
};

// Exposure, focus, flash, colour and drive settings of the shot (the Camera Settings directory).
class TOlympusCameraSettingsSection
{
public:
    static constexpr int UnknownCount = 10;

    QString CameraSettingsVersion;
    QString PreviewImageValid;
    QString PreviewImageStart;
    QString PreviewImageLength;
    QString ExposureMode;
    QString AELock;
    QString MeteringMode;
    QString ExposureShift;
    QString MacroMode;
    QString FocusMode;
    QString FocusProcess;
    QString AFSearch;
    QString AFAreas;
    QString AFPointSelected;
    QString AFFocusAdjust;
    QString AFFineTuneAdj;
    QString FlashMode;
    QString FlashExposureComp;
    QString Flash_3_0402;
    QString FlashRemoteControl;
    QString FlashControlMode;
    QString FlashIntensity;
    QString ManualFlashStrength;
    QString WhiteBalance;
    QString WhiteBalanceTemperature;
    QString WhiteBalanceBracket;
    QString CustomSaturation;
    QString ModifiedSaturation;
    QString ContrastSetting;
    QString SharpnessSetting;
    QString ColorSpace;
    QString SceneMode;
    QString NoiseReduction;
    QString DistortionCorrection;
    QString ShadingCompensation;
    QString CompressionFactor;
    QString Gradation;
    QString PictureMode;
    QString PictureModeSaturation;
    QString PictureModeHue;
    QString PictureModeContrast;
    QString PictureModeSharpness;
    QString PictureModeBWFilter;
    QString PictureModeTone;
    QString NoiseFilter;
    QString ArtFilter;
    QString PMEffect;
    QString GradationManualSettings;
    QString PMArtFilter2;
    QString DriveMode;
    QString PanoramaMode;
    QString ImageStabilization;
    QString ManometerPressure;
    QString ManometerReading;
    QString ExtendedWBDetect;
    // Recognised tags without a name, as formatted; Unknown[n] is the slot UnknownN.
    std::array<QString, UnknownCount> Unknown;

    // The picture's size in pixels; the selected AF point is given in fractions of it.
    void SetImageSize(int width, int height);
    int ImageWidth() const { return m_imageWidth; }
    int ImageHeight() const { return m_imageHeight; }
    // Rebuilt each time AFAreas is decoded; all-zero areas are left out.
    const QList<TOlympusAFArea>& AFAreaList() const { return m_afAreas; }
    // Set when AFPointSelected had its five values; HasSelectedAFPoint tells whether it was. Some
    // bodies (E-410) record AF areas without the tag, and a point (0, 0) is then no position.
    const TOlympusAFPoint& SelectedAFPoint() const { return m_afPoint; }
    bool HasSelectedAFPoint() const { return m_hasAfPoint; }

    void Clear();
    void Store(const TTiffData& data, const TIfdEntry& entry);
    // Appends "CameraSettingsSection.<Property>" and its text for every named property.
    void CollectProperties(QList<QPair<QString, QString>>& out) const;

private:
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    QList<TOlympusAFArea> m_afAreas;
    TOlympusAFPoint m_afPoint;
    bool m_hasAfPoint = false;
};
