// The thumbnail grid with a large camera folder (2,000 files): adding and placing the cells, with and
// without decoding their thumbnails; painting the visible part after one scroll step; selecting all
// cells and painting, as choosing a file type on the import page does.
// A build without the widgets (-DLUMIVAR_GUI=OFF) has no control to measure and compiles nothing.
#if __has_include(<QApplication>)
#include "import/ui/ImportGridLook.h"
#include "import/ui/TKmImageGrid.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>

#include <benchmark/benchmark.h>

namespace {

constexpr int CellCount = 2000;

QApplication& application()
{
    static int argc = 1;
    static char name[] = "bench_image_grid";
    static char* argv[] = { name, nullptr };
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// A camera thumbnail: 160 x 120 with some detail, so the decoder has real work.
const QByteArray& thumbnail()
{
    static const QByteArray bytes = [] {
        QImage image(160, 120, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb(x * 255 / 160, y * 255 / 120, (x ^ y) & 0xFF));
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", 85);
        return data;
    }();
    return bytes;
}

// The import pages' settings, in a shown window of a typical size.
struct GridWindow
{
    GridWindow()
    {
        ApplyImportGridLook(*grid.Cells());
        host.resize(700, 520);
        grid.setGeometry(0, 0, 700, 520);
        host.show();
    }

    void fill(bool withThumbnails)
    {
        grid.ClearCells();
        for (int i = 0; i < CellCount; ++i) {
            TKmImageGridCell* cell = grid.AddCell();
            const QString name = QStringLiteral("/100OLYMP/P%1.JPG").arg(1010001 + i);
            if (withThumbnails)
                cell->SetImage(name, thumbnail());
            else
                cell->SetImage(name, nullptr);
            cell->SetUpperLeftText(QStringLiteral("24.12.2025"));
            cell->SetUpperRightText(QStringLiteral("5,2 MB"));
        }
    }

    QApplication& app = application(); // before the first widget
    QWidget host;
    TKmImageGrid grid { &host };
};

void BM_AddAndPlaceCells(benchmark::State& state)
{
    GridWindow window;
    const bool withThumbnails = state.range(0) != 0;
    for (auto _ : state) {
        window.fill(withThumbnails);
        benchmark::DoNotOptimize(window.grid.Cells()->Count());
    }
    state.SetLabel(withThumbnails ? "with 160x120 thumbnails" : "no thumbnails");
    state.counters["cells"] = CellCount;
}
BENCHMARK(BM_AddAndPlaceCells)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PaintAfterScrollStep(benchmark::State& state)
{
    GridWindow window;
    window.fill(true);
    QScrollBar* bar = window.grid.ScrollBox()->verticalScrollBar();
    const int step = window.grid.Cells()->CellHeight() + window.grid.Cells()->CellSpace();
    bar->setValue(bar->maximum() / 2);
    QImage target(window.grid.size(), QImage::Format_RGB32);
    int direction = 1;
    for (auto _ : state) {
        if (bar->value() + direction * step > bar->maximum() || bar->value() + direction * step < 0)
            direction = -direction;
        bar->setValue(bar->value() + direction * step);
        window.grid.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["cells"] = CellCount;
}
BENCHMARK(BM_PaintAfterScrollStep)->Unit(benchmark::kMillisecond);

void BM_SelectAllAndPaint(benchmark::State& state)
{
    GridWindow window;
    window.fill(true);
    QImage target(window.grid.size(), QImage::Format_RGB32);
    bool select = true;
    for (auto _ : state) {
        for (int i = 0; i < CellCount; ++i)
            window.grid.Cells()->Items(i)->SetSelected(select);
        select = !select;
        window.grid.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["cells"] = CellCount;
}
BENCHMARK(BM_SelectAllAndPaint)->Unit(benchmark::kMillisecond);

} // namespace
#endif
