// mixer_test.cpp -- the mixer's resampling measured on its output: tones keep their level and lose
// their images and aliases, whatever the buffer's playing rate; loops run on without a seam and a
// one-shot's filter rings out once. The vector passes checked against their plain twins.
#include <cmath>
#include <random>

#include "audio_fixtures.h"
#include "audio_internal.h"

// ---- measuring ----

static constexpr double PI = 3.14159265358979323846;

// The amplitude of the component at `hz` in the left channel, by a Goertzel filter over a
// four-term Blackman-Harris window (side lobes 92 dB down, main lobe four bins wide).
static double amplitude_at(const Rendered& out, int from, int frames, double hz)
{
    const double w = 2.0 * PI * hz / testing_audio_rate();
    const double coefficient = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0, window_sum = 0.0;
    for (int i = 0; i < frames; ++i) {
        const double x = 2.0 * PI * i / (frames - 1);
        const double window = 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
        window_sum += window;
        const double s = out.left(from + i) * window + coefficient * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double real = s1 - s2 * std::cos(w);
    const double imaginary = s2 * std::sin(w);
    return 2.0 * std::sqrt(real * real + imaginary * imaginary) / window_sum;
}

static double decibels(double ratio) { return 20.0 * std::log10(ratio); }

// Where the components that a source rate adds to a tone land at the mixer's rate: the tone's
// mirrors about the first six multiples of the source rate (the filter's stop band only falls
// further beyond), folded into the output's band. Those that land on the tone itself cannot be
// told apart from it and are left out.
static std::vector<double> images_of(double tone, double source_rate)
{
    const double rate = testing_audio_rate();
    std::vector<double> found;
    for (int m = 1; m <= 6; ++m)
        for (double f : {m * source_rate - tone, m * source_rate + tone}) {
            f = std::fmod(f, rate);
            f = f > rate / 2 ? rate - f : f;
            if (std::fabs(f - tone) > 20.0 && f > 20.0)
                found.push_back(f);
        }
    return found;
}

// ---- the tones ----

class Resampling : public SoundTest {
protected:
    // A full-scale 8-bit sine of `cycles` periods in one second of 11025 frames, playing in a loop
    // (whole periods, so the loop has no seam) at `rate` frames a second.
    void play_tone(int cycles, int rate = 11025)
    {
        Bytes data(11025);
        for (int i = 0; i < 11025; ++i)
            data[i] = static_cast<uint8_t>(128 + std::lround(127 * std::sin(2 * PI * cycles * i / 11025.0)));
        id = load("tone.wav", simple_wav(1, 8, 11025, data));
        ASSERT_GE(id, 0);
        ASSERT_EQ(sound_set_frequency(id, rate), 1);
        ASSERT_EQ(sound_play(id, DSBPLAY_LOOPING), 1);
    }
    // The tone's level (dB against full scale) and its loudest image or alias (dB against the tone).
    void measure(double tone, double source_rate, double& level, double& worst_image)
    {
        const int from = 2048, frames = 32768;
        const Rendered out = render(from + frames);
        const double amplitude = amplitude_at(out, from, frames, tone);
        level = decibels(amplitude / (127 * 256));
        worst_image = -200.0;
        for (double f : images_of(tone, source_rate))
            worst_image = std::max(worst_image, decibels(amplitude_at(out, from, frames, f) / amplitude));
    }
    int id = -1;
};

TEST_F(Resampling, TonesFromAnElevenKilohertzBufferKeepTheirLevelAndLoseTheirImages)
{
    struct Case {
        int hz;
        double images_below;  // dB
    };
    // 4410 Hz is 0.8 of the buffer's Nyquist frequency; 5 kHz mirrors to 6025 Hz, close to it.
    for (const Case& c : {Case{1000, 60}, Case{4000, 60}, Case{4410, 50}, Case{5000, 40}}) {
        play_tone(c.hz);
        double level, worst;
        measure(c.hz, 11025, level, worst);
        if (c.hz <= 4410) {
            EXPECT_NEAR(level, 0.0, 1.0) << c.hz << " Hz: level in dB";
        }
        EXPECT_LT(worst, -c.images_below) << c.hz << " Hz: loudest image in dB";
        sound_delete(id);
    }
}

// Playing rates below, at and above the mixer's: a tone at 0.6 of the lower Nyquist frequency.
TEST_F(Resampling, EveryPlayingRateKeepsImagesAndAliasesFiftyDecibelsDown)
{
    for (int rate : {100, 3000, 8000, 16000, 22050, 30000, 44000, 44100, 48000, 64000, 100000}) {
        const double nyquist = std::min(rate, testing_audio_rate()) / 2.0;
        const int cycles = static_cast<int>(std::lround(0.6 * nyquist * 11025.0 / rate));
        play_tone(cycles, rate);
        const double tone = cycles * static_cast<double>(rate) / 11025.0;
        double level, worst;
        measure(tone, rate, level, worst);
        EXPECT_NEAR(level, 0.0, 1.0) << rate << " Hz: level of the " << tone << " Hz tone in dB";
        EXPECT_LT(worst, -50.0) << rate << " Hz: loudest image or alias of the " << tone << " Hz tone in dB";
        sound_delete(id);
    }
}

// ---- ends and loops ----

TEST_F(Resampling, LoopRunsOnWithoutASeamAndOneShotRingsOutOnce)
{
    // A constant level comes through the filter unchanged, across the loop's seam too.
    const int id = load("level.wav", simple_wav(1, 8, 11025, Bytes(300, 0x80 + 100)));
    sound_play(id, DSBPLAY_LOOPING);
    const Rendered looped = render(4000);  // the 300 frames are 1200 at the mixer's rate
    for (int i = 100; i < 4000; ++i)
        ASSERT_NEAR(looped.left(i), 25600, 2) << "frame " << i;

    // Once: the level until its last frame, then the filter's ring dies within a millisecond and a
    // half, and nothing of the effect comes back.
    sound_play(id, 0);
    const Rendered once = render(1200);
    EXPECT_NEAR(once.left(600), 25600, 2);
    EXPECT_EQ(sound_status(id), 0) << "ended with its last frame";
    const Rendered after = render(400);
    EXPECT_NE(after.left(0), 0) << "the tail rings on";
    for (int i = 66; i < 400; ++i)
        ASSERT_EQ(after.left(i), 0) << "frame " << i << " after the end";
    sound_play(id, 0);
    render(1200);
    sound_stop(id);
    render(MIXER_DECLICK_FRAMES);
    EXPECT_EQ(render(10).peak(), 0) << "stopping ends the tail once its fade is over";
}

TEST_F(Resampling, ALockEndsTheRingOfAnEndedOneShot)
{
    // The ring reads the last frames; a lock taken while it runs stops it, so no write races the mixer.
    const int id = load("level.wav", simple_wav(1, 8, 11025, Bytes(300, 0x80 + 100)));
    sound_play(id, 0);
    render(1200);
    ASSERT_EQ(sound_status(id), 0) << "ended with its last frame, its ring still to come";
    void* region = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(sound_slots[id].buffer->Lock(0, 0, &region, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_EQ(render(400).peak(), 0) << "the ring ended with the lock";
    sound_slots[id].buffer->Unlock(region, bytes, nullptr, 0);
}

// ---- cuts ----

// The loudest component from 7 to 17 kHz, against the tone, over the 2048 frames either side of a
// cut: a 1 kHz tone from an 11,025 Hz buffer has nothing there, so what shows is the cut's click.
static double click_level(const Rendered& before, const Rendered& after)
{
    Rendered around;
    around.samples.assign(before.samples.end() - 2 * 2048, before.samples.end());
    around.samples.insert(around.samples.end(), after.samples.begin(), after.samples.begin() + 2 * 2048);
    const double tone = amplitude_at(around, 0, 4096, 1000);
    double worst = -200.0;
    for (double hz = 7000; hz <= 17000; hz += 2000)
        worst = std::max(worst, decibels(amplitude_at(around, 0, 4096, hz) / tone));
    return worst;
}

TEST_F(Resampling, RestartsAndStopsFadeTheCutSoundInsteadOfClicking)
{
    // A 1 kHz sine after a tenth of a second of silence, played once: a restart rises from that
    // silence, so only the cut can click.
    Bytes data(11025, 0x80);
    for (int i = 1103; i < 11025; ++i)
        data[i] = static_cast<uint8_t>(128 + std::lround(127 * std::sin(2 * PI * 1000 * i / 11025.0)));
    id = load("late.wav", simple_wav(1, 8, 11025, data));
    ASSERT_GE(id, 0);
    const int into_tone = 4412 + 4107;  // the tone near three quarters of its peak
    sound_play(id, 0);
    const Rendered playing = render(into_tone);
    sound_play(id, 0);
    const Rendered restarted = render(into_tone);
    EXPECT_LT(click_level(playing, restarted), -80.0) << "restart";
    sound_stop(id);
    EXPECT_LT(click_level(restarted, render(4096)), -80.0) << "stop";
}

// ---- the vector passes against their plain twins ----

TEST(MixerPasses, FastFormsGiveThePlainResults)
{
    std::mt19937 random(19);
    std::uniform_real_distribution<float> level(-40000.0f, 40000.0f);
    std::uniform_real_distribution<float> gain(0.0f, 1.0f);
    const auto fill = [&](std::vector<float>& v) {
        for (float& x : v)
            x = level(random);
    };
    std::vector<float> source(4096), left(MIXER_BLOCK), right(MIXER_BLOCK);
    for (int round = 0; round < 200; ++round) {
        const int count = 1 + static_cast<int>(random() % MIXER_BLOCK);
        fill(source);
        fill(left);
        fill(right);

        // Below one frame: the polyphase pass. A third of the rounds take a half or a quarter, the
        // steps of 22050 and 11025 Hz, which the pass takes phase by phase.
        const uint64_t step = round % 3 == 0 ? RESAMPLE_UNIT / (round % 2 ? 2 : 4) : 1 + random() % RESAMPLE_UNIT;
        const uint64_t position = (uint64_t{RESAMPLE_TAPS} << 32) + random();
        std::vector<float> fast(count), plain(count);
        resample_polyphase_fast(source.data(), position, step, fast.data(), count);
        resample_polyphase_plain(source.data(), position, step, plain.data(), count);
        for (int i = 0; i < count; ++i)
            ASSERT_NEAR(fast[i], plain[i], 0.1f) << "resampled frame " << i << " of round " << round;

        const float gl = gain(random), gr = gain(random);
        std::vector<float> sums_fast(2 * MIXER_BLOCK), sums_plain;
        fill(sums_fast);
        sums_plain = sums_fast;
        mixer_add_planes_fast(sums_fast.data(), left.data(), right.data(), count, gl, gr);
        mixer_add_planes_plain(sums_plain.data(), left.data(), right.data(), count, gl, gr);
        mixer_add_fast(sums_fast.data(), source.data(), count, gr, gl);
        mixer_add_plain(sums_plain.data(), source.data(), count, gr, gl);
        for (int i = 0; i < 2 * MIXER_BLOCK; ++i)
            ASSERT_FLOAT_EQ(sums_fast[i], sums_plain[i]) << "sum " << i << " of round " << round;

        std::vector<int16_t> out_fast(2 * count), out_plain(2 * count);
        mixer_saturate_fast(sums_fast.data(), out_fast.data(), 2 * count);
        mixer_saturate_plain(sums_plain.data(), out_plain.data(), 2 * count);
        ASSERT_EQ(out_fast, out_plain) << "round " << round;
    }
}
