#include "SkinPack.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "LZH.h"
#include "SkinRead.h"

using namespace lzh;

namespace {

// Greedy longest match over hash chains of 3-byte prefixes. The text starts with the spaces
// that the decoder's ring starts with, so early data can match them too.
class TMatcher {
public:
    explicit TMatcher(const std::vector<uint8_t>& data)
        : text_(kPrefill, ' '), head_(kHashSize, -1)
    {
        text_.insert(text_.end(), data.begin(), data.end());
        prev_.resize(text_.size(), -1);
    }

    const std::vector<uint8_t>& Text() const { return text_; }

    void Insert(size_t pos)
    {
        if (pos + 2 >= text_.size())
            return;
        const unsigned h = Hash(pos);
        prev_[pos] = head_[h];
        head_[h] = static_cast<int32_t>(pos);
    }

    // Longest match for pos of at most maxLength bytes; its distance is pos - match - 1.
    int Find(size_t pos, int maxLength, unsigned& distance) const
    {
        if (maxLength <= kThreshold || pos + 2 >= text_.size())
            return 0;
        int best = 0;
        int chain = kMaxChain;
        for (int32_t cand = head_[Hash(pos)]; cand >= 0 && chain-- > 0; cand = prev_[cand]) {
            if (pos - cand > static_cast<size_t>(kRingSize))
                break;
            int n = 0;
            while (n < maxLength && text_[cand + n] == text_[pos + n])
                ++n;
            if (n > best) {
                best = n;
                distance = static_cast<unsigned>(pos - cand - 1);
                if (n == maxLength)
                    break;
            }
        }
        return best;
    }

private:
    static constexpr int kHashBits = 13;
    static constexpr size_t kHashSize = size_t{1} << kHashBits;
    static constexpr int kMaxChain = 256;

    unsigned Hash(size_t pos) const
    {
        const uint32_t v = text_[pos] | text_[pos + 1] << 8 | text_[pos + 2] << 16;
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    std::vector<uint8_t> text_;
    std::vector<int32_t> head_;
    std::vector<int32_t> prev_;
};

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

// The path from the symbol's leaf up to the root, sent root first.
void TLZHEncoder::EncodeSymbol(int symbol)
{
    int depth = 0;
    for (int k = tree_.parents[symbol + kNodes]; k != kRoot; k = tree_.parents[k])
        path_[depth++] = static_cast<uint8_t>(k & 1);
    while (depth > 0)
        PutBits(path_[--depth], 1);
    tree_.Update(symbol);
}

void TLZHEncoder::EncodeOffset(unsigned distance)
{
    const TOffsetCode upper = EncodeUpper(static_cast<int>(distance >> 6));
    PutBits(upper.code, upper.bits);
    PutBits(distance & 0x3F, 6);
}

std::vector<uint8_t> TLZHEncoder::Finish()
{
    if (bitCount_ > 0)
        out_.push_back(static_cast<uint8_t>(bits_ << (8 - bitCount_)));
    bitCount_ = 0;
    return std::move(out_);
}

void TLZHEncoder::PutBits(unsigned value, int count)
{
    bits_ = (bits_ << count) | value;
    bitCount_ += count;
    while (bitCount_ >= 8) {
        bitCount_ -= 8;
        out_.push_back(static_cast<uint8_t>(bits_ >> bitCount_));
    }
}

std::vector<uint8_t> PackLZH(const std::vector<uint8_t>& data)
{
    // The decoder reads the size as signed.
    if (data.size() > 0x7FFFFFFF)
        throw std::invalid_argument("data too large for a skin stream");
    TMatcher matcher(data);
    TLZHEncoder encoder;
    const size_t end = matcher.Text().size();
    for (size_t i = 0; i < kPrefill; ++i)
        matcher.Insert(i);
    size_t pos = kPrefill;
    while (pos < end) {
        unsigned distance = 0;
        const int length =
            matcher.Find(pos, static_cast<int>(std::min<size_t>(kLookAhead, end - pos)), distance);
        if (length > kThreshold) {
            encoder.EncodeSymbol(255 - kThreshold + length);
            encoder.EncodeOffset(distance);
        } else {
            encoder.EncodeSymbol(matcher.Text()[pos]);
        }
        const size_t step = length > kThreshold ? length : 1;
        for (size_t k = 0; k < step; ++k)
            matcher.Insert(pos + k);
        pos += step;
    }
    std::vector<uint8_t> stream;
    PutU32(stream, static_cast<uint32_t>(data.size()));
    const std::vector<uint8_t> bits = encoder.Finish();
    stream.insert(stream.end(), bits.begin(), bits.end());
    return stream;
}

std::vector<uint8_t> BuildContainer(const std::vector<TSkinEntry>& entries)
{
    if (entries.size() > static_cast<size_t>(TSkinReader::kMaxEntries))
        throw std::invalid_argument("more entries than a skin reader indexes");
    std::string names;
    size_t total = 16;
    for (const TSkinEntry& e : entries) {
        if (e.name.find_first_of("\r\n") != std::string::npos)
            throw std::invalid_argument("entry name with a line break: " + e.name);
        names += e.name + "\r\n";
        total += e.name.size() + 2 + 4 + e.bytes.size();
    }
    if (total > 0x7FFFFFFF)
        throw std::invalid_argument("skin container too large");
    std::vector<uint8_t> out;
    out.reserve(total);
    PutU32(out, TSkinReader::kMagic);
    PutU32(out, static_cast<uint32_t>(names.size()));
    PutU32(out, 0);
    PutU32(out, 0);
    out.insert(out.end(), names.begin(), names.end());
    for (const TSkinEntry& e : entries)
        PutU32(out, static_cast<uint32_t>(e.bytes.size()));
    for (const TSkinEntry& e : entries)
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    return out;
}

std::vector<TSkinEntry> ReadSkinFolder(const std::string& folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& item : std::filesystem::directory_iterator(folder))
        if (item.is_regular_file())
            files.push_back(item.path());
    std::sort(files.begin(), files.end());
    std::vector<TSkinEntry> entries;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            throw std::runtime_error("cannot read " + file.string());
        entries.push_back({file.filename().string(),
                           {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}});
    }
    return entries;
}
