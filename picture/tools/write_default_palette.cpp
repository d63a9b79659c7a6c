// Writes the default palette as a palette file (1024 bytes) at the path given.
#include <cstdio>
#include <fstream>

#include "picture/core/default_palette.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_default_palette FILE\n");
        return 2;
    }
    const auto& bytes = DefaultPaletteBytes();
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
