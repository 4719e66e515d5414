// lumivar-cli doctor as a user runs it: against the simulated camera, a refused port and an HTTP
// server that is no camera.
#include "CliRunner.h"
#include "common/TestHttpServer.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace {
lumivar::test::CliRun doctor(const QString& host, const QTemporaryDir& config, const QStringList& extra = {})
{
    // A live view port no other test uses at the same time.
    QUdpSocket probe;
    EXPECT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
    const QByteArray settings
        = "[General]\nLanguageId=1031\nLiveViewPort=" + QByteArray::number(probe.localPort()) + "\n";
    probe.close();
    return lumivar::test::runCli(QStringLiteral(LUMIVAR_CLI_PATH), host, config.path(),
        QStringList { QStringLiteral("doctor") } + extra, settings);
}
} // namespace

TEST(DoctorCli, NamesTheFirstFailedStepAndWhatToTry)
{
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());

    std::unique_ptr<camsim::SimServer> server;
    QString host;
    ASSERT_TRUE(lumivar::test::startSimulator(server, host));
    const auto healthy = doctor(host, config, { QStringLiteral("--json") });
    EXPECT_EQ(healthy.exitCode, 0) << healthy.err.toStdString();
    EXPECT_TRUE(healthy.json().value(QStringLiteral("ok")).toBool());
    EXPECT_EQ(healthy.json().value(QStringLiteral("steps")).toArray().size(), 6);

    const auto refused = doctor(QStringLiteral("127.0.0.1:1"), config);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.out.contains("reach: failed")) << refused.out.toStdString();
    EXPECT_TRUE(refused.err.contains("refused")) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("Wi-Fi")) << refused.err.toStdString();

    // The in-process server answers only while events run, so the CLI runs beside an event loop.
    lumivar::test::TestHttpServer router;
    router.respondStatus(200, "OK", "<html>router</html>", "text/html");
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    process.start(QStringLiteral(LUMIVAR_CLI_PATH),
        { QStringLiteral("--host"), router.hostAndPort(), QStringLiteral("doctor") });
    ASSERT_TRUE(process.waitForStarted());
    loop.exec();
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardOutput().contains("camera: failed"));
    EXPECT_TRUE(process.readAllStandardError().contains("is not a camera"));
}
