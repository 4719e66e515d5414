#include "CliCommand.h"
#include "ClockCommand.h"
#include "CommandListCommand.h"
#include "DoctorCommand.h"
#include "DumpCommand.h"
#include "ExifCommand.h"
#include "FocusCommand.h"
#include "ImportCommand.h"
#include "InfoCommand.h"
#include "ListCommand.h"
#include "LiveViewCommand.h"
#include "ModeCommand.h"
#include "MovieCommand.h"
#include "PlayTimeCommand.h"
#include "PowerOffCommand.h"
#include "PropsCommand.h"
#include "RecViewCommand.h"
#include "ReleaseCommand.h"
#include "RequestCommand.h"
#include "SetCommand.h"
#include "ShootCommand.h"
#include "TetherCommand.h"
#include "TimeLapseCommand.h"
#include "WatchCommand.h"
#include "ZoomCommand.h"

std::vector<std::unique_ptr<CliCommand>> createCommands()
{
    std::vector<std::unique_ptr<CliCommand>> commands;
    commands.push_back(std::make_unique<CommandListCommand>());
    commands.push_back(std::make_unique<RequestCommand>());
    commands.push_back(std::make_unique<ExifCommand>());
    commands.push_back(std::make_unique<InfoCommand>());
    commands.push_back(std::make_unique<DoctorCommand>());
    commands.push_back(std::make_unique<DumpCommand>());
    commands.push_back(std::make_unique<PropsCommand>());
    commands.push_back(std::make_unique<SetCommand>());
    commands.push_back(std::make_unique<ClockCommand>());
    commands.push_back(std::make_unique<PowerOffCommand>());
    commands.push_back(std::make_unique<PlayTimeCommand>());
    commands.push_back(std::make_unique<ListCommand>());
    commands.push_back(std::make_unique<ImportCommand>());
    commands.push_back(std::make_unique<TetherCommand>());
    commands.push_back(std::make_unique<WatchCommand>());
    commands.push_back(std::make_unique<ModeCommand>());
    commands.push_back(std::make_unique<FocusCommand>());
    commands.push_back(std::make_unique<ShootCommand>());
    commands.push_back(std::make_unique<TimeLapseCommand>());
    commands.push_back(std::make_unique<MovieCommand>());
    commands.push_back(std::make_unique<ReleaseCommand>());
    commands.push_back(std::make_unique<ZoomCommand>());
    commands.push_back(std::make_unique<LiveViewCommand>());
    commands.push_back(std::make_unique<RecViewCommand>());
    return commands;
}
