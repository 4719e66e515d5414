#include "camera/TMovPlayTimeAction.h"

#include "camera/CameraEndpoints.h"

#include <QUrl>

TMovPlayTimeAction::TMovPlayTimeAction(TCameraLink link, const QString& cgiName)
    : TBaseInfoAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TMovPlayTimeAction"));
}

bool TMovPlayTimeAction::Probe(const TCGIFunction& function)
{
    return probeGet(function);
}

bool TMovPlayTimeAction::Execute(QString& text)
{
    text.clear();
    logError(QStringLiteral("TMovPlayTimeAction.Execute: no movie file given"));
    return false;
}

QString TMovPlayTimeAction::DirValue(const QString& path)
{
    if (!path.startsWith(QLatin1Char('/')))
        return {};
    for (const QString& segment : path.split(QLatin1Char('/')))
        if (segment == QLatin1String(".."))
            return {};
    for (const QChar c : path)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return {};
    // The path goes into a query: "&", "#", "+" and blanks must not end or change it.
    return QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("/DCIM") + path, "/"));
}

bool TMovPlayTimeAction::Execute(const QString& path, QString& text)
{
    if (!Enabled) {
        text.clear();
        Document.Clear();
        return true;
    }
    const QString dir = DirValue(path);
    if (dir.isEmpty()) {
        text.clear();
        logError(QStringLiteral("TMovPlayTimeAction.Execute: not a path below /DCIM: %1").arg(path));
        return false;
    }
    return executeRequest(Link.url(Endpoint::MovPlayTime) + QStringLiteral("?DIR=") + dir, text);
}

QString TMovPlayTimeAction::PlayTimeText(const QString& answer)
{
    bool ok = false;
    const qlonglong seconds = answer.toLongLong(&ok);
    if (!ok || seconds < 0 || answer.startsWith(QLatin1Char('+')))
        return answer;
    const qlonglong inDay = seconds % 86400;
    return QStringLiteral("%1:%2:%3")
        .arg(inDay / 3600, 2, 10, QLatin1Char('0'))
        .arg((inDay / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(inDay % 60, 2, 10, QLatin1Char('0'));
}

bool TMovPlayTimeAction::ParseResult(QString& text)
{
    QString answer;
    if (!parseElementText(QStringLiteral("playtime"), answer))
        return false;
    text = PlayTimeText(answer);
    if (text == answer)
        logTrace(QStringLiteral("TMovPlayTimeAction.ParseResult: play time is not a number of seconds: %1")
                     .arg(answer));
    return true;
}
