#include "base/TNamedTexts.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "liveview/JpegDec.h"
#include "liveview/TLiveViewAction.h"
#include "liveview/TLiveViewControl.h"
#include "liveview/TReleaseViewAction.h"
#include "sim/SimServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

namespace {

// Resident memory of this process in bytes; 0 where it cannot be read.
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

// A camera simulator in this process and the program's live view objects talking to it over
// 127.0.0.1, as the live view panel drives them.
struct LiveViewSession
{
    camsim::SimServer sim;
    QString host;
    TOIShare commandList;
    std::unique_ptr<TCameraModeAction> cameraMode;
    std::unique_ptr<TLiveViewAction> liveView;
    std::unique_ptr<TReleaseViewAction> releaseView;
    std::unique_ptr<TLiveViewControl> control;
    QString size;

    quint64 delivered = 0;
    quint64 undecodable = 0;
    quint64 wrongSize = 0;
    QSize expected;

    explicit LiveViewSession(camsim::SimServerOptions options)
        : sim(std::move(options))
    { }

    bool open(const QString& liveViewSize)
    {
        const quint16 port = sim.start(0);
        if (port == 0)
            return false;
        host = QStringLiteral("127.0.0.1:%1").arg(port);
        if (!commandList.Load(host))
            return false;
        const TCameraLink link = TCameraLink::ToHost(host);
        cameraMode = std::make_unique<TCameraModeAction>(link);
        liveView = std::make_unique<TLiveViewAction>(link);
        releaseView = std::make_unique<TReleaseViewAction>(link);
        for (TBaseRemoteAction* action : std::initializer_list<TBaseRemoteAction*> {
                 cameraMode.get(), liveView.get(), releaseView.get() }) {
            if (const TCGIFunction* function = commandList.Functions.Find(action->CGIName))
                action->Probe(*function);
        }
        size = liveViewSize;
        control = std::make_unique<TLiveViewControl>(
            *cameraMode, *liveView, *releaseView, [this] { return size; });
        control->ResizeToLiveView = [this](qint32 w, qint32 h) { expected = QSize(w, h); };
        // Every frame is decoded as the panel decodes it.
        liveView->Processor().ImageBuffer().SetImageHandler(
            [this](TImageBuffer&, TImageBlocks&, QBuffer& stream, const TMetaData&) {
                ++delivered;
                const QImage image = DecodeJpegToBitmap(stream.data());
                if (image.isNull())
                    ++undecodable;
                else if (image.size() != expected)
                    ++wrongSize;
            });
        return liveView->Enabled && cameraMode->Enabled;
    }
};

} // namespace

TEST(LiveViewRun, TenSecondsAt1280x960DeliverNearlyEveryFrame)
{
    TNamedTexts::ResetToDefaults();
    camsim::SimServerOptions options;
    options.profile = "omd-v260";
    options.fps = 30;
    LiveViewSession session(options);
    ASSERT_TRUE(session.open(QStringLiteral("1280 x 960")));

    ASSERT_TRUE(session.control->Start(2, 0)) << session.control->ErrorText().toStdString();
    EXPECT_EQ(session.expected, QSize(1280, 960));
    EXPECT_FALSE(session.control->ErrorVisible());
    EXPECT_TRUE(session.sim.liveViewRunning());
    QTest::qWait(10000);
    ASSERT_TRUE(session.control->Stop());
    EXPECT_FALSE(session.sim.liveViewRunning());

    const quint64 sent = session.sim.liveViewFramesSent();
    EXPECT_GE(sent, 200u); // 30 fps for 10 s, on a busy machine somewhat fewer
    // Loopback loses nothing; at most the frame on the wire when the stop went out may be cut.
    EXPECT_GE(session.delivered * 100, sent * 99) << session.delivered << " of " << sent;
    EXPECT_EQ(session.undecodable, 0u);
    EXPECT_EQ(session.wrongSize, 0u);
}

TEST(LiveViewRun, SixtySecondsOfLossReorderAndDuplicatesKeepMemoryFlatAndFramesWhole)
{
    camsim::SimServerOptions options;
    options.profile = "omd-v260";
    options.fps = 30;
    options.seed = 7;
    options.faults.stream.loss = 0.1;
    options.faults.stream.reorder = 0.1;
    options.faults.stream.duplicate = 0.1;
    LiveViewSession session(options);
    // Six datagrams a frame: enough frames survive the faults, and many are left broken.
    ASSERT_TRUE(session.open(QStringLiteral("640 x 480")));
    ASSERT_TRUE(session.control->Start(2, 0)) << session.control->ErrorText().toStdString();
    EXPECT_EQ(session.expected, QSize(640, 480));

    TLiveViewProcessor& processor = session.liveView->Processor();
    int peakFrames = 0;
    qsizetype peakQueue = 0;
    qint64 settled = 0;
    qint64 peakResident = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000) {
        QTest::qWait(100);
        peakFrames = std::max(peakFrames, processor.ImageBuffer().FrameCount());
        peakQueue = std::max(peakQueue, processor.QueuedDatagrams());
        const qint64 resident = residentBytes();
        // The first seconds fill caches and the allocator's pools; growth is measured after them.
        if (clock.elapsed() < 5000)
            settled = std::max(settled, resident);
        else
            peakResident = std::max(peakResident, resident);
    }
    const quint64 begun = processor.ImageBuffer().FramesBegun();
    const quint64 datagrams = quint64(processor.DatagramCount());
    ASSERT_TRUE(session.control->Stop());

    EXPECT_GT(datagrams, 3000u); // about 10000 on an idle machine
    EXPECT_GT(begun, session.delivered); // the faults did break frames
    EXPECT_LE(peakFrames, TImageBuffer::kMaxPendingFrames);
    EXPECT_LE(peakQueue, TLiveViewProcessor::kMaxQueuedDatagrams);
    if (settled > 0) {
        // A leak of one frame's worth per second would add far more than this over the run.
        EXPECT_LT(peakResident - settled, qint64(64) << 20) << settled << " -> " << peakResident;
    }
    // Whatever completed is a whole picture: no lost, doubled or swapped block slipped through.
    EXPECT_GE(session.delivered, 20u);
    EXPECT_EQ(session.undecodable, 0u);
    EXPECT_EQ(session.wrongSize, 0u);
}
