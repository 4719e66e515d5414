// lumivar-cli exits 0 only when everything asked for was done: a wrong argument is a usage error
// (2), a thing the camera does not have or a camera that is not there a failure (1), each with one
// line; and the camera is back in play mode whichever way a command ended.
#include "CliRunner.h"

#include "sim/SimCamera.h"
#include "sim/SimCard.h"
#include "sim/SimServer.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

#ifdef LUMIVAR_CLI_PATH

namespace {

using lumivar::test::CliRun;

struct Expect
{
    QStringList arguments;
    int exitCode;
    bool quiet = true; // nothing on stdout
};

} // namespace

TEST(CliExitStatus, BadArgumentsAndMissingThingsEndWithOneLineAndNoSuccess)
{
    std::unique_ptr<camsim::SimServer> server;
    QString host;
    ASSERT_TRUE(lumivar::test::startSimulator(server, host));
    QTemporaryDir config, dest;
    ASSERT_TRUE(config.isValid() && dest.isValid());
    // A port nobody listens on: the camera is missing.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const QString nobody = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();

    const QList<Expect> cases {
        { { "list", "NOSUCHFOLDER" }, 1 },
        { { "import", "--dest", dest.path(), "--type", "XYZ" }, 2 },
        { { "import", "--dest", dest.path(), "--since", "2024-02-01", "--until", "2024-01-01" }, 2 },
        { { "tether", "--dest", dest.path(), "--type", "JPG,XYZ" }, 2 },
        { { "--host", nobody, "watch", "--seconds", "1" }, 1, false },
    };
    for (const Expect& c : cases) {
        const CliRun run = lumivar::test::runCli(
            QStringLiteral(LUMIVAR_CLI_PATH), host, config.path(), c.arguments, "[General]\n");
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << what << ": " << run.err.constData();
        EXPECT_EQ(run.err.count('\n'), 1) << what << ": " << run.err.constData();
        if (c.quiet) {
            EXPECT_TRUE(run.out.isEmpty()) << what << ": " << run.out.constData();
        }
    }
    EXPECT_TRUE(QDir(dest.path()).isEmpty()) << "nothing was copied by a refused import";
    EXPECT_EQ(server->camera().mode(), camsim::SimCamera::Mode::Play);
}

TEST(CliExitStatus, ABodyWithoutDcimPageDumpsAndUnknownFreeSpaceIsSaidSo)
{
    std::unique_ptr<camsim::SimServer> server;
    QString host;
    ASSERT_TRUE(lumivar::test::startSimulator(server, host, "newbody"));
    QTemporaryDir config, out;
    ASSERT_TRUE(config.isValid() && out.isValid());
    QUdpSocket probe;
    ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
    const QByteArray settings = "[General]\nLiveViewPort=" + QByteArray::number(probe.localPort()) + "\n";
    probe.close();

    const CliRun dump = lumivar::test::runCli(QStringLiteral(LUMIVAR_CLI_PATH), host, config.path(),
        { "dump", "--out", out.filePath("dump.zip") }, settings);
    EXPECT_EQ(dump.exitCode, 0) << dump.err.constData();
    EXPECT_EQ(server->camera().mode(), camsim::SimCamera::Mode::Play);

    // The generated card is larger than the camera's 32-bit field: it answers 4294967295.
    ASSERT_GE(server->card().unusedCapacity(), 4294967295u);
    const CliRun info
        = lumivar::test::runCli(QStringLiteral(LUMIVAR_CLI_PATH), host, config.path(), { "info" }, settings);
    EXPECT_EQ(info.exitCode, 0) << info.err.constData();
    EXPECT_TRUE(info.out.contains("free:         unknown\n")) << info.out.constData();
}

TEST(CliExitStatus, ATakenLiveViewPortIsFoundBeforeTheCameraIsAsked)
{
    std::mutex logMutex;
    std::string log;
    camsim::SimServerOptions options;
    options.requestLog = [&](const std::string& line) {
        std::lock_guard lock(logMutex);
        log += line + "\n";
    };
    camsim::SimServer server(options);
    ASSERT_TRUE(server.isValid()) << server.errorText();
    ASSERT_NE(server.start(), 0);
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    QUdpSocket taken;
    ASSERT_TRUE(taken.bind(QHostAddress::AnyIPv4, 0));
    const QString port = QString::number(taken.localPort());

    // --port names a port another program holds: nothing is sent to the camera.
    const CliRun chosen = lumivar::test::runCli(QStringLiteral(LUMIVAR_CLI_PATH), host, config.path(),
        { "liveview", "--seconds", "1", "--port", port }, "[General]\n");
    EXPECT_EQ(chosen.exitCode, 1);
    EXPECT_TRUE(chosen.err.contains("--port")) << chosen.err.constData();
    {
        std::lock_guard lock(logMutex);
        EXPECT_EQ(log.find("startliveview"), std::string::npos) << log;
        EXPECT_EQ(log.find("switch_cammode"), std::string::npos) << log;
    }

    // The stored port is taken: the next free one is used and named; the camera ends in play mode.
    const CliRun moved = lumivar::test::runCli(QStringLiteral(LUMIVAR_CLI_PATH), host, config.path(),
        { "liveview", "--seconds", "1" }, "[General]\nLiveViewPort=" + port.toUtf8() + "\n");
    EXPECT_TRUE(moved.err.contains(QStringLiteral("the UDP port %1 is taken").arg(port).toUtf8()))
        << moved.err.constData();
    EXPECT_EQ(moved.exitCode, 0) << moved.err.constData();
    {
        std::lock_guard lock(logMutex);
        EXPECT_EQ(log.find("startliveview&port=" + port.toStdString()), std::string::npos) << log;
        EXPECT_EQ(log.find("port=0"), std::string::npos) << log;
    }
    EXPECT_EQ(server.camera().mode(), camsim::SimCamera::Mode::Play);
}

TEST(CliExitStatus, LiveViewThatFailsAfterTheSwitchLeavesPlayMode)
{
    std::unique_ptr<camsim::SimServer> server;
    QString host;
    ASSERT_TRUE(lumivar::test::startSimulator(server, host));
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    // Every datagram lost: live view starts, but no frame ever arrives.
    camsim::SimFaultSettings faults;
    faults.stream.loss = 1.0;
    server->setFaults(faults);
    const CliRun run = lumivar::test::runCli(QStringLiteral(LUMIVAR_CLI_PATH), host, config.path(),
        { "liveview", "--seconds", "1" }, "[General]\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("no live view frame arrived")) << run.err.constData();
    EXPECT_EQ(server->camera().mode(), camsim::SimCamera::Mode::Play);
    EXPECT_FALSE(server->liveViewRunning());
}

TEST(CliExitStatus, OnlyAMovieOrZoomStillRunningKeepsRecordingMode)
{
    using Mode = camsim::SimCamera::Mode;
    struct Step
    {
        QStringList arguments;
        int exitCode;
        Mode mode;
    };
    const QList<QPair<std::string, QList<Step>>> walks {
        // The e-m10 starts in sequential drive: a series is refused after the switch to recording.
        { "e-m10",
            { { { "timelapse", "--interval", "1", "--count", "1" }, 1, Mode::Play },
                { { "zoom", "wide" }, 0, Mode::Rec }, { { "zoom", "off" }, 0, Mode::Play } } },
        { "omd-v260", { { { "movie", "start" }, 0, Mode::Rec }, { { "movie", "stop" }, 0, Mode::Play } } },
    };
    for (const auto& [profile, steps] : walks) {
        std::unique_ptr<camsim::SimServer> server;
        QString host;
        ASSERT_TRUE(lumivar::test::startSimulator(server, host, profile));
        QTemporaryDir config;
        ASSERT_TRUE(config.isValid());
        for (const Step& step : steps) {
            const CliRun run = lumivar::test::runCli(
                QStringLiteral(LUMIVAR_CLI_PATH), host, config.path(), step.arguments, "[General]\n");
            const std::string what = profile + ": " + step.arguments.join(' ').toStdString();
            EXPECT_EQ(run.exitCode, step.exitCode) << what << ": " << run.err.constData();
            EXPECT_EQ(server->camera().mode(), step.mode) << what;
        }
    }
}

#endif
