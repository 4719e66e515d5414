#pragma once

#include "sim/SimLiveView.h"

#include <cstdint>
#include <mutex>
#include <random>
#include <string>
#include <vector>

namespace camsim {

struct SimFaultSettings
{
    int latencyMs = 0;
    double errorRate = 0; // answered 520 instead
    double truncateRate = 0; // XML body cut short, Content-Length matching the cut
    double malformedRate = 0; // XML body damaged in the middle
    double dropRate = 0; // connection closed part-way through the body
    bool hostileNames = false;
    SimStreamFaults stream;
};

// Faults injected into requests, chosen from one seeded generator so a run can be repeated.
class SimFaults
{
public:
    enum class Damage { None, Error, Truncate, Malformed, Drop };

    explicit SimFaults(uint32_t seed = 1);

    SimFaultSettings settings() const;
    void setSettings(const SimFaultSettings& settings);

    // Names shared by the command line and the control endpoint: latency, error-rate,
    // truncate-rate, malformed-rate, drop-rate, hostile-names, loss, reorder, duplicate, garbage.
    static const std::vector<std::string>& keys();
    static bool apply(
        SimFaultSettings& settings, const std::string& key, const std::string& value, std::string* error);

    // One draw per request; at most one kind of damage.
    Damage drawDamage();
    // Where a damaged body is cut, as a share of its length (0.2 .. 0.8).
    double drawCut();
    uint32_t drawSeed();

private:
    mutable std::mutex m_mutex;
    SimFaultSettings m_settings;
    std::mt19937 m_random;
};

} // namespace camsim
