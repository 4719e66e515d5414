// The import session against the simulator: folders, a folder load through the thumbnail cache,
// imports with a result for every file, imports that must stop, hostile names, and the guards
// against re-entry and destruction during a wait.
#include "import/TImportSession.h"

#include "base/AppTexts.h"
#include "base/QStringPrinter.h"
#include "camera/TMovPlayTimeAction.h"
#include "camera/TOIShare.h"
#include "common/LogCapture.h"
#include "import/ImportTestCard.h"
#include "import/TCameraImport.h"
#include "sim/SimCard.h"
#include "sim/SimServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <QTest>

#include <atomic>
#include <memory>
#include <mutex>

using lumivar::test::ImportTestCard;
using Outcome = TImportSession::TOutcome;

namespace {

struct ProgressLine
{
    QString title;
    QString detail;
    bool finished;
    int percent;
};

class ImportSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        ASSERT_TRUE(target.isValid());
    }

    // The simulator's threads log into members declared after it: it stops before they go.
    void TearDown() override
    {
        session.reset();
        server.reset();
    }

    void start(bool hostileNames = false)
    {
        camsim::SimServerOptions options;
        options.cardDirectory = card.root().toStdString();
        options.faults.hostileNames = hostileNames;
        // Thumbnails and play times come in the background, past the waited transport.
        options.requestLog = [this](const std::string& line) {
            const std::lock_guard<std::mutex> lock(servedMutex);
            served << QString::fromStdString(line);
        };
        server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(server->isValid()) << server->errorText();
        ASSERT_NE(server->start(), 0);
        const QString host = QStringLiteral("127.0.0.1:%1").arg(server->port());
        // Every request as the client sends it; downloads take their own way.
        TCameraLink link = TCameraLink::ToHost(host);
        link.Transport = [this](const TCameraRequest& request) {
            sent << QUrl(request.Url).toString(QUrl::RemoveScheme | QUrl::RemoveAuthority);
            const QUrl url(request.Url);
            const QString dir = QUrlQuery(url).queryItemValue(QStringLiteral("DIR"));
            if (url.path() == QLatin1String("/get_imglist.cgi") && badListings.value(dir) > 0) {
                --badListings[dir];
                return TCameraAnswer { true, 520, {}, {}, TCameraFailure::None };
            }
            return TCameraLink::SendHttp(request);
        };
        import = std::make_unique<TCameraImport>(link);
        playTime = std::make_unique<TMovPlayTimeAction>(link);
        TOIShare commandList;
        ASSERT_TRUE(commandList.Load(host));
        ASSERT_TRUE(import->Probe(commandList));
        const TCGIFunction* movie = commandList.Functions.Find(QStringLiteral("get_movplaytime"));
        ASSERT_NE(movie, nullptr);
        ASSERT_TRUE(playTime->Probe(*movie));
        makeSession();
    }

    void makeSession()
    {
        session = std::make_unique<TImportSession>(*import, playTime.get(), [this] { return cameraThere; });
        QObject::connect(session.get(), &TImportSession::Progress,
            [this](const QString& title, const QString& detail, bool finished, int percent) {
                progress.push_back({ title, detail, finished, percent });
            });
        QObject::connect(session.get(), &TImportSession::Communication,
            [this](const TCommunication& c) { ++(c.Kind == ceStart ? started : finished); });
    }

    bool loadCard(bool thumbnails = true)
    {
        TImportSession::TLoadOptions options;
        options.Thumbnails = thumbnails;
        options.LocalFolder = target.path();
        return session->LoadFolder(QStringLiteral("100OLYMP"), options);
    }

    bool waitForThumbnails()
    {
        return QTest::qWaitFor(
            [&] { return session->ThumbnailsDone() == session->ThumbnailsTotal(); }, 20000);
    }

    int servedCount(const char* part)
    {
        const std::lock_guard<std::mutex> lock(servedMutex);
        int n = 0;
        for (const QString& line : served)
            n += line.contains(QLatin1String(part)) ? 1 : 0;
        return n;
    }

    int sentCount(const QString& part) const
    {
        int n = 0;
        for (const QString& url : sent)
            n += url.contains(part) ? 1 : 0;
        return n;
    }

    std::vector<Outcome> outcomes() const
    {
        std::vector<Outcome> all;
        for (const TImportSession::TResult& result : session->Results())
            all.push_back(result.Outcome);
        return all;
    }

    static QStringList entries(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    // A copy made earlier, with the camera's time as copies get it.
    bool placeCopy(const QString& name) const
    {
        QFile copy(target.filePath(name));
        return QFile::copy(card.root() + QStringLiteral("/DCIM/100OLYMP/") + name, copy.fileName())
            && copy.open(QIODevice::Append)
            && copy.setFileTime(card.timeOf(name), QFileDevice::FileModificationTime);
    }

    // A file of the user's in the target folder.
    bool placeOther(const QString& name, qint64 size, const QDateTime& time) const
    {
        QFile other(target.filePath(name));
        return other.open(QIODevice::WriteOnly) && other.write(QByteArray(size, 'u')) == size && other.flush()
            && other.setFileTime(time, QFileDevice::FileModificationTime);
    }

    QByteArray targetBytes(const QString& name) const
    {
        QFile file(target.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    ImportTestCard card { { { QStringLiteral("P7210001.JPG"), 40'000 },
        { QStringLiteral("P7210002.ORF"), 90'000 }, { QStringLiteral("P7210003.MOV"), 2'500'000 },
        { QStringLiteral("P7210004.JPG"), 50'000 } } };
    QTemporaryDir target;
    std::unique_ptr<camsim::SimServer> server;
    std::unique_ptr<TCameraImport> import;
    std::unique_ptr<TMovPlayTimeAction> playTime;
    std::unique_ptr<TImportSession> session;
    bool cameraThere = true;
    QMap<QString, int> badListings; // per folder, the next listings the camera answers with an error
    QStringList sent;
    std::mutex servedMutex;
    QStringList served;
    std::vector<ProgressLine> progress;
    int started = 0;
    int finished = 0;
};

const std::vector<int> kAll { 0, 1, 2, 3 };

TEST_F(ImportSessionTest, ListsFoldersAndLoadsThroughTheRunLongCache)
{
    start();
    // A copy made earlier lies in the local folder.
    ASSERT_TRUE(placeCopy(QStringLiteral("P7210004.JPG")));

    ASSERT_TRUE(session->ListFolders());
    EXPECT_EQ(session->Folders(), QStringList({ "100OLYMP" }));
    EXPECT_TRUE(session->Refused().isEmpty());

    ASSERT_TRUE(loadCard());
    ASSERT_TRUE(waitForThumbnails());
    const auto& items = session->Items();
    ASSERT_EQ(items.size(), 4u);
    // The play times follow the thumbnails.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !items[2].PlayTime.isEmpty(); }, 5000));
    EXPECT_EQ(items[0].File.FileName, QStringLiteral("P7210001.JPG")); // oldest first
    for (const TImportSession::TItem& item : items) {
        ASSERT_NE(item.Preview, nullptr);
        EXPECT_TRUE(item.Preview->Stream().startsWith("\xFF\xD8"));
    }
    EXPECT_EQ(items[2].PlayTime, QStringLiteral("00:00:01"));
    EXPECT_TRUE(items[0].PlayTime.isEmpty());
    EXPECT_TRUE(items[0].LocalPath.isEmpty());
    EXPECT_EQ(items[3].LocalPath, target.filePath(QStringLiteral("P7210004.JPG")));
    EXPECT_EQ(session->DataSize(), 2'680'000);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front().title, QStringLiteral("4 Vorschaubild(er) laden"));
    EXPECT_EQ(progress.back().detail, QStringLiteral("Vorschaubilder folgen"));
    EXPECT_TRUE(progress.back().finished);
    EXPECT_EQ(progress.back().percent, 100);
    EXPECT_EQ(started, 2);
    EXPECT_EQ(finished, 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return servedCount("get_thumbnail") == 4; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return servedCount("get_movplaytime") == 1; }, 5000));

    // Loaded again, and again as the only folder of a reload: the thumbnails come from the cache.
    sent.clear();
    ASSERT_TRUE(loadCard());
    bool prepared = false;
    const qsizetype before = sent.size();
    ASSERT_TRUE(session->ReloadSources(
        [&] {
            prepared = true;
            EXPECT_EQ(sent.size(), before); // before the listing
        },
        {}));
    EXPECT_TRUE(prepared);
    EXPECT_EQ(session->Items().size(), 4u);
    EXPECT_EQ(session->ThumbnailsDone(), 4); // all known
    EXPECT_EQ(session->ThumbnailsTotal(), 4);
    EXPECT_EQ(sentCount(QStringLiteral("get_imglist")), 3);
    EXPECT_EQ(session->Previews().Count(), 4);

    // A camera that cannot be asked lists nothing.
    cameraThere = false;
    EXPECT_FALSE(session->ListFolders());
    EXPECT_TRUE(session->Folders().isEmpty());
    EXPECT_FALSE(loadCard());
    EXPECT_TRUE(session->Items().empty());
}

// A listing the camera answers with an error is asked once more; failing again, it is reported,
// for the card's folders as for a folder's files.
TEST_F(ImportSessionTest, AFailedListingIsAskedOnceMoreAndThenReported)
{
    start();
    int reported = 0;
    QObject::connect(session.get(), &TImportSession::ListingFailed, [&] { ++reported; });
    TImportSession::TLoadOptions options;
    options.Thumbnails = false;
    badListings = { { QStringLiteral("/DCIM"), 1 }, { QStringLiteral("/DCIM/100OLYMP"), 1 } };
    EXPECT_TRUE(session->ReloadSources({}, options));
    EXPECT_EQ(session->Items().size(), 4u);
    EXPECT_EQ(reported, 0);

    badListings = { { QStringLiteral("/DCIM"), 2 } };
    EXPECT_FALSE(session->ReloadSources({}, options));
    EXPECT_EQ(reported, 1);
    EXPECT_TRUE(session->Folders().isEmpty());
    EXPECT_TRUE(session->LastError().startsWith(QStringLiteral("could not list /DCIM:")));

    // The folders come at the second try, the files of the folder not at all.
    badListings = { { QStringLiteral("/DCIM"), 1 }, { QStringLiteral("/DCIM/100OLYMP"), 2 } };
    EXPECT_FALSE(session->ReloadSources({}, options));
    EXPECT_EQ(reported, 2);
    EXPECT_EQ(session->Folders(), QStringList({ "100OLYMP" }));
    EXPECT_TRUE(session->Items().empty());
    EXPECT_TRUE(session->LastError().startsWith(QStringLiteral("could not list /DCIM/100OLYMP:")));
    EXPECT_TRUE(session->LoadFolder(QStringLiteral("100OLYMP"), options));
    EXPECT_EQ(session->Items().size(), 4u);
}

TEST_F(ImportSessionTest, ImportCopiesSkipsAndFailsFileByFile)
{
    start();
    ASSERT_TRUE(placeCopy(QStringLiteral("P7210004.JPG")));
    ASSERT_TRUE(loadCard());
    // The card loses the RAW file after it was listed: the camera answers 404 for it.
    ASSERT_TRUE(QFile::remove(card.root() + QStringLiteral("/DCIM/100OLYMP/P7210002.ORF")));
    server->setCard(camsim::SimCard::fromDirectory(card.root().toStdString()));
    std::vector<int> changed;
    QObject::connect(
        session.get(), &TImportSession::ItemChanged, [&](int index) { changed.push_back(index); });
    progress.clear();

    EXPECT_TRUE(session->ImportSelection(kAll, target.path()));
    EXPECT_EQ(outcomes(),
        std::vector<Outcome>({ Outcome::Copied, Outcome::Failed, Outcome::Copied, Outcome::Skipped }));
    const TImportSession::TResult& missing = session->Results()[1];
    EXPECT_EQ(missing.Failure, TCameraFailure::Status);
    EXPECT_TRUE(missing.Reason.contains(QLatin1String("404"))) << missing.Reason.toStdString();
    EXPECT_EQ(entries(target.path()), QStringList({ "P7210001.JPG", "P7210003.MOV", "P7210004.JPG" }));
    EXPECT_EQ(targetBytes(QStringLiteral("P7210003.MOV")), card.content().at(QStringLiteral("P7210003.MOV")));
    EXPECT_EQ(QFileInfo(target.filePath(QStringLiteral("P7210001.JPG"))).lastModified(),
        card.timeOf(QStringLiteral("P7210001.JPG")));
    EXPECT_EQ(changed, std::vector<int>({ 0, 2 }));
    EXPECT_EQ(session->Items()[0].LocalPath, target.filePath(QStringLiteral("P7210001.JPG")));
    EXPECT_TRUE(session->Items()[1].LocalPath.isEmpty());
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front().title, QStringLiteral("4 Datei(en) importieren"));
    EXPECT_EQ(progress.back().detail, QStringLiteral("Vorgang abgeschlossen"));
    EXPECT_EQ(progress.back().percent, 100);

    // Again: what was copied is not fetched again, the missing file fails again.
    EXPECT_TRUE(session->ImportSelection(kAll, target.path()));
    EXPECT_EQ(outcomes(),
        std::vector<Outcome>({ Outcome::Skipped, Outcome::Failed, Outcome::Skipped, Outcome::Skipped }));

    // No folder, or one that does not exist: nothing happens.
    const int before = started;
    QStringList asked;
    EXPECT_FALSE(session->ImportSelection(kAll, QString(), [&] {
        asked << QStringLiteral("cancel");
        return QString();
    }));
    EXPECT_FALSE(session->ImportSelection(kAll, QStringLiteral("  "), [&] {
        asked << QStringLiteral("missing");
        return target.filePath(QStringLiteral("no/such/folder"));
    }));
    EXPECT_FALSE(session->ImportSelection({ 4 }, target.path()));
    EXPECT_EQ(asked, QStringList({ "cancel", "missing" }));
    EXPECT_EQ(started, before);
    EXPECT_FALSE(session->IsBusy());
}

TEST_F(ImportSessionTest, ImportStopsWhenTheCameraOrTheTargetFolderGoesOrOnCancel)
{
    start();
    ASSERT_TRUE(loadCard(false));
    EXPECT_EQ(servedCount("get_thumbnail"), 0);

    // The target folder goes away after the first file.
    {
        QTemporaryDir vanishing;
        const QString gone = vanishing.path();
        QMetaObject::Connection removing = QObject::connect(session.get(), &TImportSession::FileImported,
            [&](const TImportSession::TResult&) { QDir(gone).removeRecursively(); });
        EXPECT_FALSE(session->ImportSelection(kAll, gone));
        QObject::disconnect(removing);
        EXPECT_EQ(outcomes(),
            std::vector<Outcome>({ Outcome::Copied, Outcome::NotDone, Outcome::NotDone, Outcome::NotDone }));
        EXPECT_TRUE(session->Results()[1].Reason.contains(QLatin1String("target folder")));
        EXPECT_EQ(progress.back().detail, QStringLiteral("Vorgang fehlgeschlagen"));
        EXPECT_FALSE(QFileInfo::exists(gone));
    }

    // Cancelled during the movie: nothing of it is left; neither it nor the rest failed, they were
    // not copied, and the summary says so in one line.
    QMetaObject::Connection cancelling
        = QObject::connect(session.get(), &TImportSession::BytesReceived, [&](qint64 received, qint64) {
              if (received > 0)
                  session->Cancel();
          });
    EXPECT_FALSE(session->ImportSelection({ 2, 3 }, target.path()));
    QObject::disconnect(cancelling);
    EXPECT_EQ(outcomes(), std::vector<Outcome>({ Outcome::NotDone, Outcome::NotDone }));
    EXPECT_EQ(session->Results()[0].Failure, TCameraFailure::Cancelled);
    EXPECT_TRUE(entries(target.path()).isEmpty());
    EXPECT_EQ(progress.back().detail, QStringLiteral("Vorgang abgebrochen"));
    EXPECT_EQ(session->Summary(),
        QStringLiteral("0 kopiert, 0 übersprungen, 0 fehlgeschlagen\n2 nicht kopiert: abgebrochen"));

    // The camera is reported gone after the first file: the second is not asked for.
    QMetaObject::Connection reporting = QObject::connect(session.get(), &TImportSession::FileImported,
        [&](const TImportSession::TResult&) { cameraThere = false; });
    EXPECT_FALSE(session->ImportSelection({ 0, 1 }, target.path()));
    QObject::disconnect(reporting);
    EXPECT_EQ(outcomes(), std::vector<Outcome>({ Outcome::Copied, Outcome::NotDone }));
    EXPECT_TRUE(session->Results()[1].Reason.contains(QLatin1String("camera")));
    cameraThere = true;

    // The camera stops answering after the next file: that one fails as unanswered, the import ends.
    QMetaObject::Connection switchingOff = QObject::connect(session.get(), &TImportSession::FileImported,
        [&](const TImportSession::TResult&) { server->setPower(false); });
    EXPECT_FALSE(session->ImportSelection({ 1, 2, 3 }, target.path()));
    QObject::disconnect(switchingOff);
    EXPECT_EQ(outcomes(), std::vector<Outcome>({ Outcome::Copied, Outcome::Failed, Outcome::NotDone }));
    EXPECT_EQ(session->Results()[1].Failure, TCameraFailure::NoAnswer);
    EXPECT_EQ(progress.back().detail, QStringLiteral("Vorgang fehlgeschlagen"));
    EXPECT_EQ(entries(target.path()), QStringList({ "P7210001.JPG", "P7210002.ORF" }));
    EXPECT_EQ(started, finished);
    EXPECT_FALSE(session->IsBusy());
}

TEST_F(ImportSessionTest, HostileNamesAreRefusedAndNothingIsWrittenOutside)
{
    lumivar::test::LogCapture log;
    start(true);
    ASSERT_TRUE(session->ListFolders());
    EXPECT_EQ(session->Folders(), QStringList({ "100OLYMP" }));
    EXPECT_GE(session->Refused().size(), 3);
    EXPECT_TRUE(log.contains(QStringLiteral("TImportSession.ListFolders: folder name refused: ..")));

    ASSERT_TRUE(loadCard());
    ASSERT_TRUE(waitForThumbnails());
    EXPECT_EQ(session->Items().size(), 4u);
    EXPECT_GE(session->Refused().size(), 4);
    {
        const std::lock_guard<std::mutex> lock(servedMutex);
        sent << served;
    }
    for (const QString& why : session->Refused())
        EXPECT_TRUE(why.startsWith(QLatin1String("refused"))) << why.toStdString();
    for (const QString& url : sent)
        EXPECT_FALSE(url.contains(QLatin1String("..")) || url.contains(QLatin1String("evil")))
            << url.toStdString();

    QTemporaryDir outer;
    const QString inner = outer.filePath(QStringLiteral("inner"));
    ASSERT_TRUE(QDir().mkpath(inner));
    EXPECT_TRUE(session->ImportSelection(kAll, inner));
    EXPECT_EQ(entries(outer.path()), QStringList({ "inner" }));
    EXPECT_EQ(
        entries(inner), QStringList({ "P7210001.JPG", "P7210002.ORF", "P7210003.MOV", "P7210004.JPG" }));
}

TEST_F(ImportSessionTest, RefusesReentryAndSurvivesItsDestructionDuringAWait)
{
    start();
    ASSERT_TRUE(loadCard(false));

    // Asked again while a download waits: refused, the running import goes on.
    bool refused = false;
    QMetaObject::Connection asking
        = QObject::connect(session.get(), &TImportSession::BytesReceived, [&](qint64, qint64) {
              if (!refused)
                  refused = !session->ListFolders() && !loadCard(false)
                      && !session->ImportSelection({ 0 }, target.path());
          });
    EXPECT_TRUE(session->ImportSelection({ 2 }, target.path()));
    QObject::disconnect(asking);
    EXPECT_TRUE(refused);
    EXPECT_EQ(outcomes(), std::vector<Outcome>({ Outcome::Copied }));
    EXPECT_EQ(session->Items().size(), 4u);

    // Destroyed while a download waits: the import returns without touching it, the loader keeps no
    // handler of it.
    QObject::connect(session.get(), &TImportSession::FileStarted,
        [&](int) { QTimer::singleShot(0, [&] { session.reset(); }); });
    TImportSession* running = session.get();
    EXPECT_FALSE(running->ImportSelection({ 0, 1 }, target.path()));
    EXPECT_FALSE(session);
    EXPECT_FALSE(import->FileLoader.OnProgress);
    EXPECT_FALSE(import->FileLoader.Busy);

    // Destroyed while its listing waits.
    makeSession();
    QObject::connect(session.get(), &TImportSession::Communication,
        [&] { QTimer::singleShot(0, [&] { session.reset(); }); });
    running = session.get();
    EXPECT_FALSE(running->LoadFolder(QStringLiteral("100OLYMP"), {}));
    EXPECT_FALSE(session);
}

TEST_F(ImportSessionTest, ADifferentFileUnderATakenNameIsKeptAndTheCopyTakesAFreeName)
{
    start();
    // The user's own files under the card's names: one of another size, one of the same size but
    // from another day; an earlier copy of the third under its free name.
    const QDateTime otherDay(QDate(2020, 1, 2), QTime(3, 4, 6));
    ASSERT_TRUE(placeOther(QStringLiteral("P7210001.JPG"), 1'000, otherDay));
    ASSERT_TRUE(placeOther(QStringLiteral("P7210002.ORF"), 90'000, otherDay));
    ASSERT_TRUE(placeOther(QStringLiteral("P7210003.MOV"), 7, otherDay));
    ASSERT_TRUE(QFile::copy(card.root() + QStringLiteral("/DCIM/100OLYMP/P7210003.MOV"),
        target.filePath(QStringLiteral("P7210003_1.MOV"))));
    ASSERT_TRUE(loadCard());
    const auto& items = session->Items();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_TRUE(items[0].LocalPath.isEmpty());
    EXPECT_TRUE(items[1].LocalPath.isEmpty());
    EXPECT_EQ(items[2].LocalPath, target.filePath(QStringLiteral("P7210003_1.MOV")));

    EXPECT_TRUE(session->ImportSelection(kAll, target.path()));
    EXPECT_EQ(outcomes(),
        std::vector<Outcome>({ Outcome::Copied, Outcome::Copied, Outcome::Skipped, Outcome::Copied }));
    EXPECT_EQ(items[0].LocalPath, target.filePath(QStringLiteral("P7210001_1.JPG")));
    for (const auto& [name, size] : { std::pair(QStringLiteral("P7210001.JPG"), 1'000),
             std::pair(QStringLiteral("P7210002.ORF"), 90'000) }) {
        const QString copy = QString(name).replace(QLatin1Char('.'), QLatin1String("_1."));
        EXPECT_EQ(targetBytes(copy), card.content().at(name)) << name.toStdString();
        EXPECT_EQ(targetBytes(name), QByteArray(size, 'u')) << name.toStdString();
    }
    EXPECT_EQ(targetBytes(QStringLiteral("P7210004.JPG")), card.content().at(QStringLiteral("P7210004.JPG")));
    EXPECT_EQ(entries(target.path()).size(), 7);
    EXPECT_EQ(session->Summary(), QStringLiteral("3 kopiert, 1 übersprungen, 0 fehlgeschlagen"));

    // Loaded again: every file is known by its copy, whatever name that took; a new import fetches
    // nothing.
    ASSERT_TRUE(loadCard());
    for (const TImportSession::TItem& item : session->Items())
        EXPECT_FALSE(item.LocalPath.isEmpty()) << item.File.FileName.toStdString();
    EXPECT_TRUE(session->ImportSelection(kAll, target.path()));
    EXPECT_EQ(session->CountOf(Outcome::Skipped), 4);
    EXPECT_EQ(entries(target.path()).size(), 7);
}

TEST_F(ImportSessionTest, ACardWithSeveralFoldersLoadsTheNewestAndTheSummaryNamesFailures)
{
    ASSERT_TRUE(QDir(card.root()).mkpath(QStringLiteral("DCIM/101OLYMP")));
    ASSERT_TRUE(QFile::copy(card.root() + QStringLiteral("/DCIM/100OLYMP/P7210001.JPG"),
        card.root() + QStringLiteral("/DCIM/101OLYMP/P7220001.JPG")));
    start();
    ASSERT_TRUE(session->ReloadSources({}, {}));
    EXPECT_EQ(session->Folders(), QStringList({ "100OLYMP", "101OLYMP" }));
    ASSERT_EQ(session->Items().size(), 1u);
    EXPECT_EQ(session->Items()[0].File.CameraPath(), QStringLiteral("/101OLYMP/P7220001.JPG"));

    // One file the camera no longer has: the summary tells it by name and reason.
    ASSERT_TRUE(loadCard(false));
    ASSERT_TRUE(QFile::remove(card.root() + QStringLiteral("/DCIM/100OLYMP/P7210002.ORF")));
    server->setCard(camsim::SimCard::fromDirectory(card.root().toStdString()));
    EXPECT_TRUE(session->ImportSelection({ 0, 1 }, target.path()));
    const QStringList lines = session->Summary().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("1 kopiert, 0 übersprungen, 1 fehlgeschlagen"));
    EXPECT_TRUE(lines[1].startsWith(QLatin1String("P7210002.ORF: "))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains(QLatin1String("404")));
}

} // namespace
