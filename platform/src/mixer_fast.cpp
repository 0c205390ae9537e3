// mixer_fast.cpp -- the mixer's vector passes, measured by bench_audio BM_Vorlash_MixSixteenEffects
// and BM_Vorlash_PolyphaseSecond (bench/audio_bench.cpp): the polyphase filter with AVX2 and FMA
// where the processor has them, by phases where a voice's step is a half or a quarter of a frame,
// the gains and the saturation four lanes at a time. Each gives the result of its plain twin
// (resampler.cpp, mixer.cpp) up to the order in which floats are added.
#include <cstring>

#include "audio_internal.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define MIXER_AVX2 1
#endif

// ---- records ----
// Four lanes the compiler keeps in one vector register, whatever the machine.
typedef float Float4 __attribute__((vector_size(16)));
typedef int32_t Int4 __attribute__((vector_size(16)));
typedef int16_t Short4 __attribute__((vector_size(8)));

static inline Float4 load4(const float* p)
{
    Float4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

static inline void store4(float* p, Float4 v) { std::memcpy(p, &v, sizeof v); }

// ---- the polyphase filter ----

static_assert(RESAMPLE_TAPS % 8 == 0, "the pass takes the taps eight at a time");

#ifdef MIXER_AVX2
// One output's products, RESAMPLE_TAPS of them, summed into eight lanes.
__attribute__((target("avx2,fma"))) static inline __m256 products(const float* taps, const float* source,
                                                                            uint64_t position)
{
    const float* frames = source + (position >> 32) - (RESAMPLE_TAPS / 2 - 1);
    const float* row = taps + resample_phase(position) * RESAMPLE_TAPS;  // rows are 32-byte aligned
    __m256 sum = _mm256_mul_ps(_mm256_loadu_ps(frames), _mm256_load_ps(row));
    for (int k = 8; k < RESAMPLE_TAPS; k += 8)
        sum = _mm256_fmadd_ps(_mm256_loadu_ps(frames + k), _mm256_load_ps(row + k), sum);
    return sum;
}

// Sixteen outputs of each phase at a time where the step is a whole fraction of a frame, 1 / Q (a voice of
// 22050 or 11025 Hz, Q 2 or 4): output m * Q + r then always falls on phase r, m frames on, so the
// sixteen outputs of one phase read their frames from one run, and each tap is two multiply-adds for
// all sixteen, with nothing to add across lanes. Gives how many outputs it made, a multiple of 16 * Q.
// Each tap is spread over a whole vector once per call, so that the loop reads it from a fixed place
// on the stack (broadcast from a table of floats, every tap took a load of its address first). On a
// 2-core AMD EPYC, 1024 outputs took 780-860 ns at 22050 Hz and 750-900 ns at 11025 Hz this way,
// against 1,500-1,690 and 1,030-1,280 ns eight at a time with broadcasts, in one interleaved run.
template <int Q>
__attribute__((target("avx2,fma"))) static int polyphase_periodic(const float* taps, const float* source,
                                                                 uint64_t position, float* out, int count)
{
    // The phases' first frames are the first phase's or the one after it; each phase's taps are
    // laid over RESAMPLE_TAPS + 1 frames from the first phase's, a zero where it starts a frame
    // later, so that every phase takes its frames from the same loads.
    constexpr int SPAN = RESAMPLE_TAPS + 1;
    __m256 wide[SPAN][Q];
    const uint64_t first = position >> 32;
    for (int r = 0; r < Q; ++r) {
        const uint64_t at = position + r * (RESAMPLE_UNIT / Q);
        const float* row = taps + resample_phase(at) * RESAMPLE_TAPS;
        const int later = static_cast<int>((at >> 32) - first);  // 0 or 1
        wide[later ? 0 : RESAMPLE_TAPS][r] = _mm256_setzero_ps();
        for (int k = 0; k < RESAMPLE_TAPS; ++k)
            wide[k + later][r] = _mm256_set1_ps(row[k]);
    }
    const float* frames = source + first - (RESAMPLE_TAPS / 2 - 1);
    int done = 0;
    for (; done + 16 * Q <= count; done += 16 * Q) {
        const float* run = frames + done / Q;
        // Lanes 0-7 and 8-15 of each phase, in eight chains of multiply-adds in all: with two
        // phases, each half in two chains that take the taps by turns. Fewer chains would wait on
        // each add; more would not fit the registers.
        constexpr int CHAINS = 4 / Q;
        __m256 low[CHAINS][Q], high[CHAINS][Q];
#pragma GCC unroll 8
        for (int c = 0; c < CHAINS; ++c)
#pragma GCC unroll 8
            for (int r = 0; r < Q; ++r)
                low[c][r] = high[c][r] = _mm256_setzero_ps();
#pragma GCC unroll 25
        for (int k = 0; k < SPAN; ++k) {
            const __m256 a = _mm256_loadu_ps(run + k), b = _mm256_loadu_ps(run + k + 8);  // frames m + k + lane
#pragma GCC unroll 8
            for (int r = 0; r < Q; ++r) {
                const __m256 tap = wide[k][r];
                low[k % CHAINS][r] = _mm256_fmadd_ps(a, tap, low[k % CHAINS][r]);
                high[k % CHAINS][r] = _mm256_fmadd_ps(b, tap, high[k % CHAINS][r]);
            }
        }
        __m256 sums[2][Q];  // lane i of sums[h][r]: output (m + 8 * h + i) * Q + r
#pragma GCC unroll 8
        for (int r = 0; r < Q; ++r) {
            sums[0][r] = low[0][r];
            sums[1][r] = high[0][r];
#pragma GCC unroll 8
            for (int c = 1; c < CHAINS; ++c) {
                sums[0][r] = _mm256_add_ps(sums[0][r], low[c][r]);
                sums[1][r] = _mm256_add_ps(sums[1][r], high[c][r]);
            }
        }
        // Interleaved into output order: within each 128-bit half first, then the halves.
        for (int h = 0; h < 2; ++h) {
            float* to = out + done + h * 8 * Q;
            const __m256* v = sums[h];
            if constexpr (Q == 2) {
                const __m256 lo = _mm256_unpacklo_ps(v[0], v[1]), hi = _mm256_unpackhi_ps(v[0], v[1]);
                _mm256_storeu_ps(to, _mm256_permute2f128_ps(lo, hi, 0x20));
                _mm256_storeu_ps(to + 8, _mm256_permute2f128_ps(lo, hi, 0x31));
            } else {
                static_assert(Q == 4, "two or four phases");
                const __m256 t0 = _mm256_unpacklo_ps(v[0], v[1]), t1 = _mm256_unpackhi_ps(v[0], v[1]);
                const __m256 t2 = _mm256_unpacklo_ps(v[2], v[3]), t3 = _mm256_unpackhi_ps(v[2], v[3]);
                const __m256 u0 = _mm256_shuffle_ps(t0, t2, 0x44), u1 = _mm256_shuffle_ps(t0, t2, 0xEE);
                const __m256 u2 = _mm256_shuffle_ps(t1, t3, 0x44), u3 = _mm256_shuffle_ps(t1, t3, 0xEE);
                _mm256_storeu_ps(to, _mm256_permute2f128_ps(u0, u1, 0x20));
                _mm256_storeu_ps(to + 8, _mm256_permute2f128_ps(u2, u3, 0x20));
                _mm256_storeu_ps(to + 16, _mm256_permute2f128_ps(u0, u1, 0x31));
                _mm256_storeu_ps(to + 24, _mm256_permute2f128_ps(u2, u3, 0x31));
            }
        }
    }
    return done;
}

// Four outputs at a time, their lanes added across together: two rounds of pairwise sums and one
// add give all four, where adding one output's lanes alone took three steps for that one. On a
// 2-core AMD EPYC one second at 11025 Hz took 77-93 us this way against 140-177 us one at a time
// (eight at a time spilled registers and gained little).
__attribute__((target("avx2,fma"))) static void polyphase_avx2(const float* source, uint64_t position, uint64_t step,
                                                              float* out, int count)
{
    const float* taps = resample_taps();
    int j = 0;
    if (step == RESAMPLE_UNIT / 4)
        j = polyphase_periodic<4>(taps, source, position, out, count);
    else if (step == RESAMPLE_UNIT / 2)
        j = polyphase_periodic<2>(taps, source, position, out, count);
    position += static_cast<uint64_t>(j) * step;
    for (; j + 4 <= count; j += 4, position += 4 * step) {
        const __m256 p0 = products(taps, source, position), p1 = products(taps, source, position + step);
        const __m256 p2 = products(taps, source, position + 2 * step);
        const __m256 p3 = products(taps, source, position + 3 * step);
        // Outputs 0 to 3 twice over, half of each one's lanes in each half.
        const __m256 q = _mm256_hadd_ps(_mm256_hadd_ps(p0, p1), _mm256_hadd_ps(p2, p3));
        _mm_storeu_ps(out + j, _mm_add_ps(_mm256_castps256_ps128(q), _mm256_extractf128_ps(q, 1)));
    }
    for (; j < count; ++j, position += step) {
        const __m256 sum = products(taps, source, position);
        __m128 x = _mm_add_ps(_mm256_castps256_ps128(sum), _mm256_extractf128_ps(sum, 1));
        x = _mm_add_ps(x, _mm_movehl_ps(x, x));
        x = _mm_add_ss(x, _mm_movehdup_ps(x));
        out[j] = _mm_cvtss_f32(x);
    }
}
#endif

typedef void (*PolyphasePass)(const float*, uint64_t, uint64_t, float*, int);

static PolyphasePass pick_polyphase()
{
#ifdef MIXER_AVX2
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return polyphase_avx2;
#endif
    return resample_polyphase_plain;  // what the compiler makes of the plain loop
}

void resample_polyphase_fast(const float* source, uint64_t position, uint64_t step, float* out, int count)
{
    static const PolyphasePass pass = pick_polyphase();
    pass(source, position, step, out, count);
}

// ---- gains ----

void mixer_add_fast(float* sums, const float* frames, int count, float gain_left, float gain_right)
{
    const Float4 gains = {gain_left, gain_right, gain_left, gain_right};
    const int samples = count * MIXER_CHANNELS;
    int i = 0;
    for (; i + 4 <= samples; i += 4)
        store4(sums + i, load4(sums + i) + load4(frames + i) * gains);
    for (; i < samples; i += 2) {
        sums[i] += frames[i] * gain_left;
        sums[i + 1] += frames[i + 1] * gain_right;
    }
}

typedef void (*AddPlanesPass)(float*, const float*, const float*, int, float, float);

// Four frames at a time, each half a vector of sums.
static void add_planes_4(float* sums, const float* left, const float* right, int count, float gain_left,
                         float gain_right)
{
    const Float4 gains = {gain_left, gain_right, gain_left, gain_right};
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const Float4 l = load4(left + i);
        const Float4 r = load4(right + i);
        float* at = sums + 2 * i;
        store4(at, load4(at) + __builtin_shufflevector(l, r, 0, 4, 1, 5) * gains);
        store4(at + 4, load4(at + 4) + __builtin_shufflevector(l, r, 2, 6, 3, 7) * gains);
    }
    for (; i < count; ++i) {
        sums[2 * i] += left[i] * gain_left;
        sums[2 * i + 1] += right[i] * gain_right;
    }
}

#ifdef MIXER_AVX2
// Eight frames at a time: the planes interleaved within each 128-bit half, then the halves put in
// order. Multiplied and added apart, as the plain twin does, so the sums come out the same.
__attribute__((target("avx2"))) static void add_planes_8(float* sums, const float* left, const float* right,
                                                         int count, float gain_left, float gain_right)
{
    const __m256 gains = _mm256_setr_ps(gain_left, gain_right, gain_left, gain_right, gain_left, gain_right,
                                        gain_left, gain_right);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256 l = _mm256_loadu_ps(left + i), r = _mm256_loadu_ps(right + i);
        const __m256 lo = _mm256_unpacklo_ps(l, r), hi = _mm256_unpackhi_ps(l, r);  // frames 0 1 4 5, 2 3 6 7
        const __m256 first = _mm256_permute2f128_ps(lo, hi, 0x20), second = _mm256_permute2f128_ps(lo, hi, 0x31);
        float* at = sums + 2 * i;
        _mm256_storeu_ps(at, _mm256_add_ps(_mm256_loadu_ps(at), _mm256_mul_ps(first, gains)));
        _mm256_storeu_ps(at + 8, _mm256_add_ps(_mm256_loadu_ps(at + 8), _mm256_mul_ps(second, gains)));
    }
    add_planes_4(sums + 2 * i, left + i, right + i, count - i, gain_left, gain_right);
}
#endif

static AddPlanesPass pick_add_planes()
{
#ifdef MIXER_AVX2
    if (__builtin_cpu_supports("avx2"))
        return add_planes_8;
#endif
    return add_planes_4;
}

// A voice's planes into the sums. On a 2-core AMD EPYC, BM_Vorlash_MixSixteenEffects spent 13.5-13.8 %
// of its time here four frames at a time, and 9.0-9.1 % eight at a time.
void mixer_add_planes_fast(float* sums, const float* left, const float* right, int count, float gain_left,
                           float gain_right)
{
    static const AddPlanesPass pass = pick_add_planes();
    pass(sums, left, right, count, gain_left, gain_right);
}

// ---- saturation ----

// Four sums as 16-bit samples: clamped, then rounded half away from zero.
static inline void saturate4(const float* from, int16_t* out)
{
    const Float4 low = {-32768.0f, -32768.0f, -32768.0f, -32768.0f};
    const Float4 high = {32767.0f, 32767.0f, 32767.0f, 32767.0f};
    const Float4 zero = {};
    const Float4 half = {0.5f, 0.5f, 0.5f, 0.5f};
    Float4 v = load4(from);
    v = v < low ? low : v;
    v = v > high ? high : v;
    v += v < zero ? -half : half;
    const Short4 samples = __builtin_convertvector(__builtin_convertvector(v, Int4), Short4);
    std::memcpy(out, &samples, sizeof samples);
}

void mixer_saturate_fast(const float* sums, int16_t* out, int count)
{
    int i = 0;
    for (; i + 4 <= count; i += 4)
        saturate4(sums + i, out + i);
    if (i < count) {  // a last pair, padded to four
        float pair[4] = {sums[i], sums[i + 1], 0.0f, 0.0f};
        int16_t last[4];
        saturate4(pair, last);
        out[i] = last[0];
        out[i + 1] = last[1];
    }
}
