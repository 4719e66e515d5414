// The live view panel's user-interface work per frame at 1280 x 960: decode, turn, grid, focus
// frame, status line and the paint of the picture, with the histogram hidden and shown.
// A build without the widgets (-DLUMIVAR_GUI=OFF) has no panel to measure and compiles nothing.
#if __has_include(<QApplication>)
#include "base/ui/TKmImageHistogram.h"
#include "liveview/ui/TLiveViewMagnifier.h"
#include "liveview/ui/TfraLiveView.h"
#include "liveview/ui/TfraViewGrid.h"
#include "sim/SimJpeg.h"

#include <QApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "bench_liveview_panel";
    static char* argv[] = { name, nullptr };
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

QByteArray simFrame()
{
    camsim::SimJpeg sim;
    const auto frame = sim.liveFrame(1280, 960, 17, 1.0);
    return QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size()));
}

// Focused, with a focus frame, orientation 0.
TMetaData information()
{
    QByteArray block(192, '\0');
    block[1] = 1;
    block[3] = char((192 - 4) / 4);
    block[43] = 1;
    block[47] = char(200);
    block[51] = char(200);
    block[55] = 64;
    block[59] = 64;
    block[75] = 80;
    TMetaData m;
    m.Assign(block);
    return m;
}

void BM_ShowFrame(benchmark::State& state)
{
    application();
    const QByteArray jpeg = simFrame();
    const TMetaData info = information();
    TfraLiveView panel;
    panel.imgLiveView32->resize(1280, 960);
    panel.fraViewGrid->SetGridKind(1);
    panel.ihgLiveView->setVisible(state.range(0) != 0);
    QImage target(1280, 960, QImage::Format_RGB32);
    for (auto _ : state) {
        panel.ShowFrame(jpeg, info);
        QPainter painter(&target);
        panel.imgLiveView32->render(&painter);
    }
    state.SetLabel(state.range(0) ? "histogram shown" : "histogram hidden");
}
BENCHMARK(BM_ShowFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

#endif
