// asset_contract.h -- every fact the game's asset files must meet, written once: file names,
// picture sizes, sheet layouts, frame counts and palette roles. The game reads its files by these
// values, the generator (tools/assetgen) writes them by the same values, and the generator's test
// checks the written files against them. Plain C++ only: the generator includes it too.
#pragma once

// ---- palette roles ----
// Every game picture shares one 256-colour palette; the three intro pictures carry their own.
constexpr int PALETTE_KEY = 0;  // black; the colour key of every sprite frame
constexpr int PALETTE_TEXT_RED = 12;  // pure red (255, 0, 0): the game-over lines' red
constexpr int PALETTE_STAR = 15;  // pure white: every star, and the white of the game's text

// The palette file: 256 entries of four decimal integers. The display layer opens it under this
// name itself (lib/display/display.cpp); the game never names it.
inline constexpr const char* PALETTE_FILE_NAME = "PALDATA2.PAL";

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
