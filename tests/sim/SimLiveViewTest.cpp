#include "sim/SimLiveView.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <map>
#include <netinet/in.h>
#include <set>
#include <sys/socket.h>
#include <turbojpeg.h>
#include <unistd.h>
#include <vector>

using namespace camsim;

namespace {

using Datagram = std::vector<uint8_t>;

struct Receiver
{
    int fd = -1;
    uint16_t port = 0;
    Receiver()
    {
        fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
        port = ntohs(addr.sin_port);
        const int buffer = 8 << 20;
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
        timeval tv { 0, 100'000 };
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    }
    ~Receiver() { ::close(fd); }

    std::vector<Datagram> receiveFor(std::chrono::milliseconds span) const
    {
        std::vector<Datagram> out;
        const auto end = std::chrono::steady_clock::now() + span;
        uint8_t buf[65536];
        while (std::chrono::steady_clock::now() < end) {
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n >= 0)
                out.emplace_back(buf, buf + n);
        }
        return out;
    }
};

uint32_t be(const Datagram& d, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | d.at(at + i);
    return v;
}

struct Picture
{
    std::vector<const Datagram*> parts;
};

bool decodesAt(const std::vector<uint8_t>& jpeg, int width, int height)
{
    tjhandle h = tjInitDecompress();
    int w = 0, ht = 0, ss = 0, cs = 0;
    bool ok = tjDecompressHeader3(h, jpeg.data(), jpeg.size(), &w, &ht, &ss, &cs) == 0 && w == width
        && ht == height;
    if (ok) {
        std::vector<uint8_t> gray(size_t(w) * ht);
        ok = tjDecompress2(h, jpeg.data(), jpeg.size(), gray.data(), w, 0, ht, TJPF_GRAY, 0) == 0;
    }
    tjDestroy(h);
    return ok;
}

SimLiveInfo sampleInfo()
{
    SimLiveInfo info;
    info.orientation = 6;
    info.remainingShots = 1234;
    info.focusState = 1;
    info.focusLeft = 100;
    info.focusTop = 80;
    info.focusWidth = 40;
    info.focusHeight = 36;
    info.battery = 77;
    info.shutterNum = 1;
    info.shutterDen = 250;
    info.apertureUpper10 = 220;
    info.apertureLower10 = 35;
    info.aperture10 = 56;
    info.expComp10 = -7;
    info.iso = 400;
    info.isoAuto = true;
    info.isoWarning = true;
    info.whiteBalance = 18;
    info.exposureWarning = true;
    info.focalLength = 25;
    return info;
}

} // namespace

TEST(SimLiveView, CleanStreamReassemblesIntoPicturesWithTheirInformation)
{
    Receiver rx;
    SimLiveView view;
    view.start("127.0.0.1", rx.port, 640, 480, 30, sampleInfo);
    const auto datagrams = rx.receiveFor(std::chrono::milliseconds(1000));
    view.stop();
    EXPECT_FALSE(view.running());
    EXPECT_GT(view.framesSent(), 0u);
    ASSERT_GT(datagrams.size(), 20u);

    std::map<uint32_t, Picture> pictures;
    std::vector<uint32_t> order;
    const uint32_t source = be(datagrams[0], 8, 4);
    for (size_t i = 0; i < datagrams.size(); ++i) {
        const Datagram& d = datagrams[i];
        ASSERT_GE(d.size(), 13u);
        EXPECT_LE(d.size(), 1472u);
        EXPECT_EQ(d[0] >> 6, 2) << "RTP version";
        EXPECT_EQ(d[1] & 0x7F, 96) << "payload type";
        EXPECT_EQ(be(d, 8, 4), source);
        if (i > 0) {
            EXPECT_EQ(be(d, 2, 2), (be(datagrams[i - 1], 2, 2) + 1) & 0xFFFF) << "datagram " << i;
        }
        const uint32_t ts = be(d, 4, 4);
        if (!pictures.count(ts))
            order.push_back(ts);
        pictures[ts].parts.push_back(&d);
    }

    int complete = 0;
    for (uint32_t ts : order) {
        const auto& parts = pictures[ts].parts;
        if (be(*parts.front(), 0, 2) != 0x9060 || be(*parts.back(), 0, 2) != 0x80E0)
            continue; // cut off at the start or end of the receiving window
        ++complete;
        for (size_t i = 1; i + 1 < parts.size(); ++i)
            EXPECT_EQ(be(*parts[i], 0, 2), 0x8060u);
        const Datagram& first = *parts.front();
        // the information block is a header extension reaching to byte 204, where the picture starts
        EXPECT_EQ(be(first, 14, 2), (204u - 16) / 4);
        EXPECT_EQ(be(first, 204, 4), 0xFFD8FFDBu);
        EXPECT_EQ(first[31], 6);
        EXPECT_EQ(be(first, 38, 2), 1234u);
        EXPECT_EQ(first[55], 1);
        EXPECT_EQ(be(first, 58, 2), 100u);
        EXPECT_EQ(be(first, 62, 2), 80u);
        EXPECT_EQ(be(first, 66, 2), 40u);
        EXPECT_EQ(be(first, 70, 2), 36u);
        EXPECT_EQ(first[87], 77);
        EXPECT_EQ(be(first, 100, 2), 1u);
        EXPECT_EQ(be(first, 102, 2), 250u);
        EXPECT_EQ(be(first, 108, 4), 220u);
        EXPECT_EQ(be(first, 112, 4), 35u);
        EXPECT_EQ(be(first, 116, 4), 56u);
        EXPECT_EQ(int32_t(be(first, 132, 4)), -7);
        EXPECT_EQ(be(first, 142, 2), 400u);
        EXPECT_NE(be(first, 144, 2), 0u);
        EXPECT_NE(first[151], 0);
        EXPECT_EQ(be(first, 158, 2), 18u);
        EXPECT_EQ(be(first, 168, 2), 4u);
        EXPECT_EQ(be(first, 170, 2), 3u);
        EXPECT_NE(be(first, 176, 4), 0u);
        EXPECT_EQ(be(first, 196, 2), 25u);
        // no earlier occurrence of the picture start that a searching client would pick up
        for (size_t i = 0; i < 204; ++i)
            ASSERT_FALSE(
                first[i] == 0xFF && first[i + 1] == 0xD8 && first[i + 2] == 0xFF && first[i + 3] == 0xDB);

        std::vector<uint8_t> jpeg(first.begin() + 204, first.end());
        for (size_t i = 1; i < parts.size(); ++i)
            jpeg.insert(jpeg.end(), parts[i]->begin() + 12, parts[i]->end());
        EXPECT_EQ(jpeg[jpeg.size() - 2], 0xFF);
        EXPECT_EQ(jpeg.back(), 0xD9);
        EXPECT_TRUE(decodesAt(jpeg, 640, 480)) << "picture " << ts;
    }
    EXPECT_GE(complete, 5);
    // one timestamp per picture, rising
    for (size_t i = 1; i < order.size(); ++i)
        EXPECT_GT(order[i], order[i - 1]);
}

// Clients that read an item by its id find it; clients that read by byte position find the value
// inside the item it belongs to.
TEST(SimLiveView, InformationItemsCarryTheirIdsAtTheReadPositions)
{
    Receiver rx;
    SimLiveView view;
    view.start("127.0.0.1", rx.port, 320, 240, 30, sampleInfo);
    const Datagram* first = nullptr;
    std::vector<Datagram> datagrams;
    for (int i = 0; i < 50 && !first; ++i) {
        datagrams = rx.receiveFor(std::chrono::milliseconds(100));
        for (const Datagram& d : datagrams)
            if (d.size() > 204 && be(d, 0, 2) == 0x9060) {
                first = &d;
                break;
            }
    }
    view.stop();
    ASSERT_TRUE(first);

    struct Item
    {
        size_t at;
        uint32_t id, words;
    };
    std::vector<Item> items;
    const size_t end = 16 + 4 * be(*first, 14, 2);
    ASSERT_EQ(end, 204u);
    for (size_t at = 16; at < end; at += 4 + 4 * items.back().words)
        items.push_back({ at, be(*first, at, 2), be(*first, at + 2, 2) });
    ASSERT_EQ(items.back().at + 4 + 4 * items.back().words, end) << "the items fill the block";

    // Item id -> datagram positions of the values clients of the E-M10 read there.
    const std::map<uint32_t, std::vector<size_t>> known {
        { 1, { 20, 22 } }, // frame size
        { 2, { 55, 58, 62, 66, 70 } }, // AF frame
        { 3, {} }, // media state
        { 4, { 31 } }, // rotation
        { 5, { 38 } }, // remaining shots
        { 6, {} }, // temperature warning
        { 7, { 87 } }, // battery
        { 8, { 100, 102 } }, // shutter speed
        { 9, { 108, 112, 116 } }, // aperture
        { 10, { 132 } }, // exposure compensation
        { 12, { 142, 144, 151 } }, // ISO
        { 16, { 176 } }, // exposure warnings
        { 18, { 196 } }, // zoom
    };
    std::set<uint32_t> seen;
    for (const Item& item : items) {
        EXPECT_TRUE(seen.insert(item.id).second) << "id " << item.id << " twice";
        auto it = known.find(item.id);
        if (it == known.end()) {
            EXPECT_GT(item.id, 100u) << "an id no note gives must not take one that might be real";
            continue;
        }
        for (size_t position : it->second) {
            EXPECT_GE(position, item.at + 4) << "id " << item.id;
            EXPECT_LT(position, item.at + 4 + 4 * item.words) << "id " << item.id;
        }
    }
    for (const auto& [id, positions] : known)
        EXPECT_TRUE(seen.count(id)) << "id " << id;
    // The values themselves are where they were.
    EXPECT_EQ((*first)[31], 6);
    EXPECT_EQ(be(*first, 38, 2), 1234u);
    EXPECT_EQ(be(*first, 196, 2), 25u);
}

TEST(SimLiveView, FaultsShowAsGapsDuplicatesAndForeignDatagrams)
{
    Receiver rx;
    SimLiveView view;
    SimStreamFaults faults;
    faults.loss = 0.1;
    faults.duplicate = 0.1;
    faults.garbage = 0.05;
    view.start(
        "127.0.0.1", rx.port, 320, 240, 30, [] { return SimLiveInfo {}; }, faults, 1234);
    const auto datagrams = rx.receiveFor(std::chrono::milliseconds(800));
    view.stop();
    ASSERT_GT(datagrams.size(), 20u);
    int gaps = 0, repeats = 0, foreign = 0;
    const Datagram* previous = nullptr;
    for (const Datagram& d : datagrams) {
        const uint32_t kind = d.size() >= 2 ? be(d, 0, 2) : 0;
        if (d.size() < 12 || (kind != 0x9060 && kind != 0x8060 && kind != 0x80E0)) {
            ++foreign;
            continue;
        }
        if (previous) {
            const uint32_t step = (be(d, 2, 2) - be(*previous, 2, 2)) & 0xFFFF;
            gaps += step > 1 && step < 0x8000;
            repeats += step == 0;
        }
        previous = &d;
    }
    EXPECT_GT(gaps, 0);
    EXPECT_GT(repeats, 0);
    EXPECT_GT(foreign, 0);
}

TEST(SimLiveView, StopEndsTheStreamAndARestartIsANewSession)
{
    Receiver rx;
    SimLiveView view;
    view.start("127.0.0.1", rx.port, 320, 240, 30, [] { return SimLiveInfo {}; });
    EXPECT_TRUE(view.running());
    const auto first = rx.receiveFor(std::chrono::milliseconds(300));
    ASSERT_FALSE(first.empty());
    view.start("127.0.0.1", rx.port, 320, 240, 30, [] { return SimLiveInfo {}; });
    const auto second = rx.receiveFor(std::chrono::milliseconds(300));
    ASSERT_FALSE(second.empty());
    EXPECT_NE(be(first.front(), 8, 4), be(second.back(), 8, 4)) << "a new random source id";
    view.stop();
    EXPECT_FALSE(view.running());
    rx.receiveFor(std::chrono::milliseconds(100)); // what was already in flight
    EXPECT_TRUE(rx.receiveFor(std::chrono::milliseconds(300)).empty());
}
