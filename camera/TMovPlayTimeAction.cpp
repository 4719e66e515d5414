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

bool TMovPlayTimeAction::Start(
    const QString& path, std::function<void(bool success, const QString& text)> done)
{
    const QString dir = DirValue(path);
    if (!Enabled || Busy || dir.isEmpty())
        return false;
    Document.Clear();
    LastFailure = TCameraFailure::None;
    TCameraStreamRequest request;
    request.Url = Link.url(Endpoint::MovPlayTime) + QStringLiteral("?DIR=") + dir;
    request.ReadTimeoutMs = Timeout::Info;
    request.LogBody = true;
    request.MaxBodySize = 64 * 1024;
    m_done = std::move(done);
    Busy = true;
    QString why;
    const bool started = m_background.start(
        Link, request,
        [this](const TCameraAnswer& answer, QByteArray& body) {
            Busy = false;
            QString text;
            QString error;
            if (!answer.Completed) {
                LastFailure
                    = answer.Failure == TCameraFailure::None ? TCameraFailure::NoAnswer : answer.Failure;
                logError(QStringLiteral("TMovPlayTimeAction.Start: %1").arg(answer.Error));
            } else if (answer.Code != 200) {
                LastFailure = TCameraFailure::Status;
            } else if (!Document.TryLoad(body, &error)) {
                logError(QStringLiteral("TMovPlayTimeAction.Start: unreadable answer (%1)").arg(error));
                LastFailure = TCameraFailure::Unreadable;
            } else if (!ParseResult(text)) {
                LastFailure = TCameraFailure::Unreadable;
                text.clear();
            }
            const bool ok = LastFailure == TCameraFailure::None;
            std::function<void(bool, const QString&)> finished = std::move(m_done);
            m_done = nullptr;
            if (OnDone)
                OnDone(this, ok);
            if (finished)
                finished(ok, text);
        },
        why);
    if (!started) {
        Busy = false;
        m_done = nullptr;
        LastFailure = TCameraFailure::NoAnswer;
        logError(QStringLiteral("TMovPlayTimeAction.Start: %1").arg(why));
    }
    return started;
}

void TMovPlayTimeAction::Abandon()
{
    if (!m_background.isRunning())
        return;
    m_background.drop();
    m_done = nullptr;
    Busy = false;
}

void TMovPlayTimeAction::Reset()
{
    const bool running = m_background.isRunning();
    m_background.drop();
    std::function<void(bool, const QString&)> done = std::move(m_done);
    m_done = nullptr;
    TBaseInfoAction::Reset();
    if (running) {
        LastFailure = TCameraFailure::Reset;
        if (done)
            done(false, QString());
    }
}
