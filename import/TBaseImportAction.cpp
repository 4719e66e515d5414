#include "import/TBaseImportAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"

TBaseImportAction::TBaseImportAction(const QString& cgiName, TCameraLink link)
    : TBaseAction(std::move(link))
    , CGIName(cgiName)
{
    setClassName(QStringLiteral("TBaseImportAction"));
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

bool TBaseImportAction::runImportRequest(
    const QString& url, int readTimeoutMs, bool logBody, const std::function<void(QByteArray& body)>& take)
{
    LastError.clear();
    ResponseCode = -1;
    RequestFrame frame;
    frame.Enabled = Enabled;
    frame.Prepare = [&] {
        TCameraRequest request;
        request.Url = url;
        request.ReadTimeoutMs = readTimeoutMs;
        request.LogBody = logBody;
        return request;
    };
    frame.Judge = [&](TCameraAnswer answer) {
        ResponseCode = answer.Code;
        if (!answer.Completed) {
            LastError = answer.Error;
            return answer.Failure;
        }
        if (answer.Code != 200) {
            LastError = QStringLiteral("the camera answered %1").arg(answer.Code);
            return TCameraFailure::Status;
        }
        take(answer.Body);
        return TCameraFailure::None;
    };
    frame.Done = [this](bool success) {
        if (OnDone)
            OnDone(this, success);
    };
    const bool result = runRequest(frame);
    if (LastFailure == TCameraFailure::Reset)
        LastError = QStringLiteral("reset while waiting");
    else if (LastFailure == TCameraFailure::Internal && LastError.isEmpty())
        LastError = QStringLiteral("an unexpected error (the log says which)");
    return result;
}

bool TBaseImportAction::runListRequest(const QString& url)
{
    Lines.clear();
    return runImportRequest(url, Timeout::ImageList, true,
        [this](QByteArray& body) { Lines = SplitLines(QString::fromUtf8(body)); });
}
