// assetgen_test.cpp -- the generated asset set: byte-identical runs, exact file layouts, sprite frames
// that hold a shape inside a key-coloured margin, one shared game palette, sane sounds and MIDI files.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "asset_contract.h"
#include "assets.h"
#include "bmp_writer.h"
#include "median_cut.h"
#include "midi_writer.h"
#include "wav_writer.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// ---- file readers written against the formats, not against the generator's code ----------------

static Bytes read_all(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

static uint32_t le(const Bytes& b, size_t at, int n)
{
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = (v << 8) | b.at(at + static_cast<size_t>(i));
    return v;
}

static uint32_t be(const Bytes& b, size_t at, int n)
{
    uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | b.at(at + static_cast<size_t>(i));
    return v;
}

struct Rgb3 {
    int r, g, b;
    bool operator==(const Rgb3&) const = default;
};

// An 8-bit BMP as the game's loader sees it: palette in R, G, B order and pixels top-down.
struct Bmp {
    int w = 0, h = 0;
    std::vector<Rgb3> palette;
    std::vector<uint8_t> px;
    uint8_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

// Checks every header field a strict reader relies on; fails the test (and returns an empty Bmp) if not.
static Bmp load_bmp(const fs::path& path)
{
    const Bytes b = read_all(path);
    Bmp out;
    const std::string name = path.filename().string();
    EXPECT_GE(b.size(), 1078u) << name;
    if (b.size() < 1078)
        return out;
    EXPECT_EQ(b[0], 'B') << name;
    EXPECT_EQ(b[1], 'M') << name;
    EXPECT_EQ(le(b, 2, 4), b.size()) << name << ": bfSize";
    EXPECT_EQ(le(b, 10, 4), 1078u) << name << ": pixels must follow the 256-entry palette";
    EXPECT_EQ(le(b, 14, 4), 40u) << name << ": info header size";
    EXPECT_EQ(le(b, 26, 2), 1u) << name << ": planes";
    EXPECT_EQ(le(b, 28, 2), 8u) << name << ": bits per pixel";
    EXPECT_EQ(le(b, 30, 4), 0u) << name << ": compression";
    out.w = static_cast<int>(le(b, 18, 4));
    out.h = static_cast<int>(le(b, 22, 4));
    const size_t stride = (static_cast<size_t>(out.w) + 3) & ~size_t{3};
    EXPECT_EQ(le(b, 34, 4), stride * out.h) << name << ": biSizeImage";
    EXPECT_EQ(b.size(), 1078 + stride * out.h) << name << ": file size";
    if (b.size() != 1078 + stride * out.h)
        return Bmp{};
    for (int i = 0; i < 256; ++i)
        out.palette.push_back({b[54 + 4 * i + 2], b[54 + 4 * i + 1], b[54 + 4 * i]});
    for (int y = out.h - 1; y >= 0; --y)
        for (int x = 0; x < out.w; ++x)
            out.px.push_back(b[1078 + static_cast<size_t>(y) * stride + x]);
    return out;
}

// ---- the asset folder, generated once for the whole suite ---------------------------------------

class AssetSet : public ::testing::Test {
protected:
    static fs::path dir_;

    static void SetUpTestSuite()
    {
        dir_ = fs::temp_directory_path() / ("assetgen_test_" + std::to_string(getpid()));
        fs::create_directories(dir_);
        ASSERT_TRUE(write_assets(dir_.string()));
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }
};
fs::path AssetSet::dir_;

// The names come from the game's own list, so a file the game opens and the generator forgets fails here.
static std::string rock_name(int i)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s%04d.%s", ROCK_FILE_BASE, i, ROCK_FILE_EXTENSION);
    return name;
}

static std::vector<std::string> all_names()
{
    std::vector<std::string> names{PALETTE_FILE_NAME, BACKDROP_FILE};
    names.insert(names.end(), std::begin(INTRO_FILES), std::end(INTRO_FILES));
    for (const SheetLayout& sheet : SPRITE_SHEETS)
        names.push_back(sheet.file);
    names.insert(names.end(), std::begin(SOUND_FILES), std::end(SOUND_FILES));
    names.insert(names.end(), std::begin(MUSIC_FILES), std::end(MUSIC_FILES));
    for (int i = 0; i < ROCK_FRAMES; ++i)
        names.push_back(rock_name(i));
    return names;
}

// ---- determinism and the file set -------------------------------------------------------------

TEST_F(AssetSet, WritesExactlyTheFilesTheGameOpens)
{
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir_))
        found.insert(entry.path().filename().string());
    const std::vector<std::string> names = all_names();
    EXPECT_EQ(found, std::set<std::string>(names.begin(), names.end()));
}

TEST_F(AssetSet, SecondRunIsByteIdentical)
{
    const fs::path again = dir_.string() + "_again";
    fs::create_directories(again);
    ASSERT_TRUE(write_assets(again.string()));
    for (const std::string& name : all_names())
        EXPECT_TRUE(read_all(dir_ / name) == read_all(again / name)) << name << " differs between runs";
    fs::remove_all(again);
}

TEST(AssetWrite, UnwritableFolderFails) { EXPECT_FALSE(write_assets("/nonexistent-folder/for/assetgen")); }

// ---- picture layouts and sprite frames --------------------------------------------------------

struct FrameLayout {
    std::string file;
    int w, h, count, columns;  // columns 0: one frame at absolute pixel (0, 0)
};

static std::vector<FrameLayout> frame_layouts()
{
    std::vector<FrameLayout> layouts;
    for (const SheetLayout& s : SPRITE_SHEETS)
        layouts.push_back({s.file, s.cell_width, s.cell_height, s.frames, s.columns});
    for (int i = 0; i < ROCK_FRAMES; ++i)
        layouts.push_back({rock_name(i), ROCK_SIZE, ROCK_SIZE, 1, 0});
    return layouts;
}

// The frame's pixels, read by the cell rule: cell (cx, cy) starts at (cx * (w + 1) + 1, cy * (h + 1) + 1).
static std::vector<uint8_t> frame_pixels(const Bmp& bmp, const FrameLayout& s, int i)
{
    const int x0 = s.columns ? (i % s.columns) * (s.w + 1) + 1 : 0;
    const int y0 = s.columns ? (i / s.columns) * (s.h + 1) + 1 : 0;
    std::vector<uint8_t> out;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x)
            out.push_back(bmp.at(x0 + x, y0 + y));
    return out;
}

TEST_F(AssetSet, ScreenPicturesAre640By480)
{
    for (const char* name : {BACKDROP_FILE, INTRO_FILES[0], INTRO_FILES[1], INTRO_FILES[2]}) {
        const Bmp bmp = load_bmp(dir_ / name);
        EXPECT_EQ(bmp.w, SCREEN_PICTURE_WIDTH) << name;
        EXPECT_EQ(bmp.h, SCREEN_PICTURE_HEIGHT) << name;
    }
}

TEST_F(AssetSet, EveryFrameHoldsAShapeInsideAKeyMargin)
{
    for (const FrameLayout& s : frame_layouts()) {
        const Bmp bmp = load_bmp(dir_ / s.file);
        ASSERT_FALSE(bmp.px.empty()) << s.file;
        const int last = s.count - 1;
        const int need_w = s.columns ? (std::min(s.count, s.columns)) * (s.w + 1) + 1 : s.w;
        const int need_h = s.columns ? (last / s.columns + 1) * (s.h + 1) + 1 : s.h;
        ASSERT_GE(bmp.w, need_w) << s.file << ": sheet too narrow for its cells";
        ASSERT_GE(bmp.h, need_h) << s.file << ": sheet too short for its cells";
        for (int i = 0; i < s.count; ++i) {
            const std::vector<uint8_t> f = frame_pixels(bmp, s, i);
            int opaque = 0, edge = 0;
            for (int y = 0; y < s.h; ++y) {
                for (int x = 0; x < s.w; ++x) {
                    const bool solid = f[static_cast<size_t>(y) * s.w + x] != 0;
                    opaque += solid;
                    edge += solid && (x == 0 || y == 0 || x == s.w - 1 || y == s.h - 1);
                }
            }
            EXPECT_GE(opaque, s.w * s.h / 20) << s.file << " frame " << i << ": expected a visible shape";
            EXPECT_EQ(edge, 0) << s.file << " frame " << i << ": shape touches the frame edge";
        }
    }
}

TEST_F(AssetSet, AnimationFramesAllDiffer)
{
    for (const FrameLayout& s : frame_layouts()) {
        if (s.count < 2)
            continue;
        const Bmp bmp = load_bmp(dir_ / s.file);
        std::set<std::vector<uint8_t>> distinct;
        for (int i = 0; i < s.count; ++i)
            distinct.insert(frame_pixels(bmp, s, i));
        EXPECT_EQ(distinct.size(), static_cast<size_t>(s.count)) << s.file << ": repeated frames";
    }
    std::set<std::vector<uint8_t>> rocks;
    for (int i = 0; i < ROCK_FRAMES; ++i)
        rocks.insert(load_bmp(dir_ / rock_name(i)).px);
    EXPECT_EQ(rocks.size(), size_t{ROCK_FRAMES}) << "the rock steps must all differ";
}

TEST_F(AssetSet, BoltSequencesHaveDifferentColours)
{
    const Bmp bmp = load_bmp(dir_ / BOLT_SHEET.file);
    ASSERT_FALSE(bmp.px.empty());
    std::set<uint8_t> first, second;
    const int row = BOLT_SHEET.cell_height + 1;  // sequence 1 is the second row of cells
    for (int y = 1; y < row; ++y)
        for (int x = 0; x < bmp.w; ++x) {
            if (bmp.at(x, y))
                first.insert(bmp.at(x, y));
            if (bmp.at(x, y + row))
                second.insert(bmp.at(x, y + row));
        }
    std::vector<uint8_t> shared;
    std::set_intersection(first.begin(), first.end(), second.begin(), second.end(), std::back_inserter(shared));
    EXPECT_LT(shared.size(), std::min(first.size(), second.size()) / 2)
        << "sequence 1 should not reuse sequence 0's colours";
}

// ---- the shared palette -----------------------------------------------------------------------

TEST_F(AssetSet, PaletteFileHolds256EntriesWithKeyStarAndTextColours)
{
    std::ifstream in(dir_ / PALETTE_FILE_NAME);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.front(), '\n') << "each entry starts with a line break";
    EXPECT_NE(text.back(), '\n') << "no line break after the last entry";
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 256);
    const Bmp rock = load_bmp(dir_ / rock_name(ROCK_FRAMES - 1));
    ASSERT_EQ(rock.palette.size(), 256u);
    std::istringstream values(text);
    for (int i = 0; i < 256; ++i) {
        int r = -1, g = -1, b = -1, flags = -1;
        values >> r >> g >> b >> flags;
        ASSERT_TRUE(values) << "entry " << i << " is unreadable";
        EXPECT_EQ((Rgb3{r, g, b}), rock.palette[static_cast<size_t>(i)])
            << "entry " << i << " differs from the rock pictures";
    }
    EXPECT_EQ(rock.palette[PALETTE_KEY], (Rgb3{0, 0, 0})) << "the colour key is black";
    EXPECT_EQ(rock.palette[PALETTE_STAR], (Rgb3{255, 255, 255})) << "the star and text white";
    EXPECT_EQ(rock.palette[PALETTE_TEXT_RED], (Rgb3{255, 0, 0})) << "the text red";
}

TEST_F(AssetSet, GamePicturesShareOnePalette)
{
    const std::vector<Rgb3> game = load_bmp(dir_ / rock_name(ROCK_FRAMES - 1)).palette;
    std::vector<std::string> files{BACKDROP_FILE};
    for (const FrameLayout& s : frame_layouts())
        files.push_back(s.file);
    for (const std::string& f : files)
        EXPECT_TRUE(load_bmp(dir_ / f).palette == game) << f << " has a palette of its own";
    // The intro screens each carry their own palette, made for their colours.
    EXPECT_FALSE(load_bmp(dir_ / INTRO_FILES[0]).palette == game);
    EXPECT_FALSE(load_bmp(dir_ / INTRO_FILES[0]).palette == load_bmp(dir_ / INTRO_FILES[1]).palette);
}

TEST_F(AssetSet, BackdropStaysDarkBehindPlay)
{
    const Bmp lava = load_bmp(dir_ / BACKDROP_FILE);
    ASSERT_EQ(lava.px.size(), size_t{SCREEN_PICTURE_WIDTH} * SCREEN_PICTURE_HEIGHT);
    double sum = 0;
    int bright = 0;
    for (uint8_t i : lava.px) {
        const Rgb3 c = lava.palette[i];
        const double luma = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
        sum += luma;
        bright += luma > 110.0;
    }
    EXPECT_LT(sum / lava.px.size(), 40.0) << "mean brightness too high for white and red text to read";
    EXPECT_LT(bright, static_cast<int>(lava.px.size()) / 100) << "too many bright pixels";
    EXPECT_GT(sum / lava.px.size(), 5.0) << "a black backdrop shows no lava";
}

// ---- sounds -----------------------------------------------------------------------------------

TEST_F(AssetSet, SoundsArePcm8MonoAt11025PeakingUnderHalfScale)
{
    for (const char* name : SOUND_FILES) {
        const Bytes b = read_all(dir_ / name);
        ASSERT_GE(b.size(), 44u) << name;
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF") << name;
        EXPECT_EQ(le(b, 4, 4), b.size() - 8) << name << ": RIFF size";
        EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ") << name;
        EXPECT_EQ(le(b, 16, 4), 16u) << name;
        EXPECT_EQ(le(b, 20, 2), 1u) << name << ": PCM";
        EXPECT_EQ(le(b, 22, 2), 1u) << name << ": mono";
        EXPECT_EQ(le(b, 24, 4), 11025u) << name << ": rate";
        EXPECT_EQ(le(b, 28, 4), 11025u) << name << ": bytes per second";
        EXPECT_EQ(le(b, 32, 2), 1u) << name << ": block align";
        EXPECT_EQ(le(b, 34, 2), 8u) << name << ": bits";
        EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data") << name;
        const uint32_t n = le(b, 40, 4);
        ASSERT_EQ(44 + n + (n & 1), b.size()) << name << ": data size";
        EXPECT_GT(n, 11025u / 10) << name << ": shorter than a tenth of a second";
        EXPECT_LT(n, 11025u * 3) << name << ": longer than three seconds";
        const auto [lo, hi] = std::minmax_element(b.begin() + 44, b.begin() + 44 + n);
        const int peak = std::max(128 - int{*lo}, int{*hi} - 128);
        EXPECT_GE(peak, 50) << name << ": too quiet";
        EXPECT_LE(peak, 60) << name << ": no headroom left for mixing";
        EXPECT_GT(*lo, 0) << name << ": clipped low";
        EXPECT_LT(*hi, 255) << name << ": clipped high";
    }
}

// ---- music ------------------------------------------------------------------------------------

// What a walk over a MIDI file found.
struct MidiFacts {
    int format = -1, tracks = 0, division = 0;
    double seconds = 0;
    std::set<int> channels, programmed, drum_keys;
    int unmatched = 0;  // note-ons never ended, or note-offs with no note-on
    double first_bpm = 0;
};

static uint32_t varlen(const Bytes& b, size_t& i)
{
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) {
        const uint8_t c = b.at(i++);
        v = (v << 7) | (c & 0x7Fu);
        if (!(c & 0x80u))
            return v;
    }
    ADD_FAILURE() << "variable-length number longer than four bytes";
    return v;
}

// Walks one track; records tempo changes (tick, microseconds per quarter) and the end tick.
static void walk_track(const Bytes& b, size_t i, size_t end, MidiFacts& f, std::map<uint32_t, uint32_t>& tempos,
                       uint32_t& end_tick)
{
    uint32_t tick = 0;
    uint8_t status = 0;
    std::map<int, int> open;
    bool ended = false;
    while (i < end) {
        ASSERT_FALSE(ended) << "events after end of track";
        tick += varlen(b, i);
        if (b.at(i) & 0x80u)
            status = b.at(i++);
        if (status == 0xFF) {
            const uint8_t type = b.at(i++);
            const uint32_t len = varlen(b, i);
            if (type == 0x51)
                tempos[tick] = be(b, i, 3);
            ended = type == 0x2F;
            i += len;
            continue;
        }
        const int ch = status & 0x0F, kind = status & 0xF0;
        ASSERT_GE(kind, 0x80) << "data byte without a status";
        f.channels.insert(ch);
        if (kind == 0xC0 || kind == 0xD0) {
            if (kind == 0xC0)
                f.programmed.insert(ch);
            i += 1;
            continue;
        }
        const int key = b.at(i), vel = b.at(i + 1);
        i += 2;
        if (kind == 0x90 && vel > 0) {
            ++open[ch * 128 + key];
            if (ch == 9)
                f.drum_keys.insert(key);
        } else if (kind == 0x80 || kind == 0x90) {
            f.unmatched += open[ch * 128 + key] > 0 ? 0 : 1;
            open[ch * 128 + key] = std::max(open[ch * 128 + key] - 1, 0);
        }
    }
    EXPECT_TRUE(ended) << "track without an end-of-track event";
    for (const auto& [k, n] : open)
        f.unmatched += n;
    end_tick = std::max(end_tick, tick);
}

static MidiFacts read_midi(const Bytes& b)
{
    MidiFacts f;
    if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd" || be(b, 4, 4) != 6)
        return f;
    f.format = static_cast<int>(be(b, 8, 2));
    const int declared = static_cast<int>(be(b, 10, 2));
    f.division = static_cast<int>(be(b, 12, 2));
    std::map<uint32_t, uint32_t> tempos{{0, 500000}};
    uint32_t end_tick = 0;
    size_t at = 14;
    while (at + 8 <= b.size()) {
        EXPECT_EQ(std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4), "MTrk");
        const size_t len = be(b, at + 4, 4);
        EXPECT_LE(at + 8 + len, b.size()) << "track chunk runs past the file";
        if (at + 8 + len > b.size())
            return f;
        walk_track(b, at + 8, at + 8 + len, f, tempos, end_tick);
        ++f.tracks;
        at += 8 + len;
    }
    EXPECT_EQ(at, b.size()) << "bytes after the last track";
    EXPECT_EQ(f.tracks, declared) << "track count in the header";
    // Seconds from the tempo map up to the last event of any track.
    f.first_bpm = 60000000.0 / tempos.begin()->second;
    uint32_t prev_tick = 0, us = tempos.begin()->second;
    for (const auto& [tick, tempo] : tempos) {
        f.seconds += (std::min(tick, end_tick) - std::min(prev_tick, end_tick)) * us / 1e6 / f.division;
        prev_tick = tick;
        us = tempo;
    }
    f.seconds += (end_tick - std::min(prev_tick, end_tick)) * static_cast<double>(us) / 1e6 / f.division;
    return f;
}

TEST_F(AssetSet, MusicIsWellFormedFormat1WithBandAndDrums)
{
    std::set<int> tempos;
    for (const char* name : MUSIC_FILES) {
        const MidiFacts f = read_midi(read_all(dir_ / name));
        EXPECT_EQ(f.format, 1) << name;
        EXPECT_GE(f.tracks, 5) << name << ": a conductor track and one per instrument";
        EXPECT_GT(f.division, 0) << name;
        EXPECT_EQ(f.unmatched, 0) << name << ": notes left hanging or ended twice";
        EXPECT_TRUE(f.channels.count(9)) << name << ": no drums on channel 10";
        EXPECT_GE(f.programmed.size(), 4u) << name << ": melody, chords and bass need their programs";
        EXPECT_GE(f.drum_keys.size(), 4u) << name << ": a drum part of fewer than four sounds";
        EXPECT_GE(f.seconds, 90.0) << name;
        EXPECT_LE(f.seconds, 150.0) << name;
        tempos.insert(static_cast<int>(f.first_bpm + 0.5));
    }
    EXPECT_EQ(tempos.size(), 5u) << "each piece should have its own tempo";
}

TEST(MidiReader, CatchesATruncatedFile)
{
    // The reader above must itself notice damage, or the music test could pass on a broken file.
    const std::vector<MusicAsset> music = make_music();
    ASSERT_FALSE(music.empty());
    Bytes cut = music.front().midi;
    cut.resize(cut.size() - 3);
    ::testing::TestPartResultArray failures;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        read_midi(cut);
    }
    EXPECT_GT(failures.size(), 0) << "a file cut short went unnoticed";
}

// ---- the writers and colour tools on small inputs ---------------------------------------------

TEST(BmpWriter, OddWidthRowsArePaddedAndStoredBottomUp)
{
    Image8 img(3, 2);
    img.at(0, 0) = 1, img.at(1, 0) = 2, img.at(2, 0) = 3;  // top row
    img.at(0, 1) = 4, img.at(1, 1) = 5, img.at(2, 1) = 6;  // bottom row
    Palette pal{};
    pal[1] = {10, 20, 30};
    const Bytes b = encode_bmp8(img, pal);
    ASSERT_EQ(b.size(), 1078u + 8u);
    EXPECT_EQ(le(b, 34, 4), 8u) << "biSizeImage counts the padded rows";
    EXPECT_EQ((Bytes(b.begin() + 1078, b.end())), (Bytes{4, 5, 6, 0, 1, 2, 3, 0}));
    EXPECT_EQ((Bytes(b.begin() + 58, b.begin() + 62)), (Bytes{30, 20, 10, 0})) << "palette stored blue, green, red, 0";
}

TEST(WavWriter, OddLengthDataIsPaddedAndScaledToPeak)
{
    const Bytes b = encode_wav8({0.0f, 0.5f, -0.25f}, 1.0f);
    ASSERT_EQ(b.size(), 44u + 4u);
    EXPECT_EQ(le(b, 40, 4), 3u) << "the data size excludes the pad byte";
    EXPECT_EQ(le(b, 4, 4), b.size() - 8);
    EXPECT_EQ(b[44], 128);
    EXPECT_EQ(b[45], 255) << "the loudest sample reaches full scale";
    EXPECT_NEAR(b[46], 128 - 64, 1);
    EXPECT_EQ(encode_wav8({0.0f, 0.0f}, 0.9f)[44], 128) << "silence stays silent";
}

TEST(MidiWriter, LongDeltasAndSimultaneousEventsAreEncodedInOrder)
{
    MidiTrack t("x");
    t.note(0, 0x0FFFFFFF, 0, 60, 100);  // ends at the largest tick a delta time can reach
    t.note(0, 5, 1, 62, 90);
    t.note(5, 5, 1, 62, 90);  // same key again the moment the first ends
    const Bytes b = encode_midi({t}, 96);
    const Bytes want_tail{0xFF, 0xFF, 0xFF, 0x75, 0x80, 60, 64, 0x00, 0xFF, 0x2F, 0x00};
    ASSERT_GE(b.size(), want_tail.size());
    EXPECT_TRUE(std::equal(want_tail.begin(), want_tail.end(), b.end() - static_cast<long>(want_tail.size())))
        << "largest delta time or end of track wrongly encoded";
    // At tick 5 the first note must end before the second starts, or the second would be cut off.
    const Bytes off_then_on{0x05, 0x81, 62, 64, 0x00, 0x91, 62, 90};
    EXPECT_NE(std::search(b.begin(), b.end(), off_then_on.begin(), off_then_on.end()), b.end());
    const MidiFacts f = read_midi(b);
    EXPECT_EQ(f.unmatched, 0);
    EXPECT_EQ(f.format, 1);
}

TEST(Quantise, SpritesNeverUseTheKeyForVisiblePixels)
{
    Canvas c(4, 1);
    c.at(0, 0) = {{0, 0, 0}, 1.0f};  // black but solid: must stay visible
    c.at(1, 0) = {{255, 0, 0}, 0.4f};  // under half covered: transparent
    c.at(2, 0) = {{255, 255, 255}, 0.6f};
    const Image8 img = quantise_sprite(c, game_palette(), 0.0f);
    EXPECT_NE(img.at(0, 0), 0) << "solid black must map to a near-black entry, not the key";
    EXPECT_EQ(img.at(1, 0), 0);
    EXPECT_EQ(img.at(2, 0), PALETTE_STAR) << "pure white should find the white entry";
    EXPECT_EQ(img.at(3, 0), 0) << "an untouched pixel is transparent";
}

TEST(MedianCut, FewColoursAreKeptExactlyAndEntryZeroIsBlack)
{
    Canvas c(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            c.at(x, y) = {x < 4 ? Col{200, 40, 40} : Col{40, 40, 200}, 1.0f};
    const Palette p = median_cut_palette(c);
    EXPECT_EQ(p[0], (Rgb{0, 0, 0}));
    const Image8 img = quantise_opaque(c, p, 0.0f);
    const Rgb left = p[img.at(0, 0)], right = p[img.at(7, 7)];
    EXPECT_NEAR(left.r, 200, 6);
    EXPECT_NEAR(left.b, 40, 6);
    EXPECT_NEAR(right.b, 200, 6);
    EXPECT_NEAR(right.r, 40, 6);
}
