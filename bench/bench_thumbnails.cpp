// Thumbnails of a 1,107-file folder from a simulator that takes 30 ms per answer: how soon the list
// and the first screenful (24 thumbnails, the cells a 1366×768 window shows) are there, how long
// all of them take against the sum of the camera's latencies, and a second visit (new session, same
// disk cache): requests made and time until the grid is complete.
#include "camera/TOIShare.h"
#include "import/TCameraImport.h"
#include "import/TImportSession.h"
#include "import/TThumbnailCache.h"
#include "sim/SimServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

namespace {

constexpr int kFiles = 1107;
constexpr int kLatencyMs = 30;
// The cells the photo import page shows in a 1366×768 window (six columns, four rows).
constexpr int kScreenful = 24;

QCoreApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_thumbnails";
    static char* argv[] = { name, nullptr };
    static QCoreApplication instance(argc, argv);
    return instance;
}

// Runs the event loop as the program does (QTest::qWaitFor sleeps 10 ms between its turns, which
// would add to every background step) until done holds.
bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start();
    if (!done())
        loop.exec();
    return done();
}

struct Visit
{
    double listedMs = -1; // the load returned: cells can be shown
    double screenfulMs = -1;
    double allMs = -1;
    int items = 0;
};

// One visit of every folder of the card by a new session on the cache folder.
bool visit(TCameraImport& import, const QString& cacheFolder, Visit& result)
{
    TThumbnailCache cache(cacheFolder);
    TImportSession session(import, nullptr);
    session.SetThumbnailCache(&cache, QStringLiteral("E-M10#BENCH"));
    QElapsedTimer clock;
    clock.start();
    if (!session.ListFolders())
        return false;
    TImportSession::TLoadOptions options;
    for (const QString& folder : session.Folders()) {
        if (!session.LoadFolder(folder, options))
            return false;
        options.Append = true;
    }
    result.listedMs = double(clock.nsecsElapsed()) / 1e6;
    result.items = int(session.Items().size());
    session.SetVisibleItems(0, kScreenful - 1);
    const auto loaded = [&session](int count) {
        int n = 0;
        for (const TImportSession::TItem& item : session.Items())
            n += item.PreviewState == TImportSession::TPreviewState::Loaded ? 1 : 0;
        return n >= count;
    };
    if (!waitUntil([&] { return loaded(kScreenful); }, 60000))
        return false;
    result.screenfulMs = double(clock.nsecsElapsed()) / 1e6;
    if (!waitUntil([&] { return session.ThumbnailsDone() == session.ThumbnailsTotal(); }, 120000))
        return false;
    result.allMs = double(clock.nsecsElapsed()) / 1e6;
    return true;
}

void BM_ThumbnailsOfAFolder(benchmark::State& state)
{
    app();
    camsim::SimServerOptions options;
    options.generatedFiles = kFiles;
    options.faults.latencyMs = kLatencyMs;
    std::atomic<int> thumbnails { 0 };
    options.requestLog = [&thumbnails](const std::string& line) {
        if (line.find("get_thumbnail") != std::string::npos)
            ++thumbnails;
    };
    camsim::SimServer server(options);
    if (server.start() == 0) {
        state.SkipWithError("simulator did not start");
        return;
    }
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    TCameraImport import(TCameraLink::ToHost(host));
    TOIShare commandList;
    if (!commandList.Load(host) || !import.Probe(commandList)) {
        state.SkipWithError("no command list");
        return;
    }
    for (auto _ : state) {
        QTemporaryDir cacheFolder;
        Visit first;
        Visit second;
        thumbnails = 0;
        if (!visit(import, cacheFolder.path(), first)) {
            state.SkipWithError("first visit failed");
            return;
        }
        QTest::qWait(100); // the simulator logs the last answer after sending it
        const int firstRequests = thumbnails;
        thumbnails = 0;
        if (!visit(import, cacheFolder.path(), second)) {
            state.SkipWithError("second visit failed");
            return;
        }
        QTest::qWait(100);
        state.counters["files"] = first.items;
        state.counters["1_listed_ms"] = first.listedMs;
        state.counters["1_screenful_ms"] = first.screenfulMs;
        state.counters["1_all_ms"] = first.allMs;
        state.counters["1_requests"] = firstRequests;
        state.counters["1_latency_sum_ms"] = double(firstRequests) * kLatencyMs;
        state.counters["1_all_vs_latency_sum"] = first.allMs / (double(firstRequests) * kLatencyMs);
        state.counters["2_listed_ms"] = second.listedMs;
        state.counters["2_all_ms"] = second.allMs;
        state.counters["2_requests"] = thumbnails.load();
    }
}
// One thumbnail request, waited (as the folder load used to ask) and in the background (as the
// loader asks), against the same simulator: what each request costs beyond the camera's latency.
void BM_ThumbnailRequest(benchmark::State& state)
{
    app();
    camsim::SimServerOptions options;
    options.generatedFiles = 40;
    options.faults.latencyMs = kLatencyMs;
    camsim::SimServer server(options);
    if (server.start() == 0) {
        state.SkipWithError("simulator did not start");
        return;
    }
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    TCameraImport import(TCameraLink::ToHost(host));
    TOIShare commandList;
    TImportSession session(import, nullptr);
    if (!commandList.Load(host) || !import.Probe(commandList) || !session.ListFolders()
        || !session.LoadFolder(session.Folders().value(0), { false, {}, {}, false })) {
        state.SkipWithError("no card");
        return;
    }
    const QString path = session.Items().front().File.CameraPath();
    const bool background = state.range(0) != 0;
    for (auto _ : state) {
        bool ok = false;
        if (background) {
            bool done = false;
            const auto finished = [&ok, &done](bool success) {
                ok = success;
                done = true;
            };
            ok = import.Thumbnail.Start(path, finished) && waitUntil([&done] { return done; }, 20000) && ok;
        } else {
            ok = import.Thumbnail.Execute(path);
        }
        if (!ok) {
            state.SkipWithError("request failed");
            return;
        }
    }
    state.SetLabel(background ? "background" : "waited");
}
BENCHMARK(BM_ThumbnailRequest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(60);

BENCHMARK(BM_ThumbnailsOfAFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
