#include "sim/SimCamera.h"

#include "sim/SimCard.h"

#include <algorithm>
#include <cmath>

namespace camsim {

namespace {

// Exposure time * ISO / N^2 of a correctly exposed scene: f/5.6, 1/125 s, ISO 200.
constexpr double kCorrect = (1.0 / 125) * 200 / (5.6 * 5.6);
constexpr double kZoomMillimetresPerSecond = 10;
// Enough for hours of track points; a log growing beyond it is counted, not kept.
constexpr size_t kMostGpsBytes = 4 << 20;

bool isLiveSpeed(const std::string& v)
{
    return v == "livecomp" || v == "livetime" || v == "livebulb" || v == "bulb";
}

// 60" is 60 s, 1.3" is 1.3 s, 250 is 1/250 s, 1.3 is 1/1.3 s; live speeds have no fixed time.
double shutterSeconds(const std::string& v)
{
    if (v.empty() || isLiveSpeed(v))
        return 0;
    const double number = std::atof(v.c_str());
    if (number <= 0)
        return 0;
    return v.back() == '"' ? number : 1.0 / number;
}

int sizeField(const std::string& size, bool height)
{
    const size_t x = size.find('x');
    if (x == std::string::npos)
        return 0;
    return std::atoi(height ? size.c_str() + x + 1 : size.c_str());
}

} // namespace

SimCamera::SimCamera(const SimProfile& profile)
    : m_profile(profile)
    , m_props(profile)
    , m_focal(profile.focalMin)
    , m_quality(profile.quality)
{ }

bool SimCamera::powered() const
{
    std::lock_guard lock(m_mutex);
    return m_powered;
}

std::chrono::steady_clock::duration SimCamera::offFor() const
{
    std::lock_guard lock(m_mutex);
    return m_powered ? std::chrono::steady_clock::duration::zero()
                     : std::chrono::steady_clock::now() - m_offSince;
}

void SimCamera::setPowered(bool on)
{
    std::lock_guard lock(m_mutex);
    if (!on && m_powered)
        m_offSince = std::chrono::steady_clock::now();
    if (on && !m_powered) {
        m_mode = Mode::Play;
        m_size.clear();
        m_take = TakeState::Idle;
        m_afX = m_afY = -1;
        m_focused = false;
        m_zoomDirection = 0;
    }
    m_powered = on;
}

std::string SimCamera::connectMode() const
{
    std::lock_guard lock(m_mutex);
    return m_connectMode;
}

void SimCamera::setConnectMode(const std::string& mode)
{
    std::lock_guard lock(m_mutex);
    m_connectMode = mode;
}

SimCamera::Mode SimCamera::mode() const
{
    std::lock_guard lock(m_mutex);
    return m_mode;
}

std::string SimCamera::liveViewSize() const
{
    std::lock_guard lock(m_mutex);
    return m_size;
}

int SimCamera::liveViewWidth() const
{
    std::lock_guard lock(m_mutex);
    return sizeField(m_size, false);
}

int SimCamera::liveViewHeight() const
{
    std::lock_guard lock(m_mutex);
    return sizeField(m_size, true);
}

void SimCamera::switchMode(Mode mode, const std::string& size)
{
    std::lock_guard lock(m_mutex);
    m_mode = mode;
    m_size = size;
    m_afX = m_afY = -1;
    m_focused = false;
}

SimPropertySet::SetResult SimCamera::setProperty(const std::string& name, const std::string& value)
{
    std::lock_guard lock(m_mutex);
    return m_props.set(name, value);
}

void SimCamera::assignAfPoint(int x, int y)
{
    std::lock_guard lock(m_mutex);
    m_afX = x;
    m_afY = y;
    m_focused = true;
}

void SimCamera::releaseAfPoint()
{
    std::lock_guard lock(m_mutex);
    m_afX = m_afY = -1;
    m_focused = false;
}

int SimCamera::afX() const
{
    std::lock_guard lock(m_mutex);
    return m_afX >= 0 ? m_afX : sizeField(m_size, false) / 2;
}

int SimCamera::afY() const
{
    std::lock_guard lock(m_mutex);
    return m_afY >= 0 ? m_afY : sizeField(m_size, true) / 2;
}

// The captured answers show a 72 pixel frame at 640 wide and 36 at 320: the frame scales with
// the live view size.
int SimCamera::afFrameSize() const
{
    std::lock_guard lock(m_mutex);
    const int width = sizeField(m_size, false);
    return width > 0 ? width * 72 / 640 : 72;
}

bool SimCamera::pointInsideLiveView(int x, int y) const
{
    std::lock_guard lock(m_mutex);
    const int width = sizeField(m_size, false), height = sizeField(m_size, true);
    return x >= 0 && y >= 0 && (width == 0 || x < width) && (height == 0 || y < height);
}

int SimCamera::focalLengthLocked() const
{
    double f = m_focal;
    if (m_zoomDirection != 0) {
        const double seconds
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_zoomSince).count();
        f += m_zoomDirection * kZoomMillimetresPerSecond * seconds;
    }
    return int(std::lround(std::clamp(f, double(m_profile.focalMin), double(m_profile.focalMax))));
}

void SimCamera::zoom(const std::string& move)
{
    std::lock_guard lock(m_mutex);
    m_focal = focalLengthLocked();
    m_zoomSince = std::chrono::steady_clock::now();
    if (move == "widemove") {
        m_zoomDirection = -1;
    } else if (move == "telemove") {
        m_zoomDirection = 1;
    } else {
        m_zoomDirection = 0;
        if (move == "wideterm")
            m_focal = m_profile.focalMin;
        else if (move == "teleterm")
            m_focal = m_profile.focalMax;
    }
}

int SimCamera::focalLength() const
{
    std::lock_guard lock(m_mutex);
    return focalLengthLocked();
}

SimCamera::TakeState SimCamera::takeState() const
{
    std::lock_guard lock(m_mutex);
    return m_take;
}

bool SimCamera::exposureIsOpenEnded() const
{
    std::lock_guard lock(m_mutex);
    const std::string takemode = m_props.value("takemode").value_or("");
    return takemode == "M" && isLiveSpeed(m_props.value("shutspeedvalue").value_or(""));
}

void SimCamera::beginExposure()
{
    std::lock_guard lock(m_mutex);
    m_take = TakeState::Exposing;
    m_exposureSince = std::chrono::steady_clock::now();
}

double SimCamera::endExposure()
{
    std::lock_guard lock(m_mutex);
    if (m_take != TakeState::Exposing)
        return 0;
    m_take = TakeState::Idle;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_exposureSince).count();
}

void SimCamera::setMovieRunning(bool on)
{
    std::lock_guard lock(m_mutex);
    m_take = on ? TakeState::Movie : TakeState::Idle;
}

std::string SimCamera::quality() const
{
    std::lock_guard lock(m_mutex);
    return m_quality;
}

void SimCamera::setQuality(const std::string& quality)
{
    std::lock_guard lock(m_mutex);
    m_quality = quality;
}

SimCamera::Exposure SimCamera::exposureLocked() const
{
    Exposure e;
    const std::string takemode = m_props.value("takemode").value_or("P");
    const std::string isoText = m_props.value("isospeedvalue").value_or("Auto");
    e.isoAuto = isoText == "Auto" || takemode == "iAuto";
    e.iso = e.isoAuto ? 200 : (isoText == "Low" ? 100 : std::max(1, std::atoi(isoText.c_str())));
    const std::string biasText = m_props.value("expcomp").value_or("0.0");
    const double bias = takemode == "M" ? 0 : std::atof(biasText.c_str());
    const double wide = m_profile.apertureWide10 / 10.0, smallest = m_profile.apertureSmallest10 / 10.0;
    const double chosenN = std::atof(m_props.value("focalvalue").value_or("5.6").c_str());
    const std::string speed = m_props.value("shutspeedvalue").value_or("125");
    const double target = kCorrect * std::pow(2.0, bias);
    if (takemode == "M") {
        e.fNumber = chosenN > 0 ? chosenN : 5.6;
        e.seconds = shutterSeconds(speed);
        // Live speeds build the picture up on screen; the live view stays correctly exposed.
        e.brightness = e.seconds > 0 ? e.seconds * e.iso / (e.fNumber * e.fNumber) / kCorrect : 1.0;
    } else if (takemode == "S") {
        e.seconds = shutterSeconds(speed) > 0 ? shutterSeconds(speed) : 1.0 / 125;
        e.fNumber = std::clamp(std::sqrt(e.seconds * e.iso / target), wide, smallest);
        e.brightness = e.seconds * e.iso / (e.fNumber * e.fNumber) / kCorrect;
    } else {
        e.fNumber = takemode == "A" && chosenN > 0 ? chosenN : std::clamp(5.6, wide, smallest);
        e.seconds = target * e.fNumber * e.fNumber / e.iso;
        e.brightness = std::pow(2.0, bias);
    }
    // The camera warns when what it can set misses the intended exposure by a stop or more.
    const double ratio = e.brightness / (takemode == "M" ? 1.0 : std::pow(2.0, bias));
    e.warning = ratio < 0.5 || ratio > 2.0;
    return e;
}

double SimCamera::exposureSeconds() const
{
    std::lock_guard lock(m_mutex);
    return exposureLocked().seconds;
}

double SimCamera::fNumber() const
{
    std::lock_guard lock(m_mutex);
    return exposureLocked().fNumber;
}

int SimCamera::iso() const
{
    std::lock_guard lock(m_mutex);
    return exposureLocked().iso;
}

double SimCamera::exposureBias() const
{
    std::lock_guard lock(m_mutex);
    return std::atof(m_props.value("expcomp").value_or("0").c_str());
}

SimShotInfo SimCamera::shotInfo(double seconds) const
{
    std::lock_guard lock(m_mutex);
    const Exposure e = exposureLocked();
    SimShotInfo info;
    info.make = m_profile.make;
    info.model = m_profile.model;
    info.iso = e.iso;
    info.exposureSeconds = seconds > 0 ? seconds : e.seconds;
    info.fNumber = e.fNumber;
    info.exposureBias = std::atof(m_props.value("expcomp").value_or("0").c_str());
    info.focalLength = focalLengthLocked();
    info.orientation = 1;
    return info;
}

SimLiveInfo SimCamera::liveInfo(int remainingShots) const
{
    std::lock_guard lock(m_mutex);
    const Exposure e = exposureLocked();
    SimLiveInfo info;
    info.remainingShots = remainingShots;
    const int width = sizeField(m_size, false), height = sizeField(m_size, true);
    const int frame = width > 0 ? width * 72 / 640 : 72;
    info.focusState = m_focused ? 1 : 0;
    const int x = m_afX >= 0 ? m_afX : width / 2, y = m_afY >= 0 ? m_afY : height / 2;
    info.focusLeft = std::max(0, x - frame / 2);
    info.focusTop = std::max(0, y - frame / 2);
    info.focusWidth = info.focusHeight = m_focused ? frame : 0;
    const std::string speed = m_props.value("shutspeedvalue").value_or("");
    if (isLiveSpeed(speed)) {
        info.shutterNum = info.shutterDen = 0;
    } else if (e.seconds >= 1) {
        info.shutterNum = int(std::lround(e.seconds * 10));
        info.shutterDen = 10;
    } else if (std::abs(1 / e.seconds - std::lround(1 / e.seconds)) < 0.01) {
        info.shutterNum = 1;
        info.shutterDen = int(std::lround(1 / e.seconds));
    } else {
        info.shutterNum = 10;
        info.shutterDen = int(std::lround(10 / e.seconds));
    }
    info.apertureLower10 = m_profile.apertureWide10;
    info.apertureUpper10 = m_profile.apertureSmallest10;
    info.aperture10 = int(std::lround(e.fNumber * 10));
    info.expComp10 = int(std::lround(std::atof(m_props.value("expcomp").value_or("0").c_str()) * 10));
    // In manual exposure the bodies show the metered deviation there instead, -3 to +3 EV.
    if (m_props.value("takemode").value_or("") == "M" && e.brightness > 0)
        info.expComp10 = std::clamp(int(std::lround(std::log2(e.brightness) * 10)), -30, 30);
    info.iso = e.iso;
    info.isoAuto = e.isoAuto;
    info.whiteBalance = std::atoi(m_props.value("wbvalue").value_or("0").c_str());
    info.exposureWarning = e.warning;
    info.focalLength = focalLengthLocked();
    info.brightness = e.brightness;
    return info;
}

void SimCamera::attachGps(const std::string& data)
{
    std::lock_guard lock(m_mutex);
    m_gps.attached = data.substr(0, kMostGpsBytes);
}

void SimCamera::storeGps(bool append, const std::string& date, const std::string& data)
{
    std::lock_guard lock(m_mutex);
    if (!append) {
        m_gps.stored.clear();
        m_gps.storedBytes = 0;
    }
    m_gps.storedDate = date;
    m_gps.storedBytes += data.size();
    m_gps.stored += data.substr(0, kMostGpsBytes - std::min(kMostGpsBytes, m_gps.stored.size()));
}

SimGpsLog SimCamera::gpsLog() const
{
    std::lock_guard lock(m_mutex);
    return m_gps;
}

} // namespace camsim
