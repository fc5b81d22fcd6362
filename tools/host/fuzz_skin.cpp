// libFuzzer target: a skin stream through the decoder, the container reader, the description's
// value rules and the BMP header checks of the images it names; and any bytes through a
// pack/unpack round trip. The custom mutator is the skin mutation rules (SkinMutate.h) over
// libFuzzer's byte mutator.
#include <algorithm>
#include <cstdlib>
#include <random>

#include "BmpHeader.h"
#include "LZH.h"
#include "SkinMutate.h"
#include "SkinPack.h"
#include "SkinRead.h"
#include "SkinValues.h"

void SkinMessage(const std::string&) {}

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

using Bytes = std::vector<uint8_t>;

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

// The checks the bitmap reader makes before it reads pixels. The image is copied into an
// allocation of its exact size, so AddressSanitizer sees any read that the checks let past
// its end, the reader's last pixel byte included.
void CheckBitmap(const uint8_t* bytes, size_t size)
{
    const Bytes image(bytes, bytes + size);
    try {
        const TBmpLayout layout =
            ReadBmpLayout(image.data(), std::min(size, kBmpHeadBytes), size);
        volatile uint8_t last = image[layout.PixelOffset + layout.Stride * layout.Height - 1];
        (void)last;
    } catch (const EInvalidGraphic&) {
    }
    // The same bytes as a bitmap resource: a file without its 14-byte file header.
    if (size > 14)
        BmpResourcePixelOffset(image.data() + 14, size - 14);
}

// Every value of the description (the text after "=" on a line) through the rules the
// description reader applies: numbers clamped, colours, and image names looked up in the
// container and checked as bitmaps.
void CheckDescription(TSkinReader& reader, const std::string& text)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const size_t equals = text.find('=', start);
        if (equals < end) {
            const std::string value = Trim(text.substr(equals + 1, end - equals - 1));
            const int n = IniStrToIntDef(value, -1);
            const int size = ClampSkinSize(n), offset = ClampSkinOffset(n);
            const int frames = ClampFrameCount(n, 1);
            Check(size >= 0 && size <= kMaxSkinExtent && offset >= -kMaxSkinExtent &&
                  offset <= kMaxSkinExtent && frames >= 1 && frames <= kMaxSkinExtent);
            const int32_t colour = ParseColourText(value, -1);
            Check(colour == -1 || (colour >= 0 && colour <= 0xFFFFFF));
            const std::string name = SkinImageName(value);
            if (!name.empty()) {
                TMemoryStream image;
                reader.ExtractByName(name, image);
                if (image.Length() > 0)
                    CheckBitmap(image.Memory(), image.Length());
            }
        }
        start = end + 1;
    }
}

void Mutate(Bytes& bytes)
{
    const size_t size = bytes.size();
    bytes.resize(size + 64 + size / 8);
    bytes.resize(LLVMFuzzerMutate(bytes.data(), size, bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream stream;
    stream.WriteBuffer(data, size);
    try {
        TSkinReader reader;
        if (reader.LoadFromStream(stream)) {
            TMemoryStream description;
            std::string name;
            reader.ExtractByPart(".ini", description, name);
            const Bytes& text = description.Bytes();
            CheckDescription(reader, std::string(text.begin(), text.end()));
        }
    } catch (const ElzhException&) {
        // A stated size beyond what the input can hold is refused; that is the clean failure.
    }

    const Bytes plain(data, data + size);
    TMemoryStream packed;
    const Bytes bytes = PackLZH(plain);
    packed.WriteBuffer(bytes.data(), bytes.size());
    TMemoryStream unpacked;
    TSkinReader::Unpack(packed, unpacked);
    Check(unpacked.Bytes() == plain);
    return 0;
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned seed)
{
    std::minstd_rand random(seed);
    const Bytes packed = MutateSkinStream(Bytes(data, data + size), random, Mutate);
    if (packed.size() > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::copy(packed.begin(), packed.end(), data);
    return packed.size();
}
