#include "sim/SimJpeg.h"

#include <gtest/gtest.h>

#include <numeric>
#include <turbojpeg.h>
#include <vector>

using camsim::SimJpeg;

namespace {

struct Decoded
{
    int width = 0, height = 0;
    std::vector<uint8_t> gray;
};

Decoded decode(const uint8_t* data, size_t size)
{
    Decoded out;
    tjhandle h = tjInitDecompress();
    int subsamp = 0, colorspace = 0;
    if (tjDecompressHeader3(h, data, size, &out.width, &out.height, &subsamp, &colorspace) == 0) {
        out.gray.resize(size_t(out.width) * out.height);
        if (tjDecompress2(h, data, size, out.gray.data(), out.width, 0, out.height, TJPF_GRAY, 0) != 0)
            out = {};
    } else {
        out = {};
    }
    tjDestroy(h);
    return out;
}

Decoded decode(const std::string& s)
{
    return decode(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

double mean(const Decoded& d)
{
    return d.gray.empty() ? 0 : std::accumulate(d.gray.begin(), d.gray.end(), 0.0) / double(d.gray.size());
}

bool hasMarker(const uint8_t* data, size_t size, uint8_t marker)
{
    for (size_t i = 0; i + 1 < size; ++i)
        if (data[i] == 0xFF && data[i + 1] == marker)
            return true;
    return false;
}

} // namespace

TEST(SimJpeg, LiveFramesAreBaselineWithoutJfifAndFollowBrightness)
{
    SimJpeg encoder;
    std::vector<double> means;
    std::vector<uint8_t> previous;
    for (double brightness : { 0.4, 1.0, 1.6 }) {
        const auto frame = encoder.liveFrame(640, 480, 17, brightness);
        ASSERT_GT(frame.size(), 100u);
        const uint8_t expectedStart[] = { 0xFF, 0xD8, 0xFF, 0xDB };
        EXPECT_TRUE(std::equal(expectedStart, expectedStart + 4, frame.data()));
        EXPECT_EQ(frame[frame.size() - 2], 0xFF);
        EXPECT_EQ(frame[frame.size() - 1], 0xD9);
        EXPECT_TRUE(hasMarker(frame.data(), frame.size(), 0xC0)); // baseline frame header
        EXPECT_FALSE(hasMarker(frame.data(), frame.size(), 0xC2));
        const Decoded d = decode(frame.data(), frame.size());
        ASSERT_EQ(d.width, 640);
        ASSERT_EQ(d.height, 480);
        means.push_back(mean(d));
    }
    EXPECT_LT(means[0] + 20, means[1]);
    EXPECT_LT(means[1] + 10, means[2]);

    // the scene moves: consecutive pictures differ
    const auto a = encoder.liveFrame(320, 240, 1, 1.0);
    const std::vector<uint8_t> first(a.begin(), a.end());
    const auto b = encoder.liveFrame(320, 240, 2, 1.0);
    EXPECT_NE(first, std::vector<uint8_t>(b.begin(), b.end()));
}

TEST(SimJpeg, StillsCarryTheGivenSegmentAndScaleToExactSizes)
{
    const std::string app1("\xFF\xE1\x00\x08"
                           "ABCDEF",
        10);
    const std::string still = SimJpeg::still(800, 600, 42, 90, app1);
    ASSERT_GT(still.size(), 20u);
    EXPECT_EQ(still.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(still.substr(2, app1.size()), app1);
    EXPECT_EQ(still.substr(2 + app1.size(), 2), "\xFF\xDB");
    const Decoded d = decode(still);
    EXPECT_EQ(d.width, 800);
    EXPECT_EQ(d.height, 600);
    EXPECT_EQ(SimJpeg::still(800, 600, 42, 90, app1), still) << "a seed always gives the same picture";

    for (auto [w, h] : { std::pair(160, 120), std::pair(120, 160), std::pair(1024, 768) }) {
        const Decoded s = decode(SimJpeg::scaled(still, w, h, 80));
        EXPECT_EQ(s.width, w);
        EXPECT_EQ(s.height, h);
    }
    EXPECT_TRUE(SimJpeg::scaled("not a jpeg", 160, 120, 80).empty());
}
