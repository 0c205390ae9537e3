// assets.cpp -- names every asset file and writes the set; the file names are the ones the game opens.
#include "assets.h"

#include <cstdio>

#include "art.h"
#include "bmp_writer.h"
#include "wav_writer.h"

// Where every sound peaks: a little under half scale, so that an explosion over a laser shot over
// the music still fits the mixer's 16 bits without clipping.
static constexpr float kSoundPeak = 0.45f;

std::vector<PictureAsset> make_pictures()
{
    const Palette& game = game_palette();
    std::vector<PictureAsset> out;
    for (int screen = 1; screen <= 3; ++screen) {
        Picture p = make_intro(screen);
        const char* names[] = {"intro.bmp", "intro2.bmp", "intro3.bmp"};
        out.push_back({names[screen - 1], std::move(p.image), p.palette, false});
    }
    out.push_back({"LAVA.BMP", make_backdrop(), game, false});
    out.push_back({"gunship.bmp", make_gunship_sheet(), game, true});
    out.push_back({"ENERGY8.BMP", make_energy_sheet(), game, true});
    out.push_back({"UFO.BMP", make_ufo_sheet(), game, true});
    out.push_back({"EXPL8.BMP", make_explosion_sheet(), game, true});
    std::vector<Image8> rocks = make_rock_frames();
    for (int i = 0; i < kRockFrames; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "ROCKL%04d.BMP", i);
        out.push_back({name, std::move(rocks[static_cast<size_t>(i)]), game, true});
    }
    return out;
}

bool write_assets(const std::string& dir)
{
    auto fail = [](const std::string& path) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    };
    const std::string pal = dir + "/PALDATA2.PAL";
    if (!write_palette_file(pal, game_palette()))
        return fail(pal);
    for (const PictureAsset& p : make_pictures())
        if (!write_bmp8(dir + "/" + p.name, p.image, p.palette))
            return fail(dir + "/" + p.name);
    for (const SoundAsset& s : make_sounds())
        if (!write_wav8(dir + "/" + s.name, s.signal, kSoundPeak))
            return fail(dir + "/" + s.name);
    for (const MusicAsset& m : make_music())
        if (!write_file(dir + "/" + m.name, m.midi))
            return fail(dir + "/" + m.name);
    return true;
}
