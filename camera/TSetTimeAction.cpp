#include "camera/TSetTimeAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

#include <cstdlib>

TSetTimeAction::TSetTimeAction(TCameraLink link, const QString& cgiName)
    : TBaseRemoteAction(cgiName, std::move(link))
    , Now([] { return QDateTime::currentDateTime(); })
{
    setClassName(QStringLiteral("TSetTimeAction"));
}

bool TSetTimeAction::Probe(const TCGIFunction& function)
{
    Enabled = function.Methods.HasMethod(THTTPMethod::Kind::Get)
        && function.Methods.FindParam(THTTPMethod::Kind::Get, QStringLiteral("utctime")) != nullptr;
    if (Enabled)
        CollectCommands(function);
    return true;
}

QString TSetTimeAction::UtcTimeText(const QDateTime& moment)
{
    return moment.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
}

QString TSetTimeAction::DiffText(int offsetFromUtcSeconds)
{
    const int minutes = std::abs(offsetFromUtcSeconds) / 60;
    return QStringLiteral("%1%2%3")
        .arg(offsetFromUtcSeconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString TSetTimeAction::Query(const QDateTime& moment)
{
    QString diff = DiffText(moment.offsetFromUtc());
    if (diff.startsWith(QLatin1Char('+')))
        diff.replace(0, 1, QStringLiteral("%2B"));
    return QStringLiteral("utctime=%1&diff=%2").arg(UtcTimeText(moment), diff);
}

bool TSetTimeAction::Execute()
{
    QDateTime moment = Now ? Now() : QDateTime();
    if (!moment.isValid()) {
        // Without a usable local time the camera gets UTC and no offset.
        logTrace(QStringLiteral("TSetTimeAction.Execute: local time unknown, sending UTC"));
        moment = QDateTime::currentDateTimeUtc();
    }
    LastUtcTime = UtcTimeText(moment);
    LastDiff = DiffText(moment.offsetFromUtc());
    return executeRequest(Link.url(Endpoint::UtcTimeDiff) + QLatin1Char('?') + Query(moment),
        Timeout::PowerActivateClock, true);
}
