#pragma once

#include "CliCommand.h"

// request [--post BODY] [--timeout MS] PATH: one raw exchange with the camera.
class RequestCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("request"); }
    QString synopsis() const override { return QStringLiteral("request [--post BODY] [--timeout MS] PATH"); }
    QString summary() const override
    {
        return QStringLiteral("send one request, print status code and body");
    }
    int run(CliContext& context, const QStringList& arguments) override;
};
