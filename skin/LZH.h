// LZHUF decoding: LZSS over a 4 KB ring with the symbols coded by an adaptive Huffman tree.
// Portable (no platform headers) so the decoder also builds natively for fuzzing.
#pragma once

#include <array>
#include <cstdint>

#include "Streams.h"
#include "SysUtils.h"

class ElzhException : public Exception {
public:
    using Exception::Exception;
};

namespace lzh {

constexpr int kRingSize = 4096;  // N
constexpr int kRingMask = kRingSize - 1;
constexpr int kLookAhead = 60;   // F: the longest match
constexpr int kThreshold = 2;    // matches are at least kThreshold + 1 bytes long
constexpr int kSymbols = 256 + kLookAhead - kThreshold;  // literals, then match lengths 3..60
constexpr int kNodes = 2 * kSymbols - 1;
constexpr int kRoot = kNodes - 1;
constexpr unsigned kCountLimit = 0x8000;
// Bytes before the first write position that start out as spaces; the writer relies on them.
constexpr int kPrefill = kRingSize - kLookAhead;

// The adaptive Huffman tree. The packer keeps its own copy in step with the decoder's, so
// both halves share this one implementation.
struct TLZHTree {
    std::array<uint16_t, kNodes + 1> counts;     // the extra entry is a sentinel
    std::array<int16_t, kNodes + kSymbols> parents;  // nodes, then one per leaf symbol
    std::array<int16_t, kNodes> sons;            // >= kNodes marks a leaf: symbol + kNodes

    void Start();
    void Update(int symbol);

private:
    void Rebuild();
};

// The offset code: a distance's upper 6 bits are coded with 3 to 8 bits, its lower 6 bits plain.
struct TOffsetCode {
    uint8_t bits;   // length of the prefix code of the upper 6 bits
    uint8_t code;   // the prefix code, right-aligned
};
extern const std::array<uint8_t, 256> kDecodeUpper;   // code[b]: upper 6 bits for a byte b
extern const std::array<uint8_t, 256> kDecodeLength;  // len[b]: prefix bits + 2
TOffsetCode EncodeUpper(int upper);

}  // namespace lzh

class TLZH {
public:
    using TTransferProc = void (TLZH::*)(void* buffer, uint16_t count, uint16_t& done);

    TLZH(TStream* input, TStream* output) : FInput(input), FOutput(output) {}

    // Decodes until at least textSize bytes went to write; a match crossing textSize is
    // completed, and input that ends early reads as zero bits. The procedures are called a
    // block at a time, not per byte. Raises ElzhException when the tables cannot be had.
    void Unpack(int32_t textSize, TTransferProc read, TTransferProc write);

    // Delivers what the input stream still holds, up to count bytes.
    void ReadFromStream(void* buffer, uint16_t count, uint16_t& done);
    void WriteToStream(void* buffer, uint16_t count, uint16_t& done);

private:
    TStream* FInput;
    TStream* FOutput;
};
