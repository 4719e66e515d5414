#pragma once

#include "camera/TBaseRemoteAction.h"

// Tells whether the camera offers "getlastjpg" of "exec_takemisc.cgi". The program only asks the
// command list; the request itself is never sent.
class TLastJpegAction : public TBaseRemoteAction
{
public:
    explicit TLastJpegAction(TCameraLink link, const QString& cgiName = QStringLiteral("exec_takemisc"));

    // Enabled when "com" offers "getlastjpg".
    bool Probe(const TCGIFunction& function) override;
    // Sends nothing and returns false: there is no picture to fetch through this action.
    bool Execute() override { return false; }
};
