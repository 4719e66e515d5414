// The command list as the program reads it from the simulator, for every
// simulated body, and the CLI's view of it.
#include "camera/TOIShare.h"
#include "sim/SimServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct ProfileExpectation
{
    const char* profile;
    const char* version;
    bool hasShutterMode;
    int lvqtySizes;
};

class CommandListIntegration : public ::testing::TestWithParam<ProfileExpectation>
{
};

QString hostOf(const camsim::SimServer& server)
{
    return QStringLiteral("127.0.0.1:%1").arg(server.port());
}

TEST_P(CommandListIntegration, LoadsTheServedListWithItsCommandTree)
{
    const ProfileExpectation expected = GetParam();
    camsim::SimServerOptions options;
    options.profile = expected.profile;
    camsim::SimServer server(options);
    ASSERT_TRUE(server.isValid()) << server.errorText();
    ASSERT_NE(server.start(), 0);

    TOIShare commandList;
    ASSERT_TRUE(commandList.Load(hostOf(server)));
    EXPECT_EQ(commandList.Version, QLatin1String(expected.version));
    EXPECT_TRUE(commandList.SupportsFunction(QStringLiteral("web")));

    const TCGIFunction* cammode = commandList.Functions.Find(QStringLiteral("switch_cammode"));
    ASSERT_NE(cammode, nullptr);
    const TCGIParam* mode = cammode->Methods.FindParam(THTTPMethod::Kind::Get, QStringLiteral("mode"));
    ASSERT_NE(mode, nullptr);
    EXPECT_NE(mode->Values.Find(QStringLiteral("play")), nullptr);
    EXPECT_EQ(mode->Values.Find(QStringLiteral("shutter")) != nullptr, expected.hasShutterMode);
    const TCGIParamValue* rec = mode->Values.Find(QStringLiteral("rec"));
    ASSERT_NE(rec, nullptr);
    const TCGIParam* lvqty = rec->Params.Find(QStringLiteral("lvqty"));
    ASSERT_NE(lvqty, nullptr);
    EXPECT_EQ(lvqty->Values.Count(), expected.lvqtySizes);
}

INSTANTIATE_TEST_SUITE_P(Profiles, CommandListIntegration,
    ::testing::Values(ProfileExpectation { "e-m10", "2.20", true, 2 },
        ProfileExpectation { "omd-v260", "2.60", true, 5 },
        ProfileExpectation { "newbody", "4.40", false, 5 }),
    [](const auto& info) {
        std::string name = info.param.profile;
        std::erase(name, '-');
        return name;
    });

TEST(CommandListIntegrationFailures, AnswerThatIsNoCommandListGivesAnEmptyModel)
{
    camsim::SimServer server;
    ASSERT_NE(server.start(), 0);
    server.setPower(false);
    TOIShare commandList;
    EXPECT_FALSE(commandList.Load(hostOf(server)));
    EXPECT_TRUE(commandList.Functions.IsEmpty());
    EXPECT_TRUE(commandList.Version.isEmpty());
}

#ifdef LUMIVAR_CLI_PATH
TEST(CommandListCli, JsonPrintsTheWholeTreeInDocumentOrder)
{
    camsim::SimServer server;
    ASSERT_NE(server.start(), 0);
    QProcess cli;
    cli.start(QStringLiteral(LUMIVAR_CLI_PATH),
        { QStringLiteral("--host"), hostOf(server), QStringLiteral("commandlist"),
            QStringLiteral("--json") });
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().constData();
    const QJsonObject doc = QJsonDocument::fromJson(cli.readAllStandardOutput()).object();
    EXPECT_EQ(doc.value(QStringLiteral("version")).toString(), QLatin1String("2.20"));
    const QJsonArray cgi = doc.value(QStringLiteral("cgi")).toArray();
    ASSERT_GE(cgi.size(), 20);
    EXPECT_EQ(
        cgi.at(0).toObject().value(QStringLiteral("name")).toString(), QLatin1String("get_connectmode"));
    const QJsonObject cammode = cgi.at(1).toObject();
    EXPECT_EQ(cammode.value(QStringLiteral("name")).toString(), QLatin1String("switch_cammode"));
    const QJsonObject method = cammode.value(QStringLiteral("methods")).toArray().at(0).toObject();
    EXPECT_EQ(method.value(QStringLiteral("type")).toString(), QLatin1String("get"));
    const QJsonArray modes = method.value(QStringLiteral("params"))
                                 .toArray()
                                 .at(0)
                                 .toObject()
                                 .value(QStringLiteral("values"))
                                 .toArray();
    ASSERT_EQ(modes.size(), 3);
    EXPECT_EQ(modes.at(0).toObject().value(QStringLiteral("name")).toString(), QLatin1String("rec"));
}

TEST(CommandListCli, UnreachableCameraFailsWithOneErrorLine)
{
    QProcess cli;
    cli.start(QStringLiteral(LUMIVAR_CLI_PATH),
        { QStringLiteral("--host"), QStringLiteral("127.0.0.1:1"), QStringLiteral("commandlist") });
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_EQ(cli.readAllStandardError().count('\n'), 1);
    EXPECT_EQ(cli.readAllStandardOutput(), QByteArray());
}

TEST(CommandListCli, UsageErrorsExitWithTwo)
{
    for (const QStringList& args : { QStringList { QStringLiteral("nosuchcommand") },
             QStringList {
                 QStringLiteral("--host"), QStringLiteral("bad host"), QStringLiteral("commandlist") },
             QStringList { QStringLiteral("request") } }) {
        QProcess cli;
        cli.start(QStringLiteral(LUMIVAR_CLI_PATH), args);
        ASSERT_TRUE(cli.waitForFinished(30000));
        EXPECT_EQ(cli.exitCode(), 2) << args.join(QLatin1Char(' ')).toStdString();
    }
}
#endif

} // namespace
