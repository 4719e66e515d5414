#pragma once

#include "CliCommand.h"

// poweroff: switches the camera off.
class PowerOffCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("poweroff"); }
    QString synopsis() const override { return QStringLiteral("poweroff"); }
    QString summary() const override { return QStringLiteral("switch the camera off"); }
    int run(CliContext& context, const QStringList& arguments) override;
};
