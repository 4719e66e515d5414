#include "camera/TCameraInfo.h"

#include "base/TLogger.h"
#include "camera/TOIShare.h"

#include <exception>

TCameraInfo::TCameraInfo(const TCameraLink& link)
    : CameraInfo(link)
    , ConnectMode(link)
    , DCFFileCount(link)
    , UnusedCapacity(link)
    , MovPlayTime(link)
{
    for (TBaseInfoAction* action : Actions())
        action->OnDone = [](TBaseInfoAction*, bool) {};
}

std::array<TBaseInfoAction*, 5> TCameraInfo::Actions()
{
    return { &CameraInfo, &ConnectMode, &DCFFileCount, &UnusedCapacity, &MovPlayTime };
}

std::array<const TBaseInfoAction*, 5> TCameraInfo::Actions() const
{
    return { &CameraInfo, &ConnectMode, &DCFFileCount, &UnusedCapacity, &MovPlayTime };
}

void TCameraInfo::Reset()
{
    for (TBaseInfoAction* action : Actions())
        action->Reset();
}

bool TCameraInfo::Probe(const TOIShare& commandList)
{
    try {
        for (TBaseInfoAction* action : Actions()) {
            const TCGIFunction* function = commandList.Functions.Find(action->CGIName);
            if (function && !action->Probe(*function))
                return false;
        }
        return true;
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TCameraInfo.Probe (Ex): %1").arg(QString::fromLocal8Bit(e.what())));
        return false;
    }
}

bool TCameraInfo::Busy() const
{
    for (const TBaseInfoAction* action : Actions())
        if (action->Busy)
            return true;
    return false;
}
