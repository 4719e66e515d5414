// The whole live view path against the simulator: 1280 x 960 at 30 frames a second streamed over
// 127.0.0.1, received and reassembled by the camera object, shown by the panel. One iteration per
// case; the counters give frames completed, shown and skipped, the user-interface thread's time per
// shown frame by step, and the time from a frame's hand-over by reassembly to its paint.
// LUMIVAR_LV_SECONDS shortens the run (60 seconds by default).
// A build without the widgets (-DLUMIVAR_GUI=OFF) has no panel to measure and compiles nothing.
#if __has_include(<QApplication>)
#include "base/AppTexts.h"
#include "base/TSetup.h"
#include "base/ui/TKmImageHistogram.h"
#include "liveview/LiveViewTexts.h"
#include "liveview/ui/TLiveViewMagnifier.h"
#include "liveview/ui/TfraLiveView.h"
#include "liveview/ui/TfraViewGrid.h"
#include "session/TCamera.h"
#include "sim/SimServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "bench_liveview_run";
    static char* argv[] = { name, nullptr };
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

int runSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("LUMIVAR_LV_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 60;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto at = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[at];
}

void BM_LiveViewRun(benchmark::State& state)
{
    application();
    RegisterAppTexts();
    RegisterLiveViewTexts();
    camsim::SimServerOptions options;
    options.profile = "omd-v260"; // offers 1280 x 960
    options.fps = 30;
    camsim::SimServer server(options);
    if (!server.isValid() || server.start() == 0) {
        state.SkipWithError("simulator did not start");
        return;
    }
    QTemporaryDir settingsDir;
    TSetup setup;
    setup.SetStoreFile(settingsDir.filePath(QStringLiteral("settings.ini")));
    setup.LiveViewPort = 0;
    TCamera camera(TCameraLink::ToHost(QStringLiteral("127.0.0.1:%1").arg(server.port())),
        QStringLiteral("E-M10-CAM"), false, QString(),
        [](const QString&, const QStringList&) { return true; });
    camera.CheckIntervalMs = 100;
    camera.CheckTimer.start(10);
    if (!waitFor([&] { return camera.Connected; }, 10000)) {
        state.SkipWithError("camera did not connect");
        return;
    }
    const qsizetype large
        = camera.Remote.CameraMode.LiveViewSizeTexts().indexOf(QStringLiteral("1280 x 960"));
    if (large < 0) {
        state.SkipWithError("profile without 1280 x 960");
        return;
    }
    setup.LiveViewSize = camera.Remote.CameraMode.LiveViewSizes()[large];

    TfraLiveView panel;
    panel.SetSetup(&setup);
    panel.SetCamera(&camera, nullptr, nullptr, nullptr, nullptr, nullptr);
    panel.resize(1280 + 200, 960 + 200);
    panel.show();
    panel.fraViewGrid->SetGridKind(1);
    panel.ihgLiveView->setVisible(state.range(0) != 0);

    std::vector<double> latencyMs;
    latencyMs.reserve(size_t(runSeconds()) * 40);
    qint64 lastArrival = 0;
    panel.imgLiveView32->OnPainted = [&] {
        const qint64 arrival = panel.Timings().lastShownArrivalNs;
        if (arrival != 0 && arrival != lastArrival) {
            lastArrival = arrival;
            latencyMs.push_back(double(TfraLiveView::MonotonicNs() - arrival) / 1e6);
        }
    };

    for (auto _ : state) {
        if (!panel.StartLiveView(2, 0)) {
            state.SkipWithError("live view did not start");
            break;
        }
        if (panel.imgLiveView32->Bitmap().isNull())
            waitFor([&] { return panel.FramesShown() > 0; }, 10000);
        // Start counting once frames flow, so that start-up is not part of the run.
        TImageBuffer& buffer = camera.Remote.LiveView.Processor().ImageBuffer();
        const quint64 completed0 = buffer.FramesCompleted();
        const quint64 shown0 = panel.FramesShown();
        const quint64 skipped0 = panel.FramesSkipped();
        const TfraLiveView::FrameTimings t0 = panel.Timings();
        const qint64 paint0 = panel.imgLiveView32->PaintNs();
        latencyMs.clear();
        QElapsedTimer run;
        run.start();
        waitFor([&] { return run.elapsed() >= runSeconds() * 1000; }, runSeconds() * 1000 + 1000);
        const TfraLiveView::FrameTimings t = panel.Timings();
        const double shown = double(panel.FramesShown() - shown0);
        const double frames = std::max(1.0, double(t.frames - t0.frames));
        state.counters["completed"] = double(buffer.FramesCompleted() - completed0);
        state.counters["shown"] = shown;
        state.counters["skipped"] = double(panel.FramesSkipped() - skipped0);
        state.counters["shown_pct"] = 100.0 * shown / std::max(1.0, state.counters["completed"].value);
        const std::pair<const char*, double> steps[] = {
            { "decode_ms", double(t.decodeNs - t0.decodeNs) },
            { "rotate_ms", double(t.rotateNs - t0.rotateNs) },
            { "grid_ms", double(t.gridNs - t0.gridNs) },
            { "focus_ms", double(t.focusFrameNs - t0.focusFrameNs) },
            { "histogram_ms", double(t.histogramNs - t0.histogramNs) },
            { "status_ms", double(t.statusLineNs - t0.statusLineNs) },
            { "paint_ms", double(panel.imgLiveView32->PaintNs() - paint0) },
        };
        double busy = 0;
        const char* costliest = "";
        double most = -1;
        for (const auto& [name, ns] : steps) {
            state.counters[name] = ns / frames / 1e6;
            busy += ns;
            if (ns > most) {
                most = ns;
                costliest = name;
            }
        }
        state.counters["busy_ms"] = busy / frames / 1e6;
        state.counters["lat_p50_ms"] = percentile(latencyMs, 0.50);
        state.counters["lat_p99_ms"] = percentile(latencyMs, 0.99);
        state.counters["lat_max_ms"]
            = latencyMs.empty() ? 0 : *std::max_element(latencyMs.begin(), latencyMs.end());
        state.SetLabel(std::string(state.range(0) ? "histogram shown" : "histogram hidden") + ", costliest "
            + costliest);
        panel.StopLiveView();
    }
    camera.Stop();
}
BENCHMARK(BM_LiveViewRun)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

#endif
