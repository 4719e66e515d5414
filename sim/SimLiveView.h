#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace camsim {

struct SimLiveInfo
{
    int orientation = 1;
    int remainingShots = 500;
    int focusState = 0;
    int focusLeft = 0, focusTop = 0, focusWidth = 0, focusHeight = 0;
    int battery = 80;
    int shutterNum = 1, shutterDen = 125;
    int apertureUpper10 = 220, apertureLower10 = 35, aperture10 = 56;
    int expComp10 = 0;
    int iso = 200;
    bool isoAuto = false, isoWarning = false;
    int whiteBalance = 0;
    int aspectH = 4, aspectV = 3;
    bool exposureWarning = false;
    int focalLength = 14;
    double brightness = 1.0; // scene brightness from exposure, 1 = correct
};

struct SimStreamFaults
{
    double loss = 0, reorder = 0, duplicate = 0, garbage = 0;
};

// The RTP/UDP live view stream, sent from its own thread.
class SimLiveView
{
public:
    SimLiveView();
    ~SimLiveView(); // stops

    // Sends to host:port until stop(); `info` is called on the sending thread once per picture.
    // A second start ends the running session first (new source id).
    void start(const std::string& host, uint16_t port, int width, int height, double fps,
        std::function<SimLiveInfo()> info, SimStreamFaults faults = {}, uint32_t seed = 0);
    void stop();
    bool running() const;
    uint64_t framesSent() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace camsim
