// Download throughput from the simulator over loopback: the card's bytes generated on the fly,
// streamed with Content-Length, read by a plain HTTP client.
#include "sim/SimCard.h"
#include "sim/SimServer.h"

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <QCoreApplication>

namespace {

// The largest file with the extension on a generated card.
camsim::SimEntry largestFile(camsim::SimCard& card, const std::string& extension)
{
    camsim::SimEntry best;
    for (const camsim::SimEntry& folder : card.list("/DCIM")) {
        for (const camsim::SimEntry& e : card.list("/DCIM/" + folder.name)) {
            const bool match = e.name.size() > 4 && e.name.substr(e.name.size() - 4) == "." + extension;
            if (e.attr == 0 && match && e.size > best.size)
                best = e;
        }
    }
    return best;
}

// Downloads the largest ORF (state.range(0) == 0) or the largest movie (1) again and again.
void BM_SimDownload(benchmark::State& state)
{
    int argc = 1;
    char name[] = "bench_simdownload";
    char* argv[] = { name, nullptr };
    QCoreApplication app(argc, argv);
    camsim::SimServerOptions options;
    options.generatedFiles = 12;
    camsim::SimServer server(options);
    const uint16_t port = server.start();
    const camsim::SimEntry file = largestFile(server.card(), state.range(0) == 0 ? "ORF" : "MOV");
    if (port == 0 || file.size == 0) {
        state.SkipWithError("simulator did not start");
        return;
    }
    const std::string path = file.dir + "/" + file.name;
    uint64_t bytes = 0;
    for (auto _ : state) {
        httplib::Client client("127.0.0.1", port);
        uint64_t received = 0;
        auto res = client.Get(path.c_str(), [&](const char*, size_t n) {
            received += n;
            return true;
        });
        if (!res || res->status != 200 || received != file.size) {
            state.SkipWithError("download failed");
            return;
        }
        bytes += received;
    }
    state.SetBytesProcessed(int64_t(bytes));
    state.counters["file_MB"] = double(file.size) / 1e6;
}
BENCHMARK(BM_SimDownload)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SimDownload)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
