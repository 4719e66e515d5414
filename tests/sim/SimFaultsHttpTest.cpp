// Request faults, live view start and stop, and the control interface.
#include "SimHttpSupport.h"

#include "sim/SimCard.h"
#include "sim/SimServer.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <thread>

using namespace camsim;
using simtest::get;

namespace {

SimServerOptions options(uint32_t seed = 7)
{
    SimServerOptions o;
    o.generatedFiles = 4;
    o.seed = seed;
    return o;
}

const std::string kCaminfo = "<?xml version=\"1.0\"?><caminfo><model>E-M10</model></caminfo>";

// A UDP socket on 127.0.0.1 with an ephemeral port, for the live view stream.
struct UdpReceiver
{
    UdpReceiver()
    {
        sock = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        socklen_t len = sizeof(addr);
        ::getsockname(sock, reinterpret_cast<sockaddr*>(&addr), &len);
        port = ntohs(addr.sin_port);
    }
    ~UdpReceiver() { ::close(sock); }
    // The next datagram within the time limit, "" when none came.
    std::string receive(int limitMs)
    {
        pollfd pfd { sock, POLLIN, 0 };
        if (::poll(&pfd, 1, limitMs) <= 0)
            return {};
        char buf[65536];
        const ssize_t n = ::recv(sock, buf, sizeof(buf), 0);
        return n > 0 ? std::string(buf, size_t(n)) : std::string();
    }
    void drain()
    {
        while (!receive(50).empty()) { }
    }
    int sock = -1;
    uint16_t port = 0;
};

} // namespace

TEST(SimFaultsHttp, LatencyDelaysEveryCameraAnswer)
{
    SimServer server(options());
    const uint16_t port = server.start();
    ASSERT_EQ(get(port, "/__sim/fault?latency=300").status, 200);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(get(port, "/get_caminfo.cgi").body, kCaminfo);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(290));
    EXPECT_EQ(get(port, "/__sim/fault?latency=later").status, 400);
    EXPECT_EQ(get(port, "/__sim/fault?wobble=1").status, 400);
}

TEST(SimFaultsHttp, DamagedAnswers)
{
    SimServer server(options());
    const uint16_t port = server.start();

    get(port, "/__sim/fault?reset=1&error-rate=1");
    const auto error = get(port, "/get_caminfo.cgi");
    EXPECT_EQ(error.statusLine, "HTTP/1.1 520 Vendor Internal Error");
    EXPECT_EQ(error.body, "<?xml version=\"1.0\"?>3001</errorcode>");

    get(port, "/__sim/fault?reset=1&truncate-rate=1");
    const auto cut = get(port, "/get_caminfo.cgi");
    EXPECT_EQ(cut.status, 200);
    EXPECT_LT(cut.body.size(), kCaminfo.size());
    EXPECT_EQ(kCaminfo.substr(0, cut.body.size()), cut.body);
    EXPECT_EQ(cut.header("content-length"), std::to_string(cut.body.size()));

    get(port, "/__sim/fault?reset=1&malformed-rate=1");
    const auto bad = get(port, "/get_caminfo.cgi");
    EXPECT_EQ(bad.status, 200);
    EXPECT_NE(bad.body, kCaminfo);
    EXPECT_EQ(bad.header("content-length"), std::to_string(bad.body.size()));

    // Dropped mid-body: the full length is announced, part of it arrives, then the connection ends.
    get(port, "/__sim/fault?reset=1&drop-rate=1");
    const std::string path = server.card().newestJpegPath();
    const auto entry = server.card().find(path);
    ASSERT_TRUE(entry);
    const auto dropped = get(port, path);
    EXPECT_EQ(dropped.status, 200);
    EXPECT_EQ(dropped.header("content-length"), std::to_string(entry->size));
    EXPECT_LT(dropped.body.size(), entry->size);
    EXPECT_GT(dropped.body.size(), 0u);
    EXPECT_TRUE(dropped.closedByServer);
    const auto droppedXml = get(port, "/get_caminfo.cgi");
    EXPECT_LT(droppedXml.body.size(), kCaminfo.size());
    EXPECT_EQ(droppedXml.header("content-length"), std::to_string(kCaminfo.size()));

    // The control interface itself is never damaged.
    EXPECT_EQ(get(port, "/__sim/fault?reset=1").status, 200);
    EXPECT_EQ(get(port, "/get_caminfo.cgi").body, kCaminfo);
}

TEST(SimFaultsHttp, SeededFaultsRepeat)
{
    auto run = [] {
        SimServerOptions o = options(42);
        o.faults.errorRate = 0.5;
        SimServer server(o);
        const uint16_t port = server.start();
        std::string statuses;
        for (int i = 0; i < 24; ++i)
            statuses += get(port, "/get_caminfo.cgi").status == 200 ? 'o' : 'x';
        return statuses;
    };
    const std::string first = run();
    EXPECT_EQ(first, run());
    EXPECT_NE(first.find('o'), std::string::npos);
    EXPECT_NE(first.find('x'), std::string::npos);
}

TEST(SimFaultsHttp, HostileNamesReachTheListing)
{
    SimServer server(options());
    const uint16_t port = server.start();
    const std::string clean = get(port, "/get_imglist.cgi?DIR=/DCIM/100OLYMP").body;
    ASSERT_EQ(get(port, "/__sim/fault?hostile-names=1").status, 200);
    const std::string hostile = get(port, "/get_imglist.cgi?DIR=/DCIM/100OLYMP").body;
    EXPECT_NE(clean, hostile);
    EXPECT_TRUE(hostile.find("..") != std::string::npos || hostile.find('\\') != std::string::npos)
        << hostile;
}

TEST(SimFaultsHttp, LiveViewGoesToTheAskingClientAndStops)
{
    SimServer server(options());
    const uint16_t port = server.start();
    UdpReceiver udp;
    ASSERT_EQ(get(port, "/switch_cammode.cgi?mode=rec&lvqty=0320x0240").status, 200);
    const auto start = get(port, "/exec_takemisc.cgi?com=startliveview&port=" + std::to_string(udp.port));
    EXPECT_EQ(start.status, 200);
    EXPECT_NE(start.body.find("<funcidlist>"), std::string::npos);
    EXPECT_EQ(get(port, "/exec_takemisc.cgi?com=startliveview&port=0").status, 520);
    const std::string datagram = udp.receive(5000);
    ASSERT_GE(datagram.size(), 12u);
    EXPECT_EQ(uint8_t(datagram[0]) >> 6, 2) << "RTP version 2";
    EXPECT_EQ(uint8_t(datagram[1]) & 0x7F, 96);
    EXPECT_TRUE(server.liveViewRunning());

    EXPECT_EQ(get(port, "/exec_takemisc.cgi?com=stopliveview").status, 200);
    EXPECT_FALSE(server.liveViewRunning());

    // A mode switch and a power loss end the stream too.
    get(port, "/exec_takemisc.cgi?com=startliveview&port=" + std::to_string(udp.port));
    EXPECT_TRUE(server.liveViewRunning());
    get(port, "/switch_cammode.cgi?mode=play");
    EXPECT_FALSE(server.liveViewRunning());
    get(port, "/switch_cammode.cgi?mode=rec&lvqty=0640x0480");
    get(port, "/exec_takemisc.cgi?com=startliveview&port=" + std::to_string(udp.port));
    EXPECT_TRUE(server.liveViewRunning());
    get(port, "/__sim/power?on=0");
    EXPECT_FALSE(server.liveViewRunning());
    udp.drain();
    EXPECT_TRUE(udp.receive(500).empty());
}
