#pragma once

#include "CliCommand.h"

class TOIShare;
class QJsonObject;

// commandlist: reads the camera's command list and prints the parsed model.
class CommandListCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("commandlist"); }
    QString synopsis() const override { return QStringLiteral("commandlist"); }
    QString summary() const override
    {
        return QStringLiteral("read the camera's command list and print its functions, methods and values");
    }
    int run(CliContext& context, const QStringList& arguments) override;

    static QJsonObject toJson(const TOIShare& commandList);
    static QString toText(const TOIShare& commandList);
};
