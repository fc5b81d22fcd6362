#include "ImgUtil.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Graphics.h"

namespace {

constexpr int kPixel = 3;

// False for a bitmap without pixels; otherwise it now has 24 bits per pixel.
bool Prepare(TBitmap& bitmap)
{
    if (bitmap.Empty())
        return false;
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    return true;
}

// Turns the bitmap a quarter; source(newX, newY) names the old pixel that lands at a new place.
template <typename Source>
void Turn(TBitmap& bitmap, Source source)
{
    if (!Prepare(bitmap))
        return;
    const int width = bitmap.Width(), height = bitmap.Height();
    const size_t rowBytes = static_cast<size_t>(width) * kPixel;
    std::vector<uint8_t> pixels(rowBytes * height);
    for (int y = 0; y < height; ++y)
        std::memcpy(&pixels[y * rowBytes], bitmap.ScanLine(y), rowBytes);
    bitmap.SetSize(height, width);
    for (int y = 0; y < width; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < height; ++x) {
            const auto [oldX, oldY] = source(x, y, width, height);
            std::memcpy(row + x * kPixel, &pixels[oldY * rowBytes + oldX * kPixel], kPixel);
        }
    }
}

}  // namespace

void MirrorBitmap(TBitmap& bitmap)
{
    if (!Prepare(bitmap))
        return;
    const int width = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int left = 0, right = width - 1; left < right; ++left, --right)
            std::swap_ranges(row + left * kPixel, row + (left + 1) * kPixel, row + right * kPixel);
    }
}

void FlipBitmap(TBitmap& bitmap)
{
    if (!Prepare(bitmap))
        return;
    const size_t rowBytes = static_cast<size_t>(bitmap.Width()) * kPixel;
    for (int top = 0, bottom = bitmap.Height() - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = bitmap.ScanLine(top);
        std::swap_ranges(a, a + rowBytes, bitmap.ScanLine(bottom));
    }
}

// The old top edge becomes the left edge: old (x, y) lands at (y, width - 1 - x).
void RotateBitmapLeft(TBitmap& bitmap)
{
    Turn(bitmap, [](int x, int y, int width, int) { return std::pair{width - 1 - y, x}; });
}

// The old top edge becomes the right edge: old (x, y) lands at (height - 1 - y, x).
void RotateBitmapRight(TBitmap& bitmap)
{
    Turn(bitmap, [](int x, int y, int, int height) { return std::pair{y, height - 1 - x}; });
}
