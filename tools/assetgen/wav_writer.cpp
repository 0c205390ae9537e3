// wav_writer.cpp -- normalises a float signal and packs it into a minimal PCM WAVE file.
#include "wav_writer.h"

#include <algorithm>
#include <cmath>

// ---- public operations ----

Bytes encode_wav8(const std::vector<float>& signal, float peak)
{
    float top = 0.0f;
    for (float s : signal)
        top = std::max(top, std::fabs(s));
    const float gain = top > 0.0f ? peak / top : 0.0f;
    const auto n = static_cast<uint32_t>(signal.size());
    const uint32_t pad = n & 1u;
    Bytes out;
    put_text(out, "RIFF");
    put_le32(out, 4 + (8 + 16) + (8 + n + pad));
    put_text(out, "WAVE");
    put_text(out, "fmt ");
    put_le32(out, 16);
    put_le16(out, 1);
    put_le16(out, 1);
    put_le32(out, SAMPLE_RATE);
    put_le32(out, SAMPLE_RATE);
    put_le16(out, 1);
    put_le16(out, 8);
    put_text(out, "data");
    put_le32(out, n);
    for (float s : signal) {
        const long v = std::lround(128.0f + std::clamp(s * gain, -1.0f, 1.0f) * 127.0f);
        out.push_back(static_cast<uint8_t>(std::clamp(v, 1L, 255L)));
    }
    if (pad)
        out.push_back(128);
    return out;
}

bool write_wav8(const std::string& path, const std::vector<float>& signal, float peak)
{
    return write_file(path, encode_wav8(signal, peak));
}
