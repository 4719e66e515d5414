#include "CliCommand.h"
#include "CommandListCommand.h"
#include "ExifCommand.h"
#include "RequestCommand.h"

std::vector<std::unique_ptr<CliCommand>> createCommands()
{
    std::vector<std::unique_ptr<CliCommand>> commands;
    commands.push_back(std::make_unique<CommandListCommand>());
    commands.push_back(std::make_unique<RequestCommand>());
    commands.push_back(std::make_unique<ExifCommand>());
    return commands;
}
