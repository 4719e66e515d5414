#include "sim/SimControlRoutes.h"

#include "sim/SimContext.h"

namespace camsim {

namespace {

constexpr int kMostShotsAtOnce = 1000;

void answerState(httplib::Response& res, const std::function<std::string()>& stateJson)
{
    res.status = 200;
    res.set_content(stateJson(), "application/json");
}

void badRequest(httplib::Response& res, const std::string& why, int status = 400)
{
    res.status = status;
    res.set_content(why + "\n", "text/plain");
}

// The photographer presses the body's own shutter button: possible in shutter mode, where the
// camera is only a remote release for the client; in recording mode the client has the controls and
// in play mode the body shows the connection.
bool shoot(SimContext& ctx, const httplib::Request& req, httplib::Response& res)
{
    const std::string countText = req.has_param("count") ? req.get_param_value("count") : "1";
    const bool number = !countText.empty() && countText.size() <= 4
        && countText.find_first_not_of("0123456789") == std::string::npos;
    const int count = number ? std::stoi(countText) : 0;
    if (count < 1 || count > kMostShotsAtOnce) {
        badRequest(res, "shoot needs count=1.." + std::to_string(kMostShotsAtOnce));
        return false;
    }
    if (!ctx.camera.powered() || ctx.camera.mode() != SimCamera::Mode::Shutter) {
        badRequest(res, "the body shoots by itself only when on and in shutter mode", 409);
        return false;
    }
    for (int i = 0; i < count; ++i)
        ctx.takeShot(ctx.camera.exposureSeconds());
    return true;
}

} // namespace

void SimControlRoutes::install(
    httplib::Server& server, SimContext& ctx, std::function<std::string()> stateJson)
{
    server.Get("/__sim/state",
        [stateJson](const httplib::Request&, httplib::Response& res) { answerState(res, stateJson); });

    server.Get("/__sim/power", [&ctx, stateJson](const httplib::Request& req, httplib::Response& res) {
        const std::string on = req.get_param_value("on");
        if (on != "0" && on != "1") {
            badRequest(res, "power needs on=0 or on=1");
            return;
        }
        if (on == "0")
            ctx.liveView.stop();
        ctx.camera.setPowered(on == "1");
        answerState(res, stateJson);
    });

    server.Get("/__sim/connectmode", [&ctx, stateJson](const httplib::Request& req, httplib::Response& res) {
        const std::string mode = req.get_param_value("mode");
        if (mode.empty() || mode.find_first_of("<>&") != std::string::npos) {
            badRequest(res, "connectmode needs mode=NAME");
            return;
        }
        ctx.camera.setConnectMode(mode);
        answerState(res, stateJson);
    });

    server.Get("/__sim/quality", [&ctx, stateJson](const httplib::Request& req, httplib::Response& res) {
        const std::string quality = req.get_param_value("value");
        if (quality.empty()) {
            badRequest(res, "quality needs value=, for example LF+RAW, LF, RAW");
            return;
        }
        ctx.camera.setQuality(quality);
        answerState(res, stateJson);
    });

    server.Get("/__sim/shoot", [&ctx, stateJson](const httplib::Request& req, httplib::Response& res) {
        if (shoot(ctx, req, res))
            answerState(res, stateJson);
    });

    // /__sim/fault?latency=200&error-rate=0.1 changes the named faults; reset=1 clears all first.
    server.Get("/__sim/fault", [&ctx, stateJson](const httplib::Request& req, httplib::Response& res) {
        SimFaultSettings settings
            = req.get_param_value("reset") == "1" ? SimFaultSettings() : ctx.faults.settings();
        for (const auto& [key, value] : req.params) {
            if (key == "reset")
                continue;
            std::string error;
            if (!SimFaults::apply(settings, key, value, &error)) {
                badRequest(res, error);
                return;
            }
        }
        ctx.faults.setSettings(settings);
        if (ctx.card)
            ctx.card->setHostileNames(settings.hostileNames);
        answerState(res, stateJson);
    });
}

} // namespace camsim
