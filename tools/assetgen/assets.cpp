// assets.cpp -- names every asset file and writes the set; the file names are the ones the game opens.
#include "assets.h"

#include <cstdio>

#include "art.h"
#include "bmp_writer.h"
#include "wav_writer.h"

// ---- public operations ----

std::string rock_file_name(int frame)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s%04d.%s", ROCK_FILE_BASE, frame, ROCK_FILE_EXTENSION);
    return name;
}

std::vector<PictureAsset> make_pictures()
{
    const Palette& game = game_palette();
    std::vector<PictureAsset> out;
    for (int screen = 1; screen <= INTRO_COUNT; ++screen) {
        Picture p = make_intro(screen);
        out.push_back({INTRO_FILES[screen - 1], std::move(p.image), p.palette, false});
    }
    out.push_back({BACKDROP_FILE, make_backdrop(), game, false});
    out.push_back({SHIP_SHEET.file, make_gunship_sheet(), game, true});
    out.push_back({BOLT_SHEET.file, make_energy_sheet(), game, true});
    out.push_back({UFO_SHEET.file, make_ufo_sheet(), game, true});
    out.push_back({EXPLOSION_SHEET.file, make_explosion_sheet(), game, true});
    std::vector<Image8> rocks = make_rock_frames();
    for (int i = 0; i < ROCK_FRAMES; ++i)
        out.push_back({rock_file_name(i), std::move(rocks[static_cast<size_t>(i)]), game, true});
    return out;
}

bool write_assets(const std::string& dir)
{
    auto fail = [](const std::string& path) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    };
    const std::string pal = dir + "/" + PALETTE_FILE_NAME;
    if (!write_palette_file(pal, game_palette()))
        return fail(pal);
    for (const PictureAsset& p : make_pictures())
        if (!write_bmp8(dir + "/" + p.name, p.image, p.palette))
            return fail(dir + "/" + p.name);
    for (const SoundAsset& s : make_sounds())
        if (!write_wav8(dir + "/" + s.name, s.signal, SOUND_PEAK))
            return fail(dir + "/" + s.name);
    for (const MusicAsset& m : make_music())
        if (!write_file(dir + "/" + m.name, m.midi))
            return fail(dir + "/" + m.name);
    return true;
}
