#pragma once

#include "sim/SimLiveView.h"
#include "sim/SimPropertySet.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace camsim {

struct SimShotInfo;

// What clients sent with req_attachexifgps and req_storegpsinfo; the simulator only keeps it.
struct SimGpsLog
{
    std::string attached; // the last attach request's body
    std::string stored; // the log as new and append requests left it
    std::string storedDate;
    uint64_t storedBytes = 0; // all bytes stored, also beyond what is kept
};

// The camera's state apart from the card: power, connection mode, camera mode with its live view
// size, properties, AF point, zoom and what a take is doing. Every member locks, so the server's
// worker threads and the live view thread may call it at once.
class SimCamera
{
public:
    enum class Mode { Play, Rec, Shutter };
    enum class TakeState { Idle, Exposing, Movie };

    explicit SimCamera(const SimProfile& profile);

    const SimProfile& profile() const { return m_profile; }

    bool powered() const;
    // How long ago the body was switched off; zero while it is on.
    std::chrono::steady_clock::duration offFor() const;
    // Power on starts in play mode with everything else reset, as a body does after switching on.
    void setPowered(bool on);
    std::string connectMode() const;
    void setConnectMode(const std::string& mode);

    Mode mode() const;
    std::string liveViewSize() const; // "0640x0480"; "" when the mode has none
    int liveViewWidth() const;
    int liveViewHeight() const;
    void switchMode(Mode mode, const std::string& size);

    // Runs f with the properties under the camera's lock.
    template<class F> auto withProperties(F&& f) const
    {
        std::lock_guard lock(m_mutex);
        return f(static_cast<const SimPropertySet&>(m_props));
    }
    SimPropertySet::SetResult setProperty(const std::string& name, const std::string& value);

    // AF frame in live view coordinates; the camera reports the frame's centre and size.
    void assignAfPoint(int x, int y);
    void releaseAfPoint();
    int afX() const;
    int afY() const;
    int afFrameSize() const;
    bool pointInsideLiveView(int x, int y) const;

    void zoom(const std::string& move);
    int focalLength() const;

    TakeState takeState() const;
    // Starting a bulb or live exposure leaves it running until stopTake.
    bool exposureIsOpenEnded() const;
    void beginExposure();
    // Seconds the open exposure ran; 0 when none was running.
    double endExposure();
    void setMovieRunning(bool on);

    std::string quality() const;
    void setQuality(const std::string& quality);

    // Exposure the camera would use now (automatic modes fill in what they choose).
    double exposureSeconds() const;
    double fNumber() const;
    int iso() const;
    double exposureBias() const;
    SimShotInfo shotInfo(double exposureSeconds) const;
    SimLiveInfo liveInfo(int remainingShots) const;

    void attachGps(const std::string& data);
    void storeGps(bool append, const std::string& date, const std::string& data);
    SimGpsLog gpsLog() const;

private:
    struct Exposure
    {
        double seconds = 1.0 / 125, fNumber = 5.6, brightness = 1.0;
        int iso = 200;
        bool isoAuto = false, warning = false;
    };
    Exposure exposureLocked() const;
    int focalLengthLocked() const;

    const SimProfile& m_profile;
    mutable std::mutex m_mutex;
    SimPropertySet m_props;
    bool m_powered = true;
    std::chrono::steady_clock::time_point m_offSince;
    std::string m_connectMode = "private";
    Mode m_mode = Mode::Play;
    std::string m_size;
    int m_afX = -1, m_afY = -1;
    bool m_focused = false;
    double m_focal = 14;
    int m_zoomDirection = 0;
    std::chrono::steady_clock::time_point m_zoomSince;
    TakeState m_take = TakeState::Idle;
    std::chrono::steady_clock::time_point m_exposureSince;
    std::string m_quality;
    SimGpsLog m_gps;
};

} // namespace camsim
