#pragma once

#include <httplib.h>

#include <functional>
#include <string>

namespace camsim {

// cpp-httplib's server with the camera's connection handling: one request per connection, the
// camera's reason phrase for its vendor status 520, and connections that may be refused before
// a byte is answered (a camera that is switched off).
class SimHttpServer : public httplib::Server
{
public:
    // Gets the first bytes of each request ("GET /path..."); false closes the connection unanswered.
    void setAdmission(std::function<bool(const std::string& requestStart)> admit);

private:
    bool process_and_close_socket(socket_t sock) override;

    std::function<bool(const std::string&)> m_admit;
};

} // namespace camsim
