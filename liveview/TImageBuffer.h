#pragma once

#include "liveview/TCounter.h"
#include "liveview/TImageBlocks.h"

#include <QBuffer>
#include <QByteArray>

#include <functional>
#include <memory>
#include <vector>

class TSetup;

// Groups live view datagrams into frames, announces each completed frame with its camera
// information and discards the frames it makes obsolete. Main thread only.
class TImageBuffer
{
public:
    // Called for each completed frame; the stream belongs to the frame and is valid during the call.
    using ImageHandler = std::function<void(
        TImageBuffer& sender, TImageBlocks& frame, QBuffer& stream, const TMetaData& information)>;

    // Frames waiting at one time; a new frame beyond it replaces the oldest one. Normally a completed
    // frame removes its predecessors, so only a stream in which frames stop completing reaches it.
    static constexpr int kMaxPendingFrames = 16;
    static constexpr int kHeaderSize = 12;

    // The setup (may be null) is read for DetailedLog at each datagram.
    explicit TImageBuffer(const TSetup* setup = nullptr);
    ~TImageBuffer();
    TImageBuffer(const TImageBuffer&) = delete;
    TImageBuffer& operator=(const TImageBuffer&) = delete;

    void AddData(const QByteArray& datagram);
    void Clear();

    void SetImageHandler(ImageHandler handler) { m_imageHandler = std::move(handler); }
    bool HasImageHandler() const { return bool(m_imageHandler); }

    int CompletedFrameRate() const { return m_completedRate; }
    int BegunFrameRate() const { return m_begunRate; }
    // Totals since the last Clear.
    quint64 FramesBegun() const { return m_framesBegun; }
    quint64 FramesCompleted() const { return m_framesCompleted; }
    quint64 FramesEvicted() const { return m_framesEvicted; }
    // The most frames pending at one time since the last Clear.
    int PeakFrameCount() const { return m_peakFrames; }

    qint32 LastTimestamp() const { return m_lastTimestamp; }
    int LastSequence() const { return m_lastSequence; }
    qsizetype LastJpegStart() const { return m_lastJpegStart; }

    int FrameCount() const { return int(m_frames.size()); }
    const TImageBlocks& Frame(int index) const { return *m_frames[size_t(index)]; }

    // Where the JPEG data (FF D8 FF DB) of a first datagram begins, or -1. The search starts after the
    // fixed header, so header words that happen to hold the pattern are not taken for it.
    static qsizetype FindJpegStart(const QByteArray& datagram);

private:
    void addBlock(quint16 kind, quint16 sequence, qint32 timestamp, qint32 source,
        const QByteArray& information, const QByteArray& data);
    void blocksComplete(TImageBlocks& frame);
    bool detailedLog() const;

    const TSetup* m_setup;
    std::vector<std::unique_ptr<TImageBlocks>> m_frames;
    TCounter m_completedCounter;
    TCounter m_begunCounter;
    int m_completedRate = 0;
    int m_begunRate = 0;
    quint64 m_framesBegun = 0;
    quint64 m_framesCompleted = 0;
    quint64 m_framesEvicted = 0;
    int m_peakFrames = 0;
    qint32 m_lastTimestamp = 0;
    int m_lastSequence = 0;
    qsizetype m_lastJpegStart = -1;
    quint64 m_clears = 0; // lets a completion notice that its handler cleared the buffer
    ImageHandler m_imageHandler;
};
