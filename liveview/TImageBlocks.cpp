#include "liveview/TImageBlocks.h"

#include "base/TLogger.h"

#include <algorithm>
#include <exception>

namespace {

int kindRank(quint16 kind)
{
    switch (kind) {
    case TImageBlock::FirstBlock:
        return 0;
    case TImageBlock::LastBlock:
        return 2;
    default:
        return 1;
    }
}

} // namespace

TImageBlocks::TImageBlocks()
{
    m_image.setBuffer(&m_imageBytes);
}

TImageBlocks::~TImageBlocks() = default;

bool TImageBlocks::AddBlock(
    quint16 kind, quint16 sequence, const QByteArray& data, qint32 source, qint32 timestamp)
{
    try {
        if (!m_blocks.empty() && (timestamp != m_timestamp || source != m_source)) {
            const QString message = QStringLiteral("TImageBlocks.AddBlock: Abweichende Blockdaten!");
            TLogger::LogAlways(message);
            TLogger::LogAlways(QStringLiteral("TImageBlocks.AddBlock (Ex): ") + message);
            return false;
        }
        if (m_complete)
            return false;
        if (int(m_blocks.size()) >= kMaxBlocks || m_bytes + data.size() > kMaxBytes)
            return false;
        m_blocks.push_back(std::make_unique<TImageBlock>(kind, sequence, timestamp, source, data));
        m_bytes += data.size();
        if (kind == TImageBlock::FirstBlock)
            ++m_firstBlocks;
        else if (kind == TImageBlock::LastBlock)
            ++m_lastBlocks;
        if (m_blocks.size() == 1) {
            m_timestamp = timestamp;
            m_source = source;
            return true;
        }
        if (IsComplete()) {
            m_complete = true;
            // A copy: the handler may clear the buffer, which frees this frame and its handler.
            const CompletionHandler handler = m_onComplete;
            if (handler)
                handler(*this);
        }
        return true;
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TImageBlocks.AddBlock (Ex): ") + QString::fromLocal8Bit(e.what()));
        return false;
    }
}

bool TImageBlocks::IsComplete()
{
    if (m_complete)
        return true;
    try {
        return checkComplete();
    } catch (const std::exception& e) {
        TLogger::LogAlways(
            QStringLiteral("TImageBlocks.IsComplete (Ex): ") + QString::fromLocal8Bit(e.what()));
        return false;
    }
}

bool TImageBlocks::checkComplete()
{
    // Without both ends the run cannot be whole; this keeps the sort to the few calls that matter.
    if (m_blocks.empty() || m_firstBlocks == 0 || m_lastBlocks == 0)
        return false;
    // Sequence numbers count from the first block in 16-bit arithmetic, so a frame that spans the
    // wrap from 65535 to 0 is as whole as any other.
    quint16 anchor = 0;
    for (const auto& block : m_blocks) {
        if (block->Kind == TImageBlock::FirstBlock) {
            anchor = block->Sequence;
            break;
        }
    }
    std::stable_sort(m_blocks.begin(), m_blocks.end(), [anchor](const auto& a, const auto& b) {
        const int ra = kindRank(a->Kind);
        const int rb = kindRank(b->Kind);
        if (ra != rb)
            return ra < rb;
        return quint16(a->Sequence - anchor) < quint16(b->Sequence - anchor);
    });
    if (m_blocks.front()->Kind != TImageBlock::FirstBlock || m_blocks.back()->Kind != TImageBlock::LastBlock)
        return false;
    for (size_t i = 1; i < m_blocks.size(); ++i) {
        if (quint16(m_blocks[i]->Sequence - m_blocks[i - 1]->Sequence) != 1)
            return false;
    }
    return true;
}

QBuffer& TImageBlocks::GetImage()
{
    if (m_image.isOpen())
        m_image.close();
    m_imageBytes.clear();
    try {
        if (m_complete) {
            m_imageBytes.reserve(m_bytes);
            for (const auto& block : m_blocks)
                m_imageBytes.append(block->Data);
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TImageBlocks.GetImage (Ex): ") + QString::fromLocal8Bit(e.what()));
    }
    m_image.open(QIODevice::ReadOnly);
    m_image.seek(0);
    return m_image;
}
