#pragma once

#include <QList>
#include <QPair>
#include <QString>

class TTiffData;
struct TIfdEntry;

// The raw development settings recorded by the camera (all stored as formatted).
class TOlympusRawDevelopmentSection
{
public:
    QString RawDevVersion;
    QString ExposureBiasValue;
    QString WhiteBalanceValue;
    QString WBFineAdjustment;
    QString GrayPoint;
    QString SaturationEmphasis;
    QString MemoryColorEmphasis;
    QString ContrastValue;
    QString SharpnessValue;
    QString ColorSpace;
    QString Engine;
    QString NoiseReduction;
    QString EditStatus;
    QString Settings;

    void Clear();
    void Store(const TTiffData& data, const TIfdEntry& entry);
    // Appends "RawDevelopmentSection.<Property>" and its text for every named property.
    void CollectProperties(QList<QPair<QString, QString>>& out) const;
};
