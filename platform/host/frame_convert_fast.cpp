// frame_convert_fast.cpp -- the present path's per-pixel loop, measured by bench_present
// BM_Vorlash_Present8to32 and BM_Vorlash_PresentScaledFullHd (and bench_frame's conversion) beside
// their plain twins BM_VorlashPlain_Present8to32 and BM_VorlashPlain_PresentScaledFullHd, which run
// frame_to_xrgb_reference and frame_to_xrgb_scaled_reference of frame_convert.cpp. On a 2-core AMD
// EPYC (Zen 3, medians of 9 interleaved runs, the machine shared): 640 × 480 in 113 us against
// 851 us plain and 177 us for SDL2 (0.64); scaled to 1920 × 1080 in 1.04 ms against 12.6 ms plain
// and 2.25 ms for SDL2. An 8-bit row is looked up in one of three ways, whichever converted a few
// rows fastest when measured at the first conversion: eight indices from one 64-bit read; looked
// up one by one but gathered four to a 16-byte store (the fewest instructions a pixel without a
// gather: on that EPYC 80 us a frame against 100 us for the 64-bit reads); or one AVX2 gather of
// eight, quick on some processors but 150 us there (and 197 us in the benchmark, 1.22 × SDL2, when
// it was picked by its feature flag), so no flag alone can choose. Scaled rows go through a column
// table, a repeated row copied. The results are exactly those of the plain conversions.
#include "frame_convert.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define FRAME_CONVERT_AVX2 1
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#define FRAME_CONVERT_SSE2 1
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

#ifdef FRAME_CONVERT_SSE2
// Four pixels from the four indices in `v` (lowest byte first), as one 16-byte value.
static inline __m128i four_xrgb(const uint32_t* lut, uint32_t v)
{
    const __m128i a = _mm_cvtsi32_si128(static_cast<int>(lut[v & 0xFF]));
    const __m128i b = _mm_cvtsi32_si128(static_cast<int>(lut[(v >> 8) & 0xFF]));
    const __m128i c = _mm_cvtsi32_si128(static_cast<int>(lut[(v >> 16) & 0xFF]));
    const __m128i d = _mm_cvtsi32_si128(static_cast<int>(lut[v >> 24]));
    return _mm_unpacklo_epi64(_mm_unpacklo_epi32(a, b), _mm_unpacklo_epi32(c, d));
}

static void row_8_sse2(const uint8_t* in, int width, const uint32_t* lut, uint32_t* out)
{
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        uint32_t v[4];
        std::memcpy(v, in + x, 16);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), four_xrgb(lut, v[0]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4), four_xrgb(lut, v[1]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 8), four_xrgb(lut, v[2]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 12), four_xrgb(lut, v[3]));
    }
    for (; x + 4 <= width; x += 4) {
        uint32_t v;
        std::memcpy(&v, in + x, 4);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), four_xrgb(lut, v));
    }
    for (; x < width; ++x)
        out[x] = lut[in[x]];
}
#endif

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

// The converter of each FrameLookup (null: not on this processor or build), in the enum's order.
static RowConverter lookup_converter(FrameLookup way)
{
    switch (way) {
    case FrameLookup::word_reads:
        return row_8;
#ifdef FRAME_CONVERT_SSE2
    case FrameLookup::four_to_a_store:
        return row_8_sse2;
#endif
#ifdef FRAME_CONVERT_AVX2
    case FrameLookup::gather:
        return __builtin_cpu_supports("avx2") ? row_8_avx2 : nullptr;
#endif
    default:
        return nullptr;
    }
}

// Times `convert` over the trial rows: the shortest of a few runs, as another process taking the
// processor can only lengthen a run.
static double trial_seconds(RowConverter convert, const uint8_t* in, const uint32_t* lut, uint32_t* out, int width,
                            int rows)
{
    const auto start = std::chrono::steady_clock::now();
    for (int y = 0; y < rows; ++y)
        convert(in + static_cast<size_t>(y) * width, width, lut, out + static_cast<size_t>(y) * width);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Converts a few rows of scattered indices by every way this processor has, in turns, and keeps
// the one whose best run was shortest. Bounded: a few hundred microseconds at most, once.
static FrameLookup measure_fastest()
{
    constexpr int WIDTH = 640, ROWS = 8, ROUNDS = 5, WAYS = static_cast<int>(FrameLookup::count);
    std::vector<uint8_t> in(WIDTH * ROWS);  // the caller's own: two threads may measure at once
    std::vector<uint32_t> out(WIDTH * ROWS);
    uint32_t lut[256];
    uint32_t seed = 1;
    for (uint8_t& p : in) {
        seed = seed * 1103515245 + 12345;
        p = static_cast<uint8_t>(seed >> 23);
    }
    for (int i = 0; i < 256; ++i)
        lut[i] = static_cast<uint32_t>(i) * 0x010101u;
    double best[WAYS];
    std::fill(best, best + WAYS, 1e9);
    for (int round = 0; round < ROUNDS; ++round)
        for (int w = 1; w < WAYS; ++w)
            if (const RowConverter convert = lookup_converter(static_cast<FrameLookup>(w)))
                best[w] = std::min(best[w], trial_seconds(convert, in.data(), lut, out.data(), WIDTH, ROWS));
    int fastest = static_cast<int>(FrameLookup::word_reads);
    for (int w = 1; w < WAYS; ++w)
        if (best[w] < best[fastest])
            fastest = w;
    return static_cast<FrameLookup>(fastest);
}

// The way in force: automatic until the first conversion measures one, or a test forces one.
static std::atomic<FrameLookup> lookup_way{FrameLookup::automatic};

static RowConverter row_converter()
{
    FrameLookup way = lookup_way.load(std::memory_order_relaxed);
    if (way == FrameLookup::automatic) {
        way = measure_fastest();
        lookup_way.store(way, std::memory_order_relaxed);
    }
    return lookup_converter(way);
}

// Pixels x0 .. x0 + count of frame row y into dst[0 .. count], 8-bit ones by `convert_8`.
static void convert_span(const HostFrame& frame, RowConverter convert_8, int y, int x0, int count, const uint32_t* lut,
                         uint32_t* dst)
{
    const uint8_t* in = frame.pixels + static_cast<size_t>(y) * frame.pitch;
    if (frame.bpp == 8) {
        convert_8(in + x0, count, lut, dst);
        return;
    }
    const auto* px = reinterpret_cast<const uint16_t*>(in) + x0;
    for (int x = 0; x < count; ++x)
        dst[x] = frame.rgb_bits == 15 ? xrgb_from_555(px[x]) : xrgb_from_565(px[x]);
}

static uint32_t* out_row(uint32_t* out, int out_pitch, int y)
{
    return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(out) + static_cast<size_t>(y) * out_pitch);
}

// Scales source pixels from sx into output pixels [x, end): while a pixel repeats at most four
// times and four more fit, it is written four times from where its repeats begin, the next one
// overwriting what is past its own; the rest go one by one, so nothing is written past `end`.
static void spread_span(const uint32_t* in, const uint8_t* repeats, const int* column_of, int sx, int x, int end,
                        uint32_t* out)
{
    for (; x + 4 <= end && repeats[sx] <= 4; ++sx) {
        const uint32_t c = in[sx];
        out[x] = c;
        out[x + 1] = c;
        out[x + 2] = c;
        out[x + 3] = c;
        x += repeats[sx];
    }
    for (; x < end; ++x)
        out[x] = in[column_of[x]];
}

// Whether the `n` bytes at `a` and at `b` differ, `n` a multiple of 16: their differences folded
// together 16 bytes at a time, with one test at the end instead of one a word.
static inline bool differ_16s(const uint8_t* a, const uint8_t* b, size_t n)
{
#ifdef FRAME_CONVERT_SSE2
    __m128i folded = _mm_setzero_si128();
    for (size_t i = 0; i < n; i += 16)
        folded = _mm_or_si128(folded, _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i)),
                                                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i))));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(folded, _mm_setzero_si128())) != 0xFFFF;
#else
    uint64_t folded = 0;
    for (size_t i = 0; i < n; i += 8) {
        uint64_t u, v;
        std::memcpy(&u, a + i, 8);
        std::memcpy(&v, b + i, 8);
        folded |= u ^ v;
    }
    return folded != 0;
#endif
}

// ---- public operations ----

// One pass over both rows, where comparing with memcmp and then copying took a call a block and a
// second pass over the row.
bool frame_row_keep(uint8_t* kept, const uint8_t* row, size_t bytes, size_t block_bytes, uint8_t* changed)
{
    if (block_bytes == 0 || block_bytes % 16 != 0)
        return frame_row_keep_reference(kept, row, bytes, block_bytes, changed);
    bool any = false;
    size_t at = 0, b = 0;
    for (; at + block_bytes <= bytes; at += block_bytes, ++b) {
        const bool differs = differ_16s(kept + at, row + at, block_bytes);
        changed[b] = differs;
        if (differs) {
            for (size_t i = 0; i < block_bytes; i += 16)  // 16 bytes a move, with no call
                std::memcpy(kept + at + i, row + at + i, 16);
            any = true;
        }
    }
    if (at < bytes && frame_row_keep_reference(kept + at, row + at, bytes - at, block_bytes, changed + b))
        any = true;
    return any;
}

bool frame_lookup_choose(FrameLookup way)
{
    if (way != FrameLookup::automatic && (way >= FrameLookup::count || !lookup_converter(way)))
        return false;
    lookup_way.store(way, std::memory_order_relaxed);
    return true;
}

FrameLookup frame_lookup_chosen()
{
    row_converter();
    return lookup_way.load(std::memory_order_relaxed);
}

void frame_to_xrgb(const HostFrame& frame, const uint32_t lut[256], uint32_t* out, int out_pitch)
{
    const RowConverter convert_8 = frame.bpp == 8 ? row_converter() : nullptr;
    for (int y = 0; y < frame.height; ++y)
        convert_span(frame, convert_8, y, 0, frame.width, lut, out_row(out, out_pitch, y));
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
    const RowConverter convert_8 = frame.bpp == 8 ? row_converter() : nullptr;
    // Kept between calls: a present every frame then allocates nothing.
    static thread_local std::vector<int> columns, starts;
    static thread_local std::vector<uint8_t> repeats;
    static thread_local std::vector<uint32_t> source;
    columns.resize(static_cast<size_t>(fit.width));
    starts.assign(static_cast<size_t>(frame.width) + 1, fit.width);  // each source pixel's first output pixel
    repeats.assign(static_cast<size_t>(frame.width), 0);
    for (int x = fit.width - 1; x >= 0; --x) {
        const int sx = frame_nearest(x, frame.width, fit.width);
        columns[static_cast<size_t>(x)] = sx;
        starts[static_cast<size_t>(sx)] = x;
        repeats[static_cast<size_t>(sx)] = static_cast<uint8_t>(std::min(repeats[static_cast<size_t>(sx)] + 1, 255));
    }
    for (int sx = frame.width - 1; sx >= 0; --sx)  // a pixel scaled away starts where the next one does
        starts[static_cast<size_t>(sx)] = std::min(starts[static_cast<size_t>(sx)], starts[static_cast<size_t>(sx) + 1]);
    source.resize(static_cast<size_t>(frame.width));
    const int blocks = frame_blocks(frame.width);
    int converted = -1;  // the source row whose scaled copy the previous output row holds
    for (int y = fit.y; y < fit.y + fit.height; ++y) {
        const int sy = frame_nearest(y - fit.y, frame.height, fit.height);
        const uint8_t* row_changed = changed ? changed + static_cast<size_t>(sy) * blocks : nullptr;
        uint32_t* dst = out_row(out, out_pitch, y) + fit.x;
        const bool repeat = sy == converted;  // most rows repeat the one above when scaling up
        converted = sy;
        for (int b = 0; b < blocks;) {
            if (row_changed && !row_changed[b]) {
                ++b;
                continue;
            }
            const int first = b;
            while (b < blocks && (!row_changed || row_changed[b]))
                ++b;
            const int sx0 = first * FRAME_BLOCK, sx1 = std::min(b * FRAME_BLOCK, frame.width);
            const int x0 = starts[static_cast<size_t>(sx0)], x1 = starts[static_cast<size_t>(sx1)];
            if (repeat)
                std::memcpy(dst + x0, out_row(out, out_pitch, y - 1) + fit.x + x0, static_cast<size_t>(x1 - x0) * 4);
            else if (fit.width == frame.width)
                convert_span(frame, convert_8, sy, sx0, sx1 - sx0, lut, dst + sx0);
            else if (x0 < x1) {
                convert_span(frame, convert_8, sy, sx0, sx1 - sx0, lut, source.data() + sx0);
                spread_span(source.data(), repeats.data(), columns.data(), sx0, x0, x1, dst);
            }
        }
    }
}
