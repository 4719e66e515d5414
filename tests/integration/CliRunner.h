#pragma once

#include "sim/SimServer.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace lumivar::test {

struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QJsonObject json() const { return document().object(); }
    QJsonDocument document() const { return QJsonDocument::fromJson(out); }
};

// Runs lumivar-cli as a user does, against host, with a private settings store in configDir that
// holds only settings (so the user's own settings stay out).
inline CliRun runCli(const QString& cliPath, const QString& host, const QString& configDir,
    const QStringList& arguments, const QByteArray& settings = "[General]\nLanguageId=1031\n")
{
    QFile store(QDir(configDir).filePath(QStringLiteral("Kelmarin/Lumivar.conf")));
    QDir().mkpath(QFileInfo(store).absolutePath());
    EXPECT_TRUE(store.open(QIODevice::WriteOnly));
    store.write(settings);
    store.close();

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
    process.setProcessEnvironment(environment);
    process.start(cliPath, QStringList { QStringLiteral("--host"), host } + arguments);
    CliRun run;
    EXPECT_TRUE(process.waitForFinished(60000)) << arguments.join(' ').toStdString();
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// The simulator of `profile` started on an ephemeral loopback port; host gets its --host text.
inline ::testing::AssertionResult startSimulator(
    std::unique_ptr<camsim::SimServer>& server, QString& host, const std::string& profile = "e-m10")
{
    camsim::SimServerOptions options;
    options.profile = profile;
    server = std::make_unique<camsim::SimServer>(options);
    if (!server->isValid())
        return ::testing::AssertionFailure() << "simulator: " << server->errorText();
    if (server->start() == 0)
        return ::testing::AssertionFailure() << "simulator did not start";
    host = QStringLiteral("127.0.0.1:%1").arg(server->port());
    return ::testing::AssertionSuccess();
}

} // namespace lumivar::test
