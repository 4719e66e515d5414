#pragma once

#include "liveview/TBaseLiveViewAction.h"

// Live view in shutter mode ("exec_shuttermisc.cgi"), used by the remote release.
class TReleaseViewAction : public TBaseLiveViewAction
{
public:
    explicit TReleaseViewAction(TCameraLink link, const TSetup* setup = nullptr,
        const QString& cgiName = QStringLiteral("exec_shuttermisc"));
};
