#include "camera/TCameraParam.h"

#include "base/TLogger.h"
#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"
#include "camera/TXMLLib.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>

namespace {

void log(const QString& message, bool always)
{
    TLogger::LogTo(message, always);
}

bool named(const TXMLNode* node, const char* name)
{
    return TStringDictionary::SameText(node->Name(), QLatin1String(name));
}

} // namespace

TCameraParam::TCameraParam(const QString& name, TCameraLink link)
    : TBaseAction(std::move(link))
    , Name(name)
{
    setClassName(QStringLiteral("TCameraParam"));
}

void TCameraParam::Reset(bool clearDictionary)
{
    Valid = false;
    CanGet = false;
    CanSet = false;
    Value.clear();
    RawValue.clear();
    DisplayValues.clear();
    DisplayNumbers.clear();
    RawValues.clear();
    if (clearDictionary)
        Dictionary.Clear();
}

QString TCameraParam::DescUrl() const
{
    return Link.url(Endpoint::GetCamProp) + QStringLiteral("?com=desc&propname=") + Name;
}

QString TCameraParam::SetUrl() const
{
    return Link.url(Endpoint::SetCamProp) + QStringLiteral("?com=set&propname=") + Name;
}

QByteArray TCameraParam::SetBody(const QString& rawValue)
{
    QString text = rawValue;
    text.replace(QLatin1Char('&'), QLatin1String("&amp;"))
        .replace(QLatin1Char('<'), QLatin1String("&lt;"))
        .replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return "<?xml version=\"1.0\"?><set><value>" + text.toUtf8() + "</value></set>";
}

bool TCameraParam::Probe(const TCGIFunction& function)
{
    Reset(false);
    const TCGIParam* com = function.Methods.FindParam(THTTPMethod::Kind::Get, QStringLiteral("com"));
    const TCGIParamValue* desc = com ? com->Values.Find(QStringLiteral("desc")) : nullptr;
    const TCGIParam* propname = desc ? desc->Params.Find(QStringLiteral("propname")) : nullptr;
    if (!propname || !propname->Values.Find(Name))
        return true;
    return readDescription(true);
}

bool TCameraParam::Refresh()
{
    if (!CanGet) {
        log(QStringLiteral("TCameraParam.Refresh: %1 cannot be read").arg(Name), false);
        return false;
    }
    return readDescription(false);
}

bool TCameraParam::readDescription(bool probing)
{
    bool result = false;
    RequestFrame frame;
    frame.Operation = QStringLiteral("TCameraParam.%1(%2)")
                          .arg(probing ? QLatin1String("Probe") : QLatin1String("Refresh"), Name);
    frame.Prepare = [this] {
        TCameraRequest request;
        request.Url = DescUrl();
        request.ReadTimeoutMs = Timeout::CamProp;
        request.LogBody = true;
        return request;
    };
    frame.Judge = [&](const TCameraAnswer& answer) {
        if (answer.Code != 200) {
            // The camera refuses descriptions outside recording mode (520, code 1001).
            log(QStringLiteral("%1: no description (Response-Code %2)").arg(frame.Operation).arg(answer.Code),
                true);
            // A probe leaves the property invalid and goes on; a refresh keeps what it had.
            result = probing;
            return TCameraFailure::Status;
        }
        TXMLLib document;
        QString error;
        if (!document.TryLoad(answer.Body, &error)) {
            log(QStringLiteral("%1: unreadable description (%2)").arg(frame.Operation, error), true);
            Reset(false);
            return TCameraFailure::Unreadable;
        }
        result = ReadFromXML(document.Root());
        return result ? TCameraFailure::None : TCameraFailure::Unreadable;
    };
    runRequest(frame);
    if (LastFailure == TCameraFailure::Internal)
        Reset(false); // nothing half-read stays
    return result;
}

bool TCameraParam::ReadFromXML(const TXMLNode* desc)
{
    Reset(false);
    try {
        if (!desc || !named(desc, "desc"))
            throw std::runtime_error("not a desc element");
        for (const TXMLNode* child : desc->Children()) {
            const QString text = child->Value().Text.trimmed();
            if (named(child, "propname")) {
                // The E-M10 names "focalvalue" in its art filter description.
                if (!TStringDictionary::SameText(text, Name)
                    && !(TStringDictionary::SameText(Name, QStringLiteral("artfilter"))
                        && TStringDictionary::SameText(text, QStringLiteral("focalvalue"))))
                    throw std::runtime_error(
                        "TCameraParam.ReadFromXML: Eigenschaftsname unterscheidet sich!");
            } else if (named(child, "attribute")) {
                if (TStringDictionary::SameText(text, QStringLiteral("get"))) {
                    CanGet = true;
                } else if (TStringDictionary::SameText(text, QStringLiteral("set"))) {
                    CanSet = true;
                } else if (TStringDictionary::SameText(text, QStringLiteral("getset"))
                    || TStringDictionary::SameText(text, QStringLiteral("setget"))) {
                    CanGet = true;
                    CanSet = true;
                }
            } else if (named(child, "value")) {
                RawValue = text;
                Value = Dictionary.ValueOf(text, true);
            } else if (named(child, "enum")) {
                static const QRegularExpression blanks(QStringLiteral("\\s+"));
                RawValues = text.split(blanks, Qt::SkipEmptyParts);
                for (const QString& raw : RawValues) {
                    DisplayValues.append(Dictionary.ValueOf(raw, true));
                    DisplayNumbers.append(0);
                }
            }
        }
        if (RawValues.isEmpty() && !RawValue.isEmpty()) {
            RawValues.append(RawValue);
            DisplayValues.append(Value);
            DisplayNumbers.append(0);
        }
        Valid = true;
        if (TStringDictionary::SameText(Name, QStringLiteral("focalvalue")))
            ComputeNumbers(); // a single refresh keeps the limit rule working
        return true;
    } catch (const std::exception& e) {
        const QString message = QString::fromUtf8(e.what());
        log(message.startsWith(QLatin1String("TCameraParam."))
                ? message
                : QStringLiteral("TCameraParam.ReadFromXML(%1): %2").arg(Name, message),
            true);
    }
    Reset(false);
    return false;
}

void TCameraParam::ApplyDictionary()
{
    if (!Valid)
        return;
    Value = Dictionary.ValueOf(RawValue, true);
    for (int i = 0; i < RawValues.size() && i < DisplayValues.size(); ++i)
        DisplayValues[i] = Dictionary.ValueOf(RawValues[i], true);
}

bool TCameraParam::ComputeNumbers()
{
    bool all = true;
    while (DisplayNumbers.size() < DisplayValues.size())
        DisplayNumbers.append(0);
    for (int i = 0; i < DisplayValues.size(); ++i) {
        // QString::toDouble reads "." whatever the user's or the process's locale is.
        bool ok = false;
        const double value = DisplayValues[i].trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(value)
            || std::fabs(value) * 10 > double(std::numeric_limits<qint32>::max())) {
            DisplayNumbers[i] = 0;
            all = false;
            continue;
        }
        DisplayNumbers[i] = qint32(std::lround(value * 10));
    }
    return all;
}

int TCameraParam::IndexOf(const QString& text) const
{
    for (int i = 0; i < DisplayValues.size(); ++i)
        if (TStringDictionary::SameText(DisplayValues[i], text))
            return i;
    for (int i = 0; i < RawValues.size(); ++i)
        if (TStringDictionary::SameText(RawValues[i], text))
            return i;
    return -1;
}

qint32 TCameraParam::numberAt(int index) const
{
    return index >= 0 && index < DisplayNumbers.size() ? DisplayNumbers[index] : 0;
}

bool TCameraParam::SetValue(const QString& text)
{
    if (!CanSet) {
        log(QStringLiteral("TCameraParam.SetValue(%1): the property cannot be set").arg(Name), false);
        return false;
    }
    const int index = IndexOf(text);
    if (index < 0) {
        log(QStringLiteral("TCameraParam.SetValue(%1): \"%2\" is not an allowed value").arg(Name, text),
            false);
        return false;
    }
    const qint32 target = numberAt(index);
    int currentIndex = -1;
    for (int i = 0; i < DisplayValues.size() && currentIndex < 0; ++i)
        if (TStringDictionary::SameText(DisplayValues[i], Value))
            currentIndex = i;
    const qint32 current = numberAt(currentIndex);
    const bool allowed = (target >= MinLimit && target <= MaxLimit) || (target < MinLimit && current < target)
        || (target > MaxLimit && target < current);
    if (!allowed) {
        log(QStringLiteral("TCameraParam.SetValue(%1): %2 lies outside the lens range").arg(Name, text),
            false);
        return false;
    }
    const QString raw = index < RawValues.size() ? RawValues[index] : Dictionary.KeyOf(text, true);
    RequestFrame frame;
    frame.Operation = QStringLiteral("TCameraParam.SetValue(%1)").arg(Name);
    frame.Prepare = [this, &raw] {
        TCameraRequest request;
        request.Method = "POST";
        request.Url = SetUrl();
        request.ReadTimeoutMs = Timeout::CamProp;
        request.LogBody = true;
        request.ContentType = QStringLiteral("text/xml");
        request.Body = SetBody(raw);
        return request;
    };
    frame.Judge = [&](const TCameraAnswer& answer) {
        if (answer.Code != 200) {
            log(QStringLiteral("TCameraParam.SetValue(%1): %2 refused (Response-Code %3)")
                    .arg(Name, raw)
                    .arg(answer.Code),
                true);
            return TCameraFailure::Status;
        }
        Value = index < DisplayValues.size() ? DisplayValues[index] : text;
        RawValue = raw;
        return TCameraFailure::None;
    };
    return runRequest(frame);
}

bool TCameraParam::step(int delta)
{
    int index = -1;
    for (int i = 0; i < DisplayValues.size() && index < 0; ++i)
        if (TStringDictionary::SameText(DisplayValues[i], Value))
            index = i;
    const int last = int(DisplayValues.size()) - 1;
    if (index < 0 || delta == 0 || (delta > 0 && index >= last) || (delta < 0 && index <= 0))
        return false;
    const qint64 wanted = qint64(index) + delta;
    const QString target = DisplayValues[int(std::clamp<qint64>(wanted, 0, last))];
    log(QStringLiteral("Parameter change: ") + Value + QStringLiteral(" to ") + target, false);
    SetValue(target);
    log(QStringLiteral("Parameter changed: ") + Value, false);
    return Value == target;
}

bool TCameraParam::StepUp(int step)
{
    // A step of zero or less would resend the current value or move the wrong way.
    return step > 0 && this->step(step);
}

bool TCameraParam::StepDown(int step)
{
    return step > 0 && this->step(-step);
}
