// bitmap_fuzz.cpp -- libFuzzer target for the .BMP loader: every input goes through
// bitmap_load_memory and, from a scratch file, through bitmap_load; both must agree, and a loaded
// picture is read whole, so a buffer shorter than its headers claim shows up under the sanitizers.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display.h"

static const std::string& scratch_path()
{
    static const std::string path = "/tmp/vorlash-fuzz-bitmap-" + std::to_string(getpid()) + ".bmp";
    return path;
}

static unsigned checksum(const BitmapFile& b)
{
    const BITMAPINFOHEADER& h = b.info_header;
    const size_t bytes = static_cast<size_t>(h.biWidth) * static_cast<size_t>(h.biHeight) * (h.biBitCount / 8);
    unsigned sum = 0;
    for (size_t i = 0; i < bytes; ++i)
        sum = sum * 31 + b.pixels[i];
    return sum;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    BitmapFile from_memory{};
    const int memory_result = bitmap_load_memory(&from_memory, data, size);

    FILE* f = std::fopen(scratch_path().c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    BitmapFile from_file{};
    const int file_result = bitmap_load(&from_file, scratch_path().c_str());

    if (memory_result != file_result)
        std::abort();
    if (memory_result) {
        const BITMAPINFOHEADER& h = from_memory.info_header;
        if (h.biWidth <= 0 || h.biHeight <= 0 || h.biWidth > BITMAP_MAX_SIDE || h.biHeight > BITMAP_MAX_SIDE ||
            (h.biBitCount != 8 && h.biBitCount != 16) || !from_memory.pixels)
            std::abort();
        if (std::memcmp(&h, &from_file.info_header, sizeof h) != 0 || checksum(from_memory) != checksum(from_file))
            std::abort();
    }
    bitmap_unload(&from_memory);
    bitmap_unload(&from_file);
    return 0;
}
