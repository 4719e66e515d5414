#include "ModeCommand.h"

#include "CliContext.h"
#include "base/TSetup.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

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

} // namespace

bool ModeCommand::ProbeAction(TBaseRemoteAction& action, const TOIShare& commandList)
{
    action.Reset();
    const TCGIFunction* function = commandList.Functions.Find(action.CGIName);
    return function && action.Probe(*function) && action.Enabled;
}

QString ModeCommand::SizeText(const QString& argument)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*([0-9]{1,4})\\s*x\\s*([0-9]{1,4})\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(argument);
    if (!match.hasMatch())
        return {};
    return QStringLiteral("%1x%2")
        .arg(match.captured(1).toInt(), 4, 10, QLatin1Char('0'))
        .arg(match.captured(2).toInt(), 4, 10, QLatin1Char('0'));
}

bool ModeCommand::EnterMode(
    TCameraModeAction& modes, quint8 mode, const QString& size, bool throughPlay, QString& error)
{
    if (!modes.Enabled) {
        error = QStringLiteral("the camera offers no mode switch");
        return false;
    }
    const bool sized = mode == TCameraModeAction::ModeRec || mode == TCameraModeAction::ModeShutterWithSize;
    if (sized && modes.LiveViewSizes().isEmpty()) {
        error = QStringLiteral("the camera offers no live view size for %1 mode").arg(modeName(mode));
        return false;
    }
    if (!size.isEmpty() && !modes.LiveViewSizes().contains(size, Qt::CaseInsensitive)) {
        error = QStringLiteral("the camera offers no live view size %1 (it offers %2)")
                    .arg(size, modes.LiveViewSizes().join(QStringLiteral(", ")));
        return false;
    }
    if (mode == TCameraModeAction::ModeShutter && !(modes.SupportedModes & TCameraModeAction::FlagShutter)) {
        error = QStringLiteral("the camera has no shutter-only mode");
        return false;
    }
    // The sizes are those of both modes together; each mode takes a size only when it lists them.
    const quint8 sizedFlag = mode == TCameraModeAction::ModeRec ? TCameraModeAction::FlagRec
                                                                : TCameraModeAction::FlagShutterWithSize;
    if (sized && !(modes.SupportedModes & sizedFlag)) {
        error = mode == TCameraModeAction::ModeRec
            ? QStringLiteral("the camera offers no recording mode with live view")
            : QStringLiteral("the camera's shutter-only mode takes no live view size");
        return false;
    }
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
            size = SizeText(arguments.at(++i));
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
    // An explicit change goes through playback so that a new size takes effect.
    if (!EnterMode(modes, mode, size, true, error))
        return context.fail(error);

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
