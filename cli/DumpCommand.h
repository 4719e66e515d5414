#pragma once

#include "CliCommand.h"

// dump: saves the camera's answers into a zip for a bug report (lumivar-camsim --replay serves it).
class DumpCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("dump"); }
    QString synopsis() const override { return QStringLiteral("dump --out FILE.zip"); }
    QString summary() const override { return QStringLiteral("save the camera's answers for a bug report"); }
    int run(CliContext& context, const QStringList& arguments) override;
};
