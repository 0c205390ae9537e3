// sound_play_test.cpp -- effects as the mixer plays them: start, restart, stop and status measured
// on the rendered output; volume, pan and frequency as gains and speeds; replicas playing on their
// own; deletion; ids outside the table; DirectSound missing.
#include <cmath>

#include "audio_fixtures.h"
#include "audio_internal.h"

class SoundPlay : public SoundTest {
protected:
    // An 8-bit mono effect at the mixer's own rate, so each output frame is one sample.
    int load_ramp(int length = 100, DWORD flags = DSBCAPS_CTRLDEFAULT)
    {
        Bytes data;
        for (int i = 0; i < length; ++i)
            data.push_back(static_cast<uint8_t>(0x80 + i % 100));
        return load("ramp.wav", simple_wav(1, 8, testing_audio_rate(), data), flags);
    }
    // A constant level of +25600 on the 16-bit scale, at the mixer's rate.
    int load_level(int length = 4000, int rate = 44100)
    {
        return load("level.wav", simple_wav(1, 8, rate, Bytes(length, 0x80 + 100)));
    }
};

static int16_t ramp_value(int i) { return static_cast<int16_t>((i % 100) * 256); }

// A frame past the fade of whatever a restart or a stop cut.
static constexpr int SETTLED = MIXER_DECLICK_FRAMES + 10;

// ---- start, restart, stop, status ----

TEST_F(SoundPlay, OneShotPlaysItsSamplesThenReadsStopped)
{
    const int id = load_ramp(100);
    ASSERT_EQ(id, 0);
    EXPECT_EQ(sound_status(id), 0);
    ASSERT_EQ(sound_play(id, 0), 1);
    EXPECT_EQ(sound_status(id), DSBSTATUS_PLAYING);
    const Rendered first = render(99);
    for (int i = 0; i < 99; ++i) {
        ASSERT_EQ(first.left(i), ramp_value(i)) << "frame " << i;
        ASSERT_EQ(first.right(i), ramp_value(i)) << "frame " << i;
    }
    EXPECT_EQ(sound_status(id), DSBSTATUS_PLAYING) << "one sample is left";
    const Rendered last = render(10);
    EXPECT_EQ(last.left(0), ramp_value(99));
    EXPECT_EQ(sound_status(id), 0) << "stopped once the last sample is mixed";
    for (int i = 1; i < 10; ++i)
        EXPECT_EQ(last.left(i), 0) << "silence after the end, frame " << i;
}

TEST_F(SoundPlay, LoopingEffectWrapsAndReadsFive)
{
    const int id = load_ramp(100);
    ASSERT_EQ(sound_play(id, DSBPLAY_LOOPING), 1);
    EXPECT_EQ(sound_status(id), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    const Rendered out = render(250);
    EXPECT_EQ(out.left(100), ramp_value(0));
    EXPECT_EQ(out.left(249), ramp_value(49));
    EXPECT_EQ(sound_status(id), 5);
}

TEST_F(SoundPlay, PlayingAgainRestartsAtTheFirstSample)
{
    const int id = load_ramp(100);
    sound_play(id, 0);
    render(40);
    sound_play(id, 0);
    const Rendered out = render(70);
    const float* fade = mixer_declick_gains();
    EXPECT_NEAR(out.left(0), ramp_value(0) + ramp_value(40) * fade[0], 1) << "at once, over the cut play's fade";
    EXPECT_NEAR(out.left(2), ramp_value(2) + ramp_value(42) * fade[2], 1);
    EXPECT_EQ(out.left(65), ramp_value(65)) << "the cut play has reached its own end";
}

TEST_F(SoundPlay, StopSilencesAndRewinds)
{
    const int id = load_ramp(100);
    sound_play(id, DSBPLAY_LOOPING);
    render(30);
    EXPECT_EQ(sound_stop(id), 1);
    EXPECT_EQ(sound_status(id), 0);
    const Rendered fading = render(MIXER_DECLICK_FRAMES);
    EXPECT_NEAR(fading.left(0), ramp_value(30) * mixer_declick_gains()[0], 1) << "the stop fades out";
    EXPECT_EQ(render(50).peak(), 0) << "and is silent once the fade is over";
    sound_play(id, 0);
    EXPECT_EQ(render(1).left(0), ramp_value(0));
    sound_play(id, DSBPLAY_LOOPING);
    EXPECT_EQ(sound_stop_all(), 1);
    EXPECT_EQ(sound_status(id), 0);
}

TEST_F(SoundPlay, EffectsSumWithoutWrapping)
{
    const int a = load_level();
    const int b = load_level();
    const int c = load_level();
    sound_play(a, 0);
    sound_play(b, 0);
    sound_play(c, 0);
    const Rendered out = render(10);
    EXPECT_EQ(out.left(5), 32767) << "3 × 25600 saturates";
    EXPECT_EQ(out.right(5), 32767);
}

// ---- controls, measured ----

TEST_F(SoundPlay, VolumeAttenuatesByThirtyHundredthsOfADecibelAStep)
{
    const int id = load_level();
    struct Case {
        int volume;
        double gain;
    };
    for (const Case& c :
         {Case{100, 1.0}, Case{50, std::pow(10.0, -1500 / 2000.0)}, Case{0, std::pow(10.0, -3000 / 2000.0)}}) {
        ASSERT_EQ(sound_set_volume(id, c.volume), 1) << c.volume;
        sound_play(id, 0);
        const Rendered out = render(SETTLED + 10);
        EXPECT_NEAR(out.left(SETTLED), 25600 * c.gain, 2.0) << "volume " << c.volume;
        EXPECT_NEAR(out.right(SETTLED), 25600 * c.gain, 2.0) << "volume " << c.volume;
    }
    EXPECT_EQ(sound_set_volume(id, 101), 0) << "+30 is above DirectSound's full level";
    EXPECT_EQ(sound_set_volume(id, -300), 0) << "-12000 is below its silence";
    EXPECT_EQ(sound_set_volume(id, INT32_MIN), 0);
}

TEST_F(SoundPlay, PanAttenuatesTheOtherSide)
{
    const int id = load_level();
    struct Case {
        int pan;
        double left, right;
    };
    for (const Case& c : {Case{0, 1.0, 1.0}, Case{-10000, 1.0, 0.0}, Case{10000, 0.0, 1.0}, Case{2000, 0.1, 1.0},
                          Case{-600, 1.0, std::pow(10.0, -0.3)}}) {
        ASSERT_EQ(sound_set_pan(id, c.pan), 1) << c.pan;
        sound_play(id, 0);
        const Rendered out = render(SETTLED + 10);
        EXPECT_NEAR(out.left(SETTLED), 25600 * c.left, 2.0) << "pan " << c.pan;
        EXPECT_NEAR(out.right(SETTLED), 25600 * c.right, 2.0) << "pan " << c.pan;
    }
    EXPECT_EQ(sound_set_pan(id, 10001), 0);
}

TEST_F(SoundPlay, FrequencySetsTheSpeedAndZeroRestoresTheFilesRate)
{
    const int id = load_ramp(100);
    // Frames the effect sounds for, once.
    const auto frames_played = [&] {
        sound_play(id, 0);
        int frames = 0;
        while (sound_status(id) != 0 && frames < 1000) {
            render(1);
            ++frames;
        }
        return frames;
    };
    ASSERT_EQ(sound_set_frequency(id, 22050), 1);
    EXPECT_NEAR(frames_played(), 200, 2) << "half the rate lasts twice as long";
    ASSERT_EQ(sound_set_frequency(id, 88200), 1);
    EXPECT_NEAR(frames_played(), 50, 2);
    ASSERT_EQ(sound_set_frequency(id, 0), 1);
    EXPECT_EQ(frames_played(), 100) << "0 restores the file's own rate";

    // Within the ramp, away from its ends: each sample, and halfway between two.
    ASSERT_EQ(sound_set_frequency(id, 22050), 1);
    sound_play(id, 0);
    const Rendered half = render(100);
    EXPECT_NEAR(half.left(80), ramp_value(40), 8);
    EXPECT_NEAR(half.left(81), (ramp_value(40) + ramp_value(41)) / 2, 8) << "between two samples";
    EXPECT_EQ(sound_set_frequency(id, 99), 0);
    EXPECT_EQ(sound_set_frequency(id, 100001), 0);
}

// The effect plays at the rate its file declares, not at a fixed one.
TEST_F(SoundPlay, FileAt22050HzPlaysForItsOwnLength)
{
    const int id = load_level(2205, 22050);  // a tenth of a second
    sound_play(id, 0);
    render(4400);
    EXPECT_EQ(sound_status(id), DSBSTATUS_PLAYING);
    render(20);
    EXPECT_EQ(sound_status(id), 0);
}

TEST_F(SoundPlay, ControlsNeedTheirFlags)
{
    const int id = load_ramp(100, 0);
    EXPECT_EQ(sound_set_volume(id, 50), 0);
    EXPECT_EQ(sound_set_pan(id, 100), 0);
    EXPECT_EQ(sound_set_frequency(id, 22050), 0);
    EXPECT_EQ(sound_play(id, 0), 1) << "playing needs no control";
}

// ---- replicas ----

TEST_F(SoundPlay, ReplicaSharesTheSamplesAndPlaysOnItsOwn)
{
    const int id = load_ramp(100);
    const int copy = sound_replicate(id);
    ASSERT_EQ(copy, 1);
    EXPECT_EQ(sound_slots[copy].state, SOUND_SLOT_LOADED);
    EXPECT_EQ(sound_slots[copy].rate, sound_slots[id].rate);
    EXPECT_EQ(sound_slots[copy].size, 100);
    EXPECT_EQ(sound_slots[copy].id, 1);
    EXPECT_NE(sound_slots[copy].buffer, sound_slots[id].buffer);

    sound_play(id, 0);
    render(10);
    sound_play(copy, 0);
    EXPECT_EQ(render(1).left(0), ramp_value(10) + ramp_value(0)) << "each at its own position";
    sound_stop(id);
    EXPECT_EQ(sound_status(copy), DSBSTATUS_PLAYING);
    EXPECT_EQ(render(SETTLED).left(SETTLED - 1), ramp_value(SETTLED)) << "on past the stopped one's fade";
    ASSERT_EQ(sound_set_volume(copy, 0), 1);
    sound_play(id, 0);
    sound_stop(copy);
    EXPECT_EQ(render(SETTLED).left(SETTLED - 1), ramp_value(SETTLED - 1)) << "the replica's volume is its own";
}

TEST_F(SoundPlay, ReplicaOfNothingTouchesNoSlot)
{
    EXPECT_EQ(sound_replicate(-1), -1);
    EXPECT_EQ(sound_replicate(SOUND_SLOT_COUNT), -1);
    EXPECT_EQ(sound_replicate(7), -1) << "a free slot has no buffer to duplicate";
    for (const SoundSlot& slot : sound_slots)
        ASSERT_EQ(slot.state, SOUND_SLOT_FREE);
    testing_fault("IDirectSound::DuplicateSoundBuffer", 1, DSERR_OUTOFMEMORY);
    const int id = load_ramp();
    EXPECT_EQ(sound_replicate(id), -1);
    EXPECT_EQ(sound_slots[1].state, SOUND_SLOT_FREE) << "the failed replica's slot is given back";
    EXPECT_EQ(sound_slots[1].buffer, nullptr);
    EXPECT_EQ(sound_slots[1].id, 1);
}

// ---- deleting, odd ids, no device ----

TEST_F(SoundPlay, DeleteReleasesTheBufferButKeepsTheSlotTaken)
{
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(load_ramp(), i);
    sound_play(3, DSBPLAY_LOOPING);
    EXPECT_EQ(sound_delete(3), 1);
    EXPECT_EQ(sound_slots[3].buffer, nullptr);
    EXPECT_EQ(sound_slots[3].state, SOUND_SLOT_LOADED);
    EXPECT_EQ(sound_slots[3].size, 100);
    EXPECT_EQ(testing_sound_buffers_alive(), 4);
    EXPECT_EQ(render(10).peak(), 0) << "the deleted effect is silent";
    EXPECT_EQ(sound_status(3), -1);
    EXPECT_EQ(sound_play(3, 0), 1);
    EXPECT_EQ(load_ramp(), 5) << "the next load skips slot 3";
    EXPECT_EQ(sound_delete_all(), 1);
    EXPECT_EQ(testing_sound_buffers_alive(), 0);
}

TEST_F(SoundPlay, IdsOutsideTheTableHoldNothing)
{
    for (int id : {-1, SOUND_SLOT_COUNT, -100000, 1 << 30}) {
        EXPECT_EQ(sound_play(id, 0), 1) << id;
        EXPECT_EQ(sound_status(id), -1) << id;
        EXPECT_EQ(sound_set_volume(id, 50), 0) << id;
        EXPECT_EQ(sound_set_pan(id, 0), 0) << id;
        EXPECT_EQ(sound_set_frequency(id, 11025), 0) << id;
        EXPECT_EQ(sound_stop(id), 1) << id;
        EXPECT_EQ(sound_delete(id), 1) << id;
    }
}

TEST_F(SoundPlay, RefusedPlayAndUnknownStatusAreReported)
{
    const int id = load_ramp();
    testing_fault("IDirectSoundBuffer::Play", 1, DSERR_BUFFERLOST);
    EXPECT_EQ(sound_play(id, 0), 0);
    testing_fault("IDirectSoundBuffer::GetStatus", 1, DSERR_BUFFERLOST);
    EXPECT_EQ(sound_status(id), -1);
}

TEST_F(SoundPlay, WithoutAnAudioDeviceNothingLoads)
{
    sound_shutdown();
    testing_audio_unavailable(true);
    sound_first_init = 1;
    EXPECT_EQ(sound_init(), 0);
    EXPECT_EQ(dsound, nullptr);
    EXPECT_EQ(load_ramp(), -1);
    EXPECT_EQ(sound_replicate(0), -1);
    EXPECT_EQ(sound_init(), 1) << "a second call only empties the table";
    EXPECT_EQ(dsound, nullptr) << "and does not try DirectSound again";
    EXPECT_EQ(sound_shutdown(), 1);
}
