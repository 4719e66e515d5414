#include "camera/TAssignAFFrameAction.h"

#include "camera/AFPoint.h"
#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

TAssignAFFrameAction::TAssignAFFrameAction(TCameraLink link, const QString& cgiName)
    : TBaseRemoteAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TAssignAFFrameAction"));
}

void TAssignAFFrameAction::clearResults()
{
    AFFocus.clear();
    AFFramePoint = QPoint();
    AFFrameSize = QSize(0, 0);
}

void TAssignAFFrameAction::Reset()
{
    TBaseRemoteAction::Reset();
    clearResults();
    m_assigned = false;
}

bool TAssignAFFrameAction::Probe(const TCGIFunction& function)
{
    Enabled = AFPoint::ComHasKey(
        AFPoint::FindCom(function, QStringLiteral("assignafframe")), QStringLiteral("point"));
    if (Enabled)
        CollectCommands(function);
    return true;
}

bool TAssignAFFrameAction::Execute()
{
    return m_assigned && Assign(m_x, m_y);
}

bool TAssignAFFrameAction::Assign(int x, int y)
{
    clearResults();
    if (!Enabled)
        return false;
    m_assigned = true;
    m_x = x;
    m_y = y;
    const QString url = Link.url(Endpoint::TakeMotion) + QStringLiteral("?com=assignafframe&point=")
        + AFPoint::Format(x, y);
    if (!executeRequest(url, Timeout::AssignAfFrame, false))
        return false;
    for (const auto& [name, text] : AFPoint::ResponseItems(Document)) {
        if (name == QLatin1String("affocus"))
            AFFocus = text;
        else if (name == QLatin1String("afframepoint"))
            AFFramePoint = AFPoint::Parse(text);
        else if (name == QLatin1String("afframesize"))
            AFFrameSize = AFPoint::ParseSize(text);
    }
    return true;
}
