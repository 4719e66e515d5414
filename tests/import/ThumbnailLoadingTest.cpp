// Thumbnails after the folder is shown, against the simulator: every file keeps its place when its
// thumbnail fails, visible files go first, an import holds the loading back, and the disk cache
// spares a second run every request and replaces what was damaged in it.
#include "import/TImportSession.h"

#include "base/AppTexts.h"
#include "base/QStringPrinter.h"
#include "camera/TCameraInfoAction.h"
#include "camera/TOIShare.h"
#include "import/ImportTestCard.h"
#include "import/TCameraImport.h"
#include "import/TThumbnailCache.h"
#include "sim/SimServer.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>

using lumivar::test::ImportTestCard;
using State = TImportSession::TPreviewState;

namespace {

std::map<QString, qint64> jpegCard(int count)
{
    std::map<QString, qint64> files;
    for (int i = 1; i <= count; ++i)
        files[QStringLiteral("P72100%1.JPG").arg(i, 2, 10, QLatin1Char('0'))] = 20'000 + i;
    return files;
}

class ThumbnailLoadingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        ASSERT_TRUE(cacheDir.isValid() && target.isValid());
    }

    void start(int files, int latencyMs = 0)
    {
        card = std::make_unique<ImportTestCard>(jpegCard(files));
        camsim::SimServerOptions options;
        options.cardDirectory = card->root().toStdString();
        options.faults.latencyMs = latencyMs;
        options.requestLog = [this](const std::string& line) {
            const std::lock_guard<std::mutex> lock(mutex);
            served << QString::fromStdString(line);
        };
        server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(server->isValid()) << server->errorText();
        ASSERT_NE(server->start(), 0);
        const QString host = QStringLiteral("127.0.0.1:%1").arg(server->port());
        import = std::make_unique<TCameraImport>(TCameraLink::ToHost(host));
        TOIShare commandList;
        ASSERT_TRUE(commandList.Load(host));
        ASSERT_TRUE(import->Probe(commandList));
    }

    // A new session with a cache on the test's folder, as a new program run has.
    void newSession(const QString& cameraName = QStringLiteral("E-M10#BHK1"))
    {
        session.reset();
        cache = std::make_unique<TThumbnailCache>(cacheDir.path());
        session = std::make_unique<TImportSession>(*import, nullptr);
        session->SetThumbnailCache(cache.get(), cameraName);
        session->PauseThumbnails(false);
    }

    bool load()
    {
        TImportSession::TLoadOptions options;
        options.LocalFolder = target.path();
        return session->LoadFolder(QStringLiteral("100OLYMP"), options);
    }

    bool waitForThumbnails()
    {
        return QTest::qWaitFor(
            [&] { return session->ThumbnailsDone() == session->ThumbnailsTotal(); }, 30000);
    }

    // Served requests containing part, in the order the simulator answered them.
    QStringList servedWith(const QString& part)
    {
        // The simulator logs a request once it has answered it; the client may be a step ahead.
        QTest::qWait(20);
        const std::lock_guard<std::mutex> lock(mutex);
        return served.filter(part);
    }

    int stateCount(State state) const
    {
        int n = 0;
        for (const TImportSession::TItem& item : session->Items())
            n += item.PreviewState == state ? 1 : 0;
        return n;
    }

    QTemporaryDir cacheDir;
    QTemporaryDir target;
    std::unique_ptr<ImportTestCard> card;
    std::unique_ptr<camsim::SimServer> server;
    std::unique_ptr<TCameraImport> import;
    std::unique_ptr<TThumbnailCache> cache;
    std::unique_ptr<TImportSession> session;
    std::mutex mutex;
    QStringList served;
};

TEST_F(ThumbnailLoadingTest, FailingThumbnailsAreTriedTwiceAndTheirFilesStayImportable)
{
    start(20);
    newSession();
    ASSERT_TRUE(load()); // listed without faults
    camsim::SimFaultSettings faults;
    faults.errorRate = 0.6;
    server->setFaults(faults);
    ASSERT_EQ(session->Items().size(), 20u);
    EXPECT_EQ(stateCount(State::Waiting), 20); // listed, nothing fetched yet
    ASSERT_TRUE(waitForThumbnails());

    EXPECT_EQ(session->Items().size(), 20u);
    EXPECT_EQ(stateCount(State::Loaded) + stateCount(State::Failed), 20);
    EXPECT_GT(stateCount(State::Failed), 0);
    const QStringList thumbnails = servedWith(QStringLiteral("get_thumbnail"));
    int retries = 0;
    for (const TImportSession::TItem& item : session->Items()) {
        const int asked = int(thumbnails.filter(item.File.FileName).size());
        retries += asked - 1;
        if (item.PreviewState == State::Failed)
            EXPECT_EQ(asked, 2) << item.File.FileName.toStdString();
        else
            EXPECT_TRUE(asked == 1 || asked == 2) << item.File.FileName.toStdString();
    }
    // Every second try came after all first ones.
    EXPECT_GT(retries, 0);
    QSet<QString> firstTries;
    for (qsizetype i = 0; i < 20; ++i)
        firstTries << QRegularExpression(QStringLiteral("P\\d+\\.JPG")).match(thumbnails[i]).captured();
    EXPECT_EQ(firstTries.size(), 20);

    server->setFaults({});
    std::vector<int> all;
    for (int i = 0; i < 20; ++i)
        all.push_back(i);
    EXPECT_TRUE(session->ImportSelection(all, target.path()));
    for (const TImportSession::TResult& result : session->Results())
        EXPECT_EQ(result.Outcome, TImportSession::TOutcome::Copied);
}

TEST_F(ThumbnailLoadingTest, VisibleFilesGoFirstAndAnImportHoldsTheRestBack)
{
    start(20, 5);
    newSession();
    ASSERT_TRUE(load());
    // The user scrolled to the end before the first request went out.
    session->SetVisibleItems(15, 19);
    bool imported = false;
    QObject::connect(session.get(), &TImportSession::ThumbnailProgress, [&](int done, int) {
        if (done == 8 && !imported) {
            imported = true;
            EXPECT_TRUE(session->ImportSelection({ 0, 1, 2 }, target.path()));
        }
    });
    ASSERT_TRUE(waitForThumbnails());
    EXPECT_TRUE(imported);
    EXPECT_EQ(stateCount(State::Loaded), 20);

    const QStringList thumbnails = servedWith(QStringLiteral("get_thumbnail"));
    ASSERT_EQ(thumbnails.size(), 20);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(thumbnails[i].contains(session->Items()[size_t(15 + i)].File.FileName))
            << thumbnails[i].toStdString();
    EXPECT_TRUE(thumbnails[5].contains(session->Items()[0].File.FileName)) << thumbnails[5].toStdString();
    // The three copies ran one after the other, with no thumbnail between them.
    const QStringList cardRequests = servedWith(QStringLiteral("/DCIM/100OLYMP/"));
    qsizetype firstCopy = -1;
    for (qsizetype i = 0; i < cardRequests.size() && firstCopy < 0; ++i)
        if (!cardRequests[i].contains(QLatin1String("get_")))
            firstCopy = i;
    ASSERT_GE(firstCopy, 0);
    for (qsizetype i = firstCopy; i < firstCopy + 3; ++i)
        EXPECT_FALSE(cardRequests[i].contains(QLatin1String("get_thumbnail")))
            << cardRequests[i].toStdString();
    EXPECT_EQ(session->Results().size(), 3u);
}

TEST_F(ThumbnailLoadingTest, ASecondRunTakesThemFromDiskAndReplacesDamagedEntries)
{
    start(6);
    newSession();
    ASSERT_TRUE(load());
    ASSERT_TRUE(waitForThumbnails());
    ASSERT_EQ(servedWith(QStringLiteral("get_thumbnail")).size(), 6);
    std::vector<QByteArray> first;
    for (const TImportSession::TItem& item : session->Items())
        first.push_back(item.Preview ? item.Preview->Stream() : QByteArray());
    EXPECT_GT(cache->TotalBytes(), 6 * 100);

    // A new run: every thumbnail from the disk, none asked for.
    newSession();
    ASSERT_TRUE(load());
    ASSERT_TRUE(waitForThumbnails());
    EXPECT_EQ(servedWith(QStringLiteral("get_thumbnail")).size(), 6);
    for (size_t i = 0; i < 6; ++i) {
        ASSERT_EQ(session->Items()[i].PreviewState, State::Loaded);
        EXPECT_EQ(session->Items()[i].Preview->Stream(), first[i]);
    }

    // One entry with a changed byte, one cut short: both are asked for again and stored sound.
    const QString name = QStringLiteral("E-M10#BHK1");
    const QString damaged = cache->EntryPath(TThumbnailCache::Key(name, session->Items()[1].File));
    const QString cut = cache->EntryPath(TThumbnailCache::Key(name, session->Items()[4].File));
    {
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x5A);
        file.seek(0);
        file.write(bytes);
    }
    ASSERT_TRUE(QFile::resize(cut, QFileInfo(cut).size() / 2));
    newSession();
    ASSERT_TRUE(load());
    ASSERT_TRUE(waitForThumbnails());
    const QStringList thumbnails = servedWith(QStringLiteral("get_thumbnail"));
    ASSERT_EQ(thumbnails.size(), 8);
    EXPECT_TRUE(thumbnails[6].contains(session->Items()[1].File.FileName));
    EXPECT_TRUE(thumbnails[7].contains(session->Items()[4].File.FileName));
    EXPECT_EQ(cache->Find(TThumbnailCache::Key(name, session->Items()[1].File)), first[1]);
    EXPECT_EQ(cache->Find(TThumbnailCache::Key(name, session->Items()[4].File)), first[4]);

    // Another camera with a card of the same names has entries of its own.
    newSession(QStringLiteral("E-M10#BHK2"));
    ASSERT_TRUE(load());
    ASSERT_TRUE(waitForThumbnails());
    EXPECT_EQ(servedWith(QStringLiteral("get_thumbnail")).size(), 14);
}

TEST(ThumbnailCacheTest, StaysWithinItsBoundDroppingTheLeastRecentlyUsed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray jpeg = QByteArray("\xFF\xD8", 2) + QByteArray(10'000, 'x');
    // Room for about five entries.
    TThumbnailCache cache(dir.path(), 5 * 10'100);
    const QDateTime start = QDateTime::currentDateTimeUtc().addSecs(-1000);
    for (int i = 0; i < 5; ++i) {
        const QString key = QStringLiteral("k%1").arg(i);
        ASSERT_TRUE(cache.Store(key, jpeg));
        QFile file(cache.EntryPath(key));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(start.addSecs(i * 10), QFileDevice::FileModificationTime);
    }
    // Entry 0, the oldest, was just used; 1 and 2 go for the two new ones.
    EXPECT_EQ(cache.Find(QStringLiteral("k0")), jpeg);
    ASSERT_TRUE(cache.Store(QStringLiteral("k5"), jpeg));
    ASSERT_TRUE(cache.Store(QStringLiteral("k6"), jpeg));
    EXPECT_LE(cache.TotalBytes(), 5 * 10'100);
    for (const auto& [key, kept] : { std::pair("k0", true), std::pair("k1", false), std::pair("k2", false),
             std::pair("k3", true), std::pair("k6", true) })
        EXPECT_EQ(!cache.Find(QString::fromLatin1(key)).isEmpty(), kept) << key;
    // A new cache object on the folder counts what is there.
    EXPECT_EQ(TThumbnailCache(dir.path()).TotalBytes(), cache.TotalBytes());
}

TEST(ThumbnailCacheTest, CameraNameIsModelAndSerialWhereTheCameraTellsIt)
{
    for (const auto& [profile, expected] :
        { std::pair("newbody", "E-M10MarkIV#BHK200123"), std::pair("e-m10", "E-M10") }) {
        camsim::SimServerOptions options;
        options.profile = profile;
        camsim::SimServer server(options);
        ASSERT_NE(server.start(), 0);
        const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
        TOIShare commandList;
        ASSERT_TRUE(commandList.Load(host));
        TCameraInfoAction info(TCameraLink::ToHost(host));
        ASSERT_TRUE(info.Probe(*commandList.Functions.Find(QStringLiteral("get_caminfo"))));
        EXPECT_EQ(TThumbnailCache::AskCameraName(info), QString::fromLatin1(expected));
    }
    EXPECT_EQ(TThumbnailCache::AskCameraName(*std::make_unique<TCameraInfoAction>(TCameraLink())),
        QStringLiteral("unknown"));
}

} // namespace
