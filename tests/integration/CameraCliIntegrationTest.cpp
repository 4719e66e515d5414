// lumivar-cli's camera commands run as a user runs them, against the simulated camera.
#include "sim/SimCard.h"
#include "sim/SimClock.h"
#include "sim/SimProfile.h"
#include "sim/SimServer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "CliRunner.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#ifdef LUMIVAR_CLI_PATH

namespace {

using lumivar::test::CliRun;

class CameraCli : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        camsim::SimServerOptions options;
        options.profile = GetParam();
        options.generatedFiles = 30;
        m_server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(m_server->isValid()) << m_server->errorText();
        ASSERT_NE(m_server->start(), 0);
        ASSERT_TRUE(m_config.isValid());
    }

    CliRun cli(const QStringList& arguments, quint32 languageId = 1031)
    {
        return lumivar::test::runCli(QStringLiteral(LUMIVAR_CLI_PATH),
            QStringLiteral("127.0.0.1:%1").arg(m_server->port()), m_config.path(), arguments,
            QStringLiteral("[General]\nLanguageId=%1\n").arg(languageId).toUtf8());
    }

    static QJsonObject property(const QJsonDocument& props, const QString& name)
    {
        for (const QJsonValue& entry : props.array())
            if (entry.toObject().value(QStringLiteral("name")).toString() == name)
                return entry.toObject();
        return {};
    }

    std::unique_ptr<camsim::SimServer> m_server;
    QTemporaryDir m_config;
};

} // namespace

TEST_P(CameraCli, InfoShowsTheCameraAsAPersonReadsIt)
{
    const CliRun run = cli({ "--json", "info" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonObject info = run.document().object();
    EXPECT_EQ(info.value("model").toString().toStdString(), m_server->profile().model);
    EXPECT_EQ(info.value("connectmode").toString(), "private");
    EXPECT_FALSE(info.value("version").toString().isEmpty());
    EXPECT_TRUE(info.value("support").toArray().contains(QJsonValue("web")));
    EXPECT_EQ(info.value("capabilities").toInt(), 15);
    EXPECT_EQ(info.value("files").toInt(-1), m_server->card().dcfFileCount());
    // A card larger than the camera's 32-bit field is answered 4294967295, the camera's "unknown".
    if (m_server->card().unusedCapacity() >= 4294967295u)
        EXPECT_TRUE(info.value("free").isNull());
    else
        EXPECT_GT(info.value("free").toDouble(), 0);

    const CliRun text = cli({ "info" });
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.contains("connect mode: private"));
}

TEST_P(CameraCli, SetChangesAPropertyAndPropsShowsIt)
{
    const CliRun before = cli({ "--json", "props" });
    ASSERT_EQ(before.exitCode, 0) << before.err.constData();
    ASSERT_EQ(before.document().array().size(), 18);
    const QJsonObject wb = property(before.document(), "wbvalue");
    EXPECT_TRUE(wb.value("valid").toBool());
    EXPECT_TRUE(wb.value("get").toBool());
    EXPECT_TRUE(wb.value("set").toBool());
    EXPECT_TRUE(wb.value("values").toArray().contains(QJsonValue("Sonnig")));
    EXPECT_TRUE(
        property(before.document(), "artfilter").value("values").toArray().contains(QJsonValue("Pop-Art")));
    EXPECT_FALSE(property(before.document(), "qualitymovie").value("valid").toBool(true));

    const QString target = wb.value("value").toString() == "Sonnig" ? "Schatten" : "Sonnig";
    const CliRun set = cli({ "--json", "set", "wbvalue", target });
    ASSERT_EQ(set.exitCode, 0) << set.err.constData();
    EXPECT_TRUE(set.document().object().value("ok").toBool());
    EXPECT_EQ(set.document().object().value("value").toString(), target);

    const CliRun after = cli({ "--json", "props" });
    EXPECT_EQ(property(after.document(), "wbvalue").value("value").toString(), target);

    // A camera value works as well; the text comes back.
    const CliRun raw = cli({ "set", "wbvalue", "17" });
    EXPECT_EQ(raw.exitCode, 0) << raw.err.constData();
    EXPECT_TRUE(raw.out.contains("Bewölkt"));
}

TEST_P(CameraCli, BadSetArgumentsFailWithOneLine)
{
    const CliRun notAllowed = cli({ "set", "wbvalue", "Nebel" });
    EXPECT_EQ(notAllowed.exitCode, 1);
    EXPECT_EQ(notAllowed.err.count('\n'), 1) << notAllowed.err.constData();
    const CliRun unknown = cli({ "set", "nosuchprop", "1" });
    EXPECT_EQ(unknown.exitCode, 2);
    const CliRun missing = cli({ "set", "wbvalue" });
    EXPECT_EQ(missing.exitCode, 2);
}

TEST_P(CameraCli, NamedTextsComeInTheStoredLanguage)
{
    const QFileInfo cliFile(QStringLiteral(LUMIVAR_CLI_PATH));
    if (!QFileInfo::exists(cliFile.dir().filePath(QStringLiteral("Languages/English.txt"))))
        GTEST_SKIP() << "the language files were not copied beside lumivar-cli (target lumivar_languages)";
    ASSERT_EQ(cli({ "set", "wbvalue", "18" }).exitCode, 0);
    const CliRun english = cli({ "--json", "props" }, 1033);
    ASSERT_EQ(english.exitCode, 0) << english.err.constData();
    EXPECT_EQ(property(english.document(), "wbvalue").value("value").toString(), "Sunny");
    const CliRun set = cli({ "set", "wbvalue", "Cloudy" }, 1033);
    EXPECT_EQ(set.exitCode, 0) << set.err.constData();
    EXPECT_TRUE(set.out.contains("Cloudy (17)"));
}

TEST_P(CameraCli, ClockPlayTimeAndPowerOff)
{
    const CliRun clock = cli({ "--json", "clock" });
    ASSERT_EQ(clock.exitCode, 0) << clock.err.constData();
    const QJsonObject sent = clock.document().object();
    EXPECT_TRUE(sent.value("ok").toBool());
    EXPECT_TRUE(QRegularExpression("^[+-][0-9]{4}$").match(sent.value("diff").toString()).hasMatch());
    EXPECT_EQ(m_server->clock().diffMinutes(), QDateTime::currentDateTime().offsetFromUtc() / 60);

    QString movie;
    for (const camsim::SimEntry& folder : m_server->card().list("/DCIM"))
        for (const camsim::SimEntry& file : m_server->card().list("/DCIM/" + folder.name))
            if (movie.isEmpty() && QString::fromStdString(file.name).endsWith(".MOV"))
                movie = QString::fromStdString("/DCIM/" + folder.name + "/" + file.name);
    ASSERT_FALSE(movie.isEmpty());
    const CliRun playtime = cli({ "--json", "playtime", movie });
    ASSERT_EQ(playtime.exitCode, 0) << playtime.err.constData();
    EXPECT_TRUE(QRegularExpression("^[0-9]{2}:[0-5][0-9]:[0-5][0-9]$")
                    .match(playtime.document().object().value("playtime").toString())
                    .hasMatch());
    EXPECT_EQ(cli({ "playtime", "/DCIM/100OLYMP/NOPE.MOV" }).exitCode, 1);

    const CliRun off = cli({ "--json", "poweroff" });
    EXPECT_EQ(off.exitCode, 0) << off.err.constData();
    EXPECT_TRUE(off.document().object().value("ok").toBool());
    EXPECT_EQ(cli({ "info" }).exitCode, 1); // nobody answers any more
}

TEST_P(CameraCli, ACommandListThatCannotBeReadIsReportedWithHostAndReason)
{
    const QByteArray from = QStringLiteral("could not read the command list from 127.0.0.1:%1: ")
                                .arg(m_server->port())
                                .toUtf8();
    camsim::SimFaultSettings faults;
    faults.errorRate = 1.0;
    m_server->setFaults(faults);
    const CliRun refused = cli({ "mode", "play" });
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(from + "the camera answered with status 520"))
        << refused.err.constData();

    m_server->setFaults({});
    m_server->setPower(false);
    const CliRun away = cli({ "commandlist" });
    EXPECT_EQ(away.exitCode, 1);
    EXPECT_TRUE(away.err.contains(from + "no answer")) << away.err.constData();
}

INSTANTIATE_TEST_SUITE_P(Profiles, CameraCli, ::testing::Values("e-m10", "omd-v260"),
    [](const ::testing::TestParamInfo<const char*>& info) {
        std::string name = info.param;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

#endif
