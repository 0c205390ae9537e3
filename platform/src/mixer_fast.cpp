// mixer_fast.cpp -- the mixer's vector passes, measured by bench_audio BM_Vorlash_MixSixteenEffects
// (bench/audio_bench.cpp): the polyphase filter with AVX2 and FMA where the processor has them,
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

// Four outputs at a time, their lanes added across together: two rounds of pairwise sums and one
// add give all four, where adding one output's lanes alone took three steps for that one. On a
// 2-core AMD EPYC one second at 11025 Hz took 77-93 us this way against 140-177 us one at a time
// (eight at a time spilled registers and gained little).
__attribute__((target("avx2,fma"))) static void polyphase_avx2(const float* source, uint64_t position, uint64_t step,
                                                              float* out, int count)
{
    const float* taps = resample_taps();
    int j = 0;
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

void mixer_add_planes_fast(float* sums, const float* left, const float* right, int count, float gain_left,
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
