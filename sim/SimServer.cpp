#include "sim/SimServer.h"

#include "sim/SimCameraRoutes.h"
#include "sim/SimCardRoutes.h"
#include "sim/SimContext.h"
#include "sim/SimControlRoutes.h"
#include "sim/SimHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <ctime>

namespace camsim {

namespace {

const char* modeName(SimCamera::Mode mode)
{
    switch (mode) {
    case SimCamera::Mode::Play:
        return "play";
    case SimCamera::Mode::Rec:
        return "rec";
    case SimCamera::Mode::Shutter:
        return "shutter";
    }
    return "";
}

std::string logTime()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const int ms
        = int(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm tm {};
    localtime_r(&t, &tm);
    char text[32];
    std::snprintf(text, sizeof(text), "%02d:%02d:%02d.%03d", tm.tm_hour, tm.tm_min, tm.tm_sec, ms);
    return text;
}

std::string target(const httplib::Request& req)
{
    return req.target.empty() ? req.path : req.target;
}

} // namespace

SimServer::SimServer(SimServerOptions options)
    : m_options(std::move(options))
{
    std::optional<SimProfile> profile = SimProfile::load(m_options.profile, &m_error);
    if (!profile)
        return;
    m_ctx = std::make_unique<SimContext>(std::move(*profile), m_options.seed);
    m_ctx->fps = m_options.fps;
    m_ctx->faults.setSettings(m_options.faults);
    if (!m_options.cardDirectory.empty()) {
        m_ctx->card = SimCard::fromDirectory(m_options.cardDirectory);
        if (!m_ctx->card) {
            m_error = "cannot read a card from " + m_options.cardDirectory;
            m_ctx.reset();
            return;
        }
    } else {
        m_ctx->card = SimCard::generate(
            std::max(0, m_options.generatedFiles), m_options.seed, m_ctx->clock, m_ctx->camera.shotInfo(0));
    }
    m_ctx->card->setHostileNames(m_options.faults.hostileNames);
}

SimServer::~SimServer()
{
    stop();
}

bool SimServer::isValid() const
{
    return m_ctx != nullptr;
}

std::string SimServer::errorText() const
{
    return m_error;
}

void SimServer::installRoutes()
{
    SimContext& ctx = *m_ctx;
    m_http->set_keep_alive_max_count(1);
    m_http->set_read_timeout(5, 0);
    m_http->set_write_timeout(10, 0);
    // Power off: only the control interface answers. While the body switches off, connections are
    // closed unanswered; then it has left the network, and they get neither a byte nor a close.
    using Admission = SimHttpServer::Admission;
    const auto switchOff = std::chrono::milliseconds(std::max(0, m_options.switchOffMs));
    m_http->setAdmission([&ctx, switchOff](const std::string& start) {
        if (start.find(" /__sim/") != std::string::npos || ctx.camera.powered())
            return Admission::Answer;
        return ctx.camera.offFor() < switchOff ? Admission::Close : Admission::Hold;
    });
    auto log = m_options.requestLog;
    m_http->setRequestLogger(
        [&ctx, log](const httplib::Request& req, const httplib::Response& res, uint64_t bodyBytesSent) {
            ctx.requestsServed++;
            if (!log)
                return;
            // What went out, which for a dropped transfer is less than its Content-Length.
            log(logTime() + " " + req.remote_addr + ":" + std::to_string(req.remote_port) + " " + req.method
                + " " + target(req) + " " + std::to_string(res.status) + " " + std::to_string(bodyBytesSent));
        });
    SimCameraRoutes::install(*m_http, ctx);
    SimCardRoutes::install(*m_http, ctx);
    SimControlRoutes::install(*m_http, ctx, [this] { return stateJson(); });
}

uint16_t SimServer::start(uint16_t port, const std::string& bindAddress)
{
    if (!m_ctx || m_http)
        return m_port;
    m_http = std::make_unique<SimHttpServer>();
    installRoutes();
    const uint16_t bound = m_http->listenInBackground(bindAddress, port, m_thread, m_error);
    if (bound == 0) {
        m_http.reset();
        return 0;
    }
    m_port = bound;
    return m_port;
}

void SimServer::stop()
{
    if (m_ctx)
        m_ctx->liveView.stop();
    if (!m_http)
        return;
    m_http->stopListening(m_thread);
    m_http.reset();
    m_port = 0;
}

void SimServer::setCard(std::unique_ptr<SimCard> card)
{
    if (!m_ctx || !card)
        return;
    card->setHostileNames(m_ctx->faults.settings().hostileNames);
    m_ctx->card = std::move(card);
}

const SimProfile& SimServer::profile() const
{
    return m_ctx->profile;
}

SimCamera& SimServer::camera()
{
    return m_ctx->camera;
}

SimCard& SimServer::card()
{
    return *m_ctx->card;
}

SimClock& SimServer::clock()
{
    return m_ctx->clock;
}

SimFaults& SimServer::faults()
{
    return m_ctx->faults;
}

void SimServer::setFaults(const SimFaultSettings& settings)
{
    m_ctx->faults.setSettings(settings);
    m_ctx->card->setHostileNames(settings.hostileNames);
}

void SimServer::setPower(bool on)
{
    if (!on)
        m_ctx->liveView.stop();
    m_ctx->camera.setPowered(on);
}

bool SimServer::liveViewRunning() const
{
    return m_ctx && m_ctx->liveView.running();
}

uint64_t SimServer::liveViewFramesSent() const
{
    return m_ctx ? m_ctx->liveView.framesSent() : 0;
}

uint64_t SimServer::requestsServed() const
{
    return m_ctx ? m_ctx->requestsServed.load() : 0;
}

std::string SimServer::stateJson() const
{
    const SimContext& ctx = *m_ctx;
    QJsonObject o;
    o["profile"] = QString::fromStdString(ctx.profile.name);
    o["model"] = QString::fromStdString(ctx.profile.model);
    o["power"] = ctx.camera.powered();
    o["connectmode"] = QString::fromStdString(ctx.camera.connectMode());
    o["mode"] = modeName(ctx.camera.mode());
    o["lvqty"] = QString::fromStdString(ctx.camera.liveViewSize());
    o["quality"] = QString::fromStdString(ctx.camera.quality());
    o["afpoint"] = QJsonArray { ctx.camera.afX(), ctx.camera.afY() };
    o["focallength"] = ctx.camera.focalLength();
    const char* take[] = { "idle", "exposing", "movie" };
    o["take"] = take[int(ctx.camera.takeState())];
    QJsonObject props;
    ctx.camera.withProperties([&](const SimPropertySet& set) {
        for (const std::string& name : set.names())
            props[QString::fromStdString(name)] = QString::fromStdString(set.value(name).value_or(""));
        return 0;
    });
    o["properties"] = props;
    const SimGpsLog gpsLog = ctx.camera.gpsLog();
    QJsonObject gps;
    gps["attached"] = QString::fromStdString(gpsLog.attached);
    gps["stored"] = QString::fromStdString(gpsLog.stored);
    gps["date"] = QString::fromStdString(gpsLog.storedDate);
    gps["storedbytes"] = qint64(gpsLog.storedBytes);
    o["gps"] = gps;
    QJsonObject live;
    live["running"] = ctx.liveView.running();
    live["frames"] = qint64(ctx.liveView.framesSent());
    o["liveview"] = live;
    const SimFaultSettings f = ctx.faults.settings();
    QJsonObject faults;
    faults["latency"] = f.latencyMs;
    faults["error-rate"] = f.errorRate;
    faults["truncate-rate"] = f.truncateRate;
    faults["malformed-rate"] = f.malformedRate;
    faults["drop-rate"] = f.dropRate;
    faults["hostile-names"] = f.hostileNames;
    faults["loss"] = f.stream.loss;
    faults["reorder"] = f.stream.reorder;
    faults["duplicate"] = f.stream.duplicate;
    faults["garbage"] = f.stream.garbage;
    o["faults"] = faults;
    QJsonObject card;
    card["files"] = ctx.card ? ctx.card->dcfFileCount() : 0;
    card["unused"] = qint64(ctx.card ? ctx.card->unusedCapacity() : 0);
    o["card"] = card;
    const LocalTime t = ctx.clock.localNow();
    char clock[32];
    std::snprintf(clock, sizeof(clock), "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
        t.minute, t.second);
    o["clock"] = clock;
    o["requests"] = qint64(ctx.requestsServed.load());
    return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
}

} // namespace camsim
