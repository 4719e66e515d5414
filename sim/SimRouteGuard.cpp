#include "sim/SimRouteGuard.h"

#include "sim/SimContext.h"
#include "sim/SimReply.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <thread>

namespace camsim {

namespace {

bool isXml(const httplib::Response& res)
{
    return res.get_header_value("Content-Type") == "text/xml" && !res.body.empty();
}

// Closes the connection after `cut` bytes of the body, with the full length announced.
void dropAfter(httplib::Response& res, double share)
{
    if (res.content_provider_ && res.content_length_ > 0) {
        const size_t cut = size_t(double(res.content_length_) * share);
        auto inner = res.content_provider_;
        res.content_provider_ = [inner, cut](size_t offset, size_t length, httplib::DataSink& sink) {
            if (offset >= cut)
                return false;
            return inner(offset, std::min(length, cut - offset), sink);
        };
        return;
    }
    if (res.body.empty())
        return;
    auto body = std::make_shared<std::string>(std::move(res.body));
    const size_t cut = size_t(double(body->size()) * share);
    const std::string type = res.get_header_value("Content-Type");
    res.body.clear();
    res.set_content_provider(body->size(), type, [body, cut](size_t offset, size_t, httplib::DataSink& sink) {
        if (offset >= cut)
            return false;
        return sink.write(body->data() + offset, cut - offset);
    });
}

} // namespace

void SimRouteGuard::damage(SimContext& ctx, httplib::Response& res)
{
    switch (ctx.faults.drawDamage()) {
    case SimFaults::Damage::None:
        break;
    case SimFaults::Damage::Error:
        res = httplib::Response();
        SimReply::error(res, ctx.profile, SimReply::Unknown);
        break;
    case SimFaults::Damage::Truncate:
        if (isXml(res))
            res.body.resize(size_t(double(res.body.size()) * ctx.faults.drawCut()));
        break;
    case SimFaults::Damage::Malformed:
        if (isXml(res)) {
            // Drop the opening of an element in the middle, as the camera's own error bodies do.
            const size_t at = res.body.find('<', size_t(double(res.body.size()) * ctx.faults.drawCut()));
            const size_t end = at == std::string::npos ? std::string::npos : res.body.find('>', at);
            if (end != std::string::npos)
                res.body.erase(at, end - at + 1);
            else
                res.body.insert(res.body.begin() + std::ptrdiff_t(res.body.size() / 2), '<');
        }
        break;
    case SimFaults::Damage::Drop:
        dropAfter(res, ctx.faults.drawCut());
        break;
    }
}

httplib::Server::Handler SimRouteGuard::wrap(
    SimContext& ctx, std::string cgi, httplib::Server::Handler handler)
{
    return [&ctx, cgi = std::move(cgi), handler = std::move(handler)](
               const httplib::Request& req, httplib::Response& res) {
        if (!cgi.empty() && !ctx.profile.commands.hasCgi(cgi)) {
            SimReply::notFound(res);
            return;
        }
        const int latency = ctx.faults.settings().latencyMs;
        if (latency > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(latency));
        handler(req, res);
        damage(ctx, res);
    };
}

} // namespace camsim
