// world.cpp -- the game's state and its two brackets: game_init brings every layer up in a fixed
// order and builds the entities; game_shutdown takes them down. A start that cannot go on reports
// one line on standard error and quits through the message loop, with the display given back; a
// sound or a piece of music that cannot load is reported too, and the game plays on without it.
// Each line names the file, its folder and the library's reason.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "audio.h"
#include "game.h"
#include "input.h"
#include "services.h"

// ---- constants ----
static constexpr DWORD SOUND_CONTROLS = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
static constexpr int STARTUP_FAILED_EXIT = 1;  // the process's exit code after a failed start

// ---- counters and settings ----
// Their values are written by counters_start and world_load_values at every start, not here.
int score, lives, level, frame_timer, rock_reserve, rock_speed_range, ship_speed, ufo_rerun_done;
int wave_rocks_left, respawn_pending, kills_since_level, rocks_destroyed, rocks_missed, shift_latch;
int engine_sound = -1, laser_sound = -1, explosion_sound = -1, level_sound = -1;
int music_ids[MUSIC_COUNT] = {-1, -1, -1, -1, -1};
int game_ready = 0;

// ---- entities and buffers ----
Sprite ship;
Sprite bolts[BOLT_COUNT];
Sprite rock_template;
Sprite rocks[ROCK_COUNT];
Sprite ufo;
Sprite explosions[EXPLOSION_COUNT];
Star stars[STAR_COUNT];
BitmapImage background;
BitmapFile bitmap;
char text_buffer[TEXT_BUFFER_SIZE];

uint32_t random_state = 0;

static int music_brought_up = 0;  // music_init ran (COM is then to be ended by music_shutdown)
static char startup_failure_line[512] = "";  // the first line reported by a failing start

// ---- helpers ----

// Everything as a first start finds it; a second start in the same process (the tests do that)
// must begin the same way. The UFO's level-1 re-entry counts as used until a restart.
static void world_load_values()
{
    counters_start();
    ufo_rerun_done = 1;
    startup_failure_line[0] = '\0';
    engine_sound = laser_sound = explosion_sound = level_sound = -1;
    for (int& id : music_ids)
        id = -1;
    std::memset(&ship, 0, sizeof ship);
    std::memset(bolts, 0, sizeof bolts);
    std::memset(&rock_template, 0, sizeof rock_template);
    std::memset(rocks, 0, sizeof rocks);
    std::memset(&ufo, 0, sizeof ufo);
    std::memset(explosions, 0, sizeof explosions);
    std::memset(stars, 0, sizeof stars);
    std::memset(&background, 0, sizeof background);
    std::memset(&bitmap, 0, sizeof bitmap);
    std::memset(text_buffer, 0, sizeof text_buffer);
}

static std::string working_directory()
{
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    return error ? std::string("(unknown folder)") : here.string();
}

// The backdrop, cut from LAVA.BMP; its palette is put in force over the black the intro left.
static int background_load()
{
    if (!picture_load(BACKDROP_FILE, SCREEN_PICTURE_WIDTH, SCREEN_PICTURE_HEIGHT))
        return 0;
    const int made = image_create(&background, 0, 0, SCREEN_PICTURE_WIDTH, SCREEN_PICTURE_HEIGHT, 8) &&
                     image_load8(&background, &bitmap, 0, 0, 1);
    if (made)
        palette_set_all(bitmap.palette);
    bitmap_unload(&bitmap);
    if (!made) {
        char line[320];
        std::snprintf(line, sizeof line, "cannot make the 640 x 480 backdrop from %s: %s", BACKDROP_FILE,
                      display_reason());
        startup_failure(line);
    }
    return made;
}

// A sound or a piece the game plays on without: one line naming it and why.
static void audio_load_failed(const char* kind, const char* filename, const char* outcome)
{
    std::fprintf(stderr, "vorlash: cannot load the %s %s from %s: %s; %s\n", kind, filename,
                 working_directory().c_str(), audio_reason(), outcome);
}

// Each failure is reported while its layer is up; a layer that is down says nothing of its files.
static int sound_load(const char* filename)
{
    const int id = sound_load_wav(filename, SOUND_CONTROLS);
    if (id < 0 && dsound)
        audio_load_failed("sound", filename, "it stays silent");
    return id;
}

static void sounds_load()
{
    engine_sound = sound_load(ENGINE_SOUND_FILE);
    laser_sound = sound_load(LASER_SOUND_FILE);
    explosion_sound = sound_load(EXPLOSION_SOUND_FILE);
    level_sound = sound_load(LEVEL_SOUND_FILE);
}

static void music_load(int music_up)
{
    for (int i = 0; i < MUSIC_COUNT; ++i) {
        music_ids[i] = music_load_midi(MUSIC_FILES[i]);
        if (music_ids[i] < 0 && music_up)
            audio_load_failed("music", MUSIC_FILES[i], "the piece is left out");
    }
}

// The back buffer gets a whole-screen clipper of the game's own. The one the display attached is
// given back first: replacing it on the surface alone would leave it unreleased.
static void back_clipper_attach()
{
    if (back_clipper) {
        back_clipper->Release();
        back_clipper = nullptr;
    }
    RECT whole = {0, 0, screen_width, screen_height};
    back_clipper = clipper_attach(back_surface, 1, &whole);
}

// Entities in the order that fixes the random draws and leaves the last rock picture's palette.
static int entities_init()
{
    if (!bolts_init() || !explosions_init())
        return 0;
    stars_init();
    return rocks_init() && ufo_init() && ship_init();
}

static int startup_fail()
{
    // The display is given back at once, so the desktop returns with the message on it.
    display_shutdown();
#ifdef _WIN32
    // A program started from the desktop has no console: without this box a player sees nothing.
    MessageBoxA(nullptr, startup_failure_line, "Vorlash", MB_ICONERROR | MB_OK);
#endif
    PostQuitMessage(STARTUP_FAILED_EXIT);
    return 0;
}

// ---- public operations ----

void counters_start()
{
    score = 0;
    lives = 3;
    level = 1;
    frame_timer = 99;
    rock_reserve = 99;
    rock_speed_range = 1;
    ship_speed = 3;
    wave_rocks_left = 0;
    respawn_pending = 0;
    kills_since_level = 0;
    rocks_destroyed = 0;
    rocks_missed = 0;
    shift_latch = 0;
}

void random_seed(uint32_t seed) { random_state = seed; }

int random_next()
{
    random_state = random_state * 214013u + 2531011u;
    return static_cast<int>((random_state >> 16) & 0x7FFF);
}

void startup_failure(const char* what)
{
    std::fprintf(stderr, "vorlash: %s\n", what);
    std::fflush(stderr);
    if (!startup_failure_line[0])
        std::snprintf(startup_failure_line, sizeof startup_failure_line, "%s", what);
}

int picture_load(const char* filename, int min_width, int min_height)
{
    char line[512];
    if (!bitmap_load(&bitmap, filename)) {
        std::snprintf(line, sizeof line, "cannot load the picture %s from %s: %s", filename,
                      working_directory().c_str(), display_reason());
        startup_failure(line);
        return 0;
    }
    const BITMAPINFOHEADER& info = bitmap.info_header;
    if (info.biBitCount != 8 || info.biWidth < min_width || info.biHeight < min_height) {
        if (info.biBitCount != 8)
            std::snprintf(line, sizeof line,
                          "cannot use the picture %s from %s: a 16- or 24-bit file has no palette for the game's "
                          "8-bit display",
                          filename, working_directory().c_str());
        else
            std::snprintf(line, sizeof line, "cannot use the picture %s from %s: it is %d x %d, smaller than %d x %d",
                          filename, working_directory().c_str(), static_cast<int>(info.biWidth),
                          static_cast<int>(info.biHeight), min_width, min_height);
        startup_failure(line);
        bitmap_unload(&bitmap);
        return 0;
    }
    return 1;
}

int game_sprite_create(Sprite* sprite, int width, int height, int frame_count, uint32_t attr)
{
    return sprite_create(sprite, 0, 0, width, height, frame_count, attr, DDSCAPS_SYSTEMMEMORY, PALETTE_KEY, 8);
}

int sprite_from_sheet(Sprite* sprite, const SheetLayout& sheet, uint32_t attr, const char* what)
{
    if (!picture_load(sheet.file, sheet_min_width(sheet), sheet_min_height(sheet)))
        return 0;
    int made = game_sprite_create(sprite, sheet.cell_width, sheet.cell_height, sheet.frames, attr);
    for (int i = 0; made && i < sheet.frames; ++i)
        made = sprite_load_frame(sprite, &bitmap, i, i % sheet.columns, i / sheet.columns, 0);
    bitmap_unload(&bitmap);
    if (!made) {
        char line[160];
        std::snprintf(line, sizeof line, "cannot make %s from %s", what, sheet.file);
        startup_failure(line);
    }
    return made;
}

void play_sound(int id)
{
    if (id >= 0)
        sound_play(id, 0);
}

void play_music(int id)
{
    if (id >= 0)
        music_play(id);
}

int wave_size()
{
    const int size = ROCK_COUNT - rock_reserve;
    return size < 0 ? 0 : (size > ROCK_COUNT ? ROCK_COUNT : size);
}

int game_init(void*)
{
    world_load_values();
    random_seed(clock_start());
    if (!display_init(SCREEN_PICTURE_WIDTH, SCREEN_PICTURE_HEIGHT, 8, 0)) {
        char line[320];
        std::snprintf(line, sizeof line, "cannot set up the display at 640 x 480 with 8 bits per pixel: %s",
                      display_reason());
        startup_failure(line);
        return startup_fail();
    }
    for (int screen = 1; screen <= INTRO_COUNT; ++screen)
        if (!show_intro_screen(screen))
            return startup_fail();
    if (!background_load())
        return startup_fail();
    ShowCursor(FALSE);

    input_init();
    keyboard_init();
    sound_init();
    const int music_up = music_init();
    music_brought_up = 1;
    sounds_load();
    music_load(music_up);
    play_music(music_ids[random_next() % MUSIC_COUNT]);

    back_clipper_attach();
    if (!entities_init())
        return startup_fail();
    wave_rocks_left = ROCK_COUNT - rock_reserve;
    game_ready = 1;
    return 1;
}

int game_shutdown(void*)
{
    // Only first records own frame surfaces; the stamped copies share them and are dropped.
    sprite_destroy(&ship);
    sprite_destroy(&ufo);
    sprite_destroy(&rock_template);
    sprite_destroy(&explosions[0]);
    sprite_destroy(&bolts[0]);
    image_destroy(&background);
    bitmap_unload(&bitmap);
    display_shutdown();
    // Music plays through the sound layer's DirectSound object, so it stops before that goes.
    if (music_brought_up)
        music_shutdown();
    music_brought_up = 0;
    sound_stop_all();
    sound_shutdown();
    keyboard_release();
    input_shutdown();
    game_ready = 0;
    return 1;
}
