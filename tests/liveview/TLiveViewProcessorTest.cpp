#include "LiveViewTestSupport.h"

#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "liveview/JpegDec.h"
#include "liveview/TLiveViewProcessor.h"
#include "sim/SimJpeg.h"
#include "sim/SimLiveView.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <atomic>

using namespace lvtest;

namespace {

struct Seen
{
    qint32 timestamp;
    bool decoded;
    QSize size;
    QString shutter, aperture, iso, wb, expcomp, focal, free, aspect;
    bool isoAuto;
    int battery, orientation, focusState;
    QRect focus;
};

// Collects every frame the processor announces, decoded as the panel would.
struct Collector
{
    std::vector<Seen> frames;
    explicit Collector(TLiveViewProcessor& p)
    {
        p.ImageBuffer().SetImageHandler([this](TImageBuffer&, TImageBlocks& frame, QBuffer& stream,
                                            const TMetaData& m) {
            const QImage image = DecodeJpegToBitmap(stream.data());
            frames.push_back({ frame.Timestamp(), !image.isNull(), image.size(), m.GetShutterSpeedText(),
                m.GetApertureText(), m.GetISOText(), m.GetWhiteBalanceText(), m.GetExposureCompensationText(),
                m.GetFocalLengthText(), m.GetFreeCapacityText(), m.GetAspectRatioText(), m.IsISOAuto(),
                m.GetBatteryLevel(), m.GetOrientation(), m.GetFocusState(), m.GetFocusFrame() });
        });
    }
};

camsim::SimLiveInfo cameraInfo()
{
    camsim::SimLiveInfo info;
    info.shutterNum = 1;
    info.shutterDen = 250;
    info.aperture10 = 56;
    info.iso = 400;
    info.isoAuto = true;
    info.focusState = 1;
    info.focusLeft = 280;
    info.focusTop = 200;
    info.focusWidth = 72;
    info.focusHeight = 64;
    info.battery = 63;
    info.whiteBalance = 18;
    info.expComp10 = -7;
    info.focalLength = 25;
    info.remainingShots = 321;
    info.orientation = 6;
    return info;
}

// Sends datagrams from the test to the processor on the loopback interface.
struct Sender
{
    QUdpSocket socket;
    quint16 port;
    explicit Sender(quint16 p)
        : port(p)
    { }
    void send(const QByteArray& d) { socket.writeDatagram(d, QHostAddress::LocalHost, port); }
    void frame(quint16 seq, quint32 ts, const QByteArray& jpeg)
    {
        const qsizetype half = jpeg.size() / 2;
        send(datagram(TImageBlock::FirstBlock, seq, ts, 77, jpeg.left(half), informationBlock()));
        send(datagram(TImageBlock::LastBlock, quint16(seq + 1), ts, 77, jpeg.mid(half)));
    }
};

// As the cameras write it: FF D8 FF DB, no JFIF segment.
QByteArray smallJpeg()
{
    camsim::SimJpeg sim;
    const auto frame = sim.liveFrame(64, 48, 1, 1.0);
    return QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size()));
}

} // namespace

TEST(TLiveViewProcessorTest, ReassemblesTheSimulatorStream)
{
    TNamedTexts::ResetToDefaults();
    TLiveViewProcessor processor;
    Collector collected(processor);
    const quint16 port = processor.Start(0);
    ASSERT_NE(port, 0);
    EXPECT_TRUE(processor.IsThreaded());
    EXPECT_GT(processor.GrantedReceiveBuffer(), 0);

    camsim::SimLiveView sim;
    sim.start(
        "127.0.0.1", port, 640, 480, 30, [] { return cameraInfo(); }, {}, 11);
    EXPECT_TRUE(QTest::qWaitFor([&] { return collected.frames.size() >= 45; }, 20000));
    sim.stop();
    const quint64 sent = sim.framesSent();
    QTest::qWait(200);
    processor.Stop();

    ASSERT_GE(collected.frames.size(), 45u);
    // Loopback loses nothing but a loaded machine may stall the test: most, not all, frames arrive.
    EXPECT_GE(collected.frames.size() * 10, sent * 8);
    for (size_t i = 0; i < collected.frames.size(); ++i) {
        const Seen& f = collected.frames[i];
        EXPECT_TRUE(f.decoded) << i;
        EXPECT_EQ(f.size, QSize(640, 480));
        if (i > 0) {
            EXPECT_GT(f.timestamp, collected.frames[i - 1].timestamp);
        }
    }
    const Seen& f = collected.frames.back();
    EXPECT_EQ(f.shutter, "1/250");
    EXPECT_EQ(f.aperture, "5.6");
    EXPECT_EQ(f.iso, "400");
    EXPECT_TRUE(f.isoAuto);
    EXPECT_EQ(f.wb, "Sonnig");
    EXPECT_EQ(f.expcomp, "-0.7");
    EXPECT_EQ(f.focal, "25 mm");
    EXPECT_EQ(f.free, "321");
    EXPECT_EQ(f.aspect, "4:3");
    EXPECT_EQ(f.battery, 63);
    EXPECT_EQ(f.orientation, 90);
    EXPECT_EQ(f.focusState, 1);
    EXPECT_EQ(f.focus, QRect(280, 200, 72, 64));
    // Stopped: everything reset.
    EXPECT_EQ(processor.DatagramCount(), 0);
    EXPECT_EQ(processor.GetFpsText(false), "0 fps");
}

TEST(TLiveViewProcessorTest, SurvivesLossReorderDuplicatesAndGarbage)
{
    TLiveViewProcessor processor;
    Collector collected(processor);
    const quint16 port = processor.Start(0);
    ASSERT_NE(port, 0);
    camsim::SimLiveView sim;
    camsim::SimStreamFaults faults;
    faults.loss = 0.02;
    faults.reorder = 0.1;
    faults.duplicate = 0.1;
    faults.garbage = 0.1;
    sim.start(
        "127.0.0.1", port, 320, 240, 30, [] { return cameraInfo(); }, faults, 5);
    int peak = 0;
    (void)QTest::qWaitFor(
        [&] {
            peak = std::max(peak, processor.ImageBuffer().FrameCount());
            return false;
        },
        4000);
    sim.stop();
    QTest::qWait(200);
    EXPECT_GT(processor.DatagramCount(), 200);
    EXPECT_LE(processor.ImageBuffer().PeakFrameCount(), TImageBuffer::kMaxPendingFrames);
    EXPECT_LE(peak, TImageBuffer::kMaxPendingFrames);
    EXPECT_GT(processor.ImageBuffer().FramesBegun(), processor.ImageBuffer().FramesCompleted());
    ASSERT_FALSE(collected.frames.empty());
    for (size_t i = 0; i < collected.frames.size(); ++i) {
        EXPECT_TRUE(collected.frames[i].decoded) << i; // no frame with a lost or doubled block
        if (i > 0) {
            EXPECT_GT(collected.frames[i].timestamp, collected.frames[i - 1].timestamp);
        }
    }
}

TEST(TLiveViewProcessorTest, StartTwiceAndStopWhileStopped)
{
    TLiveViewProcessor processor;
    processor.Stop(); // nothing happens
    EXPECT_FALSE(processor.IsListening());
    EXPECT_EQ(processor.GetFpsText(false), "0 fps");
    EXPECT_EQ(processor.GetFpsText(true), "0 fps | 0 fps (0)");

    const quint16 port = processor.Start(0);
    ASSERT_NE(port, 0);
    const QDateTime started = processor.StartTime();
    EXPECT_TRUE(started.isValid());
    Sender sender(port);
    sender.send(datagram(TImageBlock::MiddleBlock, 1, 1, 1, "x"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return processor.DatagramCount() == 1; }, 5000));
    EXPECT_EQ(processor.Start(0), port);
    EXPECT_EQ(processor.DatagramCount(), 1);
    EXPECT_EQ(processor.StartTime(), started);
    processor.Stop();
    EXPECT_FALSE(processor.StartTime().isValid());
    EXPECT_FALSE(processor.Receiving());
}

TEST(TLiveViewProcessorTest, PortInUse)
{
    TNamedTexts::ResetToDefaults();
    LogCapture log;
    QUdpSocket taken;
    ASSERT_TRUE(taken.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
    TLiveViewProcessor processor;
    EXPECT_EQ(processor.Start(taken.localPort()), 0);
    const QString expected
        = QString::fromUtf8("Der Port %1 für die Übertragung des Live-Streams konnte nicht "
                            "geöffnet werden!")
              .arg(taken.localPort());
    EXPECT_TRUE(processor.ErrorText().startsWith(expected)) << processor.ErrorText().toStdString();
    EXPECT_EQ(log.count(expected), 1);
    EXPECT_FALSE(processor.Receiving());
    EXPECT_FALSE(processor.IsListening());
}

TEST(TLiveViewProcessorTest, ShortDatagramsAndTheWatchdog)
{
    LogCapture log;
    TLiveViewProcessor processor;
    const quint16 port = processor.Start(0);
    ASSERT_NE(port, 0);
    Sender sender(port);
    sender.send(QByteArray(11, 'x'));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return log.count("Ungültige Blocklänge beim Lesen des Livestreams (11)") == 1; }, 5000));
    EXPECT_EQ(processor.DatagramCount(), 0);
    EXPECT_FALSE(processor.Receiving());

    sender.send(QByteArray(12, 'x'));
    ASSERT_TRUE(QTest::qWaitFor([&] { return processor.DatagramCount() == 1; }, 5000));
    EXPECT_TRUE(processor.Receiving());
    // 3000 ms after the last datagram the flag clears; the next datagram sets it again.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !processor.Receiving(); }, 10000));
    sender.send(QByteArray(12, 'y'));
    EXPECT_TRUE(QTest::qWaitFor([&] { return processor.Receiving(); }, 5000));
}

TEST(TLiveViewProcessorTest, StaleDatagramsAreSkippedAfterAStall)
{
    TLiveViewProcessor processor;
    Collector collected(processor);
    const quint16 port = processor.Start(0);
    ASSERT_NE(port, 0);
    Sender sender(port);
    const QByteArray jpeg = smallJpeg();
    sender.frame(100, 1, jpeg);
    // The main thread is blocked (no events) while the receiving thread queues the frame.
    const QDeadlineTimer queued(5000);
    while (processor.DatagramCount() < 2 && !queued.hasExpired())
        QThread::msleep(1);
    ASSERT_EQ(processor.DatagramCount(), 2);
    QThread::msleep(150);
    sender.frame(200, 2, jpeg);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !collected.frames.empty(); }, 5000));
    QTest::qWait(50);
    ASSERT_EQ(collected.frames.size(), 1u);
    EXPECT_EQ(collected.frames[0].timestamp, 2);
    EXPECT_TRUE(collected.frames[0].decoded);
    EXPECT_GE(processor.StaleDatagrams(), 2u);
}

// The events handled between datagrams may wait for the camera (a reconnect inside them waits for its
// answers). What ages meanwhile is dropped without handling events again, so a burst queued before
// such a wait ends the pass at once instead of one wait per datagram, and no old frame is shown.
TEST(TLiveViewProcessorTest, ADrainPassDropsWhatAgedWhileEventsWaited)
{
    TLiveViewProcessor processor;
    ASSERT_TRUE(processor.IsThreaded());
    Collector collected(processor);
    const quint16 port = processor.Start(0);
    ASSERT_NE(port, 0);
    Sender sender(port);
    const QByteArray jpeg = smallJpeg();
    constexpr int frames = 20;
    for (int i = 0; i < frames; ++i)
        sender.frame(quint16(100 + 2 * i), quint32(i + 1), jpeg);
    const QDeadlineTimer queued(5000);
    while (processor.DatagramCount() < 2 * frames && !queued.hasExpired())
        QThread::msleep(1);
    ASSERT_EQ(processor.DatagramCount(), 2 * frames);

    // Every round of events takes 60 ms, as a request waiting for the camera would.
    int slowRounds = 0;
    QTimer slow;
    slow.setInterval(0);
    QObject::connect(&slow, &QTimer::timeout, [&slowRounds] {
        ++slowRounds;
        QThread::msleep(60);
    });
    slow.start();
    processor.OnProcessTimer();
    slow.stop();

    EXPECT_LE(slowRounds, 4);
    EXPECT_LE(collected.frames.size(), 2u);
    EXPECT_GE(processor.StaleDatagrams(), quint64(2 * frames - 6));
    EXPECT_EQ(processor.QueuedDatagrams(), 0);
}

TEST(TLiveViewProcessorTest, DirectModeHandsEachDatagramOverAndStopsWhileStreaming)
{
    TSetup setup;
    setup.LiveViewThreaded = false;
    TLiveViewProcessor processor(&setup);
    Collector collected(processor);
    const quint16 port = processor.Start(0);
    ASSERT_NE(port, 0);
    EXPECT_FALSE(processor.IsThreaded());
    camsim::SimLiveView sim;
    sim.start(
        "127.0.0.1", port, 320, 240, 30, [] { return cameraInfo(); }, {}, 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return collected.frames.size() >= 10; }, 20000));
    EXPECT_EQ(processor.QueuedDatagrams(), 0);
    // Stop while datagrams still arrive: the waiting receiving thread must be released.
    processor.Stop();
    EXPECT_FALSE(processor.IsListening());
    const size_t seen = collected.frames.size();
    QTest::qWait(100);
    EXPECT_EQ(collected.frames.size(), seen);
    // And it starts again on a new port with the stream still running.
    const quint16 again = processor.Start(0);
    ASSERT_NE(again, 0);
    sim.start(
        "127.0.0.1", again, 320, 240, 30, [] { return cameraInfo(); }, {}, 4);
    EXPECT_TRUE(QTest::qWaitFor([&] { return collected.frames.size() >= seen + 5; }, 20000));
    sim.stop();
}

TEST(TLiveViewProcessorTest, DestroyedWhileStreaming)
{
    camsim::SimLiveView sim;
    for (bool threaded : { true, false }) {
        TSetup setup;
        setup.LiveViewThreaded = threaded;
        auto processor = std::make_unique<TLiveViewProcessor>(&setup);
        const quint16 port = processor->Start(0);
        ASSERT_NE(port, 0);
        sim.start(
            "127.0.0.1", port, 320, 240, 60, [] { return cameraInfo(); }, {}, 9);
        (void)QTest::qWaitFor([&] { return processor->ImageBuffer().FramesCompleted() >= 3; }, 10000);
        processor.reset();
        sim.stop();
    }
}
