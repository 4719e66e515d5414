// lumivar-cli timelapse run as a user runs it against the simulated camera: a short series that
// downloads every shot and writes its log, a series ended by Ctrl-C, and what it refuses.
#include "sim/SimCamera.h"
#include "sim/SimCard.h"
#include "sim/SimServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "CliRunner.h"

#include <gtest/gtest.h>

#include <csignal>

#ifdef LUMIVAR_CLI_PATH

namespace {

using lumivar::test::CliRun;

class TimeLapseCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        camsim::SimServerOptions options;
        options.profile = "omd-v260";
        options.generatedFiles = 2;
        m_server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(m_server->isValid()) << m_server->errorText();
        ASSERT_NE(m_server->start(), 0);
        m_server->camera().setProperty("drivemode", "normal");
        ASSERT_TRUE(m_config.isValid());
    }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_server->port()); }
    CliRun cli(const QStringList& arguments)
    {
        return lumivar::test::runCli(QStringLiteral(LUMIVAR_CLI_PATH), host(), m_config.path(), arguments);
    }

    std::unique_ptr<camsim::SimServer> m_server;
    QTemporaryDir m_config;
};

TEST_F(TimeLapseCli, ThreeShotsDownloadedWithTheirLog)
{
    QTemporaryDir dest;
    ASSERT_TRUE(dest.isValid());
    const CliRun run
        = cli({ "--json", "timelapse", "--interval", "1", "--count", "3", "--dest", dest.path() });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonObject result = run.json();
    EXPECT_TRUE(result.value("ok").toBool());
    EXPECT_EQ(result.value("shots").toInt(), 3);
    const QJsonArray log = result.value("log").toArray();
    ASSERT_EQ(log.size(), 3);
    QStringList files;
    for (const QJsonValue& shot : log) {
        EXPECT_TRUE(shot.toObject().value("ok").toBool());
        EXPECT_EQ(shot.toObject().value("download").toString(), "ok");
        for (const QJsonValue& name : shot.toObject().value("files").toArray())
            files << name.toString();
    }
    ASSERT_FALSE(files.isEmpty());
    files.removeDuplicates();
    EXPECT_EQ(files.size() % 3, 0);
    for (const QString& name : files)
        EXPECT_GT(QFileInfo(QDir(dest.path()).filePath(name)).size(), 0) << name.toStdString();

    const QString logFile = result.value("logFile").toString();
    EXPECT_EQ(QFileInfo(logFile).absolutePath(), QFileInfo(dest.path()).absoluteFilePath());
    QFile csv(logFile);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << logFile.toStdString();
    const QList<QByteArray> lines = csv.readAll().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("shot,planned,actual,"));
    EXPECT_TRUE(lines[3].startsWith("3,"));
}

TEST_F(TimeLapseCli, CtrlCEndsAnUnlimitedSeriesWithItsShotsKept)
{
    QTemporaryDir dest;
    ASSERT_TRUE(dest.isValid());
    QFile store(QDir(m_config.path()).filePath(QStringLiteral("Kelmarin/Lumivar.conf")));
    QDir().mkpath(QFileInfo(store).absolutePath());
    ASSERT_TRUE(store.open(QIODevice::WriteOnly));
    store.write("[General]\nLanguageId=1031\n");
    store.close();
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(LUMIVAR_CLI_PATH),
        { "--host", host(), "timelapse", "--interval", "1", "--dest", dest.path() });
    ASSERT_TRUE(process.waitForStarted());
    QByteArray err;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            process.waitForReadyRead(50);
            err += process.readAllStandardError();
            return err.contains("shot 2 ");
        },
        20000))
        << err.constData();
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(20000));
    err += process.readAllStandardError();
    const QByteArray out = process.readAllStandardOutput();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << err.constData();
    EXPECT_TRUE(out.contains("(stopped)")) << out.constData();
    const QStringList logs = QDir(dest.path()).entryList({ "*.csv" });
    ASSERT_EQ(logs.size(), 1);
    QFile csv(QDir(dest.path()).filePath(logs[0]));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = csv.readAll().trimmed().split('\n');
    EXPECT_GE(lines.size(), 3);
    for (int i = 1; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].endsWith(",ok")) << lines[i].constData();
}

TEST_F(TimeLapseCli, RefusesWhatCannotMakeASeries)
{
    EXPECT_EQ(cli({ "timelapse", "--count", "3" }).exitCode, 2);
    EXPECT_EQ(cli({ "timelapse", "--interval", "0" }).exitCode, 2);
    EXPECT_EQ(cli({ "timelapse", "--interval", "1", "--count", "-1" }).exitCode, 2);
    EXPECT_EQ(cli({ "timelapse", "--interval", "1", "--dest", "/nonexistent/folder" }).exitCode, 1);
    m_server->camera().setProperty("drivemode", "continuous-H");
    const int before = m_server->card().dcfFileCount();
    const CliRun run = cli({ "timelapse", "--interval", "1", "--count", "1" });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("single-shot")) << run.err.constData();
    EXPECT_EQ(m_server->card().dcfFileCount(), before);
}

} // namespace

#endif
