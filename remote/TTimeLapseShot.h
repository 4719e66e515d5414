#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// A file a shot left on the card.
struct TTimeLapseShotFile
{
    QString CameraPath;
    QString FileName;
    qint64 Size = -1;
    QDateTime Modified;
};

// What taking one picture gave.
struct TTimeLapseShotOutcome
{
    bool Ok = false;
    QString Reason; // why it failed
    bool CameraGone = false; // it failed because the camera did not answer
    QList<TTimeLapseShotFile> Files;
};

// One line of the series log.
struct TTimeLapseShot
{
    int Number = 0; // 1, 2, ...
    qint64 PlannedMs = 0;
    qint64 ActualMs = 0;
    bool Ok = false;
    bool Missed = false; // not fired: Reason begins with "missed: "
    QString Reason;
    QString ShutterSpeed, Aperture, Iso, ExposureCompensation;
    QString Measured; // the automatic mode's average at the shot; empty without one
    QStringList Files;
    QString Download; // "ok", "failed: ...", "pending", "off", "none"
    int Attempts = 0;
    int Outstanding = 0; // files of this shot not yet finally loaded or given up
    QStringList FailedFiles;
    bool Written = false;
};
