#pragma once

#include "camera/TBaseRemoteAction.h"

// Fetches the record view, the picture just taken, as JPEG bytes into Data ("getrecview" of
// "exec_takemisc.cgi"). The camera must be in recording mode.
class TRecordViewAction : public TBaseRemoteAction
{
public:
    explicit TRecordViewAction(TCameraLink link, const QString& cgiName = QStringLiteral("exec_takemisc"));

    // Enabled when "com" offers "getrecview".
    bool Probe(const TCGIFunction& function) override;
    // True with the picture in Data on 200; a disabled action returns true with Data empty.
    bool Execute() override;
};
