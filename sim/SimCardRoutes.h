#pragma once

#include <httplib.h>

namespace camsim {

struct SimContext;

// Listings, /DCIM pages, thumbnails, downloads and card information.
class SimCardRoutes
{
public:
    static void install(httplib::Server& server, SimContext& ctx);
};

} // namespace camsim
