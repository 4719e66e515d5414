#pragma once

#include "camera/TActivateAction.h"
#include "camera/TCameraParams.h"
#include "camera/TPowerOffAction.h"
#include "camera/TSetTimeAction.h"

#include <vector>

class TOIShare;

// The remote part of the camera object: the shooting properties and the remote actions. It holds
// power off, activation and the clock so far; mode switching, shooting and live view join it.
class TCameraRemote
{
public:
    explicit TCameraRemote(const TCameraLink& link);
    TCameraRemote(const TCameraRemote&) = delete;
    TCameraRemote& operator=(const TCameraRemote&) = delete;

    TCameraParams Params;
    TPowerOffAction PowerOff;
    TActivateAction Activate;
    TSetTimeAction SetTime;

    // Properties forgotten (their dictionaries kept), every action disabled.
    void Reset();
    // Probes each action whose CGI program the list names; the others stay disabled. False at the
    // first failing probe or on an error.
    bool Probe(const TOIShare& commandList);
    bool Busy() const;
    // Live view datagrams arrived within the last seconds; the connection check keeps away then.
    bool LiveViewReceiving() const { return false; }

    std::vector<TBaseRemoteAction*> Actions();
    std::vector<const TBaseRemoteAction*> Actions() const;
};
