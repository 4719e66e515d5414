#include "camera/TTakeReadyAction.h"

#include "camera/AFPoint.h"
#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

TTakeReadyAction::TTakeReadyAction(TCameraLink link, const QString& cgiName)
    : TBaseRemoteAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TTakeReadyAction"));
}

void TTakeReadyAction::Reset()
{
    TBaseRemoteAction::Reset();
    FocusResult.clear();
    AFFramePoint = QPoint();
    AFFrameSize = QSize(0, 0);
    m_withPoint = false;
}

bool TTakeReadyAction::Probe(const TCGIFunction& function)
{
    const TCGIParamValue* takeReady = AFPoint::FindCom(function, QStringLiteral("takeready"));
    if (takeReady)
        CollectCommands(function);
    m_withPoint = AFPoint::ComHasKey(takeReady, QStringLiteral("point"));
    Enabled = m_withPoint;
    return true;
}

bool TTakeReadyAction::Execute()
{
    return TakeReady();
}

bool TTakeReadyAction::request(const QString& query)
{
    FocusResult.clear();
    AFFramePoint = QPoint();
    AFFrameSize = QSize(0, 0);
    if (!Enabled)
        return false;
    if (!executeRequest(Link.url(Endpoint::TakeMotion) + query, Timeout::CamMode, false))
        return false;
    for (const auto& [name, text] : AFPoint::ResponseItems(Document)) {
        if (name == QLatin1String("take") || name == QLatin1String("affocus"))
            FocusResult = text;
        else if (name == QLatin1String("afframepoint"))
            AFFramePoint = AFPoint::Parse(text);
        else if (name == QLatin1String("afframesize"))
            AFFrameSize = AFPoint::ParseSize(text);
    }
    return true;
}

bool TTakeReadyAction::TakeReady()
{
    return request(QStringLiteral("?com=takeready"));
}

bool TTakeReadyAction::TakeReadyAt(int x, int y)
{
    if (!m_withPoint)
        return TakeReady();
    return request(QStringLiteral("?com=takeready&point=") + AFPoint::Format(x, y));
}

bool TTakeReadyAction::IsReady() const
{
    return FocusResult.compare(QLatin1String("ok"), Qt::CaseInsensitive) == 0;
}
