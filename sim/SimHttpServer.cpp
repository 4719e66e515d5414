#include "sim/SimHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace camsim {

namespace {

// More than a client would ever leave waiting; beyond it the oldest held connection is let go.
constexpr size_t kMostHeld = 256;
constexpr auto kHeldCheckInterval = std::chrono::milliseconds(100);

bool waitFor(int sock, short events, time_t sec, time_t usec)
{
    pollfd pfd { sock, events, 0 };
    const int ms = int(sec * 1000 + usec / 1000);
    int rc;
    do {
        rc = ::poll(&pfd, 1, ms);
    } while (rc < 0 && errno == EINTR);
    return rc > 0 && (pfd.revents & (events | POLLHUP | POLLERR)) != 0;
}

void addressOf(int sock, bool peer, std::string& ip, int& port)
{
    sockaddr_storage addr {};
    socklen_t len = sizeof(addr);
    const int rc = peer ? ::getpeername(sock, reinterpret_cast<sockaddr*>(&addr), &len)
                        : ::getsockname(sock, reinterpret_cast<sockaddr*>(&addr), &len);
    if (rc != 0)
        return;
    char text[INET6_ADDRSTRLEN] = {};
    if (addr.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&addr);
        ::inet_ntop(AF_INET, &in->sin_addr, text, sizeof(text));
        port = ntohs(in->sin_port);
    } else if (addr.ss_family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&addr);
        ::inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof(text));
        port = ntohs(in6->sin6_port);
    }
    ip = text;
}

// A socket stream with a small read buffer (the request parser reads byte by byte).
class SocketStream : public httplib::Stream
{
public:
    SocketStream(int sock, time_t readSec, time_t readUsec, time_t writeSec, time_t writeUsec)
        : m_sock(sock)
        , m_readSec(readSec)
        , m_readUsec(readUsec)
        , m_writeSec(writeSec)
        , m_writeUsec(writeUsec)
    { }

    bool is_readable() const override
    {
        return m_pos < m_len || waitFor(m_sock, POLLIN, m_readSec, m_readUsec);
    }
    bool is_writable() const override { return waitFor(m_sock, POLLOUT, m_writeSec, m_writeUsec); }

    ssize_t read(char* ptr, size_t size) override
    {
        if (m_pos == m_len) {
            if (!is_readable())
                return -1;
            ssize_t n;
            do {
                n = ::recv(m_sock, m_buf, sizeof(m_buf), 0);
            } while (n < 0 && errno == EINTR);
            if (n <= 0)
                return n;
            m_pos = 0;
            m_len = size_t(n);
        }
        const size_t n = std::min(size, m_len - m_pos);
        std::memcpy(ptr, m_buf + m_pos, n);
        m_pos += n;
        return ssize_t(n);
    }

    ssize_t write(const char* ptr, size_t size) override
    {
        static constexpr char k520[] = "HTTP/1.1 520 ";
        if (m_first && size >= sizeof(k520) - 1 && std::memcmp(ptr, k520, sizeof(k520) - 1) == 0) {
            // cpp-httplib knows no text for 520; the camera's own status line is this one.
            m_first = false;
            const char* eol = static_cast<const char*>(std::memchr(ptr, '\n', size));
            static constexpr char kLine[] = "HTTP/1.1 520 Vendor Internal Error\r\n";
            if (!sendAll(kLine, sizeof(kLine) - 1))
                return -1;
            const size_t rest = eol ? size - size_t(eol + 1 - ptr) : 0;
            return sendAll(ptr + size - rest, rest) ? ssize_t(size) : -1;
        }
        // The status line and headers go out in one write; everything after them is body.
        const bool body = !m_first;
        m_first = false;
        return sendAll(ptr, size, body ? &m_bodySent : nullptr) ? ssize_t(size) : -1;
    }

    uint64_t bodySent() const { return m_bodySent; }

    void get_remote_ip_and_port(std::string& ip, int& port) const override
    {
        addressOf(m_sock, true, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override
    {
        addressOf(m_sock, false, ip, port);
    }
    socket_t socket() const override { return m_sock; }

private:
    bool sendAll(const char* ptr, size_t size, uint64_t* sent = nullptr)
    {
        while (size > 0) {
            if (!is_writable())
                return false;
            const ssize_t n = ::send(m_sock, ptr, size, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            ptr += n;
            size -= size_t(n);
            if (sent)
                *sent += uint64_t(n);
        }
        return true;
    }

    int m_sock;
    time_t m_readSec, m_readUsec, m_writeSec, m_writeUsec;
    char m_buf[4096];
    size_t m_pos = 0, m_len = 0;
    bool m_first = true;
    uint64_t m_bodySent = 0;
};

// The stream the current worker thread answers on, for the request log.
thread_local const SocketStream* t_stream = nullptr;

// The request line's start without consuming it; "" when nothing arrives in time.
std::string peekRequestStart(int sock, time_t sec)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(sec);
    char buf[64];
    std::string seen;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!waitFor(sock, POLLIN, 0, 200000))
            continue;
        const ssize_t n = ::recv(sock, buf, sizeof(buf), MSG_PEEK);
        if (n <= 0)
            return seen;
        seen.assign(buf, size_t(n));
        if (seen.size() >= sizeof(buf) || seen.find('\n') != std::string::npos)
            return seen;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return seen;
}

} // namespace

SimHttpServer::SimHttpServer()
    : m_watcher([this] { watchHeld(); })
{ }

SimHttpServer::~SimHttpServer()
{
    {
        std::lock_guard lock(m_heldMutex);
        m_quit = true;
    }
    m_heldWake.notify_all();
    m_watcher.join();
    for (const Held& held : m_held)
        ::close(held.sock);
}

void SimHttpServer::setAdmission(std::function<Admission(const std::string&)> admit)
{
    m_admit = std::move(admit);
}

void SimHttpServer::setRequestLogger(RequestLogger logger)
{
    set_logger([logger = std::move(logger)](const httplib::Request& req, const httplib::Response& res) {
        // Called after the body was written, or given up on.
        logger(req, res, t_stream ? t_stream->bodySent() : 0);
    });
}

void SimHttpServer::hold(int sock, std::string requestStart)
{
    {
        std::lock_guard lock(m_heldMutex);
        if (m_held.size() >= kMostHeld) {
            ::close(m_held.front().sock);
            m_held.erase(m_held.begin());
        }
        m_held.push_back({ sock, std::move(requestStart) });
    }
    m_heldWake.notify_all();
}

// Held connections end when they would no longer be held (a camera switched on again knows nothing
// of them) or when the client has given up; neither sends a byte.
void SimHttpServer::watchHeld()
{
    std::unique_lock lock(m_heldMutex);
    while (!m_quit) {
        if (m_held.empty())
            m_heldWake.wait(lock, [this] { return m_quit || !m_held.empty(); });
        else
            m_heldWake.wait_for(lock, kHeldCheckInterval, [this] { return m_quit; });
        if (m_quit)
            break;
        std::erase_if(m_held, [this](const Held& held) {
            pollfd pfd { held.sock, POLLRDHUP, 0 };
            const bool gone = ::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
            if (!gone && m_admit && m_admit(held.requestStart) == Admission::Hold)
                return false;
            ::close(held.sock);
            return true;
        });
    }
}

bool SimHttpServer::process_and_close_socket(socket_t sock)
{
    const int one = 1;
    ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
    std::string start = m_admit ? peekRequestStart(sock, read_timeout_sec_ > 0 ? read_timeout_sec_ : 1) : "";
    const Admission admission = m_admit ? m_admit(start) : Admission::Answer;
    if (admission == Admission::Hold) {
        hold(sock, std::move(start));
        return false;
    }
    if (admission == Admission::Close) {
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
        return false;
    }
    SocketStream stream(sock, read_timeout_sec_, read_timeout_usec_, write_timeout_sec_, write_timeout_usec_);
    t_stream = &stream;
    bool closed = false;
    // Cameras close after every answer, so one request per connection and "Connection: close".
    // No captured answer is content-coded: without the header the library compresses nothing.
    const bool ok = process_request(
        stream, true, closed, [](httplib::Request& req) { req.headers.erase("Accept-Encoding"); });
    t_stream = nullptr;
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return ok;
}

uint16_t SimHttpServer::listenInBackground(
    const std::string& address, uint16_t port, std::thread& thread, std::string& error)
{
    int bound = port;
    if (port == 0)
        bound = bind_to_any_port(address);
    else if (!bind_to_port(address, port))
        bound = -1;
    if (bound <= 0) {
        error = "cannot listen on " + address + ":" + std::to_string(port);
        return 0;
    }
    thread = std::thread([this] { listen_after_bind(); });
    return uint16_t(bound);
}

void SimHttpServer::stopListening(std::thread& thread)
{
    stop();
    if (thread.joinable())
        thread.join();
}

} // namespace camsim
