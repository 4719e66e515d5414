// lumivar-cli's shooting commands run as a user runs them, against the simulated camera: modes with
// their live view sizes, touch focus, a shot with its files, movies, the shutter button and zoom.
#include "sim/SimCamera.h"
#include "sim/SimCard.h"
#include "sim/SimServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "CliRunner.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#ifdef LUMIVAR_CLI_PATH

namespace {

using Mode = camsim::SimCamera::Mode;

using lumivar::test::CliRun;

class ShootingCli : public ::testing::Test
{
protected:
    void start(const char* profile)
    {
        camsim::SimServerOptions options;
        options.profile = profile;
        options.generatedFiles = 3;
        options.requestLog = [this](const std::string& line) {
            std::lock_guard<std::mutex> lock(m_logMutex);
            m_log += line + "\n";
        };
        m_server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(m_server->isValid()) << m_server->errorText();
        ASSERT_NE(m_server->start(), 0);
        ASSERT_TRUE(m_config.isValid());
    }

    // The settings store is a private folder holding only what a test puts there.
    CliRun cli(const QStringList& arguments, const QByteArray& settings = {})
    {
        return lumivar::test::runCli(QStringLiteral(LUMIVAR_CLI_PATH),
            QStringLiteral("127.0.0.1:%1").arg(m_server->port()), m_config.path(), arguments,
            "[General]\nLanguageId=1031\n" + settings);
    }

    camsim::SimCamera& camera() { return m_server->camera(); }
    bool served(const std::string& target)
    {
        std::lock_guard<std::mutex> lock(m_logMutex);
        return m_log.find(" " + target + " ") != std::string::npos;
    }

    std::mutex m_logMutex;
    std::string m_log;
    std::unique_ptr<camsim::SimServer> m_server;
    QTemporaryDir m_config;
};

} // namespace

TEST_F(ShootingCli, ModeSwitchesWithTheChosenOrStoredLiveViewSize)
{
    start("e-m10");
    CliRun run = cli({ "--json", "mode", "rec", "--size", "320x240" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(run.json().value("mode").toString(), "rec");
    EXPECT_EQ(run.json().value("size").toString(), "0320x0240");
    EXPECT_EQ(camera().mode(), Mode::Rec);
    EXPECT_EQ(camera().liveViewSize(), "0320x0240");

    // A new size while recording takes effect: the switch goes through playback.
    run = cli({ "mode", "rec", "--size", "0640x0480" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(camera().liveViewSize(), "0640x0480");
    EXPECT_TRUE(run.out.contains("live view 640 x 480")) << run.out.constData();

    // Without a size the stored one, when the camera offers it.
    ASSERT_EQ(cli({ "mode", "play" }).exitCode, 0);
    EXPECT_EQ(camera().mode(), Mode::Play);
    run = cli({ "mode", "rec" }, "LiveViewSize=0320x0240\n");
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(camera().liveViewSize(), "0320x0240");

    run = cli({ "mode", "shutter" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(camera().mode(), Mode::Shutter);
    run = cli({ "mode", "shutter", "--size", "640 x 480" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(camera().liveViewSize(), "0640x0480");

    // A size the camera does not offer is refused before anything is sent.
    run = cli({ "mode", "rec", "--size", "1280x960" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
    EXPECT_TRUE(run.err.contains("0320x0240, 0640x0480")) << run.err.constData();
    EXPECT_EQ(camera().mode(), Mode::Shutter);

    for (const QStringList& bad : { QStringList { "mode" }, QStringList { "mode", "fly" },
             QStringList { "mode", "play", "--size", "640x480" },
             QStringList { "mode", "rec", "--size", "big" }, QStringList { "mode", "rec", "--size" },
             QStringList { "mode", "rec", "play" } })
        EXPECT_EQ(cli(bad).exitCode, 2) << bad.join(' ').toStdString();
}

TEST_F(ShootingCli, FocusAndShootListTheShotsFiles)
{
    start("e-m10");
    CliRun run = cli({ "--json", "focus", "160", "120" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.json().value("ok").toBool());
    EXPECT_EQ(run.json().value("affocus").toString(), "ok");
    EXPECT_EQ(run.json().value("point").toArray(), QJsonArray({ 160, 120 }));
    EXPECT_EQ(camera().mode(), Mode::Rec);
    EXPECT_EQ(camera().afX(), 160);
    run = cli({ "focus", "10", "20" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.out.startsWith("affocus ok, frame at 0010x0020")) << run.out.constData();

    // Off the live view picture the camera refuses; the command says so.
    run = cli({ "focus", "5000", "5000" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.count('\n'), 1);
    EXPECT_EQ(cli({ "focus", "10" }).exitCode, 2);
    EXPECT_EQ(cli({ "focus", "-1", "10" }).exitCode, 2);

    // This body shoots RAW and JPEG: one shot, two files of one name, newest first.
    const int before = m_server->card().dcfFileCount();
    run = cli({ "--json", "shoot" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.json().value("ok").toBool());
    const QJsonArray files = run.json().value("files").toArray();
    ASSERT_EQ(files.size(), 2) << run.out.constData();
    const QString first = files[0].toObject().value("name").toString();
    const QString second = files[1].toObject().value("name").toString();
    EXPECT_EQ(first.section('.', 0, 0), second.section('.', 0, 0));
    EXPECT_EQ(QStringList({ first.section('.', 1).toUpper(), second.section('.', 1).toUpper() }).join(' '),
        "ORF JPG");
    EXPECT_GT(files[0].toObject().value("size").toDouble(), 0);
    EXPECT_EQ(m_server->card().dcfFileCount(), before + 2);
    EXPECT_EQ(camera().mode(), Mode::Play);
    EXPECT_EQ(camera().takeState(), camsim::SimCamera::TakeState::Idle);

    run = cli({ "shoot", "--at", "100,80" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(served("/exec_takemotion.cgi?com=starttake&point=0100x0080"));
    EXPECT_EQ(run.out.count('\n'), 2) << run.out.constData();
    EXPECT_TRUE(run.out.contains("\t")) << run.out.constData();
    EXPECT_EQ(m_server->card().dcfFileCount(), before + 4);

    // A point off the picture: no shot, and the camera is left ready for the next one.
    run = cli({ "shoot", "--at", "9999,9999" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(m_server->card().dcfFileCount(), before + 4);
    for (const QStringList& bad : { QStringList { "shoot", "--at" }, QStringList { "shoot", "--at", "1,2,3" },
             QStringList { "shoot", "--at", "70000,1" }, QStringList { "shoot", "now" } })
        EXPECT_EQ(cli(bad).exitCode, 2) << bad.join(' ').toStdString();
}

TEST_F(ShootingCli, LongExposuresSelfTimerAndDownloadOfTheShot)
{
    start("e-m10");
    const auto property = [this](const char* name) {
        return camera().withProperties([name](const camsim::SimPropertySet& set) { return set.value(name); });
    };
    const auto before = std::make_pair(property("takemode"), property("shutspeedvalue"));
    ASSERT_NE(before.first, std::optional<std::string>("M"));
    QTemporaryDir target;
    ASSERT_TRUE(target.isValid());
    const int files = m_server->card().dcfFileCount();

    // LIVETIME: started and ended by two takes, the files streamed into the folder.
    CliRun run = cli({ "--json", "shoot", "--live-time", "1", "--download", target.path() });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(served("/exec_takemotion.cgi?com=starttake"));
    EXPECT_TRUE(served("/exec_takemotion.cgi?com=stoptake"));
    EXPECT_EQ(camera().takeState(), camsim::SimCamera::TakeState::Idle);
    EXPECT_EQ(m_server->card().dcfFileCount(), files + 2);
    const QJsonArray listed = run.json().value("files").toArray();
    const QJsonArray downloaded = run.json().value("downloaded").toArray();
    ASSERT_EQ(listed.size(), 2) << run.out.constData();
    ASSERT_EQ(downloaded.size(), 2) << run.out.constData();
    for (const QJsonValue& file : listed) {
        const QFileInfo copy(QDir(target.path()).filePath(file.toObject().value("name").toString()));
        EXPECT_TRUE(copy.isFile()) << copy.filePath().toStdString();
        EXPECT_EQ(copy.size(), qint64(file.toObject().value("size").toDouble()));
    }
    EXPECT_EQ(QDir(target.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    // The exposure settings are the user's again.
    EXPECT_EQ(std::make_pair(property("takemode"), property("shutspeedvalue")), before);

    // LIVEBULB of no length: pressed and let go.
    run = cli({ "shoot", "--bulb", "0" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(run.out.count('\n'), 2) << run.out.constData();
    EXPECT_EQ(m_server->card().dcfFileCount(), files + 4);
    EXPECT_EQ(camera().takeState(), camsim::SimCamera::TakeState::Idle);
    EXPECT_EQ(std::make_pair(property("takemode"), property("shutspeedvalue")), before);

    // The self-timer focuses at the point, counts down, then releases.
    run = cli({ "shoot", "--self-timer", "1", "--at", "100,80" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(served("/exec_takemotion.cgi?com=takeready&point=0100x0080"));
    EXPECT_TRUE(run.err.contains("self-timer: 1")) << run.err.constData();
    EXPECT_EQ(m_server->card().dcfFileCount(), files + 6);

    for (const QStringList& bad : { QStringList { "shoot", "--live-time" },
             QStringList { "shoot", "--live-time", "-1" }, QStringList { "shoot", "--live-time", "3601" },
             QStringList { "shoot", "--bulb", "1", "--live-time", "1" },
             QStringList { "shoot", "--self-timer", "0" }, QStringList { "shoot", "--self-timer", "2s" },
             QStringList { "shoot", "--download" }, QStringList { "shoot", "--at", "1,2", "--at", "3,4" } })
        EXPECT_EQ(cli(bad).exitCode, 2) << bad.join(' ').toStdString();
    // A folder that is not there fails before anything is sent.
    run = cli({ "shoot", "--download", target.filePath("missing") });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.constData();
    EXPECT_EQ(m_server->card().dcfFileCount(), files + 6);
}

TEST_F(ShootingCli, ShootOnABodyThatListsOnlyInPlaybackAndHasNoShutterMode)
{
    start("newbody");
    const int before = m_server->card().dcfFileCount();
    CliRun run = cli({ "--json", "shoot" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(run.json().value("files").toArray().size(), 1) << run.out.constData(); // JPEG only
    EXPECT_EQ(m_server->card().dcfFileCount(), before + 1);

    run = cli({ "release" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("no shutter button")) << run.err.constData();
    EXPECT_EQ(cli({ "mode", "shutter" }).exitCode, 1);
}

TEST_F(ShootingCli, MoviesStartAndStopWhereTheCameraOffersThem)
{
    start("omd-v260");
    const int before = m_server->card().dcfFileCount();
    CliRun run = cli({ "--json", "movie", "start" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(run.json().value("movie").toString(), "started");
    EXPECT_EQ(camera().takeState(), camsim::SimCamera::TakeState::Movie);
    // Stopping finds the camera recording and leaves its mode alone, so the movie is kept.
    run = cli({ "movie", "stop" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(camera().takeState(), camsim::SimCamera::TakeState::Idle);
    EXPECT_EQ(m_server->card().dcfFileCount(), before + 1);
    run = cli({ "movie", "stop" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.count('\n'), 1);
    EXPECT_EQ(cli({ "movie" }).exitCode, 2);
    EXPECT_EQ(cli({ "movie", "start", "now" }).exitCode, 2);

    // This body's shutter-only mode has no live view sizes.
    run = cli({ "mode", "shutter", "--size", "640x480" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("takes no live view size")) << run.err.constData();

    m_server.reset();
    start("e-m10");
    run = cli({ "movie", "start" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("no movie recording")) << run.err.constData();
}

TEST_F(ShootingCli, ReleaseAndZoom)
{
    start("e-m10");
    const int before = m_server->card().dcfFileCount();
    CliRun run = cli({ "--json", "release" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.json().value("ok").toBool());
    EXPECT_TRUE(run.json().value("released").toBool());
    EXPECT_EQ(camera().mode(), Mode::Play); // back where it was found
    EXPECT_EQ(m_server->card().dcfFileCount(), before + 2);
    EXPECT_EQ(cli({ "release", "now" }).exitCode, 2);

    // Into recording mode for the zoom.
    run = cli({ "--json", "zoom", "tele" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(run.json().value("move").toString(), "telemove");
    EXPECT_EQ(camera().mode(), Mode::Rec);
    EXPECT_TRUE(QTest::qWaitFor([&] { return camera().focalLength() > 14; }, 20000));
    run = cli({ "zoom", "off" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.out.contains("zoom stopped"));
    // Stopped means it stays where it is.
    const int tele = camera().focalLength();
    QTest::qWait(300);
    EXPECT_EQ(camera().focalLength(), tele);
    ASSERT_EQ(cli({ "zoom", "wide" }).exitCode, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return camera().focalLength() < tele; }, 20000));
    ASSERT_EQ(cli({ "zoom", "off" }).exitCode, 0);
    EXPECT_EQ(cli({ "zoom" }).exitCode, 2);
    EXPECT_EQ(cli({ "zoom", "in" }).exitCode, 2);
}

#endif
