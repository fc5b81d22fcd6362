// The rules by which a skin description's values become numbers, colours and image names.
// Portable (no platform headers): the description reader uses them, and the fuzzer runs them
// natively.
#pragma once

#include <cstdint>
#include <string>

#include "BmpHeader.h"

// Every size, offset and frame count a description gives is clamped when read, to a limit
// that no real skin reaches: the largest image the bitmap reader takes (32767 pixels a side).
// No margin, offset or frame can be larger than an image, and no window is wider. Within it,
// the drawing arithmetic (a margin plus a margin, a margin times a margin, a window's size
// plus a few offsets) stays far inside 32 bits.
constexpr int32_t kMaxSkinExtent = kMaxBitmapDimension;

// A width, height or margin: 0 to kMaxSkinExtent.
int32_t ClampSkinSize(int32_t value);
// An offset, which may point either way: -kMaxSkinExtent to kMaxSkinExtent.
int32_t ClampSkinOffset(int32_t value);
// A number of frames: def when below 1, else at most kMaxSkinExtent (a frame is at least a
// pixel wide).
int32_t ClampFrameCount(int32_t value, int32_t def);

// The colour (0x00BBGGRR) of a text of up to three numbers ("59 97 131", "10,20,30"); def
// when the text is blank.
int32_t ParseColourText(const std::string& text, int32_t def);

// The container entry an image value names: its file-name part (after the last "\" or ":")
// when that ends in ".bmp" (in lower case), else empty.
std::string SkinImageName(const std::string& value);
