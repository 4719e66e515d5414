#include "camera/TTakeAction.h"

#include "camera/AFPoint.h"
#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

namespace {

const char* query(quint8 command)
{
    switch (command) {
    case TTakeAction::StartTake:
        return "?com=starttake";
    case TTakeAction::StopTake:
        return "?com=stoptake";
    case TTakeAction::StartMovieTake:
        return "?com=startmovietake";
    case TTakeAction::StopMovieTake:
        return "?com=stopmovietake";
    default:
        return nullptr;
    }
}

} // namespace

TTakeAction::TTakeAction(TCameraLink link, const QString& cgiName)
    : TBaseRemoteAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TTakeAction"));
}

void TTakeAction::clearResults()
{
    TakeResult.clear();
    AFFocus.clear();
    AFFramePoint = QPoint();
    AFFrameSize = QSize(0, 0);
}

void TTakeAction::Reset()
{
    TBaseRemoteAction::Reset();
    LastCommand = 0;
    clearResults();
    m_withPoint = false;
}

bool TTakeAction::Probe(const TCGIFunction& function)
{
    const TCGIParamValue* start = AFPoint::FindCom(function, QStringLiteral("starttake"));
    Enabled = start && AFPoint::FindCom(function, QStringLiteral("stoptake"));
    m_withPoint = Enabled && AFPoint::ComHasKey(start, QStringLiteral("point"));
    if (Enabled)
        CollectCommands(function);
    return true;
}

bool TTakeAction::Execute()
{
    return Take(0, StartTake);
}

bool TTakeAction::request(const QString& queryText, int readTimeoutMs, bool accept202, quint8 command)
{
    clearResults();
    if (!Enabled)
        return false;
    if (!executeRequest(Link.url(Endpoint::TakeMotion) + queryText, readTimeoutMs, accept202))
        return false;
    LastCommand = command;
    if (command != StartTake) {
        // Only the picture's answer carries a result worth reading.
        TakeResult = QStringLiteral("ok");
        AFFocus = QStringLiteral("ok");
        return true;
    }
    for (const auto& [name, text] : AFPoint::ResponseItems(Document)) {
        if (name == QLatin1String("take"))
            TakeResult = text;
        else if (name == QLatin1String("affocus"))
            AFFocus = text;
        else if (name == QLatin1String("afframepoint"))
            AFFramePoint = AFPoint::Parse(text);
        else if (name == QLatin1String("afframesize"))
            AFFrameSize = AFPoint::ParseSize(text);
    }
    return true;
}

bool TTakeAction::Take(int timeoutMs, quint8 command)
{
    const char* text = query(command);
    if (!text) {
        clearResults();
        return false;
    }
    return request(QString::fromLatin1(text), Timeout::takeTimeout(timeoutMs, false), true, command);
}

bool TTakeAction::TakeAt(int timeoutMs, quint8 command, int x, int y)
{
    if (!m_withPoint || (command != StartTake && command != StopTake))
        return Take(timeoutMs, command);
    const QString text = command == StartTake
        ? QStringLiteral("?com=starttake&point=") + AFPoint::Format(x, y)
        : QStringLiteral("?com=stoptake");
    return request(text, Timeout::takeTimeout(timeoutMs, true), false, command);
}

bool TTakeAction::IsOK() const
{
    return TakeResult.compare(QLatin1String("ok"), Qt::CaseInsensitive) == 0;
}
