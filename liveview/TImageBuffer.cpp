#include "liveview/TImageBuffer.h"

#include "base/TLogger.h"
#include "base/TSetup.h"

#include <QByteArrayView>

#include <exception>

namespace {

quint32 be16(const char* p)
{
    return quint32(quint8(p[0])) << 8 | quint8(p[1]);
}

quint32 be32(const char* p)
{
    return be16(p) << 16 | be16(p + 2);
}

// Timestamps of one stream are serial numbers: "older" holds across a wrap of the 32-bit value.
bool olderThan(qint32 timestamp, qint32 reference)
{
    return qint32(quint32(timestamp) - quint32(reference)) < 0;
}

} // namespace

TImageBuffer::TImageBuffer(const TSetup* setup)
    : m_setup(setup)
{ }

TImageBuffer::~TImageBuffer() = default;

bool TImageBuffer::detailedLog() const
{
    return m_setup && m_setup->DetailedLog;
}

qsizetype TImageBuffer::FindJpegStart(const QByteArray& datagram)
{
    static constexpr char kStart[] = { char(0xFF), char(0xD8), char(0xFF), char(0xDB) };
    if (datagram.size() < kHeaderSize + 4)
        return -1;
    return QByteArrayView(datagram).indexOf(QByteArrayView(kStart, 4), kHeaderSize);
}

void TImageBuffer::AddData(const QByteArray& datagram)
{
    if (datagram.size() < kHeaderSize) {
        TLogger::LogAlways(
            QStringLiteral("TImageBuffer.AddData: Ungültige Blocklänge beim Lesen des Livestreams (%1)")
                .arg(datagram.size()));
        return;
    }
    const char* p = datagram.constData();
    const quint16 kind = quint16(be16(p));
    const quint16 sequence = quint16(be16(p + 2));
    const qint32 timestamp = qint32(be32(p + 4));
    const qint32 source = qint32(be32(p + 8));
    if (detailedLog())
        TLogger::LogTrace(
            QStringLiteral("TImageBuffer.AddData: %1: %2.%3").arg(kind).arg(timestamp).arg(sequence));
    if (!TImageBlock::IsKnownKind(kind))
        return;
    m_lastTimestamp = timestamp;
    m_lastSequence = sequence;

    QByteArray information;
    QByteArray data;
    if (kind == TImageBlock::FirstBlock) {
        const qsizetype start = FindJpegStart(datagram);
        m_lastJpegStart = start;
        if (start < 0) {
            information = datagram.mid(kHeaderSize);
        } else {
            information = datagram.mid(kHeaderSize, start - kHeaderSize);
            data = datagram.mid(start);
        }
    } else {
        data = datagram.mid(kHeaderSize);
    }
    addBlock(kind, sequence, timestamp, source, information, data);
}

void TImageBuffer::addBlock(quint16 kind, quint16 sequence, qint32 timestamp, qint32 source,
    const QByteArray& information, const QByteArray& data)
{
    try {
        for (const auto& frame : m_frames) {
            if (frame->Timestamp() == timestamp && frame->Source() == source) {
                if (kind == TImageBlock::FirstBlock && !frame->Complete())
                    frame->MetaData().Assign(information);
                frame->AddBlock(kind, sequence, data, source, timestamp);
                return;
            }
        }
        while (int(m_frames.size()) >= kMaxPendingFrames) {
            if (detailedLog())
                TLogger::LogTrace(
                    QStringLiteral("TImageBuffer.AddBlock: pending image (%1) dropped (%2 blocks)")
                        .arg(m_frames.front()->Timestamp())
                        .arg(m_frames.front()->BlockCount()));
            m_frames.erase(m_frames.begin());
            ++m_framesEvicted;
        }
        m_frames.push_back(std::make_unique<TImageBlocks>());
        TImageBlocks& frame = *m_frames.back();
        m_peakFrames = std::max(m_peakFrames, int(m_frames.size()));
        frame.SetCompletionHandler([this](TImageBlocks& completed) { blocksComplete(completed); });
        if (kind == TImageBlock::FirstBlock)
            frame.MetaData().Assign(information);
        ++m_framesBegun;
        m_begunRate = m_begunCounter.Tick();
        // Last: the block may complete the frame, and the completion may remove frames.
        frame.AddBlock(kind, sequence, data, source, timestamp);
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TImageBuffer.AddBlock (Ex): ") + QString::fromLocal8Bit(e.what()));
    }
}

void TImageBuffer::blocksComplete(TImageBlocks& frame)
{
    try {
        m_completedRate = m_completedCounter.Tick();
        ++m_framesCompleted;
        const quint64 clears = m_clears;
        if (m_imageHandler) {
            QBuffer& stream = frame.GetImage();
            m_imageHandler(*this, frame, stream, frame.MetaData());
            if (clears != m_clears)
                return; // the handler stopped live view; the frame is gone
        }
        const qint32 timestamp = frame.Timestamp();
        const qint32 source = frame.Source();
        const bool detailed = detailedLog();
        if (detailed)
            TLogger::LogTrace(QStringLiteral("TImageBuffer.BlocksComplete: image (%1) announced (%2 blocks)")
                                  .arg(timestamp)
                                  .arg(frame.BlockCount()));
        for (auto it = m_frames.end(); it != m_frames.begin();) {
            --it;
            const TImageBlocks& other = **it;
            const bool obsolete = (other.Source() == source && olderThan(other.Timestamp(), timestamp))
                || other.Source() < source;
            if (!obsolete)
                continue;
            if (detailed)
                TLogger::LogTrace(
                    QStringLiteral("TImageBuffer.BlocksComplete: %1 image (%2) removed (%3 blocks)")
                        .arg(other.Complete() ? QStringLiteral("complete") : QStringLiteral("incomplete"))
                        .arg(other.Timestamp())
                        .arg(other.BlockCount()));
            it = m_frames.erase(it);
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TImageBuffer.BlocksComplete (Ex): ") + QString::fromLocal8Bit(e.what()));
    }
}

void TImageBuffer::Clear()
{
    m_frames.clear();
    m_completedRate = 0;
    m_begunRate = 0;
    m_lastTimestamp = 0;
    m_completedCounter.Clear();
    m_begunCounter.Clear();
    m_framesBegun = 0;
    m_framesCompleted = 0;
    m_framesEvicted = 0;
    m_peakFrames = 0;
    ++m_clears;
}
