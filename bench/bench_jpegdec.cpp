// Live view decoding: the fast decoder against the general one, Qt's own loader and raw TurboJPEG on
// simulator frames; plus reassembly per datagram and the histogram count of a full frame.
#include "liveview/HistogramCounter.h"
#include "liveview/JpegDec.h"
#include "liveview/TImageBuffer.h"
#include "sim/SimJpeg.h"

#include <QByteArray>
#include <QImage>

#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <vector>

namespace {

QByteArray simFrame(int width, int height)
{
    camsim::SimJpeg sim;
    const auto frame = sim.liveFrame(width, height, 17, 1.0);
    return QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size()));
}

const QByteArray& frameOf(int width)
{
    static const QByteArray small = simFrame(640, 480);
    static const QByteArray large = simFrame(1280, 960);
    return width == 640 ? small : large;
}

void BM_FastDecoder(benchmark::State& state)
{
    const QByteArray& jpeg = frameOf(int(state.range(0)));
    for (auto _ : state) {
        QImage image = DecodeJpegToBitmap(jpeg);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetBytesProcessed(qint64(state.iterations()) * jpeg.size());
}

void BM_RawTurboJpeg(benchmark::State& state)
{
    const QByteArray& jpeg = frameOf(int(state.range(0)));
    const int width = int(state.range(0));
    const int height = width * 3 / 4;
    tjhandle h = tjInitDecompress();
    QImage image(width, height, QImage::Format_RGB32);
    for (auto _ : state) {
        tjDecompress2(h, reinterpret_cast<const unsigned char*>(jpeg.constData()),
            static_cast<unsigned long>(jpeg.size()), image.bits(), width, int(image.bytesPerLine()), height,
            TJPF_BGRX, TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE);
        benchmark::DoNotOptimize(image.constBits());
    }
    tjDestroy(h);
}

void BM_GeneralDecoder(benchmark::State& state)
{
    const QByteArray& jpeg = frameOf(int(state.range(0)));
    for (auto _ : state) {
        QImage image = decodeJpegWithLibrary(jpeg);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_QImageLoadFromData(benchmark::State& state)
{
    const QByteArray& jpeg = frameOf(int(state.range(0)));
    for (auto _ : state) {
        QImage image;
        if (!image.loadFromData(jpeg, "JPG")) {
            state.SkipWithError("no JPEG image plugin");
            break;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The datagrams of one 1280 x 960 frame as the camera cuts them.
std::vector<QByteArray> datagramsOf(const QByteArray& jpeg, quint32 timestamp, quint16& sequence)
{
    std::vector<QByteArray> out;
    const qsizetype first = 1472 - 204;
    qsizetype used = 0;
    while (used < jpeg.size()) {
        const bool isFirst = used == 0;
        const qsizetype chunk = std::min(jpeg.size() - used, isFirst ? first : qsizetype(1460));
        const bool isLast = used + chunk == jpeg.size();
        QByteArray d(12, '\0');
        const quint16 kind = isFirst ? 0x9060 : (isLast ? 0x80E0 : 0x8060);
        d[0] = char(kind >> 8);
        d[1] = char(kind);
        d[2] = char(sequence >> 8);
        d[3] = char(sequence);
        ++sequence;
        for (int i = 0; i < 4; ++i)
            d[4 + i] = char(timestamp >> (24 - 8 * i));
        d[8] = 0x11;
        if (isFirst)
            d += QByteArray(192, '\0');
        d += jpeg.mid(used, chunk);
        out.push_back(d);
        used += chunk;
    }
    return out;
}

void BM_ReassemblyPerDatagram(benchmark::State& state)
{
    const QByteArray& jpeg = frameOf(1280);
    TImageBuffer buffer;
    qint64 frames = 0;
    buffer.SetImageHandler([&](TImageBuffer&, TImageBlocks&, QBuffer& stream, const TMetaData&) {
        benchmark::DoNotOptimize(stream.data().constData());
        ++frames;
    });
    quint16 sequence = 0;
    quint32 timestamp = 0;
    std::vector<std::vector<QByteArray>> prepared;
    for (int i = 0; i < 64; ++i)
        prepared.push_back(datagramsOf(jpeg, timestamp++, sequence));
    qint64 datagrams = 0;
    size_t next = 0;
    quint32 base = 0;
    for (auto _ : state) {
        // Timestamps must keep rising, or completed frames would count as old ones.
        if (next == prepared.size()) {
            state.PauseTiming();
            base += quint32(prepared.size());
            timestamp = base;
            sequence = 0;
            prepared.clear();
            for (int i = 0; i < 64; ++i)
                prepared.push_back(datagramsOf(jpeg, timestamp++, sequence));
            next = 0;
            state.ResumeTiming();
        }
        for (const QByteArray& d : prepared[next])
            buffer.AddData(d);
        datagrams += qint64(prepared[next].size());
        ++next;
    }
    state.SetItemsProcessed(datagrams);
    state.counters["datagrams_per_frame"] = double(datagramsOf(jpeg, 0, sequence).size());
    state.counters["ns_per_datagram"]
        = benchmark::Counter(double(datagrams), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_HistogramCount(benchmark::State& state)
{
    const QImage image = DecodeJpegToBitmap(frameOf(1280));
    HistogramCounter counter;
    for (auto _ : state) {
        counter.Count(image);
        benchmark::DoNotOptimize(counter.MaxMean());
    }
}

} // namespace

BENCHMARK(BM_FastDecoder)->Arg(640)->Arg(1280)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawTurboJpeg)->Arg(640)->Arg(1280)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GeneralDecoder)->Arg(640)->Arg(1280)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QImageLoadFromData)->Arg(640)->Arg(1280)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReassemblyPerDatagram)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HistogramCount)->Unit(benchmark::kMicrosecond);
