// lumivar-cli list and import against the simulator, run as a user runs them.
#include "import/ImportTestCard.h"
#include "sim/SimServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>

#ifdef LUMIVAR_CLI_PATH

using lumivar::test::ImportTestCard;

namespace {

struct CliRun
{
    int exitCode = -1;
    QByteArray out, err;
    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
};

class ImportCli : public ::testing::Test
{
protected:
    void startServer(const camsim::SimFaultSettings& faults = {}, const std::string& profile = "e-m10")
    {
        camsim::SimServerOptions options;
        options.profile = profile;
        options.cardDirectory = card.root().toStdString();
        options.faults = faults;
        server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(server->isValid()) << server->errorText();
        ASSERT_NE(server->start(), 0);
    }

    CliRun cli(QStringList arguments, const std::function<void()>& beforeStart = {},
        const std::function<void()>& afterStart = {})
    {
        arguments.prepend(QStringLiteral("127.0.0.1:%1").arg(server->port()));
        arguments.prepend(QStringLiteral("--host"));
        QProcess process;
        if (beforeStart)
            beforeStart();
        process.start(QStringLiteral(LUMIVAR_CLI_PATH), arguments);
        if (afterStart)
            afterStart();
        CliRun run;
        if (!process.waitForFinished(60000))
            return run;
        run.exitCode = process.exitCode();
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }

    static QStringList entries(const QString& dir)
    {
        return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    // Every file in dir is one of the card's, byte for byte.
    void expectOnlyCompleteCopies(const QString& dir)
    {
        for (const QString& name : entries(dir)) {
            ASSERT_TRUE(card.content().count(name)) << "unexpected " << name.toStdString();
            QFile file(dir + QLatin1Char('/') + name);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), card.content().at(name)) << name.toStdString();
        }
    }

    ImportTestCard card { { { QStringLiteral("P7210001.JPG"), 300'000 },
        { QStringLiteral("P7210002.ORF"), 1'200'000 }, { QStringLiteral("P7210003.MOV"), 2'500'000 } } };
    std::unique_ptr<camsim::SimServer> server;
    QTemporaryDir dest;
};

TEST_F(ImportCli, ListGivesFoldersAndFilesInOrder)
{
    startServer();
    const CliRun folders = cli({ QStringLiteral("--json"), QStringLiteral("list") });
    ASSERT_EQ(folders.exitCode, 0) << folders.err.constData();
    EXPECT_EQ(folders.json().value(QStringLiteral("folders")).toArray(), QJsonArray({ "100OLYMP" }));

    const CliRun files
        = cli({ QStringLiteral("--json"), QStringLiteral("list"), QStringLiteral("100OLYMP") });
    ASSERT_EQ(files.exitCode, 0) << files.err.constData();
    const QJsonArray list = files.json().value(QStringLiteral("files")).toArray();
    ASSERT_EQ(list.size(), 3);
    const QJsonObject first = list.at(0).toObject();
    EXPECT_EQ(first.value(QStringLiteral("dir")).toString(), QStringLiteral("/DCIM/100OLYMP"));
    EXPECT_EQ(first.value(QStringLiteral("name")).toString(), QStringLiteral("P7210001.JPG"));
    EXPECT_EQ(first.value(QStringLiteral("size")).toDouble(), 300000.0);
    EXPECT_EQ(first.value(QStringLiteral("date")).toString(), QStringLiteral("2023-07-21"));
    EXPECT_EQ(first.value(QStringLiteral("time")).toString(), QStringLiteral("14:35:42"));
    EXPECT_EQ(list.at(2).toObject().value(QStringLiteral("time")).toString(), QStringLiteral("14:37:50"));

    const CliRun text = cli({ QStringLiteral("list"), QStringLiteral("/DCIM/100OLYMP/") });
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out.count('\n'), 3);
}

// A body that lists its card only in playback mode, left in recording mode by a remote session.
TEST_F(ImportCli, ListAndImportSwitchTheCameraToPlaybackFirst)
{
    startServer({}, "omd-v260");
    ASSERT_EQ(cli({ QStringLiteral("mode"), QStringLiteral("rec") }).exitCode, 0);
    const CliRun files
        = cli({ QStringLiteral("--json"), QStringLiteral("list"), QStringLiteral("100OLYMP") });
    ASSERT_EQ(files.exitCode, 0) << files.err.constData();
    EXPECT_EQ(files.json().value(QStringLiteral("files")).toArray().size(), 3);

    ASSERT_EQ(cli({ QStringLiteral("mode"), QStringLiteral("rec") }).exitCode, 0);
    QTemporaryDir target;
    const CliRun copied = cli({ QStringLiteral("import"), QStringLiteral("--dest"), target.path() });
    ASSERT_EQ(copied.exitCode, 0) << copied.err.constData();
    EXPECT_EQ(entries(target.path()).size(), 3);
}

TEST_F(ImportCli, CopiesTheCardExactlyAndASecondRunCopiesNothing)
{
    startServer();
    const CliRun first
        = cli({ QStringLiteral("--json"), QStringLiteral("import"), QStringLiteral("--dest"), dest.path() });
    ASSERT_EQ(first.exitCode, 0) << first.err.constData();
    EXPECT_EQ(first.json().value(QStringLiteral("copied")).toInt(), 3);
    EXPECT_EQ(first.json().value(QStringLiteral("failed")).toInt(), 0);
    EXPECT_EQ(first.json().value(QStringLiteral("bytes")).toDouble(), 4'000'000.0);
    EXPECT_EQ(entries(dest.path()), QStringList({ "P7210001.JPG", "P7210002.ORF", "P7210003.MOV" }));
    expectOnlyCompleteCopies(dest.path());
    for (const auto& [name, bytes] : card.content())
        EXPECT_EQ(QFileInfo(dest.filePath(name)).lastModified(), card.timeOf(name)) << name.toStdString();

    const CliRun second
        = cli({ QStringLiteral("--json"), QStringLiteral("import"), QStringLiteral("--dest"), dest.path() });
    ASSERT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.json().value(QStringLiteral("copied")).toInt(), 0);
    EXPECT_EQ(second.json().value(QStringLiteral("skipped")).toInt(), 3);

    // A different file under a taken name (another size) is kept: the camera's file is copied
    // beside it under a free name, which later runs know; --all fetches everything again, over its
    // own copies only.
    ASSERT_TRUE(QFile::resize(dest.filePath(QStringLiteral("P7210002.ORF")), 10));
    const CliRun third = cli({ QStringLiteral("import"), QStringLiteral("--dest"), dest.path() });
    ASSERT_EQ(third.exitCode, 0) << third.err.constData();
    EXPECT_TRUE(third.out.startsWith("1 copied")) << third.out.constData();
    EXPECT_EQ(QFileInfo(dest.filePath(QStringLiteral("P7210002.ORF"))).size(), 10);
    QFile beside(dest.filePath(QStringLiteral("P7210002_1.ORF")));
    ASSERT_TRUE(beside.open(QIODevice::ReadOnly));
    EXPECT_EQ(beside.readAll(), card.content().at(QStringLiteral("P7210002.ORF")));
    const CliRun fourth
        = cli({ QStringLiteral("--json"), QStringLiteral("import"), QStringLiteral("--dest"), dest.path() });
    EXPECT_EQ(fourth.json().value(QStringLiteral("copied")).toInt(), 0);
    EXPECT_EQ(fourth.json().value(QStringLiteral("skipped")).toInt(), 3);
    const CliRun all = cli({ QStringLiteral("--json"), QStringLiteral("import"), QStringLiteral("--all"),
        QStringLiteral("--dest"), dest.path() });
    EXPECT_EQ(all.json().value(QStringLiteral("copied")).toInt(), 3);
    EXPECT_EQ(entries(dest.path()),
        QStringList({ "P7210001.JPG", "P7210002.ORF", "P7210002_1.ORF", "P7210003.MOV" }));
    EXPECT_EQ(QFileInfo(dest.filePath(QStringLiteral("P7210002.ORF"))).size(), 10);
}

TEST_F(ImportCli, FiltersAndUsageErrors)
{
    startServer();
    const CliRun orf = cli({ QStringLiteral("--json"), QStringLiteral("import"), QStringLiteral("--type"),
        QStringLiteral("orf,MOV"), QStringLiteral("--since"), QStringLiteral("2023-07-21"),
        QStringLiteral("--dest"), dest.path() });
    ASSERT_EQ(orf.exitCode, 0) << orf.err.constData();
    EXPECT_EQ(entries(dest.path()), QStringList({ "P7210002.ORF", "P7210003.MOV" }));
    const CliRun none = cli({ QStringLiteral("--json"), QStringLiteral("import"), QStringLiteral("--until"),
        QStringLiteral("2023-07-20"), QStringLiteral("--dest"), dest.path() });
    EXPECT_EQ(none.json().value(QStringLiteral("copied")).toInt(), 0);

    for (const QStringList& args : { QStringList { "import", "--since", "21.07.2023", "--dest", dest.path() },
             QStringList { "import", "--new", "--all", "--dest", dest.path() },
             QStringList { "import", "--dest" }, QStringList { "import", "--bogus" },
             QStringList { "list", "a", "b" } }) {
        EXPECT_EQ(cli(args).exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
    }
}

TEST_F(ImportCli, WithDropsEveryFileIsCompleteOrAbsent)
{
    camsim::SimFaultSettings faults;
    faults.dropRate = 0.5;
    startServer(faults);
    bool complete = false, sawFailure = false;
    for (int run = 0; run < 40 && !complete; ++run) {
        const CliRun result = cli({ QStringLiteral("import"), QStringLiteral("--dest"), dest.path() });
        expectOnlyCompleteCopies(dest.path());
        complete = result.exitCode == 0 && entries(dest.path()).size() == 3;
        sawFailure = sawFailure || result.exitCode != 0;
    }
    EXPECT_TRUE(sawFailure);
    EXPECT_TRUE(complete);
}

TEST_F(ImportCli, HostileListingWritesNothingOutsideTheFolder)
{
    camsim::SimFaultSettings faults;
    faults.hostileNames = true;
    startServer(faults);
    const QString inner = dest.path() + QStringLiteral("/import");
    const CliRun result
        = cli({ QStringLiteral("--json"), QStringLiteral("import"), QStringLiteral("--dest"), inner });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.json().value(QStringLiteral("copied")).toInt(), 3);
    EXPECT_GE(result.json().value(QStringLiteral("failed")).toInt(), 4);
    for (const QJsonValue& error : result.json().value(QStringLiteral("errors")).toArray())
        EXPECT_TRUE(error.toString().contains(QLatin1String("refused"))) << error.toString().toStdString();
    EXPECT_EQ(entries(dest.path()), QStringList({ "import" }));
    EXPECT_EQ(entries(inner), QStringList({ "P7210001.JPG", "P7210002.ORF", "P7210003.MOV" }));
    expectOnlyCompleteCopies(inner);
    // The text form shows control characters escaped, not raw.
    const CliRun text = cli({ QStringLiteral("import"), QStringLiteral("--dest"), inner });
    EXPECT_FALSE(text.err.contains('\a'));
    EXPECT_FALSE(text.err.contains('\x1b'));
}

TEST_F(ImportCli, FullDiskFailsThatFileAndTheRestGoOn)
{
    startServer();
    struct rlimit old
    {
    };
    getrlimit(RLIMIT_FSIZE, &old);
    void (*previous)(int) = SIG_DFL;
    const CliRun result = cli(
        { QStringLiteral("--json"), QStringLiteral("import"), QStringLiteral("--dest"), dest.path() },
        [&] {
            // The child inherits both: writes beyond 1 MB fail as on a full disk.
            previous = std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit small = old;
            small.rlim_cur = 1'000'000;
            setrlimit(RLIMIT_FSIZE, &small);
        },
        [&] {
            setrlimit(RLIMIT_FSIZE, &old);
            std::signal(SIGXFSZ, previous);
        });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.json().value(QStringLiteral("copied")).toInt(), 1);
    EXPECT_EQ(result.json().value(QStringLiteral("failed")).toInt(), 2);
    EXPECT_EQ(entries(dest.path()), QStringList({ "P7210001.JPG" }));
    expectOnlyCompleteCopies(dest.path());
}

} // namespace

#endif
