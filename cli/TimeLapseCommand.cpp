#include "TimeLapseCommand.h"

#include "CliContext.h"
#include "CliInterrupt.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "camera/WaitFunc.h"
#include "remote/TShooting.h"
#include "remote/TTimeLapseSeries.h"
#include "session/TCamera.h"

#include <QFileInfo>
#include <QJsonObject>
#include <QRegularExpression>

#include <cstdio>
#include <optional>

namespace {

struct Options
{
    int interval = -1;
    int wait = 0;
    int count = 0;
    QString dest;
};

constexpr int kLongestSeconds = 86399; // as the time-lapse panel allows: 23:59:59
constexpr int kMostShots = 9999;
// What the last shots' downloads may take after the series ended.
constexpr int kDownloadGraceMs = 120000;

QString parse(const QStringList& arguments, Options& options)
{
    bool waitSet = false, countSet = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments.at(i);
        if (i + 1 >= arguments.size())
            return QStringLiteral("%1 needs a value").arg(option);
        const QString value = arguments.at(++i);
        if (option == QLatin1String("--interval") && options.interval < 0) {
            const std::optional<int> n = CliContext::WholeNumber(value, 1, kLongestSeconds);
            if (!n)
                return QStringLiteral("--interval takes SECONDS from 1 to %1").arg(kLongestSeconds);
            options.interval = *n;
        } else if (option == QLatin1String("--wait") && !waitSet) {
            const std::optional<int> n = CliContext::WholeNumber(value, 0, kLongestSeconds);
            if (!n)
                return QStringLiteral("--wait takes SECONDS from 0 to %1").arg(kLongestSeconds);
            options.wait = *n;
            waitSet = true;
        } else if (option == QLatin1String("--count") && !countSet) {
            const std::optional<int> n = CliContext::WholeNumber(value, 0, kMostShots);
            if (!n)
                return QStringLiteral("--count takes N from 0 (unlimited) to %1").arg(kMostShots);
            options.count = *n;
            countSet = true;
        } else if (option == QLatin1String("--dest") && options.dest.isEmpty() && !value.isEmpty()) {
            options.dest = value;
        } else {
            return QStringLiteral("timelapse takes --interval SECONDS, --wait SECONDS, --count N and "
                                  "--dest DIR, each once");
        }
    }
    if (options.interval < 0)
        return QStringLiteral("timelapse needs --interval SECONDS");
    return {};
}

} // namespace

int TimeLapseCommand::run(CliContext& context, const QStringList& arguments)
{
    Options options;
    const QString usage = parse(arguments, options);
    if (!usage.isEmpty())
        return context.usage(usage);
    QString folder;
    if (!options.dest.isEmpty()) {
        QString error;
        folder = CliContext::WritableFolder(options.dest, error);
        if (folder.isEmpty())
            return context.fail(error);
    }

    TOIShare commandList;
    const QString error = context.loadCommandList(commandList);
    if (!error.isEmpty())
        return context.fail(error);
    TCamera camera(context.setup());
    camera.CheckTimer.stop();
    if (!camera.Connect())
        return context.fail(
            QStringLiteral("the camera at %1 could not be set up for shooting").arg(context.cameraHost()));
    camera.CheckTimer.stop();
    if (!camera.Remote.Take.Enabled)
        return context.fail(QStringLiteral("the camera offers no remote shooting"));
    TCameraModeAction& mode = camera.Remote.CameraMode;
    if (mode.Enabled && !mode.SwitchToMode(TCameraModeAction::ModeRec))
        return context.fail(QStringLiteral("the camera did not switch to recording mode"));

    TShooting shooting;
    shooting.SetCamera(&camera);
    shooting.DeriveModes();
    // One picture per shot: a long or held exposure or a count-down would not keep the plan.
    if (shooting.IsLiveTimeMode() || shooting.IsLiveBulbMode() || shooting.IsSequentialMode()
        || shooting.IsTimerDriveMode())
        return context.fail(QStringLiteral("a series needs single-shot drive and a shutter speed other "
                                           "than LIVETIME or LIVEBULB"));

    TTimeLapseSeries series;
    series.SetShooting(&shooting);
    series.Plan(options.wait, options.interval, options.count);
    series.DownloadEachShot = !folder.isEmpty();
    series.DownloadFolder = folder;
    const bool verbose = !context.json();
    QObject::connect(&series, &TTimeLapseSeries::ShotDone, [&](int number) {
        if (!verbose)
            return;
        const TTimeLapseSeries::TShot& shot = series.Shots().at(number - 1);
        const QString total = options.count > 0 ? QStringLiteral("/%1").arg(options.count) : QString();
        QString line
            = QStringLiteral("shot %1%2 %3 (%4 ms after plan)")
                  .arg(number)
                  .arg(total)
                  .arg(shot.Ok ? shot.Files.join(QLatin1Char(' ')) : QStringLiteral("FAILED: ") + shot.Reason)
                  .arg(shot.ActualMs - shot.PlannedMs);
        std::fprintf(stderr, "%s\n", qPrintable(line));
    });

    bool interrupted = false;
    {
        CliInterrupt guard;
        series.Start();
        while (series.IsRunning()) {
            Wait(50);
            if (CliInterrupt::Requested()) {
                interrupted = true;
                series.Stop();
            }
        }
    }
    const bool allLoaded = series.WaitForDownloads(kDownloadGraceMs);
    if (mode.Enabled)
        mode.SwitchToMode(TCameraModeAction::ModePlay);

    if (context.json()) {
        QJsonObject result { { QStringLiteral("ok"), series.FailedCount() == 0 && allLoaded },
            { QStringLiteral("interrupted"), interrupted }, { QStringLiteral("shots"), series.ShotsTaken() },
            { QStringLiteral("failed"), series.FailedCount() }, { QStringLiteral("log"), series.LogJson() } };
        if (!series.LogFile().isEmpty())
            result.insert(QStringLiteral("logFile"), series.LogFile());
        context.printJson(QJsonDocument(result));
    } else {
        QString out = QStringLiteral("%1 shots taken, %2 failed%3")
                          .arg(series.ShotsTaken())
                          .arg(series.FailedCount())
                          .arg(interrupted ? QStringLiteral(" (stopped)") : QString());
        if (!series.LogFile().isEmpty())
            out += QStringLiteral("\nlog %1").arg(series.LogFile());
        context.print(out);
    }
    if (series.FailedCount() > 0)
        return context.fail(
            QStringLiteral("%1 of %2 shots failed").arg(series.FailedCount()).arg(series.ShotsTaken()));
    if (!allLoaded)
        return context.fail(QStringLiteral("not every file of the series could be downloaded"));
    return CliContext::Success;
}
