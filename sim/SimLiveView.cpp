#include "sim/SimLiveView.h"

#include "sim/SimJpeg.h"
#include "sim/SimStreamThread.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace camsim {

namespace {

constexpr size_t kMaxDatagram = 1472; // one Ethernet frame of UDP payload
constexpr size_t kHeader = 12;
constexpr size_t kJpegStart = 204; // where the E-M10 starts the picture in the first datagram

void be16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}

void be32(uint8_t* p, uint32_t v)
{
    be16(p, v >> 16);
    be16(p + 2, v & 0xFFFF);
}

// The camera information travels as an RTP header extension made of items {u16 id, u16 length in
// words, data}. The ids are those of the public protocol notes, temperror and battempty numbered by
// their place in the captured startliveview list, which follows the ids; the notes name none for the
// items marked invented, which carry an id above 100 so they collide with no real one. The layout puts
// every value where clients of the E-M10 read it; the startliveview answer names the same items.
void writeInfo(uint8_t* d, const SimLiveInfo& info, int width, int height)
{
    std::memset(d + kHeader, 0, kJpegStart - kHeader);
    be16(d + 12, 0x0001);
    be16(d + 14, uint32_t(kJpegStart - 16) / 4);
    struct Item
    {
        uint16_t at, id, words;
    };
    static constexpr Item items[] = {
        { 16, 1, 1 }, // framesize
        { 24, 4, 1 }, // rotation
        { 32, 5, 1 }, // maxtakenum
        { 40, 2, 7 }, // afframeinfo
        { 72, 6, 1 }, // temperror
        { 80, 7, 1 }, // battempty
        { 88, 3, 1 }, // mntmediainfo
        { 96, 8, 1 }, // shutspeedvalue
        { 104, 9, 3 }, // focalvalue
        { 120, 103, 1 }, // exposelevel, id invented
        { 128, 10, 1 }, // expcomp
        { 136, 12, 3 }, // isospeedvalue
        { 152, 104, 1 }, // wbvalue, id invented
        { 160, 105, 2 }, // aspectratio, id invented
        { 172, 16, 1 }, // exposurewarning
        { 180, 106, 2 }, // artfilter, id invented
        { 192, 18, 2 }, // zoom
    };
    for (const Item& item : items) {
        be16(d + item.at, item.id);
        be16(d + item.at + 2, item.words);
    }
    be16(d + 20, uint32_t(width));
    be16(d + 22, uint32_t(height));
    d[31] = uint8_t(info.orientation);
    be16(d + 38, uint32_t(info.remainingShots));
    d[55] = uint8_t(info.focusState);
    be16(d + 58, uint32_t(info.focusLeft));
    be16(d + 62, uint32_t(info.focusTop));
    be16(d + 66, uint32_t(info.focusWidth));
    be16(d + 70, uint32_t(info.focusHeight));
    d[87] = uint8_t(info.battery);
    be16(d + 100, uint32_t(info.shutterNum));
    be16(d + 102, uint32_t(info.shutterDen));
    be32(d + 108, uint32_t(info.apertureUpper10));
    be32(d + 112, uint32_t(info.apertureLower10));
    be32(d + 116, uint32_t(info.aperture10));
    be32(d + 132, uint32_t(info.expComp10));
    be16(d + 142, uint32_t(info.iso));
    be16(d + 144, info.isoAuto ? 1 : 0);
    d[151] = info.isoWarning ? 1 : 0;
    be16(d + 158, uint32_t(info.whiteBalance));
    be16(d + 168, uint32_t(info.aspectH));
    be16(d + 170, uint32_t(info.aspectV));
    be32(d + 176, info.exposureWarning ? 1 : 0);
    be16(d + 196, uint32_t(info.focalLength));
}

// Clients find the picture by searching FF D8 FF DB from the datagram's first byte, so the header
// words must never contain it: no 0xFF or 0xDB byte in the source id, a timestamp below 2^24.
uint32_t safeSourceId(std::mt19937& rng)
{
    for (;;) {
        const uint32_t v = uint32_t(rng());
        bool ok = v != 0;
        for (int i = 0; i < 4; ++i) {
            const uint8_t b = uint8_t(v >> (8 * i));
            ok = ok && b != 0xFF && b != 0xDB;
        }
        if (ok)
            return v;
    }
}

} // namespace

struct SimLiveView::Impl
{
    SimStreamThread sender;
    std::atomic<uint64_t> frames { 0 };

    struct Session
    {
        sockaddr_in to {};
        int width, height;
        double fps;
        std::function<SimLiveInfo()> info;
        SimStreamFaults faults;
        uint32_t seed;
    };

    void run(Session s);
};

void SimLiveView::Impl::run(Session s)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) {
        sender.running = false;
        return;
    }
    std::mt19937 rng(s.seed ? s.seed : std::random_device {}());
    std::mt19937 faultRng(s.seed);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    const uint32_t source = safeSourceId(rng);
    uint16_t sequence = uint16_t(rng());
    uint32_t timestamp = uint32_t(rng()) & 0x7FFFFF;

    SimJpeg encoder;
    std::vector<std::vector<uint8_t>> datagrams;
    std::vector<uint8_t> garbage;
    const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(1.0 / (s.fps > 0 ? s.fps : 30.0)));
    auto next = std::chrono::steady_clock::now();
    uint64_t frame = 0;

    auto send = [&](const std::vector<uint8_t>& d) {
        ::sendto(fd, d.data(), d.size(), 0, reinterpret_cast<const sockaddr*>(&s.to), sizeof s.to);
    };

    while (sender.sleepUntil(next)) {
        SimLiveInfo info;
        try {
            if (s.info)
                info = s.info();
        } catch (...) {
            // a failing state callback must not end the process from this thread
        }
        const auto jpeg = encoder.liveFrame(s.width, s.height, frame, info.brightness);
        if (!jpeg.empty()) {
            // Cut the picture: the first datagram carries the information block, and there is always a
            // separate last datagram, since a frame needs both a first and a last block.
            size_t firstChunk = std::min(jpeg.size() - 1, kMaxDatagram - kJpegStart);
            size_t used = 0;
            size_t count = 0;
            do {
                if (datagrams.size() <= count)
                    datagrams.emplace_back();
                auto& d = datagrams[count];
                const bool first = count == 0;
                const size_t room = first ? firstChunk : kMaxDatagram - kHeader;
                const size_t chunk = std::min(room, jpeg.size() - used);
                const bool last = used + chunk == jpeg.size();
                const size_t start = first ? kJpegStart : kHeader;
                d.resize(start + chunk);
                d[0] = first ? 0x90 : 0x80;
                d[1] = last ? 0xE0 : 0x60;
                be16(&d[2], sequence++);
                be32(&d[4], timestamp);
                be32(&d[8], source);
                if (first)
                    writeInfo(d.data(), info, s.width, s.height);
                std::memcpy(&d[start], jpeg.data() + used, chunk);
                used += chunk;
                ++count;
            } while (used < jpeg.size());

            const auto& f = s.faults;
            for (size_t i = 0; i < count; ++i) {
                if (f.garbage > 0 && chance(faultRng) < f.garbage) {
                    garbage.resize(1 + faultRng() % kMaxDatagram);
                    for (auto& b : garbage)
                        b = uint8_t(faultRng());
                    send(garbage);
                }
                if (f.reorder > 0 && i + 1 < count && chance(faultRng) < f.reorder) {
                    std::swap(datagrams[i], datagrams[i + 1]);
                }
                if (f.loss > 0 && chance(faultRng) < f.loss)
                    continue;
                send(datagrams[i]);
                if (f.duplicate > 0 && chance(faultRng) < f.duplicate)
                    send(datagrams[i]);
            }
            ++timestamp;
            ++frames;
        }
        ++frame;
        next += period;
        const auto now = std::chrono::steady_clock::now();
        if (now > next + 4 * period)
            next = now; // fell behind (a stalled machine): keep the pace instead of bursting
    }
    ::close(fd);
}

SimLiveView::SimLiveView()
    : d(std::make_unique<Impl>())
{ }

SimLiveView::~SimLiveView()
{
    stop();
}

void SimLiveView::start(const std::string& host, uint16_t port, int width, int height, double fps,
    std::function<SimLiveInfo()> info, SimStreamFaults faults, uint32_t seed)
{
    std::lock_guard control(d->sender.control);
    d->sender.stopLocked();
    Impl::Session s { {}, width, height, fps, std::move(info), faults, seed };
    s.to.sin_family = AF_INET;
    s.to.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &s.to.sin_addr) != 1) {
        addrinfo hints {};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* res = nullptr;
        if (::getaddrinfo(host.c_str(), nullptr, &hints, &res) != 0 || !res)
            return;
        s.to.sin_addr = reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr;
        ::freeaddrinfo(res);
    }
    if (width <= 0 || height <= 0)
        return;
    d->frames = 0;
    d->sender.run([impl = d.get(), s = std::move(s)]() mutable { impl->run(std::move(s)); });
}

void SimLiveView::stop()
{
    d->sender.stop();
}

bool SimLiveView::running() const
{
    return d->sender.running;
}

uint64_t SimLiveView::framesSent() const
{
    return d->frames;
}

} // namespace camsim
