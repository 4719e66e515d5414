#include "DoctorCommand.h"

#include "CliContext.h"
#include "base/TSetup.h"
#include "camera/TConnectionDoctor.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The advice as lumivar-cli gives it: a clock that is off can be set by the clock command.
QString advice(const TDoctorResult& step)
{
    QString text = step.text();
    if (step.Step == TDoctorStep::Clock && !step.Ok)
        text += QStringLiteral(" (lumivar-cli clock sets it)");
    return text;
}

QString verdict(const TDoctorResult& step)
{
    if (step.Unknown)
        return QStringLiteral("cannot tell: ") + step.text();
    return step.Ok ? QStringLiteral("ok") : QStringLiteral("failed");
}

} // namespace

int DoctorCommand::run(CliContext& context, const QStringList& arguments)
{
    if (!arguments.isEmpty() && arguments != QStringList { QStringLiteral("--json") })
        return context.usage(QStringLiteral("doctor takes no arguments besides --json"));
    const bool json = context.json() || !arguments.isEmpty();

    // A port another program holds is found here, before the camera is asked to send to it.
    QString portError;
    const quint16 port = context.liveViewPort(-1, portError);
    if (port == 0)
        return context.fail(portError);
    TConnectionDoctor doctor(context.cameraLink());
    doctor.setLiveViewPort(port);
    TSetup stored;
    stored.Load();
    doctor.setClockSetAt(stored.ClockSetAt);
    const QList<TDoctorResult> steps = doctor.run();
    const bool ok = !steps.isEmpty() && steps.last().Ok;
    if (json) {
        QJsonArray list;
        for (const TDoctorResult& step : steps) {
            QJsonObject entry { { QStringLiteral("step"), TConnectionDoctor::stepName(step.Step) },
                { QStringLiteral("ok"), step.Ok }, { QStringLiteral("advice"), advice(step) } };
            if (step.Unknown)
                entry.insert(QStringLiteral("unknown"), true);
            list.append(entry);
        }
        context.printJson(
            QJsonDocument(QJsonObject { { QStringLiteral("ok"), ok }, { QStringLiteral("steps"), list } }));
    } else {
        for (const TDoctorResult& step : steps)
            context.print(
                QStringLiteral("%1: %2").arg(TConnectionDoctor::stepName(step.Step), verdict(step)));
    }
    if (ok)
        return CliContext::Success;
    return json ? CliContext::Failure : context.fail(advice(steps.last()));
}
