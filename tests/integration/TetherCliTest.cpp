// lumivar-cli tether as a user runs it against the simulated camera: the shutter pressed on the body
// brings one line and one intact file per shot; Ctrl-C ends it cleanly.
#include "sim/SimCamera.h"
#include "sim/SimCard.h"
#include "sim/SimServer.h"

#include "camera/TCameraLink.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <mutex>
#include <string>

#ifdef LUMIVAR_CLI_PATH

namespace {

QByteArray cardBytes(camsim::SimServer& server, const std::string& path)
{
    const auto entry = server.card().find(path);
    if (!entry)
        return {};
    QByteArray bytes(qsizetype(entry->size), Qt::Uninitialized);
    size_t offset = 0;
    while (offset < entry->size) {
        const size_t n = server.card().read(path, offset, bytes.data() + offset, entry->size - offset);
        if (n == 0)
            return {};
        offset += n;
    }
    return bytes;
}

} // namespace

TEST(TetherCli, EachShotLandsAsOneLineAndCtrlCEndsIt)
{
    std::mutex logMutex;
    std::string log;
    camsim::SimServerOptions options;
    options.generatedFiles = 3;
    options.requestLog = [&](const std::string& line) {
        std::lock_guard lock(logMutex);
        log += line + "\n";
    };
    camsim::SimServer server(options);
    ASSERT_TRUE(server.isValid()) << server.errorText();
    ASSERT_NE(server.start(), 0);
    server.camera().setQuality("LF+RAW");
    auto served = [&](const std::string& what) {
        std::lock_guard lock(logMutex);
        return log.find(what) != std::string::npos;
    };
    QTemporaryDir config;
    QTemporaryDir dest;
    ASSERT_TRUE(config.isValid() && dest.isValid());
    QFile store(QDir(config.path()).filePath(QStringLiteral("Kelmarin/Lumivar.conf")));
    QDir().mkpath(QFileInfo(store).absolutePath());
    ASSERT_TRUE(store.open(QIODevice::WriteOnly));
    store.write("[General]\nLanguageId=1031\n");
    store.close();

    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    cli.setProcessEnvironment(environment);
    cli.start(QStringLiteral(LUMIVAR_CLI_PATH),
        { QStringLiteral("--host"), host, QStringLiteral("--json"), QStringLiteral("tether"),
            QStringLiteral("--dest"), dest.path(), QStringLiteral("--type"), QStringLiteral("jpg") });
    ASSERT_TRUE(cli.waitForStarted());
    // The baseline is the first folder page read in shutter mode.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return server.camera().mode() == camsim::SimCamera::Mode::Shutter && served("GET /DCIM/100OLYMP");
        },
        30000));

    // The photographer presses the body's shutter twice.
    for (int shot = 0; shot < 2; ++shot) {
        TCameraRequest press;
        press.Url = QStringLiteral("http://%1/__sim/shoot").arg(host);
        press.ReadTimeoutMs = 5000;
        ASSERT_EQ(TCameraLink::SendHttp(press).Code, 200);
    }
    QByteArray out;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            out += cli.readAllStandardOutput();
            return out.count('\n') >= 2;
        },
        30000))
        << out.constData() << cli.readAllStandardError().constData();

    ::kill(pid_t(cli.processId()), SIGINT);
    ASSERT_TRUE(cli.waitForFinished(30000));
    out += cli.readAllStandardOutput();
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().constData();
    EXPECT_EQ(server.camera().mode(), camsim::SimCamera::Mode::Play) << "shutter mode is left at the end";

    const QList<QByteArray> lines = out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2) << out.constData();
    QStringList names;
    for (const QByteArray& line : lines) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        EXPECT_EQ(object.value(QStringLiteral("event")).toString(), QStringLiteral("landed"));
        const QString path = object.value(QStringLiteral("path")).toString();
        const QString name = QFileInfo(path).fileName();
        EXPECT_TRUE(name.endsWith(QLatin1String(".JPG"))) << line.constData();
        QFile copy(path);
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly)) << line.constData();
        EXPECT_EQ(copy.readAll(), cardBytes(server, "/DCIM/100OLYMP/" + name.toStdString()));
        names << name;
    }
    EXPECT_LT(names[0], names[1]);
    EXPECT_EQ(QDir(dest.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(TetherCli, AShotThatCouldNotBeCopiedMakesTheRunFailAndTheCameraIsLeftInPlayMode)
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
    QTemporaryDir config;
    QTemporaryDir parent;
    ASSERT_TRUE(config.isValid() && parent.isValid());
    const QString dest = parent.filePath(QStringLiteral("shots"));
    ASSERT_TRUE(QDir().mkpath(dest));

    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    cli.setProcessEnvironment(environment);
    cli.start(QStringLiteral(LUMIVAR_CLI_PATH),
        { QStringLiteral("--host"), host, QStringLiteral("--lang"), QStringLiteral("en"),
            QStringLiteral("tether"), QStringLiteral("--dest"), dest });
    ASSERT_TRUE(cli.waitForStarted());
    // The baseline is the first folder listing read in shutter mode.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            std::lock_guard lock(logMutex);
            return server.camera().mode() == camsim::SimCamera::Mode::Shutter
                && log.find("/DCIM/100OLYMP") != std::string::npos;
        },
        30000));

    // The target folder is gone; the shot waits for it, and the run ends before it comes back.
    ASSERT_TRUE(QDir(dest).removeRecursively());
    TCameraRequest press;
    press.Url = QStringLiteral("http://%1/__sim/shoot").arg(host);
    press.ReadTimeoutMs = 5000;
    ASSERT_EQ(TCameraLink::SendHttp(press).Code, 200);
    QByteArray err;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            err += cli.readAllStandardError();
            return err.contains("target folder is missing");
        },
        30000))
        << err.constData();
    ::kill(pid_t(cli.processId()), SIGINT);
    ASSERT_TRUE(cli.waitForFinished(30000));
    err += cli.readAllStandardError();
    EXPECT_EQ(cli.exitCode(), 1) << err.constData();
    EXPECT_TRUE(err.contains("not copied")) << err.constData();
    EXPECT_FALSE(err.contains("_rs")) << err.constData();
    EXPECT_EQ(server.camera().mode(), camsim::SimCamera::Mode::Play);
}

#endif
