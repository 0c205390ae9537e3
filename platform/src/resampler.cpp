// resampler.cpp -- band-limited resampling of a voice's frames to the mixer's rate: one windowed-sinc
// filter, tabled once per phase; the plain polyphase loop (the reference of the vector pass in
// mixer_fast.cpp), and the same filter stretched for sources faster than the mixer.
#include <cmath>
#include <cstring>

#include "audio_internal.h"

// ---- constants ----
// The half-amplitude point as a fraction of the lower Nyquist frequency, and the Kaiser window's
// shape. With 24 taps the passband stays within 0.25 dB up to 0.8 of that Nyquist frequency, the
// response is 19 dB down at it and at least 60 dB down from 1.1 of it on: the transition band
// straddles the Nyquist frequency, trading the images just above it for a flat passband below.
static constexpr double CUTOFF = 0.92;
static constexpr double KAISER_BETA = 6.0;
static constexpr double PI = 3.14159265358979323846;

// ---- records ----

struct TapTable {
    alignas(32) float rows[(RESAMPLE_PHASES + 1) * RESAMPLE_TAPS];
};

// ---- helpers ----

// The modified Bessel function of order 0, by its power series (converges fast for x ≤ 20).
static double bessel_i0(double x)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

// The filter's impulse response at t frames from the output's position (|t| < RESAMPLE_TAPS / 2),
// for a source below the mixer's rate.
static double impulse(double t)
{
    const double half = RESAMPLE_TAPS / 2.0;
    if (std::fabs(t) >= half)
        return 0.0;
    const double x = CUTOFF * t;  // sinc of the cut-off, CUTOFF / 2 cycles a frame
    const double sinc = x == 0.0 ? 1.0 : std::sin(PI * x) / (PI * x);
    const double r = t / half;
    return sinc * bessel_i0(KAISER_BETA * std::sqrt(1.0 - r * r)) / bessel_i0(KAISER_BETA);
}

// Row p holds the taps for the position p / RESAMPLE_PHASES of the way past frame i, applied to
// frames i - RESAMPLE_TAPS / 2 + 1 … i + RESAMPLE_TAPS / 2. Each row sums to exactly 1, so a
// constant level comes through every phase unchanged.
static TapTable make_taps()
{
    TapTable table;
    for (int p = 0; p <= RESAMPLE_PHASES; ++p) {
        double row[RESAMPLE_TAPS], sum = 0.0;
        for (int k = 0; k < RESAMPLE_TAPS; ++k) {
            row[k] = impulse(k - (RESAMPLE_TAPS / 2 - 1) - static_cast<double>(p) / RESAMPLE_PHASES);
            sum += row[k];
        }
        for (int k = 0; k < RESAMPLE_TAPS; ++k)
            table.rows[p * RESAMPLE_TAPS + k] = static_cast<float>(row[k] / sum);
    }
    return table;
}

// The impulse response between the tabled points, read from the rows: t = k - (TAPS/2 - 1) - p/PHASES.
static float impulse_tabled(const float* taps, double t)
{
    const double u = t + (RESAMPLE_TAPS / 2 - 1);
    if (u <= -1.0 || u >= RESAMPLE_TAPS - 1)
        return 0.0f;
    const int k = static_cast<int>(std::ceil(u));
    const double phase = (k - u) * RESAMPLE_PHASES;
    const int p = static_cast<int>(phase);
    const float w = static_cast<float>(phase - p);
    const float a = taps[p * RESAMPLE_TAPS + k];
    const float b = taps[(p + 1) * RESAMPLE_TAPS + k];
    return a + (b - a) * w;
}

// A source faster than the mixer: the filter stretched by the step, so its cut-off follows the
// mixer's Nyquist frequency; each output weighs every source frame within reach, by the tabled
// response read between its points, and divides by the weights' sum to keep a constant level.
static void resample_stretched(const float* source, uint64_t position, uint64_t step, float* out, int count)
{
    const float* taps = resample_taps();
    const double stretch = static_cast<double>(step) / RESAMPLE_UNIT;
    const int reach = resample_reach(step);
    for (int j = 0; j < count; ++j, position += step) {
        const int64_t at = static_cast<int64_t>(position >> 32);
        const double fraction = static_cast<double>(position & 0xFFFFFFFF) / RESAMPLE_UNIT;
        float sum = 0.0f, weights = 0.0f;
        for (int64_t i = at - reach + 1; i <= at + reach; ++i) {
            const float w = impulse_tabled(taps, (static_cast<double>(i - at) - fraction) / stretch);
            sum += source[i] * w;
            weights += w;
        }
        out[j] = sum / weights;
    }
}

// ---- public operations ----

const float* resample_taps()
{
    static const TapTable table = make_taps();  // built once, by whichever thread asks first
    return table.rows;
}

int resample_reach(uint64_t step)
{
    if (step == RESAMPLE_UNIT)
        return 0;
    if (step < RESAMPLE_UNIT)
        return RESAMPLE_TAPS / 2;
    return static_cast<int>(std::ceil(RESAMPLE_TAPS / 2.0 * static_cast<double>(step) / RESAMPLE_UNIT)) + 1;
}

void resample(const float* source, uint64_t position, uint64_t step, float* out, int count)
{
    if (step == RESAMPLE_UNIT)
        std::memcpy(out, source + (position >> 32), sizeof(float) * static_cast<size_t>(count));
    else if (step < RESAMPLE_UNIT)
        resample_polyphase_fast(source, position, step, out, count);
    else
        resample_stretched(source, position, step, out, count);
}

void resample_polyphase_plain(const float* source, uint64_t position, uint64_t step, float* out, int count)
{
    const float* taps = resample_taps();
    for (int j = 0; j < count; ++j, position += step) {
        const float* frames = source + (position >> 32) - (RESAMPLE_TAPS / 2 - 1);
        const float* row = taps + resample_phase(position) * RESAMPLE_TAPS;
        float sum = 0.0f;
        for (int k = 0; k < RESAMPLE_TAPS; ++k)
            sum += frames[k] * row[k];
        out[j] = sum;
    }
}
