#pragma once

#include <array>

// The computing behind TKmExposureMeter: which of its 19 segments (-3 to +3 EV in thirds) are lit
// for a position in tenths of a stop, and the sizes its scale is drawn with. No drawing here.
class ExposureMeterScale
{
public:
    static constexpr int kSegments = 19;
    static constexpr int kCentre = 9;
    static constexpr std::array<int, kSegments> kThresholds
        = { -30, -27, -23, -20, -17, -13, -10, -7, -3, 0, 3, 7, 10, 13, 17, 20, 23, 27, 30 };

    // A bar from the centre towards the position; the centre is always lit.
    static std::array<bool, kSegments> litSegments(int position);

    struct Geometry
    {
        int s; // segment width
        int g; // gap
        int e; // part-stop mark height
        int f; // full-stop mark height and font size
    };
    static Geometry geometry(int barGraphWidth, int barGraphHeight);
    // The x of segment 0, from the scale's centre.
    static int startX(int centre, int barGraphWidth, int segmentWidth);
};
