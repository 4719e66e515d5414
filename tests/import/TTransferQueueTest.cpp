// The transfer queue against the simulator: tries and results per file, a shot that goes first
// (give way), a cancel in the middle of a file, and a file held while the camera is gone.
#include "import/TTransferQueue.h"

#include "base/AppTexts.h"
#include "base/QStringPrinter.h"
#include "import/ImportTestCard.h"
#include "sim/SimServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using lumivar::test::ImportTestCard;
using Outcome = TTransferQueue::TOutcome;

namespace {

class TransferQueueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        camsim::SimServerOptions options;
        options.cardDirectory = card.root().toStdString();
        options.switchOffMs = 600'000; // switched off, it closes connections unanswered
        server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(server->isValid()) << server->errorText();
        ASSERT_NE(server->start(), 0);
        TCameraLink link = TCameraLink::ToHost(QStringLiteral("127.0.0.1:%1").arg(server->port()));
        // Downloads of the file named broken ask for a path the card has not.
        link.StreamTransport = [this](const TCameraStreamRequest& request) {
            TCameraStreamRequest asked = request;
            ++downloads;
            if (!broken.isEmpty() && asked.Url.endsWith(broken))
                asked.Url += QStringLiteral(".gone");
            return TCameraLink::StreamHttp(asked);
        };
        queue = std::make_unique<TTransferQueue>(link);
        QObject::connect(queue.get(), &TTransferQueue::FileDone,
            [this](const TTransferQueue::TResult& result) { done.push_back(result); });
    }

    void enqueueAll()
    {
        for (const auto& [name, bytes] : card.content())
            queue->Enqueue(TCameraImportItem(QStringLiteral("/100OLYMP"), name, QString::number(bytes.size()),
                               QStringLiteral("22517"), QStringLiteral("29813")),
                target.path(), int(done.size()));
    }

    QStringList names() const
    {
        QStringList all;
        for (const TTransferQueue::TResult& result : done)
            all << result.Job.File.FileName + QLatin1Char(':') + QString::number(int(result.Outcome));
        return all;
    }

    QStringList entries() const
    {
        return QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    ImportTestCard card { { { QStringLiteral("P1.JPG"), 30'000 }, { QStringLiteral("P2.MOV"), 3'000'000 },
        { QStringLiteral("P3.JPG"), 20'000 } } };
    QTemporaryDir target;
    std::unique_ptr<camsim::SimServer> server;
    std::unique_ptr<TTransferQueue> queue;
    std::vector<TTransferQueue::TResult> done;
    QString broken;
    int downloads = 0;
};

TEST_F(TransferQueueTest, AFailingFileIsTriedAgainAtTheBackAndAShotGoesFirstWithoutCostingATry)
{
    queue->Attempts = 2;
    broken = QStringLiteral("/P1.JPG");
    enqueueAll();
    EXPECT_TRUE(queue->Run());
    EXPECT_EQ(names(), QStringList({ "P2.MOV:0", "P3.JPG:0", "P1.JPG:2" }));
    EXPECT_EQ(done.back().Job.Attempts, 2);
    EXPECT_EQ(done.back().Failure, TCameraFailure::Status);
    EXPECT_EQ(downloads, 4);
    EXPECT_EQ(entries(), QStringList({ "P2.MOV", "P3.JPG" }));

    // A shot needs the camera in the middle of the movie: the movie waits first, nothing of it is
    // left, and its try does not count.
    broken.clear();
    done.clear();
    ASSERT_TRUE(QDir(target.path()).removeRecursively() && QDir().mkpath(target.path()));
    queue->Attempts = 1;
    enqueueAll();
    bool gaveWay = false;
    QMetaObject::Connection giving = QObject::connect(
        queue.get(), &TTransferQueue::BytesReceived, [&](qint64 received, qint64 expected) {
            if (!gaveWay && received > 0 && received < expected && queue->Current()
                && queue->Current()->File.FileName == QLatin1String("P2.MOV")) {
                gaveWay = true;
                queue->GiveWay();
            }
        });
    EXPECT_FALSE(queue->Run());
    QObject::disconnect(giving);
    EXPECT_TRUE(gaveWay);
    EXPECT_EQ(queue->StopReason(), QStringLiteral("gave way"));
    EXPECT_EQ(names(), QStringList({ "P1.JPG:0" }));
    ASSERT_EQ(queue->Count(), 2);
    EXPECT_EQ(queue->Pending().front().File.FileName, QStringLiteral("P2.MOV"));
    EXPECT_EQ(entries(), QStringList({ "P1.JPG" }));
    EXPECT_TRUE(queue->Run());
    EXPECT_EQ(names(), QStringList({ "P1.JPG:0", "P2.MOV:0", "P3.JPG:0" }));

    // Cancelled in the middle of the movie: it fails as cancelled, the rest is forgotten.
    done.clear();
    ASSERT_TRUE(QDir(target.path()).removeRecursively() && QDir().mkpath(target.path()));
    enqueueAll();
    QObject::connect(queue.get(), &TTransferQueue::BytesReceived, [&](qint64 received, qint64 expected) {
        if (received > 0 && received < expected)
            queue->Cancel();
    });
    EXPECT_FALSE(queue->Run());
    EXPECT_EQ(names(), QStringList({ "P1.JPG:0", "P2.MOV:2" }));
    EXPECT_EQ(done.back().Failure, TCameraFailure::Cancelled);
    EXPECT_EQ(queue->Count(), 0);
    EXPECT_EQ(entries(), QStringList({ "P1.JPG" }));
}

// The camera goes away after the first file: the next one is held, not failed, and its try does not
// count; once the camera is back each file arrives once, complete.
TEST_F(TransferQueueTest, AFileThatFindsTheCameraGoneIsHeldAndFetchedOnceItIsBack)
{
    queue->HoldWhenGone = true;
    enqueueAll();
    QObject::connect(queue.get(), &TTransferQueue::FileDone, [this](const TTransferQueue::TResult& result) {
        if (result.Job.File.FileName == QLatin1String("P1.JPG"))
            server->setPower(false);
    });
    EXPECT_FALSE(queue->Run());
    EXPECT_TRUE(queue->Holding());
    EXPECT_EQ(names(), QStringList({ "P1.JPG:0" }));
    ASSERT_EQ(queue->Count(), 2);
    EXPECT_EQ(queue->Pending().front().File.FileName, QStringLiteral("P2.MOV"));
    EXPECT_EQ(queue->Pending().front().Attempts, 0);
    EXPECT_EQ(entries(), QStringList({ "P1.JPG" }));

    // Back: the rest in the background form, to the same end.
    server->setPower(true);
    QList<bool> stopped;
    QObject::connect(queue.get(), &TTransferQueue::Stopped, [&](bool all) { stopped << all; });
    EXPECT_TRUE(queue->Start());
    EXPECT_FALSE(queue->Start());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !stopped.isEmpty(); }, 10000));
    EXPECT_EQ(stopped, QList<bool>({ true }));
    EXPECT_FALSE(queue->Holding());
    EXPECT_EQ(names(), QStringList({ "P1.JPG:0", "P2.MOV:0", "P3.JPG:0" }));
    EXPECT_EQ(entries(), QStringList({ "P1.JPG", "P2.MOV", "P3.JPG" }));
    for (const auto& [name, bytes] : card.content()) {
        QFile copy(QDir(target.path()).filePath(name));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(copy.readAll(), bytes) << name.toStdString();
    }

    // Without the hold the same file fails and is not kept for later.
    done.clear();
    ASSERT_TRUE(QDir(target.path()).removeRecursively() && QDir().mkpath(target.path()));
    queue->HoldWhenGone = false;
    enqueueAll();
    server->setPower(true);
    EXPECT_FALSE(queue->Run());
    EXPECT_EQ(names(), QStringList({ "P1.JPG:0", "P2.MOV:2" }));
    EXPECT_EQ(queue->Pending().front().File.FileName, QStringLiteral("P3.JPG"));
}

} // namespace
