#pragma once

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
};

} // namespace camsim
