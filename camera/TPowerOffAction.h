#pragma once

#include "camera/TBaseRemoteAction.h"

// Switches the camera off ("exec_pwoff.cgi"); the camera may answer 202.
class TPowerOffAction : public TBaseRemoteAction
{
public:
    explicit TPowerOffAction(TCameraLink link, const QString& cgiName = QStringLiteral("exec_pwoff"));

    bool Probe(const TCGIFunction& function) override;
    bool Execute() override;
};
