// Connect/disconnect soak of the camera object against the in-process simulator: each cycle a new
// camera connects, sees the connect mode change, loses the camera to power off, gets it back and
// is freed. Prints the state after every cycle and the resident memory after cycle 100 and at
// the end; fails on a cycle that ends in the wrong state or memory that grows by more than 5 MB.
// Usage: lumivar_soak [CYCLES]   (default 1000)
#include "session/TCamera.h"

#include "sim/SimCamera.h"
#include "sim/SimServer.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <memory>

namespace {

// Resident memory in kB from /proc/self/status, or -1 where there is none.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

struct Expected
{
    bool connected;
    bool isPrivate;
};

// One check as the timer runs it; the timer itself stays off so the cycle decides the order.
bool checkAndCompare(TCamera& camera, const Expected& expected, const char* step, int cycle)
{
    camera.DoCheck(true);
    camera.CheckTimer.stop();
    const bool ok = camera.Connected == expected.connected
        && (!expected.connected || camera.IsPrivate == expected.isPrivate)
        && (expected.connected && expected.isPrivate ? camera.Capabilities != 0 : camera.Capabilities == 0);
    if (!ok)
        std::printf("cycle %d %s: wrong state connected=%d private=%d capabilities=%d code=%d\n", cycle, step,
            int(camera.Connected), int(camera.IsPrivate), int(camera.Capabilities), camera.LastResponseCode);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int cycles = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000;
    if (cycles < 1) {
        std::fprintf(stderr, "usage: lumivar_soak [CYCLES]\n");
        return 2;
    }

    camsim::SimServerOptions options;
    options.generatedFiles = 2;
    camsim::SimServer server(options);
    if (!server.isValid() || server.start() == 0) {
        std::fprintf(stderr, "simulator did not start: %s\n", server.errorText().c_str());
        return 2;
    }
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.port());

    long rssAt100 = -1;
    int failures = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        server.setPower(true);
        server.camera().setConnectMode("private");
        auto camera = std::make_unique<TCamera>(
            TCameraLink::ToHost(host), QStringLiteral("SOAK"), false, QStringLiteral("SOAK-SSID"));
        camera->CheckTimer.stop();
        camera->OnChangeConnection = [](TCamera*, bool& handled) { handled = true; };

        bool ok = checkAndCompare(*camera, { true, true }, "connect", cycle);
        // Every other cycle the camera leaves private mode while connected and the monitor reconnects.
        if (cycle % 2 == 0) {
            server.camera().setConnectMode("shared");
            camera->Stop();
            camera = std::make_unique<TCamera>(
                TCameraLink::ToHost(host), QStringLiteral("SOAK"), false, QStringLiteral("SOAK-SSID"));
            camera->CheckTimer.stop();
            ok = checkAndCompare(*camera, { true, false }, "shared", cycle) && ok;
            server.camera().setConnectMode("private");
        }
        server.setPower(false);
        ok = checkAndCompare(*camera, { false, false }, "power off", cycle) && ok;
        server.setPower(true);
        ok = checkAndCompare(*camera, { true, true }, "power on", cycle) && ok;
        camera->Stop();
        const bool connected = camera->Connected;
        camera.reset();
        QCoreApplication::processEvents();

        std::printf("cycle %d: %s%s\n", cycle, connected ? "connected" : "disconnected", ok ? "" : " WRONG");
        if (!ok)
            ++failures;
        if (cycle == 100) {
            rssAt100 = residentKb();
            std::printf("VmRSS after cycle 100: %ld kB\n", rssAt100);
        }
        std::fflush(stdout);
    }
    const long rssEnd = residentKb();
    std::printf("VmRSS at the end (cycle %d): %ld kB\n", cycles, rssEnd);
    int exitCode = failures == 0 ? 0 : 1;
    if (rssAt100 >= 0 && rssEnd - rssAt100 > 5 * 1024) {
        std::printf("memory grew by %ld kB between cycle 100 and the end\n", rssEnd - rssAt100);
        exitCode = 1;
    }
    std::printf("%d cycles, %d in the wrong state\n", cycles, failures);
    return exitCode;
}
