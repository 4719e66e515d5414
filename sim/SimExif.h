#pragma once

#include <cstdint>
#include <string>

namespace camsim {

struct LocalTime;
struct SimShotInfo;

// The APP1 Exif segment of a simulated camera JPEG: IFD0, Exif IFD and a small Olympus maker note
// (Equipment and CameraSettings) in the little-endian layout the bodies write.
class SimExif
{
public:
    // Complete segment, starting with the FF E1 marker.
    static std::string app1(const SimShotInfo& shot, const LocalTime& taken, int width, int height);
    // Where the sensor data of a raw file begins.
    static constexpr uint32_t OrfDataOffset = 8192;
    // The first OrfDataOffset bytes of a raw file: the same IFD0, Exif IFD and maker note as the
    // JPEG of the shot, with the raw picture's size and data offset, under the "IIRO" magic.
    static std::string orfHeader(const SimShotInfo& shot, const LocalTime& taken, int width, int height);

private:
    // The TIFF block, from its byte-order mark; a raw one points at dataAt.
    static std::string tiffBlock(
        const SimShotInfo& shot, const LocalTime& taken, int width, int height, bool raw, uint32_t dataAt);
};

} // namespace camsim
