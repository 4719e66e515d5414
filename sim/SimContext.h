#pragma once

#include "sim/SimCamera.h"
#include "sim/SimCard.h"
#include "sim/SimClock.h"
#include "sim/SimFaults.h"
#include "sim/SimLiveView.h"
#include "sim/SimProfile.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace camsim {

// Everything the route groups share; SimServer owns it. The live view comes last so it stops
// before the state its info callback reads goes away.
struct SimContext
{
    explicit SimContext(SimProfile p, uint32_t seedValue)
        : profile(std::move(p))
        , camera(profile)
        , faults(seedValue)
        , seed(seedValue)
    { }

    SimProfile profile;
    SimClock clock;
    SimCamera camera;
    SimFaults faults;
    std::unique_ptr<SimCard> card;
    double fps = 30;
    uint32_t seed = 1;
    std::atomic<uint64_t> requestsServed { 0 };
    SimLiveView liveView;

    int remainingShots() const;
    // Stores one shot's files on the card: the quality set on the camera unless one is given.
    std::vector<SimEntry> takeShot(double exposureSeconds, const std::string& quality = {});
    void startLiveView(const std::string& host, uint16_t port);
};

} // namespace camsim
