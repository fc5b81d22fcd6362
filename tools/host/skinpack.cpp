// skinpack [--stored] <folder> <output>: packs every file of a folder into a skin stream file;
// --stored puts the stream's 32-bit length in front, as a layout stores it.
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "SkinPack.h"

int main(int argc, char** argv)
{
    const bool stored = argc == 4 && std::string(argv[1]) == "--stored";
    if (argc != 3 && !stored) {
        std::fprintf(stderr, "usage: skinpack [--stored] <folder> <output>\n");
        return 2;
    }
    const char* const folder = argv[argc - 2];
    const char* const output = argv[argc - 1];
    try {
        std::vector<uint8_t> stream = PackLZH(BuildContainer(ReadSkinFolder(folder)));
        if (stored) {
            const auto length = static_cast<uint32_t>(stream.size());
            for (int i = 3; i >= 0; --i)
                stream.insert(stream.begin(), static_cast<uint8_t>(length >> (8 * i)));
        }
        std::ofstream out(output, std::ios::binary);
        out.write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
        if (!out.flush())
            throw std::runtime_error(std::string("cannot write ") + output);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinpack: %s\n", e.what());
        return 1;
    }
    return 0;
}
