// The headers of BMP files, checked against the file before any memory is asked for.
// Portable (no platform headers): the bitmap reader uses it, and the fuzzer runs it natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "SysUtils.h"

// A picture file that cannot be read, or an operation a picture does not allow.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// Larger pictures are refused.
constexpr int kMaxBitmapDimension = 32767;

// One colour-table entry, laid out as the platform's: blue, green, red, reserved.
struct TBmpColour {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    uint8_t Reserved = 0;
};

// Bytes per row of pixels: rows are padded to whole 32-bit words.
uint64_t BmpStride(int width, int bits);

// What a BMP file's headers say, every field checked.
struct TBmpLayout {
    int Width = 0;         // 1 to kMaxBitmapDimension
    int Height = 0;        // 1 to kMaxBitmapDimension
    int Bits = 0;          // 1, 4, 8, 24 or 32
    bool TopDown = false;  // the rows are stored top row first
    std::vector<TBmpColour> Palette;  // 2^Bits entries up to 8 bits; unlisted ones black
    uint32_t PixelOffset = 0;         // where the pixels start in the file
    uint64_t Stride = 0;
};

// head: the file's first headSize bytes (its headers and colour table, as far as the file
// has them); fileSize: the whole file's size. Uncompressed pixels only, and 32-bit ones with
// the standard bit fields. Raises EInvalidGraphic for anything else and for a file whose
// fields do not fit its size.
constexpr size_t kBmpHeadBytes = 14 + 124 + 12 + 256 * 4;
TBmpLayout ReadBmpLayout(const uint8_t* head, size_t headSize, uint64_t fileSize);

// A bitmap resource is a BMP file without its file header: where its pixels start once a
// file header is put in front (after the info header, its colour masks and colour table).
uint32_t BmpResourcePixelOffset(const uint8_t* resource, size_t size);
