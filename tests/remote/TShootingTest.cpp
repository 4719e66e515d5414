// The shooting object: against a byte-buffer camera what each take sends and what a failure leaves
// behind (never a lasting stop mode, never an open communication); against the simulator the
// shot's files and marks, the self-timer with a point, leaving during an exposure or a recording,
// and a camera that goes away while it exposes or records.
#include "remote/TShooting.h"

#include "base/AppTexts.h"
#include "common/ByteCamera.h"
#include "common/EnglishTexts.h"
#include "common/TestPaths.h"
#include "exif/TExif.h"
#include "remote/TShotSettings.h"
#include "session/TCamera.h"
#include "sim/SimCamera.h"
#include "sim/SimCard.h"
#include "sim/SimClock.h"
#include "sim/SimPropertySet.h"
#include "sim/SimServer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>

using lumivar::test::ByteCamera;

namespace {

const QByteArray kTakeOk = "<?xml version=\"1.0\"?><response><take>ok</take><affocus>ok</affocus></response>";
const QString kTake = QStringLiteral("/exec_takemotion.cgi");
const QString kStart = QStringLiteral("/exec_takemotion.cgi?com=starttake");
const QString kStop = QStringLiteral("/exec_takemotion.cgi?com=stoptake");
constexpr int kManual = 3'600'000; // clocks the test ticks itself

// What the object reports, in order.
struct Events
{
    QList<int> communications;
    QList<int> percents;
    QStringList details;
    QStringList errors;
    QList<int> counts;
    QStringList liveTimes;

    void watch(TShooting& shooting)
    {
        QObject::connect(&shooting, &TShooting::Communication,
            [this](const TCommunication& c) { communications << c.Kind; });
        QObject::connect(&shooting, &TShooting::Progress,
            [this](const QString&, const QString& detail, bool, int percent) {
                percents << percent;
                details << detail;
            });
        QObject::connect(&shooting, &TShooting::Error, [this](const QString& text) { errors << text; });
        QObject::connect(&shooting, &TShooting::SelfTimerCount, [this](int seconds) { counts << seconds; });
        QObject::connect(&shooting, &TShooting::LiveTime, [this](const QString& text) { liveTimes << text; });
    }
    int begins() const { return int(communications.count(0)); }
    int ends() const { return int(communications.count(1)); }
};

void manualClocks(TShooting& shooting)
{
    shooting.LiveTimeIntervalMs = kManual;
    shooting.CheckIntervalMs = kManual;
    shooting.SelfTimerIntervalMs = kManual;
    shooting.MovieIntervalMs = kManual;
}

class FakeShooting : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        fake.answer(kStart, 200, kTakeOk);
        fake.answer(kStop, 200);
        camera = std::make_unique<TCamera>(fake.link(), QStringLiteral("N"), false, QStringLiteral("S"));
        camera->CheckTimer.stop();
        camera->CheckIntervalMs = kManual;
        camera->Connected = true;
        camera->Remote.Take.Enabled = true;
        camera->Remote.TakeReady.Enabled = true;
        camera->Import.ImageList.Enabled = true;
        camera->Import.FileLoader.Probe(nullptr);
        shooting = std::make_unique<TShooting>();
        manualClocks(*shooting);
        shooting->Clock = [this] { return clock; };
        shooting->SetCamera(camera.get());
        events.watch(*shooting);
    }

    // A card that holds base + each extension, every file size bytes, from the next press on (or
    // at once).
    void card(const QString& base, const QStringList& extensions, int size = 1000, bool atOnce = false)
    {
        fake.answer(QStringLiteral("/get_imglist.cgi?DIR=/DCIM"), 200,
            "VER_100\r\n/DCIM,100OLYMP,0,16,19623,28007\r\n");
        const QString folder = QStringLiteral("/get_imglist.cgi?DIR=/DCIM/100OLYMP");
        QByteArray list = "VER_100\r\n/DCIM/100OLYMP,P7090001.JPG,500,0,19689,43009\r\n";
        fake.answer(folder, 200, list);
        for (const QString& extension : extensions) {
            const QString name = base + QLatin1Char('.') + extension;
            list += QStringLiteral("/DCIM/100OLYMP,%1,%2,0,19689,43100\r\n").arg(name).arg(size).toLatin1();
            fake.answer(QStringLiteral("/DCIM/100OLYMP/") + name, 200,
                QByteArray(size, char('a' + extension.size())));
        }
        fake.Seen = [this, folder, list](const QString& query) {
            if (query.endsWith(QLatin1String("com=starttake")))
                fake.answer(folder, 200, list);
        };
        if (atOnce)
            fake.answer(folder, 200, list);
    }

    QStringList takeCommands() const
    {
        QStringList commands;
        for (const QString& query : fake.queries)
            if (query.startsWith(kTake))
                commands << query.mid(kTake.size() + 5);
        return commands;
    }

    ByteCamera fake;
    std::unique_ptr<TCamera> camera;
    std::unique_ptr<TShooting> shooting;
    Events events;
    qint64 clock = QDateTime(QDate(2026, 3, 14), QTime(15, 9, 26, 535)).toMSecsSinceEpoch();
};

TEST_F(FakeShooting, LiveTimeTakesTwoClicksWithItsClockAndListsTheShot)
{
    card(QStringLiteral("P7090002"), { "JPG", "ORF" });
    shooting->SetModes(true, false, false, false);

    ASSERT_TRUE(shooting->TakePhoto());
    EXPECT_EQ(takeCommands(), QStringList({ "starttake" }));
    EXPECT_EQ(shooting->TakeButtonState(), TShooting::ButtonStop);
    EXPECT_TRUE(shooting->IsLiveTimeRunning());
    // The page stays locked except the take button and the picture, the communication open.
    EXPECT_EQ(shooting->OpenCommunications(), 1);
    EXPECT_EQ(shooting->FreeRegions(), TShooting::RegionTakeButton | TShooting::RegionLiveView);
    EXPECT_EQ(shooting->LastTake().Count(), 0);

    clock += 65'400;
    shooting->LiveTimeTick();
    EXPECT_EQ(events.liveTimes, QStringList({ "01:05" }));

    ASSERT_TRUE(shooting->TakePhoto());
    EXPECT_EQ(takeCommands(), QStringList({ "starttake", "stoptake" }));
    EXPECT_EQ(shooting->TakeButtonState(), TShooting::ButtonNormal);
    EXPECT_FALSE(shooting->IsLiveTimeRunning());
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(events.begins(), 1);
    EXPECT_EQ(events.ends(), 1);
    EXPECT_EQ(shooting->FreeRegions(), TShooting::RegionNone);
    ASSERT_EQ(shooting->LastTake().Count(), 2);
    const QStringList lines = shooting->LastTakeInfo().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 2) << shooting->LastTakeInfo().toStdString();
    EXPECT_TRUE(lines[0].startsWith(QLatin1String("P7090002.")) && lines[0].contains(QLatin1Char('\t')));
    EXPECT_TRUE(shooting->IsJpeg());
    EXPECT_TRUE(shooting->IsRaw());
    EXPECT_TRUE(events.errors.isEmpty()) << events.errors.join(u'|').toStdString();
}

TEST_F(FakeShooting, FailuresAreReportedAndNeverLeaveTheButtonOrACommunicationOpen)
{
    // A take the camera answers with something other than ok.
    fake.answer(kStart, 200, "<?xml version=\"1.0\"?><response><take>ng</take></response>");
    EXPECT_FALSE(shooting->TakePhoto());
    ASSERT_EQ(events.errors.size(), 1);
    EXPECT_TRUE(events.errors[0].contains(QLatin1String("ng"))) << events.errors[0].toStdString();
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(events.communications.first(), 0);
    EXPECT_EQ(events.begins(), events.ends());

    // A LIVETIME exposure whose camera stops answering before the second click.
    fake.answer(kStart, 200, kTakeOk);
    shooting->SetModes(true, false, false, false);
    ASSERT_TRUE(shooting->TakePhoto());
    ASSERT_EQ(shooting->TakeButtonState(), TShooting::ButtonStop);
    fake.refuse(kStop);
    EXPECT_FALSE(shooting->TakePhoto());
    EXPECT_EQ(shooting->TakeButtonState(), TShooting::ButtonNormal);
    EXPECT_FALSE(shooting->IsLiveTimeRunning());
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(shooting->FreeRegions(), TShooting::RegionNone);
    ASSERT_EQ(events.errors.size(), 2);
    EXPECT_TRUE(events.errors[1].contains(QLatin1String("antwortet nicht")))
        << events.errors[1].toStdString();

    // A held exposure whose stop fails is over as well: the next press goes out.
    shooting->SetModes(false, true, false, false);
    ASSERT_TRUE(shooting->StartLiveBulbOrSequential());
    EXPECT_FALSE(shooting->StopLiveBulbOrSequential());
    EXPECT_FALSE(shooting->IsLongExposureRunning());
    EXPECT_FALSE(shooting->IsCheckRunning());
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_TRUE(shooting->StartLiveBulbOrSequential());
    shooting->Leave();

    // Without a connection nothing is sent, and the begin still has its end.
    camera->Connected = false;
    shooting->SetModes(false, false, false, false);
    const qsizetype sent = fake.requests.size();
    EXPECT_FALSE(shooting->TakePhoto());
    EXPECT_EQ(fake.requests.size(), sent);
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(events.begins(), events.ends());
}

TEST_F(FakeShooting, SequentialPressAndReleaseAndALostRelease)
{
    card(QStringLiteral("P7090003"), { "JPG" });
    shooting->SetModes(false, false, true, false);
    // A click or a plain take does nothing in this mode.
    EXPECT_FALSE(shooting->TakePhoto());
    shooting->ButtonClick();
    EXPECT_TRUE(takeCommands().isEmpty());

    shooting->ButtonDown();
    EXPECT_EQ(takeCommands(), QStringList({ "starttake" }));
    EXPECT_TRUE(shooting->IsLongExposureRunning());
    EXPECT_TRUE(shooting->IsCheckRunning());
    EXPECT_EQ(shooting->OpenCommunications(), 1);
    // While the button is held the check leaves the sequence alone.
    shooting->CheckTick();
    EXPECT_TRUE(shooting->IsLongExposureRunning());
    shooting->ButtonUp();
    EXPECT_EQ(takeCommands(), QStringList({ "starttake", "stoptake" }));
    EXPECT_FALSE(shooting->IsLongExposureRunning());
    EXPECT_FALSE(shooting->IsCheckRunning());
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(shooting->LastTake().Count(), 1);

    // Pressed on the picture, released nowhere: the check ends it.
    ASSERT_TRUE(shooting->StartLiveBulbOrSequential(10, 20));
    EXPECT_TRUE(shooting->IsCheckRunning());
    shooting->CheckTick();
    EXPECT_EQ(takeCommands().mid(2), QStringList({ "starttake", "stoptake" }));
    EXPECT_FALSE(shooting->IsLongExposureRunning());
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(events.begins(), events.ends());

    // A refused press leaves the camera ready for the next one.
    fake.answer(kStart, 520, "<?xml version=\"1.0\"?><error><code>1</code></error>");
    EXPECT_FALSE(shooting->StartLiveBulbOrSequential());
    EXPECT_EQ(takeCommands().mid(4), QStringList({ "starttake", "stoptake" }));
    EXPECT_FALSE(shooting->IsCheckRunning());
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(events.errors.size(), 1);
}

TEST_F(FakeShooting, LiveViewFramesStandInForTakesAndNothingIsSent)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    shooting->LvAsTake = true;
    shooting->TempDir = temp.path();
    shooting->AutoPreview = true;
    shooting->AutoDownload = true;
    shooting->DownloadFolder = temp.path();
    int frame = 0;
    shooting->LastFrame = [&] { return QByteArray("\xFF\xD8 frame ") + QByteArray::number(++frame); };

    // Without the folder nothing is written.
    EXPECT_TRUE(shooting->TakePhoto());
    EXPECT_TRUE(shooting->LastFrameFile().isEmpty());

    ASSERT_TRUE(QDir(temp.path()).mkdir(QStringLiteral("LiveView")));
    // Also in LIVETIME mode each click is one frame.
    shooting->SetModes(true, false, false, false);
    ASSERT_TRUE(shooting->TakePhoto());
    EXPECT_EQ(shooting->TakeButtonState(), TShooting::ButtonNormal);
    const QString first = shooting->LastFrameFile();
    EXPECT_EQ(QFileInfo(first).fileName(), QStringLiteral("20260314150926535.jpg"));
    clock += 7;
    ASSERT_TRUE(shooting->TakePhoto());
    EXPECT_EQ(QFileInfo(shooting->LastFrameFile()).fileName(), QStringLiteral("20260314150926542.jpg"));
    // A second take within the same millisecond keeps both.
    ASSERT_TRUE(shooting->TakePhoto());
    EXPECT_NE(shooting->LastFrameFile(),
        QDir(temp.path()).filePath(QStringLiteral("LiveView/20260314150926542.jpg")));

    const QStringList stored
        = QDir(temp.filePath(QStringLiteral("LiveView"))).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(stored.size(), 3) << stored.join(u' ').toStdString();
    QFile file(first);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xFF\xD8 frame 1"));
    EXPECT_TRUE(fake.requests.isEmpty()) << fake.requests.join(u' ').toStdString();
    EXPECT_EQ(shooting->LastTake().Count(), 0);
    EXPECT_EQ(shooting->OpenCommunications(), 0);
}

TEST_F(FakeShooting, LastTakeDownloadReportsProgressAndLeavesNoPartialFile)
{
    QTemporaryDir target;
    ASSERT_TRUE(target.isValid());
    card(QStringLiteral("P7090004"), { "JPG", "ORF", "WAV" }, 200'000, true);
    ASSERT_TRUE(shooting->ListLastTake());
    ASSERT_EQ(shooting->LastTake().Count(), 3);

    ASSERT_TRUE(shooting->LoadLastTake(target.path()));
    QList<int> distinct;
    for (int percent : events.percents)
        if (distinct.isEmpty() || distinct.last() != percent)
            distinct << percent;
    EXPECT_EQ(distinct, QList<int>({ 0, 33, 66, 99, 100 }));
    EXPECT_EQ(events.details.last(), QStringLiteral("Vorgang abgeschlossen"));
    EXPECT_EQ(QDir(target.path()).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(QFileInfo(target.filePath(QStringLiteral("P7090004.ORF"))).size(), 200'000);
    EXPECT_EQ(shooting->OpenCommunications(), 0);

    // Once more into the same folder, where another file has taken the raw file's name: the copies
    // there are not fetched again, the other file stays, the camera's raw file gets a free name.
    QFile other(target.filePath(QStringLiteral("P7090004.ORF")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
    other.write("another picture");
    other.close();
    const auto fetched = [this](const char* name) {
        return fake.queries.count(QStringLiteral("/DCIM/100OLYMP/") + QLatin1String(name));
    };
    const qsizetype jpegs = fetched("P7090004.JPG");
    ASSERT_TRUE(shooting->LoadLastTake(target.path()));
    EXPECT_EQ(fetched("P7090004.JPG"), jpegs);
    EXPECT_EQ(QDir(target.path()).entryList(QDir::Files | QDir::Hidden),
        QStringList({ "P7090004.JPG", "P7090004.ORF", "P7090004.WAV", "P7090004_1.ORF" }));
    EXPECT_EQ(QFileInfo(target.filePath(QStringLiteral("P7090004.ORF"))).size(), 15);
    EXPECT_EQ(QFileInfo(target.filePath(QStringLiteral("P7090004_1.ORF"))).size(), 200'000);
    EXPECT_TRUE(shooting->LoadedFiles().contains(target.filePath(QStringLiteral("P7090004_1.ORF"))));

    // The second file breaks off: the others arrive, it leaves nothing, the end text names it.
    QTemporaryDir second;
    fake.answers[QStringLiteral("/DCIM/100OLYMP/P7090004.ORF")].CutAfter = 70'000;
    events.percents.clear();
    events.details.clear();
    EXPECT_FALSE(shooting->LoadLastTake(second.path()));
    EXPECT_EQ(events.percents.last(), 100);
    EXPECT_EQ(events.details.last(), QStringLiteral("Vorgang fehlgeschlagen: P7090004.ORF"));
    EXPECT_EQ(shooting->FailedFiles(), QStringList({ "P7090004.ORF" }));
    EXPECT_EQ(QDir(second.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
        QStringList({ "P7090004.JPG", "P7090004.WAV" }));
    EXPECT_EQ(shooting->OpenCommunications(), 0);

    // No folder and nobody to ask: nothing happens.
    EXPECT_FALSE(shooting->LoadLastTake(QStringLiteral("  ")));
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(events.begins(), events.ends());
}

TEST_F(FakeShooting, SelfTimerCountsDownThenTakesAndCanBeCancelled)
{
    fake.answer(QStringLiteral("/exec_takemotion.cgi?com=takeready"), 200,
        "<?xml version=\"1.0\"?><response><affocus>ok</affocus></response>");
    card(QStringLiteral("P7090005"), { "JPG" });
    shooting->SetModes(false, false, false, true);
    EXPECT_EQ(shooting->TakeButtonState(), TShooting::ButtonSelfTimer);

    ASSERT_TRUE(shooting->StartSelfTimer(-1, -1, 3));
    EXPECT_TRUE(shooting->IsSelfTimerRunning());
    EXPECT_EQ(shooting->FreeRegions(), TShooting::RegionTakeButton);
    EXPECT_EQ(shooting->OpenCommunications(), 1);
    shooting->SelfTimerTick();
    shooting->SelfTimerTick();
    EXPECT_EQ(takeCommands(), QStringList({ "takeready" }));
    shooting->SelfTimerTick();
    EXPECT_EQ(events.counts, QList<int>({ 3, 2, 1, 0 }));
    EXPECT_EQ(takeCommands(), QStringList({ "takeready", "starttake" }));
    EXPECT_FALSE(shooting->IsSelfTimerRunning());
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(shooting->LastTake().Count(), 1);

    // The click cancels a running count-down and lets go of the half-press.
    shooting->ButtonClick();
    EXPECT_TRUE(shooting->IsSelfTimerRunning());
    EXPECT_EQ(shooting->SelfTimerSeconds(), 2); // none chosen
    shooting->ButtonClick();
    EXPECT_FALSE(shooting->IsSelfTimerRunning());
    EXPECT_EQ(takeCommands().mid(2), QStringList({ "takeready", "stoptake" }));
    EXPECT_EQ(shooting->OpenCommunications(), 0);

    // Focus fails: no count-down, the half-press is let go.
    fake.answer(QStringLiteral("/exec_takemotion.cgi?com=takeready"), 200,
        "<?xml version=\"1.0\"?><response><affocus>ng</affocus></response>");
    EXPECT_FALSE(shooting->StartSelfTimer(-1, -1, 10));
    EXPECT_FALSE(shooting->IsSelfTimerRunning());
    EXPECT_EQ(takeCommands().mid(4), QStringList({ "takeready", "stoptake" }));
    EXPECT_EQ(events.errors.size(), 1);
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(events.begins(), events.ends());
}

TEST_F(FakeShooting, MovieShowsItsTimeAndEndsWhenTheCameraIsGoneOrRetriesARefusedStop)
{
    fake.answer(QStringLiteral("/exec_takemotion.cgi?com=startmovietake"), 200);
    fake.answer(
        QStringLiteral("/exec_takemotion.cgi?com=stopmovietake"), 520, "<?xml version=\"1.0\"?><error/>");
    QStringList times;
    QObject::connect(shooting.get(), &TShooting::MovieTime, [&](const QString& text) { times << text; });

    ASSERT_TRUE(shooting->TakeMovie());
    EXPECT_TRUE(shooting->IsMovieRecording());
    clock += 3'723'400;
    shooting->MovieTick();
    EXPECT_EQ(times, QStringList({ "00:00:00", "01:02:03" }));
    // The camera refuses the stop: still recording, the user may try again.
    EXPECT_FALSE(shooting->TakeMovie());
    EXPECT_TRUE(shooting->IsMovieRecording());
    EXPECT_EQ(events.errors.size(), 1);
    EXPECT_EQ(shooting->OpenCommunications(), 0);

    // The camera goes away during the recording: the display ends with the reason.
    camera->Connected = false;
    shooting->MovieTick();
    EXPECT_FALSE(shooting->IsMovieRecording());
    EXPECT_EQ(times.last(), QStringLiteral("00:00:00"));
    ASSERT_EQ(events.errors.size(), 2);
    EXPECT_TRUE(events.errors[1].contains(QLatin1String("keine Verbindung")))
        << events.errors[1].toStdString();
    EXPECT_EQ(takeCommands(), QStringList({ "startmovietake", "stopmovietake" }));
    EXPECT_EQ(events.begins(), events.ends());
}

// Against the simulator.
class SimShooting : public ::testing::Test
{
protected:
    void start(const char* profile, int latencyMs = 0)
    {
        RegisterAppTexts();
        camsim::SimServerOptions options;
        options.profile = profile;
        options.faults.latencyMs = latencyMs;
        options.generatedFiles = 4;
        options.switchOffMs = 60'000; // the body's server stays down, closing connections
        options.requestLog = [this](const std::string& line) {
            std::lock_guard<std::mutex> lock(m_logMutex);
            m_log += line + "\n";
        };
        server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(server->isValid()) << server->errorText();
        ASSERT_NE(server->start(), 0);
        camera = std::make_unique<TCamera>(
            TCameraLink::ToHost(QStringLiteral("127.0.0.1:%1").arg(server->port())), QStringLiteral("N"),
            false, QStringLiteral("S"));
        camera->OnChangeConnection = [](TCamera*, bool& handled) { handled = true; };
        camera->CheckTimer.start(10);
        ASSERT_TRUE(QTest::qWaitFor([&] { return camera->Connected; }, 10000));
        camera->CheckTimer.stop();
        camera->CheckIntervalMs = kManual;
        camera->Remote.CameraMode.SwitchPauseMs = 0;
        ASSERT_TRUE(camera->Remote.CameraMode.SwitchToMode(TCameraModeAction::ModeRec));
        shooting = std::make_unique<TShooting>();
        manualClocks(*shooting);
        shooting->SetCamera(camera.get());
        events.watch(*shooting);
    }

    // The simulator logs a request once its answer is out, so the client may read the answer first.
    bool served(const std::string& target)
    {
        return QTest::qWaitFor(
            [&] {
                std::lock_guard<std::mutex> lock(m_logMutex);
                return m_log.find(" " + target + " ") != std::string::npos;
            },
            5000);
    }

    // The exposure the simulator wrote into its newest picture, in seconds; -1 when unreadable.
    double newestExposure()
    {
        const std::string path = server->card().newestJpegPath();
        const auto entry = server->card().find(path);
        if (!entry)
            return -1;
        QByteArray bytes(qsizetype(entry->size), '\0');
        bytes.resize(qsizetype(server->card().read(path, 0, bytes.data(), size_t(bytes.size()))));
        TExif exif;
        if (!exif.ReadFromStream(bytes))
            return -1;
        const QStringList parts = exif.ExifData().ExifSection.ExposureTime.split(QLatin1Char('/'));
        return parts.size() == 2 && parts[1].toDouble() > 0 ? parts[0].toDouble() / parts[1].toDouble() : -1;
    }

    QSet<QString> cardNames()
    {
        QSet<QString> names;
        for (const std::string& dir : { std::string("/DCIM/100OLYMP") })
            for (const camsim::SimEntry& entry : server->card().list(dir))
                names.insert(QString::fromStdString(entry.name));
        return names;
    }

    std::string simValue(const char* name)
    {
        return server->camera().withProperties(
            [name](const camsim::SimPropertySet& set) { return set.value(name).value_or(""); });
    }

    void manualWith(const char* speed)
    {
        ASSERT_EQ(server->camera().setProperty("takemode", "M"), camsim::SimPropertySet::SetResult::Ok);
        ASSERT_EQ(
            server->camera().setProperty("shutspeedvalue", speed), camsim::SimPropertySet::SetResult::Ok);
        ASSERT_TRUE(camera->Remote.Params.RefreshAll());
        shooting->DeriveModes();
    }

    std::mutex m_logMutex;
    std::string m_log;
    std::unique_ptr<camsim::SimServer> server;
    std::unique_ptr<TCamera> camera;
    std::unique_ptr<TShooting> shooting;
    Events events;
};

using TakeState = camsim::SimCamera::TakeState;

TEST_F(SimShooting, AShotOfJpegAndRawLightsBothMarksAndShowsItsPreview)
{
    start("e-m10");
    QByteArray preview;
    QObject::connect(
        shooting.get(), &TShooting::Preview, [&](const QByteArray& jpeg, const QString&) { preview = jpeg; });
    shooting->AutoPreview = true;
    const int before = server->card().dcfFileCount();
    ASSERT_TRUE(shooting->TakePhoto());
    EXPECT_EQ(server->card().dcfFileCount(), before + 2);
    ASSERT_EQ(shooting->LastTake().Count(), 2);
    EXPECT_EQ(shooting->LastTake()[0]->FileName.chopped(4), shooting->LastTake()[1]->FileName.chopped(4));
    EXPECT_TRUE(shooting->IsJpeg());
    EXPECT_TRUE(shooting->IsRaw());
    EXPECT_EQ(shooting->LastTakeInfo().count(QStringLiteral("\r\n")), 1);
    EXPECT_TRUE(preview.startsWith("\xFF\xD8")) << preview.size();
    EXPECT_EQ(shooting->PreviewData(), preview);

    server->camera().setQuality("LF");
    ASSERT_TRUE(shooting->TakePhoto());
    EXPECT_EQ(shooting->LastTake().Count(), 1);
    EXPECT_TRUE(shooting->IsJpeg());
    EXPECT_FALSE(shooting->IsRaw());

    // A point off the live picture is refused by the camera: said so, nothing taken.
    EXPECT_FALSE(shooting->TakePhoto(9999, 9999));
    EXPECT_EQ(events.errors.size(), 1);
    EXPECT_EQ(server->card().dcfFileCount(), before + 3);
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(events.begins(), events.ends());
}

TEST_F(SimShooting, SelfTimerOfTenSecondsWithAPointFocusesThereAndTakesAtZero)
{
    start("e-m10");
    const int before = server->card().dcfFileCount();
    ASSERT_TRUE(shooting->StartSelfTimer(100, 80, 10));
    EXPECT_TRUE(served("/exec_takemotion.cgi?com=takeready&point=0100x0080"));
    EXPECT_EQ(server->camera().afX(), 100);
    EXPECT_EQ(shooting->FreeRegions(), TShooting::RegionLiveView);
    for (int i = 0; i < 9; ++i)
        shooting->SelfTimerTick();
    EXPECT_EQ(shooting->SelfTimerSeconds(), 1);
    EXPECT_EQ(server->card().dcfFileCount(), before);
    shooting->SelfTimerTick();
    EXPECT_EQ(events.counts, QList<int>({ 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0 }));
    EXPECT_EQ(server->card().dcfFileCount(), before + 2);
    EXPECT_EQ(shooting->LastTake().Count(), 2);
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(events.begins(), events.ends());
}

TEST_F(SimShooting, LeavingStopsABulbExposureAndAMovieAtTheCamera)
{
    start("omd-v260");
    ASSERT_EQ(server->camera().setProperty("takemode", "M"), camsim::SimPropertySet::SetResult::Ok);
    ASSERT_EQ(
        server->camera().setProperty("shutspeedvalue", "livebulb"), camsim::SimPropertySet::SetResult::Ok);
    ASSERT_TRUE(camera->Remote.Params.RefreshAll());
    shooting->DeriveModes();
    ASSERT_TRUE(shooting->IsLiveBulbMode());

    shooting->ButtonDown();
    ASSERT_TRUE(shooting->IsLongExposureRunning());
    EXPECT_EQ(server->camera().takeState(), TakeState::Exposing);
    shooting->Leave();
    EXPECT_EQ(server->camera().takeState(), TakeState::Idle);
    EXPECT_FALSE(shooting->IsLongExposureRunning());
    EXPECT_FALSE(shooting->IsCheckRunning());
    EXPECT_EQ(shooting->OpenCommunications(), 0);

    ASSERT_TRUE(shooting->TakeMovie());
    EXPECT_TRUE(shooting->IsMovieRecording());
    EXPECT_EQ(server->camera().takeState(), TakeState::Movie);
    shooting->Leave();
    EXPECT_FALSE(shooting->IsMovieRecording());
    EXPECT_EQ(server->camera().takeState(), TakeState::Idle);
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(events.begins(), events.ends());
}

TEST_F(SimShooting, LeavingWhileTheCameraIsAskedEndsWhatTheAnswerBegan)
{
    start("omd-v260", 150);
    ASSERT_EQ(server->camera().setProperty("takemode", "M"), camsim::SimPropertySet::SetResult::Ok);
    ASSERT_EQ(
        server->camera().setProperty("shutspeedvalue", "livetime"), camsim::SimPropertySet::SetResult::Ok);
    shooting->SetModes(true, false, false, false);
    // The card is known, so the take is the first request; the page is left during its wait.
    ASSERT_TRUE(shooting->ListLastTake());
    QTimer::singleShot(0, shooting.get(), [&] { shooting->Leave(); });
    EXPECT_FALSE(shooting->TakePhoto());
    EXPECT_EQ(server->camera().takeState(), TakeState::Idle);
    EXPECT_EQ(shooting->TakeButtonState(), TShooting::ButtonNormal);
    EXPECT_FALSE(shooting->IsLiveTimeRunning());
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(events.begins(), events.ends());
}

TEST_F(SimShooting, ACameraThatGoesAwayDuringAnExposureOrARecordingEndsIt)
{
    start("omd-v260");
    ASSERT_EQ(server->camera().setProperty("takemode", "M"), camsim::SimPropertySet::SetResult::Ok);
    ASSERT_EQ(
        server->camera().setProperty("shutspeedvalue", "livetime"), camsim::SimPropertySet::SetResult::Ok);
    ASSERT_TRUE(camera->Remote.Params.RefreshAll());
    shooting->DeriveModes();
    ASSERT_TRUE(shooting->IsLiveTimeMode());

    ASSERT_TRUE(shooting->TakePhoto());
    EXPECT_EQ(server->camera().takeState(), TakeState::Exposing);
    server->setPower(false);
    EXPECT_FALSE(shooting->TakePhoto());
    EXPECT_EQ(shooting->TakeButtonState(), TShooting::ButtonNormal);
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    ASSERT_EQ(events.errors.size(), 1);

    server->setPower(true);
    ASSERT_TRUE(camera->Remote.CameraMode.SwitchToMode(TCameraModeAction::ModeRec));
    ASSERT_TRUE(shooting->TakeMovie());
    server->setPower(false);
    // The stop cannot reach the camera: the recording display ends with the reason.
    EXPECT_FALSE(shooting->TakeMovie());
    EXPECT_FALSE(shooting->IsMovieRecording());
    EXPECT_EQ(shooting->MovieTimeText(), QStringLiteral("00:00:00"));
    ASSERT_EQ(events.errors.size(), 2);
    EXPECT_TRUE(events.errors[1].startsWith(QLatin1String("Die Filmaufnahme wurde unterbrochen")))
        << events.errors[1].toStdString();
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(events.begins(), events.ends());
}

TEST_F(SimShooting, HeldExposuresLastTheLengthThisObjectTimesWhateverTheCheckTimerDoes)
{
    start("omd-v260");
    // The check for a lost button release runs often; it must not end an exposure of set length.
    shooting->CheckIntervalMs = 100;
    shooting->ExposureMs = 1500;
    manualWith("livebulb");
    ASSERT_TRUE(shooting->IsLiveBulbMode());
    ASSERT_TRUE(shooting->StartLiveBulbOrSequential());
    EXPECT_TRUE(shooting->IsExposing());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shooting->IsExposing(); }, 10000));
    EXPECT_TRUE(events.errors.isEmpty()) << events.errors.join(u'|').toStdString();
    // As the camera recorded it, in tenths of a second.
    EXPECT_NEAR(newestExposure(), 1.5, 0.5);
    EXPECT_EQ(shooting->LastTake().Count(), 2);

    shooting->ExposureMs = 1200;
    manualWith("livetime");
    ASSERT_TRUE(shooting->TakePhoto());
    EXPECT_EQ(shooting->TakeButtonState(), TShooting::ButtonStop);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shooting->IsExposing(); }, 10000));
    EXPECT_EQ(shooting->TakeButtonState(), TShooting::ButtonNormal);
    EXPECT_NEAR(newestExposure(), 1.2, 0.5);
    EXPECT_EQ(shooting->OpenCommunications(), 0);
    EXPECT_EQ(events.begins(), events.ends());
}

TEST_F(SimShooting, AnAbortedExposureIsEndedAndItsSettingsGoBack)
{
    start("omd-v260");
    ASSERT_EQ(server->camera().setProperty("takemode", "P"), camsim::SimPropertySet::SetResult::Ok);
    ASSERT_TRUE(camera->Remote.Params.RefreshAll());
    const std::string speedBefore = simValue("shutspeedvalue");
    {
        TShotSettings settings(camera->Remote.Params);
        ASSERT_TRUE(settings.Set(QStringLiteral("takemode"), QStringLiteral("M")));
        ASSERT_TRUE(settings.Set(QStringLiteral("shutspeedvalue"), QStringLiteral("livebulb")));
        shooting->DeriveModes();
        shooting->ExposureMs = 60'000;
        ASSERT_TRUE(shooting->StartLiveBulbOrSequential());
        EXPECT_EQ(server->camera().takeState(), TakeState::Exposing);
        // Ctrl-C: the exposure ends at the camera before the settings go back.
        shooting->Leave();
        EXPECT_EQ(server->camera().takeState(), TakeState::Idle);
        EXPECT_TRUE(settings.Restore());
    }
    EXPECT_EQ(simValue("takemode"), "P");
    EXPECT_EQ(simValue("shutspeedvalue"), speedBefore);
    EXPECT_FALSE(shooting->IsExposing());
    EXPECT_EQ(shooting->OpenCommunications(), 0);
}

TEST_F(SimShooting, AShotsFilesAreTheNamesNewSinceThePressWhateverTheCameraClockSays)
{
    start("e-m10");
    // Set back a year: every new file is dated before the card's old ones.
    server->clock().set(std::chrono::system_clock::now() - std::chrono::hours(24 * 365), 0);
    for (int shot = 0; shot < 2; ++shot) {
        const QSet<QString> before = cardNames();
        ASSERT_TRUE(shooting->TakePhoto());
        const QSet<QString> added = cardNames() - before;
        QSet<QString> listed;
        for (const TCameraImportItem* item : shooting->LastTake())
            listed.insert(item->FileName);
        EXPECT_EQ(listed, added) << shot;
        EXPECT_EQ(listed.size(), 2);
    }
    // A refused take has no files, not those of the shot before.
    EXPECT_FALSE(shooting->TakePhoto(9999, 9999));
    EXPECT_EQ(shooting->LastTake().Count(), 0);
}

TEST_F(SimShooting, ABodyThatListsOnlyInPlayModeIsSwitchedThereForTheFilesAndBack)
{
    start("newbody");
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QSet<QString> before = cardNames();
    ASSERT_TRUE(shooting->TakePhoto());
    EXPECT_TRUE(shooting->ListsOnlyInPlayMode());
    ASSERT_GT(shooting->LastTake().Count(), 0) << shooting->LastError().toStdString();
    for (const TCameraImportItem* item : shooting->LastTake())
        EXPECT_FALSE(before.contains(item->FileName)) << item->FileName.toStdString();
    EXPECT_EQ(server->camera().mode(), camsim::SimCamera::Mode::Rec);
    ASSERT_TRUE(shooting->LoadLastTake(folder.path()));
    for (const TCameraImportItem* item : shooting->LastTake())
        EXPECT_TRUE(QFileInfo::exists(QDir(folder.path()).filePath(item->FileName)));
    // The next shot goes out in recording mode again.
    ASSERT_TRUE(shooting->TakePhoto());
    EXPECT_GT(shooting->LastTake().Count(), 0);
    EXPECT_TRUE(events.errors.isEmpty()) << events.errors.join(u'|').toStdString();
}

// The object's messages come in English too.
TEST(ShootingTexts, EveryTextHasAnEnglishLine)
{
    const TShooting shooting;
    const QStringList missing = lumivar::test::textsWithoutEnglish();
    EXPECT_TRUE(missing.isEmpty()) << missing.join(u' ').toStdString();
}

} // namespace
