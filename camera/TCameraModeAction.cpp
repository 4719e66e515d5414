#include "camera/TCameraModeAction.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"
#include "camera/WaitFunc.h"

#include <QUrl>

#include <exception>

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

int TCameraModeAction::get(const QString& url, QByteArray* body)
{
    TCameraRequest request;
    request.Url = url;
    request.ReadTimeoutMs = Timeout::CamMode;
    request.LogBody = true;
    const TCameraAnswer answer = Link.send(request);
    if (!answer.Completed)
        logError(QStringLiteral("TCameraModeAction.SwitchMode: %1").arg(answer.Error));
    if (body)
        *body = answer.Body;
    return answer.Code;
}

bool TCameraModeAction::SwitchMode(quint8 mode, const QString& size)
{
    BusyGuard busy(*this);
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

    if (!Enabled)
        return false;
    const bool sized = mode == ModeRec || mode == ModeShutterWithSize;
    if (sized && !Values.contains(size, Qt::CaseInsensitive))
        return false;
    if (!sized && mode != ModePlay && mode != ModeShutter)
        return false;

    bool result = false;
    try {
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
            get(play, nullptr);
            if (resets == resetCount())
                Wait(SwitchPauseMs);
        }
        QByteArray body;
        const int code = resets == resetCount() ? get(target, &body) : -1;
        if (resets != resetCount()) {
            logTrace(QStringLiteral("TCameraModeAction.SwitchMode: reset while waiting, answer dropped"));
            return false;
        }
        result = code == 200;
        if (result) {
            Mode = mode;
            Data = body;
            if (!Document.TryLoad(body))
                Document.Clear();
        }
    } catch (const std::exception& e) {
        logError(
            QStringLiteral("TCameraModeAction.SwitchMode (Ex): %1").arg(QString::fromLocal8Bit(e.what())));
        result = false;
    }
    if (OnDone)
        OnDone(this, result);
    return result;
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
