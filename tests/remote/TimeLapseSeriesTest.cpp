// The time-lapse series: its measurement windows, the clock that keeps every shot on its plan
// (driven by an injected clock), failed shots, the log; against the simulator the exposure control
// that follows the light and a series that downloads every shot between the shots.
#include "remote/TTimeLapseSeries.h"

#include "base/AppTexts.h"
#include "camera/TCameraModeAction.h"
#include "camera/TCameraParams.h"
#include "camera/WaitFunc.h"
#include "common/EnglishTexts.h"
#include "common/TestPaths.h"
#include "liveview/TLiveViewControl.h"
#include "liveview/TMetaData.h"
#include "remote/TShooting.h"
#include "session/TCamera.h"
#include "sim/SimCamera.h"
#include "sim/SimServer.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

TEST(DoubleList, KeepsTheNewestWithinItsCapacityAndAveragesThem)
{
    TDoubleList list;
    list.SetCapacity(5);
    for (int i = 1; i <= 7; ++i)
        EXPECT_EQ(list.Add(i), std::min(i, 5) - 1);
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Items(0), 3);
    EXPECT_EQ(list.Items(4), 7);
    EXPECT_EQ(list.Items(5), 0);
    EXPECT_EQ(list.Items(-1), 0);
    EXPECT_DOUBLE_EQ(list.Average(), 5);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_DOUBLE_EQ(list.TakeAverage(), 5);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_DOUBLE_EQ(list.Average(), 0);
    EXPECT_FALSE(list.IsLocked());

    // A smaller capacity drops the oldest at once; below 0 means unlimited like 0.
    for (int i = 1; i <= 4; ++i)
        list.Add(i);
    list.SetCapacity(2);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_DOUBLE_EQ(list.Average(), 3.5);
    list.SetCapacity(-3);
    EXPECT_EQ(list.Capacity(), 0);
    for (int i = 0; i < 100; ++i)
        list.Add(1);
    EXPECT_EQ(list.Count(), 102);
}

TEST(TimeLapseExposure, BrightnessCorrectionIsTheRelativeDifferenceInPercent)
{
    EXPECT_NEAR(*TTimeLapseExposure::BrightnessCorrection(0.55, 0.5), 10.0, 1e-9);
    EXPECT_NEAR(*TTimeLapseExposure::BrightnessCorrection(0.45, 0.5), -10.0, 1e-9);
    EXPECT_NEAR(*TTimeLapseExposure::BrightnessCorrection(0.3, 0.3), 0.0, 1e-9);
    // Whatever the live brightness, equal means mean no correction (the old formula gave about -0.3 %).
    EXPECT_NEAR(*TTimeLapseExposure::BrightnessCorrection(0.8, 0.8), 0.0, 1e-9);
    EXPECT_FALSE(TTimeLapseExposure::BrightnessCorrection(0.5, 0).has_value());
    TTimeLapseExposure exposure;
    exposure.AddShotMeasurement(0.42, 0.66, 0.6);
    exposure.AddShotMeasurement(0.44, 0.5, 0);
    EXPECT_EQ(exposure.LrtValues.Count(), 2);
    ASSERT_EQ(exposure.Corrections.Count(), 1);
    EXPECT_NEAR(exposure.Corrections.Items(0), 10.0, 1e-9);
    EXPECT_DOUBLE_EQ(TTimeLapseExposure::DifferenceOf(3), -0.7);
    EXPECT_DOUBLE_EQ(TTimeLapseExposure::DifferenceOf(7), 1.0);
    EXPECT_DOUBLE_EQ(TTimeLapseExposure::DifferenceOf(1), 0);
}

// A series whose shots take what the test says, on a clock the test sets.
class ClockedSeries : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        series.Clock = [this] { return clock; };
        series.Shoot = [this] {
            TTimeLapseSeries::TShotOutcome outcome;
            shotTimes << clock;
            clock += shotDuration.value(shotTimes.size(), 0);
            outcome.Ok = !failing.contains(int(shotTimes.size()));
            if (!outcome.Ok)
                outcome.Reason = QStringLiteral("no answer, card full");
            return outcome;
        };
        QObject::connect(&series, &TTimeLapseSeries::Finished, [this] { ++finished; });
    }
    // Moves the clock to ms and lets the series take what is due.
    void at(qint64 ms)
    {
        clock = ms;
        series.Tick();
    }

    qint64 clock = 1'000'000;
    QList<qint64> shotTimes;
    QMap<int, qint64> shotDuration; // shot number -> ms it takes
    QList<int> failing;
    int finished = 0;
    TTimeLapseSeries series;
};

TEST_F(ClockedSeries, ThreeShotsAfterFiveSecondsEveryTenSeconds)
{
    const qint64 t0 = clock;
    series.Plan(5, 10, 3);
    ASSERT_TRUE(series.Start());
    EXPECT_TRUE(series.IsStarted()); // no "Start" to wait for without the automatic modes
    EXPECT_EQ(series.RemainingText(), "00:00:05");
    EXPECT_EQ(series.IntervalText(), "00:00:10");
    at(t0 + 4999);
    EXPECT_TRUE(shotTimes.isEmpty());
    at(t0 + 5000);
    at(t0 + 14999);
    at(t0 + 15000);
    EXPECT_EQ(series.FrameText(), "2/3");
    EXPECT_EQ(series.ShotsRemaining(), 1);
    EXPECT_EQ(series.ElapsedText(), "00:00:15");
    at(t0 + 25000);
    at(t0 + 35000); // nothing after the last
    EXPECT_EQ(shotTimes, (QList<qint64> { t0 + 5000, t0 + 15000, t0 + 25000 }));
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(series.IsRunning());
    EXPECT_EQ(series.ShotsRemaining(), 0);
    ASSERT_EQ(series.Shots().size(), 3);
    EXPECT_EQ(series.Shots()[2].PlannedMs, t0 + 25000);
}

TEST_F(ClockedSeries, AShotLongerThanTheIntervalDelaysOnlyItselfAndUnlimitedCountsBelowZero)
{
    const qint64 t0 = clock;
    series.Plan(0, 10, 0);
    shotDuration[2] = 13000; // the second shot ends 3 s after the third was due
    ASSERT_TRUE(series.Start());
    at(t0);
    EXPECT_EQ(series.ShotsRemaining(), -1);
    at(t0 + 10000);
    EXPECT_EQ(clock, t0 + 23000);
    EXPECT_EQ(series.MsUntilNextShot(), -3000);
    at(clock); // taken at once
    EXPECT_EQ(series.MsUntilNextShot(), 7000); // the plan goes on: due at 30 s, not 33 s
    at(t0 + 30000);
    at(t0 + 40000);
    EXPECT_EQ(shotTimes, (QList<qint64> { t0, t0 + 10000, t0 + 23000, t0 + 30000, t0 + 40000 }));
    EXPECT_EQ(series.Shots()[2].ActualMs - series.Shots()[2].PlannedMs, 3000);
    EXPECT_EQ(series.ShotsRemaining(), -5);
    EXPECT_EQ(series.FrameText(), "5");
    EXPECT_TRUE(series.IsRunning());
    series.Stop();
    at(t0 + 50000);
    EXPECT_EQ(shotTimes.size(), 5);
    EXPECT_EQ(finished, 0);
}

TEST_F(ClockedSeries, AFailedShotCountsAndIsLoggedWithItsReason)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    series.DownloadFolder = folder.path(); // the log goes there; downloads are off
    series.Plan(0, 2, 3);
    failing << 2;
    const qint64 t0 = clock;
    ASSERT_TRUE(series.Start());
    at(t0);
    at(t0 + 2000);
    at(t0 + 4000);
    EXPECT_EQ(series.ShotsTaken(), 3);
    EXPECT_EQ(series.FailedCount(), 1);
    EXPECT_EQ(series.FrameText(), QStringLiteral("3/3 (1 fehlgeschlagen)"));
    EXPECT_EQ(finished, 1);

    QFile log(series.LogFile());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << series.LogFile().toStdString();
    const QStringList lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << lines.join(u'|').toStdString();
    EXPECT_EQ(lines[0], TTimeLapseSeries::CsvHeader());
    EXPECT_TRUE(lines[1].startsWith(QLatin1String("1,"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QLatin1String(",off")));
    // The reason holds a comma: quoted, so the line keeps its columns.
    EXPECT_TRUE(lines[2].contains(QLatin1String(",\"no answer, card full\","))) << lines[2].toStdString();
    EXPECT_TRUE(lines[3].contains(QLatin1String(",ok,")));
}

TEST_F(ClockedSeries, ASlotMoreThanHalfAnIntervalLateIsMissedNotFiredAndTheSeriesGoesOn)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    series.DownloadFolder = folder.path();
    series.Plan(0, 2, 0);
    shotDuration[2] = 6000; // a latency spike: shot 2 at 2 s returns at 8 s
    const qint64 t0 = clock;
    ASSERT_TRUE(series.Start());
    at(t0);
    at(t0 + 2000);
    at(clock); // slots at 4 s and 6 s are past, the one at 8 s is due now
    at(t0 + 11001); // the slot at 10 s is more than half an interval late
    at(t0 + 12000);
    EXPECT_EQ(shotTimes, (QList<qint64> { t0, t0 + 2000, t0 + 8000, t0 + 12000 }));
    ASSERT_EQ(series.Shots().size(), 7);
    for (int i : { 2, 3, 5 }) {
        EXPECT_TRUE(series.Shots()[i].Missed) << i;
        EXPECT_FALSE(series.Shots()[i].Ok) << i;
        EXPECT_TRUE(series.Shots()[i].Files.isEmpty()) << i;
    }
    EXPECT_TRUE(series.Shots()[4].Ok);
    EXPECT_EQ(series.Shots()[4].PlannedMs, t0 + 8000);
    EXPECT_EQ(series.MissedCount(), 3);
    EXPECT_EQ(series.FailedCount(), 0);
    EXPECT_EQ(series.FrameText(), QStringLiteral("7 (3 verpasst)"));

    QFile log(series.LogFile());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 8);
    EXPECT_TRUE(lines[3].startsWith(QLatin1String("3,"))) << lines[3].toStdString();
    EXPECT_TRUE(lines[3].contains(QLatin1String("missed: "))) << lines[3].toStdString();
}

TEST_F(ClockedSeries, AnIntervalBelowOneSecondIsRefused)
{
    series.Plan(0, 0, 99);
    EXPECT_FALSE(series.PlanError().isEmpty());
    EXPECT_FALSE(series.Start());
    EXPECT_EQ(series.LastError(), series.PlanError());
    EXPECT_FALSE(series.IsRunning());
    at(clock + 1000);
    EXPECT_TRUE(shotTimes.isEmpty());
}

TEST(TimeLapseClock, TimesShowAsTimeOfDay)
{
    EXPECT_EQ(TTimeLapseSeries::ClockText(86399000), "23:59:59");
    EXPECT_EQ(TTimeLapseSeries::ClockText(25 * 3600000LL), "01:00:00");
    EXPECT_EQ(TTimeLapseSeries::ClockText(-5400), "00:00:05");
}

// Against the simulator: the camera's own properties, its live view and its card.
class SimTimeLapse : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        camsim::SimServerOptions options;
        options.profile = "omd-v260";
        options.generatedFiles = 2;
        options.fps = 30;
        server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(server->isValid()) << server->errorText();
        ASSERT_NE(server->start(), 0);
        server->camera().setProperty("drivemode", "normal");
        camera = std::make_unique<TCamera>(
            TCameraLink::ToHost(QStringLiteral("127.0.0.1:%1").arg(server->port())), QStringLiteral("N"),
            false, QStringLiteral("S"));
        camera->OnChangeConnection = [](TCamera*, bool& handled) { handled = true; };
        camera->CheckTimer.start(10);
        ASSERT_TRUE(QTest::qWaitFor([&] { return camera->Connected; }, 10000));
        camera->CheckTimer.stop();
        camera->CheckIntervalMs = 3'600'000;
        camera->Remote.CameraMode.SwitchPauseMs = 0;
        ASSERT_TRUE(camera->Remote.CameraMode.SwitchToMode(TCameraModeAction::ModeRec));
    }

    // Manual exposure at the simulator's correct exposure (meter at 0).
    void correctManualExposure()
    {
        for (const auto& [name, value] : { std::pair { "takemode", "M" }, { "shutspeedvalue", "125" },
                 { "focalvalue", "5.6" }, { "isospeedvalue", "200" } }) {
            TCameraParam* param = camera->Remote.Params.Find(QLatin1String(name));
            ASSERT_NE(param, nullptr) << name;
            ASSERT_TRUE(param->SetValue(QLatin1String(value))) << name;
        }
    }

    // The live view, each frame's meter reading into the exposure control's queue.
    void liveView(TTimeLapseExposure& exposure)
    {
        control = std::make_unique<TLiveViewControl>(camera->Remote.CameraMode, camera->Remote.LiveView,
            camera->Remote.ReleaseView, [] { return QStringLiteral("0640x0480"); });
        camera->Remote.LiveView.Processor().ImageBuffer().SetImageHandler(
            [&exposure](TImageBuffer&, TImageBlocks&, QBuffer&, const TMetaData& meta) {
                exposure.EvReadings.Add(meta.GetExposureCompensation() / 10.0);
            });
        ASSERT_TRUE(control->Start(2, 0));
    }

    void TearDown() override
    {
        if (control)
            control->Stop();
    }

    std::unique_ptr<camsim::SimServer> server;
    std::unique_ptr<TCamera> camera;
    std::unique_ptr<TLiveViewControl> control;
};

TEST_F(SimTimeLapse, ADifferenceModeBringsTheMeterBackToTheReferenceWithinFourChanges)
{
    correctManualExposure();
    TTimeLapseExposure exposure;
    exposure.DebugMode = true;
    exposure.UsesStartButton = true;
    exposure.Reset(&camera->Remote.Params);
    ASSERT_TRUE(exposure.IsAutoModeEnabled());
    exposure.SetAutoMode(3); // -0.7 EV
    ASSERT_TRUE(exposure.IsAuto());
    ASSERT_TRUE(exposure.IsStartShown());
    liveView(exposure);

    // Before the start the reference follows the light.
    ASSERT_TRUE(QTest::qWaitFor([&] { return exposure.EvReadings.Count() > 0; }, 5000));
    exposure.AutoTick();
    EXPECT_NEAR(exposure.Reference(), 0.0, 0.05);
    exposure.SetStarted(true);

    // The light drops by a stop (the aperture closes from 5.6 to 8).
    ASSERT_TRUE(camera->Remote.Params.Find(QStringLiteral("focalvalue"))->SetValue(QStringLiteral("8.0")));
    for (int tick = 0; tick < 10 && exposure.ChangesMade() == 0; ++tick) {
        QTest::qWait(200);
        exposure.AutoTick();
    }
    EXPECT_GE(exposure.ChangesMade(), 1);
    EXPECT_LE(exposure.ChangesMade(), 4);
    // Three thirds of a stop longer: 1/60.
    EXPECT_EQ(camera->Remote.Params.Find(QStringLiteral("shutspeedvalue"))->Value, "60");
    exposure.EvReadings.Clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return exposure.EvReadings.Count() > 2; }, 5000));
    EXPECT_NEAR(exposure.EvReadings.TakeAverage(), exposure.Reference(), 0.1);
    EXPECT_EQ(server->camera().exposureSeconds(), 1.0 / 60);
}

TEST_F(SimTimeLapse, LRTimelapseAtSunsetLengthensTheShutterUpToItsMaximumThenRaisesIso)
{
    correctManualExposure();
    TTimeLapseExposure exposure;
    exposure.DebugMode = true;
    exposure.UsesStartButton = true;
    exposure.Reset(&camera->Remote.Params);
    exposure.SetAutoMode(TTimeLapseExposure::ModeLRTimelapse);
    ASSERT_TRUE(exposure.IsLRT());
    EXPECT_EQ(exposure.DirectionText(), "Sonnenuntergang");
    exposure.ChooseMaxShutterSpeed(QStringLiteral("100"));
    EXPECT_EQ(exposure.MaxShutterSpeed(), "100");
    exposure.ChooseMaxShutterSpeed(QStringLiteral("LIVETIME")); // no limit of its own
    EXPECT_EQ(exposure.MaxShutterSpeed(), "100");

    exposure.LrtValues.Add(0.55);
    exposure.AutoTick();
    EXPECT_NEAR(exposure.Reference(), 0.5, 1e-9); // a sunset starts 1/1.1 below the light
    exposure.SetStarted(true);

    const auto value
        = [&](const char* name) { return camera->Remote.Params.Find(QLatin1String(name))->Value; };
    // Brighter than the reference: nothing changes.
    exposure.LrtValues.Add(0.52);
    exposure.AutoTick();
    EXPECT_EQ(exposure.ChangesMade(), 0);
    // At the reference: one third longer, then the maximum holds and ISO takes over.
    exposure.DrainAll();
    exposure.LrtValues.Add(0.5);
    exposure.AutoTick();
    EXPECT_EQ(exposure.ChangesMade(), 1);
    EXPECT_EQ(value("shutspeedvalue"), "100");
    exposure.LrtValues.Add(0.45);
    exposure.AutoTick();
    EXPECT_EQ(exposure.ChangesMade(), 2);
    EXPECT_EQ(value("shutspeedvalue"), "100");
    EXPECT_EQ(value("isospeedvalue"), "250");
    // The same average again is not evaluated twice.
    exposure.LrtValues.Add(0.45);
    exposure.AutoTick();
    EXPECT_EQ(exposure.ChangesMade(), 2);
}

TEST_F(SimTimeLapse, ManualChangesFollowTheTakeModeAndTheChosenStep)
{
    correctManualExposure();
    TTimeLapseExposure exposure;
    exposure.Reset(&camera->Remote.Params);
    EXPECT_EQ(exposure.StepItems(TTimeLapseExposure::Iso), (QStringList { "1/3 EV", "2/3 EV", "1 EV" }));
    EXPECT_EQ(exposure.MaxIsoItems().value(0), "Bitte wählen");
    EXPECT_FALSE(exposure.MaxShutterSpeedItems().contains(QStringLiteral("LIVETIME")));
    EXPECT_FALSE(exposure.IsAdjustable(TTimeLapseExposure::ExposureCompensation));
    EXPECT_EQ(exposure.ValueText(TTimeLapseExposure::ExposureCompensation), "---");
    // Without the automatic modes' debug switch the selector is shown only to a host with "Start".
    EXPECT_FALSE(exposure.IsAutoModeShown());

    exposure.SetStepIndex(TTimeLapseExposure::ShutterSpeed, 2); // 1 EV
    ASSERT_TRUE(exposure.Change(TTimeLapseExposure::ShutterSpeed, true));
    EXPECT_EQ(exposure.ValueText(TTimeLapseExposure::ShutterSpeed), "60");
    ASSERT_TRUE(exposure.Change(TTimeLapseExposure::Iso, true));
    EXPECT_EQ(exposure.ValueText(TTimeLapseExposure::Iso), "250");

    // In aperture priority the shutter is the camera's.
    ASSERT_TRUE(camera->Remote.Params.Find(QStringLiteral("takemode"))->SetValue(QStringLiteral("A")));
    exposure.Reset(&camera->Remote.Params);
    EXPECT_FALSE(exposure.IsEnabled(TTimeLapseExposure::ShutterSpeed));
    EXPECT_EQ(exposure.ValueText(TTimeLapseExposure::ShutterSpeed), "---");
    EXPECT_FALSE(exposure.Change(TTimeLapseExposure::ShutterSpeed, true));
    EXPECT_TRUE(exposure.IsEnabled(TTimeLapseExposure::Aperture));
    EXPECT_TRUE(exposure.IsEnabled(TTimeLapseExposure::ExposureCompensation));
    EXPECT_TRUE(exposure.Change(TTimeLapseExposure::ExposureCompensation, false));
}

// Every shot's files arrive between the shots, and every shot stays on its plan.
TEST_F(SimTimeLapse, TwentyShotsEveryTwoSecondsDownloadEachShotAndKeepThePlan)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TShooting shooting;
    shooting.SetCamera(camera.get());
    shooting.DeriveModes();
    TTimeLapseSeries series;
    series.SetShooting(&shooting);
    series.Plan(0, 2, 20);
    series.DownloadEachShot = true;
    series.DownloadFolder = folder.path();
    ASSERT_TRUE(series.Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !series.IsRunning(); }, 60000));
    ASSERT_TRUE(series.WaitForDownloads(30000));

    ASSERT_EQ(series.Shots().size(), 20);
    QList<qint64> deviations;
    QStringList names;
    for (const TTimeLapseSeries::TShot& shot : series.Shots()) {
        EXPECT_TRUE(shot.Ok) << shot.Number << shot.Reason.toStdString();
        EXPECT_EQ(shot.Download, "ok") << shot.Number;
        EXPECT_FALSE(shot.Files.isEmpty());
        names << shot.Files;
        deviations << shot.ActualMs - shot.PlannedMs;
    }
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 20 * series.Shots()[0].Files.size());
    for (const QString& name : names) {
        const QFileInfo file(QDir(folder.path()).filePath(name));
        EXPECT_TRUE(file.exists() && file.size() > 0) << name.toStdString();
    }
    std::sort(deviations.begin(), deviations.end());
    std::printf("shot deviation from plan with download: max %lld ms, p95 %lld ms\n",
        static_cast<long long>(deviations.last()), static_cast<long long>(deviations[18]));
    EXPECT_GE(deviations.first(), 0); // never early
    EXPECT_LE(deviations.last(), 100);

    QFile log(series.LogFile());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(log.readAll()).count(QLatin1Char('\n')), 21);
}

// A download that holds back for a while before its bytes flow, so that a series slot comes while the
// transfer runs; it counts the transfers running and those abandoned.
class HeldBackStream : public TCameraStream
{
public:
    HeldBackStream(std::unique_ptr<TCameraStream> inner, int& running, int& abandoned)
        : m_inner(std::move(inner))
        , m_running(running)
        , m_abandoned(abandoned)
    { }
    ~HeldBackStream() override
    {
        if (m_begun && !m_ended)
            --m_running;
    }

    TCameraAnswer run() override
    {
        ++m_running;
        m_begun = true;
        WaitAbortable(1200, m_aborted);
        const TCameraAnswer answer = m_aborted ? cancelled() : m_inner->run();
        m_ended = true;
        --m_running;
        return answer;
    }
    bool start(Done done, QString&) override
    {
        ++m_running;
        m_begun = true;
        m_done = std::move(done);
        QTimer::singleShot(1200, &m_guard, [this] {
            if (m_ended)
                return;
            QString why;
            m_started
                = !m_aborted && m_inner->start([this](const TCameraAnswer& answer) { end(answer); }, why);
            if (!m_started)
                end(cancelled());
        });
        return true;
    }
    void abort() override
    {
        ++m_abandoned;
        m_aborted = true;
        if (m_started)
            m_inner->abort();
        else if (m_done && !m_ended) // the background form, not yet begun at the camera
            QTimer::singleShot(0, &m_guard, [this] {
                if (!m_ended)
                    end(cancelled());
            });
    }

private:
    static TCameraAnswer cancelled()
    {
        TCameraAnswer answer;
        answer.Error = QStringLiteral("cancelled");
        answer.Failure = TCameraFailure::Cancelled;
        return answer;
    }
    // The handle may be freed inside done: nothing of it is touched after.
    void end(const TCameraAnswer& answer)
    {
        m_ended = true;
        --m_running;
        const Done done = std::move(m_done);
        done(answer);
    }

    std::unique_ptr<TCameraStream> m_inner;
    int& m_running;
    int& m_abandoned;
    Done m_done;
    QObject m_guard;
    bool m_aborted = false;
    bool m_started = false;
    bool m_begun = false;
    bool m_ended = false;
};

// Each slot comes while a file is in transfer: the transfer gives way and the shot is taken once it
// has ended, never beside it; the file abandoned is fetched later, once.
TEST_F(SimTimeLapse, AShotDueDuringATransferIsTakenOnlyAfterTheTransferGaveWay)
{
    int running = 0;
    int abandoned = 0;
    camera->Import.FileLoader.Link.StreamTransport = [&](const TCameraStreamRequest& request) {
        return std::unique_ptr<TCameraStream>(
            std::make_unique<HeldBackStream>(TCameraLink::StreamHttp(request), running, abandoned));
    };
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TShooting shooting;
    shooting.SetCamera(camera.get());
    shooting.DeriveModes();
    int beside = 0;
    QObject::connect(&shooting, &TShooting::Communication, [&](const TCommunication& communication) {
        if (communication.Kind == ceStart && running > 0)
            ++beside;
    });
    TTimeLapseSeries series;
    series.SetShooting(&shooting);
    series.Plan(0, 1, 3);
    series.DownloadEachShot = true;
    series.DownloadFolder = folder.path();
    ASSERT_TRUE(series.Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !series.IsRunning(); }, 30000));
    ASSERT_TRUE(series.WaitForDownloads(30000));

    EXPECT_EQ(beside, 0);
    EXPECT_GT(abandoned, 0);
    QStringList names;
    for (const TTimeLapseSeries::TShot& shot : series.Shots()) {
        EXPECT_TRUE(shot.Ok) << shot.Number << shot.Reason.toStdString();
        EXPECT_EQ(shot.Download, "ok") << shot.Number;
        names << shot.Files;
    }
    names << QFileInfo(series.LogFile()).fileName();
    names.sort();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), names);
}

// The camera goes off and comes back in play mode with another shutter speed; later its answers
// lag for longer than an interval. The series reports the loss, puts the camera back into recording
// mode with its settings, misses the slots it could not keep and never fires two shots in a burst.
TEST_F(SimTimeLapse, ASeriesSurvivesAPowerCycleAndALatencySpikeWithoutABurst)
{
    correctManualExposure();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TShooting shooting;
    shooting.SetCamera(camera.get());
    shooting.DeriveModes();
    TTimeLapseSeries series;
    series.SetShooting(&shooting);
    series.Plan(0, 1, 0);
    series.DownloadEachShot = true;
    series.DownloadFolder = folder.path();
    QList<bool> availability;
    QObject::connect(&series, &TTimeLapseSeries::CameraAvailable, [&](bool on) { availability << on; });
    const auto okShots = [&] {
        return std::count_if(series.Shots().begin(), series.Shots().end(),
            [](const TTimeLapseSeries::TShot& shot) { return shot.Ok; });
    };
    ASSERT_TRUE(series.Start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return okShots() >= 2; }, 20000));

    server->setPower(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return series.IsCameraLost(); }, 20000));
    EXPECT_FALSE(series.CameraText().isEmpty());
    server->camera().setProperty("shutspeedvalue", "250");
    QTest::qWait(1500);
    server->setPower(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !series.IsCameraLost(); }, 20000));
    const auto afterReturn = okShots();
    ASSERT_TRUE(QTest::qWaitFor([&] { return okShots() >= afterReturn + 2; }, 20000));
    EXPECT_EQ(server->camera().mode(), camsim::SimCamera::Mode::Rec);
    EXPECT_EQ(server->camera().withProperties(
                  [](const camsim::SimPropertySet& set) { return set.value("shutspeedvalue").value_or(""); }),
        "125");

    camsim::SimFaultSettings faults;
    faults.latencyMs = 2500;
    server->setFaults(faults);
    const int spikeAt = int(series.Shots().size());
    ASSERT_TRUE(QTest::qWaitFor([&] { return series.Shots().size() > spikeAt + 1; }, 20000));
    server->setFaults({});
    const auto afterSpike = okShots();
    ASSERT_TRUE(QTest::qWaitFor([&] { return okShots() >= afterSpike + 2; }, 20000));
    series.Stop();
    ASSERT_TRUE(series.WaitForDownloads(30000));

    EXPECT_EQ(availability, (QList<bool> { false, true }));
    EXPECT_GT(series.MissedCount(), 0);
    qint64 lastFired = -1;
    QStringList names;
    int loaded = 0;
    for (const TTimeLapseSeries::TShot& shot : series.Shots()) {
        if (!shot.Ok) {
            EXPECT_TRUE(shot.Files.isEmpty()) << shot.Number;
        } else {
            names << shot.Files;
            loaded += shot.Download == QLatin1String("ok") ? 1 : 0;
        }
        if (shot.Missed)
            continue;
        // Fired shots keep at least half an interval between them.
        if (lastFired >= 0) {
            EXPECT_GE(shot.ActualMs - lastFired, 500) << shot.Number;
        }
        lastFired = shot.ActualMs;
    }
    EXPECT_EQ(loaded, okShots());
    const qsizetype all = names.size();
    names.removeDuplicates();
    EXPECT_EQ(names.size(), all); // no file logged for two shots
    for (const QString& name : names)
        EXPECT_TRUE(QFileInfo::exists(QDir(folder.path()).filePath(name))) << name.toStdString();
}

TEST(TimeLapseTexts, EveryTextHasAnEnglishLine)
{
    const TTimeLapseExposure exposure;
    const TTimeLapseSeries series;
    const QStringList missing = lumivar::test::textsWithoutEnglish();
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u' ').toStdString();
}

} // namespace
