// bytes.cpp -- byte packing and whole-file writes shared by the BMP, WAV and MIDI writers.
#include "bytes.h"

#include <cstdio>

// ---- public operations ----

void put_le16(Bytes& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put_le32(Bytes& out, uint32_t v)
{
    put_le16(out, v & 0xFFFFu);
    put_le16(out, v >> 16);
}

void put_be16(Bytes& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void put_be32(Bytes& out, uint32_t v)
{
    put_be16(out, v >> 16);
    put_be16(out, v & 0xFFFFu);
}

void put_text(Bytes& out, const char* four_cc)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(four_cc[i]));
}

bool write_file(const std::string& path, const Bytes& data)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const size_t written = std::fwrite(data.data(), 1, data.size(), f);
    const bool closed = std::fclose(f) == 0;
    return written == data.size() && closed;
}
