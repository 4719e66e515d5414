#pragma once

#include "CliCommand.h"

// shoot [--at X,Y]: takes a picture in recording mode (focused at a point of the live view picture
// when given) and lists the shot's files on the card.
class ShootCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("shoot"); }
    QString synopsis() const override { return QStringLiteral("shoot [--at X,Y]"); }
    QString summary() const override
    {
        return QStringLiteral(
            "take a picture, focused at X,Y of the live view picture when given; lists its files");
    }
    int run(CliContext& context, const QStringList& arguments) override;
};
