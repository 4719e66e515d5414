#pragma once

#include "camera/TBaseRemoteAction.h"

// The activation query ("get_activate.cgi"); only 200 counts.
class TActivateAction : public TBaseRemoteAction
{
public:
    explicit TActivateAction(TCameraLink link, const QString& cgiName = QStringLiteral("get_activate"));

    bool Probe(const TCGIFunction& function) override;
    bool Execute() override;
};
