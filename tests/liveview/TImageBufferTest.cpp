#include "LiveViewTestSupport.h"

#include "liveview/TImageBuffer.h"

#include <gtest/gtest.h>

using namespace lvtest;

namespace {

constexpr quint16 First = TImageBlock::FirstBlock;
constexpr quint16 Middle = TImageBlock::MiddleBlock;
constexpr quint16 Last = TImageBlock::LastBlock;
constexpr quint32 Source = 0x12345678;

const QByteArray kSoi = QByteArray::fromHex("FFD8FFDB");

struct Delivered
{
    qint32 timestamp;
    QByteArray jpeg;
    int orientation;
};

// A buffer whose handler records each announced frame.
struct Recorder
{
    TImageBuffer buffer;
    std::vector<Delivered> frames;
    Recorder()
    {
        buffer.SetImageHandler(
            [this](TImageBuffer&, TImageBlocks& frame, QBuffer& stream, const TMetaData& info) {
                EXPECT_EQ(stream.pos(), 0);
                frames.push_back({ frame.Timestamp(), stream.data(), info.GetOrientation() });
            });
    }
    void add(const QByteArray& d) { buffer.AddData(d); }
};

QByteArray firstBlock(quint16 seq, quint32 ts, const QByteArray& jpeg, QByteArray info = informationBlock(),
    quint32 source = Source)
{
    return datagram(First, seq, ts, source, jpeg, info);
}

} // namespace

TEST(TImageBufferTest, OutOfOrderBlocksCompleteOnceInSequenceOrder)
{
    Recorder r;
    r.add(datagram(Last, 9, 100, Source, "CCC\xFF\xD9"));
    r.add(firstBlock(7, 100, kSoi + "AAA"));
    EXPECT_TRUE(r.frames.empty());
    r.add(datagram(Middle, 8, 100, Source, "BBB"));
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].jpeg, kSoi + "AAABBBCCC\xFF\xD9");
    EXPECT_EQ(r.buffer.CompletedFrameRate(), 1);
    EXPECT_EQ(r.buffer.BegunFrameRate(), 1);
    // A late copy of a block of a complete frame is ignored.
    r.add(datagram(Middle, 8, 100, Source, "BBB"));
    EXPECT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.buffer.FrameCount(), 1); // the completed frame stays until a newer one completes
}

TEST(TImageBufferTest, FirstBlockArrivingLastCompletesAndCarriesItsInformation)
{
    Recorder r;
    QByteArray info = informationBlock();
    info[19] = 6;
    r.add(datagram(Middle, 11, 5, Source, "B"));
    r.add(datagram(Last, 12, 5, Source, "C"));
    r.add(firstBlock(10, 5, kSoi, info));
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].jpeg, kSoi + "BC");
    EXPECT_EQ(r.frames[0].orientation, 90);
}

TEST(TImageBufferTest, DuplicateMiddleBlockOrGapNeverCompletes)
{
    Recorder r;
    r.add(firstBlock(7, 100, kSoi));
    r.add(datagram(Middle, 8, 100, Source, "B"));
    r.add(datagram(Middle, 8, 100, Source, "B"));
    r.add(datagram(Last, 9, 100, Source, "C"));
    EXPECT_TRUE(r.frames.empty());

    r.add(firstBlock(20, 101, kSoi));
    r.add(datagram(Last, 22, 101, Source, "C"));
    EXPECT_TRUE(r.frames.empty());
    r.add(firstBlock(30, 102, kSoi)); // a lone first block
    EXPECT_TRUE(r.frames.empty());
    EXPECT_EQ(r.buffer.FrameCount(), 3);
}

TEST(TImageBufferTest, FrameAcrossTheSequenceWrapCompletes)
{
    // The run 65534, 65535, 0 is unbroken in 16-bit arithmetic.
    Recorder r;
    r.add(firstBlock(65534, 1, kSoi + "A"));
    r.add(datagram(Last, 0, 1, Source, "C"));
    r.add(datagram(Middle, 65535, 1, Source, "B"));
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].jpeg, kSoi + "ABC");
}

TEST(TImageBufferTest, NewerFrameCompletingFirstRemovesTheOlderOne)
{
    Recorder r;
    r.add(firstBlock(1, 100, kSoi + "old"));
    r.add(firstBlock(10, 200, kSoi + "new"));
    r.add(datagram(Last, 11, 200, Source, "!"));
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].timestamp, 200);
    EXPECT_EQ(r.buffer.FrameCount(), 1);
    // Later blocks of frame 100 begin a frame that lacks its first block and never completes.
    r.add(datagram(Last, 2, 100, Source, "x"));
    EXPECT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.buffer.FrameCount(), 2);
    r.add(firstBlock(20, 300, kSoi));
    r.add(datagram(Last, 21, 300, Source, "y"));
    ASSERT_EQ(r.frames.size(), 2u);
    EXPECT_EQ(r.frames[1].timestamp, 300);
    EXPECT_EQ(r.buffer.FrameCount(), 1);
}

TEST(TImageBufferTest, FramesOfALowerSourceGoWhenAHigherSourceCompletes)
{
    Recorder r;
    r.add(firstBlock(1, 500, kSoi, informationBlock(), 0x100));
    r.add(firstBlock(5, 10, kSoi, informationBlock(), 0x200));
    r.add(datagram(Last, 6, 10, 0x200, "z"));
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.buffer.FrameCount(), 1);
    EXPECT_EQ(r.buffer.Frame(0).Source(), 0x200);
}

TEST(TImageBufferTest, ShortInformationBlockReadsZeroBeyondIt)
{
    TImageBuffer buffer;
    TMetaData seen;
    bool called = false;
    buffer.SetImageHandler([&](TImageBuffer&, TImageBlocks&, QBuffer&, const TMetaData& info) {
        seen = info;
        called = true;
    });
    QByteArray info = informationBlock(40);
    info[19] = 3;
    buffer.AddData(firstBlock(1, 1, kSoi, info));
    buffer.AddData(datagram(Last, 2, 1, Source, "e"));
    ASSERT_TRUE(called);
    EXPECT_EQ(seen.Length(), 40);
    EXPECT_EQ(seen.GetOrientation(), 180);
    EXPECT_EQ(seen.GetShutterSpeedText(), "n/a");
    EXPECT_EQ(seen.GetISOText(), "0");
    EXPECT_EQ(buffer.LastJpegStart(), 12 + 40);
}

TEST(TImageBufferTest, JpegStartIsSearchedAfterTheFixedHeader)
{
    // A source identifier that spells the start sequence must not be taken for the picture.
    const QByteArray d = firstBlock(1, 7, kSoi + "P", informationBlock(), 0xFFD8FFDB);
    EXPECT_EQ(TImageBuffer::FindJpegStart(d), 12 + 192);
    EXPECT_EQ(TImageBuffer::FindJpegStart(datagram(First, 1, 1, 1, {}, informationBlock())), -1);

    Recorder r;
    r.add(d);
    r.add(datagram(Last, 2, 7, 0xFFD8FFDB, "Q"));
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].jpeg, kSoi + "PQ");
}

TEST(TImageBufferTest, FirstBlockWithoutJpegStartStillCompletesWithoutImageStart)
{
    Recorder r;
    r.add(datagram(First, 1, 9, Source, {}, QByteArray("info only")));
    r.add(datagram(Last, 2, 9, Source, "tail"));
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].jpeg, "tail");
}

TEST(TImageBufferTest, ShortAndForeignDatagramsAreIgnored)
{
    LogCapture log;
    Recorder r;
    r.add(QByteArray(11, '\x90'));
    EXPECT_EQ(log.count("TImageBuffer.AddData: Ungültige Blocklänge beim Lesen des Livestreams (11)"), 1);
    r.add(QByteArray());
    r.add(datagram(0x8061, 1, 1, Source, "x"));
    r.add(datagram(0x90E0, 1, 1, Source, "x"));
    EXPECT_EQ(r.buffer.FrameCount(), 0);
    r.add(datagram(Middle, 1, 1, Source)); // exactly the header: an empty block
    EXPECT_EQ(r.buffer.FrameCount(), 1);
}

TEST(TImageBufferTest, PendingFramesAndFrameSizeAreCapped)
{
    Recorder r;
    for (quint32 ts = 0; ts < 1000; ++ts)
        r.add(firstBlock(quint16(ts), ts, kSoi));
    EXPECT_EQ(r.buffer.FrameCount(), TImageBuffer::kMaxPendingFrames);
    EXPECT_EQ(r.buffer.PeakFrameCount(), TImageBuffer::kMaxPendingFrames);
    EXPECT_EQ(r.buffer.FramesBegun(), 1000u);
    EXPECT_EQ(r.buffer.FrameCount() + r.buffer.FramesEvicted(), 1000u);
    // The newest frames stay, so a frame still arriving can complete.
    r.add(datagram(Last, 1000, 999, Source, "z"));
    ASSERT_EQ(r.frames.size(), 1u);
    EXPECT_EQ(r.frames[0].timestamp, 999);

    TImageBuffer one;
    for (int i = 0; i < TImageBlocks::kMaxBlocks + 100; ++i)
        one.AddData(datagram(Middle, quint16(i), 5, Source, "m"));
    ASSERT_EQ(one.FrameCount(), 1);
    EXPECT_EQ(one.Frame(0).BlockCount(), TImageBlocks::kMaxBlocks);
}

TEST(TImageBufferTest, HandlerThatClearsTheBufferEndsTheCompletionSafely)
{
    TImageBuffer buffer;
    int calls = 0;
    buffer.SetImageHandler([&](TImageBuffer& sender, TImageBlocks&, QBuffer&, const TMetaData&) {
        ++calls;
        sender.Clear();
    });
    buffer.AddData(firstBlock(1, 1, kSoi));
    buffer.AddData(firstBlock(5, 2, kSoi));
    buffer.AddData(datagram(Last, 6, 2, Source, "z"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(buffer.FrameCount(), 0);
    buffer.AddData(firstBlock(8, 3, kSoi));
    buffer.AddData(datagram(Last, 9, 3, Source, "z"));
    EXPECT_EQ(calls, 2);
}

TEST(TImageBufferTest, BlockOfAnotherFrameIsRejectedByTheFrame)
{
    LogCapture log;
    TImageBlocks frame;
    EXPECT_TRUE(frame.AddBlock(First, 1, kSoi, Source, 10));
    EXPECT_FALSE(frame.AddBlock(Last, 2, "x", Source, 11));
    const QStringList lines = log.lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith(": TImageBlocks.AddBlock: Abweichende Blockdaten!"));
    EXPECT_TRUE(
        lines[1].endsWith(": TImageBlocks.AddBlock (Ex): TImageBlocks.AddBlock: Abweichende Blockdaten!"));
    EXPECT_EQ(frame.BlockCount(), 1);
    EXPECT_TRUE(frame.GetImage().data().isEmpty()); // incomplete: empty stream
}

TEST(TImageBufferTest, ClearResetsRatesAndFrames)
{
    Recorder r;
    r.add(firstBlock(1, 1, kSoi));
    r.add(datagram(Last, 2, 1, Source, "z"));
    r.buffer.Clear();
    EXPECT_EQ(r.buffer.FrameCount(), 0);
    EXPECT_EQ(r.buffer.CompletedFrameRate(), 0);
    EXPECT_EQ(r.buffer.BegunFrameRate(), 0);
    EXPECT_EQ(r.buffer.LastTimestamp(), 0);
    EXPECT_EQ(r.buffer.FramesCompleted(), 0u);
}
