#pragma once

#include "camera/TBaseInfoAction.h"

// The number of DCF files on the card ("get_dcffilenum.cgi").
class TDCFFileCountAction : public TBaseInfoAction
{
public:
    explicit TDCFFileCountAction(TCameraLink link, const QString& cgiName = QStringLiteral("get_dcffilenum"));

    bool ParseResult(QString& text) override;
    bool Probe(const TCGIFunction& function) override;
    bool Execute(QString& text) override;
};
