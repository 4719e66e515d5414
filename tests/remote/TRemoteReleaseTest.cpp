// The remote release against the simulator: files on the card at start are not counted, a release
// in shutter mode adds the new shot's files with their sizes and kinds, only the newest shot of a
// poll counts, polling ends on leave, and a poll neither runs inside itself nor touches an object
// destroyed while it waits.
#include "remote/TRemoteRelease.h"

#include "base/AppTexts.h"
#include "base/TBaseObserver.h"
#include "base/TLogger.h"
#include "base/TSetup.h"
#include "common/SimulatedCamera.h"
#include "sim/SimCamera.h"
#include "sim/SimCard.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct LogLines : TBaseObserver
{
    QStringList lines;
    void Update(const QString& line) override { lines << line; }
};

class TRemoteReleaseTest : public ::testing::Test
{
protected:
    void SetUp() override { RegisterAppTexts(); }

    void start(int latencyMs = 0)
    {
        camsim::SimServerOptions options;
        options.generatedFiles = 12;
        options.faults.latencyMs = latencyMs;
        ASSERT_TRUE(sim.Start(options));
        server = sim.server.get();
        camera = sim.camera.get();
        release = std::make_unique<TRemoteRelease>();
        release->SetCamera(camera);
        release->EnterShutterMode();
        ASSERT_EQ(camera->Remote.CameraMode.Mode, TCameraModeAction::ModeShutter);
    }

    QStringList latestNames() const
    {
        QStringList names;
        for (const TCameraImportItem* item : release->Latest())
            names << item->FileName;
        return names;
    }

    qint64 latestBytes() const
    {
        qint64 total = 0;
        for (const TCameraImportItem* item : release->Latest())
            total += item->Size();
        return total;
    }

    lvtest::SimulatedCamera sim;
    camsim::SimServer* server = nullptr;
    TCamera* camera = nullptr;
    std::unique_ptr<TRemoteRelease> release;
};

TEST_F(TRemoteReleaseTest, ShotsInShutterModeAreCountedWithSizesKindsAndDescription)
{
    start();
    EXPECT_TRUE(release->IsTakeEnabled());
    QList<int> communications;
    QObject::connect(release.get(), &TRemoteRelease::Communication,
        [&](const TCommunication& c) { communications << c.Kind; });

    // The card's files make the baseline and are never counted.
    ASSERT_TRUE(release->RequestData(true));
    EXPECT_GT(release->Known().Count(), 0);
    ASSERT_TRUE(release->RequestData(false));
    EXPECT_EQ(release->NewFileCount(), 0);
    EXPECT_EQ(release->NewFileBytes(), 0);

    // The profile's quality gives JPEG and RAW of one shot.
    ASSERT_TRUE(release->TakePhoto());
    EXPECT_EQ(communications, QList<int>({ 0, 1, 2 }));
    ASSERT_TRUE(release->RequestData(false));
    ASSERT_EQ(release->Latest().Count(), 2);
    const QStringList names = latestNames();
    EXPECT_TRUE(names[0].endsWith(QLatin1String(".JPG")) && names[1].endsWith(QLatin1String(".ORF")))
        << names.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(names[0].chopped(4), names[1].chopped(4));
    EXPECT_EQ(release->NewFileCount(), 2);
    EXPECT_EQ(release->NewShotCount(), 1); // RAW+JPEG is one shot
    EXPECT_GT(latestBytes(), 0);
    EXPECT_EQ(release->NewFileBytes(), latestBytes());
    EXPECT_TRUE(release->IsJpeg());
    EXPECT_TRUE(release->IsRaw());
    // Newest first, each with its size, then the shot's date.
    const QStringList lines = release->LastTakeInfo().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3) << release->LastTakeInfo().toStdString();
    EXPECT_TRUE(lines[0].startsWith(names[1] + QLatin1Char('\t')));
    EXPECT_TRUE(lines[1].startsWith(names[0] + QLatin1Char('\t')));
    EXPECT_TRUE(lines[2].startsWith(QLatin1String("vom ")));

    // The same shot seen again adds nothing.
    const qint64 bytesAfterFirst = release->NewFileBytes();
    ASSERT_TRUE(release->RequestData(false));
    EXPECT_EQ(release->NewFileCount(), 2);
    EXPECT_EQ(release->NewShotCount(), 1);
    EXPECT_EQ(release->NewFileBytes(), bytesAfterFirst);

    // A JPEG-only shot adds one file and dims RAW.
    server->camera().setQuality("LF");
    ASSERT_TRUE(release->TakePhoto());
    ASSERT_TRUE(release->RequestData(false));
    EXPECT_EQ(latestNames().size(), 1);
    EXPECT_EQ(release->NewFileCount(), 3);
    EXPECT_EQ(release->NewShotCount(), 2);
    EXPECT_EQ(release->NewFileBytes(), bytesAfterFirst + latestBytes());
    EXPECT_TRUE(release->IsJpeg());
    EXPECT_FALSE(release->IsRaw());

    // Two shots between polls: only the newest counts.
    ASSERT_TRUE(release->TakePhoto());
    ASSERT_TRUE(release->TakePhoto());
    ASSERT_TRUE(release->RequestData(false));
    EXPECT_EQ(release->NewFileCount(), 4);
    EXPECT_EQ(release->NewShotCount(), 3);

    // A new camera forgets what was counted.
    release->SetCamera(camera);
    EXPECT_EQ(release->NewFileCount(), 0);
    EXPECT_EQ(release->NewShotCount(), 0);
    EXPECT_EQ(release->NewFileBytes(), 0);
    EXPECT_EQ(release->Latest().Count(), 0);
    EXPECT_TRUE(release->LastTakeInfo().isEmpty());
}

TEST_F(TRemoteReleaseTest, ShotInANewFolderIsCountedAfterTheFileNumberRollsOver)
{
    start();
    ASSERT_TRUE(release->RequestData(true));
    server->camera().setQuality("LF");
    server->card().setNextFileNumber(9999);
    ASSERT_TRUE(release->TakePhoto());
    ASSERT_TRUE(release->RequestData(false));
    ASSERT_EQ(release->Latest().Count(), 1);
    EXPECT_TRUE(release->Latest()[0]->FileName.endsWith(QLatin1String("9999.JPG")));
    const QString oldFolder = release->Latest()[0]->Directory;

    // The camera opens the next folder; the poll follows it and its first file is new.
    ASSERT_TRUE(release->TakePhoto());
    ASSERT_TRUE(release->RequestData(false));
    ASSERT_EQ(release->Latest().Count(), 1);
    EXPECT_TRUE(release->Latest()[0]->FileName.endsWith(QLatin1String("0001.JPG")));
    EXPECT_NE(release->Latest()[0]->Directory, oldFolder);
    EXPECT_EQ(release->NewFileCount(), 2);
}

TEST_F(TRemoteReleaseTest, ReleaseAndTakeButtonNeedShutterModeAndConnection)
{
    start();
    TSetup setup;
    setup.DebugMode = true;
    TLogger logger(&setup);
    LogLines recorded;
    logger.Attach(&recorded);
    TLogger::SetInstance(&logger);
    // Trace lines only with the detailed log.
    release->Start();
    release->Leave();
    EXPECT_FALSE(recorded.lines.join(QLatin1Char('\n')).contains(QLatin1String("TfraRemoteRelease")));
    release->DetailedLog = true;
    release->Start();
    release->Leave();
    ASSERT_TRUE(release->TakePhoto());
    TLogger::SetInstance(nullptr);
    logger.Detach(&recorded);
    const QString log = recorded.lines.join(QLatin1Char('\n'));
    qsizetype at = 0;
    for (const char* line : { "TfraRemoteRelease.GoStart: ceStart", "TfraRemoteRelease.GoStart: ceStop",
             "TfraRemoteRelease.TakePhoto: ceStart", "TfraRemoteRelease.TakePhoto: ceStop",
             "TfraRemoteRelease.TakePhoto: ceChangeFreeRegion" }) {
        at = log.indexOf(QLatin1String(line), at);
        EXPECT_GE(at, 0) << line << "\n" << log.toStdString();
    }

    // In playback the camera refuses the shutter and the button is off.
    ASSERT_TRUE(camera->Remote.CameraMode.SwitchToMode(TCameraModeAction::ModePlay));
    EXPECT_FALSE(release->IsTakeEnabled());
    // Without a connection nothing is sent, but the communication still begins and ends.
    camera->Connected = false;
    QList<int> communications;
    QObject::connect(release.get(), &TRemoteRelease::Communication,
        [&](const TCommunication& c) { communications << c.Kind; });
    const uint64_t served = server->requestsServed();
    EXPECT_FALSE(release->TakePhoto());
    EXPECT_EQ(server->requestsServed(), served);
    EXPECT_EQ(communications, QList<int>({ 0, 1, 2 }));
}

TEST_F(TRemoteReleaseTest, PollingCountsShotsAndStopsOnLeave)
{
    start();
    QList<int> communications;
    QObject::connect(release.get(), &TRemoteRelease::Communication,
        [&](const TCommunication& c) { communications << c.Kind; });
    release->Start();
    EXPECT_EQ(communications, QList<int>({ 0, 1 }));
    EXPECT_TRUE(release->IsRunning());
    EXPECT_TRUE(release->IsPolling());
    EXPECT_EQ(release->NewFileCount(), 0);

    ASSERT_TRUE(release->TakePhoto());
    EXPECT_EQ(release->NewFileCount(), 0); // the poll picks it up, not the release
    ASSERT_TRUE(QTest::qWaitFor([&] { return release->NewFileCount() == 2; }, 10000));
    EXPECT_TRUE(release->IsPolling());

    release->Leave();
    EXPECT_FALSE(release->IsRunning());
    EXPECT_FALSE(release->IsPolling());
    // The counters survive leaving; a new start takes a new baseline.
    EXPECT_EQ(release->NewFileCount(), 2);
    ASSERT_TRUE(release->TakePhoto());
    release->Start();
    ASSERT_TRUE(release->RequestData(false));
    EXPECT_EQ(release->NewFileCount(), 2);
}

TEST_F(TRemoteReleaseTest, PollIsNotReenteredAndSurvivesDestructionDuringItsWait)
{
    start(150);
    ASSERT_TRUE(release->RequestData(true));
    bool inner = true;
    bool innerRan = false;
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(release->IsRequesting());
        inner = release->RequestData(false);
        innerRan = true;
    });
    EXPECT_TRUE(release->RequestData(false));
    EXPECT_TRUE(innerRan);
    EXPECT_FALSE(inner);
    EXPECT_FALSE(release->IsRequesting());

    // The object goes away while its poll waits for the camera.
    TRemoteRelease* doomed = release.get();
    QTimer::singleShot(0, [&] { release.reset(); });
    EXPECT_FALSE(doomed->RequestData(false));
    EXPECT_EQ(release, nullptr);
}

} // namespace
