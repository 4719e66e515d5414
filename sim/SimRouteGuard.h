#pragma once

#include <httplib.h>

#include <string>

namespace camsim {

struct SimContext;

// Wraps every camera route: a CGI the profile's command list does not name answers 404, then
// the request faults apply (latency, 520 errors, cut or damaged XML, connection dropped).
class SimRouteGuard
{
public:
    static httplib::Server::Handler wrap(SimContext& ctx, std::string cgi, httplib::Server::Handler handler);
    static void damage(SimContext& ctx, httplib::Response& res);
};

} // namespace camsim
