#pragma once

#include "camera/TActivateAction.h"
#include "camera/TAssignAFFrameAction.h"
#include "camera/TCameraModeAction.h"
#include "camera/TCameraParams.h"
#include "camera/TCtrlZoomAction.h"
#include "camera/TMacroMFAction.h"
#include "camera/TPowerOffAction.h"
#include "camera/TReleaseAFFrameAction.h"
#include "camera/TReleaseAction.h"
#include "camera/TSetTimeAction.h"
#include "camera/TTakeAction.h"
#include "camera/TTakeReadyAction.h"
#include "liveview/TLastJpegAction.h"
#include "liveview/TLiveViewAction.h"
#include "liveview/TRecordViewAction.h"
#include "liveview/TReleaseViewAction.h"

#include <vector>

class TOIShare;
class TSetup;

// The remote part of the camera object: the shooting properties and every action that makes the
// camera do something: modes, focus, taking, shutter, live view, zoom, power, clock.
class TCameraRemote
{
public:
    // With a setup the mode switch prefers its live view size and the live view receivers read it.
    explicit TCameraRemote(const TCameraLink& link, const TSetup* setup = nullptr);
    TCameraRemote(const TCameraRemote&) = delete;
    TCameraRemote& operator=(const TCameraRemote&) = delete;

    TCameraParams Params;
    TPowerOffAction PowerOff;
    TCameraModeAction CameraMode;
    TAssignAFFrameAction AssignAFFrame;
    TReleaseAFFrameAction ReleaseAFFrame;
    TTakeReadyAction TakeReady;
    TTakeAction Take;
    TLiveViewAction LiveView;
    TReleaseAction Release;
    TReleaseViewAction ReleaseView;
    TRecordViewAction RecordView;
    TLastJpegAction LastJpeg;
    TActivateAction Activate;
    TSetTimeAction SetTime;
    TCtrlZoomAction CtrlZoom;
    TMacroMFAction MacroMF;

    // Properties forgotten (their dictionaries kept), every action disabled.
    void Reset();
    // Probes each action whose CGI program the list names; the others stay disabled. False at the
    // first failing probe or on an error. Then reads the properties in recording mode (shutter-only
    // mode with a live view size when recording mode has none) and leaves the camera in playback.
    bool Probe(const TOIShare& commandList);
    bool Busy() const;
    // Live view datagrams arrived within the last seconds; the connection check keeps away then.
    bool LiveViewReceiving() const;

    // The fifteen actions in the order above.
    std::vector<TBaseRemoteAction*> Actions();
    std::vector<const TBaseRemoteAction*> Actions() const;

private:
    bool probeProperties(const TOIShare& commandList);
};
