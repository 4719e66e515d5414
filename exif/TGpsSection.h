#pragma once

#include <QList>
#include <QPair>
#include <QString>

class TTiffData;
struct TIfdEntry;

// The tags of the GPS directory as display texts.
class TGpsSection
{
public:
    QString VersionID;
    QString LatitudeRef;
    QString Latitude;
    QString LongitudeRef;
    QString Longitude;
    QString AltitudeRef;
    QString Altitude;
    QString TimeStamp;
    QString Satellites;
    QString Status;

    void Clear();
    // Stores one entry of the GPS directory when its tag is one of ours.
    void Store(const TTiffData& data, const TIfdEntry& entry);
    // Appends "GpsSection.<Property>" and its text for every property.
    void CollectProperties(QList<QPair<QString, QString>>& out) const;

    // Degrees;minutes;seconds (general numbers) as decimal degrees "%.6f°"; unchanged when it does not
    // read as three numbers. The hemisphere stays in the reference property.
    static QString DecodeCoordinate(const QString& text);
};
