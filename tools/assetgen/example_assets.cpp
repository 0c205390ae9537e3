// example_assets.cpp -- the examples' own files, written into a folder of their own (`assetgen
// --examples DIR`): the game's pictures, sounds and music under plain names that each example writes
// out itself, so an example needs neither the asset contract nor the game's folder. Each example
// names the files it opens and their layouts, as written here; keep the two in step.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "art.h"
#include "assets.h"
#include "bmp_writer.h"
#include "noise.h"
#include "wav_writer.h"

// ---- constants ----

// The rock's sixteen frames in one sheet of four by four 96-pixel cells (the game keeps a file a frame).
static constexpr SheetLayout EXAMPLE_ROCK_SHEET = {"rocks.bmp", ROCK_SIZE, ROCK_SIZE, 4, 4, ROCK_FRAMES};

// ---- helpers ----

static Rgb to_rgb(Col c)
{
    auto byte = [](float v) { return static_cast<uint8_t>(clamp01(v / 255.0f) * 255.0f + 0.5f); };
    return {byte(c.r), byte(c.g), byte(c.b)};
}

// An 8-bit picture's colours as 24-bit pixels: index 0 of a sprite stays black, the key of a
// 16-bit sprite.
static std::vector<Rgb> true_colour(const Image8& image, const Palette& palette)
{
    std::vector<Rgb> out;
    out.reserve(image.px.size());
    for (uint8_t i : image.px)
        out.push_back(palette[i]);
    return out;
}

// A picture no palette of 256 colours holds: a dusk sky of smooth gradients and soft clouds over a
// glowing horizon, the game's craft painted large across it. For the 16-bit display.
static std::vector<Rgb> dusk_scene()
{
    Canvas c(SCREEN_PICTURE_WIDTH, SCREEN_PICTURE_HEIGHT);
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y), t = fy / static_cast<float>(c.h);
            Col sky = t < 0.7f ? mix(Col{10, 16, 60}, Col{150, 70, 120}, t / 0.7f)
                               : mix(Col{150, 70, 120}, Col{255, 150, 60}, (t - 0.7f) / 0.3f);
            const float cloud = smoothstep(0.05f, 0.7f, fbm2(fx * 0.008f, fy * 0.02f, 5, 0.55f, 4242u));
            sky = mix(sky, Col{255, 200, 190} * (0.4f + 0.6f * t), cloud * 0.45f);
            c.at(x, y) = {sky, 1.0f};
        }
    }
    paint_rock(c, 390.0f, 250.0f, 1.6f, 5);
    paint_rock(c, 60.0f, 330.0f, 0.8f, 11);
    paint_ufo(c, 380.0f, 40.0f, 2.0f);
    paint_gunship(c, 40.0f, 170.0f, 3.0f);
    std::vector<Rgb> out;
    out.reserve(c.px.size());
    for (const Rgba& p : c.px)
        out.push_back(to_rgb(p.c));
    return out;
}

// ---- public operations ----

bool write_example_assets(const std::string& dir)
{
    auto fail = [](const std::string& path) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    };
    const Palette& game = game_palette();
    const Picture title = make_intro(1);
    const Image8 ufo = make_ufo_sheet();
    struct Picture8 {
        const char* name;
        const Image8& image;
        const Palette& palette;
    };
    const Image8 backdrop = make_backdrop(), rocks = make_sheet(make_rock_frames(), EXAMPLE_ROCK_SHEET),
                 explosion = make_explosion_sheet();
    const Picture8 pictures[] = {{"backdrop.bmp", backdrop, game},   // 640 × 480, the game palette
                                 {"ufo.bmp", ufo, game},             // one 80 × 55 cell, bordered
                                 {"rocks.bmp", rocks, game},         // 4 × 4 cells of 96 × 96
                                 {"explosion.bmp", explosion, game},  // 6 × 3 cells of 42 × 36, 14 used
                                 {"title.bmp", title.image, title.palette}};  // 640 × 480, a palette of its own
    for (const Picture8& p : pictures)
        if (!write_bmp8(dir + "/" + p.name, p.image, p.palette))
            return fail(dir + "/" + p.name);

    // 24-bit files, which the loader reads in the 16-bit display's own pixel format.
    const std::string dusk = dir + "/dusk24.bmp", ufo24 = dir + "/ufo24.bmp";
    if (!write_file(dusk, encode_bmp24(dusk_scene(), SCREEN_PICTURE_WIDTH, SCREEN_PICTURE_HEIGHT)))
        return fail(dusk);
    if (!write_file(ufo24, encode_bmp24(true_colour(ufo, game), ufo.w, ufo.h)))
        return fail(ufo24);

    // The game's sounds and music under plain names.
    const std::pair<const char*, const char*> sound_names[] = {{ENGINE_SOUND_FILE, "engine.wav"},
                                                               {LASER_SOUND_FILE, "laser.wav"},
                                                               {EXPLOSION_SOUND_FILE, "boom.wav"},
                                                               {LEVEL_SOUND_FILE, "chirp.wav"}};
    for (const SoundAsset& s : make_sounds())
        for (const auto& [game_name, name] : sound_names)
            if (s.name == game_name && !write_wav8(dir + "/" + name, s.signal, SOUND_PEAK))
                return fail(dir + "/" + name);
    int piece = 0;
    for (const MusicAsset& m : make_music()) {
        const std::string path = dir + "/music" + std::to_string(++piece) + ".mid";
        if (!write_file(path, m.midi))
            return fail(path);
    }
    return true;
}
