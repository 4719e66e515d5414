// The live import against the simulator: shots taken while it polls land in the target folder in
// order, once and intact; the filter; cancel in the middle of a copy; failing copies; a different file
// under a shot's name; a camera that goes away before its last shots were fetched; a body without
// folder pages and shutter-only mode.
#include "import/TLiveImport.h"

#include "base/AppTexts.h"
#include "base/QStringPrinter.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "import/TCameraImport.h"
#include "sim/SimCamera.h"
#include "sim/SimCard.h"
#include "sim/SimServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>

namespace {

constexpr int kWaitMs = 30000;

class LiveImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        ASSERT_TRUE(target.isValid());
    }

    void TearDown() override
    {
        live.reset();
        import.reset();
        mode.reset();
        server.reset();
    }

    void start(const std::string& profile = "e-m10", const std::string& quality = "LF")
    {
        camsim::SimServerOptions options;
        options.profile = profile;
        options.generatedFiles = 6;
        options.requestLog = [this](const std::string& line) {
            std::lock_guard lock(logMutex);
            requests << QString::fromStdString(line);
        };
        server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(server->isValid()) << server->errorText();
        ASSERT_NE(server->start(), 0);
        server->camera().setQuality(quality);
        host = QStringLiteral("127.0.0.1:%1").arg(server->port());
        TCameraLink link = TCameraLink::ToHost(host);
        // Downloads of the file named broken ask for a path the card has not: each fails with 404.
        link.StreamTransport = [this](const TCameraStreamRequest& request) {
            TCameraStreamRequest asked = request;
            if (!broken.isEmpty() && asked.Url.endsWith(QLatin1Char('/') + broken))
                asked.Url += QStringLiteral(".gone");
            return TCameraLink::StreamHttp(asked);
        };
        import = std::make_unique<TCameraImport>(link);
        mode = std::make_unique<TCameraModeAction>(link);
        mode->SwitchPauseMs = 0;
        TOIShare commandList;
        ASSERT_TRUE(commandList.Load(host));
        ASSERT_TRUE(import->Probe(commandList));
        const TCGIFunction* switching = commandList.Functions.Find(QStringLiteral("switch_cammode"));
        ASSERT_NE(switching, nullptr);
        ASSERT_TRUE(mode->Probe(*switching));
        live = std::make_unique<TLiveImport>(*import, mode.get(), [this] { return cameraThere; });
        live->SetPollInterval(20);
        live->SetTargetFolder(target.path());
        QObject::connect(live.get(), &TLiveImport::FileLanded,
            [this](const TCameraImportItem& file, const QString&) { landed << file.FileName; });
        QObject::connect(live.get(), &TLiveImport::FileFailed,
            [this](const TCameraImportItem& file, const QString&, bool final) {
                if (final)
                    failed << file.FileName;
            });
    }

    // The body's own shutter button, as the photographer presses it.
    bool shoot(int count = 1)
    {
        TCameraRequest request;
        request.Url = QStringLiteral("http://%1/__sim/shoot?count=%2").arg(host).arg(count);
        request.ReadTimeoutMs = 5000;
        return TCameraLink::SendHttp(request).Code == 200;
    }

    QByteArray cardBytes(const QString& cameraPath) const
    {
        const std::string path = "/DCIM" + cameraPath.toStdString();
        const auto entry = server->card().find(path);
        if (!entry)
            return {};
        QByteArray bytes(qsizetype(entry->size), Qt::Uninitialized);
        qint64 offset = 0;
        while (offset < bytes.size()) {
            const size_t n = server->card().read(
                path, uint64_t(offset), bytes.data() + offset, size_t(bytes.size() - offset));
            if (n == 0)
                return {};
            offset += qint64(n);
        }
        return bytes;
    }

    QStringList targetFiles() const
    {
        return QDir(target.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    int requestsFor(const QString& what)
    {
        std::lock_guard lock(logMutex);
        return int(requests.filter(what).size());
    }

    // A few polls more than now have run.
    bool pollsPass(int count = 3)
    {
        const int before = requestsFor(QStringLiteral("DCIM")) + requestsFor(QStringLiteral("get_imglist"));
        return QTest::qWaitFor(
            [&] {
                return requestsFor(QStringLiteral("DCIM")) + requestsFor(QStringLiteral("get_imglist"))
                    >= before + 2 * count;
            },
            kWaitMs);
    }

    QTemporaryDir target;
    QString host;
    std::mutex logMutex;
    QStringList requests;
    bool cameraThere = true;
    QString broken;
    QStringList landed;
    QStringList failed;
    std::unique_ptr<camsim::SimServer> server;
    std::unique_ptr<TCameraImport> import;
    std::unique_ptr<TCameraModeAction> mode;
    std::unique_ptr<TLiveImport> live;
};

TEST_F(LiveImportTest, ShotsTakenWhileRunningLandInOrderOnceAndIntact)
{
    start();
    live->Start();
    ASSERT_TRUE(live->IsRunning());
    EXPECT_EQ(server->camera().mode(), camsim::SimCamera::Mode::Shutter);
    EXPECT_TRUE(live->ModeNotice().isEmpty());
    EXPECT_FALSE(live->IsUsingImageList());
    const int before = live->Latest().Count();
    EXPECT_GT(before, 0);

    // Batches of shots, some while copies run; nothing already on the card is fetched.
    int taken = 0;
    for (const int batch : { 1, 3, 1, 5, 2, 8 }) {
        ASSERT_TRUE(shoot(batch));
        taken += batch;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return live->DownloadedCount() + live->QueueLength() > taken - batch; }, kWaitMs));
    }
    ASSERT_EQ(taken, 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->DownloadedCount() == 20; }, kWaitMs))
        << landed.join(' ').toStdString();
    ASSERT_TRUE(pollsPass());
    EXPECT_EQ(live->DownloadedCount(), 20);
    EXPECT_FALSE(live->IsTransferring());

    // In the order they were taken, each once.
    QStringList sorted = landed;
    sorted.sort();
    EXPECT_EQ(landed, sorted);
    EXPECT_EQ(landed.size(), 20);
    EXPECT_EQ(targetFiles(), sorted);
    qint64 bytes = 0;
    for (const QString& name : landed) {
        QFile copy(target.filePath(name));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        const QByteArray original = cardBytes(QStringLiteral("/100OLYMP/") + name);
        ASSERT_FALSE(original.isEmpty()) << name.toStdString();
        EXPECT_EQ(copy.readAll(), original) << name.toStdString();
        bytes += original.size();
    }
    EXPECT_EQ(live->DownloadedBytes(), bytes);
    EXPECT_TRUE(live->IsJpeg());
    EXPECT_FALSE(live->IsRaw());
    EXPECT_TRUE(live->LastTakeInfo().startsWith(landed.last() + QLatin1Char('\t')));
    EXPECT_TRUE(live->LastTakeInfo().contains(QStringLiteral("\r\nvom ")));

    // Left: no more polls, the counters stay.
    live->Leave();
    const int polls = requestsFor(QStringLiteral("DCIM"));
    ASSERT_TRUE(shoot());
    QTest::qWait(100);
    EXPECT_EQ(requestsFor(QStringLiteral("DCIM")), polls);
    EXPECT_EQ(live->DownloadedCount(), 20);
}

TEST_F(LiveImportTest, TheFilterQueuesExactlyTheChosenKinds)
{
    start("e-m10", "LF+RAW");
    live->SetFilter({ QStringLiteral("orf"), QStringLiteral(" MOV") });
    live->Start();
    ASSERT_TRUE(shoot(2));
    server->card().addShot("MOV", server->clock(), server->camera().shotInfo(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->DownloadedCount() == 3; }, kWaitMs))
        << live->DownloadedCount() << " " << landed.join(' ').toStdString() << " " << live->QueueLength();
    ASSERT_TRUE(pollsPass());
    const QStringList files = targetFiles();
    ASSERT_EQ(files.size(), 3) << files.join(' ').toStdString();
    EXPECT_EQ(files.filter(QStringLiteral(".ORF")).size(), 2);
    EXPECT_EQ(files.filter(QStringLiteral(".MOV")).size(), 1);
    // The newest shot is the movie.
    EXPECT_FALSE(live->IsRaw());
    EXPECT_FALSE(live->IsJpeg());

    // JPEG only from now on: the next pair brings its JPEG alone.
    live->SetFilter({ QStringLiteral("JPG") });
    ASSERT_TRUE(shoot());
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->DownloadedCount() == 4; }, kWaitMs))
        << live->DownloadedCount() << " " << landed.join(' ').toStdString() << " " << live->QueueLength();
    ASSERT_TRUE(pollsPass());
    EXPECT_EQ(targetFiles().size(), 4);
    EXPECT_TRUE(landed.last().endsWith(QLatin1String(".JPG")));
    EXPECT_TRUE(live->IsJpeg());
    EXPECT_TRUE(live->IsRaw());
}

TEST_F(LiveImportTest, CancelDuringACopyLeavesNoPartialFile)
{
    start("omd-v260");
    live->Start();
    server->card().addShot("MOV", server->clock(), server->camera().shotInfo(0));
    bool cancelled = false;
    QObject::connect(live.get(), &TLiveImport::BytesReceived, [&](qint64 received, qint64 expected) {
        if (!cancelled && received > 0 && received < expected) {
            cancelled = true;
            EXPECT_TRUE(live->IsTransferring());
            live->CancelTransfer();
        }
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return cancelled; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !live->IsTransferring(); }, kWaitMs));
    EXPECT_TRUE(targetFiles().isEmpty()) << targetFiles().join(' ').toStdString();
    EXPECT_EQ(live->DownloadedCount(), 0);
    EXPECT_EQ(live->QueueLength(), 0);

    // Cancelled stays cancelled: new shots are not queued until the next start.
    ASSERT_TRUE(shoot());
    EXPECT_FALSE(live->RequestData(true));
    EXPECT_FALSE(live->RequestData(true));
    EXPECT_FALSE(live->IsTransferring());
    EXPECT_TRUE(targetFiles().isEmpty());

    // A new start takes a new baseline: the cancelled movie is old now.
    live->Start();
    EXPECT_FALSE(live->IsCancelled());
    ASSERT_TRUE(shoot());
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->DownloadedCount() == 1; }, kWaitMs));
    EXPECT_EQ(targetFiles().size(), 1);
    EXPECT_TRUE(targetFiles().first().endsWith(QLatin1String(".JPG")));
}

TEST_F(LiveImportTest, FailingCopiesAreRetriedThriceAndNeverLeaveAFile)
{
    start();
    live->Start();
    int attempts = 0;
    QObject::connect(
        live.get(), &TLiveImport::DownloadStarted, [&](const TCameraImportItem&) { ++attempts; });
    // The camera fails every download of the shot.
    const auto blocked = server->card().addShot("LF", server->clock(), server->camera().shotInfo(0));
    ASSERT_EQ(blocked.size(), 1u);
    const QString blockedName = QString::fromStdString(blocked.front().name);
    broken = blockedName;
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->FailedCount() == 1; }, kWaitMs));
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(failed, QStringList({ blockedName }));
    EXPECT_EQ(live->DownloadedCount(), 0);
    EXPECT_TRUE(targetFiles().isEmpty()) << targetFiles().join(' ').toStdString();
    broken.clear();
    ASSERT_TRUE(pollsPass());
    // Failed for good: not fetched again; the next shot is.
    EXPECT_EQ(attempts, 3);
    ASSERT_TRUE(shoot());
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->DownloadedCount() == 1; }, kWaitMs));
    EXPECT_EQ(targetFiles().size(), 1);

    // The target folder goes: the shot waits in the queue and lands once the folder is back.
    const QString folder = target.path();
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(shoot());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !live->Notice().isEmpty(); }, kWaitMs));
    EXPECT_EQ(live->Notice(),
        QStringLiteral("Das Zielverzeichnis fehlt. Die Dateien warten in der Warteschlange."));
    EXPECT_TRUE(live->IsTransferring());
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->DownloadedCount() == 2; }, kWaitMs));
    EXPECT_TRUE(live->Notice().isEmpty());
}

TEST_F(LiveImportTest, ACameraThatGoesAwayIsReportedAndPolledOnWhenBack)
{
    start();
    live->Start();
    server->setPower(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !live->Notice().isEmpty(); }, kWaitMs));
    EXPECT_EQ(live->Notice(),
        QStringLiteral("Die Kamera antwortet nicht. Live-Import macht weiter, sobald sie wieder da ist."));
    EXPECT_TRUE(live->IsRunning());
    server->setPower(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->Notice().isEmpty(); }, kWaitMs));
    // Back in shutter mode, where the body shoots by itself.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return server->camera().mode() == camsim::SimCamera::Mode::Shutter; }, kWaitMs));
    ASSERT_TRUE(shoot());
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->DownloadedCount() == 1; }, kWaitMs));
}

TEST_F(LiveImportTest, ABodyWithoutFolderPagesOrShutterModeIsPolledThroughTheListing)
{
    start("newbody");
    live->Start();
    EXPECT_FALSE(live->HasShutterMode());
    EXPECT_EQ(live->ModeNotice(),
        QStringLiteral("Diese Kamera hat keinen reinen Auslösemodus: Live-Import liest ihre Bilder im "
                       "Wiedergabemodus."));
    EXPECT_TRUE(live->IsUsingImageList());
    EXPECT_EQ(server->camera().mode(), camsim::SimCamera::Mode::Play);
    EXPECT_FALSE(live->Folder().isEmpty());
    EXPECT_GT(live->Latest().Count(), 0);

    // A picture the body wrote by itself comes in through get_imglist.
    const auto shot = server->card().addShot("LF", server->clock(), server->camera().shotInfo(0));
    ASSERT_EQ(shot.size(), 1u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->DownloadedCount() == 1; }, kWaitMs));
    EXPECT_EQ(landed, QStringList({ QString::fromStdString(shot.front().name) }));
    QFile copy(target.filePath(landed.first()));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), cardBytes(live->Latest()[0]->CameraPath()));
    EXPECT_GT(requestsFor(QStringLiteral("get_imglist")), 2);
}

TEST_F(LiveImportTest, ADifferentFileUnderAShotsNameIsKeptAndTheShotTakesAFreeName)
{
    start();
    live->Start();
    // Something of the user's turns up under the name just as the shot is fetched, and a folder
    // holds the next free name.
    const QByteArray mine("not the camera's picture");
    QObject::connect(live.get(), &TLiveImport::DownloadStarted, [&](const TCameraImportItem& file) {
        QFile other(target.filePath(file.FileName));
        if (!other.exists() && other.open(QIODevice::WriteOnly))
            other.write(mine);
        const QString variant = file.FileName.left(file.FileName.lastIndexOf(QLatin1Char('.'))) + "_1.JPG";
        QDir(target.path()).mkdir(variant);
    });
    QStringList paths;
    QObject::connect(live.get(), &TLiveImport::FileLanded,
        [&](const TCameraImportItem&, const QString& path) { paths << path; });
    ASSERT_TRUE(shoot());
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->DownloadedCount() == 1; }, kWaitMs));
    ASSERT_EQ(landed.size(), 1);
    const QString name = landed.first();
    const QString stem = name.left(name.lastIndexOf(QLatin1Char('.')));
    EXPECT_EQ(paths, QStringList({ target.filePath(stem + "_2.JPG") }));
    QFile other(target.filePath(name));
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), mine);
    QFile copy(paths.value(0));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), cardBytes(QStringLiteral("/%1/%2").arg(live->Folder(), name)));
}

TEST_F(LiveImportTest, ShotsTakenJustBeforeTheCameraWentAwayAreFetchedAfterItIsBack)
{
    start();
    live->Start();
    // Shot, and gone before the shot was fetched: the page is stopped with the camera away.
    cameraThere = false;
    ASSERT_TRUE(shoot(2));
    live->Leave();
    ASSERT_FALSE(live->IsRunning());
    EXPECT_EQ(live->DownloadedCount(), 0);

    // Back: the page starts again and goes on from its baseline.
    cameraThere = true;
    live->Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return live->DownloadedCount() == 2; }, kWaitMs))
        << live->DownloadedCount();

    // Left by the user with the camera there: a new start takes a new baseline.
    live->Leave();
    ASSERT_TRUE(shoot());
    live->Start();
    ASSERT_TRUE(pollsPass());
    EXPECT_EQ(live->DownloadedCount(), 2);
    EXPECT_EQ(targetFiles().size(), 2);
}

} // namespace
