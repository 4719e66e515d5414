#pragma once

#include "sim/SimFaults.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace camsim {

class SimCamera;
class SimCard;
class SimClock;
class SimHttpServer;
class SimProfile;
struct SimContext;

struct SimServerOptions
{
    std::string profile = "e-m10";
    std::string cardDirectory; // real files; empty: a generated card
    int generatedFiles = 20;
    uint32_t seed = 1;
    double fps = 30;
    SimFaultSettings faults;
    // Switching off takes this long: the body's web server has stopped, so connections are closed
    // unanswered; after it the body has left the network and connections get no byte and no close.
    int switchOffMs = 2000;
    // One line per request served (the server's threads call it).
    std::function<void(const std::string&)> requestLog;
};

// The simulated camera: its HTTP server on threads of its own, the card, the clock and the live
// view stream. Tests start it in-process on 127.0.0.1 with port 0.
class SimServer
{
public:
    explicit SimServer(SimServerOptions options = {});
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // False when the profile or the card could not be set up; errorText() says why.
    bool isValid() const;
    std::string errorText() const;

    // Returns the bound port, 0 on failure.
    uint16_t start(uint16_t port = 0, const std::string& bindAddress = "127.0.0.1");
    void stop();
    uint16_t port() const { return m_port; }

    // Replaces the card (before or while serving).
    void setCard(std::unique_ptr<SimCard> card);

    const SimProfile& profile() const;
    SimCamera& camera();
    SimCard& card();
    SimClock& clock();
    SimFaults& faults();
    void setFaults(const SimFaultSettings& settings);
    void setPower(bool on);
    bool liveViewRunning() const;
    uint64_t liveViewFramesSent() const;
    uint64_t requestsServed() const;
    // What /__sim/state answers.
    std::string stateJson() const;

private:
    void installRoutes();

    SimServerOptions m_options;
    std::string m_error;
    std::unique_ptr<SimContext> m_ctx;
    std::unique_ptr<SimHttpServer> m_http;
    std::thread m_thread;
    uint16_t m_port = 0;
};

} // namespace camsim
