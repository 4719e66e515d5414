#pragma once

#include <httplib.h>

namespace camsim {

struct SimContext;

// The camera's control CGIs: information, modes, properties, focus, taking, shutter, live view.
class SimCameraRoutes
{
public:
    static void install(httplib::Server& server, SimContext& ctx);
};

} // namespace camsim
