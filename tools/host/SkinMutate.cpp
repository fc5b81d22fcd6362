#include "SkinMutate.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "LZH.h"
#include "SkinRead.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t U32(const Bytes& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

void PutU32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

bool IsDescription(const TSkinEntry& e)
{
    return e.name.size() >= 4 && e.name.compare(e.name.size() - 4, 4, ".ini") == 0;
}

// A bitmap's checks are all in its first bytes: mutations of its pixels would find nothing.
void MutateHead(Bytes& bytes, size_t head, const TByteMutator& mutate)
{
    Bytes front(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(std::min(head, bytes.size())));
    const size_t rest = front.size();
    mutate(front);
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(rest));
    bytes.insert(bytes.begin(), front.begin(), front.end());
}

// A bitmap emptied, cut short, or one field of its headers set to a value out of range.
void MutateBitmap(Bytes& bmp, std::minstd_rand& random)
{
    switch (random() % 4) {
    case 0:
        bmp.clear();
        return;
    case 1:
        bmp.resize(random() % (bmp.size() + 1));
        return;
    default:
        break;
    }
    // File size, pixel offset, header size, width, height, planes and bits, compression, image
    // size, colours used: offsets into the file and info headers.
    static const size_t fields[] = {2, 10, 14, 18, 22, 26, 30, 34, 46};
    static const uint32_t values[] = {0, 1, 0xFFFFFFFF, 0x80000000, 0x7FFFFFFF, 0x10000, 3, 0xFFFF0001};
    const size_t at = fields[random() % std::size(fields)];
    if (at + 4 <= bmp.size())
        PutU32(bmp, at, values[random() % std::size(values)]);
}

}  // namespace

void MutateDescriptionValue(Bytes& text, std::minstd_rand& random)
{
    static const char* const values[] = {
        "-1", "0", "1", "-2147483648", "2147483647", "65535", "65536", "100000", "0x7FFFFFFF",
        "$FFFFFFFF", "-40000", "", "999 999 999", "1,2", "Missing.bmp", "..\\Missing.BMP", "Skin.ini"};
    std::vector<size_t> equals;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '=')
            equals.push_back(i + 1);
    if (equals.empty())
        return;
    const size_t start = equals[random() % equals.size()];
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
        ++end;
    const std::string value = values[random() % std::size(values)];
    text.erase(text.begin() + static_cast<ptrdiff_t>(start), text.begin() + static_cast<ptrdiff_t>(end));
    text.insert(text.begin() + static_cast<ptrdiff_t>(start), value.begin(), value.end());
}

Bytes UnpackSkinStream(const Bytes& stream)
{
    TMemoryStream source, target;
    source.WriteBuffer(stream.data(), stream.size());
    try {
        TSkinReader::Unpack(source, target);
    } catch (const ElzhException&) {
        return {};
    }
    return target.Bytes();
}

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

Bytes MutateSkinStream(const Bytes& stream, std::minstd_rand& random, const TByteMutator& mutate)
{
    Bytes packed = stream;
    // Now and then the packed bits themselves, for the decoder.
    if (random() % 8 == 0) {
        mutate(packed);
        return packed;
    }
    Bytes container = UnpackSkinStream(stream);
    // Containers far larger than any skin would only slow the run down.
    if (container.empty() || container.size() > (size_t{4} << 20)) {
        mutate(packed);
        return packed;
    }
    std::vector<TSkinEntry> entries;
    try {
        if (random() % 4 != 0 && SplitContainer(container, entries) && !entries.empty()) {
            // The description a third of the time, else any entry.
            auto entry = std::find_if(entries.begin(), entries.end(), IsDescription);
            if (entry == entries.end() || random() % 3 != 0)
                entry = entries.begin() + static_cast<ptrdiff_t>(random() % entries.size());
            Bytes& bytes = entry->bytes;
            const bool bitmap = bytes.size() > 2 && bytes[0] == 'B' && bytes[1] == 'M';
            if (IsDescription(*entry) && random() % 2 == 0)
                MutateDescriptionValue(bytes, random);
            else if (bitmap && random() % 8 == 0)
                entries.erase(entry);  // an image the description names but the skin lacks
            else if (bitmap && random() % 3 == 0)
                MutateBitmap(bytes, random);
            else if (bitmap && random() % 4 != 0)
                MutateHead(bytes, 128, mutate);
            else
                mutate(bytes);
            container = BuildContainer(entries);
        } else {
            mutate(container);
        }
    } catch (const std::invalid_argument&) {
        mutate(packed);
        return packed;
    }
    return PackLZH(container);
}
