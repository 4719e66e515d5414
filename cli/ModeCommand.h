#pragma once

#include "CliCommand.h"

class TBaseRemoteAction;
class TCameraModeAction;
class TOIShare;

// mode play|rec|shutter [--size WxH]: switches the camera's mode, with a live view size for
// recording and, when given, for shutter-only mode.
class ModeCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("mode"); }
    QString synopsis() const override { return QStringLiteral("mode play|rec|shutter [--size WxH]"); }
    QString summary() const override
    {
        return QStringLiteral("switch the camera to playback, recording or shutter-only mode");
    }
    int run(CliContext& context, const QStringList& arguments) override;

    // What the shooting commands share: the probe of one action, the switch into the mode a
    // command needs.
    // Probes the action against its CGI program; false (and the action disabled) when the list
    // lacks the program.
    static bool ProbeAction(TBaseRemoteAction& action, const TOIShare& commandList);
    // Switches into mode (TCameraModeAction numbering) with the given live view size, or, without
    // one, the size of the stored settings when offered. throughPlay switches to playback first,
    // so that a new size takes effect; otherwise playback is tried in between only when the direct
    // switch is refused (the camera goes between its two recording modes through playback, with
    // a pause).
    static bool EnterMode(
        TCameraModeAction& modes, quint8 mode, const QString& size, bool throughPlay, QString& error);
    // The mode action probed and switched, in one call for the commands that need recording mode.
    static bool EnterMode(CliContext& context, const TOIShare& commandList, quint8 mode, QString& error);
};
