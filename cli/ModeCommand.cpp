#include "ModeCommand.h"

#include "CliContext.h"
#include "base/TSetup.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "camera/TReleaseAFFrameAction.h"
#include "liveview/TLiveViewAction.h"
#include "liveview/TLiveViewControl.h"
#include "liveview/TLiveViewSizeChange.h"
#include "liveview/TReleaseViewAction.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QString modeName(quint8 mode)
{
    switch (mode) {
    case TCameraModeAction::ModePlay:
        return QStringLiteral("play");
    case TCameraModeAction::ModeRec:
        return QStringLiteral("rec");
    default:
        return QStringLiteral("shutter");
    }
}

QString storedLiveViewSize()
{
    TSetup stored;
    stored.Load();
    return stored.LiveViewSize;
}

// Why the camera cannot enter mode with size (empty: the setting's); empty when it can.
QString refusal(const TCameraModeAction& modes, quint8 mode, const QString& size)
{
    if (!modes.Enabled)
        return QStringLiteral("the camera offers no mode switch");
    const bool sized = mode == TCameraModeAction::ModeRec || mode == TCameraModeAction::ModeShutterWithSize;
    if (sized && modes.LiveViewSizes().isEmpty())
        return QStringLiteral("the camera offers no live view size for %1 mode").arg(modeName(mode));
    if (!size.isEmpty() && !modes.LiveViewSizes().contains(size, Qt::CaseInsensitive))
        return QStringLiteral("the camera offers no live view size %1 (it offers %2)")
            .arg(size, modes.LiveViewSizes().join(QStringLiteral(", ")));
    if (mode == TCameraModeAction::ModeShutter && !(modes.SupportedModes & TCameraModeAction::FlagShutter))
        return QStringLiteral("the camera has no shutter-only mode");
    // The sizes are those of both modes together; each mode takes a size only when it lists them.
    const quint8 sizedFlag = mode == TCameraModeAction::ModeRec ? TCameraModeAction::FlagRec
                                                                : TCameraModeAction::FlagShutterWithSize;
    if (sized && !(modes.SupportedModes & sizedFlag))
        return mode == TCameraModeAction::ModeRec
            ? QStringLiteral("the camera offers no recording mode with live view")
            : QStringLiteral("the camera's shutter-only mode takes no live view size");
    return {};
}

} // namespace

bool ModeCommand::ProbeAction(TBaseRemoteAction& action, const TOIShare& commandList)
{
    action.Reset();
    const TCGIFunction* function = commandList.Functions.Find(action.CGIName);
    return function && action.Probe(*function) && action.Enabled;
}

bool ModeCommand::EnterMode(
    TCameraModeAction& modes, quint8 mode, const QString& size, bool throughPlay, QString& error)
{
    error = refusal(modes, mode, size);
    if (!error.isEmpty())
        return false;
    const auto switchTo
        = [&] { return size.isEmpty() ? modes.SwitchToMode(mode) : modes.SwitchMode(mode, size); };
    // This process does not know the camera's mode. Taking it for the other recording mode makes
    // the switch go through playback, with the pause the camera needs there.
    const quint8 other
        = mode == TCameraModeAction::ModeRec ? TCameraModeAction::ModeShutter : TCameraModeAction::ModeRec;
    const bool recording = mode != TCameraModeAction::ModePlay;
    if (recording && throughPlay)
        modes.Mode = other;
    bool ok = switchTo();
    if (!ok && recording && !throughPlay) {
        modes.Mode = other;
        ok = switchTo();
    }
    if (!ok)
        error = QStringLiteral("the camera did not switch to %1 mode").arg(modeName(mode));
    return ok;
}

bool ModeCommand::EnterMode(CliContext& context, const TOIShare& commandList, quint8 mode, QString& error)
{
    TCameraModeAction modes(TCameraLink::ToHost(context.cameraHost()));
    ProbeAction(modes, commandList);
    const QString setting = storedLiveViewSize();
    modes.LiveViewSizeSetting = [setting] { return setting; };
    return EnterMode(modes, mode, QString(), false, error);
}

int ModeCommand::run(CliContext& context, const QStringList& arguments)
{
    QString target;
    QString size;
    bool sizeGiven = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (arg == QLatin1String("--size")) {
            if (i + 1 >= arguments.size())
                return context.usage(QStringLiteral("--size needs a size such as 640x480"));
            sizeGiven = true;
            size = TLiveViewSizeChange::SizeCode(arguments.at(++i));
            if (size.isEmpty())
                return context.usage(QStringLiteral("not a live view size: %1").arg(arguments.at(i)));
        } else if (target.isEmpty()) {
            target = arg;
        } else {
            return context.usage(QStringLiteral("mode takes one mode: play, rec or shutter"));
        }
    }
    quint8 mode = 0;
    if (target == QLatin1String("play"))
        mode = TCameraModeAction::ModePlay;
    else if (target == QLatin1String("rec"))
        mode = TCameraModeAction::ModeRec;
    else if (target == QLatin1String("shutter"))
        mode = sizeGiven ? TCameraModeAction::ModeShutterWithSize : TCameraModeAction::ModeShutter;
    else
        return context.usage(QStringLiteral("mode needs play, rec or shutter"));
    if (sizeGiven && mode == TCameraModeAction::ModePlay)
        return context.usage(QStringLiteral("playback has no live view size"));

    TOIShare commandList;
    QString error = context.loadCommandList(commandList);
    if (!error.isEmpty())
        return context.fail(error);
    TCameraModeAction modes(TCameraLink::ToHost(context.cameraHost()));
    ProbeAction(modes, commandList);
    const QString setting = storedLiveViewSize();
    modes.LiveViewSizeSetting = [setting] { return setting; };
    if (size.isEmpty()) {
        // Through playback all the same, so that the stored size takes effect.
        if (!EnterMode(modes, mode, size, true, error))
            return context.fail(error);
    } else {
        // A new size goes the way the window's size choice goes.
        if (const QString why = refusal(modes, mode, size); !why.isEmpty())
            return context.fail(why);
        const TCameraLink link = TCameraLink::ToHost(context.cameraHost());
        TLiveViewAction liveView(link);
        TReleaseViewAction releaseView(link);
        TReleaseAFFrameAction releaseAFFrame(link);
        ProbeAction(releaseAFFrame, commandList);
        TLiveViewControl control(modes, liveView, releaseView, [size] { return size; });
        TLiveViewSizeChange change(control, modes, releaseAFFrame);
        if (!change.Enter(mode, size))
            return context.fail(QStringLiteral("the camera did not switch to %1 mode").arg(modeName(mode)));
    }

    const bool sized = mode == TCameraModeAction::ModeRec || mode == TCameraModeAction::ModeShutterWithSize;
    if (context.json()) {
        QJsonObject result { { QStringLiteral("ok"), true }, { QStringLiteral("mode"), modeName(mode) } };
        if (sized)
            result.insert(QStringLiteral("size"), modes.LiveViewSize);
        result.insert(QStringLiteral("sizes"), QJsonArray::fromStringList(modes.LiveViewSizes()));
        context.printJson(QJsonDocument(result));
    } else if (sized) {
        context.print(QStringLiteral("camera in %1 mode, live view %2 x %3")
                          .arg(modeName(mode))
                          .arg(modes.LiveViewWidth)
                          .arg(modes.LiveViewHeight));
    } else {
        context.print(QStringLiteral("camera in %1 mode").arg(modeName(mode)));
    }
    return CliContext::Success;
}
