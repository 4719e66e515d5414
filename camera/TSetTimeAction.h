#pragma once

#include "camera/TBaseRemoteAction.h"

#include <QDateTime>

#include <functional>

// Sets the camera's clock ("set_utctimediff.cgi?utctime=...&diff=..."): the UTC time and the local
// offset from UTC, daylight saving time included.
class TSetTimeAction : public TBaseRemoteAction
{
public:
    explicit TSetTimeAction(TCameraLink link, const QString& cgiName = QStringLiteral("set_utctimediff"));

    // The moment to send, carrying its offset from UTC; the system's local time unless a test or a
    // caller with another zone puts its own in.
    std::function<QDateTime()> Now;
    // What the last Execute sent: "20240131T235959" and "+0100".
    QString LastUtcTime;
    QString LastDiff;

    bool Probe(const TCGIFunction& function) override;
    bool Execute() override;

    // "YYYYMMDDThhmmss" of the moment in UTC.
    static QString UtcTimeText(const QDateTime& moment);
    // "+hhmm" when local time is ahead of UTC or equal to it, "-hhmm" when behind.
    static QString DiffText(int offsetFromUtcSeconds);
    // The query for a moment; the sign goes out as "%2B", since a bare "+" reads as a blank.
    static QString Query(const QDateTime& moment);
};
