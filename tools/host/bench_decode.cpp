// Decode throughput of a skin-sized container: the client's decoder against a plain decoder that
// moves one byte per transfer call through a 16-bit bit buffer and allocates its tables per
// decode, as the format is usually written down. One run; prints MB/s and the ratio.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "LZH.h"
#include "SkinPack.h"
#include "SkinRead.h"

void SkinMessage(const std::string&) {}

namespace {

using namespace lzh;

class TReference {
public:
    using TProc = void (TReference::*)(void* buffer, uint16_t count, uint16_t& done);

    TReference(TStream& input, TStream& output) : input_(input), output_(output) {}

    void ReadFromStream(void* buffer, uint16_t count, uint16_t& done)
    {
        const int64_t left = input_.Size() - input_.Position();
        done = static_cast<uint16_t>(std::min<int64_t>(count, left));
        input_.ReadBuffer(buffer, done);
    }

    void WriteToStream(void* buffer, uint16_t count, uint16_t& done)
    {
        output_.WriteBuffer(buffer, count);
        done = count;
    }

    void Unpack(int32_t textSize, TProc read, TProc write)
    {
        read_ = read;
        struct TTables {
            uint8_t ring[kRingSize + kLookAhead - 1];
            TLZHTree tree;
            uint16_t unused[4097 + 4097 + 4353];  // the encoder's match trees
        };
        auto tables = std::make_unique<TTables>();
        tables->tree.Start();
        std::memset(tables->ring, ' ', kPrefill);
        unsigned r = kPrefill;
        for (int32_t count = 0; count < textSize;) {
            unsigned c = tables->tree.sons[kRoot];
            while (c < static_cast<unsigned>(kNodes))
                c = tables->tree.sons[c + GetBit()];
            c -= kNodes;
            tables->tree.Update(static_cast<int>(c));
            auto put = [&](uint8_t b) {
                uint16_t done;
                (this->*write)(&b, 1, done);
                tables->ring[r] = b;
                r = (r + 1) & kRingMask;
                ++count;
            };
            if (c < 256) {
                put(static_cast<uint8_t>(c));
            } else {
                unsigned b = GetByte();
                const unsigned upper = kDecodeUpper[b];
                for (int n = kDecodeLength[b] - 2; n > 0; --n)
                    b = ((b << 1) + GetBit()) & 0xFFFF;
                const unsigned start = r - ((upper << 6) | (b & 0x3F)) - 1;
                for (unsigned k = 0; k < c - 253; ++k)
                    put(tables->ring[(start + k) & kRingMask]);
            }
        }
    }

private:
    void Top()
    {
        while (bitCount_ <= 8) {
            uint8_t b = 0;
            uint16_t done = 0;
            (this->*read_)(&b, 1, done);
            bitBuf_ |= static_cast<uint16_t>((done == 1 ? b : 0) << (8 - bitCount_));
            bitCount_ += 8;
        }
    }
    unsigned GetBit()
    {
        Top();
        const unsigned bit = bitBuf_ >> 15;
        bitBuf_ = static_cast<uint16_t>(bitBuf_ << 1);
        --bitCount_;
        return bit;
    }
    unsigned GetByte()
    {
        Top();
        const unsigned byte = bitBuf_ >> 8;
        bitBuf_ = static_cast<uint16_t>(bitBuf_ << 8);
        bitCount_ -= 8;
        return byte;
    }

    TStream& input_;
    TStream& output_;
    TProc read_ = nullptr;
    uint16_t bitBuf_ = 0;
    uint8_t bitCount_ = 0;
};

// 34 images of flat, framed colour areas and a description, about the stored skin's size.
std::vector<TSkinEntry> SkinLikeEntries()
{
    std::vector<TSkinEntry> entries;
    uint32_t seed = 1;
    for (int i = 0; i < 34; ++i) {
        const int width = 40 + (i * 37) % 200, height = 20 + (i * 13) % 38;
        const int row = (width * 3 + 3) / 4 * 4;
        std::vector<uint8_t> bmp(54 + static_cast<size_t>(row) * height);
        bmp[0] = 'B';
        bmp[1] = 'M';
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                seed = seed * 1103515245 + 12345;
                const bool edge = x % (width / 4 + 1) < 2 || y < 2 || y >= height - 2;
                const uint8_t noise = (seed >> 16) % 30 == 0;  // a little dithering
                uint8_t* p = &bmp[54 + static_cast<size_t>(y) * row + x * 3];
                p[0] = edge ? 255 : static_cast<uint8_t>(90 + y / 4 * 3 + noise);
                p[1] = edge ? 0 : static_cast<uint8_t>(120 + x / 16);
                p[2] = edge ? 255 : static_cast<uint8_t>(160 + i);
            }
        entries.push_back({"image" + std::to_string(i) + ".bmp", std::move(bmp)});
    }
    std::string ini;
    for (int i = 0; i < 300; ++i)
        ini += "[Section" + std::to_string(i % 40) + "]\r\nBitmap=image" + std::to_string(i % 34) +
               ".bmp\r\nLeftWidth=" + std::to_string(i % 7) + "\r\n";
    entries.push_back({"skin.ini", std::vector<uint8_t>(ini.begin(), ini.end())});
    return entries;
}

template <typename F>
double BestSeconds(int runs, F f)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main()
{
    const std::vector<uint8_t> container = BuildContainer(SkinLikeEntries());
    const std::vector<uint8_t> packed = PackLZH(container);
    TMemoryStream source;
    source.WriteBuffer(packed.data(), packed.size());

    TMemoryStream fast;
    const double fastSeconds = BestSeconds(20, [&] { TSkinReader::Unpack(source, fast); });

    TMemoryStream plain;
    const double plainSeconds = BestSeconds(5, [&] {
        plain.Clear();
        source.SetPosition(4);
        TReference reference(source, plain);
        reference.Unpack(static_cast<int32_t>(container.size()), &TReference::ReadFromStream,
                         &TReference::WriteToStream);
    });
    if (fast.Bytes() != container || plain.Bytes() != container) {
        std::fprintf(stderr, "bench_decode: a decoder gave different bytes\n");
        return 1;
    }
    const double mb = container.size() / 1e6;
    std::printf("container %zu bytes, packed %zu bytes\n", container.size(), packed.size());
    std::printf("decoder   %8.2f ms  %7.1f MB/s\n", fastSeconds * 1e3, mb / fastSeconds);
    std::printf("per-byte  %8.2f ms  %7.1f MB/s\n", plainSeconds * 1e3, mb / plainSeconds);
    std::printf("ratio     %8.1fx\n", plainSeconds / fastSeconds);
    return 0;
}
