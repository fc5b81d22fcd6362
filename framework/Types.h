// Points and rectangles in the platform's layout (32-bit fields, right and bottom exclusive).
// Portable: no platform headers, so layout readers and controls can share them.
#pragma once

#include <cstdint>

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

inline TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return TRect{left, top, right, bottom};
}

inline TRect Bounds(int32_t left, int32_t top, int32_t width, int32_t height)
{
    return TRect{left, top, left + width, top + height};
}
