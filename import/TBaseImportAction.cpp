#include "import/TBaseImportAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

TBaseImportAction::TBaseImportAction(const QString& cgiName, TCameraLink link)
    : TBaseAction(std::move(link))
    , CGIName(cgiName)
{
    TBaseImportAction::Reset();
}

void TBaseImportAction::Reset()
{
    TBaseAction::Reset();
    Enabled = false;
    Items.Clear();
    Folders.clear();
    Lines.clear();
    Data.clear();
    ResponseCode = -1;
    LastError.clear();
    LastFailure = TCameraFailure::None;
}

bool TBaseImportAction::Execute()
{
    return false;
}

QStringList TBaseImportAction::SplitLines(const QString& text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool TBaseImportAction::HasGetWithDir(const TCGIFunction* description)
{
    return description
        && description->Methods.FindParam(THTTPMethod::Kind::Get, QStringLiteral("DIR")) != nullptr;
}

bool TBaseImportAction::sendRequest(const QString& url, int readTimeoutMs, bool logBody, QByteArray& body)
{
    const quint64 resets = resetCount();
    TCameraRequest request;
    request.Url = url;
    request.ReadTimeoutMs = readTimeoutMs;
    request.LogBody = logBody;
    TCameraAnswer answer = Link.send(request);
    if (resets != resetCount()) {
        // Reset while waiting: the answer belongs to a camera state that is gone.
        logTrace(QStringLiteral("%1.Execute: reset while waiting, answer dropped").arg(m_className));
        LastError = QStringLiteral("reset while waiting");
        LastFailure = TCameraFailure::Reset;
        return false;
    }
    ResponseCode = answer.Code;
    if (!answer.Completed) {
        LastError = answer.Error;
        LastFailure = TCameraFailure::NoAnswer;
        logError(QStringLiteral("%1.Execute: %2").arg(m_className, answer.Error));
        return false;
    }
    if (answer.Code != 200) {
        LastError = QStringLiteral("the camera answered %1").arg(answer.Code);
        LastFailure = TCameraFailure::Status;
        return false;
    }
    body = std::move(answer.Body);
    return true;
}

bool TBaseImportAction::runListRequest(const QString& url)
{
    BusyGuard busy(*this);
    Lines.clear();
    LastError.clear();
    LastFailure = TCameraFailure::None;
    ResponseCode = -1;
    if (!Enabled)
        return true;
    QByteArray body;
    const bool result = sendRequest(url, Timeout::ImageList, true, body);
    if (result)
        Lines = SplitLines(QString::fromUtf8(body));
    if (OnDone)
        OnDone(this, result);
    return result;
}
