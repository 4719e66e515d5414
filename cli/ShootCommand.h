#pragma once

#include "CliCommand.h"

// shoot [--at X,Y] [--live-time SECONDS | --bulb SECONDS] [--self-timer SECONDS] [--download DIR]:
// takes a picture in recording mode as the remote control page does (focused at a point of the live
// view picture when given; a LIVETIME or LIVEBULB exposure of the given length in manual exposure,
// the camera's settings put back afterwards; after a count-down), lists the shot's files on the
// card and downloads them when asked.
class ShootCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("shoot"); }
    QString synopsis() const override
    {
        return QStringLiteral("shoot [--at X,Y] [--live-time SECONDS | --bulb SECONDS] [--self-timer "
                              "SECONDS] [--download DIR]");
    }
    QString summary() const override
    {
        return QStringLiteral(
            "take a picture (focused at X,Y of the live view picture when given), a LIVETIME or LIVEBULB "
            "exposure of SECONDS, or one after a self-timer count-down; lists its files and streams them "
            "into DIR");
    }
    int run(CliContext& context, const QStringList& arguments) override;
};
