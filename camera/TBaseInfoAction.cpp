#include "camera/TBaseInfoAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"
#include "camera/TStringDictionary.h"

#include <exception>

TBaseInfoAction::TBaseInfoAction(const QString& cgiName, TCameraLink link)
    : TBaseAction(std::move(link))
    , CGIName(cgiName)
{
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
    BusyGuard busy(*this);
    text.clear();
    Document.Clear();
    if (!Enabled)
        return true;
    try {
        const quint64 resets = resetCount();
        TCameraRequest request;
        request.Url = url;
        request.ReadTimeoutMs = Timeout::Info;
        request.LogBody = true;
        const TCameraAnswer answer = Link.send(request);
        if (resets != resetCount()) {
            logTrace(QStringLiteral("%1.Execute: reset while waiting, answer dropped").arg(m_className));
            return false;
        }
        bool result = answer.Code == 200;
        if (!answer.Completed)
            logError(QStringLiteral("%1.Execute: %2").arg(m_className, answer.Error));
        if (result) {
            QString error;
            if (!Document.TryLoad(answer.Body, &error)) {
                logError(QStringLiteral("%1.Execute: unreadable answer (%2)").arg(m_className, error));
                result = false;
            } else {
                result = ParseResult(text);
            }
        }
        if (OnDone)
            OnDone(this, result);
        return result;
    } catch (const std::exception& e) {
        logError(QStringLiteral("%1.Execute (Ex): %2").arg(m_className, QString::fromLocal8Bit(e.what())));
    } catch (...) {
        logError(QStringLiteral("%1.Execute (Ex): unknown error").arg(m_className));
    }
    text.clear();
    return false;
}

bool TBaseInfoAction::parseElementText(const QString& element, QString& text)
{
    text.clear();
    const TXMLNode* root = Document.Root();
    if (!root || !TStringDictionary::SameText(root->Name(), element)) {
        logError(QStringLiteral("%1.ParseResult: the answer is <%2>, not <%3>")
                     .arg(m_className, root ? root->Name() : QString(), element));
        return false;
    }
    text = root->Value().Text.trimmed();
    return true;
}
