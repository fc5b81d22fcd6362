// libFuzzer target: a skin stream through the decoder, the container reader, the description's
// value rules and the BMP header checks of the images it names; and any bytes through a
// pack/unpack round trip. The custom mutator unpacks an input, mutates the container inside
// (mostly one entry of it) and packs it again, so that mutations reach past the packed bits
// into the container, the description and the images.
#include <algorithm>
#include <cstdlib>
#include <random>

#include "BmpHeader.h"
#include "LZH.h"
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

Bytes Unpacked(const uint8_t* data, size_t size)
{
    TMemoryStream source, target;
    source.WriteBuffer(data, size);
    try {
        TSkinReader::Unpack(source, target);
    } catch (const ElzhException&) {
        return {};
    }
    return target.Bytes();
}

uint32_t U32(const Bytes& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// The entries of a container whose parts add up exactly; false for any other.
bool SplitContainer(const Bytes& container, std::vector<TSkinEntry>& entries)
{
    if (container.size() < 16 || U32(container, 0) != TSkinReader::kMagic)
        return false;
    const uint64_t nameBytes = U32(container, 4);
    if (16 + nameBytes > container.size())
        return false;
    const std::string names(container.begin() + 16, container.begin() + 16 + nameBytes);
    entries.clear();
    for (size_t at = 0; at < names.size();) {
        size_t end = names.find("\r\n", at);
        if (end == std::string::npos)
            end = names.size();
        entries.push_back({names.substr(at, end - at), {}});
        at = end + 2;
    }
    size_t pos = 16 + nameBytes;
    if (pos + 4 * entries.size() > container.size())
        return false;
    std::vector<uint32_t> sizes;
    for (size_t i = 0; i < entries.size(); ++i, pos += 4)
        sizes.push_back(U32(container, pos));
    for (size_t i = 0; i < entries.size(); ++i) {
        if (sizes[i] > container.size() - pos)
            return false;
        entries[i].bytes.assign(container.begin() + pos, container.begin() + pos + sizes[i]);
        pos += sizes[i];
    }
    return pos == container.size();
}

void Mutate(Bytes& bytes)
{
    const size_t size = bytes.size();
    bytes.resize(size + 64 + size / 8);
    bytes.resize(LLVMFuzzerMutate(bytes.data(), size, bytes.size()));
}

// A bitmap's checks are all in its first bytes: mutations of its pixels would find nothing.
void MutateHead(Bytes& bytes, size_t head)
{
    Bytes front(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(std::min(head, bytes.size())));
    const size_t rest = front.size();
    Mutate(front);
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(rest));
    bytes.insert(bytes.begin(), front.begin(), front.end());
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
    // Now and then the packed bits themselves, for the decoder.
    if (random() % 8 == 0)
        return LLVMFuzzerMutate(data, size, maxSize);
    Bytes container = Unpacked(data, size);
    // Containers far larger than any skin would only slow the run down.
    if (container.empty() || container.size() > (size_t{4} << 20))
        return LLVMFuzzerMutate(data, size, maxSize);

    std::vector<TSkinEntry> entries;
    try {
        if (random() % 4 != 0 && SplitContainer(container, entries) && !entries.empty()) {
            // The description a third of the time, else any entry.
            auto entry = std::find_if(entries.begin(), entries.end(), [](const TSkinEntry& e) {
                return e.name.size() >= 4 && e.name.compare(e.name.size() - 4, 4, ".ini") == 0;
            });
            if (entry == entries.end() || random() % 3 != 0)
                entry = entries.begin() + static_cast<ptrdiff_t>(random() % entries.size());
            const Bytes& bytes = entry->bytes;
            if (bytes.size() > 2 && bytes[0] == 'B' && bytes[1] == 'M' && random() % 4 != 0)
                MutateHead(entry->bytes, 128);
            else
                Mutate(entry->bytes);
            container = BuildContainer(entries);
        } else {
            Mutate(container);
        }
    } catch (const std::invalid_argument&) {
        return LLVMFuzzerMutate(data, size, maxSize);
    }
    const Bytes packed = PackLZH(container);
    if (packed.size() > maxSize)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::copy(packed.begin(), packed.end(), data);
    return packed.size();
}
