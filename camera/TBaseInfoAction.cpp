#include "camera/TBaseInfoAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"
#include "camera/TStringDictionary.h"

TBaseInfoAction::TBaseInfoAction(const QString& cgiName, TCameraLink link)
    : TBaseAction(std::move(link))
    , CGIName(cgiName)
{
    setClassName(QStringLiteral("TBaseInfoAction"));
    TBaseInfoAction::Reset();
}

void TBaseInfoAction::Reset()
{
    TBaseAction::Reset();
    Enabled = false;
    Document.Clear();
}

bool TBaseInfoAction::probeGet(const TCGIFunction& function)
{
    Enabled = function.Methods.HasMethod(THTTPMethod::Kind::Get, false);
    return true;
}

bool TBaseInfoAction::executeRequest(const QString& url, QString& text)
{
    text.clear();
    Document.Clear();
    RequestFrame frame;
    frame.Enabled = Enabled;
    frame.Prepare = [&url] {
        TCameraRequest request;
        request.Url = url;
        request.ReadTimeoutMs = Timeout::Info;
        request.LogBody = true;
        return request;
    };
    frame.Judge = [this, &text](const TCameraAnswer& answer) {
        if (answer.Code != 200)
            return TCameraFailure::Status;
        QString error;
        if (!Document.TryLoad(answer.Body, &error)) {
            logError(QStringLiteral("%1.Execute: unreadable answer (%2)").arg(className(), error));
            return TCameraFailure::Unreadable;
        }
        return ParseResult(text) ? TCameraFailure::None : TCameraFailure::Unreadable;
    };
    frame.Done = [this](bool success) {
        if (OnDone)
            OnDone(this, success);
    };
    const bool result = runRequest(frame);
    if (!result)
        text.clear(); // nothing half-parsed
    return result;
}

bool TBaseInfoAction::parseElementText(const QString& element, QString& text)
{
    text.clear();
    const TXMLNode* root = Document.Root();
    if (!root || !TStringDictionary::SameText(root->Name(), element)) {
        logError(QStringLiteral("%1.ParseResult: the answer is <%2>, not <%3>")
                     .arg(className(), root ? root->Name() : QString(), element));
        return false;
    }
    text = root->Value().Text.trimmed();
    return true;
}
