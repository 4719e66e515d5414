// From the take to the shot's files: the release, the listing of the newest folder and, with
// automatic download, the files streamed to disk, against the in-process simulator (E-M10 body,
// JPEG and RAW per shot). The counters give the time until the files are listed and until they
// are on disk.
#include "BenchRecCamera.h"
#include "remote/TShooting.h"
#include "session/TCamera.h"
#include "sim/SimServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

void BM_TakeToFiles(benchmark::State& state)
{
    const bool download = state.range(0) != 0;
    camsim::SimServerOptions options;
    options.generatedFiles = 200;
    benchsupport::RecCamera sim(options);
    if (!sim.Error.isEmpty()) {
        state.SkipWithError(sim.Error.toUtf8().constData());
        return;
    }
    TCamera& camera = *sim.Camera;
    QTemporaryDir target;
    TShooting shooting;
    shooting.SetCamera(&camera);
    shooting.SetModes(false, false, false, false);
    shooting.AutoDownload = download;
    shooting.DownloadFolder = target.path();
    // The download's first progress marks the files as listed.
    QElapsedTimer clock;
    qint64 listedAt = -1;
    QObject::connect(&shooting, &TShooting::Progress, [&](const QString&, const QString&, bool, int) {
        if (listedAt < 0)
            listedAt = clock.nsecsElapsed();
    });
    qint64 listedNs = 0;
    qint64 totalNs = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        listedAt = -1;
        clock.start();
        if (!shooting.TakePhoto()) {
            state.SkipWithError("take failed");
            return;
        }
        const qint64 total = clock.nsecsElapsed();
        totalNs += total;
        listedNs += listedAt < 0 ? total : listedAt;
        if (shooting.LastTake().Count() != 2 || (download && !shooting.FailedFiles().isEmpty())) {
            state.SkipWithError("the shot's files did not arrive");
            return;
        }
        for (const TCameraImportItem* item : shooting.LastTake())
            bytes += item->Size();
        // Keeps the folder small; not timed.
        state.PauseTiming();
        for (const QString& name : QDir(target.path()).entryList(QDir::Files))
            QFile::remove(QDir(target.path()).filePath(name));
        state.ResumeTiming();
    }
    if (download)
        state.SetBytesProcessed(bytes);
    const double shots = double(state.iterations());
    state.counters["ms_to_listed"] = double(listedNs) / 1e6 / shots;
    state.counters["ms_to_files"] = double(totalNs) / 1e6 / shots;
}
BENCHMARK(BM_TakeToFiles)->ArgName("download")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
