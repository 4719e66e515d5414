// The camera object's connection monitor against the simulator: a camera that appears, one that is
// not in private mode, one that goes away, power off with Disconnect, and the Wi-Fi join schedule;
// then the requests the main window makes through it: model, mode, power off, clock, live view stop.
#include "session/TCamera.h"

#include "sim/SimCamera.h"
#include "sim/SimClock.h"
#include "sim/SimServer.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <QTimeZone>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace {

struct Recorder
{
    QStringList commands;
    TWifiJoin::Runner runner()
    {
        return [this](const QString& program, const QStringList& arguments) {
            commands << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
            return true;
        };
    }
};

class TCameraTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        camsim::SimServerOptions options;
        options.generatedFiles = 2;
        server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(server->isValid()) << server->errorText();
        ASSERT_NE(server->start(), 0);
    }

    // A monitor that checks every 100 ms instead of every 3 s.
    std::unique_ptr<TCamera> makeCamera(const QString& host, bool autoConnect = false)
    {
        auto camera = std::make_unique<TCamera>(TCameraLink::ToHost(host), QStringLiteral("E-M10-CAM"),
            autoConnect, QStringLiteral("E-M10-P-123"), recorder.runner());
        camera->CheckIntervalMs = 100;
        camera->WlanJoinWaitMs = 10;
        camera->CheckTimer.start(10);
        camera->OnChangeConnection = [this](TCamera* sender, bool& handled) {
            changes << sender->Connected;
            handled = handleChanges;
        };
        return camera;
    }

    QString simHost() const { return QStringLiteral("127.0.0.1:%1").arg(server->port()); }

    // The simulator's control interface, reached over HTTP as a user of the simulator reaches it.
    int simControl(const QString& pathAndQuery) const
    {
        TCameraRequest request;
        request.Url = QStringLiteral("http://%1%2").arg(simHost(), pathAndQuery);
        return TCameraLink::ToHost(simHost()).send(request).Code;
    }

    std::unique_ptr<TCamera> connectedCamera()
    {
        auto camera = makeCamera(simHost());
        EXPECT_TRUE(QTest::qWaitFor([&] { return camera->Connected; }, 10000));
        return camera;
    }

    std::unique_ptr<camsim::SimServer> server;
    Recorder recorder;
    QList<bool> changes;
    bool handleChanges = true;
};

TEST_F(TCameraTest, CameraThatAppearsIsReadOnceWithItsCapabilities)
{
    auto camera = makeCamera(simHost());
    ASSERT_TRUE(QTest::qWaitFor([&] { return camera->Connected; }, 10000));
    EXPECT_TRUE(camera->IsPrivate);
    EXPECT_EQ(camera->Version, QStringLiteral("2.20"));
    EXPECT_EQ(camera->Capabilities,
        TCamera::CapImport | TCamera::CapRemote | TCamera::CapGPS | TCamera::CapRelease);
    EXPECT_EQ(camera->LastResponseCode, 200);
    EXPECT_TRUE(camera->Import.ImageList.Enabled);
    EXPECT_TRUE(camera->Remote.PowerOff.Enabled);
    EXPECT_TRUE(camera->Info.ConnectMode.Enabled);
    // Later checks see the same answer: nothing is read again, the handler is not called again.
    QTest::qWait(500);
    EXPECT_EQ(changes, QList<bool>({ true }));
    EXPECT_FALSE(camera->Checking);
    EXPECT_TRUE(recorder.commands.isEmpty());
}

TEST_F(TCameraTest, CameraNotInPrivateModeIsConnectedWithoutCapabilities)
{
    server->camera().setConnectMode("shared");
    auto camera = makeCamera(simHost());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changes.isEmpty(); }, 10000));
    EXPECT_TRUE(camera->Connected);
    EXPECT_FALSE(camera->IsPrivate);
    EXPECT_EQ(camera->Capabilities, 0);
    EXPECT_FALSE(camera->Import.ImageList.Enabled);
}

TEST_F(TCameraTest, CameraThatGoesAwayIsReportedAndItsNetworkJoined)
{
    auto camera = makeCamera(simHost(), true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return camera->Connected; }, 10000));
    server->setPower(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !camera->Connected; }, 10000));
    EXPECT_EQ(changes, QList<bool>({ true, false }));
    EXPECT_EQ(camera->LastResponseCode, -1);
    EXPECT_EQ(camera->Capabilities, 0);
    EXPECT_FALSE(camera->Import.ImageList.Enabled);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.commands.isEmpty(); }, 5000));
    EXPECT_EQ(recorder.commands.first(), QStringLiteral("nmcli connection up id E-M10-CAM"));

    server->setPower(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return camera->Connected; }, 10000));
    EXPECT_EQ(changes, QList<bool>({ true, false, true }));
}

TEST_F(TCameraTest, AbsentCameraJoinsTheNetworkAtTheFirstAndEveryThirdFailure)
{
    auto camera = makeCamera(QStringLiteral("127.0.0.1:1"), true);
    handleChanges = true;
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return camera->FailureCount >= 1 && recorder.commands.size() >= 3; }, 20000));
    camera->Stop();
    // Joins at failures 1, 4, 7, ...: never two in a row.
    EXPECT_FALSE(camera->Connected);
    EXPECT_TRUE(changes.isEmpty() || changes == QList<bool>({ false }));
    EXPECT_EQ(recorder.commands.size(), 3);

    // Without automatic joining nothing is started.
    Recorder quiet;
    TCamera manual(TCameraLink::ToHost(QStringLiteral("127.0.0.1:1")), QStringLiteral("N"), false,
        QStringLiteral("S"), quiet.runner());
    EXPECT_TRUE(manual.ConnectWLAN());
    EXPECT_TRUE(quiet.commands.isEmpty());
}

TEST_F(TCameraTest, HandlerThatDoesNotTakeNoteIsCalledAtEveryCheck)
{
    handleChanges = false;
    auto camera = makeCamera(simHost());
    ASSERT_TRUE(QTest::qWaitFor([&] { return changes.size() >= 3; }, 10000));
    EXPECT_TRUE(camera->Connected);
}

TEST_F(TCameraTest, PowerOffAndDisconnectWaitBeforeTheNextCheck)
{
    auto camera = makeCamera(simHost());
    ASSERT_TRUE(QTest::qWaitFor([&] { return camera->Connected; }, 10000));
    server->setPower(false);
    camera->Disconnect(3000);
    EXPECT_FALSE(camera->Connected);
    EXPECT_EQ(camera->LastResponseCode, -1);
    EXPECT_EQ(changes, QList<bool>({ true, false }));

    // The camera is back at once, but the monitor only looks after the delay; then any answer is a
    // change.
    server->setPower(true);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return camera->Connected; }, 10000));
    EXPECT_GE(clock.elapsed(), 2000);
    EXPECT_EQ(changes, QList<bool>({ true, false, true }));
}

// Power off clicked while a check waits for a slow camera: the click runs inside that wait, so the
// check cannot end before the click's Disconnect returns. The Disconnect returns at once, and the
// check, when it is back, drops the connection in place of its own answer.
TEST_F(TCameraTest, DisconnectDuringARunningCheckIsDoneByTheCheck)
{
    auto camera = makeCamera(simHost());
    ASSERT_TRUE(QTest::qWaitFor([&] { return camera->Connected; }, 10000));
    camera->CheckTimer.stop();
    camsim::SimFaultSettings slow;
    slow.latencyMs = 400;
    server->setFaults(slow);
    camera->LastResponseCode = 0; // the answer of the check would count as a change

    bool returned = false;
    bool checkingAtReturn = false;
    QTimer::singleShot(100, [&] {
        camera->Disconnect(3000);
        returned = true;
        checkingAtReturn = camera->Checking;
    });
    // A Disconnect that waited for the check would wait forever; Stop ends such a wait.
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [&] { camera->Stop(); });
    stop.start(3000);
    camera->DoCheck(false);
    stop.stop();

    EXPECT_TRUE(returned);
    EXPECT_TRUE(checkingAtReturn);
    EXPECT_FALSE(camera->Stopped);
    EXPECT_FALSE(camera->Checking);
    EXPECT_FALSE(camera->Connected);
    EXPECT_EQ(camera->LastResponseCode, -1);
    EXPECT_EQ(changes, QList<bool>({ true, false }));
    EXPECT_TRUE(camera->CheckTimer.isActive());
    EXPECT_GT(camera->CheckTimer.remainingTime(), 2000);

    // The next check after the delay finds the camera as any answer after a power off.
    server->setFaults({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return camera->Connected; }, 10000));
    EXPECT_EQ(changes, QList<bool>({ true, false, true }));
}

TEST_F(TCameraTest, StopEndsMonitoringAndBusyPartsHoldChecksBack)
{
    auto camera = makeCamera(simHost());
    ASSERT_TRUE(QTest::qWaitFor([&] { return camera->Connected; }, 10000));

    camsim::SimFaultSettings slow;
    slow.latencyMs = 400;
    server->setFaults(slow);
    TFileLoadTarget target;
    target.FileName = QDir::tempPath() + QStringLiteral("/lumivar-session-busy.part-test");
    ASSERT_TRUE(camera->Import.FileLoader.Load(QStringLiteral("/100OLYMP/NONE.JPG"), target, false));
    EXPECT_TRUE(camera->ModuleIsLoading());
    server->setPower(false);
    camera->DoCheck(true);
    EXPECT_EQ(camera->LastResponseCode, 200); // held back: no check ran
    ASSERT_TRUE(QTest::qWaitFor([&] { return !camera->ModuleIsLoading(); }, 10000));
    EXPECT_FALSE(QFileInfo::exists(target.FileName));

    camera->Stop();
    EXPECT_FALSE(camera->CheckTimer.isActive());
    camera->DoCheck(true);
    EXPECT_EQ(camera->LastResponseCode, 200);
    EXPECT_FALSE(camera->ModuleIsLoading());
    EXPECT_FALSE(camera->ConnectWLAN());
    camera->Disconnect(10);
    EXPECT_FALSE(camera->CheckTimer.isActive());
}

TEST_F(TCameraTest, CameraFreedFromItsOwnHandlerIsHarmless)
{
    auto camera = makeCamera(simHost());
    TCamera* raw = camera.release();
    bool freed = false;
    raw->OnChangeConnection = [&](TCamera* sender, bool&) {
        delete sender;
        freed = true;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return freed; }, 10000));
    QTest::qWait(300);
}

TEST_F(TCameraTest, ModelAndModeAreAskedAtTheTimeOfAsking)
{
    auto camera = connectedCamera();
    ASSERT_TRUE(camera->Connected);
    EXPECT_EQ(camera->ModelName(), QStringLiteral("E-M10"));
    EXPECT_TRUE(camera->IsPrivateMode());

    // The mode changes behind the monitor's back: the question sees it, the connect-time state does not.
    ASSERT_EQ(simControl(QStringLiteral("/__sim/connectmode?mode=shared")), 200);
    EXPECT_FALSE(camera->IsPrivateMode());
    EXPECT_TRUE(camera->IsPrivate);
    ASSERT_EQ(simControl(QStringLiteral("/__sim/connectmode?mode=PRIVATE")), 200);
    EXPECT_TRUE(camera->IsPrivateMode());

    // A camera that no longer answers has neither model nor mode.
    server->setPower(false);
    EXPECT_TRUE(camera->ModelName().isEmpty());
    EXPECT_FALSE(camera->IsPrivateMode());
}

TEST_F(TCameraTest, PowerOffSwitchesTheCameraOffAndReportsItGone)
{
    auto camera = connectedCamera();
    ASSERT_TRUE(camera->Remote.PowerOff.Enabled);
    EXPECT_TRUE(camera->PowerOff());
    EXPECT_FALSE(server->camera().powered());
    EXPECT_FALSE(camera->Connected);
    EXPECT_EQ(camera->LastResponseCode, -1);
    EXPECT_EQ(changes, QList<bool>({ true, false }));
    // The monitor looks again only after the delay.
    EXPECT_TRUE(camera->CheckTimer.isActive());
    EXPECT_GE(camera->CheckTimer.interval(), 3000);

    // Gone, the camera offers no power off: nothing is sent and nothing is reported again.
    EXPECT_FALSE(camera->Remote.PowerOff.Enabled);
    EXPECT_FALSE(camera->PowerOff());
    EXPECT_EQ(changes, QList<bool>({ true, false }));
}

TEST_F(TCameraTest, ClockIsSetAndLiveViewStoppedOnlyWhileTheCameraServes)
{
    auto camera = connectedCamera();
    ASSERT_TRUE(camera->Remote.SetTime.Enabled);
    // A moment far from now, so the camera's clock can only have come from the request.
    const QDateTime moment(QDate(2021, 3, 14), QTime(15, 9, 26), QTimeZone(3600));
    camera->Remote.SetTime.Now = [moment] { return moment; };
    EXPECT_TRUE(camera->SyncClock());
    const auto cameraUtc
        = std::chrono::duration_cast<std::chrono::seconds>(server->clock().utcNow().time_since_epoch())
              .count();
    EXPECT_LT(std::abs(cameraUtc - moment.toSecsSinceEpoch()), 3600);
    EXPECT_EQ(server->clock().diffMinutes(), 60);

    // Live view that never started is not stopped; a running one is.
    camera->StopLiveView();
    EXPECT_EQ(camera->Remote.LiveView.LiveViewState, TBaseLiveViewAction::NotStarted);
    ASSERT_TRUE(camera->Remote.CameraMode.SwitchToMode(TCameraModeAction::ModeRec));
    ASSERT_TRUE(camera->Remote.LiveView.Execute(TBaseLiveViewAction::KindStart, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server->liveViewRunning(); }, 5000));
    camera->StopLiveView();
    EXPECT_EQ(camera->Remote.LiveView.LiveViewState, TBaseLiveViewAction::Stopped);
    EXPECT_FALSE(server->liveViewRunning());

    // A camera that no longer answers refuses the clock; one known to be gone is not asked.
    server->setPower(false);
    EXPECT_FALSE(camera->SyncClock());
    camera->Disconnect(3000);
    EXPECT_FALSE(camera->SyncClock());
}

} // namespace
