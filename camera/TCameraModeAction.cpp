#include "camera/TCameraModeAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"
#include "camera/WaitFunc.h"

#include <QUrl>

namespace {

QString withQuery(const QString& url, const QString& query)
{
    return url + QLatin1Char('?') + query;
}

} // namespace

TCameraModeAction::TCameraModeAction(TCameraLink link, const QString& cgiName)
    : TBaseRemoteAction(cgiName, std::move(link))
{
    setClassName(QStringLiteral("TCameraModeAction"));
}

void TCameraModeAction::Reset()
{
    TBaseRemoteAction::Reset();
    SupportedModes = 0;
    Mode = ModeNone;
}

void TCameraModeAction::addSizes(const TCGIParams& valueParams)
{
    const TCGIParam* lvqty = valueParams.Find(QStringLiteral("lvqty"));
    if (!lvqty)
        return;
    for (const auto& value : lvqty->Values) {
        if (value->Name.isEmpty() || Values.contains(value->Name, Qt::CaseInsensitive))
            continue;
        Values.append(value->Name);
        const QString caption = Dictionary.KeyOf(value->Name, false);
        Texts.append(caption.isEmpty() ? value->Name : caption);
    }
}

bool TCameraModeAction::Probe(const TCGIFunction& function)
{
    SupportedModes = 0;
    Values.clear();
    Texts.clear();
    if (const TCGIParam* mode = function.Methods.FindParam(THTTPMethod::Kind::Get, QStringLiteral("mode"))) {
        if (mode->Values.Find(QStringLiteral("play")))
            SupportedModes |= FlagPlay;
        if (const TCGIParamValue* rec = mode->Values.Find(QStringLiteral("rec"))) {
            if (rec->Params.Find(QStringLiteral("lvqty"))) {
                SupportedModes |= FlagRec;
                addSizes(rec->Params);
            }
        }
        if (const TCGIParamValue* shutter = mode->Values.Find(QStringLiteral("shutter"))) {
            SupportedModes |= FlagShutter;
            if (shutter->Params.Find(QStringLiteral("lvqty"))) {
                SupportedModes |= FlagShutterWithSize;
                addSizes(shutter->Params);
            }
        }
    }
    Enabled = SupportedModes != 0;
    if (Enabled)
        CollectCommands(function);
    return true;
}

bool TCameraModeAction::Execute()
{
    return Mode == ModeNone ? SwitchToMode(ModePlay) : SwitchMode(Mode, LiveViewSize);
}

TCameraRequest TCameraModeAction::request(const QString& url)
{
    TCameraRequest request;
    request.Url = url;
    request.ReadTimeoutMs = Timeout::CamMode;
    request.LogBody = true;
    return request;
}

bool TCameraModeAction::SwitchMode(quint8 mode, const QString& size)
{
    LiveViewSize = size;
    LiveViewWidth = 0;
    LiveViewHeight = 0;
    const int x = size.indexOf(QLatin1Char('x'));
    if (x >= 0) {
        bool okWidth = false;
        bool okHeight = false;
        const int width = size.left(x).toInt(&okWidth);
        const int height = size.mid(x + 1).toInt(&okHeight);
        if (okWidth && okHeight) {
            LiveViewWidth = width;
            LiveViewHeight = height;
        }
    }
    Document.Clear();
    Data.clear();

    const bool sized = mode == ModeRec || mode == ModeShutterWithSize;
    const bool known
        = sized ? Values.contains(size, Qt::CaseInsensitive) : (mode == ModePlay || mode == ModeShutter);
    if (!known)
        return false;

    const QString operation = QStringLiteral("TCameraModeAction.SwitchMode");
    RequestFrame frame;
    frame.Operation = operation;
    frame.Enabled = Enabled;
    frame.DisabledResult = false;
    frame.Prepare = [this, mode, &size, &operation] {
        const quint64 resets = resetCount();
        const QString base = Link.url(Endpoint::SwitchCamMode);
        const QString play = withQuery(base, QStringLiteral("mode=play"));
        // The size came from the command list; encoded all the same so it cannot add query keys.
        const QString lvqty = QString::fromLatin1(QUrl::toPercentEncoding(size));
        QString target;
        bool throughPlay = false;
        switch (mode) {
        case ModePlay:
            target = play;
            break;
        case ModeRec:
            throughPlay = Mode == ModeShutter;
            target = withQuery(base, QStringLiteral("mode=rec&lvqty=") + lvqty);
            break;
        case ModeShutter:
            throughPlay = Mode == ModeRec;
            target = withQuery(base, QStringLiteral("mode=shutter"));
            break;
        default:
            throughPlay = Mode == ModeRec;
            target = withQuery(base, QStringLiteral("mode=shutter&lvqty=") + lvqty);
            break;
        }
        if (throughPlay) {
            // The camera goes from one recording mode to the other only through playback; whether
            // that step succeeded shows in the next one.
            const TCameraAnswer answer = Link.send(request(play));
            if (!answer.Completed)
                logError(QStringLiteral("%1: %2").arg(operation, answer.Error));
            if (resets == resetCount())
                Wait(SwitchPauseMs);
        }
        return request(target);
    };
    frame.Judge = [this, mode](const TCameraAnswer& answer) {
        if (answer.Code != 200)
            return TCameraFailure::Status;
        Mode = mode;
        Data = answer.Body;
        if (!Document.TryLoad(answer.Body))
            Document.Clear();
        return TCameraFailure::None;
    };
    frame.Done = reportDone();
    return runRequest(frame);
}

bool TCameraModeAction::SwitchToMode(quint8 mode)
{
    const QString setting = LiveViewSizeSetting ? LiveViewSizeSetting() : QString();
    QString size;
    for (const QString& offered : Values) {
        if (!setting.isEmpty() && offered.compare(setting, Qt::CaseInsensitive) == 0) {
            size = offered;
            break;
        }
    }
    if (size.isEmpty())
        size = Values.isEmpty() ? QStringLiteral("0640x0480") : Values.first();
    return SwitchMode(mode, size);
}

QString TCameraModeAction::ResolveSize(const QString& captionOrSize) const
{
    const QString size = Dictionary.ValueOf(captionOrSize, true);
    if (!Values.isEmpty() && !Values.contains(size, Qt::CaseInsensitive))
        return Values.last();
    return size;
}
