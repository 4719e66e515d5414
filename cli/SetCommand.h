#pragma once

#include "CliCommand.h"

// set NAME VALUE: changes one shooting property; VALUE is a display text or the camera's value.
class SetCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("set"); }
    QString synopsis() const override { return QStringLiteral("set NAME VALUE"); }
    QString summary() const override
    {
        return QStringLiteral("set a shooting property (display text or camera value) and read it back");
    }
    int run(CliContext& context, const QStringList& arguments) override;
};
