#pragma once

#include "camera/TBaseRemoteAction.h"

// Tells whether the camera offers macro focus stepping ("exec_takemisc.cgi?com=supermacromfinaflock");
// it sends nothing itself.
class TMacroMFAction : public TBaseRemoteAction
{
public:
    explicit TMacroMFAction(TCameraLink link, const QString& cgiName = QStringLiteral("exec_takemisc"));

    bool Probe(const TCGIFunction& function) override;
    // Always false: there is no request behind it.
    bool Execute() override;
};
