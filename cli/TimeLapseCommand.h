#pragma once

#include "CliCommand.h"

// timelapse --interval S [--wait S] [--count N] [--dest DIR]: a time-lapse series without a window.
// Shot n is taken at start + wait + n × interval; a progress line per shot; Ctrl-C ends the series
// cleanly (the shots taken keep their files and their log lines). With --dest every shot's files are
// downloaded between the shots and the series log is written there; --json prints the log at the end.
class TimeLapseCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("timelapse"); }
    QString synopsis() const override
    {
        return QStringLiteral("timelapse --interval SECONDS [--wait SECONDS] [--count N] [--dest DIR]");
    }
    QString summary() const override
    {
        return QStringLiteral("take N pictures (0 or none: until Ctrl-C) every SECONDS after a waiting "
                              "time; with --dest each shot's files and the series log go into DIR");
    }
    int run(CliContext& context, const QStringList& arguments) override;
};
