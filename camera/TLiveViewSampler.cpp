#include "camera/TLiveViewSampler.h"

#include "camera/CameraEndpoints.h"
#include "camera/TCGIFunction.h"
#include "camera/TCGIParam.h"
#include "camera/TOIShare.h"
#include "camera/WaitFunc.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QUdpSocket>

namespace {
// A live view picture seldom needs more than a few hundred datagrams; a stream that never ends a
// picture must not fill the memory.
constexpr qsizetype kMaxPictureDatagrams = 4096;

quint16 sequence(const QByteArray& d)
{
    return quint16((quint8(d[2]) << 8) | quint8(d[3]));
}

quint32 timestamp(const QByteArray& d)
{
    return (quint32(quint8(d[4])) << 24) | (quint32(quint8(d[5])) << 16) | (quint32(quint8(d[6])) << 8)
        | quint32(quint8(d[7]));
}

bool isPictureStart(const QByteArray& d)
{
    return d.size() >= 12 && (quint8(d[0]) & 0x10) != 0;
}

bool isPictureEnd(const QByteArray& d)
{
    return d.size() >= 12 && (quint8(d[1]) & 0x80) != 0;
}
} // namespace

TLiveViewSampler::TLiveViewSampler(TCameraLink link, quint16 port)
    : m_link(std::move(link))
    , m_port(port)
{ }

QString TLiveViewSampler::LiveViewSize(const TOIShare& commandList)
{
    const TCGIFunction* function = commandList.Functions.Find(QStringLiteral("switch_cammode"));
    const TCGIParam* modes
        = function ? function->Methods.FindParam(THTTPMethod::Kind::Get, QStringLiteral("mode")) : nullptr;
    const TCGIParamValue* rec = modes ? modes->Values.Find(QStringLiteral("rec")) : nullptr;
    const TCGIParam* sizes = rec ? rec->Params.Find(QStringLiteral("lvqty")) : nullptr;
    if (sizes && !sizes->Values.IsEmpty())
        return sizes->Values.At(0)->Name;
    return QStringLiteral("0640x0480");
}

TCameraAnswer TLiveViewSampler::get(const char* endpoint, const QString& query, int timeoutMs) const
{
    TCameraRequest request;
    request.Url = m_link.url(endpoint) + query;
    request.ReadTimeoutMs = timeoutMs;
    request.LogBody = true;
    return m_link.send(request);
}

TLiveViewSampler::Result TLiveViewSampler::run(
    const QString& size, Until until, int waitMs, const std::function<bool()>& isAborted) const
{
    Result result;
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::AnyIPv4, m_port)) {
        result.BindFailed = true;
        result.Error = socket.errorString();
        return result;
    }
    const TCameraAnswer rec
        = get(Endpoint::SwitchCamMode, QStringLiteral("?mode=rec&lvqty=") + size, Timeout::CamMode);
    if (rec.Code != 200) {
        result.Error = rec.Completed ? QStringLiteral("recording mode: status %1").arg(rec.Code) : rec.Error;
        get(Endpoint::SwitchCamMode, QStringLiteral("?mode=play"), Timeout::CamMode);
        return result;
    }
    result.StartAnswer = get(Endpoint::TakeMisc,
        QStringLiteral("?com=startliveview&port=%1").arg(socket.localPort()), Timeout::LiveView);
    result.Started = result.StartAnswer.Code == 200;
    if (!result.Started)
        result.Error = result.StartAnswer.Completed
            ? QStringLiteral("live view start: status %1").arg(result.StartAnswer.Code)
            : result.StartAnswer.Error;

    QList<QByteArray> picture;
    QElapsedTimer clock;
    clock.start();
    while (result.Started && !result.Complete && clock.elapsed() < waitMs) {
        if (isAborted && isAborted()) {
            result.Aborted = true;
            break;
        }
        Wait(5);
        while (socket.hasPendingDatagrams() && !result.Complete) {
            QByteArray datagram(qMax<qint64>(socket.pendingDatagramSize(), 0), Qt::Uninitialized);
            const qint64 got = socket.readDatagram(datagram.data(), datagram.size());
            if (got < 0)
                break;
            datagram.resize(got);
            if (until == Until::FirstDatagram) {
                result.Datagrams.append(datagram);
                result.Complete = true;
                break;
            }
            if (isPictureStart(datagram))
                picture = { datagram }; // a picture begun earlier has lost its end
            else if (!picture.isEmpty() && datagram.size() >= 12 && picture.size() < kMaxPictureDatagrams)
                picture.append(datagram);
            if (picture.isEmpty() || !isPictureEnd(picture.last()))
                continue;
            const QByteArray& first = picture.first();
            const QByteArray& last = picture.last();
            const int span = quint16(sequence(last) - sequence(first)) + 1;
            if (timestamp(first) == timestamp(last) && span == picture.size()) {
                result.Datagrams = picture;
                result.Complete = true;
            } else {
                picture.clear();
            }
        }
    }

    if (result.Started)
        get(Endpoint::TakeMisc, QStringLiteral("?com=stopliveview"), Timeout::LiveView);
    get(Endpoint::SwitchCamMode, QStringLiteral("?mode=play"), Timeout::CamMode);
    return result;
}
