#include "BmpHeader.h"

#include <algorithm>
#include <string>

namespace {

constexpr uint32_t kRgb = 0;        // BI_RGB
constexpr uint32_t kBitFields = 3;  // BI_BITFIELDS
constexpr size_t kFileHeader = 14;

// Little-endian fields, every read checked against the bytes there are.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t U32(size_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }
    uint16_t U16(size_t at) const
    {
        if (at > size_ || size_ - at < 2)
            throw EInvalidGraphic("Bitmap image is not valid: the header is truncated");
        return static_cast<uint16_t>(data_[at] | data_[at + 1] << 8);
    }
    int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }

private:
    const uint8_t* data_;
    size_t size_;
};

[[noreturn]] void Invalid(const char* why)
{
    throw EInvalidGraphic(std::string("Bitmap image is not valid: ") + why);
}

}  // namespace

uint64_t BmpStride(int width, int bits)
{
    return ((static_cast<uint64_t>(width) * static_cast<uint64_t>(bits) + 31) / 32) * 4;
}

TBmpLayout ReadBmpLayout(const uint8_t* head, size_t headSize, uint64_t fileSize)
{
    const ByteReader in(head, headSize);
    if (headSize < kFileHeader + 4 || head[0] != 'B' || head[1] != 'M')
        Invalid("no bitmap file header");
    const uint32_t offBits = in.U32(10);
    const uint32_t infoSize = in.U32(14);
    const bool core = infoSize == 12;
    if (!core && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 &&
        infoSize != 124)
        Invalid("unknown info header size");
    if (kFileHeader + infoSize > headSize)
        Invalid("the header is truncated");

    int64_t width, height;
    uint32_t planes, bits, compression = kRgb, colorsUsed = 0;
    if (core) {
        width = in.U16(18);
        height = in.U16(20);
        planes = in.U16(22);
        bits = in.U16(24);
    } else {
        width = in.I32(18);
        height = in.I32(22);
        planes = in.U16(26);
        bits = in.U16(28);
        compression = in.U32(30);
        colorsUsed = in.U32(46);
    }
    TBmpLayout layout;
    layout.TopDown = height < 0;
    height = layout.TopDown ? -height : height;
    if (planes != 1)
        Invalid("plane count is not 1");
    if (width <= 0 || height <= 0 || width > kMaxBitmapDimension || height > kMaxBitmapDimension)
        Invalid("bad dimensions");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        Invalid("unsupported bit count");

    size_t paletteAt = kFileHeader + infoSize;
    if (compression == kBitFields && bits == 32) {
        // Only the layout of plain 32-bit pixels; the masks follow a short header.
        const size_t masksAt = infoSize == 40 ? paletteAt : kFileHeader + 40;
        if (in.U32(masksAt) != 0xFF0000 || in.U32(masksAt + 4) != 0xFF00 ||
            in.U32(masksAt + 8) != 0xFF)
            Invalid("unsupported bit fields");
        if (infoSize == 40)
            paletteAt += 12;
    } else if (compression != kRgb) {
        Invalid("unsupported compression");
    }

    if (bits <= 8) {
        const uint32_t room = 1u << bits;
        if (colorsUsed > room)
            Invalid("bad colour count");
        const uint32_t count = colorsUsed ? colorsUsed : room;
        const size_t entry = core ? 3 : 4;
        if (paletteAt + count * entry > headSize || paletteAt + count * entry > offBits)
            Invalid("the colour table is truncated");
        layout.Palette.resize(room);  // every index a file may hold has a colour
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* q = head + paletteAt + i * entry;
            layout.Palette[i] = TBmpColour{q[0], q[1], q[2], 0};
        }
    }

    layout.Width = static_cast<int>(width);
    layout.Height = static_cast<int>(height);
    layout.Bits = static_cast<int>(bits);
    layout.Stride = BmpStride(layout.Width, layout.Bits);
    if (offBits < paletteAt)
        Invalid("bad pixel data offset");
    if (static_cast<uint64_t>(offBits) + layout.Stride * static_cast<uint64_t>(height) > fileSize)
        Invalid("the pixel data is truncated");
    layout.PixelOffset = offBits;
    return layout;
}

uint32_t BmpResourcePixelOffset(const uint8_t* resource, size_t size)
{
    uint32_t offBits = kFileHeader;
    if (size < 40)
        return offBits;
    const ByteReader in(resource, size);
    const uint32_t infoSize = in.U32(0);
    const uint32_t bits = in.U16(14);
    const uint32_t colorsUsed = in.U32(32);
    offBits += infoSize + (in.U32(16) == kBitFields && infoSize == 40 ? 12 : 0);
    if (bits <= 8)
        offBits += 4 * (colorsUsed ? std::min(colorsUsed, 1u << bits) : 1u << bits);
    return offBits;
}
