#pragma once

#include <httplib.h>

#include <functional>
#include <string>

namespace camsim {

struct SimContext;

// The simulator's own control interface under /__sim/, a path no camera serves: state, power,
// connection mode, faults, the picture quality of takes and the body's own shutter button.
class SimControlRoutes
{
public:
    static void install(httplib::Server& server, SimContext& ctx, std::function<std::string()> stateJson);
};

} // namespace camsim
