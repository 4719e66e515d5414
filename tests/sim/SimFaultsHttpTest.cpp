// Request faults, live view start and stop, and the control interface.
#include "SimHttpSupport.h"

#include "sim/SimCard.h"
#include "sim/SimServer.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <regex>
#include <thread>
#include <vector>

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

std::string percentEncoded(const std::string& name)
{
    std::string out;
    for (const unsigned char c : name) {
        if (std::isalnum(c) || c == '.' || c == '-' || c == '_') {
            out += char(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof(hex), "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

// The funcid names of a startliveview answer.
std::vector<std::string> funcids(const std::string& xml)
{
    static const std::regex funcid(R"re(<funcid name="([a-z]+)")re");
    std::vector<std::string> out;
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), funcid); it != std::sregex_iterator(); ++it)
        out.push_back((*it)[1].str());
    return out;
}

// The item ids of a first datagram's information block.
std::vector<uint32_t> itemIds(const std::string& d)
{
    auto be16 = [&d](size_t at) { return uint32_t(uint8_t(d[at])) << 8 | uint8_t(d[at + 1]); };
    std::vector<uint32_t> out;
    const size_t end = std::min(d.size(), 16 + 4 * size_t(be16(14)));
    for (size_t at = 16; at + 4 <= end; at += 4 + 4 * size_t(be16(at + 2)))
        out.push_back(be16(at));
    return out;
}

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
    std::mutex logMutex;
    std::vector<std::string> log;
    SimServerOptions o = options();
    o.requestLog = [&](const std::string& line) {
        std::lock_guard lock(logMutex);
        log.push_back(line);
    };
    SimServer server(o);
    const uint16_t port = server.start();
    auto lastLogLine = [&] {
        std::lock_guard lock(logMutex);
        return log.empty() ? std::string() : log.back();
    };

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
    // The log tells what went out, not what was announced.
    EXPECT_EQ(lastLogLine().substr(lastLogLine().rfind(path)),
        path + " 200 " + std::to_string(dropped.body.size()));
    const auto droppedXml = get(port, "/get_caminfo.cgi");
    EXPECT_LT(droppedXml.body.size(), kCaminfo.size());
    EXPECT_EQ(droppedXml.header("content-length"), std::to_string(kCaminfo.size()));

    // The control interface itself is never damaged.
    EXPECT_EQ(get(port, "/__sim/fault?reset=1").status, 200);
    EXPECT_EQ(get(port, "/get_caminfo.cgi").body, kCaminfo);
    const auto whole = get(port, path);
    ASSERT_EQ(whole.body.size(), entry->size);
    EXPECT_EQ(lastLogLine().substr(lastLogLine().rfind(path)), path + " 200 " + std::to_string(entry->size));
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

    // What is listed is also served, whatever the name holds once percent-decoded.
    int files = 0;
    for (const SimEntry& e : server.card().list("/DCIM/100OLYMP")) {
        if (e.attr & 16 || e.name.find_first_of("\\/\n\a") == std::string::npos)
            continue;
        ++files;
        EXPECT_NE(hostile.find(e.dir + "," + e.name + "," + std::to_string(e.size)), std::string::npos)
            << e.name;
        const auto a = get(port, "/DCIM/100OLYMP/" + percentEncoded(e.name));
        EXPECT_EQ(a.status, 200) << e.name;
        EXPECT_EQ(a.body.size(), e.size) << e.name;
    }
    EXPECT_GE(files, 5);
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
    // The answer names the items the stream carries, with the ids of the public notes where they give one.
    std::string first = datagram;
    for (int i = 0; i < 100 && !(first.size() > 204 && uint8_t(first[0]) == 0x90); ++i)
        first = udp.receive(1000);
    const std::vector<std::string> names = funcids(start.body);
    const std::vector<uint32_t> ids = itemIds(first);
    EXPECT_EQ(names.size(), ids.size());
    const std::map<std::string, uint32_t> noted { { "framesize", 1 }, { "afframeinfo", 2 },
        { "mntmediainfo", 3 }, { "rotation", 4 }, { "maxtakenum", 5 }, { "shutspeedvalue", 8 },
        { "focalvalue", 9 }, { "expcomp", 10 }, { "isospeedvalue", 12 }, { "exposurewarning", 16 },
        { "zoom", 18 } };
    for (const auto& [name, id] : noted) {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
        EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end()) << name;
    }
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
