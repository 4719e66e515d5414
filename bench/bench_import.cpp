// The import path: parsing and sorting a large listing, download throughput into files (against
// the in-process simulator, and against a simulator process next to curl fetching the same files),
// and the peak resident memory while a 2 GB movie is imported.
#include "camera/TOIShare.h"
#include "import/TCameraImport.h"
#include "sim/SimServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

QCoreApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_import";
    static char* argv[] = { name, nullptr };
    static QCoreApplication instance(argc, argv);
    return instance;
}

// A listing of `count` files in random order, as a camera answers it.
QStringList listing(int count)
{
    QStringList lines { QStringLiteral("VER_100") };
    QRandomGenerator random(42);
    for (int i = 0; i < count; ++i) {
        const int date
            = ((random.bounded(40)) << 9) | ((1 + random.bounded(12)) << 5) | (1 + random.bounded(28));
        const int time = (random.bounded(24) << 11) | (random.bounded(60) << 5) | random.bounded(30);
        lines << QStringLiteral("/DCIM/100OLYMP,P%1.%2,%3,0,%4,%5")
                     .arg(i, 7, 10, QLatin1Char('0'))
                     .arg(i % 3 ? QStringLiteral("ORF") : QStringLiteral("JPG"))
                     .arg(13'000'000 + random.bounded(3'000'000))
                     .arg(date)
                     .arg(time);
    }
    return lines;
}

void BM_ParseAndSort(benchmark::State& state)
{
    const QStringList lines = listing(int(state.range(0)));
    TImageListAction action(TCameraLink::ToHost(QStringLiteral("127.0.0.1:1")));
    for (auto _ : state) {
        action.Lines = lines;
        action.ParseItems();
        benchmark::DoNotOptimize(action.Items.Count());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ParseAndSort)->Arg(1107)->Arg(10000)->Unit(benchmark::kMillisecond);

// The card for the throughput runs: files of random bytes, made once.
struct ThroughputCard
{
    static constexpr int kFiles = 4;
    static constexpr qint64 kSize = 64 * 1024 * 1024;
    QTemporaryDir dir;
    QStringList names;

    ThroughputCard()
    {
        const QString folder = dir.path() + QStringLiteral("/DCIM/100OLYMP");
        QDir().mkpath(folder);
        QByteArray block(1024 * 1024, Qt::Uninitialized);
        for (int f = 0; f < kFiles; ++f) {
            const QString name = QStringLiteral("P72100%1.ORF").arg(f + 1, 2, 10, QLatin1Char('0'));
            QFile file(folder + QLatin1Char('/') + name);
            file.open(QIODevice::WriteOnly);
            QRandomGenerator random(quint32(f + 1));
            for (qint64 at = 0; at < kSize; at += block.size()) {
                random.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
                file.write(block);
            }
            names << name;
        }
    }
    static ThroughputCard& instance()
    {
        static ThroughputCard card;
        return card;
    }
};

// Downloads every file of the throughput card from host into a fresh folder; false on a failure.
bool importAll(const QString& host, const QStringList& names, qint64 size)
{
    TCameraImport import(TCameraLink::ToHost(host));
    TOIShare commandList;
    if (!commandList.Load(host) || !import.Probe(commandList))
        return false;
    QTemporaryDir target;
    for (const QString& name : names) {
        TFileLoadTarget t;
        t.FileName = target.path() + QLatin1Char('/') + name;
        t.ExpectedSize = size;
        if (!import.FileLoader.Load(QStringLiteral("/100OLYMP/") + name, t, true))
            return false;
    }
    return true;
}

void BM_ImportInProcess(benchmark::State& state)
{
    app();
    ThroughputCard& card = ThroughputCard::instance();
    camsim::SimServerOptions options;
    options.cardDirectory = card.dir.path().toStdString();
    camsim::SimServer server(options);
    if (server.start() == 0) {
        state.SkipWithError("simulator did not start");
        return;
    }
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    for (auto _ : state) {
        if (!importAll(host, card.names, ThroughputCard::kSize)) {
            state.SkipWithError("import failed");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * ThroughputCard::kFiles * ThroughputCard::kSize);
}
BENCHMARK(BM_ImportInProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QString camsimPath()
{
    const QString fromEnv = qEnvironmentVariable("LUMIVAR_CAMSIM");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/lumivar-camsim");
}

// A lumivar-camsim process serving the throughput card, so client and server do not share a process.
struct CamsimProcess
{
    QProcess process;
    quint16 port = 0;

    bool start(const QString& card)
    {
        port = freePort();
        process.start(camsimPath(),
            { QStringLiteral("--port"), QString::number(port), QStringLiteral("--card"), card });
        if (!process.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100; ++i) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port);
            if (socket.waitForConnected(100))
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    ~CamsimProcess()
    {
        process.terminate();
        process.waitForFinished(3000);
    }
};

// Our client and curl fetch the same files from the same simulator process, one run after the other.
void BM_ImportFromCamsimProcess(benchmark::State& state)
{
    app();
    ThroughputCard& card = ThroughputCard::instance();
    CamsimProcess sim;
    if (!sim.start(card.dir.path())) {
        state.SkipWithError("lumivar-camsim did not start (set LUMIVAR_CAMSIM)");
        return;
    }
    const QString host = QStringLiteral("127.0.0.1:%1").arg(sim.port);
    // 1: curl alone; 2: curl, then each file flushed to disk as our import does before it gives a
    // file its final name (so a crash right after an import cannot leave a hollow file behind).
    const bool useCurl = state.range(0) >= 1;
    const bool syncAfterCurl = state.range(0) == 2;
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (useCurl && curl.isEmpty()) {
        state.SkipWithError("curl is not installed");
        return;
    }
    for (auto _ : state) {
        if (!useCurl) {
            if (!importAll(host, card.names, ThroughputCard::kSize)) {
                state.SkipWithError("import failed");
                return;
            }
            continue;
        }
        QTemporaryDir target;
        QStringList arguments { QStringLiteral("-s"), QStringLiteral("-f") };
        for (const QString& name : card.names)
            arguments << QStringLiteral("-o") << target.path() + QLatin1Char('/') + name
                      << QStringLiteral("http://%1/DCIM/100OLYMP/%2").arg(host, name);
        QProcess fetch;
        fetch.start(curl, arguments);
        if (!fetch.waitForFinished(120000) || fetch.exitCode() != 0) {
            state.SkipWithError("curl failed");
            return;
        }
        if (syncAfterCurl) {
            QStringList files { QStringLiteral("--data") };
            for (const QString& name : card.names)
                files << target.path() + QLatin1Char('/') + name;
            QProcess sync;
            sync.start(QStringLiteral("sync"), files);
            if (!sync.waitForFinished(120000) || sync.exitCode() != 0) {
                state.SkipWithError("sync failed");
                return;
            }
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * ThroughputCard::kFiles * ThroughputCard::kSize);
    state.SetLabel(syncAfterCurl ? "curl+sync" : useCurl ? "curl" : "lumivar");
}
BENCHMARK(BM_ImportFromCamsimProcess)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

qint64 statusKb(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stoll(line.substr(prefix.size()));
    return -1;
}

// Peak resident memory of the whole process (simulator threads included) while a 2 GB movie is
// imported; the peak mark is reset first.
void BM_PeakMemory2GBMovie(benchmark::State& state)
{
    app();
    QTemporaryDir card;
    const QString folder = card.path() + QStringLiteral("/DCIM/100OLYMP");
    QDir().mkpath(folder);
    constexpr qint64 kMovie = 2'000'000'000;
    {
        QFile movie(folder + QStringLiteral("/P7210001.MOV"));
        movie.open(QIODevice::WriteOnly);
        movie.resize(kMovie); // sparse: costs no disk on the card side
    }
    camsim::SimServerOptions options;
    options.cardDirectory = card.path().toStdString();
    camsim::SimServer server(options);
    if (server.start() == 0) {
        state.SkipWithError("simulator did not start");
        return;
    }
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());
    qint64 peakKb = 0, before = 0;
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5";
        before = statusKb("VmHWM");
        if (!importAll(host, { QStringLiteral("P7210001.MOV") }, kMovie)) {
            state.SkipWithError("import failed");
            return;
        }
        peakKb = std::max(peakKb, statusKb("VmHWM"));
    }
    state.counters["peak_RSS_MB"] = double(peakKb) / 1024.0;
    state.counters["RSS_before_MB"] = double(before) / 1024.0;
    state.SetBytesProcessed(int64_t(state.iterations()) * kMovie);
}
BENCHMARK(BM_PeakMemory2GBMovie)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace
