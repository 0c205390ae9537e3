// asset_contract.h -- every fact the game's asset files must meet, written once: file names,
// picture sizes, sheet layouts, frame counts, palette roles and ramps. The game reads its files by
// these values, the display opens its first palette file by this name, the generator (tools/assetgen)
// writes the files by the same values, and its test checks the written files against them. (The
// examples name their own files, which the generator writes for them under plain names.) A leaf of
// its own: plain C++ that includes nothing, so every one of them may include it without reaching
// into another's folder.
#pragma once

// ---- palette roles ----
// Every game picture shares one 256-colour palette; the three intro pictures carry their own.
constexpr int PALETTE_KEY = 0;  // black; the colour key of every sprite frame
constexpr int PALETTE_TEXT_RED = 12;  // pure red (255, 0, 0): the game-over lines' red
constexpr int PALETTE_STAR = 15;  // pure white: every star, and the white of the game's text

// The palette file: 256 entries of four decimal integers. The display opens it under this name at
// start-up (lib/display/display.cpp); the game never names it.
inline constexpr const char* PALETTE_FILE_NAME = "PALDATA2.PAL";

// The game palette's ramps, each a smooth run of one material's colours from dark to bright, in
// entry order; the entries between and after them hold the fixed roles above.
struct PaletteRamp {
    const char* name;  // the material, or the colour of its brightest entry
    int first, count;  // entries [first, first + count)
};
inline constexpr PaletteRamp RAMP_GREY = {"grey", 1, 9};
inline constexpr PaletteRamp RAMP_LAVA = {"lava", 16, 32};
inline constexpr PaletteRamp RAMP_ROCK = {"rock", 48, 32};
inline constexpr PaletteRamp RAMP_STEEL = {"steel", 80, 24};
inline constexpr PaletteRamp RAMP_BLUE = {"blue", 104, 16};
inline constexpr PaletteRamp RAMP_CYAN = {"cyan", 120, 16};
inline constexpr PaletteRamp RAMP_VIOLET = {"violet", 136, 16};
inline constexpr PaletteRamp RAMP_FIRE = {"fire", 152, 32};
inline constexpr PaletteRamp RAMP_SMOKE = {"smoke", 184, 16};
inline constexpr PaletteRamp RAMP_GREEN = {"green", 200, 24};
inline constexpr PaletteRamp RAMP_SKY = {"sky", 224, 16};
inline constexpr PaletteRamp RAMP_AMBER = {"amber", 240, 6};
inline constexpr PaletteRamp RAMP_RED = {"red", 246, 5};
inline constexpr PaletteRamp RAMP_PURPLE = {"purple", 251, 5};
inline constexpr PaletteRamp PALETTE_RAMPS[] = {RAMP_GREY,  RAMP_LAVA,  RAMP_ROCK,  RAMP_STEEL, RAMP_BLUE,
                                                RAMP_CYAN,  RAMP_VIOLET, RAMP_FIRE, RAMP_SMOKE, RAMP_GREEN,
                                                RAMP_SKY,   RAMP_AMBER, RAMP_RED,   RAMP_PURPLE};

// ---- screen pictures ----
// The display mode the game sets, and the size of the backdrop and of each intro picture: the
// intro rows are copied 640 bytes apart, so an intro picture is exactly this wide.
constexpr int SCREEN_PICTURE_WIDTH = 640;
constexpr int SCREEN_PICTURE_HEIGHT = 480;
constexpr int INTRO_COUNT = 3;
inline constexpr const char* INTRO_FILES[INTRO_COUNT] = {"intro.bmp", "intro2.bmp", "intro3.bmp"};
inline constexpr const char* BACKDROP_FILE = "LAVA.BMP";

// ---- sprite sheets ----
// Frame i of a sheet lies in cell (i % columns, i / columns); cell (cx, cy) starts at pixel
// (cx × (cell_width + 1) + 1, cy × (cell_height + 1) + 1), so one-pixel borders of the key colour
// part the cells.
struct SheetLayout {
    const char* file;
    int cell_width, cell_height;  // one frame's size in pixels
    int columns, rows;  // cells across and down
    int frames;  // frames the game loads, at most columns × rows
};

inline constexpr SheetLayout SHIP_SHEET = {"gunship.bmp", 80, 32, 1, 1, 1};
inline constexpr SheetLayout BOLT_SHEET = {"ENERGY8.BMP", 8, 8, 8, 2, 16};  // two sequences of eight
inline constexpr SheetLayout UFO_SHEET = {"UFO.BMP", 80, 55, 1, 1, 1};
inline constexpr SheetLayout EXPLOSION_SHEET = {"EXPL8.BMP", 42, 36, 6, 3, 14};
inline constexpr SheetLayout SPRITE_SHEETS[] = {SHIP_SHEET, BOLT_SHEET, UFO_SHEET, EXPLOSION_SHEET};

// The narrowest and lowest picture that holds every cell of a sheet (the border after the last
// cell may be left out); the game refuses a smaller one.
constexpr int sheet_min_width(const SheetLayout& s) { return s.columns * (s.cell_width + 1); }
constexpr int sheet_min_height(const SheetLayout& s) { return s.rows * (s.cell_height + 1); }

// ---- rock frames ----
// One file per frame, ROCKL0000.BMP … ROCKL0015.BMP (base, four-digit number, extension), each
// holding its 96 × 96 frame at the top-left corner, without borders.
inline constexpr const char* ROCK_FILE_BASE = "ROCKL";
inline constexpr const char* ROCK_FILE_EXTENSION = "BMP";
constexpr int ROCK_FRAMES = 16;
constexpr int ROCK_SIZE = 96;

// ---- sounds and music ----
inline constexpr const char* ENGINE_SOUND_FILE = "engines.WAV";
inline constexpr const char* LASER_SOUND_FILE = "lasertw.WAV";
inline constexpr const char* EXPLOSION_SOUND_FILE = "cannon2.WAV";
inline constexpr const char* LEVEL_SOUND_FILE = "bat3.WAV";
inline constexpr const char* SOUND_FILES[] = {ENGINE_SOUND_FILE, LASER_SOUND_FILE, EXPLOSION_SOUND_FILE,
                                              LEVEL_SOUND_FILE};

constexpr int MUSIC_COUNT = 5;
// In load order: music_ids[i] is the piece of MUSIC_FILES[i].
inline constexpr const char* MUSIC_FILES[MUSIC_COUNT] = {"MM1CUT.MID", "MM1ELEC.MID", "WOODMAN3.MID", "AIRMAN.MID",
                                                         "FLASH3.MID"};
