#pragma once

#include "camera/TBaseInfoAction.h"

// The free capacity of the card ("get_unusedcapacity.cgi"), as the camera writes it.
class TUnusedCapacityAction : public TBaseInfoAction
{
public:
    explicit TUnusedCapacityAction(
        TCameraLink link, const QString& cgiName = QStringLiteral("get_unusedcapacity"));

    bool ParseResult(QString& text) override;
    bool Probe(const TCGIFunction& function) override;
    bool Execute(QString& text) override;
};
