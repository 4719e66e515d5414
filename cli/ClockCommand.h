#pragma once

#include "CliCommand.h"

// clock: sets the camera's clock to this computer's time and UTC offset.
class ClockCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("clock"); }
    QString synopsis() const override { return QStringLiteral("clock"); }
    QString summary() const override
    {
        return QStringLiteral("set the camera's clock to this computer's time");
    }
    int run(CliContext& context, const QStringList& arguments) override;
};
