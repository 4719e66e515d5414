#pragma once

#include "CliCommand.h"

// focus X Y: touch focus at a point of the live view picture, in recording mode.
class FocusCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("focus"); }
    QString synopsis() const override { return QStringLiteral("focus X Y"); }
    QString summary() const override
    {
        return QStringLiteral(
            "focus at X Y of the live view picture; prints the focus result and the AF frame");
    }
    int run(CliContext& context, const QStringList& arguments) override;
};
