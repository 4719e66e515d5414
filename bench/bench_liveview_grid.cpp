// The grid overlay drawn into a decoded live view frame, per kind, at 640 x 480 and 1280 x 960.
#include "liveview/LiveViewGrid.h"

#include <QImage>

#include <benchmark/benchmark.h>

namespace {

void BM_GridDraw(benchmark::State& state)
{
    const int kind = int(state.range(0));
    const int width = int(state.range(1));
    QImage picture(width, width * 3 / 4, QImage::Format_RGB32);
    picture.fill(Qt::darkGray);
    for (auto _ : state) {
        LiveViewGrid::draw(picture, kind, QColor(192, 192, 192));
        benchmark::DoNotOptimize(picture.constBits());
    }
}

} // namespace

BENCHMARK(BM_GridDraw)->ArgsProduct({ { 1, 2, 3, 4, 5 }, { 640, 1280 } })->Unit(benchmark::kMicrosecond);
