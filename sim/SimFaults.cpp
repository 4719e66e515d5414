#include "sim/SimFaults.h"

#include <cstdlib>

namespace camsim {

namespace {

bool parseRate(const std::string& text, double* out)
{
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(v >= 0 && v <= 1))
        return false;
    *out = v;
    return true;
}

} // namespace

SimFaults::SimFaults(uint32_t seed)
    : m_random(seed)
{ }

SimFaultSettings SimFaults::settings() const
{
    std::lock_guard lock(m_mutex);
    return m_settings;
}

void SimFaults::setSettings(const SimFaultSettings& settings)
{
    std::lock_guard lock(m_mutex);
    m_settings = settings;
}

const std::vector<std::string>& SimFaults::keys()
{
    static const std::vector<std::string> names { "latency", "error-rate", "truncate-rate", "malformed-rate",
        "drop-rate", "hostile-names", "loss", "reorder", "duplicate", "garbage" };
    return names;
}

bool SimFaults::apply(
    SimFaultSettings& s, const std::string& key, const std::string& value, std::string* error)
{
    bool ok = true;
    if (key == "latency") {
        char* end = nullptr;
        const long ms = std::strtol(value.c_str(), &end, 10);
        ok = !value.empty() && *end == '\0' && ms >= 0 && ms <= 600000;
        if (ok)
            s.latencyMs = int(ms);
    } else if (key == "hostile-names") {
        ok = value == "0" || value == "1";
        s.hostileNames = value == "1";
    } else {
        double* target = key == "error-rate" ? &s.errorRate
            : key == "truncate-rate"         ? &s.truncateRate
            : key == "malformed-rate"        ? &s.malformedRate
            : key == "drop-rate"             ? &s.dropRate
            : key == "loss"                  ? &s.stream.loss
            : key == "reorder"               ? &s.stream.reorder
            : key == "duplicate"             ? &s.stream.duplicate
            : key == "garbage"               ? &s.stream.garbage
                                             : nullptr;
        if (!target) {
            if (error)
                *error = "unknown fault " + key;
            return false;
        }
        ok = parseRate(value, target);
    }
    if (!ok && error)
        *error = "bad value for " + key + ": " + value;
    return ok;
}

SimFaults::Damage SimFaults::drawDamage()
{
    std::lock_guard lock(m_mutex);
    const SimFaultSettings& s = m_settings;
    if (s.errorRate + s.truncateRate + s.malformedRate + s.dropRate <= 0)
        return Damage::None;
    const double r = std::uniform_real_distribution<double>(0, 1)(m_random);
    double edge = s.errorRate;
    if (r < edge)
        return Damage::Error;
    if (r < (edge += s.truncateRate))
        return Damage::Truncate;
    if (r < (edge += s.malformedRate))
        return Damage::Malformed;
    if (r < (edge += s.dropRate))
        return Damage::Drop;
    return Damage::None;
}

double SimFaults::drawCut()
{
    std::lock_guard lock(m_mutex);
    return std::uniform_real_distribution<double>(0.2, 0.8)(m_random);
}

uint32_t SimFaults::drawSeed()
{
    std::lock_guard lock(m_mutex);
    return uint32_t(m_random());
}

} // namespace camsim
