#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// One file on the camera's card as the listing gives it.
class TCameraImportItem
{
public:
    TCameraImportItem(const QString& directory, const QString& fileName, const QString& sizeText,
        const QString& dateText, const QString& timeText);

    QString Directory; // below /DCIM, leading slash: "/100OLYMP"
    QString FileName; // "P1010001.JPG"
    QString SizeText; // decimal bytes, as listed
    QString DateText; // packed date, as listed
    QString TimeText; // packed time, as listed
    QDate Date; // invalid when DateText does not decode
    QTime Time; // invalid when TimeText does not decode

    // "/100OLYMP/P1010001.JPG", the path the file requests put behind "/DCIM"; empty without a
    // directory.
    QString CameraPath() const;
    // The listed size; -1 when it is not a number.
    qint64 Size() const;
    // The camera's local date and time of the file; invalid when the date does not decode.
    QDateTime DateTime() const;
    // All five listed texts equal without regard to case.
    bool SameAs(const TCameraImportItem& other) const;

    // Sort key parts: undecodable dates and times count as 0 and so sort first.
    qint64 DateKey() const { return m_dateKey; }
    int TimeKey() const { return m_timeKey; }

private:
    qint64 m_dateKey = 0;
    int m_timeKey = 0;
};
