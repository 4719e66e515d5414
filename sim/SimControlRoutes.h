#pragma once

#include <httplib.h>

#include <functional>
#include <string>

namespace camsim {

struct SimContext;

// The simulator's own control interface under /__sim/, a path no camera serves: state, power,
// connection mode, faults and the picture quality of takes.
class SimControlRoutes
{
public:
    static void install(httplib::Server& server, SimContext& ctx, std::function<std::string()> stateJson);
};

} // namespace camsim
