#pragma once

// Raw-socket HTTP for the simulator tests: the bytes on the wire are what is under test, so no
// client library smooths them over.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>

namespace simtest {

struct Answer
{
    bool connected = false;
    bool closedByServer = false; // EOF seen before our time limit
    std::string raw;
    std::string statusLine;
    int status = -1;
    std::map<std::string, std::string> headers; // lower-case names
    std::string body;

    bool hasHeader(const std::string& name) const { return headers.count(name) != 0; }
    std::string header(const std::string& name) const
    {
        auto it = headers.find(name);
        return it == headers.end() ? std::string() : it->second;
    }
};

inline Answer parseAnswer(std::string raw)
{
    Answer a;
    a.raw = std::move(raw);
    const size_t end = a.raw.find("\r\n\r\n");
    if (end == std::string::npos)
        return a;
    a.body = a.raw.substr(end + 4);
    size_t pos = 0;
    bool first = true;
    while (pos < end) {
        size_t eol = a.raw.find("\r\n", pos);
        if (eol == std::string::npos || eol > end)
            eol = end;
        const std::string line = a.raw.substr(pos, eol - pos);
        if (first) {
            a.statusLine = line;
            if (line.size() > 12)
                a.status = std::atoi(line.c_str() + 9);
            first = false;
        } else if (const size_t colon = line.find(':'); colon != std::string::npos) {
            std::string name = line.substr(0, colon);
            std::transform(name.begin(), name.end(), name.begin(),
                [](unsigned char c) { return char(std::tolower(c)); });
            size_t v = colon + 1;
            while (v < line.size() && line[v] == ' ')
                ++v;
            a.headers[name] = line.substr(v);
        }
        pos = eol + 2;
    }
    return a;
}

// A connection with its request sent; read() waits for the answer.
class Connection
{
public:
    Connection(uint16_t port, const std::string& request)
        : m_sock(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in addr {};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(port);
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = ::connect(m_sock, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
        if (m_connected)
            ::send(m_sock, request.data(), request.size(), MSG_NOSIGNAL);
    }
    ~Connection() { ::close(m_sock); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Reads until the server closes or the time limit passes.
    Answer read(int limitMs)
    {
        if (!m_connected)
            return {};
        bool closed = false;
        char buf[65536];
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd pfd { m_sock, POLLIN, 0 };
            if (::poll(&pfd, 1, 100) <= 0)
                continue;
            const ssize_t n = ::recv(m_sock, buf, sizeof(buf), 0);
            if (n <= 0) {
                closed = true;
                break;
            }
            m_raw.append(buf, size_t(n));
        }
        Answer parsed = parseAnswer(m_raw);
        parsed.connected = true;
        parsed.closedByServer = closed;
        return parsed;
    }

private:
    int m_sock;
    bool m_connected = false;
    std::string m_raw;
};

// Sends the request and reads until the server closes (or the time limit passes).
inline Answer exchange(uint16_t port, const std::string& request, int limitMs = 15000)
{
    return Connection(port, request).read(limitMs);
}

// As the phone app asks: keep-alive requested, the camera closes anyway.
inline std::string getRequest(const std::string& target, const std::string& moreHeaders = {})
{
    return "GET " + target
        + " HTTP/1.1\r\nHost: 192.168.0.10\r\nConnection: Keep-Alive\r\nUser-Agent: OI.Share v2\r\n"
        + moreHeaders + "\r\n";
}

inline Answer get(uint16_t port, const std::string& target, int limitMs = 15000)
{
    return exchange(port, getRequest(target), limitMs);
}

inline Answer post(uint16_t port, const std::string& target, const std::string& body)
{
    return exchange(port,
        "POST " + target
            + " HTTP/1.1\r\nHost: 192.168.0.10\r\nConnection: Keep-Alive\r\nUser-Agent: OI.Share v2\r\n"
              "Content-Type: text/xml\r\nContent-Length: "
            + std::to_string(body.size()) + "\r\n\r\n" + body);
}

inline std::string setBody(const std::string& value)
{
    return "<?xml version=\"1.0\"?><set><value>" + value + "</value></set>";
}

} // namespace simtest
