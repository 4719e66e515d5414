#pragma once

#include "CliCommand.h"

// release: one picture through the shutter button in shutter-only mode, as the remote release does.
class ReleaseCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("release"); }
    QString synopsis() const override { return QStringLiteral("release"); }
    QString summary() const override
    {
        return QStringLiteral("press and let go of the shutter button in shutter-only mode");
    }
    int run(CliContext& context, const QStringList& arguments) override;
};
