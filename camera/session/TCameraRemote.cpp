#include "camera/session/TCameraRemote.h"

#include "app/TLogger.h"
#include "camera/TOIShare.h"

#include <algorithm>
#include <exception>

TCameraRemote::TCameraRemote(const TCameraLink& link)
    : Params(link)
    , PowerOff(link)
    , Activate(link)
    , SetTime(link)
{
    for (TBaseRemoteAction* action : Actions())
        action->OnDone = [](TBaseRemoteAction*, bool) {};
}

std::vector<TBaseRemoteAction*> TCameraRemote::Actions()
{
    return { &PowerOff, &Activate, &SetTime };
}

std::vector<const TBaseRemoteAction*> TCameraRemote::Actions() const
{
    return { &PowerOff, &Activate, &SetTime };
}

void TCameraRemote::Reset()
{
    Params.ResetAll(false);
    for (TBaseRemoteAction* action : Actions())
        action->Reset();
}

bool TCameraRemote::Probe(const TOIShare& commandList)
{
    try {
        for (TBaseRemoteAction* action : Actions()) {
            const TCGIFunction* function = commandList.Functions.Find(action->CGIName);
            if (function && !action->Probe(*function))
                return false;
        }
        return true;
    } catch (const std::exception& e) {
        if (TLogger* logger = TLogger::Instance())
            logger->Log(
                QStringLiteral("TCameraRemote.Probe (Ex): %1").arg(QString::fromLocal8Bit(e.what())), true);
    } catch (...) {
        if (TLogger* logger = TLogger::Instance())
            logger->Log(QStringLiteral("TCameraRemote.Probe (Ex): unknown error"), true);
    }
    return false;
}

bool TCameraRemote::Busy() const
{
    const auto actions = Actions();
    return std::any_of(actions.begin(), actions.end(), [](const TBaseRemoteAction* a) { return a->Busy; });
}
