#include "SkinRead.h"

#include <algorithm>

#include "LZH.h"

namespace {

// A packed byte yields at most 48 bytes: the shortest code of a 60-byte match is 10 bits.
constexpr int64_t kMaxExpansion = 48;

uint32_t ReadU32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// ASCII letters only; the second byte of a GBK character may look like a capital letter and
// is left alone.
std::string LowerName(std::string s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x81 && c <= 0xFE)
            ++i;
        else if (c >= 'A' && c <= 'Z')
            s[i] = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

}  // namespace

void TSkinReader::Unpack(TMemoryStream& source, TMemoryStream& target)
{
    source.SetPosition(0);
    target.Clear();
    // A stream too short to state a size decodes nothing.
    uint8_t sizeBytes[4] = {};
    const int32_t textSize = source.Read(sizeBytes, sizeof sizeBytes) == sizeof sizeBytes
                                 ? static_cast<int32_t>(ReadU32(sizeBytes))
                                 : 0;
    const int64_t packed = source.Size() - source.Position();
    if (textSize > (packed + 2) * kMaxExpansion + lzh::kLookAhead)
        throw ElzhException("LZH : Stated size exceeds what the packed data can hold");
    if (textSize > 0) {
        target.SetSize(static_cast<size_t>(textSize));
        target.SetPosition(0);
    }
    TLZH lzh(&source, &target);
    lzh.Unpack(textSize, &TLZH::ReadFromStream, &TLZH::WriteToStream);
}

bool TSkinReader::LoadFromStream(TMemoryStream& stream)
{
    TMemoryStream unpacked;
    Unpack(stream, unpacked);
    const uint8_t* bytes = unpacked.Memory();
    const size_t size = unpacked.Length();

    // A container cut inside its header is no container of this version either.
    FHeader.fill(0);
    if (size >= 16)
        for (size_t i = 0; i < FHeader.size(); ++i)
            FHeader[i] = ReadU32(bytes + 4 * i);
    if (FHeader[0] != kMagic) {
        SkinMessage("This is Older Skin File\rPlease update to new version !");
        return false;
    }

    // Every part past the end of a damaged container reads as missing, never from outside it.
    size_t pos = 16;
    const size_t nameBytes = std::min<size_t>(FHeader[1], size - pos);
    // Only the first kMaxEntries names are indexed, and only they are kept while the list is
    // split (a list of line ends only is as many names as bytes); the sizes of all are skipped
    // so that the entry bytes are found where the writer put them.
    const size_t names =
        FNames.SetText(LowerName(std::string(reinterpret_cast<const char*>(bytes + pos), nameBytes)), kMaxEntries);
    pos += nameBytes;
    FCount = FNames.Count();
    FSizes.fill(0);
    for (int i = 0; i < FCount; ++i)
        if (pos + 4 * (i + 1) <= size)
            FSizes[i] = ReadU32(bytes + pos + 4 * i);
    pos = std::min(size, pos + 4 * names);

    FData.Clear();
    FData.WriteBuffer(bytes + pos, size - pos);
    FData.SetPosition(0);
    return true;
}

template <typename Match>
int TSkinReader::Extract(Match match, TMemoryStream& target)
{
    target.Clear();
    uint64_t offset = 0;
    for (int i = 0; i < FCount; ++i) {
        if (match(FNames.Strings(i))) {
            // An entry whose stated bytes run past the container's end is damaged; it is
            // treated as absent rather than cut short.
            if (offset + FSizes[i] > FData.Length())
                return -1;
            target.WriteBuffer(FData.Memory() + offset, FSizes[i]);
            target.SetPosition(0);
            return i;
        }
        offset += FSizes[i];
    }
    return -1;
}

void TSkinReader::ExtractByName(const std::string& name, TMemoryStream& target)
{
    const std::string lower = LowerName(name);
    Extract([&](const std::string& entry) { return entry == lower; }, target);
}

void TSkinReader::ExtractByPart(const std::string& part, TMemoryStream& target, std::string& name)
{
    const int i = Extract(
        [&](const std::string& entry) { return entry.find(part) != std::string::npos; }, target);
    if (i >= 0)
        name = FNames.Strings(i);
}
