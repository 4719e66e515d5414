#pragma once

#include "camera/TBaseRemoteAction.h"

// The shutter button in shutter-only mode ("exec_shutter.cgi?com=1stpush" and its siblings).
class TReleaseAction : public TBaseRemoteAction
{
public:
    enum : quint8 {
        FirstPush = 1, // "1stpush", half-press
        SecondPush = 2, // "2ndpush"
        FirstSecondPush = 3, // "1st2ndpush", full press
        SecondFirstRelease = 4, // "2nd1strelease", let go completely
        SecondRelease = 5, // "2ndrelease"
        FirstRelease = 6, // "1strelease"
    };

    explicit TReleaseAction(TCameraLink link, const QString& cgiName = QStringLiteral("exec_shutter"));

    quint8 LastCommand = 0; // of the last successful request
    QString ShutterResult;
    QString AFFocus;

    void Reset() override;
    bool Probe(const TCGIFunction& function) override;
    // A full press and, when it went through, the release: one picture.
    bool Execute() override;

    // timeoutMs as the request's read time-out, 0 for none. False without a request while disabled
    // or for a command outside 1 to 6.
    bool Release(int timeoutMs, quint8 command);
};
