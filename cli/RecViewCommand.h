#pragma once

#include "CliCommand.h"

// recview: saves the record view, the picture the camera has just taken, as a JPEG file.
class RecViewCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("recview"); }
    QString synopsis() const override { return QStringLiteral("recview FILE"); }
    QString summary() const override
    {
        return QStringLiteral("save the record view of the last shot (the camera stays in recording mode)");
    }
    int run(CliContext& context, const QStringList& arguments) override;
};
