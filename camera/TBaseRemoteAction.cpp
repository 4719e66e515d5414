#include "camera/TBaseRemoteAction.h"

#include "camera/TCGIFunction.h"

namespace {

void collect(const TCGIParams& params, QStringList& commands)
{
    for (const auto& param : params) {
        if (!commands.contains(param->Name, Qt::CaseInsensitive))
            commands.append(param->Name);
        // Depth is bounded by the XML reader's nesting limit.
        for (const auto& value : param->Values)
            collect(value->Params, commands);
    }
}

} // namespace

TBaseRemoteAction::TBaseRemoteAction(const QString& cgiName, TCameraLink link)
    : TBaseAction(std::move(link))
    , CGIName(cgiName)
{
    setClassName(QStringLiteral("TBaseRemoteAction"));
    TBaseRemoteAction::Reset();
    if (TStringDictionary::SameText(cgiName, QStringLiteral("switch_cammode"))) {
        Dictionary.Add(QStringLiteral("320 x 240"), QStringLiteral("0320x0240"));
        Dictionary.Add(QStringLiteral("640 x 480"), QStringLiteral("0640x0480"));
        Dictionary.Add(QStringLiteral("800 x 600"), QStringLiteral("0800x0600"));
        Dictionary.Add(QStringLiteral("1024 x 768"), QStringLiteral("1024x0768"));
        Dictionary.Add(QStringLiteral("1280 x 960"), QStringLiteral("1280x0960"));
    }
}

void TBaseRemoteAction::Reset()
{
    TBaseAction::Reset();
    Enabled = false;
    Commands.clear();
    Values.clear();
    Texts.clear();
    Document.Clear();
    Data.clear();
}

void TBaseRemoteAction::CollectCommands(const TCGIFunction& function)
{
    Commands.clear();
    for (const auto& method : function.Methods)
        collect(method->Params, Commands);
}

bool TBaseRemoteAction::executeRequest(const QString& url, int readTimeoutMs, bool accept202)
{
    Document.Clear();
    Data.clear();
    RequestFrame frame;
    frame.Enabled = Enabled;
    frame.Prepare = [&url, readTimeoutMs] {
        TCameraRequest request;
        request.Url = url;
        request.ReadTimeoutMs = readTimeoutMs;
        request.LogBody = true;
        return request;
    };
    frame.Judge = [this, accept202](const TCameraAnswer& answer) {
        if (answer.Code != 200 && !(accept202 && answer.Code == 202))
            return TCameraFailure::Status;
        Data = answer.Body;
        // Most of these answers are empty; only an XML answer is kept as a document.
        if (!Document.TryLoad(answer.Body))
            Document.Clear();
        return TCameraFailure::None;
    };
    frame.Done = reportDone();
    return runRequest(frame);
}

std::function<void(bool success)> TBaseRemoteAction::reportDone()
{
    return [this](bool success) {
        if (OnDone)
            OnDone(this, success);
    };
}
