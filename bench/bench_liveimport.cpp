// The live import's delay: from the press of the body's shutter button to the file complete on disk,
// at the real two-second poll, over 20 shots pressed at varying moments of the poll cycle. Counters:
// median and longest delay, and how much of the median is spent waiting for polls (a new file is
// fetched at the second poll that lists it with the same size).
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "import/TCameraImport.h"
#include "import/TImportSession.h"
#include "import/TLiveImport.h"
#include "sim/SimCamera.h"
#include "sim/SimCard.h"
#include "sim/SimServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <vector>

namespace {

QCoreApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_liveimport";
    static char* argv[] = { name, nullptr };
    static QCoreApplication instance(argc, argv);
    return instance;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The simulator (JPEG per shot) and the import and mode actions against it, as both benches need them.
struct LiveImportSetup
{
    LiveImportSetup()
    {
        server.camera().setQuality("LF");
        commandList.Load(host);
        import.Probe(commandList);
        mode.SwitchPauseMs = 0;
        if (const TCGIFunction* switching = commandList.Functions.Find(QStringLiteral("switch_cammode")))
            mode.Probe(*switching);
    }

    QCoreApplication& application = app();
    camsim::SimServer server;
    uint16_t port = server.start();
    QString host = QStringLiteral("127.0.0.1:%1").arg(port);
    TCameraLink link = TCameraLink::ToHost(host);
    TOIShare commandList;
    TCameraImport import { link };
    TCameraModeAction mode { link };
};

void BM_ShutterToDisk(benchmark::State& state)
{
    LiveImportSetup sim;
    camsim::SimServer& server = sim.server;
    TCameraImport& import = sim.import;
    TCameraModeAction& mode = sim.mode;
    QTemporaryDir target;

    std::vector<double> total, polls;
    for (auto _ : state) {
        TLiveImport live(import, &mode);
        live.SetTargetFolder(target.path());
        live.Start();
        QElapsedTimer clock;
        qint64 queued = -1, landed = -1;
        QObject::connect(&live, &TLiveImport::Changed, [&] {
            if (queued < 0 && live.QueueLength() > 0)
                queued = clock.nsecsElapsed();
        });
        QObject::connect(&live, &TLiveImport::FileLanded,
            [&](const TCameraImportItem&, const QString&) { landed = clock.nsecsElapsed(); });
        QRandomGenerator random(7);
        for (int shot = 0; shot < 20; ++shot) {
            // Somewhere in the poll cycle.
            QTest::qWait(int(random.bounded(TLiveImport::PollIntervalMs)));
            queued = landed = -1;
            clock.start();
            server.card().addShot("LF", server.clock(), server.camera().shotInfo(0));
            if (!QTest::qWaitFor([&] { return landed >= 0; }, 30000)) {
                state.SkipWithError("a shot did not land");
                return;
            }
            total.push_back(double(landed) / 1e6);
            polls.push_back(double(queued) / 1e6);
        }
    }
    const double medianTotal = median(total);
    state.counters["median_ms"] = medianTotal;
    state.counters["max_ms"] = *std::max_element(total.begin(), total.end());
    state.counters["median_poll_wait_ms"] = median(polls);
    state.counters["poll_share_pct"] = medianTotal > 0 ? 100.0 * median(polls) / medianTotal : 0;
}
BENCHMARK(BM_ShutterToDisk)->Iterations(1)->Unit(benchmark::kSecond);

void BM_BurstOfSixty(benchmark::State& state)
{
    LiveImportSetup sim;
    camsim::SimServer& server = sim.server;
    TCameraImport& import = sim.import;
    TCameraModeAction& mode = sim.mode;

    double pressToDisk = 0, drain = 0, photo = 0;
    for (auto _ : state) {
        QTemporaryDir live, copied;
        TLiveImport liveImport(import, &mode);
        liveImport.SetTargetFolder(live.path());
        liveImport.Start();
        QElapsedTimer clock;
        qint64 queued = -1;
        int landed = 0;
        QObject::connect(&liveImport, &TLiveImport::Changed, [&] {
            if (queued < 0 && liveImport.QueueLength() > 0)
                queued = clock.nsecsElapsed();
        });
        QObject::connect(&liveImport, &TLiveImport::FileLanded,
            [&](const TCameraImportItem&, const QString&) { ++landed; });
        clock.start();
        for (int shot = 0; shot < 60; ++shot)
            server.card().addShot("LF", server.clock(), server.camera().shotInfo(0));
        if (!QTest::qWaitFor([&] { return landed == 60; }, 120000)) {
            state.SkipWithError("the burst did not land");
            return;
        }
        pressToDisk = double(clock.nsecsElapsed()) / 1e6;
        drain = double(clock.nsecsElapsed() - queued) / 1e6;
        liveImport.Leave();

        // The same 60 files through the photo import.
        mode.SwitchToMode(TCameraModeAction::ModePlay);
        TImportSession session(import, nullptr);
        session.ListFolders();
        TImportSession::TLoadOptions options;
        options.Thumbnails = false;
        session.LoadFolder(session.Folders().last(), options);
        std::vector<int> newest;
        for (int i = int(session.Items().size()) - 60; i < int(session.Items().size()); ++i)
            newest.push_back(i);
        clock.start();
        session.ImportSelection(newest, copied.path());
        photo = double(clock.nsecsElapsed()) / 1e6;
    }
    state.counters["press_to_disk_ms"] = pressToDisk;
    state.counters["live_drain_ms"] = drain;
    state.counters["photo_import_ms"] = photo;
    state.counters["drain_ratio"] = photo > 0 ? drain / photo : 0;
}
BENCHMARK(BM_BurstOfSixty)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
