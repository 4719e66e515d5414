#include "sim/SimCameraRoutes.h"

#include "sim/SimContext.h"
#include "sim/SimReply.h"
#include "sim/SimRouteGuard.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <optional>
#include <regex>
#include <thread>

namespace camsim {

namespace {

using Mode = SimCamera::Mode;
constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\"?>";
// Longer exposures are shortened so a simulated 60" does not hold a worker thread for minutes.
constexpr double kLongestExposureWait = 60;

std::optional<std::string> param(const httplib::Request& req, const char* key)
{
    if (!req.has_param(key))
        return std::nullopt;
    return req.get_param_value(key);
}

bool listed(const SimContext& ctx, const std::string& cgi, const std::vector<std::string>& path,
    const std::string& value)
{
    const std::vector<std::string> values = ctx.profile.commands.values(cgi, path);
    return std::find(values.begin(), values.end(), value) != values.end();
}

bool parsePoint(const std::string& text, int* x, int* y)
{
    static const std::regex pattern("^([0-9]{1,5})x([0-9]{1,5})$");
    std::smatch m;
    if (!std::regex_match(text, m, pattern))
        return false;
    *x = std::stoi(m[1].str());
    *y = std::stoi(m[2].str());
    return true;
}

std::string pair4(int a, int b)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%04dx%04d", a, b);
    return text;
}

std::string focusAnswer(const SimContext& ctx, bool withTake)
{
    const int size = ctx.camera.afFrameSize();
    return std::string(kXmlDeclaration) + "<response>" + (withTake ? "<take>ok</take>" : "")
        + "<affocus>ok</affocus><afframepoint>" + pair4(ctx.camera.afX(), ctx.camera.afY())
        + "</afframepoint><afframesize>" + pair4(size, size) + "</afframesize></response>";
}

// A timed exposure takes its time before the camera answers.
void exposeAndStore(SimContext& ctx)
{
    const double seconds = ctx.camera.exposureSeconds();
    if (seconds > 0.05)
        std::this_thread::sleep_for(std::chrono::duration<double>(std::min(seconds, kLongestExposureWait)));
    ctx.takeShot(seconds);
}

// Takes a point parameter if present: false (and an error answer) when it is malformed or off the
// live view picture.
bool takePoint(SimContext& ctx, const httplib::Request& req, httplib::Response& res, bool required)
{
    const auto point = param(req, "point");
    if (!point) {
        if (required)
            SimReply::error(res, ctx.profile, SimReply::BadParameter);
        return !required;
    }
    int x = 0, y = 0;
    if (!parsePoint(*point, &x, &y) || !ctx.camera.pointInsideLiveView(x, y)) {
        SimReply::error(res, ctx.profile, SimReply::BadParameter);
        return false;
    }
    ctx.camera.assignAfPoint(x, y);
    return true;
}

void switchMode(SimContext& ctx, const httplib::Request& req, httplib::Response& res)
{
    const auto mode = param(req, "mode");
    const auto size = param(req, "lvqty");
    const SimProfile& p = ctx.profile;
    if (!mode || !p.hasMode(*mode)) {
        SimReply::error(res, p, SimReply::BadParameter);
        return;
    }
    Mode target = Mode::Play;
    std::string chosen;
    if (*mode == "rec" || *mode == "shutter") {
        target = *mode == "rec" ? Mode::Rec : Mode::Shutter;
        const std::vector<std::string> sizes = target == Mode::Rec ? p.recSizes() : p.shutterSizes();
        if (size && std::find(sizes.begin(), sizes.end(), *size) == sizes.end()) {
            SimReply::error(res, p, SimReply::BadParameter);
            return;
        }
        // Recording mode always runs a live view size; shutter mode only when one is asked for.
        chosen = size ? *size : (target == Mode::Rec && !sizes.empty() ? sizes.front() : std::string());
    }
    // A body already in recording mode keeps its live view size: clients go through play to change it.
    if (target != Mode::Play && ctx.camera.mode() == target) {
        SimReply::empty(res, 200, "www/unknown");
        return;
    }
    ctx.liveView.stop();
    ctx.camera.endExposure();
    ctx.camera.setMovieRunning(false);
    ctx.camera.switchMode(target, chosen);
    SimReply::empty(res, 200, "www/unknown");
}

void getCamprop(SimContext& ctx, const httplib::Request& req, httplib::Response& res)
{
    const SimProfile& p = ctx.profile;
    if (ctx.camera.mode() != Mode::Rec) {
        SimReply::error(res, p, SimReply::WrongMode);
        return;
    }
    const std::string com = param(req, "com").value_or("");
    const std::string name = param(req, "propname").value_or("");
    if ((com != "desc" && com != "get") || !listed(ctx, "get_camprop", { "com", com, "propname" }, name)) {
        SimReply::error(res, p, SimReply::BadParameter);
        return;
    }
    std::string body = ctx.camera.withProperties([&](const SimPropertySet& props) -> std::string {
        if (name == "desclist")
            return props.desclistElement();
        if (!props.has(name))
            return {};
        if (com == "get")
            return "<get><value>" + props.value(name).value_or("") + "</value></get>";
        auto quirk = p.descPropnameQuirks.find(name);
        return props.descElement(name, quirk == p.descPropnameQuirks.end() ? name : quirk->second);
    });
    if (body.empty())
        SimReply::error(res, p, SimReply::BadParameter);
    else
        SimReply::xml(res, kXmlDeclaration + body);
}

void setCamprop(SimContext& ctx, const httplib::Request& req, httplib::Response& res)
{
    const SimProfile& p = ctx.profile;
    if (ctx.camera.mode() != Mode::Rec) {
        SimReply::error(res, p, SimReply::WrongMode);
        return;
    }
    const std::string name = param(req, "propname").value_or("");
    if (req.method != "POST" || param(req, "com").value_or("") != "set"
        || !listed(ctx, "set_camprop", { "com", "set", "propname" }, name)) {
        SimReply::error(res, p, SimReply::BadParameter);
        return;
    }
    static const std::regex body(R"(^\s*(<\?xml[^>]*\?>)?\s*<set>\s*<value>([^<]*)</value>\s*</set>\s*$)");
    std::smatch m;
    if (!std::regex_match(req.body, m, body)) {
        // The E-M10 answered a bare value with code 1000.
        SimReply::error(res, p, SimReply::BadBody);
        return;
    }
    switch (ctx.camera.setProperty(name, m[2].str())) {
    case SimPropertySet::SetResult::Ok:
        SimReply::empty(res);
        break;
    case SimPropertySet::SetResult::NotInThisTakeMode:
        SimReply::error(res, p, SimReply::WrongMode);
        break;
    default:
        SimReply::error(res, p, SimReply::BadParameter);
        break;
    }
}

void takeMotion(SimContext& ctx, const httplib::Request& req, httplib::Response& res)
{
    const SimProfile& p = ctx.profile;
    const std::string com = param(req, "com").value_or("");
    if (ctx.camera.mode() != Mode::Rec) {
        SimReply::error(res, p, SimReply::WrongMode);
        return;
    }
    if (!listed(ctx, "exec_takemotion", { "com" }, com)) {
        SimReply::error(res, p, SimReply::BadParameter);
        return;
    }
    using Take = SimCamera::TakeState;
    if (com == "assignafframe" || com == "takeready") {
        if (takePoint(ctx, req, res, com == "assignafframe"))
            SimReply::xml(res, focusAnswer(ctx, false));
    } else if (com == "releaseafframe") {
        ctx.camera.releaseAfPoint();
        SimReply::empty(res);
    } else if (com == "starttake") {
        if (ctx.camera.takeState() != Take::Idle) {
            SimReply::error(res, p, SimReply::WrongMode);
            return;
        }
        if (!takePoint(ctx, req, res, false))
            return;
        if (ctx.camera.exposureIsOpenEnded())
            ctx.camera.beginExposure();
        else
            exposeAndStore(ctx);
        SimReply::xml(res, focusAnswer(ctx, true));
    } else if (com == "stoptake") {
        if (ctx.camera.takeState() == Take::Exposing)
            ctx.takeShot(ctx.camera.endExposure());
        SimReply::empty(res);
    } else if (com == "startmovietake" || com == "stopmovietake") {
        const bool start = com == "startmovietake";
        if ((ctx.camera.takeState() == Take::Movie) == start) {
            SimReply::error(res, p, SimReply::WrongMode);
            return;
        }
        ctx.camera.setMovieRunning(start);
        if (!start)
            ctx.takeShot(0, "MOV");
        SimReply::empty(res);
    } else {
        SimReply::error(res, p, SimReply::BadParameter);
    }
}

void shutter(SimContext& ctx, const httplib::Request& req, httplib::Response& res)
{
    const SimProfile& p = ctx.profile;
    const std::string com = param(req, "com").value_or("");
    if (ctx.camera.mode() != Mode::Shutter) {
        SimReply::error(res, p, SimReply::WrongMode);
        return;
    }
    if (!listed(ctx, "exec_shutter", { "com" }, com)) {
        SimReply::error(res, p, SimReply::BadParameter);
        return;
    }
    if (com == "2ndpush" || com == "1st2ndpush") {
        if (ctx.camera.exposureIsOpenEnded()) {
            if (ctx.camera.takeState() == SimCamera::TakeState::Idle)
                ctx.camera.beginExposure();
        } else {
            ctx.takeShot(ctx.camera.exposureSeconds());
        }
    } else if (com == "2nd1strelease" || com == "2ndrelease") {
        if (ctx.camera.takeState() == SimCamera::TakeState::Exposing)
            ctx.takeShot(ctx.camera.endExposure());
    }
    SimReply::empty(res);
}

void recordView(SimContext& ctx, httplib::Response& res, bool wholeFile)
{
    const std::string path = ctx.card ? ctx.card->newestJpegPath() : std::string();
    if (path.empty()) {
        SimReply::error(res, ctx.profile, SimReply::WrongMode);
        return;
    }
    // The record view is a display-sized picture of the last shot; getlastjpg is the file itself.
    std::string jpeg = wholeFile ? std::string() : ctx.card->screennail(path);
    if (jpeg.empty()) {
        const auto entry = ctx.card->find(path);
        jpeg.resize(entry ? size_t(entry->size) : 0);
        jpeg.resize(ctx.card->read(path, 0, jpeg.data(), jpeg.size()));
    }
    res.status = 200;
    res.set_content(jpeg, "image/jpeg");
}

void liveViewCommand(
    SimContext& ctx, const std::string& cgi, const httplib::Request& req, httplib::Response& res)
{
    const SimProfile& p = ctx.profile;
    const std::string com = param(req, "com").value_or("");
    const Mode needed = cgi == "exec_takemisc" ? Mode::Rec : Mode::Shutter;
    if (ctx.camera.mode() != needed) {
        SimReply::error(res, p, SimReply::WrongMode);
        return;
    }
    if (!listed(ctx, cgi, { "com" }, com)) {
        SimReply::error(res, p, SimReply::BadParameter);
        return;
    }
    if (com == "startliveview") {
        const std::string port = param(req, "port").value_or("");
        const int number = std::regex_match(port, std::regex("^[0-9]{1,5}$")) ? std::stoi(port) : 0;
        if (number < 1 || number > 65535) {
            SimReply::error(res, p, SimReply::BadParameter);
            return;
        }
        if (ctx.camera.liveViewWidth() <= 0) {
            SimReply::error(res, p, SimReply::WrongMode);
            return;
        }
        ctx.startLiveView(req.remote_addr, uint16_t(number));
        SimReply::xml(res, p.funcidList);
    } else if (com == "stopliveview") {
        ctx.liveView.stop();
        SimReply::empty(res);
    } else if (com == "getrecview" || com == "getlastjpg") {
        recordView(ctx, res, com == "getlastjpg");
    } else if (com == "GetShortMoviesAlbumInfo") {
        // Invented: no capture of this answer is known. The simulated card holds no short movie
        // album, so the list is empty.
        SimReply::xml(res, std::string(kXmlDeclaration) + "<albumlist></albumlist>");
    } else if (com == "ctrlzoom") {
        const std::string move = param(req, "move").value_or("");
        if (!listed(ctx, cgi, { "com", "ctrlzoom", "move" }, move)) {
            SimReply::error(res, p, SimReply::BadParameter);
            return;
        }
        ctx.camera.zoom(move);
        SimReply::empty(res);
    } else {
        SimReply::error(res, p, SimReply::BadParameter);
    }
}

// utctime=yyyymmddThhmmss and diff=+hhmm / -hhmm; the camera's clock follows.
void setUtcTimeDiff(SimContext& ctx, const httplib::Request& req, httplib::Response& res)
{
    static const std::regex timePattern("^([0-9]{4})([0-9]{2})([0-9]{2})T([0-9]{2})([0-9]{2})([0-9]{2})$");
    static const std::regex diffPattern("^([+-])([0-9]{2})([0-9]{2})$");
    const std::string utc = param(req, "utctime").value_or("");
    const std::string diff = param(req, "diff").value_or("");
    std::smatch t, d;
    if (!std::regex_match(utc, t, timePattern) || !std::regex_match(diff, d, diffPattern)) {
        SimReply::error(res, ctx.profile, SimReply::BadParameter);
        return;
    }
    const int year = std::stoi(t[1]), month = std::stoi(t[2]), day = std::stoi(t[3]);
    const int hour = std::stoi(t[4]), minute = std::stoi(t[5]), second = std::stoi(t[6]);
    const int diffHours = std::stoi(d[2]), diffMinutes = std::stoi(d[3]);
    const std::chrono::year_month_day date { std::chrono::year(year), std::chrono::month(unsigned(month)),
        std::chrono::day(unsigned(day)) };
    if (!date.ok() || year < 1980 || year > 2107 || hour > 23 || minute > 59 || second > 59 || diffHours > 14
        || diffMinutes > 59) {
        SimReply::error(res, ctx.profile, SimReply::BadParameter);
        return;
    }
    const auto when = std::chrono::sys_days(date) + std::chrono::hours(hour) + std::chrono::minutes(minute)
        + std::chrono::seconds(second);
    const int offset = (diffHours * 60 + diffMinutes) * (d[1] == "-" ? -1 : 1);
    ctx.clock.set(std::chrono::time_point_cast<std::chrono::system_clock::duration>(when), offset);
    SimReply::empty(res);
}

// The GPS requests are accepted and what they carry is kept for /__sim/state; how a camera uses the
// data is not simulated, and their answers (empty, as for set_camprop) are invented.
void gpsRequest(SimContext& ctx, const std::string& cgi, const httplib::Request& req, httplib::Response& res)
{
    if (req.method != "POST") {
        SimReply::error(res, ctx.profile, SimReply::BadParameter);
        return;
    }
    if (cgi == "req_attachexifgps") {
        ctx.camera.attachGps(req.body);
    } else {
        const std::string mode = param(req, "mode").value_or("");
        if (!listed(ctx, cgi, { "mode" }, mode)) {
            SimReply::error(res, ctx.profile, SimReply::BadParameter);
            return;
        }
        ctx.camera.storeGps(mode == "append", param(req, "date").value_or(""), req.body);
    }
    SimReply::empty(res);
}

} // namespace

void SimCameraRoutes::install(httplib::Server& server, SimContext& ctx)
{
    auto get = [&](const std::string& cgi, auto fn, bool listedOnly = true) {
        server.Get("/" + cgi + ".cgi",
            SimRouteGuard::wrap(ctx, listedOnly ? cgi : std::string(),
                [&ctx, fn](const httplib::Request& req, httplib::Response& res) { fn(ctx, req, res); }));
    };
    get(
        "get_commandlist",
        [](SimContext& c, const httplib::Request&, httplib::Response& res) {
            SimReply::xml(res, c.profile.commandListBytes);
        },
        false);
    get("get_connectmode", [](SimContext& c, const httplib::Request&, httplib::Response& res) {
        SimReply::xml(res,
            std::string(kXmlDeclaration) + "\r\n<connectmode>" + c.camera.connectMode() + "</connectmode>");
    });
    get("get_caminfo", [](SimContext& c, const httplib::Request&, httplib::Response& res) {
        SimReply::xml(res, c.profile.caminfo);
    });
    get("switch_cammode", switchMode);
    get("get_camprop", getCamprop);
    get("set_camprop", setCamprop);
    server.Post("/set_camprop.cgi",
        SimRouteGuard::wrap(ctx, "set_camprop",
            [&ctx](const httplib::Request& req, httplib::Response& res) { setCamprop(ctx, req, res); }));
    get("exec_takemotion", takeMotion);
    get("exec_shutter", shutter);
    get("exec_takemisc", [](SimContext& c, const httplib::Request& req, httplib::Response& res) {
        liveViewCommand(c, "exec_takemisc", req, res);
    });
    get("exec_shuttermisc", [](SimContext& c, const httplib::Request& req, httplib::Response& res) {
        liveViewCommand(c, "exec_shuttermisc", req, res);
    });
    get("exec_pwoff", [](SimContext& c, const httplib::Request&, httplib::Response& res) {
        // The answer still goes out; the next connection finds the camera switched off.
        c.liveView.stop();
        c.camera.setPowered(false);
        // As the E-M10 answers it: 200 without a body (202 is the Air's answer).
        SimReply::empty(res, 200, "www/unknown");
    });
    for (const char* cgi : { "req_attachexifgps", "req_storegpsinfo" }) {
        const auto handler = SimRouteGuard::wrap(
            ctx, cgi, [&ctx, cgi = std::string(cgi)](const httplib::Request& req, httplib::Response& res) {
                gpsRequest(ctx, cgi, req, res);
            });
        server.Get("/" + std::string(cgi) + ".cgi", handler);
        server.Post("/" + std::string(cgi) + ".cgi", handler);
    }
    get("get_gpsdivunit", [](SimContext&, const httplib::Request&, httplib::Response& res) {
        // Invented: no capture of this answer is known; the unit in which the camera wants a GPS
        // log split, in bytes.
        SimReply::xml(res, std::string(kXmlDeclaration) + "<gpsdivunit>4096</gpsdivunit>");
    });
    get("get_activate",
        [](SimContext&, const httplib::Request&, httplib::Response& res) { SimReply::empty(res); });
    get("set_utctimediff", setUtcTimeDiff);
    get("set_timeout", [](SimContext& c, const httplib::Request& req, httplib::Response& res) {
        const std::string seconds = param(req, "timeoutsec").value_or("");
        if (!std::regex_match(seconds, std::regex("^[0-9]{1,6}$")))
            SimReply::error(res, c.profile, SimReply::BadParameter);
        else
            SimReply::empty(res);
    });
}

} // namespace camsim
