#pragma once

#include "exif/TOlympusSection.h"

#include <QList>
#include <QPair>
#include <QString>

class TTiffData;
struct TIfdEntry;

// The tags of the Exif directory as display texts, and the Olympus maker note below it.
class TExifSection
{
public:
    QString ExposureTime;
    QString FNumber;
    QString ExposureProgram;
    QString ISOSpeedRatings;
    QString SensitivityType;
    QString ExifVersion;
    QString DateTimeOriginal;
    QString DateTimeDigitized;
    QString ComponentsConfiguration;
    QString ExposureBiasValue;
    QString MaxApertureValue;
    QString MeteringMode;
    QString LightSource;
    QString Flash;
    QString FocalLength;
    QString ColorSpace;
    QString PixelXDimension;
    QString PixelYDimension;
    QString ExposureMode;
    QString WhiteBalance;
    QString DigitalZoomRatio;
    QString SceneCaptureType;
    QString Contrast;
    QString Saturation;
    QString Sharpness;
    QString LensSpecification;
    QString LensModel;

    TOlympusSection OlympusSection;

    void Clear();
    // Stores one entry of the Exif directory when its tag is one of ours (the maker-note pointer is
    // the reader's business).
    void Store(const TTiffData& data, const TIfdEntry& entry);
    // Appends "ExifSection.<Property>" and its text for every property (not the maker note's).
    void CollectProperties(QList<QPair<QString, QString>>& out) const;

    // Decoders of formatted values, in the current language.
    static QString DecodeExposureProgram(const QString& text);
    static QString DecodeSensitivityType(const QString& text);
    static QString DecodeComponentsConfiguration(const QString& text);
    static QString DecodeMaxApertureValue(const QString& text);
    static QString DecodeMeteringMode(const QString& text);
    static QString DecodeLightSource(const QString& text);
    static QString DecodeFlash(const QString& text);
    static QString DecodeColorSpace(const QString& text);
};
