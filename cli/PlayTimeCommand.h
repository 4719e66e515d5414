#pragma once

#include "CliCommand.h"

// playtime PATH: the play time of a movie on the card.
class PlayTimeCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("playtime"); }
    QString synopsis() const override { return QStringLiteral("playtime PATH"); }
    QString summary() const override
    {
        return QStringLiteral(
            "play time of a movie on the card (/DCIM/100OLYMP/P1010001.MOV or /100OLYMP/...)");
    }
    int run(CliContext& context, const QStringList& arguments) override;

    // The path below "/DCIM" as the camera wants it, from either spelling.
    static QString belowDcim(const QString& path);
};
