#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <array>

class TTiffData;
struct TIfdEntry;

// Focus, flash and sensor readings of the shot (the Focus Info directory).
class TOlympusFocusInfoSection
{
public:
    static constexpr int UnknownCount = 65;

    QString FocusInfoVersion;
    QString AutoFocus;
    QString SceneArea;
    QString SceneDetectData;
    QString ZoomStepCount;
    QString FocusStepCount;
    QString FocusStepInfinity;
    QString FocusStepNear;
    QString FocusDistance;
    QString AFPoint;
    QString ExternalFlash;
    QString Flash_6_1202;
    QString ExternalFlashGuideNumber;
    QString ExternalFlashBounce;
    QString ExternalFlashZoom;
    QString Flash_6_1206;
    QString Flash_6_1207;
    QString InternalFlash;
    QString ManualFlash;
    QString Flash_6_120A;
    QString SensorTemperature;
    QString ImageStabilization;
    // Recognised tags without a name, as formatted; Unknown[n] is the slot UnknownN.
    std::array<QString, UnknownCount> Unknown;

    void Clear();
    void Store(const TTiffData& data, const TIfdEntry& entry);
    // Appends "FocusInfoSection.<Property>" and its text for every named property.
    void CollectProperties(QList<QPair<QString, QString>>& out) const;
};
