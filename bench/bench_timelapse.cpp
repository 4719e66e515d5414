// How closely a time-lapse series keeps its plan: 20 shots every 2 seconds against the in-process
// simulator (E-M10 body, JPEG and RAW per shot), with and without the download of each shot between
// the shots. Counters: the largest and the 95th-percentile deviation of a shot from its planned time.
#include "BenchRecCamera.h"
#include "camera/TCameraModeAction.h"
#include "camera/WaitFunc.h"
#include "remote/TShooting.h"
#include "remote/TTimeLapseSeries.h"
#include "session/TCamera.h"
#include "sim/SimCamera.h"
#include "sim/SimServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>

namespace {

void BM_SeriesDeviation(benchmark::State& state)
{
    const bool download = state.range(0) != 0;
    camsim::SimServerOptions options;
    options.generatedFiles = 50;
    benchsupport::RecCamera sim(options);
    if (!sim.Error.isEmpty()) {
        state.SkipWithError(sim.Error.toUtf8().constData());
        return;
    }
    sim.Server->camera().setProperty("drivemode", "normal");
    TCamera& camera = *sim.Camera;
    QTemporaryDir target;
    TShooting shooting;
    shooting.SetCamera(&camera);
    shooting.DeriveModes();
    QList<qint64> deviations;
    for (auto _ : state) {
        TTimeLapseSeries series;
        series.SetShooting(&shooting);
        series.Plan(0, 2, 20);
        series.DownloadEachShot = download;
        series.DownloadFolder = target.path();
        series.Start();
        while (series.IsRunning())
            Wait(20);
        series.WaitForDownloads(60000);
        for (const TTimeLapseSeries::TShot& shot : series.Shots())
            deviations << shot.ActualMs - shot.PlannedMs;
    }
    std::sort(deviations.begin(), deviations.end());
    if (deviations.isEmpty())
        return;
    state.counters["max_ms"] = double(deviations.last());
    state.counters["p95_ms"] = double(deviations[int(deviations.size() * 95 / 100) - 1]);
}
BENCHMARK(BM_SeriesDeviation)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
