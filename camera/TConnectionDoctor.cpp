#include "camera/TConnectionDoctor.h"

#include "camera/CameraEndpoints.h"

#include <QHostAddress>
#include <QHostInfo>

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
    return { step, true, {}, {} };
}

TDoctorResult failed(TDoctorStep step, QString german, QString english)
{
    return { step, false, std::move(german), std::move(english) };
}
} // namespace

TConnectionDoctor::TConnectionDoctor(TCameraLink link, Resolver resolver)
    : m_link(std::move(link))
    , m_resolver(resolver ? std::move(resolver) : Resolver(&TConnectionDoctor::resolveWithSystem))
{ }

bool TConnectionDoctor::resolveWithSystem(const QString& name)
{
    const QHostInfo info = QHostInfo::fromName(name);
    return info.error() == QHostInfo::NoError && !info.addresses().isEmpty();
}

QList<TDoctorResult> TConnectionDoctor::run() const
{
    QList<TDoctorResult> steps;
    const QString host = m_link.host();
    const QString name = namePart(host);
    if (QHostAddress(name).isNull() && !m_resolver(name)) {
        steps.append(failed(TDoctorStep::Name,
            QStringLiteral("Der Name \"%1\" ist unbekannt: Der Rechner ist nicht mit dem WLAN der Kamera "
                           "verbunden oder es gibt keinen Namensdienst. Versuchen Sie 192.168.0.10.")
                .arg(name),
            QStringLiteral("The name \"%1\" is unknown: this computer is not joined to the camera's Wi-Fi "
                           "or there is no name service. Try 192.168.0.10.")
                .arg(name)));
        return steps;
    }
    steps.append(ok(TDoctorStep::Name));

    TCameraRequest request;
    request.Url = m_link.url(Endpoint::CommandList);
    request.ReadTimeoutMs = 5000;
    const TCameraAnswer answer = m_link.send(request);
    if (!answer.Completed) {
        steps.append(failed(TDoctorStep::Reach,
            QStringLiteral("Keine Verbindung zu %1 (%2): Der Rechner ist mit einem anderen Netz verbunden, "
                           "oder das WLAN der Kamera ist aus oder sie schläft.")
                .arg(host, answer.Error),
            QStringLiteral("No connection to %1 (%2): this computer is joined to another network, or the "
                           "camera's Wi-Fi is off or the camera is asleep.")
                .arg(host, answer.Error)));
        return steps;
    }
    steps.append(ok(TDoctorStep::Reach));

    if (answer.Code != 200 || !answer.Body.contains("<oishare")) {
        steps.append(failed(TDoctorStep::Camera,
            QStringLiteral("%1 antwortet, ist aber keine Kamera. Prüfen Sie die Adresse.").arg(host),
            QStringLiteral("%1 answers but is not a camera. Check the address.").arg(host)));
        return steps;
    }
    steps.append(ok(TDoctorStep::Camera));
    return steps;
}
