#pragma once

#include "liveview/TImageBlock.h"
#include "liveview/TMetaData.h"

#include <QBuffer>
#include <QByteArray>

#include <functional>
#include <memory>
#include <vector>

// One live view frame being gathered from its datagrams, with the camera information of its first
// datagram. Complete once it holds one unbroken run of sequence numbers from its first block to its
// last block.
class TImageBlocks
{
public:
    using CompletionHandler = std::function<void(TImageBlocks& frame)>;

    // Limits of one frame, so a stream that never completes a frame cannot grow it without bound.
    // A 1280 x 960 frame needs a few hundred datagrams and well under 2 MiB.
    static constexpr int kMaxBlocks = 4096;
    static constexpr qsizetype kMaxBytes = 8 * 1024 * 1024;

    TImageBlocks();
    ~TImageBlocks();
    TImageBlocks(const TImageBlocks&) = delete;
    TImageBlocks& operator=(const TImageBlocks&) = delete;

    // False when the block was not stored: it belongs to another frame, the frame is complete
    // already (a late duplicate), or the frame is full.
    bool AddBlock(quint16 kind, quint16 sequence, const QByteArray& data, qint32 source, qint32 timestamp);
    // Sorts the blocks as a side effect.
    bool IsComplete();
    // The assembled JPEG bytes positioned at 0, or an empty stream while the frame is incomplete.
    // Owned by the frame.
    QBuffer& GetImage();

    void SetCompletionHandler(CompletionHandler handler) { m_onComplete = std::move(handler); }
    TMetaData& MetaData() { return m_metaData; }
    const TMetaData& MetaData() const { return m_metaData; }
    int BlockCount() const { return int(m_blocks.size()); }
    const TImageBlock& Block(int index) const { return *m_blocks[size_t(index)]; }
    qint32 Timestamp() const { return m_timestamp; }
    qint32 Source() const { return m_source; }
    bool Complete() const { return m_complete; }
    qsizetype DataSize() const { return m_bytes; }

private:
    bool checkComplete();

    TMetaData m_metaData;
    std::vector<std::unique_ptr<TImageBlock>> m_blocks;
    qint32 m_timestamp = 0;
    qint32 m_source = 0;
    bool m_complete = false;
    int m_firstBlocks = 0;
    int m_lastBlocks = 0;
    qsizetype m_bytes = 0;
    QByteArray m_imageBytes;
    QBuffer m_image;
    CompletionHandler m_onComplete;
};
