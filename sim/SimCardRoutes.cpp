#include "sim/SimCardRoutes.h"

#include "sim/SimContext.h"
#include "sim/SimReply.h"
#include "sim/SimRouteGuard.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace camsim {

namespace {

using Mode = SimCamera::Mode;
constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\"?>";
constexpr size_t kReadChunk = 256 * 1024;

std::string record(const SimEntry& e, const std::string& dir)
{
    return dir + "," + e.name + "," + std::to_string(e.size) + "," + std::to_string(e.attr) + ","
        + std::to_string(e.date) + "," + std::to_string(e.time);
}

std::string upperExtension(const std::string& name)
{
    const size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    std::transform(
        ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return ext;
}

std::string contentTypeOf(const std::string& name)
{
    const std::string ext = upperExtension(name);
    if (ext == "JPG")
        return "image/jpeg";
    if (ext == "MOV")
        return "video/quicktime";
    if (ext == "AVI")
        return "video/x-msvideo";
    return "application/octet-stream";
}

bool exposed(const SimContext& ctx)
{
    // Only the private connection mode shows the card.
    return ctx.camera.connectMode() == "private" && ctx.card;
}

// Listing and picture requests need play mode; the E-M10 also answers them in recording mode.
bool cardModeOk(SimContext& ctx, httplib::Response& res)
{
    const Mode mode = ctx.camera.mode();
    if (mode == Mode::Play || (mode == Mode::Rec && ctx.profile.listsInRec))
        return true;
    SimReply::error(res, ctx.profile, SimReply::WrongMode);
    return false;
}

std::string trimSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

void imageList(SimContext& ctx, const httplib::Request& req, httplib::Response& res)
{
    if (!req.has_param("DIR")) {
        SimReply::error(res, ctx.profile, SimReply::BadParameter);
        return;
    }
    if (!cardModeOk(ctx, res))
        return;
    const std::string dir = trimSlash(req.get_param_value("DIR"));
    const std::vector<SimEntry> entries = exposed(ctx) ? ctx.card->list(dir) : std::vector<SimEntry>();
    if (entries.empty()) {
        SimReply::notFound(res);
        return;
    }
    std::string body = "VER_100\r\n";
    for (const SimEntry& e : entries)
        body += record(e, e.dir) + "\r\n";
    SimReply::closeDelimited(res, std::move(body), "text/plain");
}

// A picture answer made by `make` from the file named by DIR.
template<class Make>
void picture(SimContext& ctx, const httplib::Request& req, httplib::Response& res, Make make)
{
    if (!req.has_param("DIR")) {
        SimReply::error(res, ctx.profile, SimReply::BadParameter);
        return;
    }
    if (!cardModeOk(ctx, res))
        return;
    const std::string jpeg = exposed(ctx) ? make(*ctx.card, req.get_param_value("DIR")) : std::string();
    if (jpeg.empty()) {
        SimReply::notFound(res);
        return;
    }
    res.status = 200;
    res.set_content(jpeg, "image/jpeg");
}

void download(SimContext& ctx, const SimEntry& entry, const std::string& path, httplib::Response& res)
{
    res.status = 200;
    const std::string type = contentTypeOf(entry.name);
    if (entry.size == 0) {
        res.set_content(std::string(), type);
        return;
    }
    SimCard* card = ctx.card.get();
    auto buffer = std::make_shared<std::vector<char>>(kReadChunk);
    res.set_content_provider(size_t(entry.size), type,
        [card, path, buffer](size_t offset, size_t length, httplib::DataSink& sink) {
            const size_t n = card->read(path, offset, buffer->data(), std::min(length, buffer->size()));
            return n > 0 && sink.write(buffer->data(), n);
        });
}

std::string dcimPage(const SimContext& ctx, const std::string& requested, const std::string& folder)
{
    const std::string& tmpl = folder == "/DCIM" ? ctx.profile.dcimRootPage : ctx.profile.dcimFolderPage;
    std::string lines;
    if (exposed(ctx)) {
        int i = 0;
        // The page repeats the folder as it was asked for, trailing slash included.
        for (const SimEntry& e : ctx.card->list(folder))
            lines += "wlansd[" + std::to_string(i++) + "]=\"" + record(e, requested) + "\";\r\n";
    }
    std::string page = tmpl;
    const std::string marker = "@WLANSD@\r\n";
    const size_t at = page.find(marker);
    if (at != std::string::npos)
        page.replace(at, marker.size(), lines);
    return page;
}

void dcim(SimContext& ctx, const httplib::Request& req, httplib::Response& res)
{
    const std::string requested = req.path;
    const std::string path = trimSlash(requested);
    const bool folder
        = path == "/DCIM" || (ctx.card && ctx.card->find(path) && (ctx.card->find(path)->attr & 16));
    if (folder) {
        if (!ctx.profile.hasDcimPages()) {
            SimReply::notFound(res);
            return;
        }
        res.status = 200;
        res.set_content(dcimPage(ctx, requested, path), "text/html");
        return;
    }
    const auto entry = exposed(ctx) ? ctx.card->find(path) : std::nullopt;
    if (!entry) {
        SimReply::notFound(res);
        return;
    }
    download(ctx, *entry, path, res);
}

} // namespace

void SimCardRoutes::install(httplib::Server& server, SimContext& ctx)
{
    auto get = [&](const std::string& cgi, auto fn) {
        server.Get("/" + cgi + ".cgi",
            SimRouteGuard::wrap(ctx, cgi,
                [&ctx, fn](const httplib::Request& req, httplib::Response& res) { fn(ctx, req, res); }));
    };
    get("get_imglist", imageList);
    get("get_rsvimglist", [](SimContext&, const httplib::Request&, httplib::Response& res) {
        // No picture is reserved for transfer on the simulated card.
        SimReply::closeDelimited(res, "VER_100\r\n", "text/plain");
    });
    get("get_thumbnail", [](SimContext& c, const httplib::Request& req, httplib::Response& res) {
        picture(
            c, req, res, [](const SimCard& card, const std::string& path) { return card.thumbnail(path); });
    });
    get("get_screennail", [](SimContext& c, const httplib::Request& req, httplib::Response& res) {
        picture(
            c, req, res, [](const SimCard& card, const std::string& path) { return card.screennail(path); });
    });
    get("get_resizeimg", [](SimContext& c, const httplib::Request& req, httplib::Response& res) {
        const std::vector<std::string> sizes
            = c.profile.commands.values("get_resizeimg", { "DIR", "", "size" });
        const std::string size = req.get_param_value("size");
        const bool number = size.size() >= 1 && size.size() <= 4
            && size.find_first_not_of("0123456789") == std::string::npos;
        if (!number || (!sizes.empty() && std::find(sizes.begin(), sizes.end(), size) == sizes.end())) {
            SimReply::error(res, c.profile, SimReply::BadParameter);
            return;
        }
        // The long side of the answer is the size asked for.
        picture(c, req, res, [longSide = std::stoi(size)](const SimCard& card, const std::string& path) {
            return card.resized(path, longSide);
        });
    });
    get("get_movplaytime", [](SimContext& c, const httplib::Request& req, httplib::Response& res) {
        const int seconds
            = c.card && req.has_param("DIR") ? c.card->moviePlayTimeSeconds(req.get_param_value("DIR")) : -1;
        if (seconds < 0)
            SimReply::error(res, c.profile, SimReply::BadParameter);
        else
            SimReply::xml(
                res, std::string(kXmlDeclaration) + "<playtime>" + std::to_string(seconds) + "</playtime>");
    });
    get("get_dcffilenum", [](SimContext& c, const httplib::Request&, httplib::Response& res) {
        const int count = c.card ? c.card->dcfFileCount() : 0;
        SimReply::xml(res, std::string(kXmlDeclaration) + "<dcffile>" + std::to_string(count) + "</dcffile>");
    });
    get("get_unusedcapacity", [](SimContext& c, const httplib::Request&, httplib::Response& res) {
        // The captured E-M10 answered 4294967295 for a large card: the field saturates at 32 bits.
        const uint64_t bytes = std::min<uint64_t>(c.card ? c.card->unusedCapacity() : 0, 4294967295u);
        SimReply::xml(res, "<?xml version=\"1.0\" ?><unused>" + std::to_string(bytes) + "</unused>");
    });
    get("clear_resvflg",
        [](SimContext&, const httplib::Request&, httplib::Response& res) { SimReply::empty(res); });
    // [\s\S], not ".": a listed name may hold a line feed, and it is served like any other.
    server.Get(R"(/DCIM(/[\s\S]*)?)",
        SimRouteGuard::wrap(ctx, std::string(),
            [&ctx](const httplib::Request& req, httplib::Response& res) { dcim(ctx, req, res); }));
}

} // namespace camsim
