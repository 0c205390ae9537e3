// palette_file_fuzz.cpp -- libFuzzer target for the text palette file: any bytes as a file through
// palette_file_load; whatever it reads must come back unchanged through palette_file_save.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display.h"

static std::string scratch_path(const char* name)
{
    return "/tmp/vorlash-fuzz-palette-" + std::to_string(getpid()) + "-" + name;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string input = scratch_path("input.pal");
    static const std::string again = scratch_path("again.pal");
    FILE* f = std::fopen(input.c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    PALETTEENTRY palette[256];
    std::memset(palette, 0x5A, sizeof palette);
    if (palette_file_load(input.c_str(), palette) != 1)
        std::abort();  // an existing file always loads, whatever it holds
    if (palette_file_save(again.c_str(), palette) != 1)
        std::abort();
    PALETTEENTRY reread[256];
    std::memset(reread, 0, sizeof reread);
    if (palette_file_load(again.c_str(), reread) != 1 || std::memcmp(palette, reread, sizeof palette) != 0)
        std::abort();
    return 0;
}
