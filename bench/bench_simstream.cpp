// CPU cost of the simulator's live view: the share of one core spent while streaming.
#include "sim/SimJpeg.h"
#include "sim/SimLiveView.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

double processCpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& tv) { return double(tv.tv_sec) + tv.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Streams to a bound loopback socket that nobody reads (the kernel drops what does not fit), so only
// the sender's work is measured.
void BM_StreamCpuShare(benchmark::State& state)
{
    const int width = int(state.range(0)), height = int(state.range(1));
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);

    double share = 0, fps = 0;
    for (auto _ : state) {
        camsim::SimLiveView view;
        const double cpu0 = processCpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        view.start(
            "127.0.0.1", ntohs(addr.sin_port), width, height, 30, [] { return camsim::SimLiveInfo {}; });
        std::this_thread::sleep_for(std::chrono::seconds(3));
        view.stop();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        share = (processCpuSeconds() - cpu0) / wall;
        fps = double(view.framesSent()) / wall;
    }
    ::close(fd);
    state.counters["cpu_share_of_core"] = share;
    state.counters["fps"] = fps;
}
BENCHMARK(BM_StreamCpuShare)
    ->Args({ 1280, 960 })
    ->Args({ 640, 480 })
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

void BM_EncodeLiveFrame(benchmark::State& state)
{
    camsim::SimJpeg encoder;
    uint64_t frame = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(encoder.liveFrame(1280, 960, frame++, 1.0).size());
}
BENCHMARK(BM_EncodeLiveFrame)->Unit(benchmark::kMillisecond);

} // namespace
