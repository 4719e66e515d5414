#include "DoctorCommand.h"

#include "CliContext.h"
#include "camera/TConnectionDoctor.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QString stepName(TDoctorStep step)
{
    switch (step) {
    case TDoctorStep::Name:
        return QStringLiteral("name");
    case TDoctorStep::Reach:
        return QStringLiteral("reach");
    case TDoctorStep::Camera:
        return QStringLiteral("camera");
    }
    return {};
}
} // namespace

int DoctorCommand::run(CliContext& context, const QStringList& arguments)
{
    if (!arguments.isEmpty() && arguments != QStringList { QStringLiteral("--json") })
        return context.usage(QStringLiteral("doctor takes no arguments besides --json"));
    const bool json = context.json() || !arguments.isEmpty();
    const QList<TDoctorResult> steps = TConnectionDoctor(context.cameraLink()).run();
    const bool ok = !steps.isEmpty() && steps.last().Ok;
    if (json) {
        QJsonArray list;
        for (const TDoctorResult& step : steps)
            list.append(QJsonObject { { QStringLiteral("step"), stepName(step.Step) },
                { QStringLiteral("ok"), step.Ok }, { QStringLiteral("advice"), step.English } });
        context.printJson(
            QJsonDocument(QJsonObject { { QStringLiteral("ok"), ok }, { QStringLiteral("steps"), list } }));
    } else {
        for (const TDoctorResult& step : steps)
            context.print(QStringLiteral("%1: %2").arg(
                stepName(step.Step), step.Ok ? QStringLiteral("ok") : QStringLiteral("failed")));
    }
    if (ok)
        return CliContext::Success;
    return json ? CliContext::Failure : context.fail(steps.last().English);
}
