#pragma once

#include "remote/RemoteControlRules.h"

#include <QList>
#include <QString>

#include <functional>
#include <span>

// The camera properties the remote control page offers as choices, one row each: which property,
// its choice and caption, in which modes it is usable and what follows a pick. The property panel
// builds its rows from this table; a new property is a new row.
namespace RemotePropertyTable {

enum class TPage { General, Additional };

// When the choice is usable, on top of the camera offering the property.
enum class TModeRule {
    // The program mode allows it (the movie's own exposure mode in movie mode).
    ByMode,
    // Shown beside the program mode while it is "ART".
    ArtFilter,
    // Shown beside the program mode while it is "Movie" and no art filter shows.
    MovieMode,
};

// What follows a pick that went to the camera.
enum class TAfterPick {
    Nothing,
    // The program modes change which properties the camera offers: all are read again.
    Reload,
    // Read again only when the pick switched live bulb or live time on or off.
    ReloadOnLongExposure,
    // Sequential shooting and the self-timer follow the drive mode.
    DriveMode,
    // The picture names the movie quality.
    MovieQuality,
};

struct TRow
{
    const char* Property;
    // The choice's object name; its change handler in the trace lines is this name + "Change".
    const char* Choice;
    // The caption's object name (its key in the language files) and German text; rows without a
    // caption text share the program mode's line.
    const char* Caption;
    const char* CaptionText;
    TPage Page;
    TModeRule Rule;
    RemoteControlRules::TModeChoice Mode;
    TAfterPick After;
    // The -/+ buttons' object names, nullptr without; the index step of "-" (the shutter speed list
    // runs from long to short, so its "-" moves towards the end).
    const char* DownButton = nullptr;
    const char* UpButton = nullptr;
    int DownStep = -1;
};

// In the order the choices are filled and shown.
std::span<const TRow> Rows();
const TRow* Find(const QString& property);

// Which choices are usable, in the rows' order: in remote record mode, by the program mode's and
// the movie mode's display texts, and when the camera offers the property.
QList<bool> Enabling(bool remoteRecordMode, const QString& programModeText, const QString& movieModeText,
    const std::function<bool(const QString& property)>& offered);

// What a pick of the row's property asks for, from the modes before and after it.
struct TFollowUp
{
    bool ReloadAll = false;
    bool DriveModes = false;
    bool MovieQuality = false;
};
TFollowUp FollowUp(const TRow& row, const RemoteControlRules::TShootingModes& before,
    const RemoteControlRules::TShootingModes& after);

} // namespace RemotePropertyTable
