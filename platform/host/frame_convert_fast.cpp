// frame_convert_fast.cpp -- the present path's per-pixel loop, measured by bench_present
// BM_Vorlash_Present8to32 and BM_Vorlash_PresentScaledFullHd (and bench_frame's conversion): eight
// palette lookups at a time, by one AVX2 gather where the processor has it, else from one 64-bit
// read; scaled rows through a column table, a repeated row copied. The results are exactly those of
// the plain conversions in frame_convert.cpp.
#include "frame_convert.h"

#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define FRAME_CONVERT_AVX2 1
#endif

// ---- helpers ----

static void row_8(const uint8_t* in, int width, const uint32_t* lut, uint32_t* out)
{
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        uint64_t v;
        std::memcpy(&v, in + x, 8);  // one load for eight indices (little-endian byte order)
        out[x + 0] = lut[v & 0xFF];
        out[x + 1] = lut[(v >> 8) & 0xFF];
        out[x + 2] = lut[(v >> 16) & 0xFF];
        out[x + 3] = lut[(v >> 24) & 0xFF];
        out[x + 4] = lut[(v >> 32) & 0xFF];
        out[x + 5] = lut[(v >> 40) & 0xFF];
        out[x + 6] = lut[(v >> 48) & 0xFF];
        out[x + 7] = lut[v >> 56];
    }
    for (; x < width; ++x)
        out[x] = lut[in[x]];
}

#ifdef FRAME_CONVERT_AVX2
__attribute__((target("avx2"))) static void row_8_avx2(const uint8_t* in, int width, const uint32_t* lut, uint32_t* out)
{
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + x));
        const __m256i indices = _mm256_cvtepu8_epi32(bytes);
        const __m256i colours = _mm256_i32gather_epi32(reinterpret_cast<const int*>(lut), indices, 4);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), colours);
    }
    for (; x < width; ++x)
        out[x] = lut[in[x]];
}
#endif

using RowConverter = void (*)(const uint8_t*, int, const uint32_t*, uint32_t*);

static RowConverter pick_row_8()
{
#ifdef FRAME_CONVERT_AVX2
    if (__builtin_cpu_supports("avx2"))
        return row_8_avx2;
#endif
    return row_8;
}

static void convert_row(const HostFrame& frame, int y, const uint32_t* lut, uint32_t* dst)
{
    static const RowConverter convert_row_8 = pick_row_8();
    const uint8_t* in = frame.pixels + static_cast<size_t>(y) * frame.pitch;
    if (frame.bpp == 8) {
        convert_row_8(in, frame.width, lut, dst);
        return;
    }
    const auto* px = reinterpret_cast<const uint16_t*>(in);
    for (int x = 0; x < frame.width; ++x)
        dst[x] = frame.rgb_bits == 15 ? xrgb_from_555(px[x]) : xrgb_from_565(px[x]);
}

static uint32_t* out_row(uint32_t* out, int out_pitch, int y)
{
    return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(out) + static_cast<size_t>(y) * out_pitch);
}

// ---- public operations ----

void frame_to_xrgb(const HostFrame& frame, const uint32_t lut[256], uint32_t* out, int out_pitch)
{
    for (int y = 0; y < frame.height; ++y)
        convert_row(frame, y, lut, out_row(out, out_pitch, y));
}

void frame_to_xrgb_scaled(const HostFrame& frame, const uint32_t lut[256], uint32_t* out, int out_pitch,
                          int out_width, int out_height)
{
    const FrameFit fit = frame_fit(frame.width, frame.height, out_width, out_height);
    for (int y = 0; y < out_height; ++y) {
        uint32_t* dst = out_row(out, out_pitch, y);
        if (y < fit.y || y >= fit.y + fit.height) {
            std::memset(dst, 0, static_cast<size_t>(out_width) * 4);
            continue;
        }
        std::memset(dst, 0, static_cast<size_t>(fit.x) * 4);
        std::memset(dst + fit.x + fit.width, 0, static_cast<size_t>(out_width - fit.x - fit.width) * 4);
    }
    frame_to_xrgb_scaled_rows(frame, lut, out, out_pitch, out_width, out_height, nullptr);
}

void frame_to_xrgb_scaled_rows(const HostFrame& frame, const uint32_t lut[256], uint32_t* out, int out_pitch,
                               int out_width, int out_height, const uint8_t* changed)
{
    const FrameFit fit = frame_fit(frame.width, frame.height, out_width, out_height);
    // Kept between calls: a present every frame then allocates nothing.
    static thread_local std::vector<int> columns;
    static thread_local std::vector<uint32_t> source;
    columns.resize(static_cast<size_t>(fit.width));
    for (int x = 0; x < fit.width; ++x)
        columns[static_cast<size_t>(x)] = frame_nearest(x, frame.width, fit.width);
    source.resize(static_cast<size_t>(frame.width));
    const int* const column_of = columns.data();
    uint32_t* const row_pixels = source.data();
    int converted = -1;  // the source row whose scaled copy the previous output row holds
    for (int y = fit.y; y < fit.y + fit.height; ++y) {
        const int sy = frame_nearest(y - fit.y, frame.height, fit.height);
        if (changed && !changed[sy])
            continue;
        uint32_t* dst = out_row(out, out_pitch, y);
        if (sy == converted) {  // most rows repeat the one above when scaling up
            std::memcpy(dst + fit.x, out_row(out, out_pitch, y - 1) + fit.x, static_cast<size_t>(fit.width) * 4);
            continue;
        }
        converted = sy;
        if (fit.width == frame.width) {
            convert_row(frame, sy, lut, dst + fit.x);
            continue;
        }
        convert_row(frame, sy, lut, row_pixels);
        for (int x = 0; x < fit.width; ++x)
            dst[fit.x + x] = row_pixels[column_of[x]];
    }
}
