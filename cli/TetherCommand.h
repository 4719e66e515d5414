#pragma once

#include "CliCommand.h"

// tether: the live import without a window. The camera goes into shutter mode, its newest folder is
// polled, and every shot taken from now on is copied into DIR, one line per file as it lands.
class TetherCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("tether"); }
    QString synopsis() const override
    {
        return QStringLiteral("tether --dest DIR [--type JPG,ORF,MOV] [--seconds N]");
    }
    QString summary() const override
    {
        return QStringLiteral(
            "copy every new shot into DIR as it is taken, one line per file, until Ctrl-C or N seconds; "
            "Ctrl-C removes a file still coming in, the end of N seconds lets it finish");
    }
    int run(CliContext& context, const QStringList& arguments) override;
};
