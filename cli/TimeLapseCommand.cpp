#include "TimeLapseCommand.h"

#include "CliContext.h"
#include "CliInterrupt.h"
#include "PlayModeOnExit.h"
#include "base/TSetup.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "camera/WaitFunc.h"
#include "liveview/TLiveViewAction.h"
#include "liveview/TLiveViewControl.h"
#include "liveview/TMetaData.h"
#include "remote/RemoteControlRules.h"
#include "remote/TRemoteControl.h"
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
    int autoMode = 0; // an automatic exposure mode of the series; 0: none
};

constexpr int kLongestSeconds = 86399; // as the time-lapse panel allows: 23:59:59
constexpr int kMostShots = 9999;
// What the last shots' downloads may take after the series ended.
constexpr int kDownloadGraceMs = 120000;

// The exposure control's mode for lrt, ev or ev±D; 0 for anything else.
int autoModeOf(const QString& value)
{
    if (value == QLatin1String("lrt"))
        return TTimeLapseExposure::ModeLRTimelapse;
    const QString ev = value == QLatin1String("ev") ? QStringLiteral("ev-0.7") : value;
    for (int mode = TTimeLapseExposure::ModeLRTimelapse + 1; mode < TTimeLapseExposure::ModeCount; ++mode)
        if (ev
            == QStringLiteral("ev%1%2")
                   .arg(TTimeLapseExposure::DifferenceOf(mode) > 0 ? QStringLiteral("+") : QString())
                   .arg(TTimeLapseExposure::DifferenceOf(mode), 0, 'f', 1))
            return mode;
    return 0;
}

// What the automatic modes may change: put back when the series ends.
constexpr const char* kExposureProperties[] = { "shutspeedvalue", "isospeedvalue", "focalvalue", "expcomp" };

// Lets the series measure the live view while it runs (the automatic modes).
bool startMeasuring(CliContext& context, TCamera& camera, TTimeLapseSeries& series, TLiveViewControl& control)
{
    camera.Remote.LiveView.Processor().ImageBuffer().SetImageHandler(
        [&series](TImageBuffer&, TImageBlocks&, QBuffer& stream, const TMetaData& information) {
            series.LiveFrame(stream.data(), information);
        });
    return control.Start(TLiveViewControl::ModeRecord, quint16(context.setup().LiveViewPort));
}

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
        } else if (option == QLatin1String("--auto") && options.autoMode == 0) {
            options.autoMode = autoModeOf(value);
            if (options.autoMode == 0)
                return QStringLiteral("--auto takes lrt, ev (ev-0.7) or one of ev-1.0, ev-0.3, ev+0.3, "
                                      "ev+0.7, ev+1.0");
        } else {
            return QStringLiteral("timelapse takes --interval SECONDS, --wait SECONDS, --count N, "
                                  "--dest DIR and --auto lrt|ev, each once");
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
    // Back in play mode on every way out, a refused series included.
    std::optional<PlayModeOnExit> backToPlay;
    backToPlay.emplace(mode);
    if (mode.Enabled && !mode.SwitchToMode(TCameraModeAction::ModeRec))
        return context.fail(QStringLiteral("the camera did not switch to recording mode"));

    TShooting shooting;
    shooting.SetCamera(&camera);
    shooting.DeriveModes();
    // One picture per shot: a long or held exposure or a count-down would not keep the plan.
    const RemoteControlRules::TShootingModes modes = RemoteControlRules::ModesOf(camera.Remote.Params);
    if (!modes.TimeLapseAllowed || modes.LiveTime || modes.LiveBulb)
        return context.fail(QStringLiteral("a series needs take mode P, A, S or M, single-shot drive and a "
                                           "shutter speed other than LIVETIME or LIVEBULB"));

    TTimeLapseSeries series;
    series.SetShooting(&shooting);
    series.Plan(options.wait, options.interval, options.count);
    // The automatic modes follow the light from the live view (difference modes) or from each
    // shot's record view (LRTimelapse); what they change goes back at the end.
    QList<QPair<TCameraParam*, QString>> exposureBefore;
    TLiveViewControl liveView(camera.Remote.CameraMode, camera.Remote.LiveView, camera.Remote.ReleaseView,
        [] { return QString(); });
    bool measuring = false;
    if (options.autoMode > 0) {
        series.Exposure.DebugMode = true;
        series.Exposure.UsesStartButton = true;
        series.Exposure.Reset(&camera.Remote.Params);
        if (!series.Exposure.IsAutoModeEnabled())
            return context.fail(QStringLiteral("--auto needs take mode M"));
        series.Exposure.SetAutoMode(options.autoMode);
        for (const char* name : kExposureProperties)
            if (TCameraParam* param = camera.Remote.Params.Find(QLatin1String(name)); param && param->Valid)
                exposureBefore << qMakePair(param, param->RawValue);
        measuring = startMeasuring(context, camera, series, liveView);
        if (!measuring)
            return context.fail(QStringLiteral("the live view for --auto did not start"));
    }
    const auto endMeasuring = [&] {
        if (measuring)
            liveView.Stop();
        measuring = false;
        for (const auto& [param, raw] : exposureBefore)
            if (param->RawValue.compare(raw, Qt::CaseInsensitive) != 0)
                TRemoteControl::SetProperty(*param, raw);
        exposureBefore.clear();
    };
    series.DownloadEachShot = !folder.isEmpty();
    series.DownloadFolder = folder;
    const bool verbose = !context.json();
    QObject::connect(&series, &TTimeLapseSeries::ShotDone, [&](int number) {
        if (!verbose)
            return;
        const TTimeLapseSeries::TShot& shot = series.Shots().at(number - 1);
        const QString total = options.count > 0 ? QStringLiteral("/%1").arg(options.count) : QString();
        const QString outcome = shot.Ok ? shot.Files.join(QLatin1Char(' '))
            : shot.Missed               ? shot.Reason
                                        : QStringLiteral("FAILED: ") + shot.Reason;
        const QString line = QStringLiteral("shot %1%2 %3 (%4 ms after plan)")
                                 .arg(number)
                                 .arg(total)
                                 .arg(outcome)
                                 .arg(shot.ActualMs - shot.PlannedMs);
        std::fprintf(stderr, "%s\n", qPrintable(line));
    });
    QObject::connect(&series, &TTimeLapseSeries::CameraAvailable, [&](bool available) {
        if (verbose)
            std::fprintf(stderr, "%s\n",
                available ? "the camera is back; the series goes on"
                          : "the camera does not answer; the series goes on when it is back");
    });

    bool interrupted = false;
    {
        CliInterrupt guard;
        if (!series.Start()) {
            endMeasuring();
            return context.usage(series.LastError());
        }
        if (series.WaitingForStart()) {
            // The reference: the light of the next seconds, or the record view of one picture.
            if (series.Exposure.IsLRT() && shooting.TakePhoto())
                series.MeasureShot();
            for (int i = 0; i < 3 && !CliInterrupt::Requested(); ++i)
                Wait(1000);
            series.PressStart();
        }
        while (series.IsRunning()) {
            Wait(50);
            if (CliInterrupt::Requested()) {
                interrupted = true;
                series.Stop();
            }
        }
    }
    endMeasuring();
    const bool allLoaded = series.WaitForDownloads(kDownloadGraceMs);
    backToPlay.reset();

    if (context.json()) {
        QJsonObject result { { QStringLiteral("ok"),
                                 series.FailedCount() == 0 && series.MissedCount() == 0 && allLoaded },
            { QStringLiteral("interrupted"), interrupted },
            { QStringLiteral("shots"), series.ShotsTaken() - series.MissedCount() },
            { QStringLiteral("failed"), series.FailedCount() },
            { QStringLiteral("missed"), series.MissedCount() }, { QStringLiteral("log"), series.LogJson() } };
        if (!series.LogFile().isEmpty())
            result.insert(QStringLiteral("logFile"), series.LogFile());
        context.printJson(QJsonDocument(result));
    } else {
        QString out = QStringLiteral("%1 shots taken, %2 failed, %3 missed%4")
                          .arg(series.ShotsTaken() - series.MissedCount())
                          .arg(series.FailedCount())
                          .arg(series.MissedCount())
                          .arg(interrupted ? QStringLiteral(" (stopped)") : QString());
        if (!series.LogFile().isEmpty())
            out += QStringLiteral("\nlog %1").arg(series.LogFile());
        context.print(out);
    }
    if (series.FailedCount() > 0 || series.MissedCount() > 0)
        return context.fail(QStringLiteral("%1 of %2 shots failed, %3 missed")
                                .arg(series.FailedCount())
                                .arg(series.ShotsTaken())
                                .arg(series.MissedCount()));
    if (!allLoaded)
        return context.fail(QStringLiteral("not every file of the series could be downloaded"));
    return CliContext::Success;
}
