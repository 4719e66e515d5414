#include "DoctorCommand.h"

#include "CliContext.h"
#include "base/TLanguageModule.h"
#include "base/TSetup.h"
#include "camera/TConnectionDoctor.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
constexpr quint32 kEnglishId = 1033;

// The advice as lumivar-cli gives it: a clock that is off can be set by the clock command.
QString advice(const TDoctorResult& step)
{
    QString text = step.text();
    if (step.Step == TDoctorStep::Clock && !step.Ok)
        text += QStringLiteral(" (lumivar-cli clock sets it)");
    return text;
}
} // namespace

int DoctorCommand::run(CliContext& context, const QStringList& arguments)
{
    if (!arguments.isEmpty() && arguments != QStringList { QStringLiteral("--json") })
        return context.usage(QStringLiteral("doctor takes no arguments besides --json"));
    const bool json = context.json() || !arguments.isEmpty();
    // The terminal speaks English like every other line of lumivar-cli; without the language
    // files the German defaults remain.
    TLanguageModule languages;
    languages.SelectLanguage(kEnglishId);

    TConnectionDoctor doctor(context.cameraLink());
    // The live view port the program uses, from the stored settings.
    TSetup stored;
    stored.Load();
    doctor.setLiveViewPort(stored.LiveViewPort);
    const QList<TDoctorResult> steps = doctor.run();
    const bool ok = !steps.isEmpty() && steps.last().Ok;
    if (json) {
        QJsonArray list;
        for (const TDoctorResult& step : steps)
            list.append(QJsonObject { { QStringLiteral("step"), TConnectionDoctor::stepName(step.Step) },
                { QStringLiteral("ok"), step.Ok }, { QStringLiteral("advice"), advice(step) } });
        context.printJson(
            QJsonDocument(QJsonObject { { QStringLiteral("ok"), ok }, { QStringLiteral("steps"), list } }));
    } else {
        for (const TDoctorResult& step : steps)
            context.print(QStringLiteral("%1: %2").arg(TConnectionDoctor::stepName(step.Step),
                step.Ok ? QStringLiteral("ok") : QStringLiteral("failed")));
    }
    if (ok)
        return CliContext::Success;
    return json ? CliContext::Failure : context.fail(advice(steps.last()));
}
