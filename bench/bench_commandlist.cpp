// Reading the E-M10 command list: what every connection to the camera costs.
#include "camera/TOIShare.h"
#include "camera/TXMLLib.h"

#include <QByteArray>
#include <QFile>

#include <benchmark/benchmark.h>

namespace {

QByteArray commandList()
{
    QFile file(QStringLiteral(LUMIVAR_FIXTURES_DIR "/camera/commandlist_E-M10_v2.20.xml"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void BM_CommandListXmlAndParse(benchmark::State& state)
{
    const QByteArray body = commandList();
    if (body.isEmpty()) {
        state.SkipWithError("fixture missing");
        return;
    }
    for (auto _ : state) {
        TXMLLib xml;
        xml.Load(body);
        TOIShare share;
        benchmark::DoNotOptimize(share.Parse(xml.Root()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * body.size());
}
BENCHMARK(BM_CommandListXmlAndParse);

void BM_CommandListXmlOnly(benchmark::State& state)
{
    const QByteArray body = commandList();
    for (auto _ : state) {
        TXMLLib xml;
        benchmark::DoNotOptimize(xml.Load(body));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * body.size());
}
BENCHMARK(BM_CommandListXmlOnly);

void BM_CommandListParseOnly(benchmark::State& state)
{
    TXMLLib xml;
    xml.Load(commandList());
    for (auto _ : state) {
        TOIShare share;
        benchmark::DoNotOptimize(share.Parse(xml.Root()));
    }
}
BENCHMARK(BM_CommandListParseOnly);

} // namespace
