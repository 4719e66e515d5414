#pragma once

#include "camera/TBaseInfoAction.h"

// The camera model from "get_caminfo.cgi". Later bodies answer several elements with the model not
// first, so the first non-empty "model" child counts.
class TCameraInfoAction : public TBaseInfoAction
{
public:
    explicit TCameraInfoAction(TCameraLink link, const QString& cgiName = QStringLiteral("get_caminfo"));

    bool ParseResult(QString& text) override;
    bool Probe(const TCGIFunction& function) override;
    bool Execute(QString& text) override;
};
