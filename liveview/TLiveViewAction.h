#pragma once

#include "liveview/TBaseLiveViewAction.h"

// Live view in recording mode ("exec_takemisc.cgi"); the live view panel shows its frames.
class TLiveViewAction : public TBaseLiveViewAction
{
public:
    explicit TLiveViewAction(TCameraLink link, const TSetup* setup = nullptr,
        const QString& cgiName = QStringLiteral("exec_takemisc"));
};
