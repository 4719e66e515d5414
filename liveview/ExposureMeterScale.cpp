#include "liveview/ExposureMeterScale.h"

#include <cmath>

std::array<bool, ExposureMeterScale::kSegments> ExposureMeterScale::litSegments(int position)
{
    std::array<bool, kSegments> lit {};
    for (int i = 0; i < kSegments; ++i)
        lit[size_t(i)] = (i <= kCentre && position <= kThresholds[size_t(i)])
            || (i >= kCentre && position >= kThresholds[size_t(i)]);
    return lit;
}

ExposureMeterScale::Geometry ExposureMeterScale::geometry(int barGraphWidth, int barGraphHeight)
{
    Geometry g;
    g.s = int(std::nearbyint(barGraphWidth * 4 / 90.0)); // halves to even
    g.g = int(std::nearbyint(barGraphWidth / 90.0));
    g.e = barGraphHeight / 4;
    g.f = 2 * g.g + g.e;
    return g;
}

int ExposureMeterScale::startX(int centre, int barGraphWidth, int segmentWidth)
{
    return centre - segmentWidth / 2 - barGraphWidth / 2;
}
