// lumivar-cli doctor as a user runs it: against the simulated camera, a refused port and an HTTP
// server that is no camera.
#include "CliRunner.h"
#include "common/TestHttpServer.h"

#include "camera/TCameraLink.h"
#include "sim/SimClock.h"

#include <QDateTime>
#include <QRegularExpression>

#include <QEventLoop>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace {
lumivar::test::CliRun doctor(const QString& host, const QTemporaryDir& config, const QStringList& extra = {},
    const QByteArray& more = {})
{
    // A live view port no other test uses at the same time.
    QUdpSocket probe;
    EXPECT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
    const QByteArray settings
        = "[General]\nLiveViewPort=" + QByteArray::number(probe.localPort()) + "\n" + more;
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

TEST(DoctorCli, JudgesTheClockAsItIsNowNotByAPictureTakenBeforeItWasSet)
{
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    std::unique_ptr<camsim::SimServer> server;
    QString host;
    ASSERT_TRUE(lumivar::test::startSimulator(server, host));
    const auto control = [&host](const QString& pathAndQuery) {
        TCameraRequest request;
        request.Url = QStringLiteral("http://%1%2").arg(host, pathAndQuery);
        request.ReadTimeoutMs = 5000;
        return TCameraLink::SendHttp(request).Code;
    };
    const auto shoot = [&] {
        EXPECT_EQ(control(QStringLiteral("/switch_cammode.cgi?mode=shutter")), 200);
        EXPECT_EQ(control(QStringLiteral("/__sim/shoot")), 200);
        EXPECT_EQ(control(QStringLiteral("/switch_cammode.cgi?mode=play")), 200);
    };

    // The camera's clock runs two hours ahead and its last picture says so.
    server->clock().set(std::chrono::system_clock::now() + std::chrono::hours(2),
        QDateTime::currentDateTime().offsetFromUtc() / 60);
    shoot();
    const auto off = doctor(host, config);
    EXPECT_EQ(off.exitCode, 1);
    EXPECT_TRUE(off.err.contains("120 minutes")) << off.err.toStdString();

    // Set as advised: that picture can no longer tell, and the doctor says so instead of failing.
    ASSERT_EQ(lumivar::test::runCli(QStringLiteral(LUMIVAR_CLI_PATH), host, config.path(), { "clock" }, "")
                  .exitCode,
        0);
    QFile store(QDir(config.path()).filePath(QStringLiteral("Kelmarin/Lumivar.conf")));
    ASSERT_TRUE(store.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch noted = QRegularExpression(QStringLiteral("ClockSetAt=([^\\n]+)"))
                                              .match(QString::fromUtf8(store.readAll()));
    ASSERT_TRUE(noted.hasMatch()) << "the clock command notes when it set the clock";
    const QByteArray clockSetAt = "ClockSetAt=" + noted.captured(1).toUtf8() + "\n";
    const auto unknown = doctor(host, config, {}, clockSetAt);
    EXPECT_EQ(unknown.exitCode, 0) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.out.contains("clock: cannot tell")) << unknown.out.toStdString();

    // A new picture shows the clock as it is now.
    shoot();
    const auto right = doctor(host, config, {}, clockSetAt);
    EXPECT_EQ(right.exitCode, 0) << right.err.toStdString();
    EXPECT_TRUE(right.out.contains("clock: ok")) << right.out.toStdString();
}
