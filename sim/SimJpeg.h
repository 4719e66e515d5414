#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace camsim {

// Synthetic pictures for the simulator: a cheap moving live view scene and seeded still scenes,
// encoded as baseline JPEGs that begin FF D8 FF DB (no JFIF segment, as the cameras write them).
// One object is used by one thread at a time; the static functions are thread-safe.
class SimJpeg
{
public:
    SimJpeg();
    ~SimJpeg();
    SimJpeg(const SimJpeg&) = delete;
    SimJpeg& operator=(const SimJpeg&) = delete;

    // Renders live view picture number `frame` into the internal planes and encodes it (fast DCT).
    // The result points into an internal buffer that stays valid until the next call; empty on failure.
    std::basic_string_view<uint8_t> liveFrame(
        int width, int height, uint64_t frame, double brightness, int quality = 70);

    // A still picture of the scene belonging to `seed`; `app1` (a complete segment with its marker) is
    // placed right after the start-of-image marker. "" on failure.
    static std::string still(int width, int height, uint32_t seed, int quality, std::string_view app1 = {});

    // Width and height from a JPEG's header; false when it cannot be read.
    static bool dimensions(std::string_view jpeg, int* width, int* height);

    // Scales a JPEG to exactly width x height (cropping to keep the aspect ratio). "" on failure.
    static std::string scaled(std::string_view jpeg, int width, int height, int quality);

private:
    void prepareLive(int width, int height);

    void* m_handle = nullptr;
    unsigned char* m_out = nullptr;
    unsigned long m_outCapacity = 0;
    int m_width = 0, m_height = 0, m_period = 0;
    std::vector<uint8_t> m_texY, m_texU, m_texV; // wider than the picture; a window slides over them
    std::vector<uint8_t> m_y, m_u, m_v;
};

} // namespace camsim
