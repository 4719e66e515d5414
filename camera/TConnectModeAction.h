#pragma once

#include "camera/TBaseInfoAction.h"

// The connection mode ("get_connectmode.cgi"); pictures are reachable only in "private".
class TConnectModeAction : public TBaseInfoAction
{
public:
    explicit TConnectModeAction(TCameraLink link, const QString& cgiName = QStringLiteral("get_connectmode"));

    bool ParseResult(QString& text) override;
    bool Probe(const TCGIFunction& function) override;
    bool Execute(QString& text) override;
};
