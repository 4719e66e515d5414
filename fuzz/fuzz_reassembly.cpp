// Feeds a sequence of datagrams to the live view reassembly buffer and decodes every frame it
// announces. Input: records of a 16-bit big-endian length followed by that many bytes; the last
// record may be cut short.
#include "liveview/JpegDec.h"
#include "liveview/TImageBuffer.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TImageBuffer buffer;
    buffer.SetImageHandler(
        [](TImageBuffer& sender, TImageBlocks& frame, QBuffer& stream, const TMetaData& info) {
            if (!frame.Complete() || stream.pos() != 0)
                std::abort();
            const QImage image = DecodeJpegToBitmap(stream.data());
            (void)image;
            (void)info.GetShutterSpeedText();
            (void)info.GetWhiteBalanceText();
            (void)info.GetHexDump();
            // Clearing from inside the handler must be safe; do it now and then.
            if (frame.Timestamp() % 7 == 3)
                sender.Clear();
        });
    size_t pos = 0;
    while (pos < size) {
        size_t length = size_t(data[pos]) << 8;
        if (pos + 1 < size)
            length |= data[pos + 1];
        pos += 2;
        if (pos > size)
            break;
        if (length > size - pos)
            length = size - pos;
        buffer.AddData(QByteArray(reinterpret_cast<const char*>(data + pos), qsizetype(length)));
        pos += length;
        if (buffer.FrameCount() > TImageBuffer::kMaxPendingFrames)
            std::abort();
        for (int i = 0; i < buffer.FrameCount(); ++i)
            if (buffer.Frame(i).BlockCount() > TImageBlocks::kMaxBlocks)
                std::abort();
    }
    return 0;
}
