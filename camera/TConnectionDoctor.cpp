#include "camera/TConnectionDoctor.h"

#include "base/AppTexts.h"
#include "base/TNamedTexts.h"
#include "camera/CameraEndpoints.h"
#include "camera/ImgListLines.h"
#include "camera/TLiveViewSampler.h"
#include "camera/TOIShare.h"

#include <QDateTime>
#include <QHostAddress>
#include <QHostInfo>
#include <QRegularExpression>

#include <utility>

namespace {
QString namePart(const QString& host)
{
    // "name:port" or "[v6]:port"; a bare v6 address has several colons.
    if (host.startsWith(u'['))
        return host.mid(1, host.indexOf(u']') - 1);
    if (host.count(u':') == 1)
        return host.left(host.indexOf(u':'));
    return host;
}

TDoctorResult ok(TDoctorStep step)
{
    return { step, true, false, nullptr, {} };
}

TDoctorResult failed(TDoctorStep step, const char* textName, QVariantList args)
{
    return { step, false, false, textName, std::move(args) };
}

TDoctorResult unknown(TDoctorStep step, const char* textName, QVariantList args = {})
{
    return { step, true, true, textName, std::move(args) };
}

} // namespace

QString TDoctorResult::text() const
{
    return TextName ? rs(TextName, Args) : QString();
}

QString TDoctorResult::German() const
{
    return TextName ? TNamedTexts::Format(TNamedTexts::German(TextName), Args) : QString();
}

TConnectionDoctor::TConnectionDoctor(TCameraLink link, Resolver resolver)
    : m_link(std::move(link))
    , m_resolver(resolver ? std::move(resolver) : Resolver(&TConnectionDoctor::resolveWithSystem))
{
    RegisterAppTexts();
}

bool TConnectionDoctor::resolveWithSystem(const QString& name)
{
    const QHostInfo info = QHostInfo::fromName(name);
    return info.error() == QHostInfo::NoError && !info.addresses().isEmpty();
}

QString TConnectionDoctor::stepName(TDoctorStep step)
{
    switch (step) {
    case TDoctorStep::Name:
        return QStringLiteral("name");
    case TDoctorStep::Reach:
        return QStringLiteral("reach");
    case TDoctorStep::Camera:
        return QStringLiteral("camera");
    case TDoctorStep::Private:
        return QStringLiteral("private");
    case TDoctorStep::LiveView:
        return QStringLiteral("liveview");
    case TDoctorStep::Clock:
        return QStringLiteral("clock");
    }
    return {};
}

TCameraAnswer TConnectionDoctor::get(const char* endpoint, const QString& query, int timeoutMs) const
{
    TCameraRequest request;
    request.Url = m_link.url(endpoint) + query;
    request.ReadTimeoutMs = timeoutMs;
    request.IsAborted = m_isAborted;
    return m_link.send(request);
}

QDateTime TConnectionDoctor::lastPictureStamp() const
{
    // The camera tells its time only through the files it writes. Its numbering, not the stamps,
    // says which one came last: a picture taken while the clock ran ahead keeps its future stamp
    // after the clock is set.
    const TCameraAnswer root = get(Endpoint::ImgList, QStringLiteral("?DIR=/DCIM"), Timeout::ImageList);
    if (root.Code != 200)
        return {};
    QString newestFolder;
    for (const TImgListLine& line : parseImgListLines(root.Body))
        if (line.IsFolder() && line.Name > newestFolder)
            newestFolder = line.Name;
    if (newestFolder.isEmpty() || isAborted())
        return {};
    const TCameraAnswer folder
        = get(Endpoint::ImgList, QStringLiteral("?DIR=/DCIM/") + newestFolder, Timeout::ImageList);
    if (folder.Code != 200)
        return {};
    QString lastNumber;
    QDateTime last;
    for (const TImgListLine& line : parseImgListLines(folder.Body)) {
        // "P1010042.JPG": the shot number is the last four digits before the extension.
        const QString number = line.Name.section(u'.', 0, 0).right(4);
        if (!line.IsFolder() && line.Stamp.isValid() && number >= lastNumber) {
            lastNumber = number;
            last = line.Stamp;
        }
    }
    return last;
}

TDoctorResult TConnectionDoctor::clockStep() const
{
    const QDateTime stamp = lastPictureStamp();
    if (!stamp.isValid())
        return unknown(TDoctorStep::Clock, "_rsDoctorClockNoPicture");
    const qint64 ahead = QDateTime::currentDateTime().secsTo(stamp);
    if (ahead <= ClockToleranceSecs)
        return ok(TDoctorStep::Clock);
    // A picture from the future while the clock has been set since: it was taken before.
    if (m_clockSetAt.isValid())
        return unknown(TDoctorStep::Clock, "_rsDoctorClockSetSince",
            { m_clockSetAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) });
    return failed(TDoctorStep::Clock, "_rsDoctorClockOff", { (ahead + 30) / 60 });
}

QList<TDoctorResult> TConnectionDoctor::run() const
{
    QList<TDoctorResult> steps;
    const QString host = m_link.host();
    const QString name = namePart(host);
    if (QHostAddress(name).isNull() && !m_resolver(name)) {
        steps.append(failed(TDoctorStep::Name, "_rsDoctorNameUnknown", { name }));
        return steps;
    }
    steps.append(ok(TDoctorStep::Name));
    if (m_lastStep == TDoctorStep::Name || isAborted())
        return steps;

    const TCameraAnswer list = get(Endpoint::CommandList, {}, 5000);
    if (!list.Completed) {
        if (list.Failure != TCameraFailure::Cancelled)
            steps.append(failed(TDoctorStep::Reach, "_rsDoctorNoConnection", { host, list.Error }));
        return steps;
    }
    steps.append(ok(TDoctorStep::Reach));
    if (m_lastStep == TDoctorStep::Reach)
        return steps;

    TOIShare commandList;
    if (list.Code != 200 || !list.Body.contains("<oishare") || !commandList.LoadFromBytes(list.Body)) {
        steps.append(failed(TDoctorStep::Camera, "_rsDoctorNotACamera", { host }));
        return steps;
    }
    steps.append(ok(TDoctorStep::Camera));
    if (m_lastStep == TDoctorStep::Camera || isAborted())
        return steps;

    const TCameraAnswer mode = get(Endpoint::ConnectMode, {}, Timeout::Info);
    static const QRegularExpression element(QStringLiteral("<connectmode>\\s*([^<]*?)\\s*</connectmode>"),
        QRegularExpression::CaseInsensitiveOption);
    const QString modeName = element.match(QString::fromUtf8(mode.Body)).captured(1);
    if (mode.Failure == TCameraFailure::Cancelled)
        return steps;
    if (modeName.compare(QLatin1String("private"), Qt::CaseInsensitive) != 0) {
        steps.append(failed(TDoctorStep::Private, "_rsDoctorNotPrivate",
            { modeName.isEmpty() ? QStringLiteral("?") : modeName.left(40) }));
        return steps;
    }
    steps.append(ok(TDoctorStep::Private));
    if (m_lastStep == TDoctorStep::Private || isAborted())
        return steps;

    // A body without live view has nothing to check here.
    if (commandList.Functions.Find(QStringLiteral("exec_takemisc"))
        && commandList.Functions.Find(QStringLiteral("switch_cammode"))) {
        const TLiveViewSampler sampler(m_link, m_liveViewPort);
        const TLiveViewSampler::Result sample = sampler.run(TLiveViewSampler::LiveViewSize(commandList),
            TLiveViewSampler::Until::FirstDatagram, m_liveViewWaitMs, m_isAborted);
        if (sample.Aborted)
            return steps;
        if (sample.BindFailed) {
            steps.append(failed(
                TDoctorStep::LiveView, "_rsDoctorLiveViewPortTaken", { m_liveViewPort, sample.Error }));
            return steps;
        }
        if (!sample.Started) {
            steps.append(failed(TDoctorStep::LiveView, "_rsDoctorLiveViewNotStarted", { sample.Error }));
            return steps;
        }
        if (!sample.Complete) {
            steps.append(
                failed(TDoctorStep::LiveView, "_rsDoctorNoLiveView", { m_liveViewPort, m_liveViewPort }));
            return steps;
        }
    }
    steps.append(ok(TDoctorStep::LiveView));
    if (m_lastStep == TDoctorStep::LiveView || isAborted())
        return steps;

    steps.append(clockStep());
    return steps;
}
