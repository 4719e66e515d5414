// lumivar-camsim: a simulated Olympus Wi-Fi camera on this computer.
#include "sim/SimProfile.h"
#include "sim/SimReplay.h"
#include "sim/SimServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

std::atomic<bool> g_quit { false };

void onSignal(int)
{
    g_quit = true;
}

std::string profileNames()
{
    std::string out;
    for (const std::string& name : camsim::SimProfile::names())
        out += (out.empty() ? "" : "|") + name;
    return out;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumivar-camsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated Olympus Wi-Fi camera (OI.Share HTTP and live view)."));
    parser.addHelpOption();
    const QCommandLineOption port({ "p", "port" }, "TCP port to listen on (0: any free port).", "N", "8080");
    const QCommandLineOption bind("bind", "Address to listen on.", "ADDR", "127.0.0.1");
    const QCommandLineOption profile(
        "profile", QString::fromStdString("Camera model: " + profileNames() + "."), "NAME", "e-m10");
    const QCommandLineOption card("card", "Serve the files under DIR (DCF layout) as the card.", "DIR");
    const QCommandLineOption generate("generate-card", "Generate a card with N files.", "N", "20");
    const QCommandLineOption fps("fps", "Live view pictures per second.", "F", "30");
    const QCommandLineOption seed("seed", "Seed of the card generator and of every random fault.", "S", "1");
    const QCommandLineOption replay(
        "replay", "Answer as the camera of a lumivar-cli dump did (FILE.zip).", "FILE");
    parser.addOptions({ port, bind, profile, card, generate, fps, seed, replay });
    std::vector<QCommandLineOption> faultOptions;
    for (const std::string& key : camsim::SimFaults::keys()) {
        faultOptions.emplace_back(QString::fromStdString(key),
            key == "latency"             ? "Delay every answer by MS milliseconds."
                : key == "hostile-names" ? "1: listings also carry hostile file names."
                                         : QString::fromStdString("Share (0..1) of " + key + " faults."),
            "V");
        parser.addOption(faultOptions.back());
    }
    parser.process(app);

    static std::mutex logMutex;
    const auto requestLog = [](const std::string& line) {
        std::lock_guard lock(logMutex);
        std::fprintf(stdout, "%s\n", line.c_str());
        std::fflush(stdout);
    };
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    if (parser.isSet(replay)) {
        const QString path = parser.value(replay);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "lumivar-camsim: cannot read %s: %s\n", qPrintable(path),
                qPrintable(file.errorString()));
            return 2;
        }
        camsim::SimReplay camera;
        if (!camera.load(file.readAll())) {
            std::fprintf(stderr, "lumivar-camsim: %s: %s\n", qPrintable(path), camera.errorText().c_str());
            return 2;
        }
        camera.setRequestLog(requestLog);
        const uint16_t bound
            = camera.start(uint16_t(parser.value(port).toUInt()), parser.value(bind).toStdString());
        if (bound == 0) {
            std::fprintf(stderr, "lumivar-camsim: %s\n", camera.errorText().c_str());
            return 1;
        }
        std::fprintf(stdout, "lumivar-camsim: replaying %s (%s) on http://%s:%u/\n", qPrintable(path),
            camera.program().c_str(), parser.value(bind).toUtf8().constData(), unsigned(bound));
        std::fflush(stdout);
        while (!g_quit)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        camera.stop();
        return 0;
    }

    camsim::SimServerOptions options;
    options.profile = parser.value(profile).toStdString();
    options.cardDirectory = parser.value(card).toStdString();
    options.generatedFiles = parser.value(generate).toInt();
    options.fps = parser.value(fps).toDouble();
    options.seed = parser.value(seed).toUInt();
    if (options.fps <= 0 || options.fps > 240) {
        std::fprintf(stderr, "lumivar-camsim: --fps must lie between 0 and 240\n");
        return 2;
    }
    for (const QCommandLineOption& o : faultOptions) {
        if (!parser.isSet(o))
            continue;
        std::string error;
        if (!camsim::SimFaults::apply(
                options.faults, o.names().front().toStdString(), parser.value(o).toStdString(), &error)) {
            std::fprintf(stderr, "lumivar-camsim: %s\n", error.c_str());
            return 2;
        }
    }
    options.requestLog = requestLog;

    camsim::SimServer server(options);
    if (!server.isValid()) {
        std::fprintf(stderr, "lumivar-camsim: %s\n", server.errorText().c_str());
        return 1;
    }
    const uint16_t bound
        = server.start(uint16_t(parser.value(port).toUInt()), parser.value(bind).toStdString());
    if (bound == 0) {
        std::fprintf(stderr, "lumivar-camsim: %s\n", server.errorText().c_str());
        return 1;
    }
    std::fprintf(stdout, "lumivar-camsim: %s (%s) on http://%s:%u/, control under /__sim/\n",
        options.profile.c_str(), server.profile().model.c_str(), parser.value(bind).toUtf8().constData(),
        unsigned(bound));
    std::fflush(stdout);

    while (!g_quit)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    server.stop();
    return 0;
}
