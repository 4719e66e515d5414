#pragma once

#include "remote/TTimeLapseShot.h"

#include <QJsonArray>
#include <QList>
#include <QString>

// The series log: one line per shot or missed slot, kept in memory and written as CSV into the
// download folder (timelapse-YYYYMMDD-HHMMSS.csv after the series' start). Lines go out in shot
// order; a shot whose files are still loading holds back the lines after it until its download
// result is known.
class TTimeLapseLog
{
public:
    // Forgets the lines; the file goes into folder when that is an existing directory.
    void Begin(const QString& folder, qint64 startMs);
    // Adds a line; its index for FileDone.
    int Add(const TTimeLapseShot& shot);
    // A file of line index was loaded or given up; the last one sets the line's download result.
    // True when that completed the line.
    bool FileDone(int index, const QString& fileName, bool ok, const QString& why);
    // Appends the lines that are complete to the file.
    void Write();

    const QList<TTimeLapseShot>& Shots() const { return m_shots; }
    // Empty when there is no download folder or the file could not be opened.
    const QString& FileName() const { return m_fileName; }
    QJsonArray Json() const;

    static const QString& Pending();
    static QString CsvHeader();
    static QString CsvLine(const TTimeLapseShot& shot);

private:
    QList<TTimeLapseShot> m_shots;
    QString m_fileName;
    int m_written = 0;
};
