// Writing skins: the LZHUF coder that pairs with the client's decoder, and the container.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "LZH.h"

// The symbol coder, the decoder's tree kept in step. PackLZH drives it; tests use it to write
// streams of their own choosing.
class TLZHEncoder {
public:
    TLZHEncoder() { tree_.Start(); }

    void EncodeSymbol(int symbol);
    // distance: how far before the write position the copy starts, less one (0 to 4095).
    void EncodeOffset(unsigned distance);
    // The bit stream, its last byte filled up with zero bits.
    std::vector<uint8_t> Finish();

private:
    void PutBits(unsigned value, int count);

    lzh::TLZHTree tree_;
    std::array<uint8_t, lzh::kNodes> path_;
    std::vector<uint8_t> out_;
    uint32_t bits_ = 0;
    int bitCount_ = 0;
};

// A skin stream: the 32-bit unpacked size, then the LZHUF bit stream.
std::vector<uint8_t> PackLZH(const std::vector<uint8_t>& data);

struct TSkinEntry {
    std::string name;
    std::vector<uint8_t> bytes;
};

// The container: magic 20000, the name list's length, two reserved words written as zero, the
// names each ended by CR LF, one 32-bit size per name, the entries back to back. Raises
// std::invalid_argument for what a reader could not index (a name with a line break, more
// entries than it holds, a container whose size does not fit the stream's size field).
std::vector<uint8_t> BuildContainer(const std::vector<TSkinEntry>& entries);

// Every regular file of a folder (not its subfolders), by name in byte order.
std::vector<TSkinEntry> ReadSkinFolder(const std::string& folder);
