#include "LZH.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace lzh {

namespace {

// Prefix code lengths and how many upper values share each: 1 value of 3 bits, 3 of 4 bits,
// 8 of 5, 12 of 6, 24 of 7 and 16 of 8, filling the 256 byte values in order.
struct TGroup {
    int bits;
    int values;
};
constexpr TGroup kGroups[] = {{3, 1}, {4, 3}, {5, 8}, {6, 12}, {7, 24}, {8, 16}};

template <bool Upper>
constexpr std::array<uint8_t, 256> MakeDecodeTable()
{
    std::array<uint8_t, 256> table{};
    int b = 0;
    int upper = 0;
    for (const TGroup& g : kGroups)
        for (int v = 0; v < g.values; ++v, ++upper)
            for (int k = 0; k < 1 << (8 - g.bits); ++k, ++b)
                table[b] = static_cast<uint8_t>(Upper ? upper : g.bits);
    return table;
}

}  // namespace

const std::array<uint8_t, 256> kDecodeUpper = MakeDecodeTable<true>();
const std::array<uint8_t, 256> kDecodeLength = MakeDecodeTable<false>();

TOffsetCode EncodeUpper(int upper)
{
    // The first byte value of an upper value's group carries its prefix in its top bits.
    const int b = static_cast<int>(std::find(kDecodeUpper.begin(), kDecodeUpper.end(), upper) -
                                   kDecodeUpper.begin());
    const int bits = kDecodeLength[b];
    return {static_cast<uint8_t>(bits), static_cast<uint8_t>(b >> (8 - bits))};
}

void TLZHTree::Start()
{
    for (int i = 0; i < kSymbols; ++i) {
        counts[i] = 1;
        sons[i] = static_cast<int16_t>(i + kNodes);
        parents[i + kNodes] = static_cast<int16_t>(i);
    }
    for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
        counts[j] = static_cast<uint16_t>(counts[i] + counts[i + 1]);
        sons[j] = static_cast<int16_t>(i);
        parents[i] = parents[i + 1] = static_cast<int16_t>(j);
    }
    counts[kNodes] = 0xFFFF;
    parents[kRoot] = 0;
}

void TLZHTree::Rebuild()
{
    // Leaves to the front with halved counts; their order of counts is kept.
    int j = 0;
    for (int i = 0; i < kNodes; ++i)
        if (sons[i] >= kNodes) {
            counts[j] = static_cast<uint16_t>((counts[i] + 1) / 2);
            sons[j] = sons[i];
            ++j;
        }
    for (int i = 0, n = kSymbols; n < kNodes; i += 2, ++n) {
        const uint16_t count = static_cast<uint16_t>(counts[i] + counts[i + 1]);
        int k = n - 1;
        while (count < counts[k])
            --k;
        ++k;
        std::memmove(&counts[k + 1], &counts[k], (n - k) * sizeof counts[0]);
        std::memmove(&sons[k + 1], &sons[k], (n - k) * sizeof sons[0]);
        counts[k] = count;
        sons[k] = static_cast<int16_t>(i);
    }
    for (int i = 0; i < kNodes; ++i) {
        const int k = sons[i];
        parents[k] = static_cast<int16_t>(i);
        if (k < kNodes)
            parents[k + 1] = static_cast<int16_t>(i);
    }
}

void TLZHTree::Update(int symbol)
{
    if (counts[kRoot] == kCountLimit)
        Rebuild();
    int c = parents[symbol + kNodes];
    do {
        const uint16_t count = ++counts[c];
        if (count > counts[c + 1]) {
            // Swap with the last node of smaller count; the sentinel ends the search.
            int l = c + 1;
            while (count > counts[l + 1])
                ++l;
            counts[c] = counts[l];
            counts[l] = count;
            const int i = sons[c];
            parents[i] = static_cast<int16_t>(l);
            if (i < kNodes)
                parents[i + 1] = static_cast<int16_t>(l);
            const int s = sons[l];
            sons[l] = static_cast<int16_t>(i);
            parents[s] = static_cast<int16_t>(c);
            if (s < kNodes)
                parents[s + 1] = static_cast<int16_t>(c);
            sons[c] = static_cast<int16_t>(s);
            c = l;
        }
        c = parents[c];
    } while (c != 0);
}

}  // namespace lzh

using namespace lzh;

namespace {

constexpr uint16_t kBlock = 16384;

// Everything one decode needs, allocated once per decode and freed by its owner.
class TDecoder {
public:
    TDecoder(TLZH& lzh, TLZH::TTransferProc read, TLZH::TTransferProc write)
        : lzh_(lzh), read_(read), write_(write)
    {
        tree_.Start();
        // Positions past the prefill are zero until written, so a damaged stream that copies
        // from them gets the same bytes every time.
        std::fill_n(ring_.begin(), kPrefill, ' ');
    }

    void Run(int32_t textSize)
    {
        unsigned r = kPrefill;
        // 64 bits: a match crossing a size near the 32-bit limit must not overflow the count.
        int64_t count = 0;
        while (count < textSize) {
            const int c = DecodeSymbol();
            if (c < 256) {
                Put(static_cast<uint8_t>(c), r);
                ++count;
            } else {
                const unsigned start = r - DecodeOffset() - 1;
                const int length = c - 255 + kThreshold;
                for (int k = 0; k < length; ++k)
                    Put(ring_[(start + k) & kRingMask], r);
                count += length;
            }
        }
        Flush();
    }

private:
    uint8_t FetchByte()
    {
        if (inPos_ == inLen_) {
            if (inEnd_)
                return 0;
            uint16_t done = 0;
            (lzh_.*read_)(in_.data(), kBlock, done);
            inPos_ = 0;
            inLen_ = std::min(done, kBlock);
            if (inLen_ == 0) {
                inEnd_ = true;
                return 0;
            }
        }
        return in_[inPos_++];
    }

    // Bits are kept at the top of the buffer, next bit first.
    void Fill()
    {
        while (bitCount_ <= 24) {
            bits_ |= static_cast<uint32_t>(FetchByte()) << (24 - bitCount_);
            bitCount_ += 8;
        }
    }

    unsigned ReadBit()
    {
        if (bitCount_ == 0)
            Fill();
        const unsigned bit = bits_ >> 31;
        bits_ <<= 1;
        --bitCount_;
        return bit;
    }

    unsigned ReadBits(unsigned n)
    {
        if (bitCount_ < n)
            Fill();
        const unsigned value = bits_ >> (32 - n);
        bits_ <<= n;
        bitCount_ -= n;
        return value;
    }

    int DecodeSymbol()
    {
        unsigned c = tree_.sons[kRoot];
        while (c < static_cast<unsigned>(kNodes))
            c = tree_.sons[c + ReadBit()];
        const int symbol = static_cast<int>(c) - kNodes;
        tree_.Update(symbol);
        return symbol;
    }

    unsigned DecodeOffset()
    {
        unsigned b = ReadBits(8);
        const unsigned upper = kDecodeUpper[b];
        const unsigned more = kDecodeLength[b] - 2u;
        b = (b << more) | ReadBits(more);
        return (upper << 6) | (b & 0x3F);
    }

    void Put(uint8_t c, unsigned& r)
    {
        ring_[r] = c;
        r = (r + 1) & kRingMask;
        out_[outLen_++] = c;
        if (outLen_ == kBlock)
            Flush();
    }

    void Flush()
    {
        uint16_t done = 0;
        if (outLen_ > 0)
            (lzh_.*write_)(out_.data(), outLen_, done);
        outLen_ = 0;
    }

    TLZH& lzh_;
    TLZH::TTransferProc read_;
    TLZH::TTransferProc write_;
    TLZHTree tree_;
    std::array<uint8_t, kRingSize> ring_{};
    std::array<uint8_t, kBlock> in_;
    uint16_t inPos_ = 0;
    uint16_t inLen_ = 0;
    bool inEnd_ = false;
    std::array<uint8_t, kBlock> out_;
    uint16_t outLen_ = 0;
    uint32_t bits_ = 0;
    unsigned bitCount_ = 0;
};

}  // namespace

void TLZH::Unpack(int32_t textSize, TTransferProc read, TTransferProc write)
{
    std::unique_ptr<TDecoder> decoder;
    try {
        decoder = std::make_unique<TDecoder>(*this, read, write);
    } catch (const std::bad_alloc&) {
        throw ElzhException("LZH : Cannot get memory for dictionary tables");
    }
    decoder->Run(textSize);
}

void TLZH::ReadFromStream(void* buffer, uint16_t count, uint16_t& done)
{
    const int64_t left = std::max<int64_t>(0, FInput->Size() - FInput->Position());
    done = static_cast<uint16_t>(std::min<int64_t>(count, left));
    FInput->ReadBuffer(buffer, done);
}

void TLZH::WriteToStream(void* buffer, uint16_t count, uint16_t& done)
{
    FOutput->WriteBuffer(buffer, count);
    done = count;
}
