#pragma once

#include <QList>
#include <QPair>
#include <QString>

class TTiffData;
struct TIfdEntry;

// The lens, body and flash identification of an Olympus maker note (its Equipment directory).
class TOlympusEquipmentSection
{
public:
    QString EquipmentVersion;
    QString CameraType;
    QString SerialNumber;
    QString InternalSerialNumber;
    QString FocalPlaneDiagonal;
    QString BodyFirmwareVersion;
    QString LensType;
    QString LensSerialNumber;
    QString LensModel;
    QString LensFirmwareVersion;
    QString MaxApertureAtMinFocal;
    QString MaxApertureAtMaxFocal;
    QString MinFocalLength;
    QString MaxFocalLength;
    QString MaxApertureAtCurrentFocal;
    QString LensProperties;
    QString Extender;
    QString ExtenderSerialNumber;
    QString ExtenderModel;
    QString ExtenderFirmwareVersion;
    QString ConversionLens;
    QString FlashType;
    QString FlashModel;
    QString FlashFirmwareVersion;
    QString FlashSerialNumber;

    void Clear();
    // Stores one entry of the directory when its tag is one of ours; data has the maker note's base.
    void Store(const TTiffData& data, const TIfdEntry& entry);
    // Appends "EquipmentSection.<Property>" and its text for every named property.
    void CollectProperties(QList<QPair<QString, QString>>& out) const;
};
