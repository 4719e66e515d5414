#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace camsim {

// cpp-httplib's server with the camera's connection handling: one request per connection, the
// camera's reason phrase for its vendor status 520, answers never content-coded, and connections
// that a camera which is switched off closes or leaves unanswered.
class SimHttpServer : public httplib::Server
{
public:
    // Gets what `bytes` were actually sent of the answer's body (less than announced for a cut
    // transfer).
    using RequestLogger
        = std::function<void(const httplib::Request&, const httplib::Response&, uint64_t bodyBytesSent)>;

    SimHttpServer();
    ~SimHttpServer() override;

    enum class Admission {
        Answer,
        Close, // unanswered
        Hold, // no byte and no close, until the same request start is no longer held (then it is
              // closed unanswered) or the client gives up
    };

    // Gets the first bytes of each request ("GET /path...").
    void setAdmission(std::function<Admission(const std::string& requestStart)> admit);
    void setRequestLogger(RequestLogger logger);

    // Binds to the port (0: any free one) and serves on `thread`. 0 with `error` set when it cannot
    // listen.
    uint16_t listenInBackground(
        const std::string& address, uint16_t port, std::thread& thread, std::string& error);
    // Ends serving and waits for the thread that listenInBackground started.
    void stopListening(std::thread& thread);

private:
    struct Held
    {
        int sock;
        std::string requestStart;
    };

    bool process_and_close_socket(socket_t sock) override;
    void hold(int sock, std::string requestStart);
    void watchHeld();

    std::function<Admission(const std::string&)> m_admit;
    std::mutex m_heldMutex;
    std::condition_variable m_heldWake;
    std::vector<Held> m_held;
    bool m_quit = false;
    std::thread m_watcher;
};

} // namespace camsim
