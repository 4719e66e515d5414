#include "sim/SimContext.h"

namespace camsim {

int SimContext::remainingShots() const
{
    // About what a body shows for large fine JPEGs with raw.
    constexpr uint64_t kBytesPerShot = 20'000'000;
    return card ? int(std::min<uint64_t>(9999, card->unusedCapacity() / kBytesPerShot)) : 0;
}

std::vector<SimEntry> SimContext::takeShot(double exposureSeconds, const std::string& quality)
{
    if (!card)
        return {};
    return card->addShot(
        quality.empty() ? camera.quality() : quality, clock, camera.shotInfo(exposureSeconds));
}

void SimContext::startLiveView(const std::string& host, uint16_t port)
{
    liveView.stop();
    liveView.start(
        host, port, camera.liveViewWidth(), camera.liveViewHeight(), fps,
        [this] { return camera.liveInfo(remainingShots()); }, faults.settings().stream, faults.drawSeed());
}

} // namespace camsim
