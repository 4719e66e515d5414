#include "sim/SimLiveView.h"

namespace camsim {

struct SimLiveView::Impl
{
};

SimLiveView::SimLiveView()
    : d(std::make_unique<Impl>())
{ }

SimLiveView::~SimLiveView()
{
    stop();
}

void SimLiveView::start(
    const std::string&, uint16_t, int, int, double, std::function<SimLiveInfo()>, SimStreamFaults, uint32_t)
{ }

void SimLiveView::stop() { }

bool SimLiveView::running() const
{
    return false;
}

uint64_t SimLiveView::framesSent() const
{
    return 0;
}

} // namespace camsim
