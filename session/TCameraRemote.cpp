#include "session/TCameraRemote.h"

#include "base/TLogger.h"
#include "base/TSetup.h"
#include "camera/TOIShare.h"

#include <algorithm>
#include <exception>

TCameraRemote::TCameraRemote(const TCameraLink& link, const TSetup* setup)
    : Params(link)
    , PowerOff(link)
    , CameraMode(link)
    , AssignAFFrame(link)
    , ReleaseAFFrame(link)
    , TakeReady(link)
    , Take(link)
    , LiveView(link, setup)
    , Release(link)
    , ReleaseView(link, setup)
    , RecordView(link)
    , LastJpeg(link)
    , Activate(link)
    , SetTime(link)
    , CtrlZoom(link)
    , MacroMF(link)
{
    for (TBaseRemoteAction* action : Actions())
        action->OnDone = [](TBaseRemoteAction*, bool) {};
    if (setup)
        CameraMode.LiveViewSizeSetting = [setup] { return setup->LiveViewSize; };
}

std::vector<TBaseRemoteAction*> TCameraRemote::Actions()
{
    return { &PowerOff, &CameraMode, &AssignAFFrame, &ReleaseAFFrame, &TakeReady, &Take, &LiveView, &Release,
        &ReleaseView, &RecordView, &LastJpeg, &Activate, &SetTime, &CtrlZoom, &MacroMF };
}

std::vector<const TBaseRemoteAction*> TCameraRemote::Actions() const
{
    return { &PowerOff, &CameraMode, &AssignAFFrame, &ReleaseAFFrame, &TakeReady, &Take, &LiveView, &Release,
        &ReleaseView, &RecordView, &LastJpeg, &Activate, &SetTime, &CtrlZoom, &MacroMF };
}

void TCameraRemote::Reset()
{
    Params.ResetAll(false);
    for (TBaseRemoteAction* action : Actions())
        action->Reset();
}

bool TCameraRemote::probeProperties(const TOIShare& commandList)
{
    const quint8 modes = CameraMode.SupportedModes;
    if (!CameraMode.Enabled
        || !(modes & (TCameraModeAction::FlagRec | TCameraModeAction::FlagShutterWithSize))
        || CameraMode.LiveViewSizes().isEmpty())
        return true;
    // The camera describes its properties only while it records; any live view size will do.
    const QString size = CameraMode.LiveViewSizes().first();
    bool switched
        = (modes & TCameraModeAction::FlagRec) && CameraMode.SwitchMode(TCameraModeAction::ModeRec, size);
    if (!switched && (modes & TCameraModeAction::FlagShutterWithSize))
        switched = CameraMode.SwitchMode(TCameraModeAction::ModeShutterWithSize, size);
    const bool result = switched ? Params.Probe(commandList) : true;
    CameraMode.SwitchToMode(TCameraModeAction::ModePlay);
    return result;
}

bool TCameraRemote::Probe(const TOIShare& commandList)
{
    try {
        for (TBaseRemoteAction* action : Actions()) {
            const TCGIFunction* function = commandList.Functions.Find(action->CGIName);
            if (function && !action->Probe(*function))
                return false;
        }
        return probeProperties(commandList);
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TCameraRemote.Probe (Ex): %1").arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        TLogger::LogAlways(QStringLiteral("TCameraRemote.Probe (Ex): unknown error"));
    }
    return false;
}

bool TCameraRemote::Busy() const
{
    const auto actions = Actions();
    return std::any_of(actions.begin(), actions.end(), [](const TBaseRemoteAction* a) { return a->Busy; });
}

bool TCameraRemote::LiveViewReceiving() const
{
    return LiveView.Processor().Receiving() || ReleaseView.Processor().Receiving();
}
