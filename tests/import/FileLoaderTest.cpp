// The import part against the simulator: probing, listings, and downloads that are complete under
// their final name or not there at all.
#include "import/TCameraImport.h"

#include "camera/TOIShare.h"
#include "common/TestPaths.h"
#include "import/ImportTestCard.h"
#include "sim/SimServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/resource.h>

using lumivar::test::ImportTestCard;

namespace {

class FileLoaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        camsim::SimServerOptions options;
        options.cardDirectory = card.root().toStdString();
        server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(server->isValid()) << server->errorText();
        ASSERT_NE(server->start(), 0);
        host = QStringLiteral("127.0.0.1:%1").arg(server->port());
        import = std::make_unique<TCameraImport>(TCameraLink::ToHost(host));
        TOIShare commandList;
        ASSERT_TRUE(commandList.Load(host));
        ASSERT_TRUE(import->Probe(commandList));
        ASSERT_TRUE(target.isValid());
    }

    // Every entry of the target folder, hidden temporary files included.
    QStringList targetEntries() const
    {
        return QDir(target.path())
            .entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    TFileLoadTarget targetFor(const QString& name, qint64 size)
    {
        TFileLoadTarget t;
        t.FileName = target.path() + QLatin1Char('/') + name;
        t.ExpectedSize = size;
        t.Modified = card.timeOf(name);
        return t;
    }

    QByteArray fileBytes(const QString& name) const
    {
        QFile file(target.path() + QLatin1Char('/') + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    ImportTestCard card { { { QStringLiteral("P7210001.JPG"), 300'000 },
        { QStringLiteral("P7210002.ORF"), 1'200'000 }, { QStringLiteral("P7210003.MOV"), 2'500'000 } } };
    std::unique_ptr<camsim::SimServer> server;
    QString host;
    std::unique_ptr<TCameraImport> import;
    QTemporaryDir target;
};

TEST_F(FileLoaderTest, ProbeEnablesWhatTheCameraListsAndResetForgetsIt)
{
    EXPECT_TRUE(import->ReservedList.Enabled);
    EXPECT_TRUE(import->ImageList.Enabled);
    EXPECT_TRUE(import->Thumbnail.Enabled);
    EXPECT_TRUE(import->DirectoryList.Enabled);
    EXPECT_TRUE(import->FileLoader.Enabled);
    ASSERT_TRUE(import->ImageList.Execute(QString()));
    import->ImageList.ParseFolders();
    EXPECT_EQ(import->ImageList.Folders, QStringList({ "100OLYMP" }));

    import->Reset();
    for (const TBaseImportAction* action : import->Actions()) {
        EXPECT_FALSE(action->Enabled);
        EXPECT_TRUE(action->Lines.isEmpty() && action->Folders.isEmpty() && action->Data.isEmpty());
        EXPECT_EQ(action->Items.Count(), 0);
    }

    // A body without the listing request keeps it disabled; the probe still succeeds.
    QByteArray list = lumivar::test::readFixture(QStringLiteral("camera/commandlist_E-M10_v2.20.xml"));
    list.replace("name=\"get_imglist\"", "name=\"get_imglist_gone\"");
    TOIShare without;
    ASSERT_TRUE(without.LoadFromBytes(list));
    EXPECT_TRUE(import->Probe(without));
    EXPECT_FALSE(import->ImageList.Enabled);
    EXPECT_TRUE(import->Thumbnail.Enabled);
    EXPECT_TRUE(import->FileLoader.Enabled);
}

TEST_F(FileLoaderTest, ListsAndCopiesTheCardExactlyWithCameraTimes)
{
    ASSERT_TRUE(import->ImageList.Execute(QStringLiteral("/100OLYMP")));
    import->ImageList.ParseItems();
    ASSERT_EQ(import->ImageList.Items.Count(), 3);
    for (const TCameraImportItem* item : import->ImageList.Items) {
        QString why;
        const QString path = TFileLoaderAction::TargetPath(target.path(), item->FileName, &why);
        ASSERT_FALSE(path.isEmpty()) << why.toStdString();
        TFileLoadTarget t;
        t.FileName = path;
        t.ExpectedSize = item->Size();
        t.Modified = item->DateTime();
        ASSERT_TRUE(import->FileLoader.Load(item->CameraPath(), t, true))
            << import->FileLoader.LastError.toStdString();
        EXPECT_EQ(import->FileLoader.LoadedFile, path);
        EXPECT_EQ(fileBytes(item->FileName), card.content().at(item->FileName));
        EXPECT_EQ(QFileInfo(path).lastModified(), card.timeOf(item->FileName));
    }
    EXPECT_EQ(targetEntries().size(), 3);
    EXPECT_FALSE(import->IsBusy());

    EXPECT_TRUE(import->Thumbnail.Execute(QStringLiteral("/100OLYMP/P7210001.JPG")));
    EXPECT_TRUE(import->Thumbnail.Data.startsWith("\xFF\xD8"));
}

TEST_F(FileLoaderTest, EmptyFolderAndMissingFileAreClearFailures)
{
    EXPECT_FALSE(import->ImageList.Execute(QStringLiteral("/999OLYMP")));
    EXPECT_EQ(import->ImageList.ResponseCode, 404);
    EXPECT_TRUE(import->ImageList.Lines.isEmpty());

    EXPECT_FALSE(
        import->FileLoader.Load(QStringLiteral("/100OLYMP/NOPE.JPG"), targetFor("P7210001.JPG", 10), true));
    EXPECT_EQ(import->FileLoader.ResponseCode, 404);
    EXPECT_TRUE(import->FileLoader.LastError.contains(QLatin1String("404")));
    EXPECT_EQ(import->FileLoader.LastFailure, TCameraFailure::Status);
    EXPECT_TRUE(targetEntries().isEmpty());
    EXPECT_FALSE(import->FileLoader.Busy);
}

TEST_F(FileLoaderTest, DroppedConnectionsAndWrongSizesLeaveNothing)
{
    camsim::SimFaultSettings faults;
    faults.dropRate = 1.0;
    server->setFaults(faults);
    EXPECT_FALSE(import->FileLoader.Load(
        QStringLiteral("/100OLYMP/P7210003.MOV"), targetFor("P7210003.MOV", 2'500'000), true));
    EXPECT_FALSE(import->FileLoader.LastError.isEmpty());
    EXPECT_EQ(import->FileLoader.LastFailure, TCameraFailure::NoAnswer);
    EXPECT_TRUE(targetEntries().isEmpty());

    server->setFaults({});
    // The listing said otherwise than the camera sends: neither file is kept.
    EXPECT_FALSE(import->FileLoader.Load(
        QStringLiteral("/100OLYMP/P7210001.JPG"), targetFor("P7210001.JPG", 299'999), true));
    EXPECT_FALSE(import->FileLoader.Load(
        QStringLiteral("/100OLYMP/P7210001.JPG"), targetFor("P7210001.JPG", 300'001), true));
    EXPECT_TRUE(targetEntries().isEmpty());

    // An earlier complete copy stays as it was when a new transfer of it fails.
    ASSERT_TRUE(import->FileLoader.Load(
        QStringLiteral("/100OLYMP/P7210001.JPG"), targetFor("P7210001.JPG", 300'000), true));
    faults.dropRate = 1.0;
    server->setFaults(faults);
    EXPECT_FALSE(import->FileLoader.Load(
        QStringLiteral("/100OLYMP/P7210001.JPG"), targetFor("P7210001.JPG", 300'000), true));
    EXPECT_EQ(targetEntries(), QStringList({ "P7210001.JPG" }));
    EXPECT_EQ(fileBytes("P7210001.JPG"), card.content().at("P7210001.JPG"));
}

TEST_F(FileLoaderTest, UnwritableTargetsFailAndTheNextFileGoesOn)
{
    TFileLoadTarget missing = targetFor("P7210001.JPG", 300'000);
    missing.FileName = target.path() + QStringLiteral("/no/such/folder/P7210001.JPG");
    EXPECT_FALSE(import->FileLoader.Load(QStringLiteral("/100OLYMP/P7210001.JPG"), missing, true));
    EXPECT_TRUE(import->FileLoader.LastError.contains(QLatin1String("does not exist")));
    EXPECT_EQ(import->FileLoader.LastFailure, TCameraFailure::LocalWrite);

    // Not even root may create files here.
    TFileLoadTarget readOnly = targetFor("P7210001.JPG", 300'000);
    readOnly.FileName = QStringLiteral("/proc/self/P7210001.JPG");
    EXPECT_FALSE(import->FileLoader.Load(QStringLiteral("/100OLYMP/P7210001.JPG"), readOnly, true));
    EXPECT_TRUE(import->FileLoader.LastError.startsWith(QLatin1String("cannot write")));
    EXPECT_EQ(import->FileLoader.LastFailure, TCameraFailure::LocalWrite);
    EXPECT_FALSE(QFileInfo::exists(readOnly.FileName));

    // A disk that fills up mid-file: writes beyond 1 MB fail as on a full disk.
    struct rlimit old
    {
    };
    getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1'000'000;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool loaded = import->FileLoader.Load(
        QStringLiteral("/100OLYMP/P7210002.ORF"), targetFor("P7210002.ORF", 1'200'000), true);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(import->FileLoader.LastError.contains(QLatin1String("cannot store")))
        << import->FileLoader.LastError.toStdString();
    EXPECT_EQ(import->FileLoader.LastFailure, TCameraFailure::LocalWrite);
    EXPECT_TRUE(targetEntries().isEmpty());

    EXPECT_TRUE(import->FileLoader.Load(
        QStringLiteral("/100OLYMP/P7210001.JPG"), targetFor("P7210001.JPG", 300'000), true));
    EXPECT_EQ(targetEntries(), QStringList({ "P7210001.JPG" }));
}

TEST_F(FileLoaderTest, CancelDuringAWaitedLoadRemovesTheTemporaryFile)
{
    TFileLoaderAction& loader = import->FileLoader;
    loader.OnProgress = [&loader](qint64 received, qint64) {
        if (received > 0)
            loader.Cancel();
    };
    EXPECT_FALSE(
        loader.Load(QStringLiteral("/100OLYMP/P7210003.MOV"), targetFor("P7210003.MOV", 2'500'000), true));
    loader.OnProgress = nullptr;
    EXPECT_FALSE(loader.Busy);
    QTest::qWait(100);
    EXPECT_TRUE(targetEntries().isEmpty());
}

TEST_F(FileLoaderTest, BackgroundLoadReportsItsEndAndRefusesASecondOne)
{
    TFileLoaderAction& loader = import->FileLoader;
    int loaded = 0, done = 0;
    bool success = false;
    loader.OnLoaded = [&](TFileLoaderAction*, bool ok) {
        ++loaded;
        success = ok;
    };
    loader.OnDone = [&](TBaseImportAction*, bool) { ++done; };
    ASSERT_TRUE(
        loader.Load(QStringLiteral("/100OLYMP/P7210003.MOV"), targetFor("P7210003.MOV", 2'500'000), false));
    EXPECT_TRUE(import->IsBusy());
    EXPECT_FALSE(
        loader.Load(QStringLiteral("/100OLYMP/P7210001.JPG"), targetFor("P7210001.JPG", 300'000), true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded > 0; }, 20000));
    EXPECT_TRUE(success) << loader.LastError.toStdString();
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(import->IsBusy());
    EXPECT_EQ(fileBytes("P7210003.MOV"), card.content().at("P7210003.MOV"));

    loaded = 0;
    ASSERT_TRUE(loader.Load(QStringLiteral("/100OLYMP/GONE.JPG"), targetFor("P7210001.JPG", 10), false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded > 0; }, 20000));
    EXPECT_FALSE(success);
    EXPECT_FALSE(loader.Busy);
    EXPECT_EQ(targetEntries(), QStringList({ "P7210003.MOV" }));
}

TEST_F(FileLoaderTest, LateCompletionAfterResetOrDestructionIsHarmless)
{
    camsim::SimFaultSettings faults;
    faults.latencyMs = 300;
    server->setFaults(faults);
    TFileLoaderAction& loader = import->FileLoader;
    int loaded = 0;
    loader.OnLoaded = [&](TFileLoaderAction*, bool) { ++loaded; };
    ASSERT_TRUE(
        loader.Load(QStringLiteral("/100OLYMP/P7210001.JPG"), targetFor("P7210001.JPG", 300'000), false));
    import->Reset();
    EXPECT_FALSE(import->IsBusy());
    QTest::qWait(1200);
    EXPECT_EQ(loaded, 0);
    EXPECT_TRUE(targetEntries().isEmpty());

    // The part goes away with a transfer running.
    TOIShare commandList;
    ASSERT_TRUE(commandList.Load(host));
    ASSERT_TRUE(import->Probe(commandList));
    ASSERT_TRUE(import->FileLoader.Load(
        QStringLiteral("/100OLYMP/P7210002.ORF"), targetFor("P7210002.ORF", 1'200'000), false));
    import.reset();
    QTest::qWait(1200);
    EXPECT_TRUE(targetEntries().isEmpty());
}

TEST(CameraFileNames, OnlyPlainNamesAreUsed)
{
    for (const char* bad : { "", ".", "..", "../evil.JPG", "..\\..\\evil.JPG", "/etc/passwd", "a\\b.JPG",
             "C:\\evil.JPG", "C:evil", "bell\a.JPG", "new\nline.JPG", "esc\x1b[2J.JPG", "del\x7f.JPG" }) {
        QString why;
        EXPECT_TRUE(TFileLoaderAction::SafeFileName(QString::fromLatin1(bad), &why).isEmpty()) << bad;
        EXPECT_TRUE(why.startsWith(QLatin1String("refused"))) << bad;
        EXPECT_TRUE(
            TFileLoaderAction::TargetPath(QStringLiteral("/tmp/x"), QString::fromLatin1(bad)).isEmpty());
    }
    EXPECT_EQ(
        TFileLoaderAction::SafeFileName(QStringLiteral("P1010001.JPG")), QStringLiteral("P1010001.JPG"));
    EXPECT_EQ(
        TFileLoaderAction::SafeFileName(QStringLiteral("..hidden.JPG")), QStringLiteral("..hidden.JPG"));
    EXPECT_EQ(TFileLoaderAction::TargetPath(QStringLiteral("/tmp/x/"), QStringLiteral("A.JPG")),
        QStringLiteral("/tmp/x/A.JPG"));
}

TEST_F(FileLoaderTest, HostileListingWritesNothingOutsideTheFolder)
{
    camsim::SimFaultSettings faults;
    faults.hostileNames = true;
    server->setFaults(faults);
    QTemporaryDir outer;
    const QString inner = outer.path() + QStringLiteral("/import");
    ASSERT_TRUE(QDir().mkpath(inner));

    ASSERT_TRUE(import->ImageList.Execute(QStringLiteral("/100OLYMP")));
    import->ImageList.ParseItems();
    int refused = 0, copied = 0;
    for (const TCameraImportItem* item : import->ImageList.Items) {
        const QString path = TFileLoaderAction::TargetPath(inner, item->FileName);
        if (path.isEmpty()) {
            ++refused;
            continue;
        }
        TFileLoadTarget t;
        t.FileName = path;
        t.ExpectedSize = item->Size();
        copied += import->FileLoader.Load(item->CameraPath(), t, true);
    }
    EXPECT_GE(refused, 4);
    EXPECT_EQ(copied, 3);
    EXPECT_EQ(QDir(outer.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList({ "import" }));
    EXPECT_EQ(QDir(inner).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList({ "P7210001.JPG", "P7210002.ORF", "P7210003.MOV" }));
}

} // namespace
