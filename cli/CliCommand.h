#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CliContext;

// One sub-command of lumivar-cli. Commands parse their own arguments (those
// after the command name) and return the process exit code.
class CliCommand
{
public:
    virtual ~CliCommand() = default;
    virtual QString name() const = 0;
    virtual QString synopsis() const = 0;
    virtual QString summary() const = 0;
    virtual int run(CliContext& context, const QStringList& arguments) = 0;
};

std::vector<std::unique_ptr<CliCommand>> createCommands();
