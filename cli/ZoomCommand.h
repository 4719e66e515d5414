#pragma once

#include "CliCommand.h"

// zoom wide|tele|off: starts a power zoom lens moving, or stops it.
class ZoomCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("zoom"); }
    QString synopsis() const override { return QStringLiteral("zoom wide|tele|off"); }
    QString summary() const override
    {
        return QStringLiteral("move a power zoom lens towards wide angle or tele, or stop it");
    }
    int run(CliContext& context, const QStringList& arguments) override;
};
