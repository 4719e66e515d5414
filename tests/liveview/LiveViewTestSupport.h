#pragma once

#include "common/LogCapture.h"

#include "base/TBaseObserver.h"
#include "base/TLogger.h"

#include <QByteArray>
#include <QImage>
#include <QStringList>

#include <turbojpeg.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace lvtest {

// A live view datagram as the camera sends it: RTP header, then (first block) the information
// block and the JPEG bytes.
inline QByteArray datagram(quint16 kind, quint16 sequence, quint32 timestamp, quint32 source,
    const QByteArray& payload = {}, const QByteArray& information = {})
{
    QByteArray d(12, '\0');
    d[0] = char(kind >> 8);
    d[1] = char(kind);
    d[2] = char(sequence >> 8);
    d[3] = char(sequence);
    for (int i = 0; i < 4; ++i) {
        d[4 + i] = char(timestamp >> (24 - 8 * i));
        d[8 + i] = char(source >> (24 - 8 * i));
    }
    return d + information + payload;
}

// An information block with the extension header, long enough to hold every field.
inline QByteArray informationBlock(int length = 192)
{
    QByteArray block(length, '\0');
    if (length >= 4) {
        block[0] = 0;
        block[1] = 1;
        block[3] = char((length - 4) / 4);
    }
    return block;
}

inline void put16(QByteArray& block, int at, quint32 v)
{
    block[at] = char(v >> 8);
    block[at + 1] = char(v);
}

inline void put32(QByteArray& block, int at, quint32 v)
{
    put16(block, at, v >> 16);
    put16(block, at + 2, v & 0xFFFF);
}

// A smooth colour picture (gradients), so decoders that round differently stay close.
inline QImage gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                qRgb(x * 255 / std::max(1, width - 1), y * 255 / std::max(1, height - 1),
                    (x + y) * 255 / std::max(1, width + height - 2)));
    return image;
}

// Encodes with TurboJPEG; flags as tjCompress2 takes them (TJFLAG_PROGRESSIVE ...).
inline QByteArray encode(const QImage& image, int subsampling, int quality = 90, int flags = 0)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    tjhandle h = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    QByteArray result;
    if (tjCompress2(h, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()), rgb.height(), TJPF_BGRX, &out,
            &size, subsampling, quality, flags)
        == 0)
        result = QByteArray(reinterpret_cast<const char*>(out), qsizetype(size));
    tjFree(out);
    tjDestroy(h);
    return result;
}

using LogCapture = lumivar::test::LogCapture;

} // namespace lvtest
