#pragma once

#include "camera/TCameraInfoAction.h"
#include "camera/TConnectModeAction.h"
#include "camera/TDCFFileCountAction.h"
#include "camera/TMovPlayTimeAction.h"
#include "camera/TUnusedCapacityAction.h"

#include <array>

class TOIShare;

// The information part of the camera object: model, connection mode, file count, free capacity and
// movie play time, each one action enabled from the command list.
class TCameraInfo
{
public:
    explicit TCameraInfo(const TCameraLink& link);
    TCameraInfo(const TCameraInfo&) = delete;
    TCameraInfo& operator=(const TCameraInfo&) = delete;

    TCameraInfoAction CameraInfo;
    TConnectModeAction ConnectMode;
    TDCFFileCountAction DCFFileCount;
    TUnusedCapacityAction UnusedCapacity;
    TMovPlayTimeAction MovPlayTime;

    void Reset();
    // Probes each action whose CGI program the list names; the others stay disabled. False at the
    // first failing probe.
    bool Probe(const TOIShare& commandList);
    bool Busy() const;

    std::array<TBaseInfoAction*, 5> Actions();
    std::array<const TBaseInfoAction*, 5> Actions() const;
};
