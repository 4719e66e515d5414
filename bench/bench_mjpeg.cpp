// Handing the live view on to other programs, against the simulator: 1280 x 960 at 30 frames a
// second received and reassembled as the window does, each completed frame published to the MJPEG
// server, three viewers on a thread of their own (two reading as fast as they can, one taking two
// pictures a second). Arg 0 runs without the server, the baseline; arg 1 with it. Counters:
// fast_pct   pictures at the slower fast viewer per frame completed, in per cent;
// serve_us   main-thread CPU time per picture written to a viewer, over the baseline (noisy on a
//            loaded machine: it is the difference of two runs);
// publish_us main-thread CPU time inside Publish per picture written to a viewer (the writes and
//            their system calls, including loopback's delivery to the viewer);
// decode_us  CPU time to decode one of the same pictures (JpegDec); serve_pct and publish_pct
//            relate the two above to it;
// rss_*_mb   resident memory at the start and end of the run, its peak, and the peak of the first
//            half (memory is flat when the whole run's peak is not above it).
// LUMIVAR_MJPEG_SECONDS sets the length of each run (20 s by default; a few minutes shows the memory).
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "liveview/JpegDec.h"
#include "liveview/TLiveViewAction.h"
#include "liveview/TLiveViewControl.h"
#include "liveview/TMjpegServer.h"
#include "liveview/TReleaseViewAction.h"
#include "sim/SimServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <functional>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "bench_mjpeg";
    static char* argv[] = { name, nullptr };
    static QCoreApplication app(argc, argv);
    return app;
}

qint64 threadCpuNs()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? double(fields[1].toLongLong() * sysconf(_SC_PAGESIZE)) / 1048576.0 : 0;
}

void waitMs(int ms, const std::function<void()>& each = {})
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (each)
            each();
        QThread::msleep(1);
    }
}

int runSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("LUMIVAR_MJPEG_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 20;
}

// A viewer of "/stream" that counts whole pictures; with an interval it takes one picture per
// interval and leaves the rest in the network until then. Lives on the viewers' thread.
class Viewer : public QObject
{
public:
    Viewer(quint16 port, int intervalMs)
        : m_port(port)
        , m_intervalMs(intervalMs)
    { }

    void start()
    {
        m_socket = new QTcpSocket(this);
        if (m_intervalMs > 0)
            m_socket->setReadBufferSize(64 * 1024);
        connect(m_socket, &QTcpSocket::readyRead, this, &Viewer::take);
        m_socket->connectToHost(QHostAddress::LocalHost, m_port);
        m_socket->write("GET /stream HTTP/1.1\r\nHost: localhost\r\n\r\n");
    }

    std::atomic<quint64> pictures { 0 };

private:
    // Takes from the network only up to the end of the picture being read, so that a paused viewer
    // leaves the rest where a slow program leaves it: in the socket.
    void take()
    {
        while (!m_paused) {
            const qsizetype length = m_buffer.indexOf("Content-Length: ");
            const qsizetype body = length < 0 ? -1 : m_buffer.indexOf("\r\n\r\n", length);
            qint64 want = 256; // the part's header, a little at a time
            if (body >= 0) {
                const qsizetype end
                    = body + 4 + m_buffer.mid(length + 16, body - length - 16).trimmed().toLongLong();
                if (m_buffer.size() >= end) {
                    m_buffer.remove(0, end);
                    ++pictures;
                    if (m_intervalMs > 0) {
                        m_paused = true;
                        QTimer::singleShot(m_intervalMs, this, [this] {
                            m_paused = false;
                            take();
                        });
                    }
                    continue;
                }
                want = end - m_buffer.size();
            }
            const QByteArray chunk = m_socket->read(want);
            if (chunk.isEmpty())
                return;
            m_buffer += chunk;
        }
    }

    quint16 m_port;
    int m_intervalMs;
    QTcpSocket* m_socket = nullptr;
    QByteArray m_buffer;
    bool m_paused = false;
};

// The baseline's main-thread time per completed frame, for the run with the server.
double g_baselineNsPerFrame = -1;

void BM_MjpegServe(benchmark::State& state)
{
    application();
    const bool serve = state.range(0) != 0;
    camsim::SimServerOptions options;
    options.profile = "omd-v260"; // offers 1280 x 960
    options.fps = 30;
    camsim::SimServer sim(options);
    const quint16 simPort = sim.isValid() ? sim.start(0) : 0;
    TOIShare commandList;
    if (simPort == 0 || !commandList.Load(QStringLiteral("127.0.0.1:%1").arg(simPort))) {
        state.SkipWithError("simulator did not start");
        return;
    }
    const TCameraLink link = TCameraLink::ToHost(QStringLiteral("127.0.0.1:%1").arg(simPort));
    TCameraModeAction cameraMode(link);
    TLiveViewAction liveView(link);
    TReleaseViewAction releaseView(link);
    for (TBaseRemoteAction* action :
        std::initializer_list<TBaseRemoteAction*> { &cameraMode, &liveView, &releaseView })
        if (const TCGIFunction* function = commandList.Functions.Find(action->CGIName))
            action->Probe(*function);
    TLiveViewControl control(cameraMode, liveView, releaseView, [] { return QStringLiteral("1280 x 960"); });

    TMjpegServer server;
    if (serve && !server.Listen(QHostAddress::LocalHost, 0)) {
        state.SkipWithError("server did not listen");
        return;
    }
    quint64 completed = 0;
    qint64 publishNs = 0; // main-thread CPU time inside Publish, where the viewers' writes happen
    std::vector<QByteArray> samples; // some pictures for the decode time
    liveView.Processor().ImageBuffer().SetImageHandler(
        [&](TImageBuffer&, TImageBlocks&, QBuffer& stream, const TMetaData&) {
            ++completed;
            if (completed % 30 == 0 && samples.size() < 60)
                samples.push_back(stream.data());
            if (serve) {
                const qint64 start = threadCpuNs();
                server.Publish(stream.data());
                publishNs += threadCpuNs() - start;
            }
        });

    QThread viewerThread;
    std::vector<std::unique_ptr<Viewer>> viewers;
    if (serve) {
        for (int interval : { 0, 0, 500 }) {
            viewers.push_back(std::make_unique<Viewer>(server.Port(), interval));
            viewers.back()->moveToThread(&viewerThread);
        }
        viewerThread.start();
        for (const auto& viewer : viewers)
            QMetaObject::invokeMethod(viewer.get(), [v = viewer.get()] { v->start(); });
    }

    for (auto _ : state) {
        if (!control.Start(TLiveViewControl::ModeRecord, 0)) {
            state.SkipWithError("live view did not start");
            break;
        }
        waitMs(2000); // frames flowing, viewers connected
        const quint64 completed0 = completed;
        const quint64 served0 = server.PicturesServed();
        std::vector<quint64> seen0;
        for (const auto& viewer : viewers)
            seen0.push_back(viewer->pictures.load());
        const double rss0 = residentMb();
        double rssPeak = rss0;
        double rssFirstHalf = rss0; // peak of the first half of the run; flat: the second stays below it
        QElapsedTimer clock;
        clock.start();
        const qint64 cpu0 = threadCpuNs();
        const qint64 publish0 = publishNs;
        waitMs(runSeconds() * 1000, [&] {
            rssPeak = std::max(rssPeak, residentMb());
            if (clock.elapsed() < runSeconds() * 500)
                rssFirstHalf = rssPeak;
        });
        const qint64 cpu = threadCpuNs() - cpu0;
        const double frames = double(completed - completed0);
        const double served = double(server.PicturesServed() - served0);
        state.counters["completed"] = frames;
        state.counters["cpu_us_per_frame"] = double(cpu) / std::max(1.0, frames) / 1000.0;
        state.counters["rss_start_mb"] = rss0;
        state.counters["rss_end_mb"] = residentMb();
        state.counters["rss_peak_mb"] = rssPeak;
        state.counters["rss_peak_1st_half_mb"] = rssFirstHalf;
        if (!serve) {
            g_baselineNsPerFrame = double(cpu) / std::max(1.0, frames);
        } else {
            const double fast
                = double(std::min(viewers[0]->pictures - seen0[0], viewers[1]->pictures - seen0[1]));
            state.counters["fast_pct"] = 100.0 * fast / std::max(1.0, frames);
            state.counters["slow_pictures"] = double(viewers[2]->pictures - seen0[2]);
            state.counters["served"] = served;
            state.counters["publish_us"] = double(publishNs - publish0) / std::max(1.0, served) / 1000.0;
            state.counters["viewers"] = server.ViewerCount();
            if (g_baselineNsPerFrame >= 0) {
                const double extra = double(cpu) - g_baselineNsPerFrame * frames;
                state.counters["serve_us"] = extra / std::max(1.0, served) / 1000.0;
            }
        }
        control.Stop();
    }
    // The decode time of the same pictures, as the panel decodes them.
    std::vector<double> decodeNs;
    for (const QByteArray& jpeg : samples) {
        const qint64 start = threadCpuNs();
        const QImage image = DecodeJpegToBitmap(jpeg);
        decodeNs.push_back(double(threadCpuNs() - start));
        benchmark::DoNotOptimize(image);
    }
    if (!decodeNs.empty()) {
        std::nth_element(decodeNs.begin(), decodeNs.begin() + qsizetype(decodeNs.size() / 2), decodeNs.end());
        const double decode = decodeNs[decodeNs.size() / 2];
        state.counters["decode_us"] = decode / 1000.0;
        state.counters["picture_kb"] = double(samples.front().size()) / 1024.0;
        if (state.counters.count("serve_us"))
            state.counters["serve_pct"] = 100.0 * state.counters["serve_us"].value * 1000.0 / decode;
        if (state.counters.count("publish_us"))
            state.counters["publish_pct"] = 100.0 * state.counters["publish_us"].value * 1000.0 / decode;
    }
    server.Close();
    viewerThread.quit();
    viewerThread.wait();
    viewers.clear();
}
BENCHMARK(BM_MjpegServe)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
