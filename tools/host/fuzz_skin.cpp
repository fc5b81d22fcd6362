// libFuzzer target: any bytes as a skin stream, and any bytes through a pack/unpack round trip.
#include <cstdlib>
#include <cstring>

#include "LZH.h"
#include "SkinPack.h"
#include "SkinRead.h"

void SkinMessage(const std::string&) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream stream;
    stream.WriteBuffer(data, size);
    try {
        TSkinReader reader;
        if (reader.LoadFromStream(stream)) {
            TMemoryStream target;
            std::string name;
            reader.ExtractByPart(".ini", target, name);
            reader.ExtractByName("buttons.bmp", target);
        }
    } catch (const ElzhException&) {
        // A stated size beyond what the input can hold is refused; that is the clean failure.
    }

    const std::vector<uint8_t> plain(data, data + size);
    TMemoryStream packed;
    const std::vector<uint8_t> bytes = PackLZH(plain);
    packed.WriteBuffer(bytes.data(), bytes.size());
    TMemoryStream unpacked;
    TSkinReader::Unpack(packed, unpacked);
    if (unpacked.Length() != size || (size > 0 && std::memcmp(unpacked.Memory(), data, size) != 0))
        std::abort();
    return 0;
}
