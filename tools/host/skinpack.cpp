// skinpack <folder> <output>: packs every file of a folder into a skin stream file.
#include <cstdio>
#include <exception>
#include <fstream>

#include "SkinPack.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: skinpack <folder> <output>\n");
        return 2;
    }
    try {
        const std::vector<uint8_t> stream = PackLZH(BuildContainer(ReadSkinFolder(argv[1])));
        std::ofstream out(argv[2], std::ios::binary);
        out.write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
        if (!out.flush())
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skinpack: %s\n", e.what());
        return 1;
    }
    return 0;
}
