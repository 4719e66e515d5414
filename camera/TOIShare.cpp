#include "camera/TOIShare.h"

#include "base/TLogger.h"
#include "camera/CameraEndpoints.h"
#include "camera/TXMLLib.h"

#include <exception>

namespace {

bool isNamed(const TXMLNode* node, QLatin1String name)
{
    return node->Name().compare(name, Qt::CaseInsensitive) == 0;
}

// "cmd" or "param" followed by ASCII digits only (none included), without regard to case.
bool matchesPattern(const QString& name, QLatin1String stem)
{
    if (!name.startsWith(stem, Qt::CaseInsensitive))
        return false;
    for (qsizetype i = stem.size(); i < name.size(); ++i)
        if (name[i] < QLatin1Char('0') || name[i] > QLatin1Char('9'))
            return false;
    return true;
}

bool isCommand(const TXMLNode* node)
{
    return matchesPattern(node->Name(), QLatin1String("cmd"));
}

bool isValue(const TXMLNode* node)
{
    return matchesPattern(node->Name(), QLatin1String("param"));
}

const TXMLAttribute* nameAttribute(const TXMLNode* node)
{
    return node->Attributes().Find(QStringLiteral("name"));
}

void readCommands(const TXMLNode* element, TCGIParams& params);

void readValues(const TXMLNode* command, TCGIParamValues& values)
{
    for (const TXMLNode* child : command->Children()) {
        if (!isValue(child))
            continue;
        if (const TXMLAttribute* name = nameAttribute(child))
            readCommands(child, values.Add(name->Value().Text)->Params);
    }
}

// Recursion depth is bounded by the reader's nesting limit.
void readCommands(const TXMLNode* element, TCGIParams& params)
{
    for (const TXMLNode* child : element->Children()) {
        if (!isCommand(child))
            continue;
        if (const TXMLAttribute* name = nameAttribute(child))
            readValues(child, params.Add(name->Value().Text)->Values);
    }
}

} // namespace

void TOIShare::Clear()
{
    Version.clear();
    SupportedFunctions.clear();
    Functions.Clear();
}

bool TOIShare::SupportsFunction(const QString& func) const
{
    return SupportedFunctions.contains(func, Qt::CaseInsensitive);
}

void TOIShare::readFunction(const TXMLNode* element)
{
    const TXMLAttribute* name = nameAttribute(element);
    if (!name)
        return;
    TCGIFunction* function = Functions.Add(name->Value().Text);
    for (const TXMLNode* child : element->Children()) {
        if (!isNamed(child, QLatin1String("http_method")))
            continue;
        const TXMLAttribute* type = child->Attributes().Find(QStringLiteral("type"));
        if (!type)
            continue;
        THTTPMethod::Kind kind;
        if (type->Value().Text.compare(QLatin1String("get"), Qt::CaseInsensitive) == 0)
            kind = THTTPMethod::Kind::Get;
        else if (type->Value().Text.compare(QLatin1String("post"), Qt::CaseInsensitive) == 0)
            kind = THTTPMethod::Kind::Post;
        else
            continue;
        readCommands(child, function->Methods.Add(kind)->Params);
    }
}

bool TOIShare::Parse(const TXMLNode* root) noexcept
{
    try {
        Clear();
        if (!root || !isNamed(root, QLatin1String("oishare")))
            return false;
        for (const TXMLNode* child : root->Children()) {
            if (isNamed(child, QLatin1String("version"))) {
                Version = child->Value().Text;
            } else if (isNamed(child, QLatin1String("support"))) {
                if (const TXMLAttribute* func = child->Attributes().Find(QStringLiteral("func")))
                    SupportedFunctions.append(func->Value().Text);
            } else if (isNamed(child, QLatin1String("cgi"))) {
                // A half-read program would enable actions it cannot back: nothing of the list stays.
                try {
                    readFunction(child);
                } catch (const std::exception& e) {
                    Clear();
                    TLogger::LogAlways(QStringLiteral("TOIShare.Parse (Ex): a CGI program: ")
                        + QString::fromLocal8Bit(e.what()));
                    return false;
                } catch (...) {
                    Clear();
                    TLogger::LogAlways(QStringLiteral("TOIShare.Parse (Ex): a CGI program: unknown error"));
                    return false;
                }
            }
        }
        return true;
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TOIShare.Parse (Ex): ") + QString::fromLocal8Bit(e.what()));
    } catch (...) {
        TLogger::LogAlways(QStringLiteral("TOIShare.Parse (Ex): unknown error"));
    }
    return false;
}

bool TOIShare::LoadFromBytes(const QByteArray& body) noexcept
{
    try {
        Clear();
        TXMLLib xml;
        if (!xml.TryLoad(body))
            return false;
        return Parse(xml.Root());
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TOIShare.LoadFromBytes (Ex): ") + QString::fromLocal8Bit(e.what()));
    } catch (...) {
        TLogger::LogAlways(QStringLiteral("TOIShare.LoadFromBytes (Ex): unknown error"));
    }
    Clear();
    return false;
}

bool TOIShare::Load(const TCameraLink& link) noexcept
{
    try {
        Clear();
        LastFailure = TCameraFailure::None;
        LastError.clear();
        TCameraRequest request;
        request.Url = link.url(Endpoint::CommandList);
        request.ReadTimeoutMs = Timeout::CommandList;
        request.LogBody = true;
        const TCameraAnswer answer = link.send(request);
        ResponseCode = answer.Code;
        if (!answer.Completed) {
            LastFailure = answer.Failure;
            LastError = answer.Error;
            return false;
        }
        if (answer.Code != 200) {
            LastFailure = TCameraFailure::Status;
            return false;
        }
        if (LoadFromBytes(answer.Body))
            return true;
        LastFailure = TCameraFailure::Unreadable;
        LastError = QStringLiteral("the answer is not a readable command list");
        TLogger::LogAlways(QStringLiteral("TOIShare.Load: ") + LastError);
        return false;
    } catch (const std::exception& e) {
        Clear();
        LastFailure = TCameraFailure::Internal;
        LastError = QString::fromLocal8Bit(e.what());
        TLogger::LogAlways(QStringLiteral("TOIShare.Load: ") + LastError);
    } catch (...) {
        Clear();
        LastFailure = TCameraFailure::Internal;
        LastError = QStringLiteral("unknown error");
        TLogger::LogAlways(QStringLiteral("TOIShare.Load: unknown error"));
    }
    return false;
}

bool TOIShare::Load(const QString& cameraHost) noexcept
{
    return Load(TCameraLink::ToHost(cameraHost));
}
