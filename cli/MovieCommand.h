#pragma once

#include "CliCommand.h"

// movie start|stop: starts or stops movie recording in recording mode.
class MovieCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("movie"); }
    QString synopsis() const override { return QStringLiteral("movie start|stop"); }
    QString summary() const override { return QStringLiteral("start or stop recording a movie"); }
    int run(CliContext& context, const QStringList& arguments) override;
};
