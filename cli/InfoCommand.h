#pragma once

#include "CliCommand.h"

// info: model, connection mode, command list version, supported functions, files and free capacity.
class InfoCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("info"); }
    QString synopsis() const override { return QStringLiteral("info"); }
    QString summary() const override
    {
        return QStringLiteral(
            "show model, connection mode, version, functions, file count and free capacity");
    }
    int run(CliContext& context, const QStringList& arguments) override;

    // The camera object's capability bits: 1 import ("web"), 2 remote control, 4 GPS, 8 remote
    // release; none outside the private connection mode.
    static int capabilities(const QStringList& supported, bool isPrivate);
};
