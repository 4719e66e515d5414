#include "camera/TCameraInfoAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TStringDictionary.h"

TCameraInfoAction::TCameraInfoAction(TCameraLink link, const QString& cgiName)
    : TBaseInfoAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TCameraInfoAction"));
}

bool TCameraInfoAction::Probe(const TCGIFunction& function)
{
    return probeGet(function);
}

bool TCameraInfoAction::Execute(QString& text)
{
    return executeRequest(Link.url(Endpoint::CamInfo), text);
}

bool TCameraInfoAction::ParseResult(QString& text)
{
    QString ignored;
    if (!parseElementText(QStringLiteral("caminfo"), ignored))
        return false;
    text.clear();
    for (const TXMLNode* child : Document.Root()->Children()) {
        const QString model = child->Value().Text.trimmed();
        if (TStringDictionary::SameText(child->Name(), QStringLiteral("model")) && !model.isEmpty()) {
            text = model;
            return true;
        }
    }
    // Callers show the camera as an unknown model.
    logTrace(QStringLiteral("TCameraInfoAction.ParseResult: the answer names no model"));
    return true;
}
