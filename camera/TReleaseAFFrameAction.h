#pragma once

#include "camera/TBaseRemoteAction.h"

// Gives the AF frame back to the camera ("exec_takemotion.cgi?com=releaseafframe").
class TReleaseAFFrameAction : public TBaseRemoteAction
{
public:
    explicit TReleaseAFFrameAction(
        TCameraLink link, const QString& cgiName = QStringLiteral("exec_takemotion"));

    bool Probe(const TCGIFunction& function) override;
    // False without a request while disabled.
    bool Execute() override;
};
