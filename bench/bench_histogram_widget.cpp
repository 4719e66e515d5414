// The live view histogram at 30 frames a second: counting a 1280 x 960 camera picture and painting
// the four histograms, and the paint alone (an expose without a new frame).
// A build without the widgets (-DLUMIVAR_GUI=OFF) has no control to measure and compiles nothing.
#if __has_include(<QApplication>)
#include "base/ui/TKmImageHistogram.h"
#include "liveview/JpegDec.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "bench_histogram_widget";
    static char* argv[] = { name, nullptr };
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

const QImage& frame()
{
    static const QImage image = [] {
        QFile file(QStringLiteral(LUMIVAR_FIXTURES_DIR "/exif/olympus_e-p3.jpg")); // 1280 x 960
        return file.open(QIODevice::ReadOnly) ? decodeJpegWithLibrary(file.readAll()) : QImage();
    }();
    return image;
}

// The live view panel's settings.
void configure(TKmImageHistogram& histogram)
{
    histogram.SetMargin(2);
    histogram.resize(264, 158);
}

void BM_CountAndPaint(benchmark::State& state)
{
    application();
    if (frame().isNull()) {
        state.SkipWithError("fixture picture missing");
        return;
    }
    TKmImageHistogram histogram;
    configure(histogram);
    QImage target(histogram.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        histogram.SetBitmap(frame());
        QPainter painter(&target);
        histogram.render(&painter);
    }
    state.SetItemsProcessed(state.iterations() * frame().width() * frame().height());
}
BENCHMARK(BM_CountAndPaint)->Unit(benchmark::kMicrosecond);

void BM_PaintOnly(benchmark::State& state)
{
    application();
    TKmImageHistogram histogram;
    configure(histogram);
    histogram.SetBitmap(frame());
    QImage target(histogram.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&target);
        histogram.render(&painter);
    }
}
BENCHMARK(BM_PaintOnly)->Unit(benchmark::kMicrosecond);

} // namespace

#endif
